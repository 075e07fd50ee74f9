#pragma once

#include "engine/CountingManager.h"

#include <wx/dialog.h>

class wxComboBox;
class wxTextCtrl;

// The "File type setting dialog": fills in a new file type or edits one in
// place (its extension, description and source style), and lets the user
// reword the chosen style's description. The style's comment markers are
// shown, never changed: they come only from the rules file.
class CounterRuleDlg : public wxDialog
{
public:
    // In edit mode the extension cannot be changed. The rule table and the
    // record are borrowed; the record is written only when OK is accepted.
    CounterRuleDlg(wxWindow* parent, bool bEdit, RuleTable& ruleTable, FileExtension& record,
                   wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition);

    // What OK does before the dialog closes: checks every field, telling the
    // user what is missing, and stores the entries only when all are right.
    // False leaves the dialog open and the record and rules untouched.
    bool AcceptEntries();

    // Long enough for every extension in use (".applescript", ".component").
    static constexpr int MAX_EXTENSION_LENGTH = 16; // the dot included
    static constexpr int MAX_DESCRIPTION_LENGTH = 128;

private:
    void OnStyleSelected(wxCommandEvent& event);
    void OnOk(wxCommandEvent& event);
    void ShowStyle();
    CounterRule* ChosenRule();

    bool m_bEdit;
    RuleTable& m_ruleTable;
    FileExtension& m_record;

    // Owned by the dialog as its children.
    wxTextCtrl* m_pTextExtension = nullptr;
    wxTextCtrl* m_pTextDescription = nullptr;
    wxComboBox* m_pComboStyle = nullptr;
    wxTextCtrl* m_pTextStyleDescription = nullptr;
    wxTextCtrl* m_pTextSingleLine = nullptr;
    wxTextCtrl* m_pTextBlockBegin = nullptr;
    wxTextCtrl* m_pTextBlockEnd = nullptr;
};
