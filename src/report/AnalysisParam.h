#pragma once

#include <cstddef>

// The ten parameters the estimates rest on. Not persisted: every start uses the
// defaults.
class AnalysisParam
{
public:
    virtual ~AnalysisParam() = default;

    bool m_bModified = false;
    int m_nUTCaseDensity = 50;
    int m_nUTDefectDensity = 10;
    int m_nITCaseDensity = 20;
    int m_nITDefectDensity = 2;
    int m_nManMonthLines = 4000;
    int m_nManMonthDays = 20;
    int m_nManMonthCost = 10000;
    int m_nLLDPercent = 100;
    int m_nUTPercent = 100;
    int m_nITPercent = 40;
};

// Name, limits and units of one parameter, as the grid and the command line
// show them; the member pointer ties the description to its field.
struct AnalysisParamInfo
{
    const char* name; // the grid property name, e.g. "ManMonthLines"
    int AnalysisParam::*field;
    int nDefault;
    int nMin;
    int nMax;
    const char* units; // "Cases/KLOC", "Lines", ...
};

// The ten parameters in their field order.
const AnalysisParamInfo* GetAnalysisParamInfos(std::size_t& nCount);
