#include "ui/CountingSession.h"

#include "compare/Comparison.h"
#include "compare/VersionSpec.h"
#include "engine/CountingManager.h"
#include "engine/CountingParam.h"
#include "engine/NativePath.h"
#include "engine/Observers.h"
#include "report/AnalysisParam.h"
#include "ui/ResultExport.h"
#include "ui/panes/AnalysisPane.h"
#include "ui/panes/CountingSettingsPane.h"
#include "ui/panes/FilterCheckList.h"
#include "ui/panes/FilterPane.h"
#include "ui/results/ChangesPage.h"
#include "ui/results/ResultListCtrl.h"

#include <wx/aui/auibar.h>
#include <wx/aui/auibook.h>
#include <wx/bmpbuttn.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/combobox.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/numformatter.h>
#include <wx/propgrid/propgrid.h>
#include <wx/tokenzr.h>

namespace
{
// A status bar redrawn for every file of a big tree would cost more than the
// counting; twenty times a second reads as continuous.
constexpr long PROGRESS_INTERVAL_MS = 100;
} // namespace

CountingSession::CountingSession(const Parts& parts) : m_parts(parts) {}

bool CountingSession::CheckInput() const
{
    // Nothing is cleared before all three are known to be fine: a refused
    // Start leaves the last results as they were.
    const CountingSettingsPane& settings = *m_parts.pSettings;
    wxString strMessage;
    if (settings.GetDirectories().empty())
        strMessage = _("Please add source directory.");
    else if (settings.GetCheckedDirectories().empty())
        strMessage = _("Please check counting directory.");
    else if (settings.GetSourceTypeText().empty())
        strMessage = _("Please select source types.");
    if (strMessage.empty())
        return true;
    wxMessageBox(strMessage, _("Confirm"), wxOK | wxCENTRE, m_parts.pFrame);
    return false;
}

void CountingSession::Start()
{
    // The run pumps window events: a Start chosen from a menu or by its key
    // while a count runs must not begin a second count inside the first.
    if (m_bBusy || !CheckInput())
        return;
    Run(nullptr);
}

wxString CountingSession::CompareRoot() const
{
    wxString strRoot;
    std::vector<std::string> arrFolders;
    VersionSpec::SplitFolders(m_parts.pSettings->GetCheckedDirectories(), strRoot, arrFolders);
    return strRoot;
}

void CountingSession::Compare(const wxString& strOld)
{
    if (m_bBusy || !CheckInput())
        return;
    // The new version is what Start counts: the checked folders, below the
    // folder they all lie in, which the old version stands for.
    wxString strRoot;
    std::vector<std::string> arrFolders;
    VersionSpec::SplitFolders(m_parts.pSettings->GetCheckedDirectories(), strRoot, arrFolders);
    std::unique_ptr<VersionSource> pOld, pNew;
    wxString strError;
    if (!VersionSpec::Open(strOld, strRoot, wxString(), pOld, pNew, strError))
    {
        wxMessageBox(wxString::Format(_("Cannot compare with %s:\n%s"),
                                      NativePath::ToDisplay(strOld), strError),
                     _("Confirm"), wxOK | wxCENTRE | wxICON_ERROR, m_parts.pFrame);
        return;
    }
    const bool bRecursive = m_parts.pSettings->IsRecursive();
    Run(
        [&]
        {
            CountingManager& manager = *m_parts.pManager;
            Comparison& comparison = *m_parts.pComparison;
            // The comparison walks the folders through the manager: the
            // count's own walk and what it skipped stay as the count left
            // them, for Refresh and the exports.
            const CountingParam countParam = manager.m_countingParam;
            const std::vector<SkippedPath> arrCountSkipped = manager.m_arrSkippedPaths;
            m_parts.pChangesPage->BeginRun(pOld->Name(), strRoot);
            SetStatus(_("Comparing"), 0);
            SetStatus(FilesSoFarText(0), 1);
            m_bProgressPending = false;
            comparison.Run(*pOld, *pNew, arrFolders, bRecursive, *m_parts.pAnalysisParam);
            manager.m_countingParam = countParam;
            manager.m_arrSkippedPaths = arrCountSkipped;
            FlushProgress();
            m_parts.fnShowComparison();
        });
}

void CountingSession::Run(const std::function<void()>& fnCompare)
{
    CountingManager& manager = *m_parts.pManager;

    // The lists borrow the records ClearResults deletes: they let go of them
    // before anything can paint them again.
    ClearResultViews();
    manager.ClearResults();
    if (m_parts.pComparison)
        m_parts.pComparison->Clear();
    manager.m_nState = CountingManager::STATE_RUNNING;
    // The list that grows is in front: a count's files, or the changes.
    const int nPage = fnCompare ? m_parts.pNotebook->GetPageIndex(m_parts.pChangesPage) : 0;
    if (m_parts.pNotebook->GetSelection() != nPage)
        m_parts.pNotebook->SetSelection(nPage);
    EnableControls();
    // GTK leaves the window without a focus when the focused input goes
    // disabled, and then gives Alt-T to the "&Tools" menu's mnemonic instead
    // of the frame's Stop key. The Stop button is what a user wants now.
    m_parts.pSettings->StopButton()->SetFocus();

    CountingParam param;
    param.m_arrDirs = m_parts.pSettings->GetCheckedDirectories();
    param.m_arrTypes = SourceTypePieces(m_parts.pSettings->GetSourceTypeText());
    param.m_bRecursive = m_parts.pSettings->IsRecursive();
    m_parts.fnReadAnalysisParams();
    manager.SetCountingParam(param, *m_parts.pAnalysisParam);
    manager.m_pCountingObserver = m_parts.pCountingObserver;
    manager.m_pAnalysisObserver = m_parts.pAnalysisObserver;
    manager.m_pFilterObserver = m_parts.pFilterObserver;

    m_parts.pFrame->SetCursor(wxCursor(wxCURSOR_WAIT));
    SetStatus(_("Counting"), 0);
    SetStatus(FilesSoFarText(0), 1);
    m_bProgressPending = false;
    m_parts.pDetailList->BeginGrowing();
    m_runClock.Start();
    m_progressClock.Start();
    m_bBusy = true;
    manager.DoCounting();
    const bool bCompared = fnCompare && manager.m_nState != CountingManager::STATE_STOPPED;
    if (bCompared)
    {
        manager.m_nState = CountingManager::STATE_RUNNING;
        fnCompare();
    }
    m_bBusy = false;
    const long nElapsed = m_runClock.Time();

    m_parts.pFrame->SetCursor(wxNullCursor);
    FlushProgress();
    wxString strOutcome;
    if (manager.m_nState == CountingManager::STATE_STOPPED)
        strOutcome = _("Canceled");
    else if (manager.m_nState == CountingManager::STATE_COMPLETED)
        strOutcome = _("Completed");
    wxString strNotes;
    size_t nFiles = manager.m_arrFileResults.size();
    if (bCompared)
    {
        // Both versions' walks: the new one's skipped are the count's.
        const Comparison& comparison = *m_parts.pComparison;
        size_t nFolders = 0, nSkippedFiles = 0, nUnreadable = 0, nNotDiffed = 0;
        for (const SkippedPath& skipped : comparison.m_arrSkippedPaths)
            ++(skipped.m_nKind == SkippedPath::FOLDER ? nFolders : nSkippedFiles);
        for (const auto& pFile : comparison.m_arrFiles)
        {
            nUnreadable += pFile->m_bUnreadable;
            nNotDiffed += pFile->m_bNotDiffed;
        }
        for (const wxString& strNote :
             {SkippedText(nFolders, nSkippedFiles), ComparisonNotesText(nUnreadable, nNotDiffed)})
            if (!strNote.empty())
                strNotes += (strNotes.empty() ? "" : "; ") + strNote;
        nFiles = comparison.m_arrFiles.size();
    }
    else
    {
        const size_t nLeftOut = manager.CountSkipped(SkippedPath::FOLDER, SkippedPath::MISSING) +
                                manager.CountSkipped(SkippedPath::FOLDER, SkippedPath::UNREADABLE);
        for (const wxString& strNote :
             {LeftOutText(nLeftOut), SkippedText(manager.CountSkipped(SkippedPath::FOLDER),
                                                 manager.CountSkipped(SkippedPath::FILE))})
            if (!strNote.empty())
                strNotes += (strNotes.empty() ? "" : "; ") + strNote;
    }
    if (!strOutcome.empty())
        SetStatus(strNotes.empty() ? strOutcome : strOutcome + "; " + strNotes, 0);
    SetStatus(FilesCountedText(nFiles, nElapsed), 1);
    EnableControls();
    m_parts.pSettings->StartButton()->SetFocus();

    if (m_bCloseWanted)
    {
        // The close that came during the count; the frame is destroyed
        // later, at idle time, after this handler has returned.
        m_bCloseWanted = false;
        m_parts.pFrame->Close(true);
        return;
    }
    // A checked folder deleted or renamed since it was added counts nothing:
    // the user is told which, as when adding one, once the rest is counted.
    const wxString strLeftOut = LeftOutMessage(manager.m_arrSkippedPaths);
    if (!strLeftOut.empty())
        wxMessageBox(strLeftOut, _("Confirm"), wxOK | wxCENTRE, m_parts.pFrame);
}

void CountingSession::Stop()
{
    m_parts.pManager->m_nState = CountingManager::STATE_STOPPED;
    if (m_parts.pExport)
        m_parts.pExport->Cancel();
}

bool CountingSession::IsExporting() const
{
    return m_parts.pExport && m_parts.pExport->IsRunning();
}

void CountingSession::Refresh()
{
    if (m_bBusy)
        return;
    CountingManager& manager = *m_parts.pManager;
    m_parts.fnReadAnalysisParams();
    m_parts.fnApplyFilters();

    m_parts.pFrame->SetCursor(wxCursor(wxCURSOR_WAIT));
    manager.m_nState = CountingManager::STATE_RUNNING;
    EnableControls();
    // Refilter does not pump events: nothing can arrive while it works.
    if (m_parts.pAnalysisParam->m_bModified || m_parts.pFilterParam->m_bChanged)
    {
        manager.Refilter(*m_parts.pAnalysisParam, *m_parts.pFilterParam);
        if (m_parts.fnRefreshComparison)
            m_parts.fnRefreshComparison();
    }
    m_parts.pFilterParam->m_bChanged = false;

    manager.m_nState = CountingManager::STATE_STOPPED;
    EnableControls();
    m_parts.pFrame->SetCursor(wxNullCursor);
}

void CountingSession::EnableControls()
{
    const bool bRunning =
        m_parts.pManager->m_nState == CountingManager::STATE_RUNNING || IsExporting();
    const bool bInput = !bRunning;
    const CountingSettingsPane& settings = *m_parts.pSettings;
    settings.StopButton()->Enable(bRunning);
    wxWindow* const inputs[] = {settings.DirectoryList(),
                                settings.AddDirectoryButton(),
                                settings.DeleteDirectoryButton(),
                                settings.RecursiveBox(),
                                settings.SourceTypeBox(),
                                settings.SourceTypeButton(),
                                settings.StartButton(),
                                m_parts.pAnalysis->GetGrid(),
                                m_parts.pAnalysis->GetRefreshButton()};
    for (wxWindow* pWindow : inputs)
        pWindow->Enable(bInput);
    for (const FilterPane* pPane : m_parts.arrFilterPanes)
    {
        pPane->GetList()->Enable(bInput);
        pPane->GetSelectAll()->Enable(bInput);
        pPane->GetRefreshButton()->Enable(bInput);
    }
    for (ResultListCtrl* pList : m_parts.arrResultLists)
        pList->Enable(bInput);
    if (m_parts.pChangesPage)
        m_parts.pChangesPage->Enable(bInput);

    for (wxMenuItem* pEntry : m_parts.arrGuardedEntries)
        pEntry->Enable(bInput);
    if (m_parts.pToolBar && m_parts.pToolBar->GetToolEnabled(m_parts.nGuardedTool) != bInput)
    {
        m_parts.pToolBar->EnableTool(m_parts.nGuardedTool, bInput);
        m_parts.pToolBar->Refresh();
    }
}

void CountingSession::ClearResultViews()
{
    for (ResultListCtrl* pList : m_parts.arrResultLists)
    {
        pList->EndGrowing(); // every record it holds is a row
        if (pList->GetItemCount() > 0)
            pList->DeleteAllItems();
    }
    for (FilterPane* pPane : m_parts.arrFilterPanes)
        pPane->Clear();
    if (m_parts.pChangesPage)
        m_parts.pChangesPage->Clear();
}

void CountingSession::OnClose(wxCloseEvent& event)
{
    // An export is cancelled at once: what it would replace stays whole.
    if (m_parts.pExport)
        m_parts.pExport->CancelAndWait();
    if (!m_bBusy)
    {
        event.Skip(); // closes and destroys the frame as usual
        return;
    }
    // The count is running inside a handler further up this thread's stack:
    // destroying the window or the engine now would pull them from under it.
    // Even a close that cannot be refused waits; the run ends before its next
    // file.
    m_bCloseWanted = true;
    Stop();
    if (event.CanVeto())
        event.Veto();
}

void CountingSession::ShowProgress(const wxString& strPath, size_t nFiles)
{
    m_strPendingPath = strPath;
    m_nPendingFiles = nFiles;
    m_bProgressPending = true;
    if (m_progressClock.Time() >= PROGRESS_INTERVAL_MS)
        WriteProgress();
}

void CountingSession::FlushProgress()
{
    m_parts.pDetailList->EndGrowing();
    if (m_parts.pChangesPage)
        m_parts.pChangesPage->EndGrowing();
    WriteProgress();
}

void CountingSession::WriteProgress()
{
    if (!m_bProgressPending)
        return;
    m_bProgressPending = false;
    m_progressClock.Start();
    // Only the paths drawn pay for the replacement of bytes that are not UTF-8.
    SetStatus(NativePath::ToDisplay(m_strPendingPath), 0);
    SetStatus(FilesSoFarText(m_nPendingFiles), 1);
}

void CountingSession::SetStatus(const wxString& strText, int nField)
{
    m_parts.pFrame->SetStatusText(strText, nField);
}

wxArrayString SourceTypePieces(const wxString& strText)
{
    return wxStringTokenize(strText, ";", wxTOKEN_RET_EMPTY);
}

wxString GroupThousands(size_t nValue)
{
    wxChar chSeparator = 0;
    if (!wxNumberFormatter::GetThousandsSeparatorIfUsed(&chSeparator) || !chSeparator)
        chSeparator = ',';
    wxString strDigits = wxString::Format("%zu", nValue);
    for (int nPos = static_cast<int>(strDigits.length()) - 3; nPos > 0; nPos -= 3)
        strDigits.insert(nPos, 1, chSeparator);
    return strDigits;
}

wxString FilesSoFarText(size_t nFiles)
{
    return wxString::Format(wxPLURAL("%s file", "%s files", nFiles), GroupThousands(nFiles));
}

wxString FilesCountedText(size_t nFiles, long nMilliseconds)
{
    // Tenths of a second, rounded, with the locale's decimal mark.
    const double fSeconds = static_cast<double>((nMilliseconds + 50) / 100) / 10.0;
    return wxString::Format(wxPLURAL("%s file in %s s", "%s files in %s s", nFiles),
                            GroupThousands(nFiles), wxNumberFormatter::ToString(fSeconds, 1));
}

wxString SkippedText(size_t nFolders, size_t nFiles)
{
    wxString strFolders, strFiles;
    if (nFolders > 0)
        strFolders = wxString::Format(wxPLURAL("%s folder skipped as already included",
                                               "%s folders skipped as already included", nFolders),
                                      GroupThousands(nFolders));
    if (nFiles > 0)
        strFiles = wxString::Format(
            wxPLURAL("%s file skipped as already counted under another name",
                     "%s files skipped as already counted under other names", nFiles),
            GroupThousands(nFiles));
    if (strFolders.empty() || strFiles.empty())
        return strFolders + strFiles;
    return strFolders + "; " + strFiles;
}

wxString LeftOutText(size_t nFolders)
{
    if (nFolders == 0)
        return wxString();
    return wxString::Format(wxPLURAL("%s folder left out as missing or unreadable",
                                     "%s folders left out as missing or unreadable", nFolders),
                            GroupThousands(nFolders));
}

wxString LeftOutMessage(const std::vector<SkippedPath>& arrSkipped)
{
    wxString strFolders;
    size_t nFolders = 0;
    for (const SkippedPath& skipped : arrSkipped)
    {
        if (skipped.m_nReason == SkippedPath::ALREADY_INCLUDED)
            continue;
        const wxString strPath = NativePath::ToDisplay(skipped.m_strPath);
        strFolders += wxString::Format(skipped.m_nReason == SkippedPath::MISSING
                                           ? _("The folder \"%s\" does not exist.")
                                           : _("The folder \"%s\" cannot be read."),
                                       strPath) +
                      "\n";
        ++nFolders;
    }
    if (nFolders == 0)
        return wxString();
    return strFolders + "\n" +
           wxPLURAL("It was left out of the count.", "They were left out of the count.", nFolders);
}

wxString ComparisonNotesText(size_t nUnreadable, size_t nNotDiffed)
{
    wxString strUnreadable, strNotDiffed;
    if (nUnreadable > 0)
        strUnreadable = wxString::Format(
            wxPLURAL("%s file unreadable in a version, compared as empty",
                     "%s files unreadable in a version, compared as empty", nUnreadable),
            GroupThousands(nUnreadable));
    if (nNotDiffed > 0)
        strNotDiffed = wxString::Format(wxPLURAL("%s file too large to diff, counted as rewritten",
                                                 "%s files too large to diff, counted as rewritten",
                                                 nNotDiffed),
                                        GroupThousands(nNotDiffed));
    if (strUnreadable.empty() || strNotDiffed.empty())
        return strUnreadable + strNotDiffed;
    return strUnreadable + "; " + strNotDiffed;
}
