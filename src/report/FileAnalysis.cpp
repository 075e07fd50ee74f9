#include "engine/CountingManager.h"
#include "engine/Hundredths.h"
#include "report/AnalysisParam.h"

// Estimates of one file from its effective code lines (code plus
// code-and-comment); blank and pure comment lines cost nothing. Each is
// rounded to the hundredth it is shown with, here where it is made, so that
// the totals are the sums of what the file rows show; numerator and
// denominator are whole numbers, so halves round up exactly.
void CountingManager::CalcFileAnalysis(const AnalysisParam& param, Result& file)
{
    const double x = static_cast<double>(file.m_nCodeLines + file.m_nCodeCommentLines);
    file.m_fUTCases = Hundredths::Of(x * param.m_nUTCaseDensity, 1000);
    file.m_fUTDefects = Hundredths::Of(x * param.m_nUTDefectDensity, 1000);
    file.m_fITCases = Hundredths::Of(x * param.m_nITCaseDensity, 1000);
    file.m_fITDefects = Hundredths::Of(x * param.m_nITDefectDensity, 1000);
    file.m_fManHour = Hundredths::Of(x * param.m_nManMonthDays * 8, param.m_nManMonthLines);
    file.m_fCost = Hundredths::Of(x * param.m_nManMonthCost, param.m_nManMonthLines);
}
