#pragma once

#include "engine/CountingManager.h"

#include <wx/dialog.h>

class wxButton;
class wxCheckBox;
class wxCheckListBox;

// The "Select types dialog": the user checks the file types to count and
// keeps the list of known types (add, edit, delete). It works on the counting
// manager's tables directly; after OK the selection flags follow the check
// marks and GetSelectedTypes() names the chosen extensions (".c;.h;").
class SrcTypeSelDlg : public wxDialog
{
public:
    // The tables are borrowed and must outlive the dialog.
    SrcTypeSelDlg(wxWindow* parent, RuleTable& ruleTable, ExtensionTable& extensionTable,
                  wxWindowID id = wxID_ANY);

    // Empty until OK; then every checked extension followed by ";", in list
    // order (empty when nothing is checked).
    const wxString& GetSelectedTypes() const { return m_strSelectedTypes; }

    // What OK does before the dialog closes: the selection flags become the
    // check marks and the selected types text is built.
    void AcceptChecks();

    // A type as the list shows it: "name - description ( rule style )".
    static wxString ItemText(const FileExtension& record);

private:
    // Fills the list from the table, keeping check marks not yet confirmed
    // with OK; a type not listed before shows its stored flag. strSelect
    // names the item to select afterwards, if any.
    void FillList(const wxString& strSelect = wxString());
    void UpdateButtons();
    FileExtension* CurrentRecord();

    void OnSelectionChanged(wxCommandEvent& event);
    void OnSelectAll(wxCommandEvent& event);
    void OnAdd(wxCommandEvent& event);
    void OnEdit(wxCommandEvent& event);
    void OnDelete(wxCommandEvent& event);
    void OnOk(wxCommandEvent& event);

    RuleTable& m_ruleTable;
    ExtensionTable& m_extensionTable;
    wxString m_strSelectedTypes;
    // The table key of every list item, by position: items are found by
    // their record, never by taking their text apart.
    wxArrayString m_arrItemNames;

    // Owned by the dialog as its children.
    wxCheckListBox* m_pList = nullptr;
    wxCheckBox* m_pCheckAll = nullptr;
    wxButton* m_pButtonAdd = nullptr;
    wxButton* m_pButtonEdit = nullptr;
    wxButton* m_pButtonDelete = nullptr;
};
