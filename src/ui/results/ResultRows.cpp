#include "ui/results/ResultRows.h"

#include "engine/DateText.h"
#include "engine/NativePath.h"
#include "engine/Result.h"

#include <cmath>
#include <cstdint>
#include <iterator>
#include <wx/intl.h>
#include <wx/listbase.h>

namespace
{
const ResultColumn DETAIL_COLUMNS[] = {
    {wxTRANSLATE("File"), wxLIST_DEFAULT_COL_WIDTH},
    {wxTRANSLATE("Type"), wxLIST_DEFAULT_COL_WIDTH},
    {wxTRANSLATE("Folder"), wxLIST_DEFAULT_COL_WIDTH},
    {wxTRANSLATE("Total Lines"), wxLIST_DEFAULT_COL_WIDTH},
    {wxTRANSLATE("Code lines"), wxLIST_DEFAULT_COL_WIDTH},
    {wxTRANSLATE("Code//Comment"), wxLIST_DEFAULT_COL_WIDTH},
    {wxTRANSLATE("Comment lines"), wxLIST_DEFAULT_COL_WIDTH},
    {wxTRANSLATE("Blank lines"), wxLIST_DEFAULT_COL_WIDTH},
    {wxTRANSLATE("Size"), wxLIST_DEFAULT_COL_WIDTH},
    {wxTRANSLATE("Man-hour"), wxLIST_DEFAULT_COL_WIDTH},
    {wxTRANSLATE("Cost"), wxLIST_DEFAULT_COL_WIDTH},
    {wxTRANSLATE("UT Cases"), wxLIST_DEFAULT_COL_WIDTH},
    {wxTRANSLATE("UT Defects"), wxLIST_DEFAULT_COL_WIDTH},
    {wxTRANSLATE("IT Cases"), wxLIST_DEFAULT_COL_WIDTH},
    {wxTRANSLATE("IT Defects"), wxLIST_DEFAULT_COL_WIDTH},
    {wxTRANSLATE("Modified Date"), wxLIST_DEFAULT_COL_WIDTH},
};

const ResultColumn DIRECTORY_COLUMNS[] = {
    {wxTRANSLATE("Directory"), 320},    {wxTRANSLATE("Count"), 64},
    {wxTRANSLATE("Size"), 64},          {wxTRANSLATE("Lines"), 64},
    {wxTRANSLATE("Code lines"), 64},    {wxTRANSLATE("Code//Comment"), 64},
    {wxTRANSLATE("Comment lines"), 64}, {wxTRANSLATE("Blank lines"), 64},
};

const ResultColumn EXTENSION_COLUMNS[] = {
    {wxTRANSLATE("Type"), 64},          {wxTRANSLATE("Count"), 64},
    {wxTRANSLATE("Size"), 64},          {wxTRANSLATE("Lines"), 64},
    {wxTRANSLATE("Code lines"), 64},    {wxTRANSLATE("Code//Comment"), 64},
    {wxTRANSLATE("Comment lines"), 64}, {wxTRANSLATE("Blank lines"), 64},
};

using Count = std::int64_t Result::*;
using Estimate = double Result::*;

// Detail columns 3 to 8, 9 to 14; summary columns 1 to 7.
const Count DETAIL_COUNTS[] = {
    &Result::m_nLines,        &Result::m_nCodeLines,  &Result::m_nCodeCommentLines,
    &Result::m_nCommentLines, &Result::m_nBlankLines, &Result::m_nSize};
const Estimate DETAIL_ESTIMATES[] = {&Result::m_fManHour, &Result::m_fCost,
                                     &Result::m_fUTCases, &Result::m_fUTDefects,
                                     &Result::m_fITCases, &Result::m_fITDefects};
const Count SUMMARY_COUNTS[] = {&Result::m_nFiles,
                                &Result::m_nSize,
                                &Result::m_nLines,
                                &Result::m_nCodeLines,
                                &Result::m_nCodeCommentLines,
                                &Result::m_nCommentLines,
                                &Result::m_nBlankLines};

constexpr int FIRST_DETAIL_COUNT = 3;
constexpr int FIRST_DETAIL_ESTIMATE = 9;
constexpr int DETAIL_DATE = 15;
constexpr int FIRST_SUMMARY_COUNT = 1;
constexpr int SUMMARY_END = FIRST_SUMMARY_COUNT + static_cast<int>(std::size(SUMMARY_COUNTS));

// A column the list does not have: every row the same.
ResultSortKey NoKey()
{
    ResultSortKey key;
    key.nRank = 2;
    return key;
}

ResultSortKey DetailKey(const FileResult& file, int nColumn)
{
    switch (nColumn)
    {
    case 0:
        return TextKey(file.m_strFile);
    case 1:
        return TextKey(file.m_strExt);
    case 2:
        return TextKey(file.m_strFolder);
    case DETAIL_DATE:
        return DateKey(file.m_dtModified);
    default:
        break;
    }
    if (nColumn >= FIRST_DETAIL_COUNT && nColumn < FIRST_DETAIL_ESTIMATE)
        return CountKey(file.*DETAIL_COUNTS[nColumn - FIRST_DETAIL_COUNT]);
    if (nColumn >= FIRST_DETAIL_ESTIMATE && nColumn < DETAIL_DATE)
        return EstimateKey(file.*DETAIL_ESTIMATES[nColumn - FIRST_DETAIL_ESTIMATE]);
    return NoKey();
}

template <class Group> ResultSortKey SummaryKey(const Group& group, int nColumn)
{
    if (nColumn == 0)
        return TextKey(group.m_strName);
    if (nColumn >= FIRST_SUMMARY_COUNT && nColumn < SUMMARY_END)
        return CountKey(group.*SUMMARY_COUNTS[nColumn - FIRST_SUMMARY_COUNT]);
    return NoKey();
}

// The rules every list shares: rows without a record first, the direction
// applied last so that descending is the exact reverse of ascending.
int CompareRows(ResultRowKind kind, const Result* p1, const Result* p2, int nSortWord)
{
    const int nColumn = nSortWord & ~SORT_DESCENDING;
    const int n =
        CompareSortKeys(GetResultSortKey(kind, p1, nColumn), GetResultSortKey(kind, p2, nColumn));
    return (nSortWord & SORT_DESCENDING) ? -n : n;
}

template <class Group> wxString GroupRowText(const Group* pGroup, int nColumn)
{
    if (!pGroup)
        return wxString();
    if (nColumn == 0)
        return NameText(pGroup->m_strName);
    if (nColumn >= FIRST_SUMMARY_COUNT && nColumn < SUMMARY_END)
        return CountText(pGroup->*SUMMARY_COUNTS[nColumn - FIRST_SUMMARY_COUNT]);
    return wxString();
}
} // namespace

wxString CountText(std::int64_t n)
{
    return wxString::Format("%lld", static_cast<long long>(n));
}

wxString EstimateText(double f)
{
    return wxString::Format("%2.2f", f);
}

// Names keep the bytes that are not UTF-8 for opening and filtering; a cell
// shows each of them as a visible replacement.
wxString NameText(const wxString& strName)
{
    return NativePath::ToDisplay(strName);
}

// Texts compare by character code, case-sensitive, as wxString does. Names
// compare as they are stored, not as shown: two names that differ only in
// bytes that are not UTF-8 keep a fixed order although they look alike.
static_assert(wxUSE_UNICODE_WCHAR, "sort keys view the strings' wide characters");

ResultSortKey TextKey(const wxString& str)
{
    ResultSortKey key;
    key.nRank = 2;
    key.strValue = std::wstring_view(str.wx_str(), str.length());
    return key;
}

ResultSortKey CountKey(std::int64_t n)
{
    ResultSortKey key;
    key.nRank = 2;
    key.nValue = n;
    return key;
}

// A value that is not a number goes first, so the order stays total.
ResultSortKey EstimateKey(double f)
{
    ResultSortKey key;
    key.nRank = std::isnan(f) ? 1 : 2;
    key.fValue = key.nRank == 2 ? f : 0;
    return key;
}

// A file whose date could not be read goes before every dated file.
ResultSortKey DateKey(const wxDateTime& dt)
{
    ResultSortKey key;
    key.nRank = dt.IsValid() ? 2 : 1;
    key.nValue = dt.IsValid() ? dt.GetValue().GetValue() : 0;
    return key;
}

const ResultColumn* GetResultColumns(ResultRowKind kind, int& nCount)
{
    switch (kind)
    {
    case ResultRowKind::File:
        nCount = static_cast<int>(std::size(DETAIL_COLUMNS));
        return DETAIL_COLUMNS;
    case ResultRowKind::Directory:
        nCount = static_cast<int>(std::size(DIRECTORY_COLUMNS));
        return DIRECTORY_COLUMNS;
    case ResultRowKind::Extension:
        break;
    }
    nCount = static_cast<int>(std::size(EXTENSION_COLUMNS));
    return EXTENSION_COLUMNS;
}

wxString DetailRowText(const FileResult* pFile, int nColumn)
{
    if (!pFile)
        return wxString();
    switch (nColumn)
    {
    case 0:
        return NameText(pFile->m_strFile);
    case 1:
        return NameText(pFile->m_strExt);
    case 2:
        return NameText(pFile->m_strFolder);
    case DETAIL_DATE:
        return DateText(pFile->m_dtModified);
    default:
        break;
    }
    if (nColumn >= FIRST_DETAIL_COUNT && nColumn < FIRST_DETAIL_ESTIMATE)
        return CountText(pFile->*DETAIL_COUNTS[nColumn - FIRST_DETAIL_COUNT]);
    if (nColumn >= FIRST_DETAIL_ESTIMATE && nColumn < DETAIL_DATE)
        return EstimateText(pFile->*DETAIL_ESTIMATES[nColumn - FIRST_DETAIL_ESTIMATE]);
    return wxString();
}

wxString SummaryRowText(const DirectoryResult* pDirectory, int nColumn)
{
    return GroupRowText(pDirectory, nColumn);
}

wxString SummaryRowText(const ExtensionResult* pExtension, int nColumn)
{
    return GroupRowText(pExtension, nColumn);
}

int CompareDetailRows(const FileResult* p1, const FileResult* p2, int nSortWord)
{
    return CompareRows(ResultRowKind::File, p1, p2, nSortWord);
}

int CompareSummaryRows(const DirectoryResult* p1, const DirectoryResult* p2, int nSortWord)
{
    return CompareRows(ResultRowKind::Directory, p1, p2, nSortWord);
}

int CompareSummaryRows(const ExtensionResult* p1, const ExtensionResult* p2, int nSortWord)
{
    return CompareRows(ResultRowKind::Extension, p1, p2, nSortWord);
}

wxString ResultRowText(ResultRowKind kind, const Result* pRecord, int nColumn)
{
    switch (kind)
    {
    case ResultRowKind::File:
        return DetailRowText(static_cast<const FileResult*>(pRecord), nColumn);
    case ResultRowKind::Directory:
        return SummaryRowText(static_cast<const DirectoryResult*>(pRecord), nColumn);
    case ResultRowKind::Extension:
        break;
    }
    return SummaryRowText(static_cast<const ExtensionResult*>(pRecord), nColumn);
}

int CompareResultRows(ResultRowKind kind, const Result* p1, const Result* p2, int nSortWord)
{
    return CompareRows(kind, p1, p2, nSortWord);
}

ResultSortKey GetResultSortKey(ResultRowKind kind, const Result* pRecord, int nColumn)
{
    if (!pRecord)
        return ResultSortKey(); // rank 0: before every record
    switch (kind)
    {
    case ResultRowKind::File:
        return DetailKey(static_cast<const FileResult&>(*pRecord), nColumn);
    case ResultRowKind::Directory:
        return SummaryKey(static_cast<const DirectoryResult&>(*pRecord), nColumn);
    case ResultRowKind::Extension:
        break;
    }
    return SummaryKey(static_cast<const ExtensionResult&>(*pRecord), nColumn);
}

int CompareSortKeys(const ResultSortKey& key1, const ResultSortKey& key2)
{
    // Within one column only one of the values is set; the others are equal.
    if (key1.nRank != key2.nRank)
        return key1.nRank < key2.nRank ? -1 : 1;
    if (key1.nValue != key2.nValue)
        return key1.nValue < key2.nValue ? -1 : 1;
    if (key1.fValue != key2.fValue)
        return key1.fValue < key2.fValue ? -1 : 1;
    const int n = key1.strValue.compare(key2.strValue);
    return (n > 0) - (n < 0);
}
