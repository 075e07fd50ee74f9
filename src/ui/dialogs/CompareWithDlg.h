#pragma once

#include <wx/dialog.h>

class wxComboBox;
class wxDirPickerCtrl;
class wxRadioButton;

// "Compare with...": picks the old version to compare the counted folders
// with, a folder or a revision of the git repository they lie in (one of its
// tags or branches from the list, or any revision git knows, typed). Without
// a repository the revision cannot be chosen, and the dialog says why.
class CompareWithDlg : public wxDialog
{
public:
    // strRoot: the folder the counted folders lie in, the new version.
    // strLast: the version chosen last time, shown first.
    CompareWithDlg(wxWindow* pParent, const wxString& strRoot, const wxString& strLast);

    // The old version as the comparison takes it: a folder's absolute path,
    // or "git:" and the revision.
    wxString GetVersion() const;

    wxRadioButton* FolderChoice() const { return m_pFolderChoice; }
    wxRadioButton* RevisionChoice() const { return m_pRevisionChoice; }
    wxDirPickerCtrl* FolderPicker() const { return m_pFolder; }
    wxComboBox* RevisionBox() const { return m_pRevision; }
    // Why the revision cannot be chosen; empty when it can.
    const wxString& NoRepositoryText() const { return m_strNoRepository; }

private:
    void OnOk(wxCommandEvent& event);
    void EnableChoices();

    wxRadioButton* m_pFolderChoice = nullptr;
    wxDirPickerCtrl* m_pFolder = nullptr;
    wxRadioButton* m_pRevisionChoice = nullptr;
    wxComboBox* m_pRevision = nullptr;
    wxString m_strNoRepository;
};
