#include "ui/panes/FilterCheckList.h"

#include "engine/NativePath.h"

#include <algorithm>
#include <numeric>
#include <wx/renderer.h>
#include <wx/settings.h>

namespace
{
// The widest entry is found among the longest few: measuring the text of
// thousands of entries costs more than showing them.
constexpr std::size_t MEASURED_ENTRIES = 16;
// Room beside the text: the check box's margins and the text's.
constexpr int ENTRY_PADDING = 24;
} // namespace

FilterCheckList::FilterCheckList(wxWindow* pParent, const wxString& strName)
    : wxListCtrl(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_VIRTUAL | wxLC_NO_HEADER | wxLC_SINGLE_SEL, wxDefaultValidator,
                 strName)
{
    EnableCheckBoxes();
    InsertColumn(0, wxString());
    Bind(wxEVT_LIST_ITEM_CHECKED, &FilterCheckList::OnItemChecked, this);
    Bind(wxEVT_LIST_ITEM_UNCHECKED, &FilterCheckList::OnItemChecked, this);
    Bind(wxEVT_LIST_KEY_DOWN, &FilterCheckList::OnKeyDown, this);
    Bind(wxEVT_SIZE, &FilterCheckList::OnSize, this);
}

void FilterCheckList::Set(const wxArrayString& arrValues)
{
    m_arrValues = arrValues;
    m_arrChecked.assign(arrValues.size(), true);
    std::vector<std::size_t> arrOrder(arrValues.size());
    std::iota(arrOrder.begin(), arrOrder.end(), 0);
    const std::size_t nMeasured = std::min(MEASURED_ENTRIES, arrOrder.size());
    std::partial_sort(arrOrder.begin(), arrOrder.begin() + nMeasured, arrOrder.end(),
                      [&](std::size_t a, std::size_t b)
                      { return arrValues[a].length() > arrValues[b].length(); });
    m_nTextWidth = 0;
    for (std::size_t i = 0; i < nMeasured; ++i)
        m_nTextWidth = std::max(m_nTextWidth, GetTextExtent(GetString(arrOrder[i])).x);
    SetItemCount(static_cast<long>(m_arrValues.size()));
    FitColumn();
    Refresh();
}

void FilterCheckList::Clear()
{
    if (IsEmpty())
        return;
    m_arrValues.Clear();
    m_arrChecked.clear();
    m_nTextWidth = 0;
    DeleteAllItems();
    FitColumn();
}

wxString FilterCheckList::GetString(unsigned n) const
{
    return n < m_arrValues.size() ? NativePath::ToDisplay(m_arrValues[n]) : wxString();
}

wxArrayString FilterCheckList::GetStrings() const
{
    wxArrayString arrTexts;
    arrTexts.reserve(m_arrValues.size());
    for (unsigned i = 0; i < m_arrValues.size(); ++i)
        arrTexts.Add(GetString(i));
    return arrTexts;
}

void FilterCheckList::Check(unsigned n, bool bCheck)
{
    if (n >= m_arrChecked.size() || m_arrChecked[n] == bCheck)
        return;
    m_arrChecked[n] = bCheck;
    RefreshItem(n);
}

void FilterCheckList::CheckAll(bool bCheck)
{
    m_arrChecked.assign(m_arrChecked.size(), bCheck);
    Refresh();
}

wxString FilterCheckList::OnGetItemText(long nItem, long) const
{
    return GetString(static_cast<unsigned>(nItem));
}

bool FilterCheckList::OnGetItemIsChecked(long nItem) const
{
    return IsChecked(static_cast<unsigned>(nItem));
}

void FilterCheckList::OnItemChecked(wxListEvent& event)
{
    // A click on a check box: the list asks for the mark it is to draw.
    const long nItem = event.GetIndex();
    if (nItem >= 0 && static_cast<std::size_t>(nItem) < m_arrChecked.size())
        m_arrChecked[nItem] = event.GetEventType() == wxEVT_LIST_ITEM_CHECKED;
    event.Skip();
}

void FilterCheckList::OnKeyDown(wxListEvent& event)
{
    // The space bar ticks and unticks the current entry, as in a check list.
    const long nItem = event.GetIndex(); // the current entry
    if (event.GetKeyCode() != WXK_SPACE || nItem < 0)
    {
        event.Skip();
        return;
    }
    CheckItem(nItem, !IsChecked(static_cast<unsigned>(nItem)));
}

void FilterCheckList::OnSize(wxSizeEvent& event)
{
    FitColumn();
    event.Skip();
}

void FilterCheckList::FitColumn()
{
    const int nBox = wxRendererNative::Get().GetCheckBoxSize(this).x;
    // Narrower than the list by a vertical scroll bar, which must not bring
    // up a horizontal one.
    const int nWidth =
        std::max(GetClientSize().x - wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this),
                 m_nTextWidth + nBox + FromDIP(ENTRY_PADDING));
    if (GetColumnCount() > 0 && GetColumnWidth(0) != nWidth)
        SetColumnWidth(0, nWidth);
}
