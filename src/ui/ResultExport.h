#pragma once

#include <functional>
#include <string>
#include <wx/string.h>

class CountingManager;
class wxFileDialog;
class wxWindow;

// Export CSV and Export HTML: asks for the target file with the frame's file
// chooser, writes it and tells the user whether that worked.
class ResultExport
{
public:
    ResultExport(wxWindow* pParent, wxFileDialog& dialog);
    virtual ~ResultExport() = default;

    void ExportCsv(const CountingManager& manager);
    // Writes the page of the report pane as it is.
    void ExportHtml(const wxString& strPageText);

    // What choosing strPath in the file chooser leads to.
    void WriteCsv(const CountingManager& manager, const wxString& strPath);
    void WriteHtml(const wxString& strPageText, const wxString& strPath);

private:
    // Checks the target, then writes the text fnText makes.
    void Write(const wxString& strPath, const std::function<std::string()>& fnText);
    // False when the user cancels.
    bool ChooseTarget(const wxString& strWildcard, wxString& strPath);
    void ShowOutcome(const wxString& strPath, bool bWritten, const wxString& strError);

    wxWindow* m_pParent;
    wxFileDialog& m_dialog;
};
