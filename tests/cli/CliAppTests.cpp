#include "TempDir.h"

#include "cli/CliApp.h"
#include "cli/CliProgress.h"
#include "cli/CliReport.h"
#include "config/DataFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/base64.h>
#include <wx/filefn.h>
#include <wx/utils.h>

namespace
{
const char* const g_szRules = R"(<?xml version="1.0" encoding="UTF-8"?>
<rules>
  <rule>
    <type>C</type>
    <desc>C style</desc>
    <single-line-comment>//</single-line-comment>
    <multi-line-comment-begin>/*</multi-line-comment-begin>
    <multi-line-comment-end>*/</multi-line-comment-end>
    <extension>
      <name>.c</name>
      <desc>C source</desc>
      <ruletype>C</ruletype>
    </extension>
    <extension>
      <name>.h</name>
      <desc>C header</desc>
      <ruletype>C</ruletype>
    </extension>
  </rule>
  <rule>
    <type>Text</type>
    <desc>Plain text</desc>
    <single-line-comment></single-line-comment>
    <multi-line-comment-begin></multi-line-comment-begin>
    <multi-line-comment-end></multi-line-comment-end>
    <extension>
      <name>.txt</name>
      <desc>Text file</desc>
      <ruletype>Text</ruletype>
    </extension>
  </rule>
</rules>
)";

// The lines of a text whose fields are separated by runs of blanks.
std::vector<std::string> Cells(const std::string& strLine)
{
    std::istringstream in(strLine);
    std::vector<std::string> arr;
    for (std::string str; in >> str;)
        arr.push_back(str);
    return arr;
}

std::vector<std::string> LineStartingWith(const std::string& strText, const std::string& strStart)
{
    std::istringstream in(strText);
    for (std::string str; std::getline(in, str);)
    {
        if (str.rfind(strStart, 0) == 0)
            return Cells(str);
    }
    return {};
}

class CliAppTest : public testing::Test
{
protected:
    CliAppTest()
    {
        // Neither a shipped rules file nor a user's copy unless a test makes
        // them: the data folder and the configuration folder are the test's.
        SetDataDir(wxString::FromUTF8(m_dir / "data"));
        m_bHadConfigHome = wxGetEnv("XDG_CONFIG_HOME", &m_strOldConfigHome);
        wxSetEnv("XDG_CONFIG_HOME", wxString::FromUTF8(m_dir / "config"));
        m_strRules = m_dir.Write("rules/conf.xml", g_szRules);
        m_strRoot = m_dir.MakeDir("tree");
        // Four lines of each kind, one each.
        m_dir.Write("tree/a.c", "int a;\n// note\n\nint b; // why\n");
        m_dir.Write("tree/sub/b.h", "int x;\n\n");
        m_dir.Write("tree/sub/readme.txt", "one\ntwo\n");
        m_dir.Write("tree/Makefile", "all:\n");
    }

    int Run(std::initializer_list<std::string> args, bool bWithRules = true)
    {
        std::vector<wxString> arrArgs;
        if (bWithRules)
        {
            arrArgs.push_back("--rules");
            arrArgs.push_back(wxString::FromUTF8(m_strRules));
        }
        for (const std::string& str : args)
            arrArgs.push_back(wxString::FromUTF8(str));
        m_out.str("");
        m_err.str("");
        CliApp app(m_out, m_err);
        return app.Run(arrArgs);
    }

    ~CliAppTest() override
    {
        SetDataDir(wxString());
        if (m_bHadConfigHome)
            wxSetEnv("XDG_CONFIG_HOME", m_strOldConfigHome);
        else
            wxUnsetEnv("XDG_CONFIG_HOME");
    }

    TempDir m_dir;
    wxString m_strOldConfigHome;
    bool m_bHadConfigHome = false;
    std::string m_strRules;
    std::string m_strRoot;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(CliAppTest, CountsTheTreeAndPrintsTotalsAndEstimates)
{
    ASSERT_EQ(Run({"--types", ".c;.h", m_strRoot}), 0) << m_err.str();
    const std::string strOut = m_out.str();
    EXPECT_EQ(m_err.str(), "");
    // Type, files, lines, code, code-and-comment, comment, blank, size.
    EXPECT_EQ(LineStartingWith(strOut, "Type"),
              (std::vector<std::string>{"Type", "Files", "Lines", "Code", "Code//Comment",
                                        "Comment", "Blank", "Size"}));
    EXPECT_EQ(LineStartingWith(strOut, ".c"),
              (std::vector<std::string>{".c", "1", "4", "1", "1", "1", "1", "30"}));
    EXPECT_EQ(LineStartingWith(strOut, ".h"),
              (std::vector<std::string>{".h", "1", "2", "1", "0", "0", "1", "8"}));
    EXPECT_EQ(LineStartingWith(strOut, "Total"),
              (std::vector<std::string>{"Total", "2", "6", "2", "1", "1", "2", "38"}));
    EXPECT_TRUE(LineStartingWith(strOut, ".txt").empty()) << "not a chosen type";

    // Three effective code lines at the defaults: 7.5 dollars of coding.
    EXPECT_EQ(LineStartingWith(strOut, "Coding"),
              (std::vector<std::string>{"Coding", "7.50", "0.00"}));
    EXPECT_NE(strOut.find("Low-level design"), std::string::npos);
    EXPECT_NE(strOut.find("Unit test"), std::string::npos);
    EXPECT_NE(strOut.find("Integration test"), std::string::npos);
    EXPECT_EQ(LineStartingWith(strOut, "Total").size(), 8u);
}

TEST_F(CliAppTest, ParametersChangeTheEstimates)
{
    ASSERT_EQ(Run({"--types", ".c", "--param", "ManMonthCost=40000", m_strRoot}), 0) << m_err.str();
    // Two effective lines at 40000 / 4000 per line.
    EXPECT_EQ(LineStartingWith(m_out.str(), "Coding"),
              (std::vector<std::string>{"Coding", "20.00", "0.00"}));
}

TEST_F(CliAppTest, NoRecursiveCountsOnlyTheGivenFolder)
{
    ASSERT_EQ(Run({"--no-recursive", m_strRoot}), 0) << m_err.str();
    EXPECT_EQ(LineStartingWith(m_out.str(), "Total"),
              (std::vector<std::string>{"Total", "1", "4", "1", "1", "1", "1", "30"}));
}

TEST_F(CliAppTest, WithoutTypesEveryKnownTypeIsCounted)
{
    ASSERT_EQ(Run({m_strRoot}), 0) << m_err.str();
    EXPECT_EQ(LineStartingWith(m_out.str(), "Total")[1], "3");
    EXPECT_EQ(LineStartingWith(m_out.str(), ".txt")[1], "1");
}

TEST_F(CliAppTest, WritesTheCsvWithOneLinePerFile)
{
    const std::string strCsv = m_dir / "out.csv";
    ASSERT_EQ(Run({"--types", ".c;.h", "--csv", strCsv, m_strRoot}), 0) << m_err.str();
    const std::string strText = ReadFileBytes(strCsv);
    const std::string strFiles = strText.substr(strText.find("# --- Result by file ---"));
    std::vector<std::string> arrLines;
    std::istringstream in(strFiles);
    for (std::string str; std::getline(in, str);)
        arrLines.push_back(str);
    ASSERT_EQ(arrLines.size(), 5u);
    std::sort(arrLines.begin() + 3, arrLines.end());
    const std::regex date(",\\d{4}-\\d\\d-\\d\\d\r");
    EXPECT_TRUE(std::regex_search(arrLines[3], date)) << arrLines[3];
    EXPECT_EQ(std::regex_replace(arrLines[3], date, ""),
              m_strRoot + ",a.c,.c,4,1,1,1,1,30,0.08,5.00,0.10,0.02,0.04,0.00");
    EXPECT_EQ(std::regex_replace(arrLines[4], date, ""),
              m_strRoot + "/sub,b.h,.h,2,1,0,0,1,8,0.04,2.50,0.05,0.01,0.02,0.00");
    EXPECT_NE(strText.find("\r\nLines,6,100%\r\n"), std::string::npos);
}

// The comparison's table, its JSON with the keys scripts read, and its CSV.
TEST_F(CliAppTest, ComparesTwoVersionsAsTableJsonAndCsv)
{
    m_dir.Write("next/a.c", "int a;\n// a note\n\nint b; // why\nint c;\n");
    m_dir.Write("next/sub/c.h", "int y;\n");
    const std::string strNext = m_dir / "next";
    ASSERT_EQ(Run({"--types", ".c;.h", "--compare", m_strRoot, strNext}), 0) << m_err.str();
    // Type, files, changed files, same, modified, added, removed, changed code.
    EXPECT_EQ(LineStartingWith(m_out.str(), "Total"),
              (std::vector<std::string>{"Total", "3", "3", "3", "1", "2", "2", "2"}));
    EXPECT_EQ(LineStartingWith(m_out.str(), "Comment"),
              (std::vector<std::string>{"Comment", "0", "1", "0", "0"}));

    ASSERT_EQ(Run({"--types", ".c;.h", "--compare", m_strRoot, strNext, "--json", "-", "sub"}), 0)
        << m_err.str();
    const nlohmann::json json = nlohmann::json::parse(m_out.str());
    ASSERT_EQ(json["files"].size(), 2u);
    const nlohmann::json& removed = json["files"][0];
    EXPECT_EQ(removed["path"], "sub/b.h");
    EXPECT_EQ(removed["status"], "removed");
    EXPECT_EQ(removed["lines_removed"], 2);
    EXPECT_EQ(removed["code"]["removed"], 1);
    EXPECT_EQ(removed["blank"]["removed"], 1);
    EXPECT_EQ(json["files"][1]["status"], "added");
    const nlohmann::json& total = json["total"];
    for (const char* szKey : {"lines_added", "lines_removed", "lines", "code", "code_and_comment",
                              "comment", "blank", "files_added", "man_hours", "cost"})
        EXPECT_TRUE(total.contains(szKey)) << szKey;
    EXPECT_EQ(total["lines_added"], 1);
    EXPECT_EQ(total["lines_removed"], 2);

    ASSERT_EQ(Run({"--types", ".c", "--compare", m_strRoot, strNext, "--csv", "-"}), 0);
    EXPECT_NE(m_out.str().find("\r\n.,a.c,.c,modified,2,1,"), std::string::npos) << m_out.str();

    // Bad versions are bad input, told before anything is compared.
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"--compare", m_strRoot, "git:"},
                                               {"--compare", m_strRoot, m_dir / "none"},
                                               {"--compare", m_strRoot, strNext, "/abs"},
                                               {"--compare", "git:HEAD", m_strRoot}})
    {
        std::vector<wxString> arrArgs{"--rules", wxString::FromUTF8(m_strRules)};
        for (const std::string& str : args)
            arrArgs.push_back(wxString::FromUTF8(str));
        m_err.str("");
        EXPECT_EQ(CliApp(m_out, m_err).Run(arrArgs), CliApp::EXIT_BAD_INPUT) << args[1];
        const std::string strErr = m_err.str();
        EXPECT_EQ(std::count(strErr.begin(), strErr.end(), '\n'), 1) << strErr;
    }
}

TEST_F(CliAppTest, BadInputFailsWithOneLineAndStatusTwoBeforeCounting)
{
    const std::string strBroken = m_dir.Write("broken.xml", "<rules><rule><type>C</rule>");
    const std::string strFile = m_dir / "tree/a.c";
    const std::string strCsv = m_dir / "never.csv";
    const std::string strFifo = m_dir / "fifo.xml";
    ASSERT_EQ(::mkfifo(strFifo.c_str(), 0600), 0);
    const struct
    {
        const char* szName;
        std::vector<std::string> arrArgs;
        bool bWithRules;
        std::string strMessage;
    } rows[] = {
        {"unknown option", {"--fast", m_strRoot}, true, "unknown option '--fast'"},
        {"missing folder", {m_dir / "gone"}, true, "no such folder: '" + (m_dir / "gone") + "'"},
        {"file given as folder", {strFile}, true, "not a folder: '" + strFile + "'"},
        {"missing rules file",
         {"--rules", m_dir / "none.xml", m_strRoot},
         false,
         "no rules file '" + (m_dir / "none.xml") + "'"},
        {"malformed rules file",
         {"--rules", strBroken, m_strRoot},
         false,
         "the rules file '" + strBroken +
             "' is not a valid rules file: it is not well-formed XML (line 1: mismatched tag)"},
        {"rules file is a folder",
         {"--rules", m_strRoot, m_strRoot},
         false,
         "the rules file '" + m_strRoot + "' is a folder"},
        {"rules file is a FIFO",
         {"--rules", strFifo, m_strRoot},
         false,
         "the rules file '" + strFifo + "' is not a regular file"},
        {"csv below a regular file",
         {"--csv", strFile + "/out.csv", m_strRoot},
         true,
         "cannot write the CSV file '" + strFile + "/out.csv': no folder '" + strFile + "'"},
        {"unknown type names the known ones",
         {"--types", ".c;.java", m_strRoot},
         true,
         "unknown file type '.java'; the rules file knows .c .h .txt"},
        {"unknown parameter", {"--param", "Hours=2", m_strRoot}, true, "unknown parameter 'Hours'"},
        {"parameter beyond its limits",
         {"--param", "LLD=501", m_strRoot},
         true,
         "parameter LLD must be from 10 to 500 %, not 501"},
    };
    for (const auto& row : rows)
    {
        std::vector<wxString> arrArgs;
        if (row.bWithRules)
        {
            arrArgs.push_back("--rules");
            arrArgs.push_back(wxString::FromUTF8(m_strRules));
        }
        arrArgs.push_back("--csv");
        arrArgs.push_back(wxString::FromUTF8(strCsv));
        for (const std::string& str : row.arrArgs)
            arrArgs.push_back(wxString::FromUTF8(str));
        std::ostringstream out, err;
        CliApp app(out, err);
        EXPECT_EQ(app.Run(arrArgs), 2) << row.szName;
        const std::string strErr = err.str();
        EXPECT_EQ(strErr.rfind("linecast-cli: " + row.strMessage, 0), 0u)
            << row.szName << ": " << strErr;
        EXPECT_EQ(std::count(strErr.begin(), strErr.end(), '\n'), 1) << row.szName;
        EXPECT_EQ(strErr.back(), '\n') << row.szName;
        EXPECT_EQ(out.str(), "") << row.szName;
        EXPECT_FALSE(std::filesystem::exists(strCsv)) << row.szName << ": nothing counted";
    }
}

TEST_F(CliAppTest, CsvToStandardOutputReplacesTheTable)
{
    const wxString strOldCwd = wxGetCwd();
    ASSERT_TRUE(wxSetWorkingDirectory(wxString::FromUTF8(m_dir.MakeDir("work"))));
    const int nStatus = Run({"--types", ".c;.h", "--csv", "-", m_strRoot});
    wxSetWorkingDirectory(strOldCwd);
    ASSERT_EQ(nStatus, 0) << m_err.str();
    const std::string strOut = m_out.str();
    EXPECT_EQ(strOut.rfind("# ---", 0), 0u) << strOut;
    EXPECT_NE(strOut.find("\r\nLines,6,100%\r\n"), std::string::npos);
    EXPECT_EQ(strOut.find("Low-level design"), std::string::npos) << "no table in the CSV";
    EXPECT_TRUE(std::filesystem::is_empty(m_dir / "work")) << "no file named '-'";
}

// What never reached standard output (a full disk) is a failure, not a
// count reported as done.
TEST_F(CliAppTest, OutputThatCannotBeWrittenFailsWithStatusOne)
{
    const std::vector<std::vector<std::string>> arrCalls = {
        {"--version"}, {"--list-types"}, {m_strRoot}, {"--csv", "-", m_strRoot}};
    for (const std::vector<std::string>& args : arrCalls)
    {
        std::vector<wxString> arrArgs = {"--rules", wxString::FromUTF8(m_strRules)};
        for (const std::string& str : args)
            arrArgs.push_back(wxString::FromUTF8(str));
        std::ostream out(nullptr); // fails every write
        std::ostringstream err;
        CliApp app(out, err);
        EXPECT_EQ(app.Run(arrArgs), CliApp::EXIT_FAILED) << args.front();
        EXPECT_EQ(err.str(), "linecast-cli: cannot write to standard output\n") << args.front();
    }
}

TEST_F(CliAppTest, FilesThatCouldNotBeReadAreNamedOnOneLine)
{
    // A dangling link is a file that cannot be opened, even for root.
    for (const char* szName : {"x1.c", "x2.c", "x3.c", "x4.c"})
        ASSERT_EQ(::symlink("gone", (m_dir / "tree/sub/" + szName).c_str()), 0);
    ASSERT_EQ(Run({"--types", ".c", m_strRoot}), 0);
    const std::string strErr = m_err.str();
    EXPECT_TRUE(std::regex_match(strErr, std::regex("linecast-cli: 4 files could not be read and "
                                                    "counted as empty: '[^']+/x\\d\\.c', "
                                                    "'[^']+', '[^']+' and 1 more\n")))
        << strErr;
    EXPECT_EQ(LineStartingWith(m_out.str(), "Total")[1], "5") << "still counted, as empty";

    std::filesystem::remove(m_dir / "tree/sub/x1.c");
    std::filesystem::remove(m_dir / "tree/sub/x2.c");
    std::filesystem::remove(m_dir / "tree/sub/x3.c");
    ASSERT_EQ(Run({"--types", ".c", m_strRoot}), 0);
    EXPECT_EQ(m_err.str(), "linecast-cli: 1 file could not be read and counted as empty: '" +
                               m_strRoot + "/sub/x4.c'\n");

    ASSERT_EQ(Run({"--types", ".h", m_strRoot}), 0);
    EXPECT_EQ(m_err.str(), "") << "nothing to say when every file was read";
}

TEST_F(CliAppTest, FoldersAndFilesReachedTwiceAreCountedOnceAndNamed)
{
    ASSERT_EQ(::symlink("../a.c", (m_dir / "tree/sub/same.c").c_str()), 0);
    ASSERT_EQ(Run({"--types", ".c;.h", m_strRoot, m_strRoot + "/sub/..", m_strRoot + "/sub"}), 0);
    EXPECT_EQ(LineStartingWith(m_out.str(), "Total")[1], "2");
    EXPECT_EQ(m_err.str(), "linecast-cli: 2 folders skipped as already included: '" + m_strRoot +
                               "', '" + m_strRoot +
                               "/sub'\nlinecast-cli: 1 file skipped as "
                               "already counted under another name: '" +
                               m_strRoot + "/sub/same.c'\n");
}

TEST_F(CliAppTest, NeverWritesTheRulesFile)
{
    const auto tmBefore = std::filesystem::last_write_time(m_strRules);
    ASSERT_EQ(Run({m_strRoot}), 0) << m_err.str();
    EXPECT_EQ(ReadFileBytes(m_strRules), g_szRules);
    EXPECT_EQ(std::filesystem::last_write_time(m_strRules), tmBefore);
}

TEST_F(CliAppTest, TakesTheUsersCopyOverTheShippedRulesAndIgnoresTheWorkingFolder)
{
    const auto describe = [](const std::string& strDesc)
    {
        std::string str = g_szRules;
        return str.replace(str.find("C header"), 8, strDesc);
    };
    const wxString strOldCwd = wxGetCwd();
    ASSERT_TRUE(wxSetWorkingDirectory(wxString::FromUTF8(m_dir.MakeDir("work"))));
    m_dir.Write("work/conf/conf.xml", describe("Working folder"));
    const auto listedH = [&]
    {
        std::ostringstream out, err;
        CliApp app(out, err);
        EXPECT_EQ(app.Run({"--list-types"}), 0) << err.str();
        return LineStartingWith(out.str(), ".h");
    };

    m_dir.Write("data/conf/conf.xml", describe("Shipped file"));
    EXPECT_EQ(listedH(), (std::vector<std::string>{".h", "C", "Shipped", "file"}));
    m_dir.Write("config/linecast/conf.xml", describe("User copy"));
    EXPECT_EQ(listedH(), (std::vector<std::string>{".h", "C", "User", "copy"}));

    wxSetWorkingDirectory(strOldCwd);
}

TEST(CliReportTest, GroupsDigitsInThousands)
{
    const struct
    {
        double fValue;
        int nDecimals;
        const char* szExpected;
    } rows[] = {
        {0, 2, "0.00"},          {999.994, 2, "999.99"},        {1000, 2, "1,000.00"},
        {34000, 2, "34,000.00"}, {1234567.5, 1, "1,234,567.5"}, {-2500, 0, "-2,500"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CliReport::Grouped(row.fValue, row.nDecimals), row.szExpected);
    EXPECT_EQ(CliReport::Grouped(std::int64_t(0)), "0");
    EXPECT_EQ(CliReport::Grouped(std::int64_t(999)), "999");
    EXPECT_EQ(CliReport::Grouped(std::int64_t(1000)), "1,000");
    EXPECT_EQ(CliReport::Grouped(std::int64_t(30123456789)), "30,123,456,789");
}

TEST(CliProgressTest, LineFitsTheTerminalAndKeepsTheEndOfALongFolder)
{
    EXPECT_EQ(CliProgress::FormatLine(0, "", 80), "0 files, listing folders");
    EXPECT_EQ(CliProgress::FormatLine(1, "/src", 80), "1 file  /src");
    EXPECT_EQ(CliProgress::FormatLine(1234, "/home/me/linux/drivers/net", 30),
              "1234 files  ...ux/drivers/net");
    EXPECT_EQ(CliProgress::FormatLine(7, "/a/é/ü", 16), "7 files  /a/é/ü");
    EXPECT_EQ(CliProgress::FormatLine(7, "/a/é/ü", 15), "7 files  .../ü") << "whole characters";
    EXPECT_LE(CliProgress::FormatLine(123456, "/x", 5).size(), 4u);
}

// The CSV's sections as rows of fields: "Folder" -> its data rows, and the
// total section's "Name,value" lines under their name.
std::map<std::string, std::vector<std::vector<std::string>>> CsvSections(const std::string& strCsv)
{
    std::map<std::string, std::vector<std::vector<std::string>>> sections;
    std::istringstream in(strCsv);
    std::string strSection;
    for (std::string str; std::getline(in, str, '\n');)
    {
        if (!str.empty() && str.back() == '\r')
            str.pop_back();
        if (str.empty() || str[0] == '#')
        {
            strSection.clear();
            continue;
        }
        std::vector<std::string> arrFields;
        std::istringstream fields(str);
        for (std::string strField; std::getline(fields, strField, ',');)
            arrFields.push_back(strField);
        if (strSection.empty() && (arrFields[0] == "Folder" || arrFields[0] == "Type"))
            strSection = arrFields.size() > 9 ? "File" : arrFields[0];
        else if (strSection.empty())
            sections["Total"].push_back(arrFields);
        else
            sections[strSection].push_back(arrFields);
    }
    return sections;
}

TEST_F(CliAppTest, JsonHoldsTheNumbersOfTheCsv)
{
    // A name that is not UTF-8, a file that cannot be read, and a folder
    // given again inside another.
    m_dir.Write("tree/sub/caf\xE9.c", "/* a\n b */\nint c;\n");
    ASSERT_EQ(::symlink("gone", (m_dir / "tree/gone.c").c_str()), 0);
    const std::string strCsv = m_dir / "out.csv", strJson = m_dir / "out.json";
    const std::string strSub = m_strRoot + "/sub";
    ASSERT_EQ(Run({"--param", "ManMonthCost=40000", "--csv", strCsv, "--json", strJson, m_strRoot,
                   strSub}),
              0)
        << m_err.str();
    const nlohmann::json json = nlohmann::json::parse(ReadFileBytes(strJson));
    auto csv = CsvSections(ReadFileBytes(strCsv));
    const auto number = [](const std::string& str) { return std::stod(str); };

    EXPECT_EQ(json["parameters"].size(), 10u);
    EXPECT_EQ(json["parameters"]["ManMonthCost"], 40000);
    EXPECT_EQ(json["parameters"]["ManMonthLines"], 4000);

    std::map<std::string, std::string> total;
    for (const auto& arrRow : csv["Total"])
        total[arrRow[0]] = arrRow[1];
    const nlohmann::json& t = json["total"];
    EXPECT_EQ(t["files"], std::stoll(total["File"]));
    EXPECT_EQ(t["size"], std::stoll(total["Size"]));
    EXPECT_EQ(t["lines"], std::stoll(total["Lines"]));
    EXPECT_EQ(t["code"], std::stoll(total["Code lines"]));
    EXPECT_EQ(t["code_and_comment"], std::stoll(total["Code//Comment"]));
    EXPECT_EQ(t["comment"], std::stoll(total["Comment lines"]));
    EXPECT_EQ(t["blank"], std::stoll(total["Blank lines"]));
    EXPECT_EQ(t["man_hours"].get<double>(), number(total["Man-hour"]));
    EXPECT_EQ(t["cost"].get<double>(), number(total["Cost"]));
    EXPECT_EQ(std::lround(t["ut_cases"].get<double>()), std::stol(total["UT Cases"]));
    EXPECT_TRUE(t["cost"].is_number_float() && t["lines"].is_number_integer());

    // Folder, file, type, the five counts and size, the six estimates, date.
    ASSERT_EQ(json["files"].size(), csv["File"].size());
    ASSERT_EQ(json["files"].size(), 5u);
    const char* const counts[] = {"lines", "code", "code_and_comment", "comment", "blank", "size"};
    const char* const estimates[] = {"man_hours",  "cost",     "ut_cases",
                                     "ut_defects", "it_cases", "it_defects"};
    for (std::size_t i = 0; i < csv["File"].size(); ++i)
    {
        const auto& arrRow = csv["File"][i];
        const nlohmann::json& file = json["files"][i];
        SCOPED_TRACE(arrRow[1]);
        EXPECT_EQ(file["folder"], arrRow[0]);
        EXPECT_EQ(file["path"], arrRow[0] + "/" + arrRow[1]);
        EXPECT_EQ(file["extension"], arrRow[2]);
        for (std::size_t n = 0; n < 6; ++n)
            EXPECT_EQ(file[counts[n]], std::stoll(arrRow[3 + n])) << counts[n];
        for (std::size_t n = 0; n < 6; ++n)
            EXPECT_EQ(file[estimates[n]].get<double>(), number(arrRow[9 + n])) << estimates[n];
        if (file["unreadable"])
            EXPECT_TRUE(file["modified"].is_null()) << "its time is not known";
        else
            EXPECT_EQ(file["modified"].get<std::string>().substr(0, 10), arrRow[15]);
        EXPECT_EQ(file.contains("path_bytes"), arrRow[1] == "caf\xEF\xBF\xBD.c");
        if (file.contains("path_bytes"))
        {
            const wxMemoryBuffer bytes = wxBase64Decode(file["path_bytes"].get<std::string>());
            EXPECT_EQ(std::string(static_cast<const char*>(bytes.GetData()), bytes.GetDataLen()),
                      m_strRoot + "/sub/caf\xE9.c");
        }
    }

    for (const auto& [strSection, strKey] :
         {std::pair<std::string, std::string>{"Folder", "folder"}, {"Type", "extension"}})
    {
        const nlohmann::json& groups = json[strKey == "folder" ? "folders" : "extensions"];
        ASSERT_EQ(groups.size(), csv[strSection].size()) << strSection;
        for (std::size_t i = 0; i < groups.size(); ++i)
        {
            const auto& arrRow = csv[strSection][i];
            EXPECT_EQ(groups[i][strKey], arrRow[0]);
            EXPECT_EQ(groups[i]["files"], std::stoll(arrRow[1])) << arrRow[0];
            EXPECT_EQ(groups[i]["size"], std::stoll(arrRow[2])) << arrRow[0];
            EXPECT_EQ(groups[i]["lines"], std::stoll(arrRow[3])) << arrRow[0];
            EXPECT_EQ(groups[i]["blank"], std::stoll(arrRow[7])) << arrRow[0];
        }
    }

    EXPECT_EQ(json["phases"]["coding"]["cost"], t["cost"]);
    EXPECT_EQ(json["phases"]["unit_test"]["cost"], t["cost"]) << "UT is 100% of coding";
    EXPECT_EQ(json["skipped"],
              nlohmann::json::parse(R"([{"path": ")" + strSub +
                                    R"(", "kind": "folder", "reason": "already included",
                                           "included_as": ")" +
                                    strSub + R"("},
                                        {"path": ")" +
                                    m_strRoot +
                                    R"(/gone.c", "kind": "file",
                                         "reason": "could not be read; counted as an empty file"}])"));

    // On standard output it replaces the table, and holds the same object.
    ASSERT_EQ(Run({"--param", "ManMonthCost=40000", "--json", "-", m_strRoot, strSub}), 0)
        << m_err.str();
    EXPECT_EQ(nlohmann::json::parse(m_out.str()), json);
}

#ifdef LINECAST_CLI_EXE
// The built program itself: arguments, exit status and the two output streams.
TEST_F(CliAppTest, TheProgramReportsThroughItsExitStatus)
{
    const std::string strExe = LINECAST_CLI_EXE;
    const std::string strOut = m_dir / "stdout", strErr = m_dir / "stderr";
    auto run = [&](const std::string& strArgs)
    {
        const int nStatus =
            std::system((strExe + " " + strArgs + " >" + strOut + " 2>" + strErr).c_str());
        return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    };
    EXPECT_EQ(run("--version"), 0);
    EXPECT_EQ(ReadFileBytes(strOut), "linecast-cli 3.5.33.73\n");
    EXPECT_EQ(run("--nonsense"), 2);
    EXPECT_EQ(ReadFileBytes(strErr),
              "linecast-cli: unknown option '--nonsense' (see linecast-cli --help)\n");
    EXPECT_EQ(run("--rules '" + m_strRules + "' --types .h '" + m_strRoot + "'"), 0);
    EXPECT_EQ(LineStartingWith(ReadFileBytes(strOut), "Total")[1], "1");
    EXPECT_EQ(ReadFileBytes(strErr), "")
        << "no progress line when standard error is not a terminal";

    // A folder named by bytes that are not UTF-8 is found and counted.
    m_dir.Write("tree/sub\xE9/x.h", "int x;\n");
    EXPECT_EQ(
        run("--rules '" + m_strRules + "' --types .h \"$(printf '" + m_strRoot + "/sub\\351')\""),
        0)
        << ReadFileBytes(strErr);
    EXPECT_EQ(LineStartingWith(ReadFileBytes(strOut), "Total")[1], "1");
}
#endif
} // namespace
