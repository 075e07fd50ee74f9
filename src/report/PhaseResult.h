#pragma once

class AnalysisParam;
class Result;

// Cost and effort of the four development phases derived from a total: low-level
// design, coding, unit test and integration test, with each phase's share.
// Costs and man-months are in hundredths, the totals the sums of the four.
class PhaseResult
{
public:
    PhaseResult(const Result& total, const AnalysisParam& param);
    virtual ~PhaseResult() = default;

    double m_fTotalCost = 0;
    double m_fTotalManMonth = 0;
    double m_fCDCost = 0;
    double m_fCDManMonth = 0;
    double m_fLLDCost = 0;
    double m_fLLDManMonth = 0;
    double m_fUTCost = 0;
    double m_fUTManMonth = 0;
    double m_fITCost = 0;
    double m_fITManMonth = 0;
    double m_fLLDCostPercent = 0;
    double m_fCDCostPercent = 0;
    double m_fUTCostPercent = 0;
    double m_fITCostPercent = 0;
    double m_fLLDManMonthPercent = 0;
    double m_fCDManMonthPercent = 0;
    double m_fUTManMonthPercent = 0;
    double m_fITManMonthPercent = 0;
};
