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

    // Replaces the entries with these texts, each checked.
    void Set(const wxArrayString& arrTexts);
    void Clear();

    unsigned GetCount() const { return static_cast<unsigned>(m_arrTexts.size()); }
    bool IsEmpty() const { return m_arrTexts.empty(); }
    wxString GetString(unsigned n) const;
    const wxArrayString& GetStrings() const { return m_arrTexts; }
    // The first entry of this text, or wxNOT_FOUND.
    int FindString(const wxString& strText, bool bCaseSensitive = false) const
    {
        return m_arrTexts.Index(strText, bCaseSensitive);
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

    wxArrayString m_arrTexts;
    std::vector<bool> m_arrChecked;
    int m_nTextWidth = 0; // of the widest entry
};
