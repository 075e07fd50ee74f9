#include "report/AnalysisParam.h"

namespace
{
const AnalysisParamInfo g_infos[] = {
    {"UTCaseDensity", &AnalysisParam::m_nUTCaseDensity, 50, 1, 200, "Cases/KLOC"},
    {"UTDefectDensity", &AnalysisParam::m_nUTDefectDensity, 10, 1, 20, "Defects/KLOC"},
    {"ITCaseDensity", &AnalysisParam::m_nITCaseDensity, 20, 1, 100, "Cases/KLOC"},
    {"ITDefectDensity", &AnalysisParam::m_nITDefectDensity, 2, 1, 10, "Defects/KLOC"},
    {"ManMonthLines", &AnalysisParam::m_nManMonthLines, 4000, 1000, 100000, "Lines"},
    {"ManMonthDays", &AnalysisParam::m_nManMonthDays, 20, 15, 31, "Days"},
    {"ManMonthCost", &AnalysisParam::m_nManMonthCost, 10000, 1, 100000, "Dollars"},
    {"LLD", &AnalysisParam::m_nLLDPercent, 100, 10, 500, "%"},
    {"UT", &AnalysisParam::m_nUTPercent, 100, 10, 500, "%"},
    {"IT", &AnalysisParam::m_nITPercent, 40, 10, 500, "%"},
};
} // namespace

const AnalysisParamInfo* GetAnalysisParamInfos(std::size_t& nCount)
{
    nCount = sizeof(g_infos) / sizeof(g_infos[0]);
    return g_infos;
}
