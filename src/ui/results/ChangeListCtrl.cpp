#include "ui/results/ChangeListCtrl.h"

#include <algorithm>

namespace
{
// How often, at most, a running comparison's new rows are shown.
constexpr int SHOW_INTERVAL_MS = 500;
// Room beside a heading's text for the header's margins and sort arrow.
constexpr int HEADING_PADDING = 28;
} // namespace

ChangeListCtrl::ChangeListCtrl(wxWindow* pParent, ChangeRowKind kind, const wxString& strName)
    : wxListCtrl(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_VIRTUAL | wxLC_VRULES, wxDefaultValidator, strName),
      m_kind(kind)
{
    int nCount = 0;
    const ResultColumn* pColumns = GetChangeColumns(kind, nCount);
    for (int i = 0; i < nCount; ++i)
    {
        const wxString strHeading = wxGetTranslation(pColumns[i].szHeading);
        InsertColumn(
            i, strHeading, i == 0 ? wxLIST_FORMAT_LEFT : wxLIST_FORMAT_RIGHT,
            std::max(FromDIP(pColumns[i].nWidth), GetTextExtent(strHeading).x + HEADING_PADDING));
    }
    m_showTimer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { ShowRows(); });
    Bind(wxEVT_LIST_COL_CLICK, [this](wxListEvent& event) { ClickColumn(event.GetColumn()); });
}

void ChangeListCtrl::SetRecords(std::vector<const ChangeResult*> arrRecords)
{
    m_showTimer.Stop();
    m_arrRecords = std::move(arrRecords);
    Sort();
}

void ChangeListCtrl::AppendRecord(const ChangeResult* pRecord)
{
    m_arrRecords.push_back(pRecord);
    if (!m_showTimer.IsRunning())
        m_showTimer.StartOnce(SHOW_INTERVAL_MS);
}

void ChangeListCtrl::EndGrowing()
{
    m_showTimer.Stop();
    ShowRows();
}

void ChangeListCtrl::ShowRows()
{
    SetItemCount(static_cast<long>(m_arrRecords.size()));
    if (!m_arrRecords.empty())
        EnsureVisible(static_cast<long>(m_arrRecords.size()) - 1);
}

void ChangeListCtrl::Clear()
{
    m_showTimer.Stop();
    m_arrRecords.clear();
    SetItemCount(0);
    RemoveSortIndicator();
    Refresh();
}

const ChangeResult* ChangeListCtrl::GetRecord(long nRow) const
{
    if (nRow < 0 || static_cast<size_t>(nRow) >= m_arrRecords.size())
        return nullptr;
    return m_arrRecords[nRow];
}

void ChangeListCtrl::ClickColumn(int nColumn)
{
    if (nColumn < 0 || nColumn >= GetColumnCount())
        return;
    m_bSortAscending = nColumn == m_nSortColumn ? !m_bSortAscending : true;
    m_nSortColumn = nColumn;
    Sort();
}

void ChangeListCtrl::Sort()
{
    // Each row's key taken once; stable, so rows equal in this column keep
    // the order of the last sort.
    std::vector<std::pair<ResultSortKey, const ChangeResult*>> arrKeyed;
    arrKeyed.reserve(m_arrRecords.size());
    for (const ChangeResult* pRecord : m_arrRecords)
        arrKeyed.emplace_back(GetChangeSortKey(m_kind, pRecord, m_nSortColumn), pRecord);
    const bool bAscending = m_bSortAscending;
    std::stable_sort(arrKeyed.begin(), arrKeyed.end(),
                     [bAscending](const auto& row1, const auto& row2)
                     {
                         const int n = CompareSortKeys(row1.first, row2.first);
                         return bAscending ? n < 0 : n > 0;
                     });
    for (size_t i = 0; i < arrKeyed.size(); ++i)
        m_arrRecords[i] = arrKeyed[i].second;
    SetItemCount(static_cast<long>(m_arrRecords.size()));
    if (!m_arrRecords.empty())
        EnsureVisible(0);
    ShowSortIndicator(m_nSortColumn, m_bSortAscending);
    Refresh();
}

wxString ChangeListCtrl::OnGetItemText(long nItem, long nColumn) const
{
    return ChangeRowText(m_kind, GetRecord(nItem), static_cast<int>(nColumn));
}
