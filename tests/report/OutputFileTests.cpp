#include "TempDir.h"

#include "engine/NativePath.h"
#include "report/MessagePath.h"
#include "report/OutputFile.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

namespace
{
namespace fs = std::filesystem;

// Reads a FIFO from another thread until its writer closes it. The FIFO gets
// a second name first, so the reader can be released even when a faulty
// writer has put a regular file in place of the first one.
class FifoReader
{
public:
    FifoReader(const std::string& strPath, std::size_t nStopAfter = std::string::npos)
        : m_strKeep(strPath + ".keep")
    {
        EXPECT_EQ(::link(strPath.c_str(), m_strKeep.c_str()), 0);
        m_thread = std::thread(
            [this, nStopAfter]
            {
                const int nFd = ::open(m_strKeep.c_str(), O_RDONLY);
                char buf[4096];
                ssize_t nRead;
                while (m_strRead.size() < nStopAfter && (nRead = ::read(nFd, buf, sizeof buf)) > 0)
                    m_strRead.append(buf, static_cast<std::size_t>(nRead));
                ::close(nFd);
                m_bDone = true;
            });
    }

    std::string Finish()
    {
        // Lets a reader still waiting for a writer see the end of the data.
        while (!m_bDone)
        {
            const int nFd = ::open(m_strKeep.c_str(), O_WRONLY | O_NONBLOCK);
            if (nFd >= 0)
            {
                ::close(nFd);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        m_thread.join();
        return m_strRead;
    }

private:
    std::string m_strKeep;
    std::thread m_thread;
    std::string m_strRead;
    std::atomic<bool> m_bDone{false};
};

mode_t KindOf(const std::string& strPath)
{
    struct stat st;
    return ::lstat(strPath.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

struct TargetRow
{
    const char* szName;
    // Makes what is at the target's place; returns the path to write to, or
    // "" when this system cannot make it.
    std::string (*pMake)(const TempDir& dir);
    mode_t nKindAfter;      // what the target path must still be afterwards
    const char* szDataFile; // the file that must then hold the bytes, "" for none
    bool bReadFromFifo;     // the bytes must arrive at the FIFO at "pipe"
};

void PrintTo(const TargetRow& row, std::ostream* pOut)
{
    *pOut << row.szName;
}

class OutputTarget : public testing::TestWithParam<TargetRow>
{
};

TEST_P(OutputTarget, IsWrittenWithoutBeingReplacedByAnotherKindOfFile)
{
    const TargetRow& row = GetParam();
    TempDir dir;
    const std::string strTarget = row.pMake(dir);
    if (strTarget.empty())
        GTEST_SKIP() << "cannot make a device node here";
    std::unique_ptr<FifoReader> pReader;
    if (row.bReadFromFifo)
        pReader = std::make_unique<FifoReader>(dir / "pipe");

    const std::string strBytes(100000, 'x'); // more than a pipe holds at once
    wxString strError;
    EXPECT_TRUE(WriteOutputFile(wxString::FromUTF8(strTarget), strBytes, strError)) << strError;

    EXPECT_EQ(KindOf(strTarget), row.nKindAfter);
    if (*row.szDataFile)
    {
        EXPECT_EQ(ReadFileBytes(dir / row.szDataFile), strBytes);
    }
    if (pReader)
    {
        EXPECT_EQ(pReader->Finish(), strBytes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, OutputTarget,
    testing::Values(
        TargetRow{"NewFile", [](const TempDir& dir) { return dir / "new.csv"; }, S_IFREG, "new.csv",
                  false},
        TargetRow{"LinkWritesTheFileItNamesAndStaysALink",
                  [](const TempDir& dir)
                  {
                      dir.Write("data/real.csv", "old");
                      EXPECT_EQ(::symlink("data/real.csv", (dir / "link.csv").c_str()), 0);
                      return dir / "link.csv";
                  },
                  S_IFLNK, "data/real.csv", false},
        TargetRow{"DanglingLinkChainCreatesTheFileAtItsEnd",
                  [](const TempDir& dir)
                  {
                      dir.MakeDir("sub");
                      EXPECT_EQ(::symlink("../made.csv", (dir / "sub/second").c_str()), 0);
                      EXPECT_EQ(::symlink("sub/second", (dir / "first.csv").c_str()), 0);
                      return dir / "first.csv";
                  },
                  S_IFLNK, "made.csv", false},
        TargetRow{"FifoIsWrittenInPlace",
                  [](const TempDir& dir)
                  {
                      EXPECT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
                      return dir / "pipe";
                  },
                  S_IFIFO, "", true},
        TargetRow{"LinkToAFifoWritesTheFifo",
                  [](const TempDir& dir)
                  {
                      EXPECT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
                      EXPECT_EQ(::symlink("pipe", (dir / "out.csv").c_str()), 0);
                      return dir / "out.csv";
                  },
                  S_IFLNK, "", true},
        // Behaves as /dev/null does, in a folder of the test's own.
        TargetRow{"NullDeviceStaysADevice",
                  [](const TempDir& dir)
                  {
                      const std::string strPath = dir / "null";
                      return ::mknod(strPath.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0
                                 ? strPath
                                 : std::string();
                  },
                  S_IFCHR, "", false}),
    [](const testing::TestParamInfo<TargetRow>& info) { return info.param.szName; });

TEST(OutputFile, ReaderThatGoesAwayFailsTheWriteAndLeavesTheProgramRunning)
{
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    FifoReader reader(dir / "pipe", 10);
    wxString strError;
    // Far more than the pipe holds, so the writer is still at it when the
    // reader closes its end; without care that is SIGPIPE.
    EXPECT_FALSE(
        WriteOutputFile(wxString::FromUTF8(dir / "pipe"), std::string(4 << 20, 'y'), strError));
    EXPECT_FALSE(strError.empty());
    reader.Finish();
    EXPECT_EQ(KindOf(dir / "pipe"), S_IFIFO);
}

// A window's export must not freeze it: a FIFO nobody reads is refused at
// once, a reader that takes nothing fails the write after a short wait, and a
// reader that keeps reading gets every byte.
TEST(OutputFile, WritingBrieflyNeverWaitsForAnAbsentOrIdleReader)
{
    TempDir dir;
    const std::string strPipe = dir / "pipe";
    ASSERT_EQ(::mkfifo(strPipe.c_str(), 0600), 0);
    const wxString strTarget = wxString::FromUTF8(strPipe);
    const std::string strBytes(1 << 20, 'z'); // far more than a pipe holds
    wxString strError;

    EXPECT_FALSE(WriteOutputFile(strTarget, strBytes, strError, OutputWait::Briefly));
    EXPECT_EQ(strError, "no program is reading from it");

    // Each read end is opened before the write starts, so the writer finds
    // it; a fresh one waits for the next writer rather than seeing the end
    // of the last.
    const int nIdle = ::open(strPipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(nIdle, 0);
    EXPECT_FALSE(WriteOutputFile(strTarget, strBytes, strError, OutputWait::Briefly));
    EXPECT_EQ(strError, "the program reading from it stopped taking data");
    ::close(nIdle);

    const int nReader = ::open(strPipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(nReader, 0);
    char buf[65536];
    std::string strRead;
    std::thread reader(
        [&]
        {
            // Until the writer has come and gone.
            pollfd wait{nReader, POLLIN, 0};
            while (::poll(&wait, 1, 10000) > 0)
            {
                const ssize_t nRead = ::read(nReader, buf, sizeof buf);
                if (nRead == 0)
                    break;
                if (nRead > 0)
                    strRead.append(buf, static_cast<std::size_t>(nRead));
            }
        });
    EXPECT_TRUE(WriteOutputFile(strTarget, strBytes, strError, OutputWait::Briefly)) << strError;
    reader.join();
    ::close(nReader);
    EXPECT_EQ(strRead, strBytes);
    EXPECT_EQ(KindOf(strPipe), S_IFIFO);
}

// A write another thread follows and cancels: a file it was to replace
// keeps its old bytes and no temporary is left beside it; a FIFO's wait for
// its reader ends at the cancel, not at the stall limit.
TEST(OutputFile, CancelledWriteLeavesTheOldFileWhole)
{
    TempDir dir;
    const std::string strOld = dir.Write("old.csv", "old bytes\n");
    OutputProgress cancelled;
    cancelled.bCancel = true;
    wxString strError;
    EXPECT_FALSE(WriteOutputFile(wxString::FromUTF8(strOld), std::string(1 << 20, 'n'), strError,
                                 OutputWait::Briefly, &cancelled));
    EXPECT_EQ(ReadFileBytes(strOld), "old bytes\n");
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_EQ(entry.path().filename(), "old.csv");

    const std::string strPipe = dir / "pipe";
    ASSERT_EQ(::mkfifo(strPipe.c_str(), 0600), 0);
    const int nIdle = ::open(strPipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(nIdle, 0);
    OutputProgress progress;
    std::thread stop(
        [&]
        {
            while (progress.nWritten == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            progress.bCancel = true;
        });
    EXPECT_FALSE(WriteOutputFile(wxString::FromUTF8(strPipe), std::string(1 << 20, 'z'), strError,
                                 OutputWait::Briefly, &progress));
    stop.join();
    ::close(nIdle);
    EXPECT_GT(progress.nWritten, 0u);
    EXPECT_EQ(strError, wxString::FromUTF8(std::strerror(ECANCELED)));
}

struct CheckRow
{
    const char* szName;
    std::string (*pMake)(const TempDir& dir);
    const char* szReason; // "" when the target can be written
};

void PrintTo(const CheckRow& row, std::ostream* pOut)
{
    *pOut << row.szName;
}

class OutputTargetCheck : public testing::TestWithParam<CheckRow>
{
};

// Root may write into a read-only folder, so the refusals here are those
// that hold for everyone.
TEST_P(OutputTargetCheck, TellsBeforehandWhetherTheTargetCanBeWritten)
{
    const CheckRow& row = GetParam();
    TempDir dir;
    const std::string strTarget = row.pMake(dir);
    const auto nEntries = std::distance(fs::directory_iterator(dir.Path()), {});

    wxString strError;
    EXPECT_EQ(CheckOutputTarget(wxString::FromUTF8(strTarget), strError), !*row.szReason);
    EXPECT_TRUE(strError.Contains(row.szReason)) << strError;
    // The check writes nothing and leaves nothing behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), nEntries);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, OutputTargetCheck,
    testing::Values(
        CheckRow{"NewFileInAFolder", [](const TempDir& dir) { return dir / "new.csv"; }, ""},
        CheckRow{"FifoWithoutReaderIsNotOpened",
                 [](const TempDir& dir)
                 {
                     EXPECT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
                     return dir / "pipe";
                 },
                 ""},
        CheckRow{"Folder", [](const TempDir& dir) { return dir.MakeDir("out"); }, "it is a folder"},
        CheckRow{"MissingFolder", [](const TempDir& dir) { return dir / "no/such/out.csv"; },
                 "no folder"},
        CheckRow{"PathUnderARegularFile",
                 [](const TempDir& dir) { return dir.Write("file", "") + "/out.csv"; },
                 "no folder"},
        CheckRow{"DanglingLinkIntoAMissingFolder",
                 [](const TempDir& dir)
                 {
                     EXPECT_EQ(::symlink("gone/out.csv", (dir / "out.csv").c_str()), 0);
                     return dir / "out.csv";
                 },
                 "no folder"}),
    [](const testing::TestParamInfo<CheckRow>& info) { return info.param.szName; });

// A file one may not write is refused, through a link too. Root may write
// any file, so the check runs as "nobody" then (restored at the end).
TEST(OutputFile, ReadOnlyFileOfOnesOwnIsRefusedAndKept)
{
    constexpr uid_t NOBODY = 65534;
    TempDir dir;
    const std::string strKeep = dir.Write("keep.csv", "kept");
    ::chmod(strKeep.c_str(), 0444);
    EXPECT_EQ(::symlink("keep.csv", (dir / "link.csv").c_str()), 0);
    for (const std::string& strPath : {dir.Path(), strKeep})
        EXPECT_EQ(::chown(strPath.c_str(), NOBODY, NOBODY), 0);
    const bool bRoot = geteuid() == 0;
    ASSERT_TRUE(!bRoot || setresuid(NOBODY, NOBODY, 0) == 0);
    for (const char* szName : {"keep.csv", "link.csv"})
    {
        wxString strCheck, strWrite;
        EXPECT_FALSE(CheckOutputTarget(wxString::FromUTF8(dir / szName), strCheck));
        EXPECT_FALSE(WriteOutputFile(wxString::FromUTF8(dir / szName), "new", strWrite));
        EXPECT_EQ(strCheck + "|" + strWrite, "Permission denied|Permission denied") << szName;
    }
    ASSERT_TRUE(!bRoot || setresuid(0, 0, 0) == 0);
    EXPECT_EQ(ReadFileBytes(strKeep), "kept");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 2);
}

// A name may be 255 bytes long; the temporary file beside it must not be
// longer. In a message a long path is broken into lines a box can hold,
// after a "/" in the second half of a line.
TEST(OutputFile, LongestNameIsWrittenAndLongPathsAreShownInLines)
{
    TempDir dir;
    const std::string strName = std::string(251, 'n') + ".csv";
    const wxString strTarget = wxString::FromUTF8(dir / strName);
    wxString strError;
    EXPECT_TRUE(CheckOutputTarget(strTarget, strError)) << strError;
    for (const char* szBytes : {"first", "second"})
        EXPECT_TRUE(WriteOutputFile(strTarget, szBytes, strError)) << strError;
    EXPECT_EQ(ReadFileBytes(dir / strName), "second");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1);

    const char* const rows[][2] = {
        {"/a/b.csv", "/a/b.csv"},
        {"/abc/e.csv", "/abc/e.csv"},
        {"/home/user/x.csv", "/home/\nuser/x.csv"},
        {"/a/bcdefghijklmn", "/a/bcdefgh\nijklmn"},
        {"/\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9/"
         "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9",
         "/\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9/"
         "\n\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"},
        {"/ab/\xFF", "/ab/\xEF\xBF\xBD"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(PathForMessage(NativePath::FromBytes(row[0]), 10), wxString::FromUTF8(row[1]))
            << row[0];
}
} // namespace
