#pragma once

// What the three result lists show of a result record, and in which order they
// put two records: plain functions, so the texts and the order can be checked
// without a window.
#include <cstdint>
#include <string_view>
#include <wx/datetime.h>
#include <wx/string.h>

class Result;
class FileResult;
class DirectoryResult;
class ExtensionResult;

// A sort word is a column index, plus SORT_DESCENDING for descending order.
constexpr int SORT_DESCENDING = 4096;

// The record kind a list shows: a file per row (the detail list), a folder or
// an extension per row (the two summary lists).
enum class ResultRowKind
{
    File,
    Directory,
    Extension,
};

struct ResultColumn
{
    const char* szHeading; // the English text, translated when the list is built
    int nWidth;            // pixels; a column is widened when its heading needs more
};

// The columns of a list of this kind, left to right.
const ResultColumn* GetResultColumns(ResultRowKind kind, int& nCount);

// The text of one cell. A row without a record, or a column the list does not
// have, shows nothing. A name's bytes that are not UTF-8 show as U+FFFD.
wxString DetailRowText(const FileResult* pFile, int nColumn);
wxString SummaryRowText(const DirectoryResult* pDirectory, int nColumn);
wxString SummaryRowText(const ExtensionResult* pExtension, int nColumn);

// Negative, zero or positive as the first row goes before, beside or after the
// second. Equal keys compare equal, so the order is a strict weak ordering a
// sort can rely on. A row without a record goes first (last when descending); a
// column the list does not have leaves every row equal.
int CompareDetailRows(const FileResult* p1, const FileResult* p2, int nSortWord);
int CompareSummaryRows(const DirectoryResult* p1, const DirectoryResult* p2, int nSortWord);
int CompareSummaryRows(const ExtensionResult* p1, const ExtensionResult* p2, int nSortWord);

// The same for a list that holds its records as Result: each record must be of
// the list's kind.
wxString ResultRowText(ResultRowKind kind, const Result* pRecord, int nColumn);
int CompareResultRows(ResultRowKind kind, const Result* p1, const Result* p2, int nSortWord);

// What a row sorts by in one column, taken once per row, so that a sort of
// 100,000 rows compares compact keys rather than records spread over memory.
// Two keys compare as the comparators above compare their rows (ascending).
struct ResultSortKey
{
    int nRank = 0;           // 0: no record; 1: no value (a date or a number unknown); 2: a value
    std::int64_t nValue = 0; // counts, sizes, dates in milliseconds
    double fValue = 0;       // estimates
    std::wstring_view strValue; // texts; borrows the record's string
};
ResultSortKey GetResultSortKey(ResultRowKind kind, const Result* pRecord, int nColumn);
int CompareSortKeys(const ResultSortKey& key1, const ResultSortKey& key2);

// The cells and keys of one value, shared by every list of results.
wxString CountText(std::int64_t n);
wxString EstimateText(double f); // "%2.2f"
wxString NameText(const wxString& strName);
ResultSortKey TextKey(const wxString& str); // borrows str
ResultSortKey CountKey(std::int64_t n);
ResultSortKey EstimateKey(double f);
ResultSortKey DateKey(const wxDateTime& dt);
