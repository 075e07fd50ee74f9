#include "ui/results/ChangeRows.h"

#include "engine/DateText.h"
#include "report/PhaseResult.h"

#include <iterator>
#include <wx/intl.h>

namespace
{
const ResultColumn FILE_COLUMNS[] = {
    {wxTRANSLATE("Path"), 280},         {wxTRANSLATE("Status"), 80},
    {wxTRANSLATE("Type"), 56},          {wxTRANSLATE("Lines added"), 80},
    {wxTRANSLATE("Lines removed"), 80}, {wxTRANSLATE("Code same"), 80},
    {wxTRANSLATE("Code modified"), 80}, {wxTRANSLATE("Code added"), 80},
    {wxTRANSLATE("Code removed"), 80},  {wxTRANSLATE("Changed code"), 80},
    {wxTRANSLATE("Man-hour"), 72},      {wxTRANSLATE("Cost"), 72},
    {wxTRANSLATE("Modified Date"), 96},
};
const ResultColumn EXTENSION_COLUMNS[] = {
    {wxTRANSLATE("Type"), 64},          {wxTRANSLATE("Files"), 56},
    {wxTRANSLATE("Modified"), 64},      {wxTRANSLATE("Added"), 56},
    {wxTRANSLATE("Removed"), 64},       {wxTRANSLATE("Lines added"), 80},
    {wxTRANSLATE("Lines removed"), 80}, {wxTRANSLATE("Changed code"), 80},
    {wxTRANSLATE("Man-hour"), 72},      {wxTRANSLATE("Cost"), 72},
};

// Code and code-with-comment lines together, as the estimates count code.
std::int64_t Code(const ChangeResult& r, std::int64_t LineChanges::*pField)
{
    return r.m_arrKinds[ChangeResult::KIND_CODE].*pField +
           r.m_arrKinds[ChangeResult::KIND_CODE_COMMENT].*pField;
}

std::int64_t ChangedCode(const ChangeResult& r)
{
    return r.m_changed.m_nCodeLines + r.m_changed.m_nCodeCommentLines;
}

// The figures both kinds of row share, by the column of each kind.
struct Figure
{
    int nFileColumn;
    int nExtensionColumn;
    std::int64_t (*fnCount)(const ChangeResult&);
    double Result::*pEstimate;
};

const Figure FIGURES[] = {
    {3, 5, [](const ChangeResult& r) { return r.LinesAdded(); }, nullptr},
    {4, 6, [](const ChangeResult& r) { return r.LinesRemoved(); }, nullptr},
    {5, -1, [](const ChangeResult& r) { return Code(r, &LineChanges::m_nSame); }, nullptr},
    {6, -1, [](const ChangeResult& r) { return Code(r, &LineChanges::m_nModified); }, nullptr},
    {7, -1, [](const ChangeResult& r) { return Code(r, &LineChanges::m_nAdded); }, nullptr},
    {8, -1, [](const ChangeResult& r) { return Code(r, &LineChanges::m_nRemoved); }, nullptr},
    {9, 7, ChangedCode, nullptr},
    {10, 8, nullptr, &Result::m_fManHour},
    {11, 9, nullptr, &Result::m_fCost},
    {-1, 1, [](const ChangeResult& r) { return r.m_nFiles; }, nullptr},
    {-1, 2, [](const ChangeResult& r) { return r.m_arrFiles[ChangeResult::STATUS_MODIFIED]; },
     nullptr},
    {-1, 3, [](const ChangeResult& r) { return r.m_arrFiles[ChangeResult::STATUS_ADDED]; },
     nullptr},
    {-1, 4, [](const ChangeResult& r) { return r.m_arrFiles[ChangeResult::STATUS_REMOVED]; },
     nullptr},
};
constexpr int FILE_STATUS = 1;
constexpr int FILE_DATE = 12;

const Figure* FindFigure(ChangeRowKind kind, int nColumn)
{
    for (const Figure& figure : FIGURES)
        if ((kind == ChangeRowKind::File ? figure.nFileColumn : figure.nExtensionColumn) == nColumn)
            return &figure;
    return nullptr;
}

// The name a row is known by: a file's path, an extension.
const wxString* Name(ChangeRowKind kind, const ChangeResult& row, int nColumn)
{
    if (kind == ChangeRowKind::Extension)
        return nColumn == 0 ? &static_cast<const ChangeGroup&>(row).m_strName : nullptr;
    const FileChange& file = static_cast<const FileChange&>(row);
    return nColumn == 0 ? &file.m_strPath : nColumn == 2 ? &file.m_strExt : nullptr;
}
} // namespace

const ResultColumn* GetChangeColumns(ChangeRowKind kind, int& nCount)
{
    if (kind == ChangeRowKind::File)
    {
        nCount = static_cast<int>(std::size(FILE_COLUMNS));
        return FILE_COLUMNS;
    }
    nCount = static_cast<int>(std::size(EXTENSION_COLUMNS));
    return EXTENSION_COLUMNS;
}

wxString ChangeStatusText(ChangeResult::Status nStatus)
{
    static const char* const TEXTS[ChangeResult::STATUS_COUNT] = {
        wxTRANSLATE("same"), wxTRANSLATE("modified"), wxTRANSLATE("added"), wxTRANSLATE("removed")};
    return wxGetTranslation(TEXTS[nStatus]);
}

wxString ChangeRowText(ChangeRowKind kind, const ChangeResult* pRow, int nColumn)
{
    if (!pRow)
        return wxString();
    if (const wxString* pName = Name(kind, *pRow, nColumn))
        return NameText(*pName);
    if (kind == ChangeRowKind::File)
    {
        const FileChange& file = static_cast<const FileChange&>(*pRow);
        if (nColumn == FILE_STATUS)
            return ChangeStatusText(file.m_nStatus);
        if (nColumn == FILE_DATE)
            return DateText(file.m_dtModified);
    }
    if (const Figure* pFigure = FindFigure(kind, nColumn))
        return pFigure->fnCount ? CountText(pFigure->fnCount(*pRow))
                                : EstimateText(pRow->m_changed.*pFigure->pEstimate);
    return wxString();
}

ResultSortKey GetChangeSortKey(ChangeRowKind kind, const ChangeResult* pRow, int nColumn)
{
    if (!pRow)
        return ResultSortKey();
    if (const wxString* pName = Name(kind, *pRow, nColumn))
        return TextKey(*pName);
    if (kind == ChangeRowKind::File)
    {
        const FileChange& file = static_cast<const FileChange&>(*pRow);
        if (nColumn == FILE_STATUS)
            return CountKey(file.m_nStatus);
        if (nColumn == FILE_DATE)
            return DateKey(file.m_dtModified);
    }
    if (const Figure* pFigure = FindFigure(kind, nColumn))
        return pFigure->fnCount ? CountKey(pFigure->fnCount(*pRow))
                                : EstimateKey(pRow->m_changed.*pFigure->pEstimate);
    return CountKey(0);
}

int CompareChangeRows(ChangeRowKind kind, const ChangeResult* p1, const ChangeResult* p2,
                      int nSortWord)
{
    const int nColumn = nSortWord & ~SORT_DESCENDING;
    const int n =
        CompareSortKeys(GetChangeSortKey(kind, p1, nColumn), GetChangeSortKey(kind, p2, nColumn));
    return (nSortWord & SORT_DESCENDING) ? -n : n;
}

std::vector<std::pair<wxString, wxString>> ChangeEstimateRows(const ChangeResult& total,
                                                              const AnalysisParam& param)
{
    const Result& c = total.m_changed;
    const PhaseResult phases(c, param);
    const auto figure = [](double f) { return wxString::Format("%2.0f", f); };
    return {
        {_("Changed code lines"), CountText(ChangedCode(total))},
        {_("Lines added"), CountText(total.LinesAdded())},
        {_("Lines removed"), CountText(total.LinesRemoved())},
        {_("Low Level Design Man-month"), EstimateText(phases.m_fLLDManMonth)},
        {_("Coding Man-month"), EstimateText(phases.m_fCDManMonth)},
        {_("Unit Test Man-month"), EstimateText(phases.m_fUTManMonth)},
        {_("Integration Test Man-month"), EstimateText(phases.m_fITManMonth)},
        {_("Total Man-month"), EstimateText(phases.m_fTotalManMonth)},
        {_("Low Level Design Cost"), EstimateText(phases.m_fLLDCost)},
        {_("Coding Cost"), EstimateText(phases.m_fCDCost)},
        {_("Unit Test Cost"), EstimateText(phases.m_fUTCost)},
        {_("Integration Test Cost"), EstimateText(phases.m_fITCost)},
        {_("Total Cost"), EstimateText(phases.m_fTotalCost)},
        {_("Unit Test Case"), figure(c.m_fUTCases)},
        {_("Unit Test Defect"), figure(c.m_fUTDefects)},
        {_("Integration Test Case"), figure(c.m_fITCases)},
        {_("Integration Test Defect"), figure(c.m_fITDefects)},
    };
}
