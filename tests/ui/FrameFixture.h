#pragma once

// The main frame under test: a peer that reaches its insides, and a fixture
// that runs it in a working folder and settings store of its own.
#include "ExpectSingleChoice.h"
#include "ScopedConfig.h"
#include "TempDir.h"
#include "WxPrinters.h"
#include "engine/CountingManager.h"
#include "ui/LinecastFrame.h"
#include "ui/dialogs/AboutDlg.h"
#include "ui/panes/CountingSettingsPane.h"
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
    wxCheckListBox& DirectoryFilter() { return *m_frame.m_pListFilterDirectory; }
    wxCheckListBox& ExtensionFilter() { return *m_frame.m_pListFilterExtension; }
    wxCheckListBox& DateFilter() { return *m_frame.m_pListFilterDate; }
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
    wxMenuItem* LanguageEntry() { return m_frame.m_pMenuLanguage; }
    wxMenuItem* FullscreenEntry() { return m_frame.m_pMenuFullscreen; }
    wxMenuItem* AllFilters() { return m_frame.m_pMenuAllFilters; }
    wxMenuItem* DirectoryFilterEntry() { return m_frame.m_pMenuDirectoryFilter; }
    wxMenuItem* ExtensionFilterEntry() { return m_frame.m_pMenuExtensionFilter; }
    wxMenuItem* DateFilterEntry() { return m_frame.m_pMenuDateFilter; }

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

// Every test runs the frame in a working folder of its own with the
// program's images and a copy of the shipped rules, and with a store of its
// own, so neither the checkout nor the developer's settings are touched.
class FrameTest : public testing::Test
{
protected:
    FrameTest() : m_strOldCwd(wxGetCwd()), m_strDir(NewWorkFolder())
    {
        const wxString strSource = LINECAST_SOURCE_DIR;
        wxMkdir(m_strDir + "/conf");
        wxCopyFile(strSource + "/conf/conf.xml", m_strDir + "/conf/conf.xml");
        wxMkdir(m_strDir + "/img");
        wxArrayString arrImages;
        wxDir::GetAllFiles(strSource + "/img", &arrImages, wxEmptyString, wxDIR_FILES);
        for (const wxString& strImage : arrImages)
            wxCopyFile(strImage, m_strDir + "/img/" + wxFileName(strImage).GetFullName());
        wxSetWorkingDirectory(m_strDir);
    }
    ~FrameTest() override
    {
        m_pAccess.reset();
        delete m_pFrame;
        wxSetWorkingDirectory(m_strOldCwd);
    }

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
    void AddDirectory(const wxString& strPath) { Access().AddSourceDirectory(strPath); }

    ScopedConfig m_config;
    wxString m_strOldCwd;
    wxString m_strDir;
    LinecastFrame* m_pFrame = nullptr;
    std::unique_ptr<LinecastFrameTestAccess> m_pAccess;
};
} // namespace frame_test
