#include "LineCounts.h"
#include "TempDir.h"

#include "engine/CommentRuleCounters.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

namespace
{
using namespace std::string_literals;

constexpr time_t RUN_TIME = 1234567;
constexpr time_t FILE_TIME = 1700000000;

class CountFile : public testing::Test
{
protected:
    CountFile() : m_rule("C", "", "//", "/*", "*/") { m_counter.m_pRule = &m_rule; }

    // Counts a file the way the run does: the date of the run set beforehand.
    FileResult Count(const std::string& strPath)
    {
        FileResult file;
        file.m_strPath = wxString::FromUTF8(strPath);
        file.m_dtModified = wxDateTime(RUN_TIME);
        m_counter.CountFile(file);
        return file;
    }

    static LineCounts CountsOf(const FileResult& file)
    {
        return LineCounts{file.m_nLines, file.m_nCodeLines, file.m_nCommentLines,
                          file.m_nCodeCommentLines, file.m_nBlankLines};
    }

    static void SetFileTime(const std::string& strPath)
    {
        const utimbuf times{FILE_TIME, FILE_TIME};
        ASSERT_EQ(::utime(strPath.c_str(), &times), 0);
    }

    TempDir m_dir;
    CounterRule m_rule;
    CppCounter m_counter;
};

TEST_F(CountFile, FillsSizeDateAndCounts)
{
    const std::string strPath = m_dir.Write("a.c", "x\r\n// y\n\nz /* w */");
    SetFileTime(strPath);
    const FileResult file = Count(strPath);
    EXPECT_EQ(file.m_nSize, 18);
    EXPECT_EQ(file.m_dtModified.GetTicks(), FILE_TIME);
    EXPECT_EQ(CountsOf(file), (LineCounts{4, 1, 1, 1, 1}));
    EXPECT_FALSE(file.m_bUnreadable);
}

// Cuts the file short after it has been opened, as another program might
// while the count runs.
class ShrinkingCounter : public Counter
{
public:
    void CountLines(LineReader& lines, std::int64_t& nLines, std::int64_t& nCodeLines,
                    std::int64_t& nCommentLines, std::int64_t& nCodeCommentLines,
                    std::int64_t& nBlankLines) override
    {
        EXPECT_EQ(::truncate(m_strPath.c_str(), 4), 0);
        CountByRule(lines, nullptr, nLines, nCodeLines, nCommentLines, nCodeCommentLines,
                    nBlankLines);
    }
    void ClassifyLinesWith(const Markers& markers, LineReader& lines, LineKinds& arrKinds) override
    {
        ClassifyByRule(lines, markers, arrKinds);
    }
    std::string m_strPath;
};

TEST_F(CountFile, FileThatShrinksDuringTheCountHasTheSizeThatWasRead)
{
    ShrinkingCounter counter;
    counter.m_strPath = m_dir.Write("shrinks.c", "a;\nb;\nc;\nd;\n");
    FileResult file;
    file.m_strPath = wxString::FromUTF8(counter.m_strPath);
    counter.CountFile(file);
    EXPECT_EQ(file.m_nSize, 4);
    EXPECT_EQ(CountsOf(file), (LineCounts{2, 2, 0, 0, 0}));
}

TEST_F(CountFile, EmptyFileHasZerosAndItsOwnDate)
{
    const std::string strPath = m_dir.Write("empty.c", "");
    SetFileTime(strPath);
    const FileResult file = Count(strPath);
    EXPECT_EQ(file.m_nSize, 0);
    EXPECT_EQ(file.m_dtModified.GetTicks(), FILE_TIME);
    EXPECT_EQ(CountsOf(file), LineCounts{});
}

TEST_F(CountFile, Utf16FileIsCountedByItsBytes)
{
    // "// x" CR LF in UTF-16LE: the NULs between the slashes hide the marker;
    // the NUL after the CR and the one after the LF are lines of their own.
    const FileResult file = Count(m_dir.Write("wide.c", "/\0/\0 \0x\0\r\0\n\0"s));
    EXPECT_EQ(file.m_nSize, 12);
    EXPECT_EQ(CountsOf(file), (LineCounts{3, 3, 0, 0, 0}));
}

TEST_F(CountFile, FileOfManyChunksCountsAsInOnePiece)
{
    // Over three read chunks of C-like text, with a CR LF split across the
    // first chunk boundary and a block comment open across the second.
    std::string strBytes;
    while (strBytes.size() < LineReader::DEFAULT_CHUNK_SIZE - 1)
        strBytes += "int x = 1; // set\r\n\n/* a\n b */ y();\r";
    strBytes.resize(LineReader::DEFAULT_CHUNK_SIZE - 1, ' ');
    strBytes += "\r\n";
    while (strBytes.size() < 2 * LineReader::DEFAULT_CHUNK_SIZE - 2)
        strBytes += "\t{ call(); }\r\n";
    strBytes.resize(2 * LineReader::DEFAULT_CHUNK_SIZE - 2, ' ');
    strBytes += "/*\n*/";
    while (strBytes.size() < 3 * LineReader::DEFAULT_CHUNK_SIZE + 100)
        strBytes += "x // y\n";

    const FileResult file = Count(m_dir.Write("big.c", strBytes));
    EXPECT_EQ(file.m_nSize, static_cast<std::int64_t>(strBytes.size()));
    EXPECT_EQ(CountsOf(file), CountBytes(m_counter, strBytes));
}

// Counted in pieces, each for both states a block comment may be in where it
// starts, and put together in order, a file counts as it does whole: block
// comments, line comments and CR LF pairs fall across the pieces' edges.
TEST_F(CountFile, PiecesPutTogetherCountAsTheWholeFile)
{
    std::string strBytes;
    for (int i = 0; i < 40; ++i)
    {
        strBytes += "int x = 1; // set\r\n\n/* a\n b */ y(); /* c */ z;\r";
        strBytes += i % 3 ? "  /* open\n\t still\n" : " */ w; // close\n";
        strBytes += std::string(i % 7, ' ') + "*/ q; /**/ r /* s\n";
    }
    const std::string strPath = m_dir.Write("pieces.c", strBytes);
    const CounterRule rules[] = {m_rule, CounterRule("Open", "", "", "/*", ""),
                                 CounterRule("Hash", "", "#", "", "")};
    for (const CounterRule& rule : rules)
    {
        CppCounter counter;
        counter.m_pRule = &rule;
        const Counter::Markers markers(&rule);
        std::vector<char> arrBuffer;
        Counter::FileCounts whole;
        counter.CountPath(strPath, markers, arrBuffer, whole);
        ASSERT_FALSE(whole.bUnreadable);

        for (std::uint64_t nPiece : {1u, 5u, 64u, 333u})
        {
            const int nFd = ::open(strPath.c_str(), O_RDONLY);
            ASSERT_GE(nFd, 0);
            Counter::FileCounts counts;
            bool bInBlock = false;
            for (std::uint64_t nBegin = 0; nBegin < strBytes.size(); nBegin += nPiece)
            {
                const bool bLast = nBegin + nPiece >= strBytes.size();
                Counter::PieceCounts piece;
                counter.CountPiece(nFd,
                                   LineReader::Piece{nBegin, bLast ? UINT64_MAX : nBegin + nPiece},
                                   markers, arrBuffer, piece);
                ASSERT_FALSE(piece.bFailed);
                piece.AddTo(bInBlock, counts);
            }
            ::close(nFd);
            const auto five = [](const Counter::FileCounts& c) {
                return LineCounts{c.nLines, c.nCodeLines, c.nCommentLines, c.nCodeCommentLines,
                                  c.nBlankLines};
            };
            EXPECT_EQ(five(counts), five(whole)) << rule.m_strType << ", pieces of " << nPiece;
            EXPECT_EQ(counts.nSize, whole.nSize);
        }
    }
}

// A file cut short after its pieces were planned from its length, as a log
// truncated in the middle of a count: its size is what the pieces read, as
// when it is counted whole, not where a piece past its new end was to begin.
TEST_F(CountFile, FileCutShortBeforeItsPiecesAreReadHasTheSizeItHasThen)
{
    std::string strBytes;
    while (strBytes.size() < 1000)
        strBytes += "int x; // c\n";
    const std::string strPath = m_dir.Write("shrinks.c", strBytes);
    ASSERT_EQ(::truncate(strPath.c_str(), 300), 0);
    Counter::FileCounts whole;
    std::vector<char> arrBuffer;
    m_counter.CountPath(strPath, Counter::Markers(&m_rule), arrBuffer, whole);

    const int nFd = ::open(strPath.c_str(), O_RDONLY);
    ASSERT_GE(nFd, 0);
    Counter::FileCounts counts;
    bool bInBlock = false;
    for (std::uint64_t nBegin = 0; nBegin < strBytes.size(); nBegin += 250)
    {
        Counter::PieceCounts piece;
        m_counter.CountPiece(
            nFd,
            LineReader::Piece{nBegin, nBegin + 250 >= strBytes.size() ? UINT64_MAX : nBegin + 250},
            Counter::Markers(&m_rule), arrBuffer, piece);
        piece.AddTo(bInBlock, counts);
    }
    ::close(nFd);
    EXPECT_EQ(counts.nSize, 300);
    EXPECT_EQ(counts.nSize, whole.nSize);
    EXPECT_EQ(counts.nLines, whole.nLines);
}

// Whatever cannot be counted keeps zeros and the date of the run.
struct UncountableRow
{
    const char* szName;
    std::string (*pMake)(const TempDir& dir);
};

std::ostream& operator<<(std::ostream& out, const UncountableRow& row)
{
    return out << row.szName;
}

class Uncountable : public CountFile, public testing::WithParamInterface<UncountableRow>
{
};

TEST_P(Uncountable, KeepsZerosAndTheRunDate)
{
    const FileResult file = Count(GetParam().pMake(m_dir));
    EXPECT_EQ(file.m_nSize, 0);
    EXPECT_EQ(CountsOf(file), LineCounts{});
    EXPECT_EQ(file.m_dtModified.GetTicks(), RUN_TIME);
    EXPECT_TRUE(file.m_bUnreadable) << "the command line names it";
}

INSTANTIATE_TEST_SUITE_P(
    Files, Uncountable,
    testing::Values(
        UncountableRow{"MissingFile", [](const TempDir& dir) { return dir / "gone.c"; }},
        UncountableRow{"DanglingLink",
                       [](const TempDir& dir)
                       {
                           const std::string strPath = dir / "link.c";
                           EXPECT_EQ(::symlink("gone.c", strPath.c_str()), 0);
                           return strPath;
                       }},
        // Opening a FIFO for reading would wait for a writer.
        UncountableRow{"Fifo",
                       [](const TempDir& dir)
                       {
                           const std::string strPath = dir / "pipe.c";
                           EXPECT_EQ(::mkfifo(strPath.c_str(), 0600), 0);
                           return strPath;
                       }},
        UncountableRow{"Directory", [](const TempDir& dir) { return dir.MakeDir("dir.c"); }},
        UncountableRow{"EmptyPath", [](const TempDir&) { return std::string(); }}),
    [](const testing::TestParamInfo<UncountableRow>& info) { return info.param.szName; });
} // namespace
