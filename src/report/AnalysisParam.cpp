#include "report/AnalysisParam.h"

#include <wx/translation.h>

namespace
{
// The units are marked for the catalogs: the analysis pane shows them
// translated, the command line as they are.
const AnalysisParamInfo g_infos[] = {
    {"UTCaseDensity", &AnalysisParam::m_nUTCaseDensity, 50, 1, 200, wxTRANSLATE("Cases/KLOC")},
    {"UTDefectDensity", &AnalysisParam::m_nUTDefectDensity, 10, 1, 20, wxTRANSLATE("Defects/KLOC")},
    {"ITCaseDensity", &AnalysisParam::m_nITCaseDensity, 20, 1, 100, wxTRANSLATE("Cases/KLOC")},
    {"ITDefectDensity", &AnalysisParam::m_nITDefectDensity, 2, 1, 10, wxTRANSLATE("Defects/KLOC")},
    {"ManMonthLines", &AnalysisParam::m_nManMonthLines, 4000, 1000, 100000, wxTRANSLATE("Lines")},
    {"ManMonthDays", &AnalysisParam::m_nManMonthDays, 20, 15, 31, wxTRANSLATE("Days")},
    {"ManMonthCost", &AnalysisParam::m_nManMonthCost, 10000, 1, 100000, wxTRANSLATE("Dollars")},
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
