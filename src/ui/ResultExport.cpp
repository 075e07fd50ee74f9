#include "ui/ResultExport.h"

#include "report/ChangeCsvWriter.h"
#include "report/CsvWriter.h"
#include "report/MessagePath.h"

#include <wx/filedlg.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>
#include <wx/statusbr.h>

namespace
{
// How often the progress is redrawn and the end of the export looked for.
constexpr int PROGRESS_INTERVAL_MS = 100;
} // namespace

ResultExport::ResultExport(wxFrame* pFrame, wxFileDialog& dialog,
                           std::function<void()> fnRunningChanged)
    : m_pFrame(pFrame), m_dialog(dialog), m_fnRunningChanged(std::move(fnRunningChanged))
{
    m_timer.Bind(wxEVT_TIMER, &ResultExport::OnTimer, this);
}

ResultExport::~ResultExport()
{
    CancelAndWait();
}

void ResultExport::ExportCsv(const CountingManager& manager, const ComparedChanges& changes)
{
    wxString strPath;
    if (ChooseTarget(_("CSV files (*.csv)|*.csv"), strPath))
        WriteCsv(manager, strPath, changes);
}

void ResultExport::ExportHtml(const wxString& strPageText)
{
    wxString strPath;
    if (ChooseTarget(_("HTML files (*.html;*.htm)|*.html;*.htm"), strPath))
        WriteHtml(strPageText, strPath);
}

void ResultExport::WriteCsv(const CountingManager& manager, const wxString& strPath,
                            const ComparedChanges& changes)
{
    // A comparison follows as the command line writes it, every file of it.
    Write(strPath,
          [&manager, changes]
          {
              std::string strText = FormatResultCsv(manager);
              if (changes.pComparison)
                  strText += "\r\n" + FormatChangeCsv(*changes.pComparison, changes.strOld,
                                                      changes.strNew, false);
              return strText;
          });
}

void ResultExport::WriteHtml(const wxString& strPageText, const wxString& strPath)
{
    // The page as UTF-8, nothing added; taken now, while it is the page shown.
    const wxScopedCharBuffer buf = strPageText.utf8_str();
    Write(strPath, [strBytes = std::string(buf.data(), buf.length())] { return strBytes; });
}

void ResultExport::Write(const wxString& strPath, std::function<std::string()> fnText)
{
    if (IsRunning())
        return;
    // A target that cannot be written is named before the text is made.
    // Through a temporary file and a rename, so a failed or cancelled export
    // leaves a previous file whole; a FIFO nobody reads fails the export, and
    // one whose reader stops reading fails it after a while.
    wxString strError;
    if (!CheckOutputTarget(strPath, strError))
    {
        ShowOutcome(strPath, false, strError);
        return;
    }

    m_strPath = strPath;
    m_progress.bCancel = false;
    m_progress.nWritten = 0;
    m_nTotal = 0;
    m_bDone = false;
    m_bWritten = false;
    m_strError.clear();
    m_strStatusBefore =
        m_pFrame->GetStatusBar() ? m_pFrame->GetStatusBar()->GetStatusText(0) : wxString();
    m_thread = std::thread(
        [this, fnText = std::move(fnText), strTarget = strPath]
        {
            const std::string strBytes = fnText();
            m_nTotal = strBytes.size();
            wxString strWriteError;
            m_bWritten = !m_progress.bCancel && WriteOutputFile(strTarget, strBytes, strWriteError,
                                                                OutputWait::Briefly, &m_progress);
            m_strError = strWriteError;
            m_bDone = true; // m_bWritten and m_strError are read after this
        });
    ShowProgress();
    m_timer.Start(PROGRESS_INTERVAL_MS);
    if (m_fnRunningChanged)
        m_fnRunningChanged();
}

void ResultExport::Cancel()
{
    if (IsRunning())
        m_progress.bCancel = true;
}

void ResultExport::CancelAndWait()
{
    if (!IsRunning())
        return;
    m_progress.bCancel = true;
    m_timer.Stop();
    m_thread.join();
}

bool ResultExport::Finish()
{
    if (!m_bDone)
        return false;
    m_thread.join();
    m_timer.Stop();
    return true;
}

void ResultExport::OnTimer(wxTimerEvent&)
{
    if (!Finish())
    {
        ShowProgress();
        return;
    }
    const bool bCancelled = m_progress.bCancel && !m_bWritten;
    if (m_pFrame->GetStatusBar())
        m_pFrame->SetStatusText(bCancelled ? _("Export canceled") : m_strStatusBefore, 0);
    if (m_fnRunningChanged)
        m_fnRunningChanged();
    if (!bCancelled)
        ShowOutcome(m_strPath, m_bWritten, m_strError);
}

void ResultExport::ShowProgress()
{
    if (!m_pFrame->GetStatusBar())
        return;
    const std::uint64_t nTotal = m_nTotal;
    const int nPercent = nTotal > 0 ? static_cast<int>(m_progress.nWritten * 100 / nTotal) : 0;
    m_pFrame->SetStatusText(wxString::Format(_("Exporting: %d%%"), nPercent), 0);
}

bool ResultExport::ChooseTarget(const wxString& strWildcard, wxString& strPath)
{
    // The chooser is shared by both exports; each sets its own file types.
    m_dialog.SetWildcard(strWildcard);
    if (m_dialog.ShowModal() != wxID_OK)
        return false;
    strPath = m_dialog.GetPath();
    return true;
}

void ResultExport::ShowOutcome(const wxString& strPath, bool bWritten, const wxString& strError)
{
    if (bWritten)
        wxMessageBox(_("Export completed!"), _("Confirm"), wxOK | wxCENTRE, m_pFrame);
    else
        wxMessageBox(wxString::Format(_("Could not export to \"%s\":\n%s"), PathForMessage(strPath),
                                      strError),
                     _("Confirm"), wxOK | wxCENTRE | wxICON_ERROR, m_pFrame);
}
