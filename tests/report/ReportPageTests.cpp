#include "TempDir.h"

#include "compare/ChangeSelection.h"
#include "config/DataFiles.h"
#include "engine/CountingManager.h"
#include "engine/NativePath.h"
#include "report/AnalysisParam.h"
#include "report/ReportPage.h"

#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <unistd.h>
#include <wx/filefn.h>

namespace
{
std::string U(const wxString& str)
{
    return std::string(str.utf8_str());
}

// One count's figures, as the window hands them to the report.
class ReportPageTest : public testing::Test
{
protected:
    ReportPageTest() { m_manager.SetSaveRulesOnDestroy(false); }

    // A file of 5000 lines, 4000 of them effective code lines, at the default
    // parameters: the estimates every view shows for that size.
    void CountOneFileOf4000CodeLines()
    {
        FileResult file;
        file.m_nSize = 123456;
        file.m_nCodeLines = 3000;
        file.m_nCodeCommentLines = 1000;
        file.m_nCommentLines = 500;
        file.m_nBlankLines = 500;
        file.m_nLines = 5000;
        m_manager.CalcFileAnalysis(m_param, file);
        m_manager.m_totalResult.Add(file);
    }

    void AddExtension(const wxString& strName, std::int64_t nFiles, std::int64_t nLines)
    {
        auto pExt = std::make_unique<ExtensionResult>();
        pExt->m_strName = strName;
        pExt->m_nFiles = nFiles;
        pExt->m_nSize = nLines * 10;
        pExt->m_nLines = nLines;
        pExt->m_nCodeLines = nLines / 2;
        pExt->m_nCommentLines = nLines - nLines / 2;
        m_manager.m_arrExtensionResults.push_back(std::move(pExt));
    }

    std::string Fill(const char* szTemplate)
    {
        const ReportFigures figures{m_manager.m_totalResult,
                                    m_manager.m_arrExtensionResults,
                                    m_arrDirs,
                                    m_arrExts,
                                    m_param,
                                    m_strLatest,
                                    wxDateTime(14, wxDateTime::Mar, 2024, 9, 30, 5),
                                    m_bPartial};
        return U(FillReport(wxString::FromUTF8(szTemplate), figures));
    }

    CountingManager m_manager;
    AnalysisParam m_param;
    wxArrayString m_arrDirs;
    wxArrayString m_arrExts;
    wxString m_strLatest = "3.6.0.1";
    bool m_bPartial = false;
};

TEST_F(ReportPageTest, EveryPlaceholderIsFilledInOrderWithItsModeAndFormat)
{
    CountOneFileOf4000CodeLines();
    m_arrDirs.Add("/src/app");
    m_arrDirs.Add("/src/lib");
    m_arrExts.Add(".c");
    m_arrExts.Add(".h");
    AddExtension(".c", 1, 5000);

    // "all" placeholders twice to see both filled; "first" ones twice to see
    // the second left as written. The chart placeholder is the unit test's
    // first, the integration test's second.
    const std::string strPage = Fill(R"(<h1>$report_title$</h1><title>$report_title$</title>
time=$gen_time$
$your_version$ / $latest_version$
dirs=$str_counting_dirs$ exts=$str_counting_exts$
files=$n_files$ again=$n_files$ size=$n_size$ lines=$n_lines$
code=$n_code_lines$ $n_code_parcentage$ width=$n_code_parcentage$
cc=$n_code_comm_lines$ $n_code_comm_parcentage$ comm=$n_comm_lines$ $n_comm_parcentage$
blank=$n_blank_lines$ $n_blank_parcentage$
rows=$str_lines_by_type$
ut=$n_ut_case$/$n_ut_defect$ $n_ut_case_parcentage$ chart=$n_ut_defect_parcentage_chart$ rate=$n_ut_defect_parcentage$
it=$n_it_case$/$n_it_defect$ $n_it_case_parcentage$ chart=$n_ut_defect_parcentage_chart$ rate=$n_it_defect_parcentage$
cost=$n_total_cost$ $n_cost_lld$ $n_cost_lld_parcentage$ $n_cost_coding$ $n_cost_coding_parcentage$ $n_cost_ut$ $n_cost_ut_parcentage$ $n_cost_it$ $n_cost_it_parcentage$ $n_cost_it_parcentage$
mm=$n_total_mm$ $n_mm_lld$ $n_mm_lld_parcentage$ $n_mm_coding$ $n_mm_coding_parcentage$ $n_mm_ut$ $n_mm_ut_parcentage$ $n_mm_it$ $n_mm_it_parcentage$
unknown=$no_such_placeholder$)");

    EXPECT_EQ(strPage,
              R"(<h1>Linecast Analysis Report</h1><title>Linecast Analysis Report</title>
time=2024-03-14 09:30:05
Your Version - 3.5.33.73 / Latest Version - 3.6.0.1
dirs=/src/app<br>/src/lib<br> exts=.c;.h;
files=1 again=$n_files$ size=123456 lines=5000
code=3000 60.00% width=60.00%
cc=1000 20.00% comm=500 10.00%
blank=500 10.00%
rows=<tr><td>.c</td><td align="right">1</td><td align="right">50000</td><td align="right">5000</td><td align="right">2500</td><td align="right">0</td><td align="right">2500</td><td align="right">0</td></tr>
ut=200/40 71.43% chart=14.29% rate=20.00%
it=80/ 8 28.57% chart=2.86% rate=10.00%
cost=34000.00 10000.00 29.41% 10000.00 29.41% 10000.00 29.41% 4000.00 11.77% 11.77%
mm=3.40 1.00 29.41% 1.00 29.41% 1.00 29.41% 0.40 11.77%
unknown=$no_such_placeholder$)");
}

// The report states the parameters its estimates rest on, and whether the
// count behind it was stopped.
TEST_F(ReportPageTest, ParametersAndAStoppedCountAreStated)
{
    const char* const szPage =
        "$param_mm_lines$ $param_mm_days$ $param_mm_cost$ | $param_ut_case_density$ "
        "$param_ut_defect_density$ $param_it_case_density$ $param_it_defect_density$ | "
        "$param_lld_percent$ $param_ut_percent$ $param_it_percent$ $param_it_percent$ "
        "[$str_partial_notice$]";
    EXPECT_EQ(Fill(szPage), "4000 20 10000 | 50 10 20 2 | 100 100 40 40 []");

    m_param.m_nManMonthLines = 2500;
    m_param.m_nITPercent = 55;
    m_bPartial = true;
    EXPECT_EQ(Fill(szPage), "2500 20 10000 | 50 10 20 2 | 100 100 55 55 [Partial results: the "
                            "count was stopped before it reached every file.]");
}

TEST_F(ReportPageTest, SharesOfNothingReadZeroPercent)
{
    const char* const szShares =
        "$n_code_parcentage$ $n_code_comm_parcentage$ $n_comm_parcentage$ $n_blank_parcentage$ | "
        "$n_ut_case_parcentage$ $n_ut_defect_parcentage_chart$ $n_ut_defect_parcentage$ "
        "$n_it_case_parcentage$ $n_ut_defect_parcentage_chart$ $n_it_defect_parcentage$ | "
        "$n_cost_lld_parcentage$ $n_cost_it_parcentage$ $n_mm_coding_parcentage$ "
        "$n_mm_it_parcentage$";

    // Files without any line: no share has a base.
    m_manager.m_totalResult.m_nFiles = 2;
    EXPECT_EQ(Fill(szShares), "0% 0% 0% 0% | 0% 0% 0% 0% 0% 0% | 0% 0% 0% 0%");

    // Comment lines only: the lines have shares, but no code means no test
    // case and no cost to share out.
    m_manager.m_totalResult.m_nLines = 8;
    m_manager.m_totalResult.m_nCommentLines = 6;
    m_manager.m_totalResult.m_nBlankLines = 2;
    EXPECT_EQ(Fill(szShares),
              "0.00% 0.00% 75.00% 25.00% | 0% 0% 0% 0% 0% 0% | 0.00% 0.00% 0.00% 0.00%");
}

TEST_F(ReportPageTest, RowsByTypeShadeEverySecondRow)
{
    AddExtension(".c", 3, 30);
    AddExtension(".h", 2, 20);
    AddExtension(".txt", 1, 7);
    const std::string strRows = U(LinesByTypeRows(m_manager.m_arrExtensionResults));

    const std::regex rowStart("<tr[^>]*>");
    const std::vector<std::string> arrStarts(
        std::sregex_token_iterator(strRows.begin(), strRows.end(), rowStart),
        std::sregex_token_iterator());
    EXPECT_EQ(arrStarts, (std::vector<std::string>{"<tr>", "<tr bgcolor=\"#eef4e2\">", "<tr>"}));
    EXPECT_NE(strRows.find("</tr><tr bgcolor=\"#eef4e2\"><td>.h</td><td align=\"right\">2</td>"),
              std::string::npos);

    m_manager.m_arrExtensionResults.clear();
    EXPECT_EQ(Fill("[$str_lines_by_type$]"), "[]");
}

TEST_F(ReportPageTest, NamesFromDiskAndTheNetworkCannotInjectMarkupOrPlaceholders)
{
    CountOneFileOf4000CodeLines();
    m_arrDirs.Add("/w/<img src=x onerror=alert(1)>");
    m_arrDirs.Add("/w/a&b \"q\"");
    m_arrDirs.Add("/w/$n_lines$");
    m_arrExts.Add(".<b>");
    AddExtension(".<i>", 1, 10);
    m_strLatest = "<script>x()</script>";
    // Names that are not UTF-8 show a replacement, never a private character.
    m_arrDirs.Add(NativePath::FromBytes("/w/lat\xE9<"));
    m_arrExts.Add(NativePath::FromBytes(".\xFF"));
    AddExtension(NativePath::FromBytes(".\xFE&"), 1, 10);

    const std::string strPage = Fill("<p>$latest_version$</p><p>$str_counting_dirs$</p>"
                                     "<p>$str_counting_exts$</p><table>$str_lines_by_type$</table>"
                                     "<p>lines=$n_lines$</p>");
    EXPECT_NE(strPage.find("/w/lat\xEF\xBF\xBD&lt;<br>"), std::string::npos);
    EXPECT_NE(strPage.find("<td>.\xEF\xBF\xBD&amp;</td>"), std::string::npos);
    EXPECT_EQ(strPage.find("\xF4"), std::string::npos) << "a private character is in the page";

    EXPECT_EQ(strPage.find("<script"), std::string::npos);
    EXPECT_EQ(strPage.find("<img"), std::string::npos);
    EXPECT_EQ(strPage.find("<b>"), std::string::npos);
    EXPECT_EQ(strPage.find("<i>"), std::string::npos);
    EXPECT_NE(strPage.find("Latest Version - &lt;script&gt;x()&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(strPage.find("/w/&lt;img src=x onerror=alert(1)&gt;<br>"
                           "/w/a&amp;b &quot;q&quot;<br>/w/&#36;n_lines&#36;<br>"),
              std::string::npos);
    EXPECT_NE(strPage.find("<p>.&lt;b&gt;;.\xEF\xBF\xBD;</p>"), std::string::npos);
    EXPECT_NE(strPage.find("<td>.&lt;i&gt;</td>"), std::string::npos);
    // The folder named like a placeholder did not take the total's place.
    EXPECT_NE(strPage.find("<p>lines=5000</p>"), std::string::npos);
}

TEST(StartPage, ShowsBothVersionsOnceEach)
{
    EXPECT_EQ(U(FillStartPage("<p>$your_version$</p><p>$latest_version$ $latest_version$</p>",
                              "unknown")),
              "<p>Your Version - 3.5.33.73</p><p>Latest Version - unknown $latest_version$</p>");
}

TEST(PageTemplate, FallsBackWhenTheTemplateCannotBeRead)
{
    TempDir dir;
    const std::string strGood = dir.Write("good.html", "<p>caf\xC3\xA9 $n_files$</p>");
    const std::string strLatin1 = dir.Write("latin1.html", "<p>caf\xE9</p>");
    const std::string strFolder = dir.MakeDir("folder.html");
    const std::string strDangling = dir / "dangling.html";
    ASSERT_EQ(symlink((dir / "gone.html").c_str(), strDangling.c_str()), 0);

    EXPECT_EQ(U(ReadPageTemplate(wxString::FromUTF8(strGood))), "<p>caf\xC3\xA9 $n_files$</p>");
    for (const std::string& strPath : {dir / "missing.html", strLatin1, strFolder, strDangling})
        EXPECT_EQ(U(ReadPageTemplate(wxString::FromUTF8(strPath))), ReportPage::FALLBACK_PAGE)
            << strPath;

    // A page built on the fallback is the fallback: it has no placeholders.
    ReportPage page;
    page.LoadPageTemplate("/conf/no-such-template.html");
    EXPECT_EQ(U(page.GetPageText()), ReportPage::FALLBACK_PAGE);
    EXPECT_NE(U(page.GetPageText()).find("<h2>Welcome to use Linecast!</h2>"), std::string::npos);
}

TEST_F(ReportPageTest, ShippedTemplatesUseEveryPlaceholderAndLeaveNoneBehind)
{
    // The English templates and their translations alike.
    for (const std::string strFolder : {"/conf/", "/conf/ja/", "/conf/zh_CN/"})
    {
        SCOPED_TRACE(strFolder);
        const std::string strSource = LINECAST_SOURCE_DIR + strFolder;
        const std::string strReport = ReadFileBytes(strSource + "report_tpl.html");
        const std::string strStart = ReadFileBytes(strSource + "quorvel_index.html");
        ASSERT_FALSE(strReport.empty());
        ASSERT_FALSE(strStart.empty());
        // All 102 names the report knows (none is unknown: none is left below),
        // 46 of them in the Changes section.
        const std::regex placeholder(R"(\$[a-z_]+\$)");
        std::set<std::string> names(
            std::sregex_token_iterator(strReport.begin(), strReport.end(), placeholder),
            std::sregex_token_iterator());
        EXPECT_EQ(names.size(), 102u);

        m_manager.ClearResults();
        CountOneFileOf4000CodeLines();
        AddExtension(".c", 1, 5000);
        const std::string strCounted = Fill(strReport.c_str());
        const std::string strFilled =
            U(FillChanges(wxString::FromUTF8(strCounted.c_str()), nullptr, m_param));
        EXPECT_FALSE(std::regex_search(strFilled, placeholder));
        const ChangeSelection selection;
        const ChangeFigures changes{selection, "git:v1.0", "/src"};
        EXPECT_FALSE(std::regex_search(
            U(FillChanges(wxString::FromUTF8(strCounted.c_str()), &changes, m_param)),
            placeholder));
        // The unit test's defect bar (14.29% of all cases) comes before the
        // integration test's (2.86%).
        const size_t nUnit = strFilled.find("width=\"14.29%\"");
        const size_t nIntegration = strFilled.find("width=\"2.86%\"");
        ASSERT_NE(nUnit, std::string::npos);
        ASSERT_NE(nIntegration, std::string::npos);
        EXPECT_LT(nUnit, nIntegration);

        const std::string strStartFilled =
            U(FillStartPage(wxString::FromUTF8(strStart.c_str()), "unknown"));
        EXPECT_FALSE(std::regex_search(strStartFilled, placeholder));
        EXPECT_NE(strStartFilled.find("Latest Version - unknown"), std::string::npos);
    }
}

// The Changes section shows a comparison's figures, or is left out whole.
TEST_F(ReportPageTest, TheChangesSectionShowsTheChangeOrIsCutOut)
{
    const char* const szPage =
        "<p>count</p><!--$changes_begin$--><p>$str_change_old$ to $str_change_new$: "
        "$n_change_files_modified$ modified, +$n_change_lines_added$ -$n_change_lines_removed$, "
        "code $n_change_code_same$/$n_change_code_modified$/$n_change_code_added$/"
        "$n_change_code_removed$, all added $n_change_all_added$, changed $n_change_code$, "
        "$n_change_total_cost$ cost, $n_change_mm_coding$ mm</p>"
        "<table>$str_changes_by_type$</table><!--$changes_end$--><p>end</p>";
    EXPECT_EQ(U(FillChanges(szPage, nullptr, m_param)), "<p>count</p><p>end</p>");

    // One file: 1 code line same, 2 modified, 4 added, 3 removed; 3 of the
    // added a comment's. 6,000 changed code lines cost 51,000 in all.
    ChangeSelection selection;
    auto pExt = std::make_unique<ChangeGroup>();
    pExt->m_strName = ".c<";
    pExt->m_nFiles = 1;
    pExt->m_arrFiles[ChangeResult::STATUS_MODIFIED] = 1;
    pExt->m_arrKinds[ChangeResult::KIND_CODE] = LineChanges{1, 2, 4, 3};
    pExt->m_arrKinds[ChangeResult::KIND_COMMENT] = LineChanges{0, 0, 3, 0};
    pExt->m_arrKinds[ChangeResult::KIND_LINES] = LineChanges{1, 2, 7, 3};
    pExt->m_changed.m_nCodeLines = 6000;
    CountingManager::CalcFileAnalysis(m_param, pExt->m_changed);
    selection.m_total.Add(*pExt);
    selection.m_arrExtensions.push_back(std::move(pExt));
    const ChangeFigures changes{selection, "git:v1.0", "/src/a&b"};
    EXPECT_EQ(U(FillChanges(szPage, &changes, m_param)),
              "<p>count</p><p>git:v1.0 to /src/a&amp;b: 1 modified, +9 -5, code 1/2/4/3, all "
              "added 7, changed 6000, 51000.00 cost, 1.50 mm</p><table><tr><td>.c&lt;</td><td "
              "align=\"right\">1</td><td align=\"right\">1</td><td align=\"right\">0</td><td "
              "align=\"right\">0</td><td align=\"right\">9</td><td align=\"right\">5</td><td "
              "align=\"right\">6000</td></tr></table><p>end</p>");
}

// A data folder holding the English templates, a Japanese report without its
// start page, and a Chinese pair.
TEST(ReportTemplatePath, TakesTheLanguagesVariantWhereOneIsShipped)
{
    TempDir dir;
    for (const char* szFile :
         {"conf/conf.xml", "conf/report_tpl.html", "conf/quorvel_index.html",
          "conf/ja/report_tpl.html", "conf/zh_CN/report_tpl.html", "conf/zh_CN/quorvel_index.html"})
        dir.Write(szFile, "x");
    const std::string strData = dir.Path();
    SetDataDir(wxString::FromUTF8(strData));
    const struct
    {
        const char* szLanguage;
        const char* szTemplate;
        const char* szExpected; // below the data folder
    } rows[] = {
        {"ja", ReportPage::REPORT_TEMPLATE, "/conf/ja/report_tpl.html"},
        {"ja_JP", ReportPage::REPORT_TEMPLATE, "/conf/ja/report_tpl.html"},
        {"zh_CN", ReportPage::REPORT_TEMPLATE, "/conf/zh_CN/report_tpl.html"},
        {"zh_CN", ReportPage::START_TEMPLATE, "/conf/zh_CN/quorvel_index.html"},
        // No variant for the language, or none of this template.
        {"ja", ReportPage::START_TEMPLATE, "/conf/quorvel_index.html"},
        {"zh_TW", ReportPage::REPORT_TEMPLATE, "/conf/report_tpl.html"},
        {"fr", ReportPage::REPORT_TEMPLATE, "/conf/report_tpl.html"},
        {"", ReportPage::REPORT_TEMPLATE, "/conf/report_tpl.html"},
        // A name that would leave the folder is no language.
        {"../conf/ja", ReportPage::REPORT_TEMPLATE, "/conf/report_tpl.html"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(U(ReportTemplatePath(row.szTemplate, row.szLanguage)), strData + row.szExpected)
            << row.szLanguage << " " << row.szTemplate;

    // The page takes the variant the language picks.
    dir.Write("conf/ja/report_tpl.html", "<p>$report_title$ \xE6\x97\xA5</p>");
    ReportPage page;
    page.SetLanguage("ja");
    page.LoadPageTemplate(ReportPage::REPORT_TEMPLATE);
    EXPECT_EQ(U(page.GetPageText()), "<p>$report_title$ \xE6\x97\xA5</p>");
    SetDataDir(wxString());
}

TEST(WholePercentWidths, RoundsOnlyFractionalWidths)
{
    const struct
    {
        const char* szPage;
        const char* szExpected;
    } rows[] = {
        {R"(<td width="29.41%">)", R"(<td width="29%">)"},
        {R"(<td width="0.50%"><td WIDTH="99.5%">)", R"(<td width="1%"><td WIDTH="100%">)"},
        {R"(<td width=2.86%>)", R"(<td width=3%>)"},
        {R"(<td width="30%"><td width="120">)", R"(<td width="30%"><td width="120">)"},
        {R"(<td>share 29.41%</td>)", R"(<td>share 29.41%</td>)"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(U(WholePercentWidths(row.szPage)), row.szExpected) << row.szPage;
}
} // namespace
