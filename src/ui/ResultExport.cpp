#include "ui/ResultExport.h"

#include "report/CsvWriter.h"
#include "report/MessagePath.h"
#include "report/OutputFile.h"

#include <wx/filedlg.h>
#include <wx/msgdlg.h>

ResultExport::ResultExport(wxWindow* pParent, wxFileDialog& dialog)
    : m_pParent(pParent), m_dialog(dialog)
{
}

void ResultExport::ExportCsv(const CountingManager& manager)
{
    wxString strPath;
    if (ChooseTarget(_("CSV files (*.csv)|*.csv"), strPath))
        WriteCsv(manager, strPath);
}

void ResultExport::ExportHtml(const wxString& strPageText)
{
    wxString strPath;
    if (ChooseTarget(_("HTML files (*.html;*.htm)|*.html;*.htm"), strPath))
        WriteHtml(strPageText, strPath);
}

void ResultExport::WriteCsv(const CountingManager& manager, const wxString& strPath)
{
    Write(strPath, [&manager] { return FormatResultCsv(manager); });
}

void ResultExport::WriteHtml(const wxString& strPageText, const wxString& strPath)
{
    // The page as UTF-8, nothing added.
    Write(strPath,
          [&strPageText]
          {
              const wxScopedCharBuffer buf = strPageText.utf8_str();
              return std::string(buf.data(), buf.length());
          });
}

void ResultExport::Write(const wxString& strPath, const std::function<std::string()>& fnText)
{
    // A target that cannot be written is named before the text is made.
    // Through a temporary file and a rename, so a failed export leaves a
    // previous file whole; a FIFO nobody reads, or a reader that stops
    // reading, fails the export rather than freezing the window.
    wxString strError;
    const bool bWritten = CheckOutputTarget(strPath, strError) &&
                          WriteOutputFile(strPath, fnText(), strError, OutputWait::Briefly);
    ShowOutcome(strPath, bWritten, strError);
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
        wxMessageBox(_("Export completed!"), _("Confirm"), wxOK | wxCENTRE, m_pParent);
    else
        wxMessageBox(wxString::Format(_("Could not export to \"%s\":\n%s"), PathForMessage(strPath),
                                      strError),
                     _("Confirm"), wxOK | wxCENTRE | wxICON_ERROR, m_pParent);
}
