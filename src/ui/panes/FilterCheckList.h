#pragma once

#include <vector>
#include <wx/arrstr.h>
#include <wx/listctrl.h>

// The check list of a filter pane: one entry per value, each with a check
// box, used as a check list box is (Check, IsChecked, GetCount, GetString).
// It is a virtual list that draws only the entries in view, so that the
// thousands of folders of a large tree are listed at once, where GTK's own
// check list measures every row at idle time, for seconds.
class FilterCheckList : public wxListCtrl
{
public:
    FilterCheckList(wxWindow* pParent, const wxString& strName);

    // Replaces the entries with one for each of these values, each checked.
    // An entry shows its value as NativePath::ToDisplay does: a name's bytes
    // that are not UTF-8 show as a replacement character. The list keeps only
    // the values and makes the texts of the entries in view, so that a tree of
    // thousands of folders is not held twice.
    void Set(const wxArrayString& arrValues);
    void Clear();

    unsigned GetCount() const { return static_cast<unsigned>(m_arrValues.size()); }
    bool IsEmpty() const { return m_arrValues.empty(); }
    // The text entry n shows, and the value it stands for.
    wxString GetString(unsigned n) const;
    const wxArrayString& GetValues() const { return m_arrValues; }
    wxArrayString GetStrings() const;
    // The first entry showing this text, or wxNOT_FOUND.
    int FindString(const wxString& strText, bool bCaseSensitive = false) const
    {
        return GetStrings().Index(strText, bCaseSensitive);
    }
    bool IsChecked(unsigned n) const { return n < m_arrChecked.size() && m_arrChecked[n]; }
    void Check(unsigned n, bool bCheck = true);
    // Every entry at once, drawn once.
    void CheckAll(bool bCheck);

protected:
    wxString OnGetItemText(long nItem, long nColumn) const override;
    bool OnGetItemIsChecked(long nItem) const override;

private:
    void OnItemChecked(wxListEvent& event);
    void OnKeyDown(wxListEvent& event);
    void OnSize(wxSizeEvent& event);
    // The one column as wide as the widest entry (or the list), so that a
    // long path scrolls sideways rather than being cut.
    void FitColumn();

    wxArrayString m_arrValues;
    std::vector<bool> m_arrChecked;
    int m_nTextWidth = 0; // of the widest entry
};
