#include "TempDir.h"

#include "cli/CliOptions.h"
#include "engine/CountingManager.h"
#include "engine/NativePath.h"

#include <gtest/gtest.h>

namespace
{
std::vector<wxString> Args(std::initializer_list<const char*> args)
{
    std::vector<wxString> arr;
    for (const char* sz : args)
        arr.push_back(wxString::FromUTF8(sz));
    return arr;
}

TEST(CliOptionsTest, ParsesWhatEachOptionSays)
{
    CliOptions options;
    ASSERT_TRUE(
        options.Parse(Args({"--rules", "my.xml", "--types=.c;.H", "--no-recursive", "--param",
                            "ManMonthLines=5000", "--param=lld=200", "--csv", "out.csv", "--json=-",
                            "--jobs=3", "src", "--", "--odd-folder"})))
        << options.m_strError;
    EXPECT_EQ(options.m_nAction, CliOptions::ACTION_COUNT);
    EXPECT_EQ(options.m_strRulesPath, "my.xml");
    EXPECT_TRUE(options.m_bTypesGiven);
    EXPECT_EQ(options.m_strTypes, ".c;.H");
    EXPECT_FALSE(options.m_bRecursive);
    EXPECT_EQ(options.m_strCsvPath, "out.csv");
    EXPECT_EQ(options.m_strJsonPath, "-");
    EXPECT_EQ(options.m_nJobs, 3u);
    EXPECT_EQ(options.m_analysisParam.m_nManMonthLines, 5000);
    EXPECT_EQ(options.m_analysisParam.m_nLLDPercent, 200);
    EXPECT_EQ(options.m_analysisParam.m_nITPercent, 40) << "untouched parameters keep defaults";
    EXPECT_EQ(std::vector<wxString>(options.m_arrDirs.begin(), options.m_arrDirs.end()),
              (std::vector<wxString>{"src", "--odd-folder"}));
}

TEST(CliOptionsTest, ActionsAndTheirDefaults)
{
    const struct
    {
        const char* szName;
        std::vector<wxString> arrArgs;
        CliOptions::Action nAction;
    } rows[] = {
        {"help wins over everything after it", Args({"--help", "--bogus"}),
         CliOptions::ACTION_HELP},
        {"short help", Args({"-h"}), CliOptions::ACTION_HELP},
        {"version", Args({"--version"}), CliOptions::ACTION_VERSION},
        {"list types needs no folder", Args({"--list-types"}), CliOptions::ACTION_LIST_TYPES},
        {"a folder alone counts recursively", Args({"src"}), CliOptions::ACTION_COUNT},
    };
    for (const auto& row : rows)
    {
        CliOptions options;
        EXPECT_TRUE(options.Parse(row.arrArgs)) << row.szName << ": " << options.m_strError;
        EXPECT_EQ(options.m_nAction, row.nAction) << row.szName;
        EXPECT_TRUE(options.m_bRecursive) << row.szName;
        EXPECT_FALSE(options.m_bTypesGiven) << row.szName;
    }
}

TEST(CliOptionsTest, RejectsBadArgumentsWithAMessageThatNamesTheProblem)
{
    const struct
    {
        const char* szName;
        std::vector<wxString> arrArgs;
        const char* szMessage;
    } rows[] = {
        {"unknown option", Args({"--colour", "src"}), "unknown option '--colour'"},
        {"unknown short option", Args({"-x", "src"}), "unknown option '-x'"},
        {"no folder", Args({"--no-recursive"}), "no folder to count"},
        {"rules without a file", Args({"src", "--rules"}), "--rules needs a file name"},
        {"empty types", Args({"--types", ";", "src"}), "--types needs file types"},
        {"csv without a file", Args({"src", "--csv"}), "--csv needs a file name"},
        {"csv into a missing folder", Args({"--csv", "/no/such/folder/out.csv", "src"}),
         "no folder '/no/such/folder'"},
        {"json without a file", Args({"src", "--json"}), "--json needs a file name"},
        {"json into a missing folder", Args({"--json", "/no/such/folder/out.json", "src"}),
         "cannot write the JSON file '/no/such/folder/out.json': no folder '/no/such/folder'"},
        {"csv and json both on standard output", Args({"--csv", "-", "--json=-", "src"}),
         "only one of --csv and --json can write to standard output"},
        {"csv and json into one file", Args({"--csv", "out", "--json", "out", "src"}),
         "the CSV and the JSON file cannot be the same file 'out'"},
        {"param without assignment", Args({"--param", "src"}), "unknown parameter 'src'"},
        {"param missing value", Args({"--param", "IT", "src"}), "parameter IT needs a value"},
        {"unknown parameter names the known ones", Args({"--param", "Speed=3", "src"}),
         "unknown parameter 'Speed'; the parameters are UTCaseDensity, UTDefectDensity"},
        {"not a number", Args({"--param", "ManMonthDays=ten", "src"}),
         "ManMonthDays needs a whole number, not 'ten'"},
        {"trailing garbage", Args({"--param", "ManMonthDays=20x", "src"}), "whole number"},
        {"below the minimum", Args({"--param", "ManMonthLines=999", "src"}),
         "ManMonthLines must be from 1000 to 100000 Lines, not 999"},
        {"above the maximum", Args({"--param", "ManMonthDays=32", "src"}),
         "ManMonthDays must be from 15 to 31 Days, not 32"},
        {"zero density", Args({"--param", "UTCaseDensity=0", "src"}), "from 1 to 200"},
        {"no threads", Args({"--jobs", "0", "src"}), "--jobs needs a number of threads"},
        {"jobs not a number", Args({"--jobs=two", "src"}), "from 1 to 256"},
        {"jobs missing", Args({"src", "--jobs"}), "--jobs needs a number"},
        {"too many jobs", Args({"--jobs", "257", "src"}), "from 1 to 256"},
    };
    for (const auto& row : rows)
    {
        CliOptions options;
        EXPECT_FALSE(options.Parse(row.arrArgs)) << row.szName;
        EXPECT_NE(options.m_strError.Find(row.szMessage), wxNOT_FOUND)
            << row.szName << ": " << options.m_strError;
        EXPECT_FALSE(options.m_strError.Contains("\n")) << row.szName;
    }
}

TEST(CliOptionsTest, ParameterLimitsAreInclusive)
{
    CliOptions options;
    EXPECT_TRUE(options.Parse(Args({"--param", "ManMonthLines=1000", "--param", "ManMonthDays=31",
                                    "--param", "IT=10", "src"})))
        << options.m_strError;
    EXPECT_EQ(options.m_analysisParam.m_nManMonthLines, 1000);
    EXPECT_EQ(options.m_analysisParam.m_nManMonthDays, 31);
    EXPECT_EQ(options.m_analysisParam.m_nITPercent, 10);
}

TEST(CliOptionsTest, SplitTypesAcceptsTheWindowsTextAndCommonSpellings)
{
    const struct
    {
        const char* szText;
        std::vector<wxString> arrExpected;
    } rows[] = {
        {".c;.h", {".c", ".h"}}, {".c;.h;", {".c", ".h"}}, {".C; .Cpp ;;", {".c", ".cpp"}},
        {"*.c;h", {".c", ".h"}}, {".c;.c", {".c"}},        {";", {}},
    };
    for (const auto& row : rows)
    {
        const wxArrayString arr = CliOptions::SplitTypes(row.szText);
        EXPECT_EQ(std::vector<wxString>(arr.begin(), arr.end()), row.arrExpected) << row.szText;
    }
}

TEST(CliOptionsTest, FoldersMustExistAndBecomeAbsolute)
{
    TempDir dir;
    dir.MakeDir("src/sub");
    const std::string strFile = dir.Write("file.c", "int a;\n");

    CliOptions options;
    options.m_arrDirs.push_back(wxString::FromUTF8(dir / "src/sub/.."));
    options.m_arrDirs.push_back(wxString::FromUTF8(dir / "src/"));
    ASSERT_TRUE(options.CheckFolders()) << options.m_strError;
    EXPECT_EQ(options.m_arrDirs[0], wxString::FromUTF8(dir / "src"));
    EXPECT_EQ(options.m_arrDirs[1], wxString::FromUTF8(dir / "src"));

    // A name that is not UTF-8 keeps its bytes.
    dir.MakeDir("sub\xE9");
    CliOptions bytes;
    bytes.m_arrDirs.push_back(NativePath::FromBytes(dir / "src/../sub\xE9"));
    ASSERT_TRUE(bytes.CheckFolders()) << bytes.m_strError;
    EXPECT_EQ(NativePath::ToBytes(bytes.m_arrDirs[0]), dir / "sub\xE9");

    CliOptions missing;
    missing.m_arrDirs.push_back(wxString::FromUTF8(dir / "nope"));
    EXPECT_FALSE(missing.CheckFolders());
    EXPECT_TRUE(missing.m_strError.StartsWith("no such folder")) << missing.m_strError;

    CliOptions file;
    file.m_arrDirs.push_back(wxString::FromUTF8(strFile));
    EXPECT_FALSE(file.CheckFolders());
    EXPECT_TRUE(file.m_strError.StartsWith("not a folder")) << file.m_strError;
}

TEST(CliOptionsTest, SelectTypesMarksOnlyTheChosenKnownTypes)
{
    CountingManager manager;
    manager.SetSaveRulesOnDestroy(false);
    for (const char* sz : {".c", ".h", ".py"})
        manager.m_extensionTable[sz] = std::make_unique<FileExtension>(sz, "C", "", false);

    CliOptions chosen;
    chosen.m_bTypesGiven = true;
    chosen.m_strTypes = ".H;.c";
    ASSERT_TRUE(chosen.SelectTypes(manager)) << chosen.m_strError;
    EXPECT_TRUE(manager.m_extensionTable[".c"]->m_bSelected);
    EXPECT_TRUE(manager.m_extensionTable[".h"]->m_bSelected);
    EXPECT_FALSE(manager.m_extensionTable[".py"]->m_bSelected);

    CliOptions all;
    ASSERT_TRUE(all.SelectTypes(manager)) << all.m_strError;
    EXPECT_TRUE(manager.m_extensionTable[".py"]->m_bSelected) << "no --types: every type";

    CliOptions unknown;
    unknown.m_bTypesGiven = true;
    unknown.m_strTypes = ".c;.rs";
    EXPECT_FALSE(unknown.SelectTypes(manager));
    EXPECT_EQ(unknown.m_strError, "unknown file type '.rs'; the rules file knows .c .h .py");
}
} // namespace
