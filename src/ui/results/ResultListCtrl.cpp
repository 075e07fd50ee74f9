#include "ui/results/ResultListCtrl.h"

#include "engine/Result.h"
#include "ui/DesktopOpen.h"

#include <algorithm>
#include <unordered_set>

namespace
{
// Room beside a heading's text: the header button's margins and the sort
// arrow drawn at its right.
constexpr int HEADING_PADDING = 28;
} // namespace

ResultListCtrl::ResultListCtrl(wxWindow* pParent, ResultRowKind kind, const wxString& strName)
    : wxListCtrl(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_VIRTUAL | wxLC_VRULES, wxDefaultValidator, strName),
      m_kind(kind)
{
    Bind(wxEVT_LIST_DELETE_ALL_ITEMS, &ResultListCtrl::OnAllItemsDeleted, this);
}

void ResultListCtrl::InitColumns()
{
    int nCount = 0;
    const ResultColumn* pColumns = GetResultColumns(m_kind, nCount);
    for (int i = 0; i < nCount; ++i)
    {
        const wxString strHeading = wxGetTranslation(pColumns[i].szHeading);
        const int nWidth =
            std::max(pColumns[i].nWidth, GetTextExtent(strHeading).x + HEADING_PADDING);
        InsertColumn(i, strHeading, wxLIST_FORMAT_LEFT, nWidth);
    }
}

void ResultListCtrl::AppendRecord(const Result* pRecord)
{
    m_arrRecords.push_back(pRecord);
    const long nRow = static_cast<long>(m_arrRecords.size()) - 1;
    SetItemCount(nRow + 1);
    if (m_kind == ResultRowKind::File && nRow % 3 == 0)
        EnsureVisible(nRow);
}

void ResultListCtrl::AppendRecords(const std::vector<const Result*>& arrRecords)
{
    m_arrRecords.insert(m_arrRecords.end(), arrRecords.begin(), arrRecords.end());
    SetItemCount(static_cast<long>(m_arrRecords.size()));
    Refresh();
}

const Result* ResultListCtrl::GetRecord(long nRow) const
{
    if (nRow < 0 || static_cast<size_t>(nRow) >= m_arrRecords.size())
        return nullptr;
    return m_arrRecords[nRow];
}

void ResultListCtrl::OnAllItemsDeleted(wxListEvent& event)
{
    m_arrRecords.clear();
    RemoveSortIndicator();
    event.Skip();
}

void ResultListCtrl::ClickColumn(int nColumn)
{
    if (nColumn < 0)
        return;
    if (nColumn == m_nSortColumn)
    {
        m_bSortAscending = !m_bSortAscending;
    }
    else
    {
        m_nSortColumn = nColumn;
        m_bSortAscending = true;
    }
    SortRows(m_nSortColumn + (m_bSortAscending ? 0 : SORT_DESCENDING));
}

void ResultListCtrl::SortAscending()
{
    m_bSortAscending = true;
    SortRows(m_nSortColumn);
}

void ResultListCtrl::SortRows(int nSortWord)
{
    const std::vector<long> arrSelectedRows = GetSelectedRows();
    std::unordered_set<const Result*> selected;
    for (long nRow : arrSelectedRows)
        selected.insert(m_arrRecords[nRow]);

    // Stable, so rows equal in this column keep the order of the last sort.
    std::stable_sort(m_arrRecords.begin(), m_arrRecords.end(),
                     [this, nSortWord](const Result* p1, const Result* p2)
                     { return CompareResultRows(m_kind, p1, p2, nSortWord) < 0; });

    // The selection belongs to the records, not to the places they left.
    if (!arrSelectedRows.empty())
    {
        for (long nRow : arrSelectedRows)
            SetItemState(nRow, 0, wxLIST_STATE_SELECTED);
        for (size_t nRow = 0; nRow < m_arrRecords.size(); ++nRow)
            if (selected.count(m_arrRecords[nRow]))
                SetItemState(static_cast<long>(nRow), wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    }

    const int nColumn = nSortWord & ~SORT_DESCENDING;
    if (nColumn >= 0 && nColumn < GetColumnCount())
        ShowSortIndicator(nColumn, (nSortWord & SORT_DESCENDING) == 0);
    Refresh();
}

std::vector<long> ResultListCtrl::GetSelectedRows() const
{
    std::vector<long> arrRows;
    for (long nRow = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); nRow != -1;
         nRow = GetNextItem(nRow, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        arrRows.push_back(nRow);
    return arrRows;
}

wxString ResultListCtrl::OnGetItemText(long nItem, long nColumn) const
{
    const Result* pRecord = GetRecord(nItem);
    return pRecord ? ResultRowText(m_kind, pRecord, static_cast<int>(nColumn)) : wxString();
}

void ResultListCtrl::OpenFileOfRow(long nRow, const DesktopOpen& open) const
{
    const Result* pRecord = GetRecord(nRow);
    if (pRecord && m_kind == ResultRowKind::File)
        open.OpenFile(static_cast<const FileResult*>(pRecord)->m_strPath);
}

void ResultListCtrl::OpenDirectoryOfRow(long nRow, const DesktopOpen& open) const
{
    const Result* pRecord = GetRecord(nRow);
    if (!pRecord)
        return;
    if (m_kind == ResultRowKind::File)
        open.ShowInFolder(static_cast<const FileResult*>(pRecord)->m_strPath);
    else if (m_kind == ResultRowKind::Directory)
        open.OpenFolder(static_cast<const DirectoryResult*>(pRecord)->m_strName);
}
