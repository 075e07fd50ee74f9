#include "TempDir.h"

#include "config/DataFiles.h"
#include "config/UserRules.h"
#include "engine/CountingManager.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <wx/utils.h>

namespace fs = std::filesystem;

namespace
{
wxString Wx(const std::string& str)
{
    return wxString::FromUTF8(str);
}

TEST(DataFilesTest, DataFolderIsBesideTheProgramElseTheInstalledShareFolder)
{
    TempDir dir;
    dir.Write("build/dist/conf/conf.xml", "<rules/>");
    dir.MakeDir("usr/bin");
    dir.MakeDir("usr/share/linecast/conf");
    // A folder of that name is not the rules file.
    dir.MakeDir("opt/bin/conf/conf.xml");
    const struct
    {
        const char* szProgramDir;
        const char* szDataDir;
    } rows[] = {
        {"build/dist", "build/dist"},
        {"usr/bin", "usr/share/linecast"},
        {"opt/bin", "opt/share/linecast"},
        {"nowhere/bin", "nowhere/share/linecast"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(DataDirFor(Wx(dir / row.szProgramDir)), Wx(dir / row.szDataDir))
            << row.szProgramDir;
}

TEST(DataFilesTest, UserCopyIsMadeOnlyWhereNothingIsYet)
{
    const std::string strShipped = "<rules><rule><type>C</type></rule></rules>\n";
    const struct
    {
        const char* szName;
        std::function<void(const TempDir&)> prepare;
        bool bHasShipped;
        bool bExpected;
        const char* szExpectedCopy; // null: the shipped bytes; "": nothing at the path
    } rows[] = {
        {"missing: copied, folder made", [](const TempDir&) {}, true, true, nullptr},
        {"damaged copy kept",
         [](const TempDir& dir) { dir.Write("cfg/linecast/conf.xml", "<rules><ru"); }, true, true,
         "<rules><ru"},
        {"broken link kept",
         [](const TempDir& dir)
         {
             dir.MakeDir("cfg/linecast");
             fs::create_symlink(dir / "gone.xml", dir / "cfg/linecast/conf.xml");
         },
         true, true, ""},
        {"no shipped file: no copy", [](const TempDir&) {}, false, false, ""},
        {"folder cannot be made", [](const TempDir& dir) { dir.Write("cfg/linecast", "a file"); },
         true, false, ""},
    };
    for (const auto& row : rows)
    {
        TempDir dir;
        row.prepare(dir);
        if (row.bHasShipped)
            dir.Write("share/conf/conf.xml", strShipped);
        const std::string strUser = dir / "cfg/linecast/conf.xml";
        const bool bLinked = fs::is_symlink(strUser);

        EXPECT_EQ(EnsureUserRules(Wx(strUser), Wx(dir / "share/conf/conf.xml")), row.bExpected)
            << row.szName;
        EXPECT_EQ(ReadFileBytes(strUser), row.szExpectedCopy ? row.szExpectedCopy : strShipped)
            << row.szName;
        EXPECT_EQ(fs::is_symlink(strUser), bLinked) << row.szName;
        if (fs::is_directory(dir / "cfg/linecast"))
        {
            for (const auto& entry : fs::directory_iterator(dir / "cfg/linecast"))
                EXPECT_EQ(entry.path().filename(), "conf.xml") << row.szName << ": left behind";
        }
        EXPECT_EQ(ReadFileBytes(dir / "share/conf/conf.xml"), row.bHasShipped ? strShipped : "")
            << row.szName;
    }
}
TEST(DataFilesTest, WithoutAUserCopyEditsGoToACopyMadeAtTheEndNeverToTheShippedFile)
{
    // The copy cannot be made at the start; at the end the edits go to one
    // made then, or the user hears why not.
    for (const bool bFreed : {false, true})
    {
        TempDir dir;
        const std::string strShipped = "<rules><rule><type>C</type></rule></rules>\n";
        dir.Write("data/conf/conf.xml", strShipped);
        dir.Write("config", "a file where the configuration folder should be");
        wxString strOldConfig;
        wxGetEnv("XDG_CONFIG_HOME", &strOldConfig);
        wxSetEnv("XDG_CONFIG_HOME", Wx(dir / "config"));
        SetDataDir(Wx(dir / "data"));
        {
            CountingManager manager;
            UseUserRules(manager);
            manager.LoadRules();
            EXPECT_EQ(manager.m_ruleTable.count("C"), 1u);
            manager.m_ruleTable.clear();
            if (bFreed)
                fs::remove(dir / "config");
            const RulesSaveOutcome outcome = SaveUserRulesAtEnd(manager);
            EXPECT_EQ(outcome.m_kind, bFreed ? RulesSaveOutcome::SAVED : RulesSaveOutcome::FAILED);
            EXPECT_EQ(outcome.m_strPath, UserRulesPath());
        }
        EXPECT_EQ(ReadFileBytes(dir / "data/conf/conf.xml"), strShipped);
        const std::string strCopy = ReadFileBytes(dir / "config/linecast/conf.xml");
        EXPECT_EQ(strCopy.find("<rules/>") != std::string::npos, bFreed) << strCopy;
        SetDataDir(wxString());
        wxSetEnv("XDG_CONFIG_HOME", strOldConfig);
    }
}
} // namespace
