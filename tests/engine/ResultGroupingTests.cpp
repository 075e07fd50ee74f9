#include "engine/CountingManager.h"
#include "engine/Observers.h"
#include "report/AnalysisParam.h"

#include <gtest/gtest.h>
#include <map>

namespace
{
class AnalysisCounter : public AnalysisObserver
{
public:
    void OnAnalysisUpdate() override { ++m_nCalls; }
    int m_nCalls = 0;
};

// Three stored files as a run would leave them: two folders, two extensions,
// two dates.
class ResultGroupingTest : public testing::Test
{
protected:
    ResultGroupingTest()
    {
        m_manager.SetSaveRulesOnDestroy(false);
        m_manager.m_pAnalysisObserver = &m_observer;
        AddFile("/p/a", "x.c", ".c", 2024, 10, 8);
        AddFile("/p/a", "y.h", ".h", 2024, 10, 9);
        AddFile("/p/b", "z.c", ".c", 2024, 10, 9);
        m_manager.Summarize();
    }

    void AddFile(const char* szFolder, const char* szFile, const char* szExt, int y, int m, int d)
    {
        auto pFile = std::make_unique<FileResult>();
        pFile->m_strFolder = szFolder;
        pFile->m_strFile = szFile;
        pFile->m_strPath = wxString(szFolder) + "/" + szFile;
        pFile->m_strExt = szExt;
        pFile->m_dtModified = wxDateTime(d, static_cast<wxDateTime::Month>(m - 1), y, 12);
        pFile->m_nLines = 10;
        pFile->m_nCodeLines = 6;
        pFile->m_nCodeCommentLines = 2;
        pFile->m_nCommentLines = 1;
        pFile->m_nBlankLines = 1;
        pFile->m_nSize = 100;
        m_manager.CalcFileAnalysis(m_analysis, *pFile);
        m_manager.m_totalResult.Add(*pFile);
        m_manager.m_arrFileResults.push_back(std::move(pFile));
    }

    // The filter as the panel builds it: every offered value checked.
    FilterParam AllChecked() const
    {
        FilterParam filter;
        filter.m_arrDirectories = m_manager.m_arrDirectoryList;
        filter.m_arrExtensions = m_manager.m_arrExtensionList;
        filter.m_arrDates = m_manager.m_arrDateList;
        filter.SortLists();
        return filter;
    }

    std::vector<bool> Visible() const
    {
        std::vector<bool> v;
        for (const auto& pFile : m_manager.m_arrFileResults)
            v.push_back(pFile->m_bVisible);
        return v;
    }

    CountingManager m_manager;
    AnalysisParam m_analysis;
    AnalysisCounter m_observer;
};

TEST_F(ResultGroupingTest, SummaryListsValuesInOrderOfFirstAppearance)
{
    EXPECT_EQ(m_manager.m_arrDirectoryList,
              wxArrayString(2, std::vector<wxString>{"/p/a", "/p/b"}.data()));
    EXPECT_EQ(m_manager.m_arrExtensionList,
              wxArrayString(2, std::vector<wxString>{".c", ".h"}.data()));
    EXPECT_EQ(m_manager.m_arrDateList,
              wxArrayString(2, std::vector<wxString>{"2024-10-08", "2024-10-09"}.data()));
    ASSERT_EQ(m_manager.m_arrDirectoryResults.size(), 2u);
    EXPECT_EQ(m_manager.m_arrDirectoryResults[0]->m_nFiles, 2);
    EXPECT_FLOAT_EQ(m_manager.m_arrDirectoryResults[0]->m_fManHour, 2 * 8 * 20 * 8 / 4000.0f);
    EXPECT_EQ(m_manager.m_arrExtensionResults[0]->m_strName, ".c");
    EXPECT_EQ(m_manager.m_arrExtensionResults[0]->m_nLines, 20);
}

struct FilterCase
{
    const char* name;
    bool bDir, bExt, bDate;
    std::vector<const char*> arrDirs, arrExts, arrDates;
    std::vector<bool> visible;
    std::int64_t nTotalFiles;
};

void PrintTo(const FilterCase& c, std::ostream* pOut)
{
    *pOut << c.name;
}

class FilterCases : public ResultGroupingTest, public testing::WithParamInterface<FilterCase>
{
};

TEST_P(FilterCases, MarksVisibleFilesAndRegroups)
{
    const FilterCase& c = GetParam();
    FilterParam filter;
    filter.m_bFilterDirectory = c.bDir;
    filter.m_bFilterExtension = c.bExt;
    filter.m_bFilterDate = c.bDate;
    for (const char* s : c.arrDirs)
        filter.m_arrDirectories.Add(s);
    for (const char* s : c.arrExts)
        filter.m_arrExtensions.Add(s);
    for (const char* s : c.arrDates)
        filter.m_arrDates.Add(s);

    m_manager.Refilter(m_analysis, filter);
    EXPECT_EQ(Visible(), c.visible);
    EXPECT_EQ(m_manager.m_totalResult.m_nFiles, c.nTotalFiles);
    EXPECT_EQ(m_manager.m_totalResult.m_nLines, 10 * c.nTotalFiles);
    EXPECT_EQ(m_observer.m_nCalls, 1);
    // The panel keeps offering every value of the run.
    EXPECT_EQ(m_manager.m_arrDirectoryList.GetCount(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Filters, FilterCases,
                         testing::Values(FilterCase{"NoFilterActiveShowsEverything",
                                                    false,
                                                    false,
                                                    false,
                                                    {},
                                                    {},
                                                    {},
                                                    {true, true, true},
                                                    3},
                                         FilterCase{"OneFolder",
                                                    true,
                                                    false,
                                                    false,
                                                    {"/p/b"},
                                                    {".c", ".h"},
                                                    {"2024-10-08", "2024-10-09"},
                                                    {false, false, true},
                                                    1},
                                         FilterCase{"OneExtension",
                                                    false,
                                                    true,
                                                    false,
                                                    {"/p/a", "/p/b"},
                                                    {".c"},
                                                    {"2024-10-08", "2024-10-09"},
                                                    {true, false, true},
                                                    2},
                                         FilterCase{"EveryDateUnchecked",
                                                    false,
                                                    false,
                                                    true,
                                                    {"/p/a", "/p/b"},
                                                    {".c", ".h"},
                                                    {},
                                                    {false, false, false},
                                                    0},
                                         FilterCase{"MembershipIsCaseSensitive",
                                                    true,
                                                    false,
                                                    false,
                                                    {"/P/A", "/p/b"},
                                                    {".c", ".h"},
                                                    {"2024-10-08", "2024-10-09"},
                                                    {false, false, true},
                                                    1}),
                         [](const testing::TestParamInfo<FilterCase>& info)
                         { return std::string(info.param.name); });

TEST_F(ResultGroupingTest, EveryDateUncheckedLeavesZeroGroups)
{
    FilterParam filter = AllChecked();
    filter.m_bFilterDate = true;
    filter.m_arrDates.Clear();
    m_manager.Refilter(m_analysis, filter);

    ASSERT_EQ(m_manager.m_arrDirectoryResults.size(), 2u);
    for (const auto& pDir : m_manager.m_arrDirectoryResults)
        EXPECT_EQ(pDir->m_nFiles, 0);
    EXPECT_EQ(m_manager.m_totalResult.m_fCost, 0.0f);
}

TEST_F(ResultGroupingTest, CheckedFolderWhoseFilesAllFailGetsAZeroResult)
{
    FilterParam filter = AllChecked();
    filter.m_bFilterExtension = true;
    filter.m_arrExtensions.Remove(".c"); // /p/b holds only a .c file
    m_manager.Refilter(m_analysis, filter);

    ASSERT_EQ(m_manager.m_arrDirectoryResults.size(), 2u);
    EXPECT_EQ(m_manager.m_arrDirectoryResults[1]->m_strName, "/p/b");
    EXPECT_EQ(m_manager.m_arrDirectoryResults[1]->m_nFiles, 0);
    EXPECT_EQ(m_manager.m_arrDirectoryResults[1]->m_nLines, 0);
    ASSERT_EQ(m_manager.m_arrExtensionResults.size(), 1u);
    EXPECT_EQ(m_manager.m_arrExtensionResults[0]->m_nFiles, 1);
}

TEST_F(ResultGroupingTest, RegroupedGroupsCarryCountsButNoEstimates)
{
    m_manager.Refilter(m_analysis, AllChecked());
    EXPECT_EQ(m_manager.m_arrDirectoryResults[0]->m_nCodeLines, 12);
    EXPECT_EQ(m_manager.m_arrDirectoryResults[0]->m_fCost, 0.0f);
    EXPECT_GT(m_manager.m_totalResult.m_fCost, 0.0f);
}

TEST_F(ResultGroupingTest, NewParametersRecomputeVisibleFilesOnly)
{
    FilterParam filter = AllChecked();
    filter.m_bFilterDirectory = true;
    filter.m_arrDirectories.Remove("/p/b");
    const float fHiddenCost = m_manager.m_arrFileResults[2]->m_fCost;

    m_analysis.m_nManMonthCost = 20000;
    m_manager.Refilter(m_analysis, filter);

    EXPECT_FLOAT_EQ(m_manager.m_arrFileResults[0]->m_fCost, 8 * 20000.0f / 4000);
    EXPECT_FLOAT_EQ(m_manager.m_arrFileResults[2]->m_fCost, fHiddenCost);
    EXPECT_FLOAT_EQ(m_manager.m_totalResult.m_fCost, 2 * 8 * 20000.0f / 4000);
    EXPECT_EQ(m_manager.m_totalResult.m_nCodeLines, 12);
}

TEST_F(ResultGroupingTest, WiderFilterBringsHiddenFilesBack)
{
    FilterParam narrow = AllChecked();
    narrow.m_bFilterExtension = true;
    narrow.m_arrExtensions.Clear();
    m_manager.Refilter(m_analysis, narrow);
    m_manager.Refilter(m_analysis, AllChecked());
    EXPECT_EQ(Visible(), (std::vector<bool>{true, true, true}));
}

// Folders that differ only in letter case are two folders: after a run and
// after a refresh each row sums its own files, so the rows add up to the total.
class FoldersInCase : public ResultGroupingTest, public testing::WithParamInterface<bool>
{
};

TEST_P(FoldersInCase, EachSumTheirOwnFiles)
{
    m_manager.m_arrFileResults[2]->m_strFolder = "/P/A";
    m_manager.Summarize();
    if (GetParam())
        m_manager.Refilter(m_analysis, AllChecked());
    std::map<wxString, std::int64_t> files;
    for (const auto& pDir : m_manager.m_arrDirectoryResults)
        files[pDir->m_strName] = pDir->m_nFiles;
    EXPECT_EQ(files, (std::map<wxString, std::int64_t>{{"/P/A", 1}, {"/p/a", 2}}));
}

INSTANTIATE_TEST_SUITE_P(Grouping, FoldersInCase, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info)
                         { return std::string(info.param ? "AfterARefresh" : "AfterARun"); });

TEST(ResultGroupingEmpty, RefilterWithoutResultsTellsNobody)
{
    CountingManager manager;
    AnalysisCounter observer;
    manager.m_pAnalysisObserver = &observer;
    manager.Refilter(AnalysisParam(), FilterParam());
    EXPECT_EQ(observer.m_nCalls, 0);
}
} // namespace
