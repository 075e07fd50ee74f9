#pragma once

#include <wx/arrstr.h>
#include <wx/panel.h>

class FilterCheckList;
class FilterParam;
class wxBitmapButton;
class wxCheckBox;

// One of the three filter panes (folders, modified dates, extensions): a check
// list of the values the last count found, a "Select All" box and a "Refresh
// result" button. The user's check marks become a FilterParam only when a
// "Refresh result" button is pressed.
class FilterPane : public wxPanel
{
public:
    // Window names of the pane and its controls.
    struct Names
    {
        const char* szPanel;
        const char* szList;
        const char* szSelectAll;
        const char* szRefresh;
    };

    FilterPane(wxWindow* pParent, const Names& names, long nRefreshStyle);

    // Replaces the entries with these values, in their order, each checked.
    // The "Select All" box keeps the state the user gave it. A folder or
    // extension that is not UTF-8 shows with a replacement character, but its
    // entry stands for the value itself.
    void Fill(const wxArrayString& arrValues);
    void Clear();
    // What the "Select All" box does: every entry checked or unchecked.
    void CheckAll(bool bCheck);
    // Adds the value of each checked entry not yet in arrValues (exact value,
    // never the text shown) to it; returns whether it added any. bActive tells whether the filter
    // narrows the results: not every entry is among the values taken.
    bool TakeCheckedValues(wxArrayString& arrValues, bool& bActive) const;

    // The directory pane's popup menu on an entry: "Untick with subfolders"
    // and "Tick with subfolders", which leave a whole tree out, or take it
    // back, in one action.
    void EnableFolderTreeMenu();
    // Ticks or unticks entry n and every entry of a folder below it.
    void CheckFolderTree(unsigned n, bool bCheck);

    FilterCheckList* GetList() const { return m_pList; }
    wxCheckBox* GetSelectAll() const { return m_pSelectAll; }
    wxBitmapButton* GetRefreshButton() const { return m_pRefresh; }

private:
    void PopupFolderTreeMenu(long nEntry);

    FilterCheckList* m_pList = nullptr;
    wxCheckBox* m_pSelectAll = nullptr;
    wxBitmapButton* m_pRefresh = nullptr;
    int m_idUntickTree = wxID_NONE;
    int m_idTickTree = wxID_NONE;
};

// Rebuilds param from the check marks of the three panes: the checked values
// of each, sorted, whether each filter is active, and m_bChanged set when any
// value was taken or any filter is active (it is never cleared here).
void ApplyFilterPanes(const FilterPane& directories, const FilterPane& extensions,
                      const FilterPane& dates, FilterParam& param);

// "Filtering result by: " and the active filters ("Directory | Extension |
// Modified Date"), or "None".
wxString FilterStatusText(const FilterParam& param);
