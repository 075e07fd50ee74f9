#include "report/PhaseResult.h"

#include "engine/Result.h"
#include "report/AnalysisParam.h"
#include "report/Rounding.h"

namespace
{
// Shares of four parts in percent, the last being the remainder so the four
// always add up to 100. With nothing to share (a total of 0) all four are 0.
void Shares(float fLLD, float fCD, float fUT, float fTotal, float& fLLDShare, float& fCDShare,
            float& fUTShare, float& fITShare)
{
    if (fTotal == 0.0f)
    {
        fLLDShare = fCDShare = fUTShare = fITShare = 0.0f;
        return;
    }
    fLLDShare = RoundTwoDecimals(100.0 * fLLD / fTotal);
    fCDShare = RoundTwoDecimals(100.0 * fCD / fTotal);
    fUTShare = RoundTwoDecimals(100.0 * fUT / fTotal);
    fITShare = 100.0f - fLLDShare - fCDShare - fUTShare;
}
} // namespace

PhaseResult::PhaseResult(const TotalResult& total, const AnalysisParam& param)
{
    m_fCDCost = total.m_fCost;
    m_fCDManMonth = total.m_fManHour / static_cast<float>(param.m_nManMonthDays * 8);

    m_fLLDCost = (m_fCDCost / 100) * param.m_nLLDPercent;
    m_fUTCost = (m_fCDCost / 100) * param.m_nUTPercent;
    m_fITCost = (m_fCDCost / 100) * param.m_nITPercent;

    m_fLLDManMonth = param.m_nLLDPercent * (m_fCDManMonth / 100);
    m_fUTManMonth = param.m_nUTPercent * (m_fCDManMonth / 100);
    m_fITManMonth = param.m_nITPercent * (m_fCDManMonth / 100);

    m_fTotalCost = m_fLLDCost + m_fCDCost + m_fUTCost + m_fITCost;
    m_fTotalManMonth = m_fLLDManMonth + m_fCDManMonth + m_fUTManMonth + m_fITManMonth;

    Shares(m_fLLDCost, m_fCDCost, m_fUTCost, m_fTotalCost, m_fLLDCostPercent, m_fCDCostPercent,
           m_fUTCostPercent, m_fITCostPercent);
    Shares(m_fLLDManMonth, m_fCDManMonth, m_fUTManMonth, m_fTotalManMonth, m_fLLDManMonthPercent,
           m_fCDManMonthPercent, m_fUTManMonthPercent, m_fITManMonthPercent);
}
