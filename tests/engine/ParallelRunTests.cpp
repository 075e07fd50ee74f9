#include "TempDir.h"

#include "engine/CommentRuleCounters.h"
#include "engine/CountingManager.h"
#include "engine/CountingWorkers.h"
#include "engine/LineReader.h"
#include "engine/MessagePump.h"
#include "engine/NativePath.h"
#include "engine/Observers.h"
#include "engine/TxtCounter.h"
#include "report/AnalysisParam.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
// Writes down, in order, each pump call between files and everything the
// observers are shown, so that two runs can be compared event by event. Asks
// the run to stop at a chosen pump call, as the Stop button would; or at a
// chosen pump in the middle of a file (those come as often as the file is
// read, or waited for, so they are counted but not written down).
class Recorder : public MessagePump, public CountingObserver, public FilterObserver
{
public:
    Recorder(CountingManager& manager, int nStopAt, int nStopWhileWaitingAt = 0)
        : m_manager(manager), m_nStopAt(nStopAt), m_nStopWhileWaitingAt(nStopWhileWaitingAt)
    {
    }

    void HandleOnePendingEvent() override
    {
        m_arrEvents.push_back("pump");
        if (++m_nCalls == m_nStopAt)
            m_manager.m_nState = CountingManager::STATE_STOPPED;
    }
    void HandleEventWhileWaiting() override
    {
        if (++m_nWaitingCalls == m_nStopWhileWaitingAt)
            m_manager.m_nState = CountingManager::STATE_STOPPED;
    }
    int m_nWaitingCalls = 0;
    void OnCountingUpdate() override
    {
        const FileResult& file = *m_manager.m_arrFileResults.back();
        std::string strEvent = NativePath::ToBytes(file.m_strPath) + Counts(file) +
                               (file.m_bUnreadable ? " unreadable" : "") + " / total" +
                               Counts(m_manager.m_totalResult);
        // An unreadable file is dated when it is counted, which differs from
        // run to run.
        if (!file.m_bUnreadable)
            strEvent += " @" + std::to_string(file.m_dtModified.GetTicks());
        m_arrEvents.push_back(strEvent);
    }
    void OnFilterUpdate() override
    {
        std::string strEvent = "summary total" + Counts(m_manager.m_totalResult);
        for (const auto& pDir : m_manager.m_arrDirectoryResults)
            strEvent += " | " + NativePath::ToBytes(pDir->m_strName) + Counts(*pDir);
        for (const auto& pExt : m_manager.m_arrExtensionResults)
            strEvent += " | " + pExt->m_strName.utf8_string() + Counts(*pExt);
        m_arrEvents.push_back(strEvent);
    }

    static std::string Counts(const Result& result)
    {
        return " files " + std::to_string(result.m_nFiles) + " size " +
               std::to_string(result.m_nSize) + " lines " + std::to_string(result.m_nLines) +
               " code " + std::to_string(result.m_nCodeLines) + " both " +
               std::to_string(result.m_nCodeCommentLines) + " comment " +
               std::to_string(result.m_nCommentLines) + " blank " +
               std::to_string(result.m_nBlankLines);
    }
    static std::string Counts(const Counter::FileCounts& counts)
    {
        return "size " + std::to_string(counts.nSize) + " lines " + std::to_string(counts.nLines) +
               " code " + std::to_string(counts.nCodeLines) + " both " +
               std::to_string(counts.nCodeCommentLines) + " comment " +
               std::to_string(counts.nCommentLines) + " blank " +
               std::to_string(counts.nBlankLines);
    }

    std::vector<std::string> m_arrEvents;

private:
    CountingManager& m_manager;
    int m_nStopAt;
    int m_nStopWhileWaitingAt;
    int m_nCalls = 0;
};

class ParallelRunTest : public testing::Test
{
protected:
    ParallelRunTest()
    {
        const std::string strChunkEnd(LineReader::DEFAULT_CHUNK_SIZE - 1, 'x');
        // Many folders of a few files each, so workers run well ahead of the
        // files being shown; a block comment left open at the end of one file
        // must not reach the next, whichever thread counts it.
        for (int nDir = 0; nDir < 24; ++nDir)
        {
            const std::string strDir = "d" + std::to_string(nDir) + (nDir % 3 ? "/sub" : "");
            for (int nFile = 0; nFile < 7; ++nFile)
            {
                const std::string strName = strDir + "/f" + std::to_string(nFile);
                std::string strBytes;
                for (int i = 0; i <= (nDir * 7 + nFile) % 9; ++i)
                    strBytes += "int x; // set\n\n/* a\n b */ y();\r\n";
                m_dir.Write(strName + ".c", strBytes + (nFile % 2 ? "/* left open\nz;\n" : "w;"));
                m_dir.Write(strName + ".txt", "not a selected type\n");
            }
        }
        // Odd files.
        m_dir.Write("odd/empty.c", "");
        m_dir.Write("odd/cr-only.c", "\r\r\r");
        m_dir.Write("odd/crlf-over-a-chunk.c", strChunkEnd + "\r\n// c\r\n/* d");
        m_dir.Write("odd/cr-at-a-chunk-end.h", strChunkEnd + "\r\n*/\r");
        m_dir.Write("odd/lat\xE9-\xFF.c", "x; /* \xE9 */\n");
        EXPECT_EQ(::symlink((m_dir / "odd/gone.c").c_str(), (m_dir / "odd/dangling.c").c_str()), 0);
        EXPECT_EQ(::mkfifo((m_dir / "odd/pipe.c").c_str(), 0600), 0);

        m_manager.SetSaveRulesOnDestroy(false);
        m_manager.m_ruleTable["C"] =
            std::make_unique<CounterRule>("C", "C style", "//", "/*", "*/");
        m_manager.m_extensionTable[".c"] = std::make_unique<FileExtension>(".c", "C", "", true);
        m_manager.m_extensionTable[".h"] = std::make_unique<FileExtension>(".h", "C", "", true);
        m_manager.m_extensionTable[".txt"] =
            std::make_unique<FileExtension>(".txt", "C", "", false);
    }

    // Runs as the window does, on nJobs threads; the events it shows.
    std::vector<std::string> Run(unsigned nJobs, int nStopAt = 0, int nStopWhileWaitingAt = 0)
    {
        Recorder recorder(m_manager, nStopAt, nStopWhileWaitingAt);
        CountingParam param;
        param.m_arrDirs.Add(NativePath::FromBytes(m_dir.Path()));
        m_manager.ClearResults();
        m_manager.m_nState = CountingManager::STATE_RUNNING;
        m_manager.SetCountingParam(param, m_analysis);
        m_manager.SetMessagePump(&recorder);
        m_manager.m_pCountingObserver = &recorder;
        m_manager.m_pFilterObserver = &recorder;
        m_manager.SetJobs(nJobs);
        m_manager.DoCounting();
        m_manager.SetMessagePump(nullptr);
        recorder.m_arrEvents.push_back("state " + std::to_string(m_manager.m_nState));
        recorder.m_arrEvents.push_back("waiting " + std::to_string(recorder.m_nWaitingCalls));
        return recorder.m_arrEvents;
    }

    TempDir m_dir;
    CountingManager m_manager;
    AnalysisParam m_analysis;
};

TEST_F(ParallelRunTest, ShowsWhatOneThreadShowsInTheSameOrder)
{
    std::vector<std::string> arrOne = Run(1);
    arrOne.pop_back(); // the pumps in the middle of files differ
    ASSERT_EQ(m_manager.m_arrFileResults.size(), 24u * 7 + 6);
    EXPECT_EQ(arrOne.back(), "state 3");
    for (unsigned nJobs : {2u, 3u, 8u})
    {
        std::vector<std::string> arrMany = Run(nJobs);
        arrMany.pop_back();
        EXPECT_EQ(arrMany, arrOne) << nJobs << " threads";
    }
}

// A stop takes effect where it does on one thread: whatever the workers had
// counted beyond it reaches neither the results, nor the totals, nor the
// summary.
TEST_F(ParallelRunTest, StopLeavesWhatOneThreadLeaves)
{
    // Stops while the folders are listed, before the first folder's files,
    // in the middle of a folder, and near the end.
    for (int nStopAt : {2, 40, 41, 120, 300})
    {
        std::vector<std::string> arrOne = Run(1, nStopAt);
        arrOne.pop_back();
        const std::size_t nShown = m_manager.m_arrFileResults.size();
        ASSERT_EQ(arrOne.back(), "state 1") << "stop at " << nStopAt;
        for (unsigned nJobs : {2u, 4u})
        {
            std::vector<std::string> arrMany = Run(nJobs, nStopAt);
            arrMany.pop_back();
            EXPECT_EQ(arrMany, arrOne) << nJobs << " threads, stop at " << nStopAt;
            EXPECT_EQ(m_manager.m_arrFileResults.size(), nShown);
            EXPECT_EQ(m_manager.m_totalResult.m_nFiles, static_cast<std::int64_t>(nShown));
        }
    }
}
// Stop reaches the run in the middle of a file of any size: reading it pumps
// the window's events, and the one in which Stop comes is the last. The file
// cut short is not shown. (Read through, the sparse file would take minutes
// and thousands of pumps.)
TEST_F(ParallelRunTest, StopEndsTheRunInTheMiddleOfALargeFile)
{
    const std::string strLarge = m_dir.Write("a-large/big.c", "");
    ASSERT_EQ(::truncate(strLarge.c_str(), std::int64_t(8) << 30), 0);
    // It is the first file; stopped at the tenth pump in its middle, the
    // run pumps no more.
    for (unsigned nJobs : {1u, 2u})
    {
        const std::vector<std::string> arrEvents = Run(nJobs, 0, 10);
        EXPECT_EQ(arrEvents.back(), "waiting 10") << nJobs << " threads";
        EXPECT_EQ(arrEvents[arrEvents.size() - 2], "state 1");
        EXPECT_TRUE(m_manager.m_arrFileResults.empty()) << nJobs << " threads";
    }
}

// Large files are counted in pieces by whichever threads are free, the one
// taking the counts out too; each file still gives what one thread counting
// it whole gives, in the order the files were handed in.
TEST(CountingWorkers, LargeFilesCountedInPiecesCountAsWhole)
{
    TempDir dir;
    const CounterRule rule("C", "", "//", "/*", "*/");
    CppCounter counter;
    counter.m_pRule = &rule;
    const Counter::Markers markers(&rule);

    std::vector<std::string> arrPaths;
    for (int i = 0; i < 12; ++i)
    {
        std::string strBytes;
        for (int j = 0; j < 20 * i; ++j)
            strBytes += j % 5 ? "x = 1; /* a\r\n b */ y; // c\n" : "/* open\n\n";
        arrPaths.push_back(dir.Write("f" + std::to_string(i) + ".c", strBytes));
    }
    arrPaths.push_back(dir / "missing.c");

    std::vector<Counter::FileCounts> arrExpected;
    std::vector<char> arrBuffer;
    for (const std::string& strPath : arrPaths)
    {
        arrExpected.emplace_back();
        counter.CountPath(strPath, markers, arrBuffer, arrExpected.back());
    }

    for (unsigned nThreads : {1u, 3u})
    {
        CountingWorkers workers(nThreads, 4, 97);
        std::vector<std::size_t> arrTickets;
        std::size_t nTaken = 0;
        for (const std::string& strPath : arrPaths)
        {
            // Hands in as room allows, taking out in order in between.
            while (!workers.HasRoom())
            {
                const Counter::FileCounts counts = workers.TakeOut(arrTickets[nTaken]);
                EXPECT_EQ(Recorder::Counts(counts), Recorder::Counts(arrExpected[nTaken]))
                    << arrPaths[nTaken];
                ++nTaken;
            }
            arrTickets.push_back(workers.HandIn(strPath, counter, markers));
        }
        for (; nTaken < arrPaths.size(); ++nTaken)
        {
            const Counter::FileCounts counts = workers.TakeOut(arrTickets[nTaken]);
            EXPECT_EQ(Recorder::Counts(counts), Recorder::Counts(arrExpected[nTaken]))
                << arrPaths[nTaken] << ", " << nThreads << " threads";
            EXPECT_EQ(counts.bUnreadable, arrExpected[nTaken].bUnreadable);
            EXPECT_EQ(counts.tModified, arrExpected[nTaken].tModified);
        }
    }
}

// A stopped run drops the workers at once, also when one is reading ahead a
// file far larger than anything shown so far: it lets go at its next chunk.
TEST(CountingWorkers, StoppingDoesNotWaitForALargeFileBeingRead)
{
    TempDir dir;
    const std::string strSmall = dir.Write("small.txt", "a\n");
    // Sparse: made at once, read through only in minutes.
    const std::string strLarge = dir.Write("large.txt", "");
    ASSERT_EQ(::truncate(strLarge.c_str(), std::int64_t(64) << 30), 0);
    TxtCounter counter;
    const Counter::Markers markers;

    const auto start = std::chrono::steady_clock::now();
    {
        CountingWorkers workers(1, 4);
        workers.TakeOut(workers.HandIn(strSmall, counter, markers));
        workers.HandIn(strLarge, counter, markers);
        // Time for the worker to start on it.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}
} // namespace
