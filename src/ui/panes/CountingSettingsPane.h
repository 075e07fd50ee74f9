#pragma once

#include <wx/arrstr.h>
#include <wx/panel.h>

class wxBitmapButton;
class wxCheckBox;
class wxCheckListBox;
class wxComboBox;

// The "Counting Settings" pane: the source folders (checked ones are
// counted), whether their subfolders are walked, the chosen source types with
// their history, and the Start and Stop buttons. It keeps what the user chose;
// the frame routes its buttons and acts on the choice.
class CountingSettingsPane : public wxPanel
{
public:
    explicit CountingSettingsPane(wxWindow* parent);

    // Source folders, in list order.
    void SetDirectories(const wxArrayString& arrDirectories); // restored ones start unchecked
    wxArrayString GetDirectories() const;
    wxArrayString GetCheckedDirectories() const;
    void AddDirectory(const wxString& strPath); // a folder just chosen comes checked
    // A folder the user chose or dropped on the list: refused with a message
    // naming it when it is not a folder that can be read, else added checked.
    bool AddChosenDirectory(const wxString& strPath);
    // Where the folder chooser opens: the last listed folder that still
    // exists (the one chosen last), else the home folder.
    wxString ChooserStartFolder() const;
    // Deletes the selected folder after asking; does nothing without one.
    void DeleteSelectedDirectory();
    bool IsRecursive() const;

    // Source types: the box's text is the current choice (".c;.h;"), its
    // entries the earlier choices. The history puts the current choice first,
    // then the others newest first.
    wxString GetSourceTypeText() const;
    void ShowSourceTypes(const wxString& strTypes);
    void SetSourceTypeHistory(const wxArrayString& arrHistory); // the newest becomes the text
    wxArrayString GetSourceTypeHistory() const;

    static constexpr size_t MAX_SOURCE_TYPE_HISTORY = 16;

    // The controls whose events the frame routes and whose state a run
    // changes.
    wxBitmapButton* AddDirectoryButton() const { return m_pButtonAddDirectory; }
    wxBitmapButton* DeleteDirectoryButton() const { return m_pButtonDeleteDirectory; }
    wxCheckListBox* DirectoryList() const { return m_pListSourceDirectory; }
    wxCheckBox* RecursiveBox() const { return m_pCheckRecursive; }
    wxComboBox* SourceTypeBox() const { return m_pComboSourceType; }
    wxBitmapButton* SourceTypeButton() const { return m_pButtonSourceType; }
    wxBitmapButton* StartButton() const { return m_pButtonStart; }
    wxBitmapButton* StopButton() const { return m_pButtonStop; }

private:
    // Owned by the pane as its children (or its static boxes').
    wxBitmapButton* m_pButtonAddDirectory = nullptr;
    wxBitmapButton* m_pButtonDeleteDirectory = nullptr;
    wxCheckListBox* m_pListSourceDirectory = nullptr;
    wxCheckBox* m_pCheckRecursive = nullptr;
    wxComboBox* m_pComboSourceType = nullptr;
    wxBitmapButton* m_pButtonSourceType = nullptr;
    wxBitmapButton* m_pButtonStart = nullptr;
    wxBitmapButton* m_pButtonStop = nullptr;
};
