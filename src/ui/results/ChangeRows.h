#pragma once

// What the Changes page's lists show of a comparison's files and extensions,
// and in which order they put two rows: plain functions, so the texts and the
// order can be checked without a window.
#include "compare/ChangeResult.h"
#include "ui/results/ResultRows.h"

#include <utility>
#include <vector>

class AnalysisParam;

// A file per row, or an extension per row.
enum class ChangeRowKind
{
    File,
    Extension,
};

const ResultColumn* GetChangeColumns(ChangeRowKind kind, int& nCount);

// A file's status as the list shows it, translated.
wxString ChangeStatusText(ChangeResult::Status nStatus);

// The text of one cell; a row without a record or a column the list does not
// have shows nothing. "Code" columns count code and code-with-comment lines
// together, as the estimates do.
wxString ChangeRowText(ChangeRowKind kind, const ChangeResult* pRow, int nColumn);
// What a row sorts by in one column (see ResultSortKey); a status sorts as
// same, modified, added, removed.
ResultSortKey GetChangeSortKey(ChangeRowKind kind, const ChangeResult* pRow, int nColumn);
// Negative, zero or positive as the first row goes before, beside or after
// the second, for a sort word (a column, plus SORT_DESCENDING).
int CompareChangeRows(ChangeRowKind kind, const ChangeResult* p1, const ChangeResult* p2,
                      int nSortWord);

// The estimates of the changed code, as label and value rows: the changed
// code lines, the effort and cost by phase and in total, the tests.
std::vector<std::pair<wxString, wxString>> ChangeEstimateRows(const ChangeResult& total,
                                                              const AnalysisParam& param);
