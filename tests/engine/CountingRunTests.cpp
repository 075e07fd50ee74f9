#include "TempDir.h"

#include "engine/CountingManager.h"
#include "engine/MessagePump.h"
#include "engine/NativePath.h"
#include "engine/Observers.h"
#include "report/AnalysisParam.h"
#include "report/JsonWriter.h"

#include <algorithm>
#include <climits>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

namespace
{
// Counts the calls and asks the run to stop at a chosen one, as the Stop
// button would through the window's event loop.
class StoppingPump : public MessagePump
{
public:
    StoppingPump(CountingManager& manager, int nStopAtCall)
        : m_manager(manager), m_nStopAt(nStopAtCall)
    {
    }
    void HandleOnePendingEvent() override
    {
        if (++m_nCalls == m_nStopAt)
            m_manager.m_nState = CountingManager::STATE_STOPPED;
    }
    // Only the pumps between files are counted.
    void HandleEventWhileWaiting() override {}
    int m_nCalls = 0;

private:
    CountingManager& m_manager;
    int m_nStopAt;
};

class Observed : public CountingObserver, public FilterObserver
{
public:
    void OnCountingUpdate() override { ++m_nCounted; }
    void OnFilterUpdate() override { ++m_nSummaries; }
    int m_nCounted = 0;
    int m_nSummaries = 0;
};

class CountingRunTest : public testing::Test
{
protected:
    CountingRunTest()
    {
        m_manager.SetSaveRulesOnDestroy(false);
        m_manager.m_ruleTable["C"] =
            std::make_unique<CounterRule>("C", "C style", "//", "/*", "*/");
        AddType(".c", true);
        AddType(".h", true);
        AddType(".txt", false);
    }

    void AddType(const char* szExt, bool bSelected)
    {
        m_manager.m_extensionTable[szExt] =
            std::make_unique<FileExtension>(szExt, "C", "", bSelected);
    }

    // Runs like the window does: clear, mark running, hand over, count.
    void Run(std::vector<std::string> arrDirs, bool bRecursive = true, MessagePump* pPump = nullptr)
    {
        CountingParam param;
        for (const auto& dir : arrDirs)
            param.m_arrDirs.Add(NativePath::FromBytes(dir));
        param.m_bRecursive = bRecursive;
        m_manager.ClearResults();
        m_manager.m_nState = CountingManager::STATE_RUNNING;
        m_manager.SetCountingParam(param, m_analysis);
        m_manager.SetMessagePump(pPump);
        m_manager.m_pCountingObserver = &m_observed;
        m_manager.m_pFilterObserver = &m_observed;
        m_manager.DoCounting();
    }

    // The paths as the bytes the files have on disk.
    std::vector<std::string> CountedPaths() const
    {
        std::vector<std::string> paths;
        for (const auto& pFile : m_manager.m_arrFileResults)
            paths.push_back(NativePath::ToBytes(pFile->m_strPath));
        return paths;
    }

    TempDir m_dir;
    CountingManager m_manager;
    AnalysisParam m_analysis;
    Observed m_observed;
};

TEST_F(CountingRunTest, RecursionReachesSubfoldersButNotHiddenOnes)
{
    m_dir.Write("a.c", "int a;\n");
    m_dir.Write("sub/b.h", "// b\n");
    m_dir.Write("sub/deeper/c.c", "\n");
    m_dir.Write(".hidden/d.c", "int d;\n");
    m_dir.Write(".e.c", "int e;\n");
    m_dir.Write("x.txt", "not selected\n");

    Run({m_dir.Path()}, true);
    EXPECT_EQ(CountedPaths(), (std::vector<std::string>{m_dir / "a.c", m_dir / "sub/b.h",
                                                        m_dir / "sub/deeper/c.c"}));
    EXPECT_EQ(m_manager.m_nState, CountingManager::STATE_COMPLETED);
    EXPECT_EQ(m_observed.m_nCounted, 3);
    EXPECT_EQ(m_observed.m_nSummaries, 1);
    EXPECT_EQ(m_manager.m_totalResult.m_nFiles, 3);
    EXPECT_EQ(m_manager.m_totalResult.m_nLines, 3);

    Run({m_dir.Path()}, false);
    EXPECT_EQ(CountedPaths(), (std::vector<std::string>{m_dir / "a.c"}));
}

TEST_F(CountingRunTest, RecursiveRunVisitsFoldersInCharacterCodeOrder)
{
    m_dir.Write("b/x.c", "");
    m_dir.Write("a/y.c", "");
    m_dir.Write("B/z.c", "");
    m_dir.Write("a/a/w.c", "");

    Run({m_dir.Path()});
    EXPECT_EQ(CountedPaths(), (std::vector<std::string>{m_dir / "B/z.c", m_dir / "a/y.c",
                                                        m_dir / "a/a/w.c", m_dir / "b/x.c"}));
}

// A folder or file reached twice in one run is counted once, on one thread
// or many; what was skipped is kept with the path it is counted under.
struct ReachedTwiceRow
{
    const char* szName;
    const char* szListed; // folders below the test's folder, separated by blanks
    bool bRecursive;
    const char* szCounted; // the files counted, in sorted order
    std::size_t nSkippedFolders, nSkippedFiles;
    const char* szSkipped; // "path=included-as" of one skipped, or nothing
};

void PrintTo(const ReachedTwiceRow& row, std::ostream* pOut)
{
    *pOut << row.szName;
}

class ReachedTwice : public CountingRunTest, public testing::WithParamInterface<ReachedTwiceRow>
{
protected:
    std::vector<std::string> Paths(const std::string& strNames) const
    {
        std::istringstream in(strNames);
        std::vector<std::string> arr;
        for (std::string str; in >> str;)
            arr.push_back(m_dir / str);
        return arr;
    }
};

TEST_P(ReachedTwice, CountsOnce)
{
    const ReachedTwiceRow& row = GetParam();
    m_dir.Write("in/a.c", "x;\n");
    m_dir.Write("in/deep/b.c", "y;\n");
    m_dir.Write("links/c.c", "z;\n");
    ASSERT_EQ(symlink((m_dir / "in").c_str(), (m_dir / "in-link").c_str()), 0);
    ASSERT_EQ(symlink((m_dir / "in/a.c").c_str(), (m_dir / "links/a-link.c").c_str()), 0);
    ASSERT_EQ(link((m_dir / "in/deep/b.c").c_str(), (m_dir / "links/b-hard.c").c_str()), 0);
    for (unsigned nJobs : {1u, 3u})
    {
        m_manager.SetJobs(nJobs);
        Run(Paths(row.szListed), row.bRecursive);
        std::vector<std::string> arrPaths = CountedPaths();
        std::sort(arrPaths.begin(), arrPaths.end()); // a folder lists in any order
        EXPECT_EQ(arrPaths, Paths(row.szCounted)) << nJobs << " threads";
        EXPECT_EQ(m_manager.m_totalResult.m_nFiles, std::int64_t(arrPaths.size()));
        EXPECT_EQ(m_manager.CountSkipped(SkippedPath::FOLDER), row.nSkippedFolders);
        EXPECT_EQ(m_manager.CountSkipped(SkippedPath::FILE), row.nSkippedFiles);
        std::string strSkipped = ";";
        for (const SkippedPath& each : m_manager.m_arrSkippedPaths)
            strSkipped +=
                each.m_strPath.utf8_string() + "=" + each.m_strIncludedAs.utf8_string() + ";";
        const std::string strRow = row.szSkipped;
        const std::size_t nEq = strRow.find('=');
        EXPECT_TRUE(nEq == std::string::npos ||
                    strSkipped.find(";" + m_dir / strRow.substr(0, nEq) + "=" +
                                    m_dir / strRow.substr(nEq + 1) + ";") != std::string::npos)
            << strSkipped;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ReachedTwice,
    testing::Values(
        ReachedTwiceRow{"SameFolderTwice", "in in", true, "in/a.c in/deep/b.c", 1, 0, "in=in"},
        ReachedTwiceRow{"FolderThenItsSubfolder", "in in/deep", true, "in/a.c in/deep/b.c", 1, 0,
                        "in/deep=in/deep"},
        ReachedTwiceRow{"SubfolderThenItsFolder", "in/deep in", true, "in/a.c in/deep/b.c", 1, 0,
                        "in/deep=in/deep"},
        ReachedTwiceRow{"DotDot", "in in/deep/..", true, "in/a.c in/deep/b.c", 1, 0,
                        "in/deep/..=in"},
        ReachedTwiceRow{"LinkToAListedFolder", "in in-link", true, "in/a.c in/deep/b.c", 1, 0,
                        "in-link=in"},
        ReachedTwiceRow{"SameFolderTwiceWithoutRecursion", "in in", false, "in/a.c", 1, 0, "in=in"},
        ReachedTwiceRow{"LinkAndHardLinkToCountedFiles", ".", true,
                        "./in/a.c ./in/deep/b.c ./links/c.c", 0, 2, "./links/a-link.c=in/a.c"},
        ReachedTwiceRow{"LinkToAFileOutsideTheRun", "links", true,
                        "links/a-link.c links/b-hard.c links/c.c", 0, 0, ""}),
    [](const testing::TestParamInfo<ReachedTwiceRow>& info)
    { return std::string(info.param.szName); });

TEST_F(CountingRunTest, TrailingSeparatorGetsNoSecondOne)
{
    m_dir.Write("a.c", "x;\n");
    Run({m_dir.Path() + "/"}, false);
    ASSERT_EQ(m_manager.m_arrFileResults.size(), 1u);
    const FileResult& file = *m_manager.m_arrFileResults[0];
    EXPECT_EQ(file.m_strPath.utf8_string(), m_dir / "a.c");
    EXPECT_EQ(file.m_strFolder.utf8_string(), m_dir.Path());
    EXPECT_EQ(file.m_strFile, "a.c");
    EXPECT_EQ(file.m_strExt, ".c");
}

TEST_F(CountingRunTest, UpperCaseExtensionSelectsItsLowerCaseType)
{
    m_dir.Write("MAIN.C", "x;\n");
    Run({m_dir.Path()}, false);
    ASSERT_EQ(m_manager.m_arrFileResults.size(), 1u);
    EXPECT_EQ(m_manager.m_arrFileResults[0]->m_strExt, ".c");
}

TEST_F(CountingRunTest, StopWhileListingSubfoldersCountsNothing)
{
    m_dir.Write("a.c", "x;\n");
    m_dir.Write("sub/b.c", "y;\n");
    StoppingPump pump(m_manager, 1);
    Run({m_dir.Path()}, true, &pump);

    EXPECT_EQ(m_manager.m_nState, CountingManager::STATE_STOPPED);
    EXPECT_TRUE(m_manager.m_arrFileResults.empty());
    EXPECT_TRUE(m_manager.m_arrDirectoryList.IsEmpty());
    EXPECT_TRUE(m_manager.m_arrDirectoryResults.empty());
    EXPECT_EQ(m_manager.m_totalResult.m_nFiles, 0);
    EXPECT_EQ(m_observed.m_nSummaries, 1);
}

TEST_F(CountingRunTest, StopInsideAFolderKeepsWhatWasCounted)
{
    for (const char* name : {"1.c", "2.c", "3.c", "4.c", "5.c"})
        m_dir.Write(name, "x;\n// c\n\n");
    // Call 1 precedes the folder, then one call precedes each file: the stop
    // handled at call 3, just before the second file, leaves that file and
    // every later one uncounted.
    StoppingPump pump(m_manager, 3);
    Run({m_dir.Path()}, false, &pump);

    EXPECT_EQ(m_manager.m_nState, CountingManager::STATE_STOPPED);
    ASSERT_EQ(m_manager.m_arrFileResults.size(), 1u);
    EXPECT_EQ(m_manager.m_totalResult.m_nFiles, 1);
    EXPECT_EQ(m_manager.m_totalResult.m_nLines, 3);
    ASSERT_EQ(m_manager.m_arrDirectoryResults.size(), 1u);
    EXPECT_EQ(m_manager.m_arrDirectoryResults[0]->m_nCodeLines, 1);
    EXPECT_EQ(m_manager.m_arrExtensionList.GetCount(), 1u);
}

TEST_F(CountingRunTest, RunWithoutFoldersStillSummarisesAndCompletes)
{
    Run({});
    EXPECT_EQ(m_manager.m_nState, CountingManager::STATE_COMPLETED);
    EXPECT_EQ(m_observed.m_nSummaries, 1);
    EXPECT_TRUE(m_manager.m_arrDateList.IsEmpty());
}

// A listed folder deleted, or replaced by a file, since it was listed is left
// out with its reason; the rest is counted as usual.
TEST_F(CountingRunTest, ListedFolderThatIsGoneIsLeftOutWithItsReason)
{
    m_dir.Write("in/a.c", "x;\n");
    m_dir.Write("plain.c", "y;\n");
    for (const bool bRecursive : {true, false})
    {
        for (const unsigned nJobs : {1u, 3u})
        {
            m_manager.SetJobs(nJobs);
            Run({m_dir / "gone", m_dir / "in", m_dir / "plain.c"}, bRecursive);
            EXPECT_EQ(CountedPaths(), std::vector<std::string>{m_dir / "in/a.c"});
            EXPECT_EQ(m_manager.m_nState, CountingManager::STATE_COMPLETED);
            EXPECT_EQ(m_manager.CountSkipped(SkippedPath::FOLDER, SkippedPath::MISSING), 2u);
            EXPECT_EQ(m_manager.CountSkipped(SkippedPath::FOLDER), 0u) << "none included twice";
        }
    }
    // The JSON export lists them with their reason, in the order given.
    const auto json = nlohmann::json::parse(FormatResultJson(m_manager, m_analysis));
    EXPECT_EQ(json["skipped"][1], nlohmann::json::parse(R"({"path": ")" + m_dir / "plain.c" +
                                                        R"(", "kind": "folder",
                                                           "reason": "does not exist"})"));
}

TEST_F(CountingRunTest, UnopenableFileIsAZeroFileDatedAtCounting)
{
    ASSERT_EQ(symlink((m_dir / "gone.c").c_str(), (m_dir / "dangling.c").c_str()), 0);
    const wxDateTime before = wxDateTime::Now();
    Run({m_dir.Path()}, false);
    const wxDateTime after = wxDateTime::Now();

    ASSERT_EQ(m_manager.m_arrFileResults.size(), 1u);
    const FileResult& file = *m_manager.m_arrFileResults[0];
    EXPECT_EQ(file.m_nSize, 0);
    EXPECT_EQ(file.m_nLines, 0);
    EXPECT_TRUE(file.m_dtModified.IsBetween(before, after));
    EXPECT_EQ(m_manager.m_arrDirectoryResults[0]->m_nFiles, 1);
}

TEST_F(CountingRunTest, EmptyFileKeepsItsRealDate)
{
    const std::string path = m_dir.Write("empty.c", "");
    utimbuf times{946684800, 946684800}; // 2000-01-01T00:00:00Z
    ASSERT_EQ(utime(path.c_str(), &times), 0);
    Run({m_dir.Path()}, false);

    ASSERT_EQ(m_manager.m_arrFileResults.size(), 1u);
    const FileResult& file = *m_manager.m_arrFileResults[0];
    EXPECT_EQ(file.m_nLines, 0);
    EXPECT_EQ(file.m_dtModified.GetTicks(), 946684800);
}

TEST_F(CountingRunTest, LinkCycleAndFifoDoNotStopTheRun)
{
    m_dir.Write("sub/a.c", "x;\n");
    ASSERT_EQ(symlink(m_dir.Path().c_str(), (m_dir / "sub/loop").c_str()), 0);
    ASSERT_EQ(mkfifo((m_dir / "sub/pipe.c").c_str(), 0600), 0);
    ASSERT_EQ(symlink((m_dir / "sub/a.c").c_str(), (m_dir / "link.c").c_str()), 0);

    Run({m_dir.Path()});
    EXPECT_EQ(m_manager.m_nState, CountingManager::STATE_COMPLETED);
    // The link to a file of the run is left to the file; the FIFO is passed over.
    EXPECT_EQ(CountedPaths(), (std::vector<std::string>{m_dir / "sub/a.c"}));
}

TEST_F(CountingRunTest, FoldersDifferingOnlyInCaseEachSumTheirOwnFiles)
{
    m_dir.Write("Src/a.c", "x;\n");
    m_dir.Write("src/b.c", "y;\nz;\n");
    Run({m_dir / "Src", m_dir / "src"}, false);

    ASSERT_EQ(m_manager.m_arrDirectoryResults.size(), 2u);
    EXPECT_EQ(m_manager.m_arrDirectoryResults[0]->m_strName.utf8_string(), m_dir / "Src");
    EXPECT_EQ(m_manager.m_arrDirectoryResults[0]->m_nLines, 1);
    EXPECT_EQ(m_manager.m_arrDirectoryResults[1]->m_nLines, 2);
}

TEST_F(CountingRunTest, UnreadableFolderContributesNothing)
{
    m_dir.Write("a.c", "x;\n");
    Run({m_dir / "missing", m_dir.Path()}, false);
    EXPECT_EQ(m_manager.m_nState, CountingManager::STATE_COMPLETED);
    EXPECT_EQ(m_manager.m_arrFileResults.size(), 1u);
}

// Linux names are bytes: a name that is not UTF-8, in any locale, is listed,
// opened by its own bytes and counted, and shown with a replacement character.
TEST_F(CountingRunTest, NamesThatAreNotUtf8AreCountedByTheirBytes)
{
    m_dir.Write("lat\xE9.c", "int a;\n// b\n");
    m_dir.Write("sub\xE9/x\xFF\xFE.h", "c;\n");
    Run({m_dir.Path()});

    EXPECT_EQ(CountedPaths(),
              (std::vector<std::string>{m_dir / "lat\xE9.c", m_dir / "sub\xE9/x\xFF\xFE.h"}));
    EXPECT_EQ(m_manager.m_totalResult.m_nLines, 3);
    EXPECT_EQ(m_manager.m_totalResult.m_nSize, 15);
    ASSERT_EQ(m_manager.m_arrFileResults.size(), 2u);
    const FileResult& file = *m_manager.m_arrFileResults[1];
    EXPECT_FALSE(file.m_bUnreadable);
    EXPECT_EQ(NativePath::ToDisplay(file.m_strFile), wxString::FromUTF8("x\uFFFD\uFFFD.h"));
    EXPECT_EQ(NativePath::ToDisplay(file.m_strFolder).utf8_string(), m_dir.Path() + "/sub\uFFFD");
}

// A folder chain whose paths grow past the system's limit: every file is
// still counted.
TEST_F(CountingRunTest, FilesDeeperThanThePathLimitAreCounted)
{
    const char* const szName = "ten-bytes-";
    const int nDepth = PATH_MAX / 11 + 10; // eleven bytes more per level
    int nFd = ::open(m_dir.Path().c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 1; i <= nDepth; ++i)
    {
        ASSERT_EQ(::mkdirat(nFd, szName, 0755), 0);
        const int nSub = ::openat(nFd, szName, O_RDONLY | O_DIRECTORY);
        ::close(nFd);
        nFd = nSub;
        ASSERT_GE(nFd, 0);
        if (i == 10 || i == nDepth - 1 || i == nDepth)
        {
            const int nFile = ::openat(nFd, "f.c", O_WRONLY | O_CREAT, 0644);
            ASSERT_EQ(::write(nFile, "x;\ny;\n", 6), 6);
            ::close(nFile);
        }
    }
    ::close(nFd);

    Run({m_dir.Path()});
    ASSERT_EQ(m_manager.m_arrFileResults.size(), 3u);
    EXPECT_GT(m_manager.m_arrFileResults.back()->m_strPath.length(), std::size_t(PATH_MAX));
    EXPECT_EQ(m_manager.m_totalResult.m_nLines, 6);
    EXPECT_EQ(m_manager.m_totalResult.m_nSize, 18);
}
} // namespace
