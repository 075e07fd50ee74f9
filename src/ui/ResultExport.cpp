#include "ui/ResultExport.h"

#include "report/CsvWriter.h"
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
    wxString strError;
    const bool bWritten = WriteResultCsv(manager, strPath, strError);
    ShowOutcome(strPath, bWritten, strError);
}

void ResultExport::WriteHtml(const wxString& strPageText, const wxString& strPath)
{
    // The page as UTF-8, nothing added; through a temporary file like the
    // CSV, so a failed export leaves a previous file whole.
    const wxScopedCharBuffer buf = strPageText.utf8_str();
    wxString strError;
    const bool bWritten = WriteOutputFile(strPath, std::string(buf.data(), buf.length()), strError);
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
        wxMessageBox(wxString::Format(_("Could not export to \"%s\":\n%s"), strPath, strError),
                     _("Confirm"), wxOK | wxCENTRE | wxICON_ERROR, m_pParent);
}
