#pragma once

#include "engine/FilterParam.h"
#include "engine/Observers.h"
#include "report/AnalysisParam.h"
#include "ui/WxMessagePump.h"

#include <memory>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/thread.h>
#include <wx/windowid.h>

class CountingManager;
class CountingSettingsPane;
class Preference;
class wxAuiManager;
class wxAuiNotebook;
class wxAuiToolBar;
class wxAuiToolBarEvent;
class wxBitmapButton;
class wxCheckBox;
class wxCheckListBox;
class wxDirDialog;
class wxFileDialog;
class wxHtmlWindow;
class wxListCtrl;
class wxListEvent;
class wxPanel;
class wxPropertyGrid;
class wxSplitterWindow;

// The program's one main window: the docked panes around the result notebook,
// the toolbar, menus and status bar. It owns the counting engine and the
// analysis and filter parameters, and hears back from the engine through the
// three observer interfaces.
class LinecastFrame : public wxFrame,
                      public CountingObserver,
                      public AnalysisObserver,
                      public FilterObserver
{
public:
    explicit LinecastFrame(wxWindow* parent, wxWindowID id = wxID_ANY);
    ~LinecastFrame() override;

    // The update check writes the latest published version from its own
    // thread; every access holds m_mutexVersion.
    void SetLatestVersion(const wxString& strVersion);
    wxString GetLatestVersion() const;

    void OnCountingUpdate() override;
    void OnAnalysisUpdate() override;
    void OnFilterUpdate() override;

private:
    // Tests reach the controls and menus through this peer.
    friend class LinecastFrameTestAccess;

    // Pane names are keys of the pane layout, never translated.
    static constexpr const char* PANE_DIRECTORY_FILTER = "Directory Filter";
    static constexpr const char* PANE_EXTENSION_FILTER = "Extension Filter";
    static constexpr const char* PANE_DATE_FILTER = "Modified Date Filter";

    // Construction, one piece of the window each.
    void BuildToolBar();
    void BuildResultNotebook();
    void BuildCountingSettingsPane();
    void BuildAnalysisPane();
    void BuildFilterPanes();
    wxPanel* BuildFilterPanel(const wxString& strPanelName, const wxString& strListName,
                              const wxString& strSelectAllName, const wxString& strRefreshName,
                              long nRefreshStyle, wxCheckListBox*& pList, wxCheckBox*& pSelectAll,
                              wxBitmapButton*& pRefresh);
    void BuildMenuBar();
    void BuildStatusBar();
    void BuildChoosersAndPopupMenus();
    void BindEvents();
    void ApplyFilterPaneVisibility();
    void LoadDirectoryList();
    void AddSourceDirectory(const wxString& strPath);
    void RestoreSourceTypes();

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
    void OnFrameSize(wxSizeEvent& event);
    void ShowFrameSize();
    void PopupToolMenu(wxAuiToolBarEvent& event, wxMenu& menu);

    Preference* m_pPreference = nullptr; // the program's one instance, see g_pPreference
    std::unique_ptr<CountingManager> m_pManager;
    AnalysisParam m_analysisParam;
    FilterParam m_filterParam;
    wxString m_strLatestVersion;
    mutable wxMutex m_mutexVersion;
    int m_nDetailSortColumn = 0;
    bool m_bDetailSortAscending = false;
    int m_nDirSortColumn = 0;
    bool m_bDirSortAscending = false;
    int m_nExtSortColumn = 0;
    bool m_bExtSortAscending = false;
    wxListEvent* m_pListEvent = nullptr; // only while the list popup menu shows

    wxMenu m_menuFilter;
    wxMenu m_menuExport;
    wxMenu m_menuList;

    std::unique_ptr<wxAuiManager> m_pAuiManager;
    // Keeps the window alive while a count runs on the GUI thread.
    WxMessagePump m_messagePump;
    wxDirDialog* m_pDirDialog = nullptr;
    wxFileDialog* m_pFileDialog = nullptr;

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
    wxListCtrl* m_pListDetail = nullptr;
    wxPanel* m_pPanelSummary = nullptr;
    wxSplitterWindow* m_pSplitterSummary = nullptr;
    wxPropertyGrid* m_pSummaryGrid = nullptr;
    wxSplitterWindow* m_pSplitterLists = nullptr;
    wxListCtrl* m_pListDirectory = nullptr;
    wxListCtrl* m_pListExtension = nullptr;
    wxPanel* m_pPanelReport = nullptr;
    wxHtmlWindow* m_pReportWindow = nullptr;

    CountingSettingsPane* m_pCountingSettings = nullptr;

    wxPanel* m_pPanelAnalysis = nullptr;
    wxPropertyGrid* m_pAnalysisGrid = nullptr;
    wxBitmapButton* m_pButtonRefreshAnalysis = nullptr;

    wxPanel* m_pPanelFilterDirectory = nullptr;
    wxCheckListBox* m_pListFilterDirectory = nullptr;
    wxCheckBox* m_pCheckAllDirectories = nullptr;
    wxBitmapButton* m_pButtonRefreshDirectory = nullptr;
    wxPanel* m_pPanelFilterDate = nullptr;
    wxCheckListBox* m_pListFilterDate = nullptr;
    wxCheckBox* m_pCheckAllDates = nullptr;
    wxBitmapButton* m_pButtonRefreshDate = nullptr;
    wxPanel* m_pPanelFilterExtension = nullptr;
    wxCheckListBox* m_pListFilterExtension = nullptr;
    wxCheckBox* m_pCheckAllExtensions = nullptr;
    wxBitmapButton* m_pButtonRefreshExtension = nullptr;

    wxMenuItem* m_pMenuAddDirectory = nullptr;
    wxMenuItem* m_pMenuSourceType = nullptr;
    wxMenuItem* m_pMenuStart = nullptr;
    wxMenuItem* m_pMenuStop = nullptr;
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
