#include "ui/results/SummaryGrid.h"

#include "engine/Result.h"
#include "report/AnalysisParam.h"
#include "report/PhaseResult.h"

#include <cstdint>
#include <wx/intl.h>
#include <wx/propgrid/props.h>

namespace
{
enum class Kind
{
    Count,  // unsigned, 64-bit so that totals over 4 GiB show right
    Figure, // a whole number set as text "%2.0f"
    Phase,  // cost or man-months
};

struct SummaryProperty
{
    const char* szCategory; // starts a category when set
    const char* szLabel;
    const char* szName;
    Kind kind;
    const char* szUnits;
};

const SummaryProperty SUMMARY_PROPERTIES[] = {
    {wxTRANSLATE("Lines Counting"), wxTRANSLATE("Total Lines"), "TotalLines", Kind::Count,
     wxTRANSLATE("Lines")},
    {nullptr, wxTRANSLATE("Code lines"), "CodeLines", Kind::Count, wxTRANSLATE("Lines")},
    {nullptr, wxTRANSLATE("Code-Comment lines"), "CodeCommLines", Kind::Count,
     wxTRANSLATE("Lines")},
    {nullptr, wxTRANSLATE("Comment lines"), "CommLines", Kind::Count, wxTRANSLATE("Lines")},
    {nullptr, wxTRANSLATE("Blank lines"), "BlankLines", Kind::Count, wxTRANSLATE("Lines")},
    {wxTRANSLATE("Test Case and Defect"), wxTRANSLATE("Unit Test Case"), "UTCase", Kind::Figure,
     wxTRANSLATE("Cases")},
    {nullptr, wxTRANSLATE("Unit Test Defect"), "UTDefect", Kind::Figure, wxTRANSLATE("Defects")},
    {nullptr, wxTRANSLATE("Integration Test Case"), "ITCase", Kind::Figure, wxTRANSLATE("Cases")},
    {nullptr, wxTRANSLATE("Integration Test Defect"), "ITDefect", Kind::Figure,
     wxTRANSLATE("Defects")},
    {wxTRANSLATE("Other"), wxTRANSLATE("Files"), "Files", Kind::Count, wxTRANSLATE("Files")},
    {nullptr, wxTRANSLATE("Size"), "Size", Kind::Count, wxTRANSLATE("Bytes")},
    {wxTRANSLATE("Cost and Man-month by phase"), wxTRANSLATE("Low Level Design Cost"), "LLDCost",
     Kind::Phase, wxTRANSLATE("Dollars")},
    {nullptr, wxTRANSLATE("Low Level Design Man-month"), "LLDMM", Kind::Phase,
     wxTRANSLATE("Man-month")},
    {nullptr, wxTRANSLATE("Coding Cost"), "CDCost", Kind::Phase, wxTRANSLATE("Dollars")},
    {nullptr, wxTRANSLATE("Coding Man-month"), "CDMM", Kind::Phase, wxTRANSLATE("Man-month")},
    {nullptr, wxTRANSLATE("Unit Test Cost"), "UTCost", Kind::Phase, wxTRANSLATE("Dollars")},
    {nullptr, wxTRANSLATE("Unit Test Man-month"), "UTMM", Kind::Phase, wxTRANSLATE("Man-month")},
    {nullptr, wxTRANSLATE("Integration Test Cost"), "ITCost", Kind::Phase, wxTRANSLATE("Dollars")},
    {nullptr, wxTRANSLATE("Integration Test Man-month"), "ITMM", Kind::Phase,
     wxTRANSLATE("Man-month")},
};

// Costs in whole cents, efforts to a hundredth of a man-month.
constexpr int PHASE_PRECISION = 2;
} // namespace

SummaryGrid::SummaryGrid(wxWindow* pParent)
    : wxPropertyGrid(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                     wxPG_BOLD_MODIFIED | wxPG_SPLITTER_AUTO_CENTER | wxPG_TOOLTIPS)
{
}

void SummaryGrid::CreateProperties()
{
    SetColumnProportion(0, 3);
    SetColumnProportion(1, 2);
    for (const SummaryProperty& property : SUMMARY_PROPERTIES)
    {
        if (property.szCategory)
            Append(new wxPropertyCategory(wxGetTranslation(property.szCategory)));
        const wxString strLabel = wxGetTranslation(property.szLabel);
        wxPGProperty* pProperty =
            property.kind == Kind::Count
                ? static_cast<wxPGProperty*>(new wxUIntProperty(strLabel, property.szName, 0))
                : new wxFloatProperty(strLabel, property.szName, 0.0);
        Append(pProperty);
        pProperty->SetAttribute(wxPG_ATTR_UNITS, wxGetTranslation(property.szUnits));
        // A figure shows whole, however large: the grid's own format turns
        // 1278130 into 1.27813e+06.
        if (property.kind != Kind::Count)
            pProperty->SetAttribute(wxPG_FLOAT_PRECISION,
                                    property.kind == Kind::Phase ? PHASE_PRECISION : 0);
        pProperty->ChangeFlag(wxPG_PROP_READONLY, true);
    }
}

void SummaryGrid::ShowResults(const TotalResult& total, const AnalysisParam& param)
{
    const auto setCount = [this](const char* szName, std::int64_t nValue)
    { SetPropertyValue(szName, static_cast<wxULongLong_t>(nValue < 0 ? 0 : nValue)); };
    const auto setFigure = [this](const char* szName, double fValue)
    { SetPropertyValueString(szName, wxString::Format("%2.0f", fValue)); };
    const auto setPhase = [this](const char* szName, double fValue)
    { SetPropertyValue(szName, fValue); };

    setCount("TotalLines", total.m_nLines);
    setCount("CodeLines", total.m_nCodeLines);
    setCount("CodeCommLines", total.m_nCodeCommentLines);
    setCount("CommLines", total.m_nCommentLines);
    setCount("BlankLines", total.m_nBlankLines);
    setFigure("UTCase", total.m_fUTCases);
    setFigure("UTDefect", total.m_fUTDefects);
    setFigure("ITCase", total.m_fITCases);
    setFigure("ITDefect", total.m_fITDefects);
    setCount("Files", total.m_nFiles);
    setCount("Size", total.m_nSize);

    const PhaseResult phases(total, param);
    setPhase("LLDCost", phases.m_fLLDCost);
    setPhase("CDCost", phases.m_fCDCost);
    setPhase("UTCost", phases.m_fUTCost);
    setPhase("ITCost", phases.m_fITCost);
    setPhase("LLDMM", phases.m_fLLDManMonth);
    setPhase("CDMM", phases.m_fCDManMonth);
    setPhase("UTMM", phases.m_fUTManMonth);
    setPhase("ITMM", phases.m_fITManMonth);
}
