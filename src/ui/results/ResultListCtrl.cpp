#include "ui/results/ResultListCtrl.h"

#include "engine/Result.h"
#include "ui/DesktopOpen.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_set>

namespace
{
// Room beside a heading's text: the header button's margins and the sort
// arrow drawn at its right.
constexpr int HEADING_PADDING = 28;
// How often, at most, a running count's newest row is brought into view.
constexpr int FOLLOW_INTERVAL_MS = 500;
// Room beside a cell's text.
constexpr int CELL_PADDING = 12;
} // namespace

ResultListCtrl::ResultListCtrl(wxWindow* pParent, ResultRowKind kind, const wxString& strName)
    : wxListCtrl(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_VIRTUAL | wxLC_VRULES, wxDefaultValidator, strName),
      m_kind(kind)
{
    Bind(wxEVT_LIST_DELETE_ALL_ITEMS, &ResultListCtrl::OnAllItemsDeleted, this);
    m_followTimer.Bind(wxEVT_TIMER, &ResultListCtrl::OnFollowTimer, this);
    for (const auto& type :
         {wxEVT_SCROLLWIN_TOP, wxEVT_SCROLLWIN_BOTTOM, wxEVT_SCROLLWIN_LINEUP,
          wxEVT_SCROLLWIN_LINEDOWN, wxEVT_SCROLLWIN_PAGEUP, wxEVT_SCROLLWIN_PAGEDOWN,
          wxEVT_SCROLLWIN_THUMBTRACK, wxEVT_SCROLLWIN_THUMBRELEASE})
        Bind(type, &ResultListCtrl::OnScrollWin, this);
}

wxWindow* ResultListCtrl::GetHeaderWindow() const
{
    // The generic list has two children: the rows, which it scrolls (its
    // target window), and the header.
    for (wxWindow* pChild : GetChildren())
    {
        if (pChild != GetTargetWindow())
            return pChild;
    }
    return nullptr;
}

void ResultListCtrl::OnScrollWin(wxScrollWinEvent& event)
{
    event.Skip(); // scrolls the rows
    // The generic list redraws its header when a horizontal scroll event
    // arrives, before the rows are moved: the header is drawn at the old
    // position. A scrollbar's drag ends with one more event that puts it
    // right; the wheel and the touchpad send none, and the header stayed a
    // step (three columns of scrolling, 45 pixels) off its columns. It is
    // drawn again once the rows have moved.
    if (event.GetOrientation() == wxHORIZONTAL)
        CallAfter(
            [this]
            {
                if (wxWindow* pHeader = GetHeaderWindow())
                    pHeader->Refresh();
            });
}

ResultListCtrl::~ResultListCtrl()
{
    // The base class empties the list as it goes and tells of it; this part
    // of the object is gone by then.
    Unbind(wxEVT_LIST_DELETE_ALL_ITEMS, &ResultListCtrl::OnAllItemsDeleted, this);
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
    if (!m_bGrowing)
        SetItemCount(static_cast<long>(m_arrRecords.size()));
    // Bringing a row into view scrolls and repaints the whole list; done a
    // few times a second rather than for every few rows, a count of 100,000
    // files still shows its newest rows without the list slowing it down.
    if (m_kind == ResultRowKind::File && !m_followTimer.IsRunning())
        m_followTimer.StartOnce(FOLLOW_INTERVAL_MS);
}

void ResultListCtrl::BeginGrowing()
{
    m_bGrowing = true;
}

void ResultListCtrl::EndGrowing()
{
    if (!m_bGrowing)
        return;
    m_bGrowing = false;
    m_followTimer.Stop();
    ShowNewestRow();
}

void ResultListCtrl::OnFollowTimer(wxTimerEvent&)
{
    ShowNewestRow();
}

void ResultListCtrl::ShowNewestRow()
{
    // Every change of the row count has the list lay itself out and repaint
    // at its next idle time: while it grows, that happens only here.
    if (GetItemCount() != static_cast<long>(m_arrRecords.size()))
        SetItemCount(static_cast<long>(m_arrRecords.size()));
    if (!m_arrRecords.empty())
        EnsureVisible(static_cast<long>(m_arrRecords.size()) - 1);
}

void ResultListCtrl::AppendRecords(const std::vector<const Result*>& arrRecords)
{
    m_arrRecords.insert(m_arrRecords.end(), arrRecords.begin(), arrRecords.end());
    SetItemCount(static_cast<long>(m_arrRecords.size()));
    if (m_kind != ResultRowKind::File)
        FitCountColumns();
    Refresh();
}

void ResultListCtrl::FitCountColumns()
{
    // The summary columns are narrow; a folder's size in bytes or a big
    // tree's line count must still be read whole. Columns only grow, so a
    // width the user chose stays when it is wide enough.
    // A count's text is at its longest where its value is largest: only
    // that row's text is made, not one for each of thousands of folders.
    for (int nColumn = 1; nColumn < GetColumnCount(); ++nColumn)
    {
        const Result* pWidest = nullptr;
        std::int64_t nLargest = 0;
        for (const Result* pRecord : m_arrRecords)
        {
            const std::int64_t nValue = GetResultSortKey(m_kind, pRecord, nColumn).nValue;
            if (!pWidest || std::abs(nValue) > nLargest)
            {
                pWidest = pRecord;
                nLargest = std::abs(nValue);
            }
        }
        if (!pWidest)
            continue;
        const int nWidth = GetTextExtent(ResultRowText(m_kind, pWidest, nColumn)).x + CELL_PADDING;
        if (nWidth > GetColumnWidth(nColumn))
            SetColumnWidth(nColumn, nWidth);
    }
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
    m_followTimer.Stop();
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

    // Each row's key is taken once: comparing keys side by side in one array
    // is far quicker than reaching into two records per comparison. Stable,
    // so rows equal in this column keep the order of the last sort.
    const int nColumn = nSortWord & ~SORT_DESCENDING;
    const bool bDescending = (nSortWord & SORT_DESCENDING) != 0;
    std::vector<std::pair<ResultSortKey, const Result*>> arrKeyed;
    arrKeyed.reserve(m_arrRecords.size());
    for (const Result* pRecord : m_arrRecords)
        arrKeyed.emplace_back(GetResultSortKey(m_kind, pRecord, nColumn), pRecord);
    std::stable_sort(arrKeyed.begin(), arrKeyed.end(),
                     [bDescending](const auto& row1, const auto& row2)
                     {
                         const int n = CompareSortKeys(row1.first, row2.first);
                         return bDescending ? n > 0 : n < 0;
                     });
    for (size_t i = 0; i < arrKeyed.size(); ++i)
        m_arrRecords[i] = arrKeyed[i].second;

    // The selection belongs to the records, not to the places they left.
    // The view goes to the first selected row, else to the top, and no
    // longer follows the rows appended last.
    m_followTimer.Stop();
    long nShow = m_arrRecords.empty() ? -1 : 0;
    if (!arrSelectedRows.empty())
    {
        for (long nRow : arrSelectedRows)
            SetItemState(nRow, 0, wxLIST_STATE_SELECTED);
        nShow = -1;
        for (size_t nRow = 0; nRow < m_arrRecords.size(); ++nRow)
        {
            if (!selected.count(m_arrRecords[nRow]))
                continue;
            SetItemState(static_cast<long>(nRow), wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
            if (nShow < 0)
                nShow = static_cast<long>(nRow);
        }
    }
    if (nShow >= 0)
        EnsureVisible(nShow);

    if (nColumn >= 0 && nColumn < GetColumnCount())
        ShowSortIndicator(nColumn, !bDescending);
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
        open.Open(static_cast<const FileResult*>(pRecord)->m_strPath);
}

void ResultListCtrl::OpenDirectoryOfRow(long nRow, const DesktopOpen& open) const
{
    const Result* pRecord = GetRecord(nRow);
    if (!pRecord)
        return;
    if (m_kind == ResultRowKind::File)
        open.ShowInFolder(static_cast<const FileResult*>(pRecord)->m_strPath);
    else if (m_kind == ResultRowKind::Directory)
        open.Open(static_cast<const DirectoryResult*>(pRecord)->m_strName);
}
