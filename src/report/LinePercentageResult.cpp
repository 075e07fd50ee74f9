#include "report/LinePercentageResult.h"

#include "engine/Result.h"
#include "report/Rounding.h"

namespace
{
double Share(std::int64_t nCount, std::uint64_t nLines)
{
    return RoundTwoDecimals(static_cast<double>(nCount) * 100.0 / static_cast<double>(nLines));
}
} // namespace

LinePercentageResult::LinePercentageResult(const Result& result)
{
    const auto nLines = static_cast<std::uint64_t>(result.m_nLines);
    if (nLines == 0)
        return;
    m_fCodePercent = Share(result.m_nCodeLines, nLines);
    m_fCodeCommentPercent = Share(result.m_nCodeCommentLines, nLines);
    m_fCommentPercent = Share(result.m_nCommentLines, nLines);
    // Blanks take what the rounded shares leave; when those round up past
    // 100 (1, 1 and 4 of 6 lines give 100.01), that is nothing, not -0.01.
    const double fRest =
        RoundTwoDecimals(100.0 - m_fCodePercent - m_fCodeCommentPercent - m_fCommentPercent);
    m_fBlankPercent = fRest > 0.0 ? fRest : 0.0;
}
