#include "FrameFixture.h"

#include "report/AnalysisParam.h"

#include <wx/propgrid/propgrid.h>

using namespace frame_test;

namespace
{
TEST_F(FrameTest, ParametersAreReadAfterAnEditAndHeldToTheirLimits)
{
    Open();
    wxPropertyGrid& grid = Access().AnalysisGrid();
    AnalysisParam& param = Access().Analysis();

    Access().ReadAnalysisParams();
    EXPECT_FALSE(param.m_bModified);
    EXPECT_EQ(param.m_nManMonthLines, 4000);

    // Each limit refuses the entry just past it, with a message, and keeps
    // the value; the limit itself is taken.
    std::size_t nCount = 0;
    const AnalysisParamInfo* pInfos = GetAnalysisParamInfos(nCount);
    for (std::size_t i = 0; i < nCount; ++i)
    {
        const AnalysisParamInfo& info = pInfos[i];
        const long nBefore = grid.GetPropertyValueAsLong(info.name);
        bool bChanged = true;
        wxTEST_DIALOG(bChanged =
                          grid.ChangePropertyValue(info.name, wxVariant(long(info.nMin - 1))),
                      wxExpectModal<wxMessageDialog>(wxOK));
        EXPECT_FALSE(bChanged) << info.name;
        wxTEST_DIALOG(bChanged =
                          grid.ChangePropertyValue(info.name, wxVariant(long(info.nMax + 1))),
                      wxExpectModal<wxMessageDialog>(wxOK));
        EXPECT_FALSE(bChanged) << info.name;
        EXPECT_EQ(grid.GetPropertyValueAsLong(info.name), nBefore) << info.name;
        EXPECT_EQ(grid.GetPropertyAttribute(info.name, wxPG_ATTR_UNITS).GetString(),
                  wxString(info.units))
            << info.name;
        EXPECT_TRUE(grid.ChangePropertyValue(info.name, wxVariant(long(info.nMax)))) << info.name;
    }
    // An edit reaches the parameters only when they are read.
    EXPECT_EQ(param.m_nManMonthDays, 20);
    Access().ReadAnalysisParams();
    EXPECT_TRUE(param.m_bModified);
    for (std::size_t i = 0; i < nCount; ++i)
        EXPECT_EQ(param.*pInfos[i].field, pInfos[i].nMax) << pInfos[i].name;

    // The grid stays modified, so every later read marks the parameters so.
    param.m_bModified = false;
    Access().ReadAnalysisParams();
    EXPECT_TRUE(param.m_bModified);
}

TEST_F(FrameTest, SummaryGridShowsWholeTestFiguresAndSixtyFourBitTotals)
{
    Open();
    TotalResult total;
    total.m_nFiles = 2;
    total.m_nLines = 3000000000LL; // past a 32-bit signed count
    total.m_nCodeLines = 4000;
    total.m_nSize = 5LL << 30;
    total.m_fUTCases = 199.6f;
    total.m_fUTDefects = 1278130.4; // past the grid's six significant digits
    total.m_fITCases = 80.5f;
    total.m_fITDefects = 0.2f;
    total.m_fCost = 10000.0f;
    total.m_fManHour = 160.0f;
    SummaryGrid& grid = Access().Summary();
    grid.ShowResults(total, AnalysisParam());

    const std::pair<const char*, const char*> expected[] = {
        {"TotalLines", "3000000000"},
        {"CodeLines", "4000"},
        {"Files", "2"},
        {"Size", "5368709120"},
        {"UTCase", "200"},
        {"UTDefect", "1278130"},
        {"ITCase", "80"},
        {"ITDefect", "0"},
        {"CDCost", "10000.00"},
        {"ITCost", "4000.00"},
        {"CDMM", "1.00"},
        {"ITMM", "0.40"},
    };
    for (const auto& [szName, szText] : expected)
        EXPECT_EQ(grid.GetPropertyValueAsString(szName), szText) << szName;
}
} // namespace
