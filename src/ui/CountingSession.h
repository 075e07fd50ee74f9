#pragma once

#include "engine/SkippedPath.h"

#include <functional>
#include <vector>
#include <wx/arrstr.h>
#include <wx/stopwatch.h>
#include <wx/string.h>

class AnalysisObserver;
class ChangesPage;
class Comparison;
class AnalysisPane;
class AnalysisParam;
class CountingManager;
class CountingObserver;
class CountingSettingsPane;
class FilterObserver;
class FilterPane;
class FilterParam;
class ResultExport;
class ResultListCtrl;
class wxAuiNotebook;
class wxAuiToolBar;
class wxCloseEvent;
class wxFrame;
class wxMenuItem;

// Start, Stop and Refresh of the main window: the checks before a count, the
// inputs that follow the run state, the status bar texts, and the guard that
// keeps the window and the engine alive while a count runs on the GUI thread.
class CountingSession
{
public:
    // What a session works on; everything is borrowed from the frame.
    struct Parts
    {
        wxFrame* pFrame = nullptr;
        CountingManager* pManager = nullptr;
        // Where the engine reports back: the frame.
        CountingObserver* pCountingObserver = nullptr;
        AnalysisObserver* pAnalysisObserver = nullptr;
        FilterObserver* pFilterObserver = nullptr;
        AnalysisParam* pAnalysisParam = nullptr;
        FilterParam* pFilterParam = nullptr;
        CountingSettingsPane* pSettings = nullptr;
        AnalysisPane* pAnalysis = nullptr;
        std::vector<FilterPane*> arrFilterPanes;
        std::vector<ResultListCtrl*> arrResultLists;
        ResultListCtrl* pDetailList = nullptr; // the one a count appends to
        wxAuiNotebook* pNotebook = nullptr;
        // Menu entries and the tool that would start a second run inside the
        // first or change what a run uses: disabled while one runs.
        std::vector<wxMenuItem*> arrGuardedEntries;
        wxAuiToolBar* pToolBar = nullptr;
        int nGuardedTool = -1;
        // The frame's own steps of a Start and a Refresh: the analysis grid
        // into the parameters, the filter panes into the filter parameters.
        std::function<void()> fnReadAnalysisParams;
        std::function<void()> fnApplyFilters;
        // The exports, which write on a thread of their own: while one runs
        // the inputs wait as they do for a count, and Stop cancels it.
        ResultExport* pExport = nullptr;
        // A comparison with an older version and the page that shows it;
        // the frame's steps after one (the filter panes, the page, the
        // report), and after a Refresh.
        Comparison* pComparison = nullptr;
        ChangesPage* pChangesPage = nullptr;
        std::function<void()> fnShowComparison;
        std::function<void()> fnRefreshComparison;
    };

    explicit CountingSession(const Parts& parts);

    // Checks the input (a message names what is missing and nothing changes),
    // then clears the results and counts on this thread until the run ends.
    // Ignored while a count runs.
    void Start();
    // Checks the input as Start does, opens strOld (a folder, or "git:REV"
    // of the repository the counted folders lie in; a message tells what
    // cannot be opened, and nothing changes), then counts the folders as
    // Start does and compares the old version with them, on this thread
    // until the run ends. Stop ends either part.
    void Compare(const wxString& strOld);
    // The folder the counted folders lie in: what Compare takes as the new
    // version.
    wxString CompareRoot() const;
    // Whether a count can start: the folders listed and checked and the
    // source types chosen; a message names what is missing.
    bool CheckInput() const;
    // Asks a running count to end, in the middle of a file if need be, and
    // cancels a running export.
    void Stop();
    // Derives every view again from the stored results with the current
    // analysis parameters and filters, without counting again.
    void Refresh();
    // Inputs enabled exactly when no run is going on; Stop the other way.
    void EnableControls();
    // Empties the result lists and the filter lists.
    void ClearResultViews();

    // The window's close request: while a count runs, the count is asked to
    // stop and the window closes once the count has returned; a running
    // export is cancelled first.
    void OnClose(wxCloseEvent& event);
    // A count or an export is running: nothing may change the results.
    bool IsBusy() const { return m_bBusy || IsExporting(); }
    bool IsExporting() const;

    // Progress during a count: the path of the file just counted (status
    // field 0) and the number counted so far (field 1), redrawn a limited
    // number of times a second. Flush writes what the last call left undrawn
    // and shows every row of the detail list.
    void ShowProgress(const wxString& strPath, size_t nFiles);
    void FlushProgress();

private:
    // Start and Compare after their checks: clears every result, counts, and
    // calls fnCompare when the count was not stopped.
    void Run(const std::function<void()>& fnCompare);
    void WriteProgress();
    void SetStatus(const wxString& strText, int nField);

    Parts m_parts;
    bool m_bBusy = false;        // inside DoCounting
    bool m_bCloseWanted = false; // a close came while busy
    wxStopWatch m_runClock;
    wxStopWatch m_progressClock;
    wxString m_strPendingPath; // the newest path not yet shown
    size_t m_nPendingFiles = 0;
    bool m_bProgressPending = false;
};

// The source type text cut at every ";": an empty piece between two
// separators is kept, nothing is taken after a final one.
wxArrayString SourceTypePieces(const wxString& strText);
// "12,345 files": the files counted so far, digits grouped.
wxString FilesSoFarText(size_t nFiles);
// "55,418 files in 4.2 s": the count of a finished or stopped run.
wxString FilesCountedText(size_t nFiles, long nMilliseconds);
// "1 folder skipped as already included": what a run left out because it was
// reached twice (folders, then files); empty when it left out nothing.
wxString SkippedText(size_t nFolders, size_t nFiles);
// "1 folder left out as missing or unreadable": the checked folders a run
// could not count at all; empty when there were none.
wxString LeftOutText(size_t nFolders);
// The message that names each checked folder a run could not count, and why;
// empty when it counted them all.
wxString LeftOutMessage(const std::vector<SkippedPath>& arrSkipped);
// What a comparison notes besides the skipped: the files a version of which
// could not be read, and those too large to diff; empty when none.
wxString ComparisonNotesText(size_t nUnreadable, size_t nNotDiffed);
// Digits grouped in thousands with the locale's separator (a comma where the
// locale has none).
wxString GroupThousands(size_t nValue);
