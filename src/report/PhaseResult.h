#pragma once

class AnalysisParam;
class TotalResult;

// Cost and effort of the four development phases derived from a total: low-level
// design, coding, unit test and integration test, with each phase's share.
class PhaseResult
{
public:
    PhaseResult(const TotalResult& total, const AnalysisParam& param);
    virtual ~PhaseResult() = default;

    float m_fTotalCost = 0;
    float m_fTotalManMonth = 0;
    float m_fCDCost = 0;
    float m_fCDManMonth = 0;
    float m_fLLDCost = 0;
    float m_fLLDManMonth = 0;
    float m_fUTCost = 0;
    float m_fUTManMonth = 0;
    float m_fITCost = 0;
    float m_fITManMonth = 0;
    float m_fLLDCostPercent = 0;
    float m_fCDCostPercent = 0;
    float m_fUTCostPercent = 0;
    float m_fITCostPercent = 0;
    float m_fLLDManMonthPercent = 0;
    float m_fCDManMonthPercent = 0;
    float m_fUTManMonthPercent = 0;
    float m_fITManMonthPercent = 0;
};
