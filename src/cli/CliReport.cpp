#include "cli/CliReport.h"

#include "cli/TextTable.h"
#include "engine/CountingManager.h"
#include "report/AnalysisParam.h"
#include "report/PhaseResult.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace
{
std::string Utf8(const wxString& str)
{
    const wxScopedCharBuffer buf = str.utf8_str();
    return std::string(buf.data(), buf.length());
}

std::vector<std::string> CountCells(const std::string& strName, const Result& r)
{
    return {strName,
            CliReport::Grouped(r.m_nFiles),
            CliReport::Grouped(r.m_nLines),
            CliReport::Grouped(r.m_nCodeLines),
            CliReport::Grouped(r.m_nCodeCommentLines),
            CliReport::Grouped(r.m_nCommentLines),
            CliReport::Grouped(r.m_nBlankLines),
            CliReport::Grouped(r.m_nSize)};
}
} // namespace

std::string CliReport::Grouped(std::int64_t nValue)
{
    std::string strDigits = std::to_string(nValue < 0 ? -nValue : nValue);
    std::string str;
    for (std::size_t i = 0; i < strDigits.size(); ++i)
    {
        if (i && (strDigits.size() - i) % 3 == 0)
            str += ',';
        str += strDigits[i];
    }
    return nValue < 0 ? "-" + str : str;
}

std::string CliReport::Grouped(double fValue, int nDecimals)
{
    // Locale-independent, so the point stays a point whatever LC_NUMERIC says.
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof(buf), fValue < 0 ? -fValue : fValue,
                             std::chars_format::fixed, nDecimals);
    const std::string strFixed(buf, res.ptr);
    const std::size_t nPoint = std::min(strFixed.find('.'), strFixed.size());
    std::string str;
    for (std::size_t i = 0; i < nPoint; ++i)
    {
        if (i && (nPoint - i) % 3 == 0)
            str += ',';
        str += strFixed[i];
    }
    str += strFixed.substr(nPoint);
    return fValue < 0 && str.find_first_not_of("0.,") != std::string::npos ? "-" + str : str;
}

std::string CliReport::FormatTypeTable(const CountingManager& manager)
{
    std::vector<const ExtensionResult*> arrTypes;
    for (const auto& pExt : manager.m_arrExtensionResults)
        arrTypes.push_back(pExt.get());
    std::stable_sort(arrTypes.begin(), arrTypes.end(),
                     [](const ExtensionResult* a, const ExtensionResult* b)
                     { return a->m_strName.Cmp(b->m_strName) < 0; });

    TextTable table;
    table.Row({"Type", "Files", "Lines", "Code", "Code//Comment", "Comment", "Blank", "Size"});
    table.Rule();
    for (const ExtensionResult* pExt : arrTypes)
        table.Row(CountCells(Utf8(pExt->m_strName), *pExt));
    table.Rule();
    table.Row(CountCells("Total", manager.m_totalResult));
    return table.Render();
}

std::string CliReport::FormatEstimates(const CountingManager& manager, const AnalysisParam& param)
{
    return FormatPhases(manager.m_totalResult, param);
}

std::string CliReport::FormatPhases(const Result& total, const AnalysisParam& param)
{
    const PhaseResult phases(total, param);
    TextTable table;
    table.Row({"Phase", "Cost", "Man-months"});
    table.Rule();
    table.Row(
        {"Low-level design", Grouped(phases.m_fLLDCost, 2), Grouped(phases.m_fLLDManMonth, 2)});
    table.Row({"Coding", Grouped(phases.m_fCDCost, 2), Grouped(phases.m_fCDManMonth, 2)});
    table.Row({"Unit test", Grouped(phases.m_fUTCost, 2), Grouped(phases.m_fUTManMonth, 2)});
    table.Row({"Integration test", Grouped(phases.m_fITCost, 2), Grouped(phases.m_fITManMonth, 2)});
    table.Rule();
    table.Row({"Total", Grouped(phases.m_fTotalCost, 2), Grouped(phases.m_fTotalManMonth, 2)});
    return table.Render();
}

std::string CliReport::Format(const CountingManager& manager, const AnalysisParam& param)
{
    return FormatTypeTable(manager) + "\n" + FormatEstimates(manager, param);
}

std::string CliReport::FormatTypeList(const CountingManager& manager)
{
    std::vector<const FileExtension*> arrTypes;
    for (const auto& entry : manager.m_extensionTable)
        arrTypes.push_back(entry.second.get());
    std::sort(arrTypes.begin(), arrTypes.end(),
              [](const FileExtension* a, const FileExtension* b)
              { return a->m_strName.Cmp(b->m_strName) < 0; });

    TextTable table(3);
    table.Row({"Type", "Rule type", "Description"});
    table.Rule();
    for (const FileExtension* pType : arrTypes)
        table.Row({Utf8(pType->m_strName), Utf8(pType->m_strRuleType), Utf8(pType->m_strDesc)});
    return table.Render();
}
