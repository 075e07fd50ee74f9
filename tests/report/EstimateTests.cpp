#include "engine/CountingManager.h"
#include "report/AnalysisParam.h"
#include "report/LinePercentageResult.h"
#include "report/PhaseResult.h"
#include "report/Rounding.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>

namespace
{
FileResult FileWith(std::int64_t nCode, std::int64_t nCodeComment, std::int64_t nComment,
                    std::int64_t nBlank)
{
    FileResult file;
    file.m_nCodeLines = nCode;
    file.m_nCodeCommentLines = nCodeComment;
    file.m_nCommentLines = nComment;
    file.m_nBlankLines = nBlank;
    file.m_nLines = nCode + nCodeComment + nComment + nBlank;
    return file;
}

TEST(Rounding, KeepsTwoDecimalsRoundingHalfUp)
{
    EXPECT_FLOAT_EQ(RoundTwoDecimals(29.4117), 29.41f);
    EXPECT_FLOAT_EQ(RoundTwoDecimals(0.125), 0.13f);
    EXPECT_FLOAT_EQ(RoundTwoDecimals(0.0), 0.0f);
    EXPECT_FLOAT_EQ(RoundTwoDecimals(std::nan("")), 0.0f);
}

TEST(FileEstimates, DefaultsOn4000EffectiveLines)
{
    CountingManager manager;
    FileResult file = FileWith(3000, 1000, 500, 500);
    manager.CalcFileAnalysis(AnalysisParam(), file);
    EXPECT_FLOAT_EQ(file.m_fManHour, 160);
    EXPECT_FLOAT_EQ(file.m_fCost, 10000);
    EXPECT_FLOAT_EQ(file.m_fUTCases, 200);
    EXPECT_FLOAT_EQ(file.m_fUTDefects, 40);
    EXPECT_FLOAT_EQ(file.m_fITCases, 80);
    EXPECT_FLOAT_EQ(file.m_fITDefects, 8);
}

TEST(FileEstimates, CommentsAndBlanksCostNothing)
{
    CountingManager manager;
    FileResult file = FileWith(0, 0, 40, 7);
    manager.CalcFileAnalysis(AnalysisParam(), file);
    for (float f : {file.m_fManHour, file.m_fCost, file.m_fUTCases, file.m_fUTDefects,
                    file.m_fITCases, file.m_fITDefects})
        EXPECT_EQ(f, 0.0f);
}

TEST(PhaseEstimates, DefaultsOn4000EffectiveLines)
{
    CountingManager manager;
    FileResult file = FileWith(4000, 0, 0, 0);
    manager.CalcFileAnalysis(AnalysisParam(), file);
    TotalResult total;
    total.Add(file);

    const PhaseResult phase(total, AnalysisParam());
    EXPECT_FLOAT_EQ(phase.m_fCDManMonth, 1.0f);
    EXPECT_FLOAT_EQ(phase.m_fCDCost, 10000);
    EXPECT_FLOAT_EQ(phase.m_fLLDManMonth, 1.0f);
    EXPECT_FLOAT_EQ(phase.m_fLLDCost, 10000);
    EXPECT_FLOAT_EQ(phase.m_fUTManMonth, 1.0f);
    EXPECT_FLOAT_EQ(phase.m_fITManMonth, 0.4f);
    EXPECT_FLOAT_EQ(phase.m_fITCost, 4000);
    EXPECT_FLOAT_EQ(phase.m_fTotalManMonth, 3.4f);
    EXPECT_FLOAT_EQ(phase.m_fTotalCost, 34000);
    for (float f :
         {phase.m_fLLDCostPercent, phase.m_fCDCostPercent, phase.m_fUTCostPercent,
          phase.m_fLLDManMonthPercent, phase.m_fCDManMonthPercent, phase.m_fUTManMonthPercent})
        EXPECT_FLOAT_EQ(f, 29.41f);
    EXPECT_NEAR(phase.m_fITCostPercent, 11.77f, 1e-4);
    EXPECT_NEAR(phase.m_fITManMonthPercent, 11.77f, 1e-4);
}

TEST(PhaseEstimates, IntegrationShareIsTheRemainder)
{
    TotalResult total;
    total.m_fCost = 10000;
    total.m_fManHour = 160;
    AnalysisParam param;
    param.m_nITPercent = 100;
    const PhaseResult phase(total, param);
    EXPECT_FLOAT_EQ(phase.m_fLLDCostPercent, 25.0f);
    EXPECT_FLOAT_EQ(phase.m_fITCostPercent, 25.0f);
}

TEST(PhaseEstimates, NoEffectiveLinesGiveZeroSharesNotNaN)
{
    TotalResult total;
    total.Add(FileWith(0, 0, 12, 3));
    const PhaseResult phase(total, AnalysisParam());
    for (float f : {phase.m_fTotalCost, phase.m_fLLDCostPercent, phase.m_fITCostPercent,
                    phase.m_fCDManMonthPercent, phase.m_fITManMonthPercent})
        EXPECT_EQ(f, 0.0f);
}

struct ShareCase
{
    const char* szName;
    std::int64_t nCode, nCodeComment, nComment, nBlank;
    float fCode, fCodeComment, fComment, fBlank;
};

void PrintTo(const ShareCase& c, std::ostream* pOut)
{
    *pOut << c.szName;
}

class LineShares : public testing::TestWithParam<ShareCase>
{
};

TEST_P(LineShares, RoundEachShareAndLeaveTheRemainderToBlanks)
{
    const ShareCase& c = GetParam();
    const LinePercentageResult shares(FileWith(c.nCode, c.nCodeComment, c.nComment, c.nBlank));
    EXPECT_FLOAT_EQ(shares.m_fCodePercent, c.fCode);
    EXPECT_FLOAT_EQ(shares.m_fCodeCommentPercent, c.fCodeComment);
    EXPECT_FLOAT_EQ(shares.m_fCommentPercent, c.fComment);
    EXPECT_NEAR(shares.m_fBlankPercent, c.fBlank, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(Examples, LineShares,
                         testing::Values(ShareCase{"WholeShares", 50, 10, 25, 15, 50, 10, 25, 15},
                                         ShareCase{"ThirdsLeaveTheRemainderToBlanks", 1, 1, 1, 0,
                                                   33.33f, 33.33f, 33.33f, 0.01f},
                                         ShareCase{"SharesRoundedPastAWholeLeaveNoBlanks", 1, 1, 4,
                                                   0, 16.67f, 16.67f, 66.67f, 0.0f},
                                         ShareCase{"NoLinesNoShares", 0, 0, 0, 0, 0, 0, 0, 0}),
                         [](const testing::TestParamInfo<ShareCase>& info)
                         { return std::string(info.param.szName); });

// Totals against the rows they total, over many files as a run leaves them:
// each file's estimates made and added into the total one after the other.
struct TotalsRow
{
    const char* szName;
    int nFiles;
    std::int64_t (*pfnLines)(int nFile); // effective lines of each file
    int nManMonthLines, nUTPercent, nITPercent;
    const char* szManHours; // the total as shown, when the row knows it
};

void PrintTo(const TotalsRow& row, std::ostream* pOut)
{
    *pOut << row.szName;
}

// A figure as the lists, grids and files show it ("%.2f"), in hundredths.
long long Shown(double fValue)
{
    char buf[64];
    std::snprintf(buf, sizeof(buf), "%.2f", fValue);
    long long n = 0;
    for (const char* p = buf; *p; ++p)
        n = *p == '.' ? n : n * 10 + (*p - '0');
    return n;
}

class TotalsOfRows : public testing::TestWithParam<TotalsRow>
{
};

TEST_P(TotalsOfRows, EqualTheSumOfTheRowsAsShown)
{
    const TotalsRow& row = GetParam();
    AnalysisParam param;
    param.m_nManMonthLines = row.nManMonthLines;
    param.m_nUTPercent = row.nUTPercent;
    param.m_nITPercent = row.nITPercent;
    const CountingManager manager;
    TotalResult total;
    long long arrColumns[6] = {};
    for (int i = 0; i < row.nFiles; ++i)
    {
        FileResult file = FileWith(row.pfnLines(i), 0, 0, 0);
        manager.CalcFileAnalysis(param, file);
        total.Add(file);
        int n = 0;
        for (double f : {file.m_fManHour, file.m_fCost, file.m_fUTCases, file.m_fUTDefects,
                         file.m_fITCases, file.m_fITDefects})
            arrColumns[n++] += Shown(f);
    }
    int n = 0;
    for (double f : {total.m_fManHour, total.m_fCost, total.m_fUTCases, total.m_fUTDefects,
                     total.m_fITCases, total.m_fITDefects})
        EXPECT_EQ(Shown(f), arrColumns[n++]) << "column " << n;
    EXPECT_TRUE(!row.szManHours || wxString::Format("%.2f", total.m_fManHour) == row.szManHours)
        << total.m_fManHour;

    // Phases of equal percentages show equal figures (low-level design and
    // coding are both 100%), and the phase totals are the sums of the four.
    const PhaseResult phase(total, param);
    EXPECT_EQ(Shown(phase.m_fLLDCost), Shown(phase.m_fCDCost));
    EXPECT_EQ(Shown(phase.m_fLLDManMonth), Shown(phase.m_fCDManMonth));
    EXPECT_EQ(Shown(phase.m_fUTCost) == Shown(phase.m_fITCost), row.nUTPercent == row.nITPercent);
    EXPECT_EQ(Shown(phase.m_fTotalCost), Shown(phase.m_fLLDCost) + Shown(phase.m_fCDCost) +
                                             Shown(phase.m_fUTCost) + Shown(phase.m_fITCost));
    EXPECT_EQ(Shown(phase.m_fTotalManMonth),
              Shown(phase.m_fLLDManMonth) + Shown(phase.m_fCDManMonth) +
                  Shown(phase.m_fUTManMonth) + Shown(phase.m_fITManMonth));
}

INSTANTIATE_TEST_SUITE_P(
    Runs, TotalsOfRows,
    testing::Values(
        // Summed in single precision: 400.01 man-hours.
        TotalsRow{"TenThousandOneLineFiles", 10000, [](int) -> std::int64_t { return 1; }, 4000,
                  100, 40, "400.00"},
        // About the kernel's sixty million dollars of coding.
        TotalsRow{"KernelSizedCost", 10000,
                  [](int i) -> std::int64_t { return 1 + (i * 7919LL) % 4800; }, 4000, 100, 40,
                  nullptr},
        // A third of a cent per line: each file's cost has a fraction.
        TotalsRow{"CostWithFractionsOfACent", 5000,
                  [](int i) -> std::int64_t { return 1 + (i * 31LL) % 997; }, 3000, 70, 70,
                  nullptr}),
    [](const testing::TestParamInfo<TotalsRow>& info) { return std::string(info.param.szName); });

TEST(AnalysisParamInfos, DescribeEveryFieldWithItsDefault)
{
    std::size_t nCount = 0;
    const AnalysisParamInfo* pInfos = GetAnalysisParamInfos(nCount);
    ASSERT_EQ(nCount, 10u);
    const AnalysisParam defaults;
    for (std::size_t i = 0; i < nCount; ++i)
    {
        EXPECT_EQ(defaults.*(pInfos[i].field), pInfos[i].nDefault) << pInfos[i].name;
        EXPECT_LE(pInfos[i].nMin, pInfos[i].nDefault);
        EXPECT_GE(pInfos[i].nMax, pInfos[i].nDefault);
    }
}
} // namespace
