#pragma once

#include "compare/Comparison.h"
#include "engine/FilterParam.h"
#include "engine/Observers.h"
#include "report/AnalysisParam.h"
#include "report/ReportPage.h"
#include "ui/DesktopOpen.h"
#include "ui/WxMessagePump.h"

#include <memory>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/windowid.h>

class AnalysisPane;
class ChangesPage;
class CountingManager;
class CountingSession;
class FileResult;
class FilterPane;
class LatestVersion;
class CountingSettingsPane;
class Preference;
class QuorvelHtmlWin;
class ResultExport;
class ResultListCtrl;
class SummaryGrid;
class wxAuiManager;
class wxAuiNotebook;
class wxAuiNotebookEvent;
class wxAuiToolBar;
class wxAuiToolBarEvent;
class wxBitmapButton;
class wxCloseEvent;
struct ComparedChanges;
class wxCheckBox;
class wxCheckListBox;
class wxDirDialog;
class wxFileDialog;
class wxListEvent;
class wxPanel;
class wxSplitterWindow;

// The program's one main window: the docked panes around the result notebook,
// the toolbar, menus and status bar. It owns the counting engine and the
// analysis and filter parameters, and hears back from the engine through the
// three observer interfaces.
class LinecastFrame : public wxFrame,
                      public CountingObserver,
                      public AnalysisObserver,
                      public FilterObserver,
                      public ComparisonObserver
{
public:
    explicit LinecastFrame(wxWindow* parent, wxWindowID id = wxID_ANY);
    ~LinecastFrame() override;

    // The latest published version, as the update check found it; every
    // access holds the version's m_mutexVersion.
    void SetLatestVersion(const wxString& strVersion);
    wxString GetLatestVersion() const;

    void OnCountingUpdate() override;
    void OnAnalysisUpdate() override;
    void OnFilterUpdate() override;
    void OnComparisonUpdate() override;

private:
    // Tests reach the controls and menus through this peer.
    friend class LinecastFrameTestAccess;

    // Pane names are keys of the pane layout, never translated.
    static constexpr const char* PANE_DIRECTORY_FILTER = "Directory Filter";
    static constexpr const char* PANE_EXTENSION_FILTER = "Extension Filter";
    static constexpr const char* PANE_DATE_FILTER = "Modified Date Filter";
    // The smallest client area at which every pane stays readable.
    static constexpr int MIN_CLIENT_WIDTH = 800;
    static constexpr int MIN_CLIENT_HEIGHT = 560;

    // Construction, one piece of the window each.
    void BuildToolBar();
    void BuildResultNotebook();
    void BuildCountingSettingsPane();
    void BuildAnalysisPane();
    void BuildFilterPanes();
    void BuildMenuBar();
    void BuildStatusBar();
    void BuildChoosersAndPopupMenus();
    void BindEvents();
    void ApplyFilterPaneVisibility();
    void LoadDirectoryList();
    void AddSourceDirectory(const wxString& strPath);
    void RestoreSourceTypes();
    void TellRefusedRules();
    // At a close that goes ahead: the rules are saved when they changed, and
    // the user hears of a save that failed or went beside the rules file.
    void SaveRulesAtClose();

    // Handlers that concern the window itself.
    void OnAddDirectory(wxCommandEvent& event);
    void OnDeleteDirectory(wxCommandEvent& event);
    void OnSelectSourceType(wxCommandEvent& event);
    void OnSourceTypePicked(wxCommandEvent& event);
    void OnExportTool(wxAuiToolBarEvent& event);
    void OnFilterTool(wxAuiToolBarEvent& event);
    void OnFilterMenu(wxCommandEvent& event);
    void OnFullscreen(wxCommandEvent& event);
    void OnUiLanguage(wxCommandEvent& event);
    void OnAbout(wxCommandEvent& event);
    void OnCheckForUpdate(wxCommandEvent& event);
    void OnQuit(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnFrameSize(wxSizeEvent& event);
    void ShowFrameSize();
    void PopupToolMenu(wxAuiToolBarEvent& event, wxMenu& menu);
    void SetMinimumSize();
    void BindAccelerators();

    // Counting, stopping and refreshing: each delegates to the session.
    void CreateSession();
    void OnStartCounting(wxCommandEvent& event);
    void OnStopCounting(wxCommandEvent& event);
    void OnRefreshResult(wxCommandEvent& event);
    void EnableControls();
    void ClearResultViews();

    // "Compare with...": the dialog, then the session compares what it
    // chose (a folder, or "git:REV") with the counted folders.
    void OnCompareWith(wxCommandEvent& event);
    void CompareWith(const wxString& strOld);
    // After a comparison: the filter panes offer the values of both the
    // count and the comparison; the Changes page and the report show it.
    void ShowComparison();
    // After a Refresh: the estimates of the change and the filtered files.
    void RefreshComparison();
    ComparedChanges ShownChanges() const;

    // The report pane and the two exports.
    void ShowVersionPage();
    void GenerateReport();
    // The report pane lays the page out only while it is shown: a large
    // tree's report takes longer to lay out than to write, and right after
    // a count the Detail page is in front.
    void ShowReportPage();
    void OnResultPageChanged(wxAuiNotebookEvent& event);
    void OnExportCsv(wxCommandEvent& event);
    void OnExportHtml(wxCommandEvent& event);
    // What choosing a file in the export's chooser leads to.
    void ExportCsvTo(const wxString& strPath);
    void ExportHtmlTo(const wxString& strPath);
    bool IsExporting() const;
    // The result lists: each delegates to its ResultListCtrl.
    void BindResultViewEvents(); // the lists, their popup and "Select All"
    void InitListColumns();
    void AddDetailRow(const FileResult& file);
    void RefillDetailList();
    void FillDirectorySummary();
    void FillExtensionSummary();
    void OnDetailColumnClick(wxListEvent& event);
    void OnDirectoryColumnClick(wxListEvent& event);
    void OnExtensionColumnClick(wxListEvent& event);
    void OnDetailRightClick(wxListEvent& event);
    void OnDirectoryRightClick(wxListEvent& event);
    void PopupListMenu(wxListEvent& event, bool bFileEntry);
    ResultListCtrl* GetPopupList() const;
    void OnOpenFile(wxCommandEvent& event);
    void OnOpenDirectory(wxCommandEvent& event);

    // The filter panes and the filter status text (status field 2).
    void OnSelectAll(wxCommandEvent& event);
    void ApplyFilters();
    void ShowFilterStatus();

    // The analysis parameter grid and the summary grid.
    void CreateAnalysisGrids();
    void ReadAnalysisParams();
    void ShowAnalysisResults();

    Preference* m_pPreference = nullptr; // the program's one instance, see g_pPreference
    std::unique_ptr<CountingManager> m_pManager;
    std::unique_ptr<Comparison> m_pComparison; // walks and reads through m_pManager
    wxString m_strLastCompared;                // the old version chosen last
    AnalysisParam m_analysisParam;
    FilterParam m_filterParam;
    // Shared with the update check's thread, which may outlive the frame.
    std::shared_ptr<LatestVersion> m_pLatestVersion;
    // Each result list keeps its own sort column and direction.
    wxListEvent* m_pListEvent = nullptr; // only while the list popup menu shows
    DesktopOpen m_desktopOpen;           // "Open File", "Open Directory", the download page

    wxMenu m_menuFilter;
    wxMenu m_menuExport;
    wxMenu m_menuList;

    std::unique_ptr<CountingSession> m_pSession;
    std::unique_ptr<ResultExport> m_pExport; // reads m_pManager's results

    std::unique_ptr<wxAuiManager> m_pAuiManager;
    // Keeps the window alive while a count runs on the GUI thread.
    WxMessagePump m_messagePump;
    wxDirDialog* m_pDirDialog = nullptr;
    wxFileDialog* m_pFileDialog = nullptr;
    // The page shown in the report pane, which Export HTML writes.
    ReportPage m_reportPage;
    bool m_bReportPending = false; // the pane still shows an older page

    // Tool identifiers; the menu entries and controls draw their own.
    wxWindowIDRef m_idToolExport;
    wxWindowIDRef m_idToolFilter;
    wxWindowIDRef m_idToolFullscreen;
    wxWindowIDRef m_idToolLanguage;
    wxWindowIDRef m_idToolUpdate;
    wxWindowIDRef m_idToolAbout;

    // Everything below is owned by wx (windows by their parents, menu
    // entries by their menus); the frame only borrows it.
    wxAuiToolBar* m_pToolBar = nullptr;

    wxAuiNotebook* m_pResultNotebook = nullptr;
    wxPanel* m_pPanelDetail = nullptr;
    ResultListCtrl* m_pListDetail = nullptr;
    wxPanel* m_pPanelSummary = nullptr;
    wxSplitterWindow* m_pSplitterSummary = nullptr;
    SummaryGrid* m_pSummaryGrid = nullptr;
    wxSplitterWindow* m_pSplitterLists = nullptr;
    ResultListCtrl* m_pListDirectory = nullptr;
    ResultListCtrl* m_pListExtension = nullptr;
    wxPanel* m_pPanelReport = nullptr;
    QuorvelHtmlWin* m_pReportWindow = nullptr;
    ChangesPage* m_pChangesPage = nullptr;

    CountingSettingsPane* m_pCountingSettings = nullptr;

    AnalysisPane* m_pAnalysisPane = nullptr; // the grid and "Refresh result"

    FilterPane* m_pFilterDirectory = nullptr;
    FilterPane* m_pFilterDate = nullptr;
    FilterPane* m_pFilterExtension = nullptr;

    wxMenuItem* m_pMenuAddDirectory = nullptr;
    wxMenuItem* m_pMenuSourceType = nullptr;
    wxMenuItem* m_pMenuStart = nullptr;
    wxMenuItem* m_pMenuStop = nullptr;
    wxMenuItem* m_pMenuCompare = nullptr;
    wxMenuItem* m_pMenuQuit = nullptr;
    wxMenuItem* m_pMenuLanguage = nullptr;
    wxMenuItem* m_pMenuFullscreen = nullptr;
    wxMenuItem* m_pMenuUpdate = nullptr;
    wxMenuItem* m_pMenuAbout = nullptr;

    wxMenuItem* m_pMenuExportHtml = nullptr;
    wxMenuItem* m_pMenuExportCsv = nullptr;
    wxMenuItem* m_pMenuAllFilters = nullptr;
    wxMenuItem* m_pMenuDirectoryFilter = nullptr;
    wxMenuItem* m_pMenuExtensionFilter = nullptr;
    wxMenuItem* m_pMenuDateFilter = nullptr;
    wxMenuItem* m_pMenuOpenDirectory = nullptr;
    wxMenuItem* m_pMenuOpenFile = nullptr;
};
