#include "ui/results/ResultRows.h"

#include "engine/DateText.h"
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
using Estimate = float Result::*;

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

wxString CountText(std::int64_t n)
{
    return wxString::Format("%lld", static_cast<long long>(n));
}

wxString EstimateText(float f)
{
    return wxString::Format("%2.2f", static_cast<double>(f));
}

int Sign(int n)
{
    return (n > 0) - (n < 0);
}

template <class T> int CompareValues(const T& a, const T& b)
{
    return (b < a) - (a < b);
}

// A value that is not a number goes first, so the order stays total.
int CompareEstimates(float a, float b)
{
    const bool bNanA = std::isnan(a), bNanB = std::isnan(b);
    if (bNanA || bNanB)
        return bNanB - bNanA;
    return CompareValues(a, b);
}

// A file whose date could not be read goes before every dated file.
int CompareDates(const wxDateTime& a, const wxDateTime& b)
{
    if (!a.IsValid() || !b.IsValid())
        return a.IsValid() - b.IsValid();
    return CompareValues(a.GetValue(), b.GetValue());
}

int CompareTexts(const wxString& a, const wxString& b)
{
    return Sign(a.compare(b)); // by character code, case-sensitive
}

// The rules every list shares: rows without a record first, the direction
// applied last so that descending is the exact reverse of ascending.
template <class Record, class CompareColumn>
int CompareRows(const Record* p1, const Record* p2, int nSortWord, CompareColumn compareColumn)
{
    const int nColumn = nSortWord & ~SORT_DESCENDING;
    const int n = p1 && p2 ? compareColumn(*p1, *p2, nColumn) : (p1 != nullptr) - (p2 != nullptr);
    return (nSortWord & SORT_DESCENDING) ? -n : n;
}

int CompareDetailColumns(const FileResult& a, const FileResult& b, int nColumn)
{
    switch (nColumn)
    {
    case 0:
        return CompareTexts(a.m_strFile, b.m_strFile);
    case 1:
        return CompareTexts(a.m_strExt, b.m_strExt);
    case 2:
        return CompareTexts(a.m_strFolder, b.m_strFolder);
    case DETAIL_DATE:
        return CompareDates(a.m_dtModified, b.m_dtModified);
    default:
        break;
    }
    if (nColumn >= FIRST_DETAIL_COUNT && nColumn < FIRST_DETAIL_ESTIMATE)
    {
        const Count count = DETAIL_COUNTS[nColumn - FIRST_DETAIL_COUNT];
        return CompareValues(a.*count, b.*count);
    }
    if (nColumn >= FIRST_DETAIL_ESTIMATE && nColumn < DETAIL_DATE)
    {
        const Estimate estimate = DETAIL_ESTIMATES[nColumn - FIRST_DETAIL_ESTIMATE];
        return CompareEstimates(a.*estimate, b.*estimate);
    }
    return 0;
}

template <class Group> int CompareSummaryColumns(const Group& a, const Group& b, int nColumn)
{
    if (nColumn == 0)
        return CompareTexts(a.m_strName, b.m_strName);
    if (nColumn >= FIRST_SUMMARY_COUNT && nColumn < SUMMARY_END)
    {
        const Count count = SUMMARY_COUNTS[nColumn - FIRST_SUMMARY_COUNT];
        return CompareValues(a.*count, b.*count);
    }
    return 0;
}

template <class Group> wxString GroupRowText(const Group* pGroup, int nColumn)
{
    if (!pGroup)
        return wxString();
    if (nColumn == 0)
        return pGroup->m_strName;
    if (nColumn >= FIRST_SUMMARY_COUNT && nColumn < SUMMARY_END)
        return CountText(pGroup->*SUMMARY_COUNTS[nColumn - FIRST_SUMMARY_COUNT]);
    return wxString();
}
} // namespace

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
        return pFile->m_strFile;
    case 1:
        return pFile->m_strExt;
    case 2:
        return pFile->m_strFolder;
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
    return CompareRows(p1, p2, nSortWord, CompareDetailColumns);
}

int CompareSummaryRows(const DirectoryResult* p1, const DirectoryResult* p2, int nSortWord)
{
    return CompareRows(p1, p2, nSortWord, CompareSummaryColumns<DirectoryResult>);
}

int CompareSummaryRows(const ExtensionResult* p1, const ExtensionResult* p2, int nSortWord)
{
    return CompareRows(p1, p2, nSortWord, CompareSummaryColumns<ExtensionResult>);
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
    switch (kind)
    {
    case ResultRowKind::File:
        return CompareDetailRows(static_cast<const FileResult*>(p1),
                                 static_cast<const FileResult*>(p2), nSortWord);
    case ResultRowKind::Directory:
        return CompareSummaryRows(static_cast<const DirectoryResult*>(p1),
                                  static_cast<const DirectoryResult*>(p2), nSortWord);
    case ResultRowKind::Extension:
        break;
    }
    return CompareSummaryRows(static_cast<const ExtensionResult*>(p1),
                              static_cast<const ExtensionResult*>(p2), nSortWord);
}
