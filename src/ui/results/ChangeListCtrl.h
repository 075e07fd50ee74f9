#pragma once

#include "ui/results/ChangeRows.h"

#include <vector>
#include <wx/listctrl.h>
#include <wx/timer.h>

// A list of the Changes page: a comparison's files or its extensions, one
// borrowed record per row, drawn only where in view (a virtual list), so a
// comparison of 100,000 files fills and sorts quickly. It remembers the
// column it was sorted by and in which direction.
class ChangeListCtrl : public wxListCtrl
{
public:
    ChangeListCtrl(wxWindow* pParent, ChangeRowKind kind, const wxString& strName);

    // Replaces the rows with these records, sorted by the remembered column.
    void SetRecords(std::vector<const ChangeResult*> arrRecords);
    // While a comparison runs: appends a row, shown (with the newest in
    // view) a few times a second, and at once by EndGrowing.
    void AppendRecord(const ChangeResult* pRecord);
    void EndGrowing();
    void Clear();

    const ChangeResult* GetRecord(long nRow) const;
    // A click on a heading: the remembered column reverses its direction,
    // any other becomes the remembered one, ascending.
    void ClickColumn(int nColumn);
    int GetSortColumn() const { return m_nSortColumn; }
    bool IsSortAscending() const { return m_bSortAscending; }

protected:
    wxString OnGetItemText(long nItem, long nColumn) const override;

private:
    void Sort();
    void ShowRows();

    ChangeRowKind m_kind;
    std::vector<const ChangeResult*> m_arrRecords;
    int m_nSortColumn = 0;
    bool m_bSortAscending = true;
    wxTimer m_showTimer;
};
