#include "report/PhaseResult.h"

#include "engine/Hundredths.h"
#include "engine/Result.h"
#include "report/AnalysisParam.h"
#include "report/Rounding.h"

#include <cmath>

namespace
{
// Shares of four parts in percent, the last being the remainder so the four
// always add up to 100. With nothing to share (a total of 0) all four are 0.
void Shares(double fLLD, double fCD, double fUT, double fTotal, double& fLLDShare, double& fCDShare,
            double& fUTShare, double& fITShare)
{
    if (fTotal == 0.0)
    {
        fLLDShare = fCDShare = fUTShare = fITShare = 0.0;
        return;
    }
    fLLDShare = RoundTwoDecimals(100.0 * fLLD / fTotal);
    fCDShare = RoundTwoDecimals(100.0 * fCD / fTotal);
    fUTShare = RoundTwoDecimals(100.0 * fUT / fTotal);
    fITShare = RoundTwoDecimals(100.0 - fLLDShare - fCDShare - fUTShare);
}
} // namespace

PhaseResult::PhaseResult(const Result& total, const AnalysisParam& param)
{
    // Every phase, coding included, comes from the same whole number of
    // hundredths by one rounding of its percentage: phases of equal
    // percentages show equal figures, and one of 100% shows coding's.
    const double fCostHundredths = std::round(total.m_fCost * 100);
    const double fHourHundredths = std::round(total.m_fManHour * 100);
    const double fMonthHours = static_cast<double>(param.m_nManMonthDays) * 8;
    const auto cost = [&](int nPercent)
    { return Hundredths::Of(fCostHundredths * nPercent, 100.0 * 100); };
    const auto manMonths = [&](int nPercent)
    { return Hundredths::Of(fHourHundredths * nPercent, 100.0 * 100 * fMonthHours); };

    m_fCDCost = cost(100);
    m_fLLDCost = cost(param.m_nLLDPercent);
    m_fUTCost = cost(param.m_nUTPercent);
    m_fITCost = cost(param.m_nITPercent);

    m_fCDManMonth = manMonths(100);
    m_fLLDManMonth = manMonths(param.m_nLLDPercent);
    m_fUTManMonth = manMonths(param.m_nUTPercent);
    m_fITManMonth = manMonths(param.m_nITPercent);

    // The totals are the sums of the four figures as shown.
    m_fTotalCost = Hundredths::Sum(Hundredths::Sum(m_fLLDCost, m_fCDCost),
                                   Hundredths::Sum(m_fUTCost, m_fITCost));
    m_fTotalManMonth = Hundredths::Sum(Hundredths::Sum(m_fLLDManMonth, m_fCDManMonth),
                                       Hundredths::Sum(m_fUTManMonth, m_fITManMonth));

    Shares(m_fLLDCost, m_fCDCost, m_fUTCost, m_fTotalCost, m_fLLDCostPercent, m_fCDCostPercent,
           m_fUTCostPercent, m_fITCostPercent);
    Shares(m_fLLDManMonth, m_fCDManMonth, m_fUTManMonth, m_fTotalManMonth, m_fLLDManMonthPercent,
           m_fCDManMonthPercent, m_fUTManMonthPercent, m_fITManMonthPercent);
}
