#pragma once

#include "report/OutputFile.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <wx/string.h>
#include <wx/timer.h>

class Comparison;
class CountingManager;

// A comparison that the CSV export writes after the count's sections, with
// its two versions as the user named them; none when pComparison is null.
struct ComparedChanges
{
    const Comparison* pComparison = nullptr;
    wxString strOld;
    wxString strNew;
};
class wxFileDialog;
class wxFrame;

// Export CSV and Export HTML: asks for the target file with the frame's file
// chooser, writes it and tells the user whether that worked. The text is made
// and written on a thread of its own, so that a slow target (a FIFO read a
// little at a time, a slow disk) never holds up the window: meanwhile status
// field 0 shows how far it got, Stop cancels it, and a cancelled export
// leaves a file it was to replace as it was.
class ResultExport
{
public:
    // fnRunningChanged is called when an export begins and when it has
    // ended, so that the window can disable what must wait for it.
    ResultExport(wxFrame* pFrame, wxFileDialog& dialog, std::function<void()> fnRunningChanged);
    // Cancels an export still running and waits for it.
    ~ResultExport();

    ResultExport(const ResultExport&) = delete;
    ResultExport& operator=(const ResultExport&) = delete;

    // The results (or page) must stay as they are until the export has
    // ended: the window refuses what would change them while IsRunning().
    void ExportCsv(const CountingManager& manager, const ComparedChanges& changes = {});
    // Writes the page of the report pane as it is.
    void ExportHtml(const wxString& strPageText);

    // What choosing strPath in the file chooser leads to.
    void WriteCsv(const CountingManager& manager, const wxString& strPath,
                  const ComparedChanges& changes = {});
    void WriteHtml(const wxString& strPageText, const wxString& strPath);

    bool IsRunning() const { return m_thread.joinable(); }
    // Stop: the export ends within a fraction of a second; "Export canceled"
    // replaces its progress.
    void Cancel();
    // The window closes: cancels, waits for the thread and tells nothing.
    void CancelAndWait();

private:
    // Checks the target, then makes the text with fnText and writes it, both
    // on the export's thread.
    void Write(const wxString& strPath, std::function<std::string()> fnText);
    // False when the user cancels.
    bool ChooseTarget(const wxString& strWildcard, wxString& strPath);
    void ShowOutcome(const wxString& strPath, bool bWritten, const wxString& strError);
    void OnTimer(wxTimerEvent& event);
    void ShowProgress();
    // Joins the thread; false when it has not ended yet.
    bool Finish();

    wxFrame* m_pFrame;
    wxFileDialog& m_dialog;
    std::function<void()> m_fnRunningChanged;

    // Shared with the export's thread while it runs.
    OutputProgress m_progress;
    std::atomic<std::uint64_t> m_nTotal{0}; // bytes to write, once the text is made
    std::atomic<bool> m_bDone{false};
    bool m_bWritten = false;
    wxString m_strError;

    std::thread m_thread;
    wxTimer m_timer; // progress, and the end of the export
    wxString m_strPath;
    wxString m_strStatusBefore; // status field 0 before the export
};
