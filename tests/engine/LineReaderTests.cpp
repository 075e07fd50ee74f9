#include "TempDir.h"

#include "engine/LineReader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>
#include <sys/mman.h>
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

// Bytes rich in what the scan looks at: line ends of every kind, white space,
// marker bytes alone and in pairs, NUL and high bytes; lines of every length
// around the 64-byte blocks the scan works in.
std::string ScanFodder(std::uint32_t nSeed, std::size_t nPieces)
{
    static const char* const pieces[] = {
        "\n", "\r", "\r\n", " ", "\t", "\v\f", "/",    "*",   "//", "/*",         "*/",   "#",
        "-",  "--", "{",    "}", "<",  "!",    "<!--", "-->", "x",  "int a = 1;", "\xFF", "\xA0"};
    std::mt19937 random(nSeed);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<std::size_t> run(0, 70);
    std::string strBytes;
    for (std::size_t i = 0; i < nPieces; ++i)
    {
        strBytes += pieces[pick(random)];
        if (i % 16 == 0)
            strBytes.append(run(random), i % 32 ? 'y' : ' ');
        if (i % 97 == 0)
            strBytes += '\0';
    }
    return strBytes;
}

struct ScanLine
{
    std::string strLine;
    unsigned nFlags;
    bool operator==(const ScanLine& other) const
    {
        return strLine == other.strLine && nFlags == other.nFlags;
    }
};

std::ostream& operator<<(std::ostream& out, const ScanLine& line)
{
    return out << "{" << testing::PrintToString(line.strLine) << ", " << line.nFlags << "}";
}

// Reads with one scan, from memory (nChunk 0) or from a file in chunks.
std::vector<ScanLine> ScanWith(LineReader::ScanKind nKind, const std::string& strBytes,
                               const std::vector<std::string>& arrMarkers, std::size_t nChunk)
{
    std::vector<char> arrBuffer;
    int nFd = -1;
    std::unique_ptr<LineReader> pReader;
    if (nChunk == 0)
        pReader = std::make_unique<LineReader>(strBytes);
    else
    {
        nFd = ::memfd_create("scanned", MFD_CLOEXEC);
        EXPECT_EQ(::write(nFd, strBytes.data(), strBytes.size()),
                  static_cast<ssize_t>(strBytes.size()));
        ::lseek(nFd, 0, SEEK_SET);
        pReader = std::make_unique<LineReader>(nFd, arrBuffer, nChunk);
    }
    pReader->SetScan(nKind);
    for (std::size_t i = 0; i < arrMarkers.size(); ++i)
        pReader->Watch(arrMarkers[i], i < 2 ? LineReader::LINE_MARK_A : LineReader::LINE_MARK_B);
    std::vector<ScanLine> arrLines;
    std::string_view line;
    while (pReader->Next(line))
        arrLines.push_back(ScanLine{std::string(line), pReader->LineFlags()});
    if (nFd >= 0)
        ::close(nFd);
    return arrLines;
}

bool IsBlankByte(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The flags a line must have: a flag may be set in vain, never missed.
unsigned NeededFlags(const std::string& strLine, const std::vector<std::string>& arrMarkers)
{
    unsigned nFlags = 0;
    for (char c : strLine)
        nFlags |= IsBlankByte(c) ? 0u : unsigned(LineReader::LINE_TEXT);
    for (std::size_t i = 0; i < arrMarkers.size(); ++i)
    {
        if (!arrMarkers[i].empty() && strLine.find(arrMarkers[i]) != std::string::npos)
            nFlags |= i < 2 ? LineReader::LINE_MARK_A : LineReader::LINE_MARK_B;
    }
    return nFlags;
}

// What ForEachLine hands on: the same lines and flags as Next(), and where it
// gives the bits of a line's bytes, exact ones for white space and none
// missing for a marker.
std::vector<ScanLine> ScanEach(LineReader::ScanKind nKind, const std::string& strBytes,
                               const std::vector<std::string>& arrMarkers)
{
    LineReader reader(strBytes);
    reader.SetScan(nKind);
    for (std::size_t i = 0; i < arrMarkers.size(); ++i)
        reader.Watch(arrMarkers[i], i < 2 ? LineReader::LINE_MARK_A : LineReader::LINE_MARK_B);
    std::vector<ScanLine> arrLines;
    reader.ForEachLine(
        [&](std::string_view line, unsigned nFlags, const auto& bitsOf)
        {
            arrLines.push_back(ScanLine{std::string(line), nFlags});
            LineReader::LineBits bits;
            if (!bitsOf(bits))
                return;
            std::uint64_t nText = 0, nMarkA = 0, nMarkB = 0;
            for (std::size_t i = 0; i < line.size(); ++i)
            {
                nText |= std::uint64_t(!IsBlankByte(line[i])) << i;
                for (std::size_t j = 0; j < arrMarkers.size() && arrMarkers.size() <= 4; ++j)
                {
                    if (!arrMarkers[j].empty() && line.substr(i).rfind(arrMarkers[j], 0) == 0)
                        (j < 2 ? nMarkA : nMarkB) |= std::uint64_t(1) << i;
                }
            }
            const std::uint64_t nBeyond =
                line.size() < 64 ? ~((std::uint64_t(1) << line.size()) - 1) : 0;
            EXPECT_EQ(bits.nText, nText) << testing::PrintToString(std::string(line));
            EXPECT_EQ(bits.nMarkA & nMarkA, nMarkA) << testing::PrintToString(std::string(line));
            EXPECT_EQ(bits.nMarkB & nMarkB, nMarkB) << testing::PrintToString(std::string(line));
            EXPECT_EQ((bits.nMarkA | bits.nMarkB) & nBeyond, 0u);
        });
    return arrLines;
}

// The vector scans (where the machine has them) find exactly what the
// portable one finds, from memory and across chunk boundaries of any size,
// and none of them misses a flag a line needs.
TEST(LineScan, EveryScanFindsTheSameLinesAndFlags)
{
    const std::vector<std::vector<std::string>> arrMarkerSets = {
        {},
        {"//", "/*", "*/"},
        {"#"},
        {"--", "{", "}"},
        {"<!--", "", "-->"},
        // More markers than the scan looks for: their flag is on every line.
        {"//", "/*", "*/", "#", "--"}};
    const LineReader::ScanKind arrKinds[] = {LineReader::SCAN_SSE2, LineReader::SCAN_AVX2};
    for (std::uint32_t nSeed = 1; nSeed <= 6; ++nSeed)
    {
        const std::string strBytes = ScanFodder(nSeed, nSeed * 700);
        for (const auto& arrMarkers : arrMarkerSets)
        {
            const std::vector<ScanLine> expected =
                ScanWith(LineReader::SCAN_PORTABLE, strBytes, arrMarkers, 0);
            ASSERT_EQ(expected.size(), SplitMemory(strBytes).size());
            for (const ScanLine& line : expected)
            {
                const unsigned nNeeded = NeededFlags(line.strLine, arrMarkers);
                ASSERT_EQ(line.nFlags & nNeeded, nNeeded) << line << " seed " << nSeed;
                ASSERT_EQ(line.nFlags & LineReader::LINE_TEXT, nNeeded & LineReader::LINE_TEXT)
                    << "blank lines are told exactly: " << line;
            }
            EXPECT_EQ(ScanEach(LineReader::SCAN_PORTABLE, strBytes, arrMarkers), expected);
            for (LineReader::ScanKind nKind : arrKinds)
            {
                if (!LineReader::HasScan(nKind))
                    continue;
                EXPECT_EQ(ScanEach(nKind, strBytes, arrMarkers), expected);
                for (std::size_t nChunk : {std::size_t(0), std::size_t(1), std::size_t(63),
                                           std::size_t(64), std::size_t(65), std::size_t(1000)})
                    EXPECT_EQ(ScanWith(nKind, strBytes, arrMarkers, nChunk), expected)
                        << "scan " << nKind << ", chunk " << nChunk << ", seed " << nSeed;
            }
        }
    }
}

// A file read in pieces side by side gives each of its lines once, in order,
// whatever the pieces' size and wherever line ends (CR LF split between two
// pieces among them) and over-long lines fall; the last piece ends where the
// file does.
TEST(LineReader, PiecesSideBySideGiveEachLineOnce)
{
    for (std::uint32_t nSeed = 1; nSeed <= 4; ++nSeed)
    {
        std::string strBytes = ScanFodder(nSeed, 300);
        strBytes += nSeed % 2 ? "\r" : "tail";
        const int nFd = ::memfd_create("pieces", MFD_CLOEXEC);
        ASSERT_EQ(::write(nFd, strBytes.data(), strBytes.size()),
                  static_cast<ssize_t>(strBytes.size()));
        for (std::size_t nMaxLine : {std::size_t(7), LineReader::DEFAULT_MAX_LINE})
        {
            ::lseek(nFd, 0, SEEK_SET);
            std::vector<char> arrBuffer;
            Lines expected;
            {
                LineReader whole(nFd, arrBuffer, 16, nMaxLine);
                std::string_view line;
                while (whole.Next(line))
                    expected.emplace_back(line);
            }
            for (std::uint64_t nPiece : {1u, 2u, 3u, 7u, 64u, 65u, 500u})
            {
                Lines lines;
                std::uint64_t nEnd = 0;
                for (std::uint64_t nBegin = 0; nBegin < strBytes.size(); nBegin += nPiece)
                {
                    const bool bLast = nBegin + nPiece >= strBytes.size();
                    LineReader reader(
                        nFd, arrBuffer,
                        LineReader::Piece{nBegin, bLast ? UINT64_MAX : nBegin + nPiece}, 16,
                        nMaxLine);
                    std::string_view line;
                    while (reader.Next(line))
                        lines.emplace_back(line);
                    nEnd = std::max(nEnd, reader.PieceEnd());
                }
                EXPECT_EQ(lines, expected)
                    << "pieces of " << nPiece << ", seed " << nSeed << ", lines up to " << nMaxLine;
                EXPECT_EQ(nEnd, strBytes.size()) << "pieces of " << nPiece;
            }
        }
        ::close(nFd);
    }
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
