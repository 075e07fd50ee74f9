#include "ScopedConfig.h"
#include "WxPrinters.h"
#include "ui/settings/Preference.h"
#include "ui/settings/SettingsFile.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/log.h>

namespace
{
class PreferenceTest : public testing::Test
{
protected:
    PreferenceTest() : m_pFrame(new wxFrame(nullptr, wxID_ANY, "Preference test")) {}
    ~PreferenceTest() override { delete m_pFrame; }

    // A new Preference loaded from the store, as at the next start.
    std::unique_ptr<Preference> Reload()
    {
        m_config.Reopen();
        auto pPreference = std::make_unique<Preference>();
        pPreference->Load(m_pFrame);
        return pPreference;
    }
    long ReadLong(const wxString& strKey) { return m_config.Config().ReadLong(strKey, -999); }
    wxString ReadString(const wxString& strKey)
    {
        return m_config.Config().Read(strKey, wxString("<absent>"));
    }

    ScopedConfig m_config;
    wxFrame* m_pFrame; // a top-level window: deleted directly
};

wxArrayString Folders(int nCount)
{
    wxArrayString arr;
    for (int i = 0; i < nCount; ++i)
        arr.Add(wxString::Format("/src/project%02d", i));
    return arr;
}
} // namespace

TEST_F(PreferenceTest, EmptyStoreOpensAtDefaultsAndRecordsEveryKey)
{
    Preference preference;
    preference.Load(m_pFrame);

    EXPECT_EQ(m_pFrame->GetPosition(), wxPoint(40, 16));
    EXPECT_EQ(m_pFrame->GetClientSize(), wxSize(940, 616));
    EXPECT_EQ(preference.m_nShowFilterDirectory, 1);
    EXPECT_EQ(preference.m_nShowFilterExtension, 1);
    EXPECT_EQ(preference.m_nShowFilterModifiedDate, 1);
    EXPECT_TRUE(preference.m_arrDirectoryHistory.empty());

    const std::pair<const char*, long> expected[] = {
        {"m_nPreserveFrameSizePos", 1},
        {"x", 40},
        {"y", 16},
        {"w", 940},
        {"h", 616},
        {"m_nShowFilterDirectory", 1},
        {"m_nShowFilterExtension", 1},
        {"m_nShowFilterModifiedDate", 1},
        {"m_nHideMenuBar", 1},
        {"m_nHideStatusBar", 1},
        {"m_nPreserveDirectory", 1},
        {"m_nDirectoryNum", 0},
    };
    m_config.Reopen();
    for (const auto& [szKey, nValue] : expected)
        EXPECT_EQ(ReadLong(szKey), nValue) << szKey;
}

TEST_F(PreferenceTest, GeometryComesBackAsSaved)
{
    Preference preference;
    preference.Load(m_pFrame);
    m_pFrame->Move(120, 90);
    m_pFrame->SetClientSize(800, 550);
    preference.Save();

    m_pFrame->Move(0, 0);
    m_pFrame->SetClientSize(300, 200);
    Reload();
    EXPECT_EQ(m_pFrame->GetPosition(), wxPoint(120, 90));
    EXPECT_EQ(m_pFrame->GetClientSize(), wxSize(800, 550));
}

TEST_F(PreferenceTest, GeometryNotPreservedIsNeitherReadNorWritten)
{
    wxConfigBase& config = m_config.Config();
    config.Write("/m_nPreserveFrameSizePos", 0);
    config.Write("/x", 300);
    config.Write("/w", 500);

    Preference preference;
    preference.Load(m_pFrame);
    EXPECT_EQ(m_pFrame->GetPosition(), wxPoint(40, 16));
    EXPECT_EQ(m_pFrame->GetClientSize(), wxSize(940, 616));

    m_pFrame->Move(200, 100);
    preference.Save();
    m_config.Reopen();
    EXPECT_EQ(ReadLong("/m_nPreserveFrameSizePos"), 0);
    EXPECT_EQ(ReadLong("/x"), 300);
    EXPECT_EQ(ReadLong("/w"), 500);
    EXPECT_EQ(ReadLong("/y"), -999) << "an absent key must not be recorded";
}

TEST_F(PreferenceTest, UnusableStoredGeometryFallsBackToDefaults)
{
    struct Row
    {
        const char* szWhat;
        int nX, nY, nW, nH;
        wxPoint posExpected;
        wxSize sizeExpected;
    };
    const Row rows[] = {
        {"position on no screen", 9000, 9000, 700, 500, {40, 16}, {700, 500}},
        {"negative position on no screen", -5000, 20, 700, 500, {40, 16}, {700, 500}},
        {"zero width", 60, 60, 0, 500, {60, 60}, {940, 616}},
        {"negative height", 60, 60, 700, -3, {60, 60}, {940, 616}},
        {"partly visible is kept", -100, 30, 700, 500, {-100, 30}, {700, 500}},
        {"position at the integer limit", 2147483000, 2147483000, 700, 500, {40, 16}, {700, 500}},
        // The toolkit refuses a window larger than the screen: none would show.
        {"larger than the display", 40, 16, 100000, 100000, {40, 16}, wxDefaultSize},
        {"larger than the display and above it", 40, -5000, 700, 100000, {40, 16}, wxDefaultSize},
    };
    const wxRect area = wxDisplay(0u).GetClientArea();
    for (const Row& row : rows)
    {
        wxConfigBase& config = m_config.Config();
        config.Write("/x", row.nX);
        config.Write("/y", row.nY);
        config.Write("/w", row.nW);
        config.Write("/h", row.nH);
        Preference preference;
        preference.Load(m_pFrame);
        EXPECT_EQ(m_pFrame->GetPosition(), row.posExpected) << row.szWhat;
        if (row.sizeExpected != wxDefaultSize)
        {
            EXPECT_EQ(m_pFrame->GetClientSize(), row.sizeExpected) << row.szWhat;
            continue;
        }
        EXPECT_GT(m_pFrame->GetClientSize().x, 0) << row.szWhat;
        EXPECT_LE(m_pFrame->GetSize().x, area.width) << row.szWhat;
        EXPECT_LE(m_pFrame->GetSize().y, area.height) << row.szWhat;
    }
}

TEST_F(PreferenceTest, FlagsComeBackAsSaved)
{
    Preference preference;
    preference.Load(m_pFrame);
    preference.m_nShowFilterDirectory = 0;
    preference.m_nShowFilterExtension = 1;
    preference.m_nShowFilterModifiedDate = 0;
    preference.m_nHideMenuBar = 0;
    preference.m_nHideStatusBar = 0;
    preference.Save();

    auto pLoaded = Reload();
    EXPECT_EQ(pLoaded->m_nShowFilterDirectory, 0);
    EXPECT_EQ(pLoaded->m_nShowFilterExtension, 1);
    EXPECT_EQ(pLoaded->m_nShowFilterModifiedDate, 0);
    EXPECT_EQ(pLoaded->m_nHideMenuBar, 0);
    EXPECT_EQ(pLoaded->m_nHideStatusBar, 0);
}

TEST_F(PreferenceTest, HistoryKeepsTheFirstSixteenFolders)
{
    Preference preference;
    preference.Load(m_pFrame);
    preference.m_arrDirectoryHistory = Folders(20);
    preference.Save();

    m_config.Reopen();
    EXPECT_EQ(ReadLong("/m_nDirectoryNum"), 16);
    EXPECT_EQ(ReadString("/Directory/15"), "/src/project15");
    EXPECT_EQ(ReadString("/Directory/16"), "<absent>");

    auto pLoaded = Reload();
    wxArrayString arrExpected = Folders(16);
    EXPECT_EQ(pLoaded->m_arrDirectoryHistory, arrExpected);
}

TEST_F(PreferenceTest, HistoryEntriesAreStoredAsTheUserSeesThem)
{
    struct Row
    {
        const char* szWhat;
        wxArrayString arrSaved;
        wxArrayString arrLoaded;
    };
    auto list = [](std::initializer_list<const char*> items)
    {
        wxArrayString arr;
        for (const char* sz : items)
            arr.Add(wxString::FromUTF8(sz));
        return arr;
    };
    const Row rows[] = {
        {"trailing white space is dropped", list({"/a/b  ", "/c\t"}), list({"/a/b", "/c"})},
        {"blank entries leave no gap", list({"/a", "   ", "/c"}), list({"/a", "/c"})},
        {"dollar and percent are not expanded", list({"/src/$HOME/x", "/src/%PATH%"}),
         list({"/src/$HOME/x", "/src/%PATH%"})},
        {"non-ASCII folder names survive", list({"/home/ユーザー/src", "/tmp/Ünïcode"}),
         list({"/home/ユーザー/src", "/tmp/Ünïcode"})},
        {"a shorter history replaces a longer one", list({"/only"}), list({"/only"})},
        {"an empty history stores nothing", list({}), list({})},
    };
    for (const Row& row : rows)
    {
        // An earlier, longer history in the store must never leak back in.
        {
            Preference earlier;
            earlier.Load(m_pFrame);
            earlier.m_arrDirectoryHistory = Folders(5);
            earlier.Save();
        }
        Preference preference;
        preference.Load(m_pFrame);
        preference.m_arrDirectoryHistory = row.arrSaved;
        preference.Save();
        EXPECT_EQ(Reload()->m_arrDirectoryHistory, row.arrLoaded) << row.szWhat;
    }
}

TEST_F(PreferenceTest, HistoryNotPreservedIsNeitherReadNorWritten)
{
    wxConfigBase& config = m_config.Config();
    config.Write("/m_nPreserveDirectory", 0);
    config.Write("/m_nDirectoryNum", 1);
    config.Write("/Directory/0", "/kept/from/before");

    Preference preference;
    preference.Load(m_pFrame);
    EXPECT_TRUE(preference.m_arrDirectoryHistory.empty());

    preference.m_arrDirectoryHistory = Folders(3);
    preference.Save();
    m_config.Reopen();
    EXPECT_EQ(ReadLong("/m_nDirectoryNum"), 1);
    EXPECT_EQ(ReadString("/Directory/0"), "/kept/from/before");
    EXPECT_EQ(ReadString("/Directory/1"), "<absent>");
}

TEST_F(PreferenceTest, DamagedCountReadsNoMoreThanSixteenEntries)
{
    wxConfigBase& config = m_config.Config();
    config.Write("/m_nDirectoryNum", 2000000000);
    config.Write("/Directory/0", "/a");
    config.Write("/Directory/20", "/beyond");

    Preference preference;
    preference.Load(m_pFrame);
    EXPECT_EQ(preference.m_arrDirectoryHistory, wxArrayString(1, "/a"));
    EXPECT_LE(m_config.EntryCount("/Directory"), 17u);
}

TEST_F(PreferenceTest, SaveWithoutLoadStillWritesTheSettings)
{
    Preference preference;
    preference.m_arrDirectoryHistory = Folders(2);
    preference.Save();
    m_config.Reopen();
    EXPECT_EQ(ReadLong("/m_nDirectoryNum"), 2);
    EXPECT_EQ(ReadLong("/x"), -999) << "no frame, no geometry";
}

// The store is written whole into a new file that takes the old one's place
// with its permissions; one kept as a symbolic link stays a link. A store
// nothing changed in is not written.
TEST(SettingsFile, SavesIntoANewFileThroughALinkAndOnlyWhenChanged)
{
    TempDir dir;
    const std::string strReal = dir.Write("dotfiles/Linecast.conf", "x=1\n");
    ASSERT_EQ(::chmod(strReal.c_str(), 0600), 0);
    ASSERT_EQ(::symlink("dotfiles/Linecast.conf", (dir / "Linecast.conf").c_str()), 0);
    struct stat st;
    ino_t inodes[3] = {::stat(strReal.c_str(), &st) == 0 ? st.st_ino : 0};
    for (int i = 0; i < 2; ++i) // the second time, only reads
    {
        {
            SettingsFile config(wxString::FromUTF8(dir / "Linecast.conf"), wxCONFIG_USE_LOCAL_FILE);
            EXPECT_EQ(config.ReadLong("x", 0), 1);
            if (i == 0)
                config.Write("y", 2);
        }
        inodes[i + 1] = ::stat(strReal.c_str(), &st) == 0 ? st.st_ino : 0;
    }
    EXPECT_NE(inodes[1], inodes[0]) << "written in place";
    EXPECT_EQ(inodes[2], inodes[1]) << "written though nothing changed";
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_TRUE(::lstat((dir / "Linecast.conf").c_str(), &st) == 0 && S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFileBytes(strReal), "x=1\ny=2\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "dotfiles"), {}), 1);
}

// A failed save is told once until the settings change: the close and the
// program's end both save.
TEST(SettingsFile, AFailedSaveIsToldOnceUntilTheSettingsChange)
{
    struct Errors : wxLog
    {
        int n = 0;
        void DoLogRecord(wxLogLevel level, const wxString&, const wxLogRecordInfo&) override
        {
            n += level == wxLOG_Error;
        }
    } errors;
    wxLog* pOld = wxLog::SetActiveTarget(&errors);
    TempDir dir;
    dir.Write("config", "a file where the folder should be");
    {
        SettingsFile config(wxString::FromUTF8(dir / "config/Linecast.conf"),
                            wxCONFIG_USE_LOCAL_FILE);
        config.Write("x", 1);
        EXPECT_FALSE(config.Flush() || config.Flush());
        config.Write("x", 2);
        EXPECT_FALSE(config.Flush());
    }
    EXPECT_EQ(errors.n, 2);
    wxLog::SetActiveTarget(pOld);
}
