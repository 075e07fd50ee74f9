// Feeds random bytes to every counter under random comment markers, read whole
// and in random chunks, and checks what must hold whatever the bytes:
// - the lines are the line terminators (LF, CR LF, lone CR) plus an
//   unterminated last line, and the blank lines are those of white space only;
// - with a comment rule, the four kinds of line add up to the lines; the
//   other counters never count more lines of a kind than there are non-blank
//   lines;
// - reading in chunks of any size, or in pieces of varying size as a slow
//   file system returns them, counts the same as reading the bytes whole;
// - cutting over-long lines never changes the number of lines;
// - the comment-rule counter counts alike with every way of scanning the
//   bytes the machine has: the vector scans, which classify most lines from
//   where markers may stand, and the portable one, which searches each line;
// - counted in pieces of any size, each for both block states, and put
//   together in order, a file counts as it does whole.

#include "FuzzerSetUp.h"
#include "engine/AspxCounter.h"
#include "engine/CommentRuleCounters.h"
#include "engine/JspCounter.h"
#include "engine/LineReader.h"
#include "engine/PhpCounter.h"
#include "engine/TxtCounter.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace
{
struct Counts
{
    std::int64_t nLines = 0, nCode = 0, nComment = 0, nCodeComment = 0, nBlank = 0;
    bool operator==(const Counts& o) const
    {
        return nLines == o.nLines && nCode == o.nCode && nComment == o.nComment &&
               nCodeComment == o.nCodeComment && nBlank == o.nBlank;
    }
};

[[noreturn]] void Fail(const char* szWhat, const Counts& c)
{
    std::fprintf(stderr,
                 "invariant broken: %s (lines %lld, code %lld, comment %lld, code+comment %lld, "
                 "blank %lld)\n",
                 szWhat, static_cast<long long>(c.nLines), static_cast<long long>(c.nCode),
                 static_cast<long long>(c.nComment), static_cast<long long>(c.nCodeComment),
                 static_cast<long long>(c.nBlank));
    std::abort();
}

Counts Count(Counter& counter, LineReader& lines)
{
    Counts c;
    counter.CountLines(lines, c.nLines, c.nCode, c.nComment, c.nCodeComment, c.nBlank);
    if (lines.Failed())
        Fail("read failed", c);
    return c;
}

// The lines and blank lines, worked out without the line reader.
void Expected(const std::string& strBytes, std::int64_t& nLines, std::int64_t& nBlank)
{
    nLines = nBlank = 0;
    bool bOpen = false; // a line has begun and is not terminated yet
    bool bBlank = true; // the current line holds only white space so far
    for (std::size_t i = 0; i < strBytes.size(); ++i)
    {
        const char c = strBytes[i];
        if (c == '\n' || c == '\r')
        {
            ++nLines;
            nBlank += bBlank;
            bOpen = false;
            bBlank = true;
            if (c == '\r' && i + 1 < strBytes.size() && strBytes[i + 1] == '\n')
                ++i;
            continue;
        }
        bOpen = true;
        if (!(c == ' ' || (c >= '\t' && c <= '\r')))
            bBlank = false;
    }
    if (bOpen)
    {
        ++nLines;
        nBlank += bBlank;
    }
}

// A marker as the rules file holds it, text, from any bytes: the bytes
// themselves when they are UTF-8, which the counters then search for as they
// are; otherwise one character per byte, searched for by its UTF-8 form.
wxString MarkerText(const std::string& str)
{
    const wxString strUtf8 = wxString::FromUTF8(str.data(), str.size());
    if (!strUtf8.empty() || str.empty())
        return strUtf8;
    wxString strOut;
    for (unsigned char c : str)
        strOut += static_cast<wchar_t>(c);
    return strOut;
}

std::unique_ptr<Counter> MakeCounter(int nKind)
{
    switch (nKind)
    {
    case 1:
        return std::make_unique<JspCounter>();
    case 2:
        return std::make_unique<AspxCounter>();
    case 3:
        return std::make_unique<PhpCounter>();
    case 4:
        return std::make_unique<TxtCounter>();
    default:
        return std::make_unique<CommentRuleCounter>();
    }
}

// The bytes in a memory file, read back in chunks of one size.
Counts CountInChunks(Counter& counter, const std::string& strBytes, std::size_t nChunk,
                     std::size_t nMaxLine = LineReader::DEFAULT_MAX_LINE)
{
    const int nFd = memfd_create("counted", MFD_CLOEXEC);
    if (nFd < 0 ||
        write(nFd, strBytes.data(), strBytes.size()) != static_cast<ssize_t>(strBytes.size()) ||
        lseek(nFd, 0, SEEK_SET) != 0)
        std::abort();
    std::vector<char> arrBuffer;
    LineReader lines(nFd, arrBuffer, nChunk, nMaxLine);
    const Counts c = Count(counter, lines);
    close(nFd);
    return c;
}

// The bytes as packets of varying sizes: each read returns one packet, as a
// slow or remote file system may return less than was asked for. False when
// the socket cannot hold them all (then there is nothing to compare).
bool CountInPieces(Counter& counter, const std::string& strBytes, std::uint32_t nSeed,
                   Counts& counts)
{
    int arrFds[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, arrFds) != 0)
        std::abort();
    std::size_t nPos = 0;
    bool bSent = true;
    for (int nPiece = 0; nPos < strBytes.size() && bSent; ++nPiece)
    {
        nSeed = nSeed * 1664525u + 1013904223u;
        std::size_t nSize = nPiece < 64 ? 1 + (nSeed >> 16) % 64 : strBytes.size() - nPos;
        nSize = std::min(nSize, strBytes.size() - nPos);
        bSent = send(arrFds[0], strBytes.data() + nPos, nSize, MSG_DONTWAIT) ==
                static_cast<ssize_t>(nSize);
        nPos += nSize;
    }
    close(arrFds[0]);
    if (bSent)
    {
        std::vector<char> arrBuffer;
        LineReader lines(arrFds[1], arrBuffer, std::max<std::size_t>(strBytes.size(), 1));
        counts = Count(counter, lines);
    }
    close(arrFds[1]);
    return bSent;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetUpWxForFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    FuzzedDataProvider data(pData, nSize);
    const int nKind = data.ConsumeIntegralInRange(0, 4);
    const std::size_t nChunk = data.ConsumeIntegralInRange<std::size_t>(1, 64);
    const std::size_t nMaxLine = data.ConsumeIntegralInRange<std::size_t>(1, 64);
    const std::uint32_t nSeed = data.ConsumeIntegral<std::uint32_t>();
    const std::string strSingle = data.ConsumeRandomLengthString(4);
    const std::string strBegin = data.ConsumeRandomLengthString(4);
    const std::string strEnd = data.ConsumeRandomLengthString(4);
    const std::string strBytes = data.ConsumeRemainingBytesAsString();

    const CounterRule rule("Fuzz", "", MarkerText(strSingle), MarkerText(strBegin),
                           MarkerText(strEnd));
    const std::unique_ptr<Counter> pCounter = MakeCounter(nKind);
    pCounter->m_pRule = &rule;

    LineReader whole(strBytes);
    const Counts c = Count(*pCounter, whole);

    std::int64_t nLines, nBlank;
    Expected(strBytes, nLines, nBlank);
    if (c.nLines != nLines)
        Fail("lines are not the terminators plus an unterminated last line", c);
    if (c.nBlank != nBlank)
        Fail("blank lines are not the lines of white space only", c);
    const std::int64_t nText = c.nLines - c.nBlank;
    if (c.nCode < 0 || c.nComment < 0 || c.nCodeComment < 0 || c.nCode > nText ||
        c.nComment > nText || c.nCodeComment > nText)
        Fail("a kind counts more lines than there are non-blank lines", c);
    if (nKind == 0 && c.nCode + c.nComment + c.nCodeComment + c.nBlank != c.nLines)
        Fail("the four kinds do not add up to the lines", c);
    if (nKind == 4 && c.nCode + c.nComment + c.nCodeComment != 0)
        Fail("plain text has code or comments", c);

    // The kinds of each line, which a comparison reads, add up to the count.
    LineKinds arrKinds;
    pCounter->ClassifyBytes(Counter::Markers(&rule), strBytes, arrKinds);
    Counts byKind;
    for (const std::uint8_t nLineKind : arrKinds)
    {
        ++byKind.nLines;
        byKind.nCode += (nLineKind & LineKind::CODE) != 0;
        byKind.nComment += (nLineKind & LineKind::COMMENT) != 0;
        byKind.nCodeComment += (nLineKind & LineKind::CODE_COMMENT) != 0;
        byKind.nBlank += (nLineKind & LineKind::BLANK) != 0;
    }
    if (!(byKind == c))
        Fail("the kinds of the lines do not add up to the count", byKind);

    if (!(CountInChunks(*pCounter, strBytes, nChunk) == c))
        Fail("reading in chunks counts differently", c);
    Counts pieces;
    if (CountInPieces(*pCounter, strBytes, nSeed, pieces) && !(pieces == c))
        Fail("reading in pieces counts differently", pieces);
    if (CountInChunks(*pCounter, strBytes, nChunk, nMaxLine).nLines != c.nLines)
        Fail("cutting over-long lines changes the number of lines", c);

    if (nKind == 0)
    {
        const int nFd = memfd_create("pieces", MFD_CLOEXEC);
        if (nFd < 0 ||
            write(nFd, strBytes.data(), strBytes.size()) != static_cast<ssize_t>(strBytes.size()))
            std::abort();
        const Counter::Markers markers(&rule);
        std::vector<char> arrBuffer;
        Counter::FileCounts counts;
        bool bInBlock = false;
        for (std::uint64_t nBegin = 0; nBegin < strBytes.size(); nBegin += nChunk)
        {
            const bool bLast = nBegin + nChunk >= strBytes.size();
            Counter::PieceCounts piece;
            pCounter->CountPiece(nFd,
                                 LineReader::Piece{nBegin, bLast ? UINT64_MAX : nBegin + nChunk},
                                 markers, arrBuffer, piece);
            piece.AddTo(bInBlock, counts);
        }
        close(nFd);
        const Counts joined{counts.nLines, counts.nCodeLines, counts.nCommentLines,
                            counts.nCodeCommentLines, counts.nBlankLines};
        if (!(joined == c) || counts.nSize != static_cast<std::int64_t>(strBytes.size()))
            Fail("counting in pieces counts differently", joined);
    }
    if (nKind == 0)
    {
        Counter::Markers markers(&rule);
        for (LineReader::ScanKind nScan :
             {LineReader::SCAN_PORTABLE, LineReader::SCAN_SSE2, LineReader::SCAN_AVX2})
        {
            if (!LineReader::HasScan(nScan))
                continue;
            markers.m_nScan = nScan;
            LineReader lines(strBytes);
            Counts counts;
            pCounter->CountLinesWith(markers, lines, counts.nLines, counts.nCode, counts.nComment,
                                     counts.nCodeComment, counts.nBlank);
            if (!(counts == c))
                Fail("scanning another way counts differently", counts);
        }
    }
    return 0;
}
