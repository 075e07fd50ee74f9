#pragma once

#include "ui/results/ResultRows.h"

#include <memory>
#include <vector>
#include <wx/listctrl.h>
#include <wx/timer.h>

class DesktopOpen;
class Result;

// A result list: the detail list (a file per row) or a summary list (a folder
// or an extension per row). It is a virtual list over the counting manager's
// records, one borrowed pointer per row, and draws only the rows in view, so
// it fills and sorts 100,000 rows quickly. Each list remembers the column it
// was sorted by and in which direction.
class ResultListCtrl : public wxListCtrl
{
public:
    ResultListCtrl(wxWindow* pParent, ResultRowKind kind, const wxString& strName);
    ~ResultListCtrl() override;

    ResultRowKind GetKind() const { return m_kind; }

    // Inserts the columns of the list's kind, each at least as wide as its
    // heading.
    void InitColumns();

    // Appends a row at the end; a null record makes a row without one. The
    // detail list brings its newest row into view a few times a second, so
    // the rows of a running count stay in sight without scrolling on every
    // file.
    void AppendRecord(const Result* pRecord);
    // While a count runs, the rows appended reach the list only as often as
    // the newest is brought into view, not row by row; EndGrowing shows them
    // all, the newest in view.
    void BeginGrowing();
    void EndGrowing();
    // Appends a row per record, in order, without scrolling. A summary list
    // widens its count columns to show their widest value whole.
    void AppendRecords(const std::vector<const Result*>& arrRecords);
    template <class Record> void AppendRecords(const std::vector<std::unique_ptr<Record>>& arr)
    {
        std::vector<const Result*> arrRecords;
        arrRecords.reserve(arr.size());
        for (const auto& pRecord : arr)
            arrRecords.push_back(pRecord.get());
        AppendRecords(arrRecords);
    }
    // DeleteAllItems() empties the list as with any list.

    // The record a row shows; null for a row without one or a row that does
    // not exist.
    const Result* GetRecord(long nRow) const;

    // A click on a column heading: the remembered column reverses its
    // direction, any other column becomes the remembered one, ascending.
    void ClickColumn(int nColumn);
    // After a refill: ascending by the remembered column.
    void SortAscending();
    // Sorts by a sort word (a column, plus SORT_DESCENDING). Selected rows
    // stay selected.
    void SortRows(int nSortWord);

    int GetSortColumn() const { return m_nSortColumn; }
    bool IsSortAscending() const { return m_bSortAscending; }

    // What the list popup's entries do for a row; a row without a record,
    // or a list whose rows have no such thing, does nothing. "Open File"
    // opens a detail row's file; "Open Directory" opens a directory row's
    // folder and shows a detail row's file in its folder.
    void OpenFileOfRow(long nRow, const DesktopOpen& open) const;
    void OpenDirectoryOfRow(long nRow, const DesktopOpen& open) const;

    // The column headings' window, which scrolls sideways with the rows.
    wxWindow* GetHeaderWindow() const;

protected:
    wxString OnGetItemText(long nItem, long nColumn) const override;

private:
    void OnAllItemsDeleted(wxListEvent& event);
    void OnScrollWin(wxScrollWinEvent& event);
    void OnFollowTimer(wxTimerEvent& event);
    void ShowNewestRow();
    void FitCountColumns();
    std::vector<long> GetSelectedRows() const;

    ResultRowKind m_kind;
    std::vector<const Result*> m_arrRecords; // borrowed from the counting manager
    int m_nSortColumn = 0;
    bool m_bSortAscending = false;
    wxTimer m_followTimer; // brings the newest row into view after an append
    bool m_bGrowing = false;
};
