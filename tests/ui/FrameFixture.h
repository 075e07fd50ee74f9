#pragma once

// The main frame under test: a peer that reaches its insides, and a fixture
// that runs it in a working folder and settings store of its own.
#include "ExpectSingleChoice.h"
#include "ScopedConfig.h"
#include "TempDir.h"
#include "WxPrinters.h"
#include "engine/CountingManager.h"
#include "ui/CountingSession.h"
#include "ui/LinecastFrame.h"
#include "ui/ResultExport.h"
#include "ui/dialogs/AboutDlg.h"
#include "ui/panes/AnalysisPane.h"
#include "ui/panes/CountingSettingsPane.h"
#include "ui/panes/FilterCheckList.h"
#include "ui/panes/FilterPane.h"
#include "ui/results/ChangeListCtrl.h"
#include "ui/results/ChangesPage.h"
#include "ui/results/QuorvelHtmlWin.h"
#include "ui/results/ResultListCtrl.h"
#include "ui/results/SummaryGrid.h"
#include "ui/settings/Preference.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/aui/auibar.h>
#include <wx/aui/auibook.h>
#include <wx/aui/framemanager.h>
#include <wx/bmpbuttn.h>
#include <wx/checklst.h>
#include <wx/combobox.h>
#include <wx/dir.h>
#include <wx/dirdlg.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/statusbr.h>
#include <wx/stopwatch.h>
#include <wx/testing.h>
#include <wx/utils.h>

#include <array>
#include <functional>

// Answers the directory chooser with a button; which folder it would
// have chosen is GTK's business (see AddSourceDirectory below).
template <> class wxExpectModal<wxDirDialog> : public wxExpectDismissableModal<wxDirDialog>
{
public:
    explicit wxExpectModal(int nId) : wxExpectDismissableModal<wxDirDialog>(nId) {}
};

template <> class wxExpectModal<AboutDlg> : public wxExpectDismissableModal<AboutDlg>
{
public:
    explicit wxExpectModal(int nId) : wxExpectDismissableModal<AboutDlg>(nId) {}
};

// The frame's insides, for the tests only.
class LinecastFrameTestAccess
{
public:
    explicit LinecastFrameTestAccess(LinecastFrame& frame) : m_frame(frame) {}

    wxAuiManager& Panes() { return *m_frame.m_pAuiManager; }
    wxCheckListBox& SourceDirectories() { return *m_frame.m_pCountingSettings->DirectoryList(); }
    FilterCheckList& DirectoryFilter() { return *m_frame.m_pFilterDirectory->GetList(); }
    FilterCheckList& ExtensionFilter() { return *m_frame.m_pFilterExtension->GetList(); }
    FilterCheckList& DateFilter() { return *m_frame.m_pFilterDate->GetList(); }
    wxAuiNotebook& Notebook() { return *m_frame.m_pResultNotebook; }
    wxAuiToolBar& ToolBar() { return *m_frame.m_pToolBar; }
    CountingManager& Manager() { return *m_frame.m_pManager; }
    int FullscreenTool() const { return m_frame.m_idToolFullscreen; }

    // What choosing a folder in the directory chooser leads to. (GTK's
    // native chooser cannot be handed a folder without being shown.)
    void AddSourceDirectory(const wxString& strPath) { m_frame.AddSourceDirectory(strPath); }
    wxMenuItem* AddDirectoryEntry() { return m_frame.m_pMenuAddDirectory; }
    wxMenuItem* QuitEntry() { return m_frame.m_pMenuQuit; }
    wxMenuItem* AboutEntry() { return m_frame.m_pMenuAbout; }
    int AboutTool() const { return m_frame.m_idToolAbout; }
    wxMenuItem* UpdateEntry() { return m_frame.m_pMenuUpdate; }
    int UpdateTool() const { return m_frame.m_idToolUpdate; }
    wxMenuItem* LanguageEntry() { return m_frame.m_pMenuLanguage; }
    wxMenuItem* FullscreenEntry() { return m_frame.m_pMenuFullscreen; }
    wxMenuItem* AllFilters() { return m_frame.m_pMenuAllFilters; }
    wxMenuItem* DirectoryFilterEntry() { return m_frame.m_pMenuDirectoryFilter; }
    wxMenuItem* ExtensionFilterEntry() { return m_frame.m_pMenuExtensionFilter; }
    wxMenuItem* DateFilterEntry() { return m_frame.m_pMenuDateFilter; }

    // The report pane and the exports.
    QuorvelHtmlWin& ReportWindow() { return *m_frame.m_pReportWindow; }
    const wxString& ReportPageText() const { return m_frame.m_reportPage.GetPageText(); }
    AnalysisParam& Analysis() { return m_frame.m_analysisParam; }
    wxMenuItem* ExportCsvEntry() { return m_frame.m_pMenuExportCsv; }
    wxMenuItem* ExportHtmlEntry() { return m_frame.m_pMenuExportHtml; }
    wxFileDialog& FileDialog() { return *m_frame.m_pFileDialog; }
    // What choosing a file in the chooser leads to (GTK's chooser, like the
    // folder chooser, cannot be handed a path without being shown).
    // The export writes on a thread of its own; these wait for its end, as
    // the window's event loop would, so that its outcome is told here.
    void ExportCsvTo(const wxString& strPath)
    {
        m_frame.ExportCsvTo(strPath);
        WaitForExport();
    }
    void ExportHtmlTo(const wxString& strPath)
    {
        m_frame.ExportHtmlTo(strPath);
        WaitForExport();
    }
    // Starts an export and returns while it runs.
    void StartExportCsv(const wxString& strPath) { m_frame.ExportCsvTo(strPath); }
    bool IsExporting() const { return m_frame.IsExporting(); }
    void WaitForExport()
    {
        while (m_frame.IsExporting())
        {
            wxTheApp->Yield(true);
            wxMilliSleep(5);
        }
    }

    // As if the entry had been chosen (menu bar or popup menu alike).
    void Choose(wxMenuItem* pItem)
    {
        wxCommandEvent event(wxEVT_MENU, pItem->GetId());
        event.SetEventObject(&m_frame);
        m_frame.ProcessWindowEvent(event);
    }
    void ClickTool(int nId)
    {
        wxCommandEvent event(wxEVT_TOOL, nId);
        event.SetEventObject(m_frame.m_pToolBar);
        m_frame.m_pToolBar->ProcessWindowEvent(event);
    }
    static void Click(wxWindow* pButton)
    {
        wxCommandEvent event(wxEVT_BUTTON, pButton->GetId());
        event.SetEventObject(pButton);
        pButton->ProcessWindowEvent(event);
    }
    void ClickDeleteDirectory() { Click(m_frame.m_pCountingSettings->DeleteDirectoryButton()); }

    // Source types: the counting settings pane, the command that opens the
    // source type dialog, and a pick from the Source Type box.
    CountingSettingsPane& CountingSettings() { return *m_frame.m_pCountingSettings; }
    wxMenuItem* SourceTypeEntry() { return m_frame.m_pMenuSourceType; }
    void ClickSourceType() { Click(m_frame.m_pCountingSettings->SourceTypeButton()); }
    void PickSourceType(int nEntry)
    {
        wxComboBox& box = *m_frame.m_pCountingSettings->SourceTypeBox();
        box.SetSelection(nEntry);
        wxCommandEvent event(wxEVT_COMBOBOX, box.GetId());
        event.SetEventObject(&box);
        event.SetInt(nEntry);
        box.ProcessWindowEvent(event);
    }

    // Result lists, filter panes and analysis grids.
    ResultListCtrl& DetailList() { return *m_frame.m_pListDetail; }
    ResultListCtrl& DirectoryList() { return *m_frame.m_pListDirectory; }
    ResultListCtrl& ExtensionList() { return *m_frame.m_pListExtension; }
    FilterPane& DirectoryFilterPane() { return *m_frame.m_pFilterDirectory; }
    FilterPane& ExtensionFilterPane() { return *m_frame.m_pFilterExtension; }
    FilterPane& DateFilterPane() { return *m_frame.m_pFilterDate; }
    wxPropertyGrid& AnalysisGrid() { return *m_frame.m_pAnalysisPane->GetGrid(); }
    SummaryGrid& Summary() { return *m_frame.m_pSummaryGrid; }
    FilterParam& Filters() { return m_frame.m_filterParam; }
    void ApplyFilters() { m_frame.ApplyFilters(); }
    void ReadAnalysisParams() { m_frame.ReadAnalysisParams(); }
    // As if the entry of the list popup had been chosen on a row.
    void ChooseOnRow(ResultListCtrl& list, long nRow, wxMenuItem*(LinecastFrame::*pEntry))
    {
        wxListEvent event(wxEVT_LIST_ITEM_RIGHT_CLICK, list.GetId());
        event.SetEventObject(&list);
        event.m_itemIndex = nRow;
        m_frame.m_pListEvent = &event;
        Choose(m_frame.*pEntry);
        m_frame.m_pListEvent = nullptr;
    }
    static constexpr wxMenuItem* LinecastFrame::*OPEN_FILE = &LinecastFrame::m_pMenuOpenFile;
    static constexpr wxMenuItem* LinecastFrame::*OPEN_DIRECTORY =
        &LinecastFrame::m_pMenuOpenDirectory;
    static wxArrayString ColumnTexts(const wxListCtrl& list, int nColumn = 0)
    {
        wxArrayString arr;
        for (long i = 0; i < list.GetItemCount(); ++i)
            arr.Add(list.GetItemText(i, nColumn));
        return arr;
    }
    // Column clicks as the list sends them.
    static void ClickHeading(ResultListCtrl& list, int nColumn)
    {
        wxListEvent event(wxEVT_LIST_COL_CLICK, list.GetId());
        event.SetEventObject(&list);
        event.m_col = nColumn;
        list.ProcessWindowEvent(event);
    }

    // Counting, stopping and refreshing.
    CountingSession& Session() { return *m_frame.m_pSession; }
    wxMenuItem* StartEntry() { return m_frame.m_pMenuStart; }
    wxMenuItem* StopEntry() { return m_frame.m_pMenuStop; }
    int ExportTool() const { return m_frame.m_idToolExport; }
    void ClickStart() { Click(m_frame.m_pCountingSettings->StartButton()); }
    void ClickStop() { Click(m_frame.m_pCountingSettings->StopButton()); }
    wxBitmapButton* AnalysisRefreshButton() { return m_frame.m_pAnalysisPane->GetRefreshButton(); }

    // Comparing with an older version.
    wxMenuItem* CompareEntry() { return m_frame.m_pMenuCompare; }
    // What choosing a version in the "Compare with" dialog leads to.
    void CompareWith(const wxString& strOld) { m_frame.CompareWith(strOld); }
    ChangesPage& Changes() { return *m_frame.m_pChangesPage; }
    const Comparison& TheComparison() const { return *m_frame.m_pComparison; }
    wxStatusBar& StatusBar() { return *m_frame.GetStatusBar(); }

private:
    LinecastFrame& m_frame;
};

namespace frame_test
{
const char* const PANE_NAMES[] = {"Directory Filter", "Extension Filter", "Modified Date Filter"};
using Visibility = std::array<bool, 3>; // directory, extension, date

inline wxArrayString Strings(std::initializer_list<const char*> items)
{
    wxArrayString arr;
    for (const char* sz : items)
        arr.Add(sz);
    return arr;
}
inline wxArrayString Strings(std::initializer_list<wxString> items)
{
    return wxArrayString(items.begin(), items.end());
}

// GTK's file choosers go on reading the folder they were opened in after
// their window is gone, and a folder deleted under them stops everything with
// an error box. So the tests' working folders live until the process ends.
inline wxString NewWorkFolder()
{
    static TempDir root;
    static int nCount = 0;
    const wxString strFolder = wxString::FromUTF8(root / std::to_string(++nCount));
    wxFileName::Mkdir(strFolder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    return strFolder;
}

// Every test runs the frame in an empty working folder of its own, with a
// store and a configuration folder (the per-user rules copy) of its own, so
// neither the checkout nor the developer's settings are touched. The frame
// finds its images and shipped rules in the build's program folder.
class FrameTest : public testing::Test
{
protected:
    FrameTest() : m_strOldCwd(wxGetCwd()), m_strDir(NewWorkFolder())
    {
        wxGetEnv("XDG_CONFIG_HOME", &m_strOldConfigHome);
        wxSetEnv("XDG_CONFIG_HOME", m_strDir + "/config");
        wxSetWorkingDirectory(m_strDir);
    }
    ~FrameTest() override
    {
        m_pAccess.reset();
        delete m_pFrame;
        wxSetWorkingDirectory(m_strOldCwd);
        wxSetEnv("XDG_CONFIG_HOME", m_strOldConfigHome);
    }
    // The rules file the frame reads and writes.
    wxString UserRules() const { return m_strDir + "/config/linecast/conf.xml"; }

    LinecastFrame& Open()
    {
        EXPECT_EQ(m_pFrame, nullptr);
        m_pFrame = new LinecastFrame(nullptr);
        m_pAccess = std::make_unique<LinecastFrameTestAccess>(*m_pFrame);
        return *m_pFrame;
    }
    // Destroys the frame as closing the program does, then reads the store
    // back as the next start would.
    void Close()
    {
        m_pAccess.reset();
        delete m_pFrame;
        m_pFrame = nullptr;
        m_config.Reopen();
    }
    void Reopen()
    {
        Close();
        Open();
    }
    LinecastFrameTestAccess& Access() { return *m_pAccess; }

    Visibility FilterPanesShown()
    {
        Visibility shown{};
        for (size_t i = 0; i < shown.size(); ++i)
            shown[i] = Access().Panes().GetPane(PANE_NAMES[i]).IsShown();
        return shown;
    }
    Visibility FilterPreferences()
    {
        return {g_pPreference->m_nShowFilterDirectory == 1,
                g_pPreference->m_nShowFilterExtension == 1,
                g_pPreference->m_nShowFilterModifiedDate == 1};
    }
    // A folder in the list, checked, whether it exists or not.
    void AddDirectory(const wxString& strPath)
    {
        Access().CountingSettings().AddDirectory(strPath);
    }

    ScopedConfig m_config;
    wxString m_strOldCwd;
    wxString m_strOldConfigHome;
    wxString m_strDir;
    LinecastFrame* m_pFrame = nullptr;
    std::unique_ptr<LinecastFrameTestAccess> m_pAccess;
};
} // namespace frame_test
