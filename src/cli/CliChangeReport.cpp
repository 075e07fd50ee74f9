#include "cli/CliChangeReport.h"

#include "cli/CliReport.h"
#include "cli/TextTable.h"
#include "compare/Comparison.h"

namespace
{
std::string Utf8(const wxString& str)
{
    const wxScopedCharBuffer buf = str.utf8_str();
    return std::string(buf.data(), buf.length());
}

std::vector<std::string> TypeCells(const std::string& strName, const ChangeResult& r)
{
    const LineChanges& lines = r.m_arrKinds[ChangeResult::KIND_LINES];
    const std::int64_t nChangedFiles = r.m_arrFiles[ChangeResult::STATUS_MODIFIED] +
                                       r.m_arrFiles[ChangeResult::STATUS_ADDED] +
                                       r.m_arrFiles[ChangeResult::STATUS_REMOVED];
    return {strName,
            CliReport::Grouped(r.m_nFiles),
            CliReport::Grouped(nChangedFiles),
            CliReport::Grouped(lines.m_nSame),
            CliReport::Grouped(lines.m_nModified),
            CliReport::Grouped(lines.m_nAdded),
            CliReport::Grouped(lines.m_nRemoved),
            CliReport::Grouped(r.m_changed.m_nCodeLines + r.m_changed.m_nCodeCommentLines)};
}
} // namespace

std::string CliChangeReport::FormatTypeTable(const Comparison& comparison)
{
    TextTable table;
    table.Row({"Type", "Files", "Changed", "Same", "Modified", "Added", "Removed", "Changed code"});
    table.Rule();
    for (const auto& pExt : comparison.m_arrExtensions)
        table.Row(TypeCells(Utf8(pExt->m_strName), *pExt));
    table.Rule();
    table.Row(TypeCells("Total", comparison.m_total));
    return table.Render();
}

std::string CliChangeReport::FormatKindTable(const Comparison& comparison)
{
    static const char* const KINDS[ChangeResult::KIND_COUNT] = {"Lines", "Code", "Code//Comment",
                                                                "Comment", "Blank"};
    TextTable table;
    table.Row({"Kind", "Same", "Modified", "Added", "Removed"});
    table.Rule();
    for (int i = 0; i < ChangeResult::KIND_COUNT; ++i)
    {
        const LineChanges& kind = comparison.m_total.m_arrKinds[i];
        table.Row({KINDS[i], CliReport::Grouped(kind.m_nSame), CliReport::Grouped(kind.m_nModified),
                   CliReport::Grouped(kind.m_nAdded), CliReport::Grouped(kind.m_nRemoved)});
        if (i == ChangeResult::KIND_LINES)
            table.Rule();
    }
    return table.Render();
}

std::string CliChangeReport::Format(const Comparison& comparison, const AnalysisParam& param)
{
    const Result& changed = comparison.m_total.m_changed;
    return FormatTypeTable(comparison) + "\n" + FormatKindTable(comparison) + "\n" +
           "Estimates of the change: " +
           CliReport::Grouped(changed.m_nCodeLines + changed.m_nCodeCommentLines) +
           " code lines added or modified\n" + CliReport::FormatPhases(changed, param);
}
