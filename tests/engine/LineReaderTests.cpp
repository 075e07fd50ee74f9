#include "TempDir.h"

#include "engine/LineReader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
using namespace std::string_literals;
using Lines = std::vector<std::string>;

Lines SplitMemory(std::string_view bytes)
{
    LineReader reader(bytes);
    Lines lines;
    std::string_view line;
    while (reader.Next(line))
        lines.emplace_back(line);
    return lines;
}

Lines SplitFile(const std::string& strPath, std::size_t nChunkSize,
                std::size_t nMaxLine = LineReader::DEFAULT_MAX_LINE)
{
    const int nFd = ::open(strPath.c_str(), O_RDONLY);
    EXPECT_GE(nFd, 0) << strPath;
    std::vector<char> arrBuffer;
    LineReader reader(nFd, arrBuffer, nChunkSize, nMaxLine);
    Lines lines;
    std::string_view line;
    while (reader.Next(line))
        lines.emplace_back(line);
    EXPECT_FALSE(reader.Failed());
    ::close(nFd);
    return lines;
}

struct SplitRow
{
    const char* szName;
    std::string strBytes;
    Lines expected;
};

std::ostream& operator<<(std::ostream& out, const SplitRow& row)
{
    return out << row.szName;
}

class LineSplitting : public testing::TestWithParam<SplitRow>
{
};

TEST_P(LineSplitting, GivesTheSameLinesFromMemoryAndFromEveryChunkSize)
{
    const SplitRow& row = GetParam();
    EXPECT_EQ(SplitMemory(row.strBytes), row.expected);

    TempDir dir;
    const std::string strPath = dir.Write("f", row.strBytes);
    // Chunks of one to four bytes put every terminator, and every half of a
    // CR LF, on a chunk boundary somewhere.
    for (std::size_t nChunk : {std::size_t(1), std::size_t(2), std::size_t(3), std::size_t(4),
                               LineReader::DEFAULT_CHUNK_SIZE})
        EXPECT_EQ(SplitFile(strPath, nChunk), row.expected) << "chunk size " << nChunk;
}

INSTANTIATE_TEST_SUITE_P(
    Terminators, LineSplitting,
    testing::Values(
        SplitRow{"LineFeed", "a\nb\n", {"a", "b"}},
        SplitRow{"CarriageReturnLineFeed", "a\r\nb\r\n", {"a", "b"}},
        SplitRow{"LoneCarriageReturn", "a\rb\r", {"a", "b"}},
        SplitRow{"Mixed", "a\r\n\rb\nc\rd", {"a", "", "b", "c", "d"}},
        SplitRow{"LineFeedThenCarriageReturnIsTwo", "a\n\rb", {"a", "", "b"}},
        SplitRow{"CarriageReturnTwiceThenLineFeed", "\r\r\n", {"", ""}},
        SplitRow{"UnterminatedLastLineIsKept", "a\nb", {"a", "b"}},
        SplitRow{"EmptyFileHasNoLines", "", {}},
        SplitRow{"LineFeedAloneIsOneEmptyLine", "\n", {""}},
        SplitRow{"CarriageReturnAloneIsOneEmptyLine", "\r", {""}},
        SplitRow{"CrLfAloneIsOneEmptyLine", "\r\n", {""}},
        SplitRow{"NulBytesStayInLines", "a\0b\n\0"s, {"a\0b"s, "\0"s}},
        SplitRow{"HighBytesStayInLines", "\xFF\xFE\n\x80\x85", {"\xFF\xFE", "\x80\x85"}},
        SplitRow{"ByteOrderMarkIsPartOfFirstLine", "\xEF\xBB\xBFx\n", {"\xEF\xBB\xBFx"}},
        // UTF-16 is split by its bytes: the NUL after each terminator byte
        // starts the next line.
        SplitRow{"Utf16LittleEndianBySplitBytes", "a\0\r\0\n\0b\0"s, {"a\0"s, "\0"s, "\0b\0"s}}),
    [](const testing::TestParamInfo<SplitRow>& info) { return info.param.szName; });

// Lines over the limit are cut to it but still count as one line each.
class OverLongLines : public testing::TestWithParam<SplitRow>
{
};

TEST_P(OverLongLines, AreCutToTheLimitAndStayOneLine)
{
    TempDir dir;
    const std::string strPath = dir.Write("f", GetParam().strBytes);
    for (std::size_t nChunk = 1; nChunk <= 5; ++nChunk)
        EXPECT_EQ(SplitFile(strPath, nChunk, 8), GetParam().expected) << "chunk size " << nChunk;
}

INSTANTIATE_TEST_SUITE_P(
    Limit, OverLongLines,
    testing::Values(
        SplitRow{"LineFeedEnded", "0123456789abc\nxy\r\n", {"01234567", "xy"}},
        SplitRow{"CrLfEnded", "0123456789\r\nz", {"01234567", "z"}},
        SplitRow{"LoneCrEnded", "0123456789\rz", {"01234567", "z"}},
        SplitRow{"LastLineUnterminated", "z\n0123456789", {"z", "01234567"}},
        SplitRow{"ExactlyAtLimitIsWhole", "01234567\n012345678\n", {"01234567", "01234567"}},
        SplitRow{"ManyInARow", "0123456789\n0123456789\n\n", {"01234567", "01234567", ""}}),
    [](const testing::TestParamInfo<SplitRow>& info) { return info.param.szName; });

TEST(LineReader, FileManyChunksLongSplitsAsInOnePiece)
{
    // Lines of every length from 0 to about three chunks, with all three
    // terminators, so lines and CR LF pairs straddle chunk boundaries in every
    // way; the longest lines make the buffer grow.
    const std::size_t nChunk = 64;
    std::string strBytes;
    const char* const terminators[] = {"\n", "\r\n", "\r"};
    for (std::size_t i = 0; i < 600; ++i)
    {
        strBytes.append(i % 197, static_cast<char>('a' + i % 26));
        strBytes += terminators[i % 3];
    }
    strBytes += "tail";
    // A CR LF split exactly across a boundary, whatever the lines before did.
    strBytes.resize((strBytes.size() / nChunk + 1) * nChunk - 1, 'x');
    strBytes += "\r\nend";
    ASSERT_GT(strBytes.size(), 50 * nChunk);

    TempDir dir;
    const std::string strPath = dir.Write("big", strBytes);
    const Lines expected = SplitMemory(strBytes);
    ASSERT_GT(expected.size(), 590u);
    EXPECT_EQ(SplitFile(strPath, nChunk), expected);
    EXPECT_EQ(SplitFile(strPath, nChunk - 1), expected);
}

TEST(LineReader, ReadErrorIsReported)
{
    TempDir dir;
    // Reading a directory fails the way a failing disk would.
    const int nFd = ::open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(nFd, 0);
    std::vector<char> arrBuffer;
    LineReader reader(nFd, arrBuffer);
    std::string_view line;
    EXPECT_FALSE(reader.Next(line));
    EXPECT_TRUE(reader.Failed());
    ::close(nFd);
}
} // namespace
