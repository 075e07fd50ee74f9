#include "ui/LinecastFrame.h"

#include "config/UserRules.h"
#include "engine/CountingManager.h"
#include "report/LatestVersion.h"
#include "ui/CachedCheckBoxRenderer.h"
#include "ui/CountingSession.h"
#include "ui/ResultExport.h"
#include "ui/UpdateCheck.h"
#include "ui/dialogs/AboutDlg.h"
#include "ui/dialogs/CompareWithDlg.h"
#include "ui/dialogs/SrcTypeSelDlg.h"
#include "ui/panes/AnalysisPane.h"
#include "ui/panes/CountingSettingsPane.h"
#include "ui/panes/FilterPane.h"
#include "ui/results/ChangesPage.h"
#include "ui/results/QuorvelHtmlWin.h"
#include "ui/results/ResultListCtrl.h"
#include "ui/settings/Preference.h"
#include "ui/settings/SourceTypeChoice.h"
#include "ui/settings/UiLanguage.h"

#include <algorithm>
#include <wx/accel.h>
#include <wx/aui/auibar.h>
#include <wx/aui/auibook.h>
#include <wx/aui/framemanager.h>
#include <wx/bmpbuttn.h>
#include <wx/checklst.h>
#include <wx/combobox.h>
#include <wx/dirdlg.h>
#include <wx/msgdlg.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

LinecastFrame::LinecastFrame(wxWindow* parent, wxWindowID id)
    : m_pLatestVersion(std::make_shared<LatestVersion>(_("unknown"))),
      m_desktopOpen(TellOpenFailure(this)), m_idToolExport(NewControlId()),
      m_idToolFilter(NewControlId()), m_idToolFullscreen(NewControlId()),
      m_idToolLanguage(NewControlId()), m_idToolUpdate(NewControlId()),
      m_idToolAbout(NewControlId())
{
    Create(parent, id, _("Linecast"), wxDefaultPosition, wxDefaultSize, wxDEFAULT_FRAME_STYLE);
    CachedCheckBoxRenderer::Install(); // the filter lists draw many check boxes

    m_pAuiManager = std::make_unique<wxAuiManager>(this, wxAUI_MGR_DEFAULT);
    BuildToolBar();
    BuildResultNotebook();
    BuildCountingSettingsPane();
    BuildAnalysisPane();
    BuildFilterPanes();
    BuildMenuBar();
    BuildStatusBar();
    BuildChoosersAndPopupMenus();
    BindEvents();

    if (!g_pPreference)
        g_pPreference = std::make_unique<Preference>();
    m_pPreference = g_pPreference.get();
    m_pPreference->Load(this); // restores position and client size

    if (!m_pManager)
        m_pManager = std::make_unique<CountingManager>();
    UseUserRules(*m_pManager);
    m_pManager->LoadRules();
    TellRefusedRules();
    m_pManager->SetMessagePump(&m_messagePump);
    m_pComparison = std::make_unique<Comparison>(*m_pManager);
    m_pComparison->SetObserver(this);
    CreateSession();

    ApplyFilterPaneVisibility();
    LoadDirectoryList();
    RestoreSourceTypes(); // needs the rules: it sets the types' flags

    InitListColumns();
    CreateAnalysisGrids();
    SetMinimumSize();
    EnableControls(); // nothing runs: Stop waits for a Start

    SetStatusText(_("Ready"), 0);
    ShowFilterStatus();

    StartUpdateCheck(m_pLatestVersion);
    m_reportPage.SetLanguage(UiLanguageName());
    ShowVersionPage();
}

LinecastFrame::~LinecastFrame()
{
    // A check still running finds nobody to tell.
    m_pLatestVersion->Abandon();

    if (m_pPreference)
    {
        m_pPreference->m_arrDirectoryHistory = m_pCountingSettings->GetDirectories();
        m_pPreference->m_arrSourceTypeHistory = m_pCountingSettings->GetSourceTypeHistory();
        m_pPreference->Save();
        m_pPreference = nullptr;
        g_pPreference.reset();
    }

    // An export still writing reads the results: it ends first.
    m_pExport.reset();
    m_pChangesPage->Clear(); // it borrows the comparison's files
    m_pComparison.reset();
    if (m_pManager)
    {
        if (m_pManager->m_nState == CountingManager::STATE_RUNNING)
            m_pManager->m_nState = CountingManager::STATE_STOPPED;
        m_pManager.reset(); // writes the rules file back if the close did not
    }

    // The pane manager holds pointers to the child windows, which die after
    // this destructor; it must let go of them and of the frame first.
    m_pAuiManager->UnInit();
}

void LinecastFrame::SetLatestVersion(const wxString& strVersion)
{
    if (!m_pLatestVersion->Set(strVersion))
        ShowUpdateMessage(m_pLatestVersion, [] { return wxString("Lock not ok!"); });
}

wxString LinecastFrame::GetLatestVersion() const
{
    return m_pLatestVersion->Get();
}

void LinecastFrame::BindEvents()
{
    Bind(wxEVT_AUITOOLBAR_TOOL_DROPDOWN, &LinecastFrame::OnExportTool, this, m_idToolExport);
    Bind(wxEVT_AUITOOLBAR_TOOL_DROPDOWN, &LinecastFrame::OnFilterTool, this, m_idToolFilter);
    Bind(wxEVT_TOOL, &LinecastFrame::OnFullscreen, this, m_idToolFullscreen);
    Bind(wxEVT_MENU, &LinecastFrame::OnFullscreen, this, m_pMenuFullscreen->GetId());
    Bind(wxEVT_TOOL, &LinecastFrame::OnUiLanguage, this, m_idToolLanguage);
    Bind(wxEVT_MENU, &LinecastFrame::OnUiLanguage, this, m_pMenuLanguage->GetId());
    Bind(wxEVT_TOOL, &LinecastFrame::OnCheckForUpdate, this, m_idToolUpdate);
    Bind(wxEVT_MENU, &LinecastFrame::OnCheckForUpdate, this, m_pMenuUpdate->GetId());
    Bind(wxEVT_TOOL, &LinecastFrame::OnAbout, this, m_idToolAbout);
    Bind(wxEVT_MENU, &LinecastFrame::OnAbout, this, m_pMenuAbout->GetId());

    Bind(wxEVT_MENU, &LinecastFrame::OnExportHtml, this, m_pMenuExportHtml->GetId());
    Bind(wxEVT_MENU, &LinecastFrame::OnExportCsv, this, m_pMenuExportCsv->GetId());
    BindResultViewEvents();

    m_pCountingSettings->AddDirectoryButton()->Bind(wxEVT_BUTTON, &LinecastFrame::OnAddDirectory,
                                                    this);
    Bind(wxEVT_MENU, &LinecastFrame::OnAddDirectory, this, m_pMenuAddDirectory->GetId());
    m_pCountingSettings->DeleteDirectoryButton()->Bind(wxEVT_BUTTON,
                                                       &LinecastFrame::OnDeleteDirectory, this);
    m_pCountingSettings->SourceTypeButton()->Bind(wxEVT_BUTTON, &LinecastFrame::OnSelectSourceType,
                                                  this);
    Bind(wxEVT_MENU, &LinecastFrame::OnSelectSourceType, this, m_pMenuSourceType->GetId());
    m_pCountingSettings->SourceTypeBox()->Bind(wxEVT_COMBOBOX, &LinecastFrame::OnSourceTypePicked,
                                               this);

    m_pCountingSettings->StartButton()->Bind(wxEVT_BUTTON, &LinecastFrame::OnStartCounting, this);
    Bind(wxEVT_MENU, &LinecastFrame::OnStartCounting, this, m_pMenuStart->GetId());
    m_pCountingSettings->StopButton()->Bind(wxEVT_BUTTON, &LinecastFrame::OnStopCounting, this);
    Bind(wxEVT_MENU, &LinecastFrame::OnStopCounting, this, m_pMenuStop->GetId());
    Bind(wxEVT_MENU, &LinecastFrame::OnCompareWith, this, m_pMenuCompare->GetId());
    for (wxBitmapButton* pButton :
         {m_pAnalysisPane->GetRefreshButton(), m_pFilterDirectory->GetRefreshButton(),
          m_pFilterDate->GetRefreshButton(), m_pFilterExtension->GetRefreshButton()})
        pButton->Bind(wxEVT_BUTTON, &LinecastFrame::OnRefreshResult, this);

    Bind(wxEVT_MENU, &LinecastFrame::OnQuit, this, m_pMenuQuit->GetId());
    Bind(wxEVT_CLOSE_WINDOW, &LinecastFrame::OnClose, this);
    BindAccelerators();

    for (const wxMenuItem* pItem :
         {m_pMenuAllFilters, m_pMenuDirectoryFilter, m_pMenuExtensionFilter, m_pMenuDateFilter})
        Bind(wxEVT_MENU, &LinecastFrame::OnFilterMenu, this, pItem->GetId());

    Bind(wxEVT_SIZE, &LinecastFrame::OnFrameSize, this);
    Bind(wxEVT_SYS_COLOUR_CHANGED,
         [](wxSysColourChangedEvent& event)
         {
             CachedCheckBoxRenderer::Forget();
             event.Skip();
         });
    m_pResultNotebook->Bind(wxEVT_AUINOTEBOOK_PAGE_CHANGED, &LinecastFrame::OnResultPageChanged,
                            this);
}

void LinecastFrame::ApplyFilterPaneVisibility()
{
    m_pAuiManager->GetPane(PANE_DIRECTORY_FILTER).Show(m_pPreference->m_nShowFilterDirectory == 1);
    m_pAuiManager->GetPane(PANE_EXTENSION_FILTER).Show(m_pPreference->m_nShowFilterExtension == 1);
    m_pAuiManager->GetPane(PANE_DATE_FILTER).Show(m_pPreference->m_nShowFilterModifiedDate == 1);
    m_pAuiManager->Update();
}

void LinecastFrame::LoadDirectoryList()
{
    m_pCountingSettings->SetDirectories(m_pPreference->m_arrDirectoryHistory);
}

void LinecastFrame::TellRefusedRules()
{
    // Once the window is on screen: a box before it would stand alone,
    // unexplained. The refused file is never written back (see SaveRules).
    const wxString strMessage = RefusedRulesMessage(*m_pManager);
    if (!strMessage.empty())
        CallAfter(
            [this, strMessage]
            { wxMessageBox(strMessage, _("Confirm"), wxOK | wxCENTRE | wxICON_WARNING, this); });
}

void LinecastFrame::RestoreSourceTypes()
{
    // Yesterday's choice is today's: a user presses Start without opening the
    // source type dialog first.
    m_pCountingSettings->SetSourceTypeHistory(m_pPreference->m_arrSourceTypeHistory);
    SelectSourceTypes(m_pManager->m_extensionTable, m_pCountingSettings->GetSourceTypeText());
}

void LinecastFrame::OnCountingUpdate()
{
    if (m_pManager->m_arrFileResults.empty())
        return;
    const FileResult& file = *m_pManager->m_arrFileResults.back();
    AddDetailRow(file);
    m_pSession->ShowProgress(file.m_strPath, m_pManager->m_arrFileResults.size());
}

void LinecastFrame::OnAnalysisUpdate()
{
    RefillDetailList();
    ShowAnalysisResults();
    m_pListDirectory->DeleteAllItems();
    FillDirectorySummary();
    m_pListExtension->DeleteAllItems();
    FillExtensionSummary();
    GenerateReport();
}

void LinecastFrame::OnFilterUpdate()
{
    // The last file's path, before the summary takes its moment.
    m_pSession->FlushProgress();
    // Every value the run found starts checked, so no filter is active.
    m_pFilterDirectory->Fill(m_pManager->m_arrDirectoryList);
    m_pManager->m_arrExtensionList.Sort();
    m_pFilterExtension->Fill(m_pManager->m_arrExtensionList);
    m_pManager->m_arrDateList.Sort();
    m_pFilterDate->Fill(m_pManager->m_arrDateList);

    ShowAnalysisResults();
    FillDirectorySummary();
    FillExtensionSummary();
    ApplyFilters();
    GenerateReport();
}

void LinecastFrame::OnComparisonUpdate()
{
    const FileChange& file = *m_pComparison->m_arrFiles.back();
    m_pChangesPage->AppendFile(file);
    m_pSession->ShowProgress(file.m_strPath, m_pComparison->m_arrFiles.size());
}

void LinecastFrame::ShowVersionPage()
{
    m_reportPage.ShowVersionPage(GetLatestVersion());
    ShowReportPage();
}

void LinecastFrame::GenerateReport()
{
    const ChangeFigures changes = m_pChangesPage->Figures();
    m_reportPage.GenerateReport(*m_pManager, m_filterParam, m_analysisParam, GetLatestVersion(),
                                m_pChangesPage->GetComparison() ? &changes : nullptr);
    ShowReportPage();
}

void LinecastFrame::ShowReportPage()
{
    m_bReportPending = m_pResultNotebook->GetCurrentPage() != m_pPanelReport;
    if (!m_bReportPending)
        m_pReportWindow->SetPage(m_reportPage.GetPageText());
}

void LinecastFrame::OnResultPageChanged(wxAuiNotebookEvent& event)
{
    event.Skip();
    if (m_bReportPending)
        ShowReportPage();
}

void LinecastFrame::OnExportCsv(wxCommandEvent&)
{
    if (m_pSession->IsBusy())
        return;
    m_pExport->ExportCsv(*m_pManager, ShownChanges());
}

void LinecastFrame::OnExportHtml(wxCommandEvent&)
{
    if (m_pSession->IsBusy())
        return;
    m_pExport->ExportHtml(m_reportPage.GetPageText());
}

void LinecastFrame::ExportCsvTo(const wxString& strPath)
{
    if (!m_pSession->IsBusy())
        m_pExport->WriteCsv(*m_pManager, strPath, ShownChanges());
}

void LinecastFrame::ExportHtmlTo(const wxString& strPath)
{
    if (!m_pSession->IsBusy())
        m_pExport->WriteHtml(m_reportPage.GetPageText(), strPath);
}

ComparedChanges LinecastFrame::ShownChanges() const
{
    return ComparedChanges{m_pChangesPage->GetComparison(), m_pChangesPage->OldName(),
                           m_pChangesPage->Root()};
}

bool LinecastFrame::IsExporting() const
{
    return m_pSession->IsExporting();
}

void LinecastFrame::OnAddDirectory(wxCommandEvent&)
{
    if (m_pSession->IsBusy())
        return;
    // Opened empty, GTK's chooser shows its "Recent" view, where a typed
    // path cannot be confirmed.
    m_pDirDialog->SetPath(m_pCountingSettings->ChooserStartFolder());
    if (m_pDirDialog->ShowModal() == wxID_OK)
        AddSourceDirectory(m_pDirDialog->GetPath());
}

void LinecastFrame::AddSourceDirectory(const wxString& strPath)
{
    m_pCountingSettings->AddChosenDirectory(strPath);
}

void LinecastFrame::OnDeleteDirectory(wxCommandEvent&)
{
    m_pCountingSettings->DeleteSelectedDirectory();
}

void LinecastFrame::OnSelectSourceType(wxCommandEvent&)
{
    // The dialog edits the rules and file types a running count reads.
    if (m_pSession->IsBusy())
        return;
    SrcTypeSelDlg dlg(this, m_pManager->m_ruleTable, m_pManager->m_extensionTable);
    if (dlg.ShowModal() == wxID_OK)
        m_pCountingSettings->ShowSourceTypes(dlg.GetSelectedTypes());
}

void LinecastFrame::OnSourceTypePicked(wxCommandEvent&)
{
    // The run counts by the types' flags: an earlier choice picked from the
    // box must be what is counted, not just what is shown.
    if (m_pSession->IsBusy())
        return;
    SelectSourceTypes(m_pManager->m_extensionTable, m_pCountingSettings->GetSourceTypeText());
}

void LinecastFrame::OnExportTool(wxAuiToolBarEvent& event)
{
    if (m_pSession->IsBusy())
        return;
    PopupToolMenu(event, m_menuExport);
}

void LinecastFrame::OnFilterTool(wxAuiToolBarEvent& event)
{
    PopupToolMenu(event, m_menuFilter);
}

void LinecastFrame::PopupToolMenu(wxAuiToolBarEvent& event, wxMenu& menu)
{
    // Anywhere on the tool opens the menu, not only its arrow; it drops from
    // the tool's lower edge, under the arrow.
    const wxRect rect = event.GetItemRect();
    m_pToolBar->SetToolSticky(event.GetId(), true);
    m_pToolBar->PopupMenu(&menu, wxPoint(rect.GetRight() + 1 - 8, rect.GetBottom() + 1));
    m_pToolBar->SetToolSticky(event.GetId(), false);
}

void LinecastFrame::OnFilterMenu(wxCommandEvent& event)
{
    struct FilterPane
    {
        const char* name;
        int Preference::*pShown;
        wxMenuItem* pItem;
    };
    const FilterPane panes[] = {
        {PANE_DIRECTORY_FILTER, &Preference::m_nShowFilterDirectory, m_pMenuDirectoryFilter},
        {PANE_EXTENSION_FILTER, &Preference::m_nShowFilterExtension, m_pMenuExtensionFilter},
        {PANE_DATE_FILTER, &Preference::m_nShowFilterModifiedDate, m_pMenuDateFilter},
    };

    if (event.GetId() == m_pMenuAllFilters->GetId())
    {
        // Shows all three unless all three are shown already; then hides them.
        bool bAllShown = true;
        for (const FilterPane& pane : panes)
            bAllShown = bAllShown && m_pAuiManager->GetPane(pane.name).IsShown();
        for (const FilterPane& pane : panes)
        {
            m_pAuiManager->GetPane(pane.name).Show(!bAllShown);
            m_pPreference->*pane.pShown = bAllShown ? 0 : 1;
        }
    }
    else
    {
        for (const FilterPane& pane : panes)
        {
            if (event.GetId() != pane.pItem->GetId())
                continue;
            wxAuiPaneInfo& info = m_pAuiManager->GetPane(pane.name);
            info.Show(!info.IsShown());
            m_pPreference->*pane.pShown = info.IsShown() ? 1 : 0;
        }
    }
    m_pAuiManager->Update();
}

void LinecastFrame::OnFullscreen(wxCommandEvent&)
{
    if (IsFullScreen())
    {
        ShowFullScreen(false);
    }
    else
    {
        // What the next start restores is the window as it was before.
        m_pPreference->RememberNormalGeometry();
        // The toolbar is a docked pane, not the frame's toolbar: it stays.
        long nStyle = wxFULLSCREEN_NOBORDER | wxFULLSCREEN_NOCAPTION;
        if (m_pPreference->m_nHideMenuBar == 1)
            nStyle |= wxFULLSCREEN_NOMENUBAR;
        if (m_pPreference->m_nHideStatusBar == 1)
            nStyle |= wxFULLSCREEN_NOSTATUSBAR;
        ShowFullScreen(true, nStyle);
    }
    m_pToolBar->SetToolSticky(m_idToolFullscreen, IsFullScreen());
    m_pToolBar->Refresh();
}

void LinecastFrame::OnUiLanguage(wxCommandEvent&)
{
    // The running window keeps its language; the choice applies at the next
    // start.
    ChangeLanguageForNextStart();
}

void LinecastFrame::OnCheckForUpdate(wxCommandEvent&)
{
    m_desktopOpen.OpenWebPage(AboutDlg::DOWNLOAD_PAGE_URL);
}

void LinecastFrame::OnAbout(wxCommandEvent&)
{
    AboutDlg dlg(this);
    dlg.ShowModal();
}

void LinecastFrame::OnQuit(wxCommandEvent&)
{
    Close(false);
}

void LinecastFrame::OnClose(wxCloseEvent& event)
{
    m_pSession->OnClose(event);
    if (event.GetSkipped())
        SaveRulesAtClose();
}

void LinecastFrame::SaveRulesAtClose()
{
    // While the window is still there to answer for it; the manager's
    // destructor would save as well, but could not tell anyone.
    const wxString strMessage = RulesSaveMessage(SaveUserRulesAtEnd(*m_pManager));
    if (!strMessage.empty())
        wxMessageBox(strMessage, _("Confirm"), wxOK | wxCENTRE | wxICON_WARNING, this);
}

void LinecastFrame::BindAccelerators()
{
    // GTK gives a menu's mnemonic precedence over an entry's accelerator, so
    // Alt-T would open "&Tools" instead of stopping; the frame's own table is
    // consulted first. It also keeps the keys when full screen hides the
    // menu bar.
    wxAcceleratorEntry entries[] = {
        {wxACCEL_ALT, 'S', m_pMenuStart->GetId()},
        {wxACCEL_ALT, 'T', m_pMenuStop->GetId()},
        {wxACCEL_ALT, 'X', m_pMenuQuit->GetId()},
        {wxACCEL_NORMAL, WXK_F11, m_pMenuFullscreen->GetId()},
    };
    SetAcceleratorTable(wxAcceleratorTable(WXSIZEOF(entries), entries));
}

void LinecastFrame::SetMinimumSize()
{
    // Small enough for a laptop screen, large enough that no docked pane is
    // squeezed out of sight and the status bar's texts are read whole: the
    // fixed fields, and room for "Completed" in the first.
    const wxStatusBar* pStatusBar = GetStatusBar();
    int nFieldsWidth = pStatusBar->GetTextExtent(_("Completed")).x + FromDIP(40);
    for (int i = 1; i < pStatusBar->GetFieldsCount(); ++i)
        nFieldsWidth += std::max(0, pStatusBar->GetStatusWidth(i));
    const wxSize size = FromDIP(wxSize(MIN_CLIENT_WIDTH, MIN_CLIENT_HEIGHT));
    SetMinClientSize(wxSize(std::max(size.x, nFieldsWidth), size.y));
}

void LinecastFrame::CreateSession()
{
    m_pExport = std::make_unique<ResultExport>(this, *m_pFileDialog,
                                               [this] { m_pSession->EnableControls(); });
    CountingSession::Parts parts;
    parts.pFrame = this;
    parts.pManager = m_pManager.get();
    parts.pCountingObserver = this;
    parts.pAnalysisObserver = this;
    parts.pFilterObserver = this;
    parts.pAnalysisParam = &m_analysisParam;
    parts.pFilterParam = &m_filterParam;
    parts.pSettings = m_pCountingSettings;
    parts.pAnalysis = m_pAnalysisPane;
    parts.arrFilterPanes = {m_pFilterDirectory, m_pFilterExtension, m_pFilterDate};
    parts.arrResultLists = {m_pListDetail, m_pListDirectory, m_pListExtension};
    parts.pDetailList = m_pListDetail;
    parts.pNotebook = m_pResultNotebook;
    parts.arrGuardedEntries = {m_pMenuStart,      m_pMenuCompare,    m_pMenuAddDirectory,
                               m_pMenuSourceType, m_pMenuExportHtml, m_pMenuExportCsv};
    parts.pToolBar = m_pToolBar;
    parts.nGuardedTool = m_idToolExport;
    parts.fnReadAnalysisParams = [this] { ReadAnalysisParams(); };
    parts.fnApplyFilters = [this] { ApplyFilters(); };
    parts.pExport = m_pExport.get();
    parts.pComparison = m_pComparison.get();
    parts.pChangesPage = m_pChangesPage;
    parts.fnShowComparison = [this] { ShowComparison(); };
    parts.fnRefreshComparison = [this] { RefreshComparison(); };
    m_pSession = std::make_unique<CountingSession>(parts);
}

void LinecastFrame::OnStartCounting(wxCommandEvent&)
{
    m_pSession->Start();
}

void LinecastFrame::OnStopCounting(wxCommandEvent&)
{
    m_pSession->Stop();
}

void LinecastFrame::OnCompareWith(wxCommandEvent&)
{
    // The dialog offers the revisions of the counted folders' repository.
    if (m_pSession->IsBusy() || !m_pSession->CheckInput())
        return;
    CompareWithDlg dlg(this, m_pSession->CompareRoot(), m_strLastCompared);
    if (dlg.ShowModal() == wxID_OK)
        CompareWith(dlg.GetVersion());
}

void LinecastFrame::CompareWith(const wxString& strOld)
{
    m_strLastCompared = strOld;
    m_pSession->Compare(strOld);
}

void LinecastFrame::OnRefreshResult(wxCommandEvent&)
{
    m_pSession->Refresh();
}

void LinecastFrame::EnableControls()
{
    m_pSession->EnableControls();
}

void LinecastFrame::ClearResultViews()
{
    m_pSession->ClearResultViews();
}

void LinecastFrame::OnFrameSize(wxSizeEvent& event)
{
    ShowFrameSize();
    event.Skip(); // the pane manager lays the panes out
}

void LinecastFrame::ShowFrameSize()
{
    // Size events arrive while the frame is still being built.
    const wxStatusBar* pStatusBar = GetStatusBar();
    if (!pStatusBar || pStatusBar->GetFieldsCount() < 4)
        return;
    const wxSize size = GetSize();
    SetStatusText(wxString::Format(_("Frame Size: w = %d, h = %d"), size.x, size.y), 3);
}
