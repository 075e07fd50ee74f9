// The main window's layout: toolbar, result notebook, docked panes, menus,
// status bar, choosers and popup menus. The handlers live in LinecastFrame.cpp.
#include "ui/LinecastFrame.h"

#include "ui/CountingSession.h"
#include "ui/FrameStatusBar.h"
#include "ui/UiImages.h"
#include "ui/panes/AnalysisPane.h"
#include "ui/panes/CountingSettingsPane.h"
#include "ui/panes/FilterPane.h"
#include "ui/results/ChangesPage.h"
#include "ui/results/QuorvelHtmlWin.h"
#include "ui/results/ResultListCtrl.h"
#include "ui/results/SummaryGrid.h"

#include <wx/aui/auibar.h>
#include <wx/aui/auibook.h>
#include <wx/aui/framemanager.h>
#include <wx/bmpbuttn.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/statusbr.h>

#include <algorithm>

namespace
{

wxMenuItem* AppendMenuItem(wxMenu* pMenu, const wxString& strLabel, const wxString& strHelp,
                           const char* imageName = nullptr)
{
    auto* pItem = new wxMenuItem(pMenu, wxID_ANY, strLabel, strHelp);
    if (imageName)
    {
        // GTK takes the picture only before the entry is attached.
        if (const wxBitmap bmp = LoadImage(imageName); bmp.IsOk())
            pItem->SetBitmap(bmp);
    }
    return pMenu->Append(pItem);
}

wxSplitterWindow* MakeSummarySplitter(wxWindow* pParent, const wxString& strName)
{
    auto* pSplitter =
        new wxSplitterWindow(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSP_3D, strName);
    pSplitter->SetMinimumPaneSize(80);
    return pSplitter;
}

// A panel whose only content fills it.
void FillPanel(wxPanel* pPanel, wxWindow* pContent)
{
    auto* pSizer = new wxBoxSizer(wxVERTICAL);
    pSizer->Add(pContent, wxSizerFlags(1).Expand());
    pPanel->SetSizer(pSizer);
}

const wxSizerFlags BORDERED = wxSizerFlags().Border(wxALL, 4);

} // namespace

void LinecastFrame::BuildToolBar()
{
    m_pToolBar =
        new wxAuiToolBar(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxAUI_TB_DEFAULT_STYLE);
    const auto addTool =
        [this](int nId, const wxString& strLabel, const wxString& strHelp, const char* imageName)
    {
        m_pToolBar->AddTool(nId, strLabel, LoadImage(imageName), strHelp);
        m_pToolBar->SetToolLongHelp(nId, strHelp);
    };
    addTool(m_idToolExport, _("Export"), _("Export Result"), "Report_s16_01.png");
    addTool(m_idToolFilter, _("Filter"), _("Show/Hide filter"), "Filter_s16_01.png");
    addTool(m_idToolFullscreen, _("Fullscreen"), _("Fullscreen"), "Fullscreen_s16_01.png");
    m_pToolBar->AddSeparator();
    addTool(m_idToolLanguage, _("UI Language"), _("UI Language"), "lang_s16_01.png");
    addTool(m_idToolUpdate, _("Update"), _("Check for update"), "Update_s16_01.png");
    addTool(m_idToolAbout, _("About"), _("About"), "About_s16_01.png");
    m_pToolBar->SetToolDropDown(m_idToolExport, true);
    m_pToolBar->SetToolDropDown(m_idToolFilter, true);
    m_pToolBar->Realize();

    m_pAuiManager->AddPane(m_pToolBar, wxAuiPaneInfo()
                                           .Name("PaneName")
                                           .Caption(_("MainToolbar"))
                                           .ToolbarPane()
                                           .Top()
                                           .Layer(10)
                                           .Gripper(true));
}

void LinecastFrame::BuildResultNotebook()
{
    m_pResultNotebook = new wxAuiNotebook(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                          wxAUI_NB_TOP | wxAUI_NB_TAB_SPLIT | wxAUI_NB_TAB_MOVE |
                                              wxAUI_NB_TAB_EXTERNAL_MOVE | wxAUI_NB_SCROLL_BUTTONS);

    m_pPanelDetail = new wxPanel(m_pResultNotebook, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                 wxTAB_TRAVERSAL, "ID_PANEL_DETAIL");
    m_pListDetail = new ResultListCtrl(m_pPanelDetail, ResultRowKind::File, "ID_LC_DETAIL");
    FillPanel(m_pPanelDetail, m_pListDetail);
    m_pResultNotebook->AddPage(m_pPanelDetail, _("Detail"));

    m_pPanelSummary = new wxPanel(m_pResultNotebook, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                  wxTAB_TRAVERSAL, "ID_PANEL6");
    m_pSplitterSummary = MakeSummarySplitter(m_pPanelSummary, "ID_SPLITTERWINDOW_SUMMARY");
    m_pSummaryGrid = new SummaryGrid(m_pSplitterSummary);
    m_pSplitterLists = MakeSummarySplitter(m_pSplitterSummary, "ID_SPLITTERWINDOW1");
    m_pListDirectory =
        new ResultListCtrl(m_pSplitterLists, ResultRowKind::Directory, "ID_LISTCTRL_DIR");
    m_pListExtension =
        new ResultListCtrl(m_pSplitterLists, ResultRowKind::Extension, "ID_LISTCTRL_EXT");
    m_pSplitterLists->SplitHorizontally(m_pListDirectory, m_pListExtension, 128);
    m_pSplitterSummary->SplitHorizontally(m_pSummaryGrid, m_pSplitterLists, 128);
    FillPanel(m_pPanelSummary, m_pSplitterSummary);
    m_pResultNotebook->AddPage(m_pPanelSummary, _("Summary"));

    m_pPanelReport = new wxPanel(m_pResultNotebook, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                 wxTAB_TRAVERSAL, "ID_PANEL_REPORT");
    m_pReportWindow = new QuorvelHtmlWin(m_pPanelReport, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                         wxHW_SCROLLBAR_AUTO | wxBORDER_SIMPLE, "ID_CUSTOM1");
    FillPanel(m_pPanelReport, m_pReportWindow);
    m_pResultNotebook->AddPage(m_pPanelReport, _("Report"), true);

    m_pChangesPage = new ChangesPage(m_pResultNotebook);
    m_pResultNotebook->AddPage(m_pChangesPage, _("Changes"));

    m_pAuiManager->AddPane(m_pResultNotebook, wxAuiPaneInfo()
                                                  .Name("Result")
                                                  .Caption(_("Result"))
                                                  .CenterPane()
                                                  .CaptionVisible()
                                                  .Floatable()
                                                  .MaximizeButton());
}

void LinecastFrame::BuildCountingSettingsPane()
{
    m_pCountingSettings = new CountingSettingsPane(this);
    m_pAuiManager->AddPane(m_pCountingSettings, wxAuiPaneInfo()
                                                    .Name("Counting Settings")
                                                    .Caption(_("Counting Settings"))
                                                    .Left()
                                                    .Dockable(false)
                                                    .LeftDockable()
                                                    .CloseButton(false)
                                                    .PinButton()
                                                    .MinSize(256, 256));
}

void LinecastFrame::BuildAnalysisPane()
{
    m_pAnalysisPane = new AnalysisPane(this);
    m_pAuiManager->AddPane(m_pAnalysisPane, wxAuiPaneInfo()
                                                .Name("Analysis Parameter")
                                                .Caption(_("Analysis Parameter"))
                                                .Left()
                                                .TopDockable(false)
                                                .CloseButton(false)
                                                .PinButton()
                                                .MinSize(256, 280));
}

void LinecastFrame::BuildFilterPanes()
{
    m_pFilterDirectory = new FilterPane(
        this, {"ID_PANEL3", "ID_CHECKLISTBOX_DIR", "ID_CHECKBOX_DIR", "ID_BITMAPBUTTON4"},
        wxBU_AUTODRAW);
    m_pFilterDirectory->EnableFolderTreeMenu();
    m_pAuiManager->AddPane(m_pFilterDirectory, wxAuiPaneInfo()
                                                   .Name(PANE_DIRECTORY_FILTER)
                                                   .Caption(_("Directory Filter"))
                                                   .Right()
                                                   .CloseButton()
                                                   .PinButton()
                                                   .MinSize(256, 256));

    m_pFilterDate = new FilterPane(
        this, {"ID_PANEL4", "ID_CHECKLISTBOX_DATE", "ID_CHECKBOX_DATE", "ID_BITMAPBUTTON5"},
        wxBU_AUTODRAW);
    m_pAuiManager->AddPane(m_pFilterDate, wxAuiPaneInfo()
                                              .Name(PANE_DATE_FILTER)
                                              .Caption(_("Modified Date Filter"))
                                              .Right()
                                              .Position(1)
                                              .CloseButton()
                                              .PinButton()
                                              .MinSize(256, 200));

    m_pFilterExtension = new FilterPane(
        this, {"ID_PANEL5", "ID_CHECKLISTBOX_EXT", "ID_CHECKBOX_EXT", "ID_BITMAPBUTTON6"},
        wxBU_AUTODRAW | wxBORDER_SIMPLE);
    m_pAuiManager->AddPane(m_pFilterExtension, wxAuiPaneInfo()
                                                   .Name(PANE_EXTENSION_FILTER)
                                                   .Caption(_("Extension Filter"))
                                                   .Right()
                                                   .CloseButton()
                                                   .PinButton()
                                                   .MinSize(256, 128));
}

void LinecastFrame::BuildMenuBar()
{
    auto* pMenuBar = new wxMenuBar;

    auto* pFile = new wxMenu;
    m_pMenuAddDirectory =
        AppendMenuItem(pFile, _("Add directory..."), _("Add directory"), "Add_s16_01.png");
    m_pMenuSourceType = AppendMenuItem(pFile, _("Select source type..."), _("Select source type"),
                                       "Ext_s16_02.png");
    pFile->AppendSeparator();
    m_pMenuStart =
        AppendMenuItem(pFile, _("Start\tAlt-S"), _("Start counting"), "Start_s16_01.png");
    m_pMenuCompare = AppendMenuItem(pFile, _("Compare with..."),
                                    _("Compare the counted folders with an older version"));
    m_pMenuStop = AppendMenuItem(pFile, _("Stop\tAlt-T"), _("Stop counting"), "Stop_s16_01.png");
    pFile->AppendSeparator();
    m_pMenuQuit = AppendMenuItem(pFile, _("Quit\tAlt-X"), _("Quit the application"));
    pMenuBar->Append(pFile, _("&File"));

    auto* pTools = new wxMenu;
    m_pMenuLanguage =
        AppendMenuItem(pTools, _("UI &Language..."), _("Change UI Language"), "lang_s16_01.png");
    m_pMenuFullscreen =
        AppendMenuItem(pTools, _("Fullscreen\tF11"), _("Fullscreen"), "Fullscreen_s16_01.png");
    pMenuBar->Append(pTools, _("&Tools"));

    auto* pHelp = new wxMenu;
    m_pMenuUpdate =
        AppendMenuItem(pHelp, _("Check for update..."), _("Check for update"), "Update_s16_01.png");
    pHelp->AppendSeparator();
    m_pMenuAbout = AppendMenuItem(pHelp, _("&About...\tF1"), _("Show info about this application"),
                                  "About_s16_01.png");
    pMenuBar->Append(pHelp, _("&Help"));

    SetMenuBar(pMenuBar);
}

void LinecastFrame::BuildStatusBar()
{
    auto* pStatusBar = new FrameStatusBar(this, "ID_STATUSBAR1");
    // The frame size field is 192 pixels, or wider when the platform's font
    // needs more for its text.
    const wxString strSizeSample = wxString::Format(_("Frame Size: w = %d, h = %d"), 8888, 8888);
    const int nSizeWidth = std::max(192, pStatusBar->GetTextExtent(strSizeSample).x + 32);
    // The progress field likewise, for a count's "888,888 files in 999.9 s".
    const int nProgressWidth =
        std::max(128, pStatusBar->GetTextExtent(FilesCountedText(888888, 999900)).x + 32);
    // The filter field likewise, for its longest text: every filter named.
    FilterParam allFilters;
    allFilters.m_bFilterDirectory = allFilters.m_bFilterExtension = allFilters.m_bFilterDate = true;
    const int nFilterWidth =
        std::max(320, pStatusBar->GetTextExtent(FilterStatusText(allFilters)).x + 32);
    const int widths[] = {-1, nProgressWidth, nFilterWidth, nSizeWidth};
    const int styles[] = {wxSB_NORMAL, wxSB_NORMAL, wxSB_NORMAL, wxSB_NORMAL};
    pStatusBar->SetFieldsCount(4, widths);
    pStatusBar->SetStatusStyles(4, styles);
    SetStatusBar(pStatusBar);
}

void LinecastFrame::BuildChoosersAndPopupMenus()
{
    // Kept for the frame's life, so the chooser reopens at the last folder.
    m_pDirDialog = new wxDirDialog(this, _("Select directory"), wxEmptyString);

    m_pMenuExportHtml =
        AppendMenuItem(&m_menuExport, _("Export HTML..."), _("Export result as HTML file"));
    m_pMenuExportCsv =
        AppendMenuItem(&m_menuExport, _("Export CSV..."), _("Export result as CSV file"));

    // The export sets the wildcard; it chooses a file to write, so it asks
    // before overwriting and accepts names that do not exist yet.
    m_pFileDialog =
        new wxFileDialog(this, _("Select file"), wxEmptyString, wxEmptyString,
                         wxFileSelectorDefaultWildcardStr, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);

    m_pMenuOpenDirectory = AppendMenuItem(&m_menuList, _("Open Directory"), wxEmptyString);
    m_pMenuOpenFile = AppendMenuItem(&m_menuList, _("Open File"), wxEmptyString);

    m_pMenuAllFilters = AppendMenuItem(&m_menuFilter, _("All Filters"), _("Show All Filters"));
    m_menuFilter.AppendSeparator();
    m_pMenuDirectoryFilter =
        AppendMenuItem(&m_menuFilter, _("Directory Filter"), _("Directory Filter"));
    m_pMenuExtensionFilter =
        AppendMenuItem(&m_menuFilter, _("Extension Filter"), _("Extension Filter"));
    m_pMenuDateFilter =
        AppendMenuItem(&m_menuFilter, _("Modified Date Filter"), _("Modified Date Filter"));
}
