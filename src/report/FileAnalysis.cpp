#include "engine/CountingManager.h"
#include "report/AnalysisParam.h"

// Estimates of one file from its effective code lines (code plus
// code-and-comment); blank and pure comment lines cost nothing.
void CountingManager::CalcFileAnalysis(const AnalysisParam& param, FileResult& file) const
{
    const double x = static_cast<double>(file.m_nCodeLines + file.m_nCodeCommentLines);
    file.m_fUTCases = static_cast<float>(x * param.m_nUTCaseDensity / 1000);
    file.m_fUTDefects = static_cast<float>(x * param.m_nUTDefectDensity / 1000);
    file.m_fITCases = static_cast<float>(x * param.m_nITCaseDensity / 1000);
    file.m_fITDefects = static_cast<float>(x * param.m_nITDefectDensity / 1000);
    file.m_fManHour = static_cast<float>(x * param.m_nManMonthDays * 8 / param.m_nManMonthLines);
    const double fCostPerLine = static_cast<double>(param.m_nManMonthCost) / param.m_nManMonthLines;
    file.m_fCost = static_cast<float>(x * fCostPerLine);
}
