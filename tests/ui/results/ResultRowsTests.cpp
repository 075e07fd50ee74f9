#include "WxPrinters.h"
#include "engine/Result.h"
#include "ui/results/ResultRows.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace
{
constexpr std::int64_t FIVE_GIB = 5LL << 30;

FileResult File(const char* szFolder, const char* szName, const char* szExt)
{
    FileResult file;
    file.m_strFolder = szFolder;
    file.m_strFile = szName;
    file.m_strExt = szExt;
    file.m_strPath = wxString(szFolder) + "/" + szName;
    return file;
}

TEST(ResultRowsTest, DetailRowShowsEveryColumnOfItsFile)
{
    FileResult file = File("/src/app", "Main.cpp", ".cpp");
    file.m_nLines = 120;
    file.m_nCodeLines = 80;
    file.m_nCodeCommentLines = 5;
    file.m_nCommentLines = 20;
    file.m_nBlankLines = 15;
    file.m_nSize = FIVE_GIB;
    file.m_fManHour = 3.4f;
    file.m_fCost = 212.5f;
    file.m_fUTCases = 4.25f;
    file.m_fUTDefects = 0.85f;
    file.m_fITCases = 1.7f;
    file.m_fITDefects = 0.17f;
    file.m_dtModified = wxDateTime(1, wxDateTime::May, 2024, 23, 59, 0);

    const char* const expected[] = {"Main.cpp", ".cpp", "/src/app",   "120",       "80",     "5",
                                    "20",       "15",   "5368709120", "3.40",      "212.50", "4.25",
                                    "0.85",     "1.70", "0.17",       "2024-05-01"};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(DetailRowText(&file, i), expected[i]) << "column " << i;
    EXPECT_EQ(DetailRowText(&file, 16), "");
    EXPECT_EQ(DetailRowText(nullptr, 0), "");

    file.m_dtModified = wxDateTime(); // its date could not be read
    EXPECT_EQ(DetailRowText(&file, 15), "");
}

// One detail comparison: the first row goes before (-1), beside (0) or after
// (+1) the second in ascending order; descending must say the opposite.
struct CompareRow
{
    const char* name;
    int nColumn;
    std::function<void(FileResult&, FileResult&)> set;
    int nAscending;
};

void PrintTo(const CompareRow& row, std::ostream* pOut)
{
    *pOut << row.name;
}

class CompareDetailRowsTest : public testing::TestWithParam<CompareRow>
{
};

TEST_P(CompareDetailRowsTest, OrdersBothWays)
{
    const CompareRow& row = GetParam();
    FileResult a = File("/src", "a.c", ".c"), b = File("/src", "a.c", ".c");
    row.set(a, b);
    EXPECT_EQ(CompareDetailRows(&a, &b, row.nColumn), row.nAscending);
    EXPECT_EQ(CompareDetailRows(&a, &b, row.nColumn + SORT_DESCENDING), -row.nAscending);
    EXPECT_EQ(CompareDetailRows(&b, &a, row.nColumn), -row.nAscending);
}

const CompareRow COMPARE_ROWS[] = {
    {"NamesByCharacterCodeUpperFirst", 0,
     [](FileResult& a, FileResult& b)
     {
         a.m_strFile = "Zeta.c";
         b.m_strFile = "alpha.c";
     },
     -1},
    {"FolderColumn", 2, [](FileResult& a, FileResult&) { a.m_strFolder = "/lib"; }, -1},
    {"EqualCountsAreEqual", 4,
     [](FileResult& a, FileResult& b) { a.m_nCodeLines = b.m_nCodeLines = 7; }, 0},
    {"FewerCodeLinesFirst", 4,
     [](FileResult& a, FileResult& b)
     {
         a.m_nCodeLines = 7;
         b.m_nCodeLines = 70;
     },
     -1},
    // 5 GiB would wrap to 1 GiB as a 32-bit number and sort before 2 GiB.
    {"SizeOver4GiBByItsRealSize", 8,
     [](FileResult& a, FileResult& b)
     {
         a.m_nSize = FIVE_GIB;
         b.m_nSize = 2LL << 30;
     },
     1},
    {"EqualEstimatesAreEqual", 10,
     [](FileResult& a, FileResult& b) { a.m_fCost = b.m_fCost = 1.5f; }, 0},
    {"SmallerEstimateFirst", 14,
     [](FileResult& a, FileResult& b)
     {
         a.m_fITDefects = 0.25f;
         b.m_fITDefects = 0.5f;
     },
     -1},
    {"NotANumberBeforeEveryEstimate", 9,
     [](FileResult& a, FileResult& b)
     {
         a.m_fManHour = std::numeric_limits<float>::quiet_NaN();
         b.m_fManHour = -1.0f;
     },
     -1},
    {"SameDateIsEqual", 15,
     [](FileResult& a, FileResult& b)
     { a.m_dtModified = b.m_dtModified = wxDateTime(3, wxDateTime::Mar, 2023); },
     0},
    {"LaterDateAfter", 15,
     [](FileResult& a, FileResult& b)
     {
         a.m_dtModified = wxDateTime(3, wxDateTime::Mar, 2023, 10, 0, 1);
         b.m_dtModified = wxDateTime(3, wxDateTime::Mar, 2023, 10, 0, 0);
     },
     1},
    {"UnreadableDateFirst", 15,
     [](FileResult&, FileResult& b) { b.m_dtModified = wxDateTime(1, wxDateTime::Jan, 1970); }, -1},
    {"ColumnOutsideTheListLeavesRowsEqual", 16,
     [](FileResult& a, FileResult&) { a.m_strFile = "z"; }, 0},
};

INSTANTIATE_TEST_SUITE_P(Rows, CompareDetailRowsTest, testing::ValuesIn(COMPARE_ROWS),
                         [](const testing::TestParamInfo<CompareRow>& info)
                         { return std::string(info.param.name); });

TEST(ResultRowsTest, RowsWithoutRecordGoFirstAndSummarySizesAreWide)
{
    FileResult file = File("/src", "a.c", ".c");
    DirectoryResult directory;
    ExtensionResult extension;
    for (int nWord : {0, 8, 15, 99})
    {
        EXPECT_EQ(CompareDetailRows(nullptr, &file, nWord), -1) << nWord;
        EXPECT_EQ(CompareDetailRows(&file, nullptr, nWord), 1) << nWord;
        EXPECT_EQ(CompareDetailRows(nullptr, nullptr, nWord), 0) << nWord;
        EXPECT_EQ(CompareDetailRows(nullptr, &file, nWord + SORT_DESCENDING), 1) << nWord;
        EXPECT_EQ(CompareSummaryRows(nullptr, &directory, nWord), -1) << nWord;
        EXPECT_EQ(CompareSummaryRows(&extension, nullptr, nWord + SORT_DESCENDING), -1) << nWord;
    }
    // The summary lists' sizes compare as 64-bit values too.
    DirectoryResult big = directory;
    big.m_nSize = FIVE_GIB;
    directory.m_nSize = 2LL << 30;
    EXPECT_EQ(CompareSummaryRows(&big, &directory, 2), 1);
}

} // namespace
