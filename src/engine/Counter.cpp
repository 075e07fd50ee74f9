#include "engine/Counter.h"

#include "engine/LineReader.h"
#include "engine/NativePath.h"

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <wx/datetime.h>

namespace
{
// Files are read as bytes, and sources on Linux are UTF-8: a marker is found
// where its UTF-8 bytes stand. The section sign U+00A7 is searched as C2 A7,
// never as the lone byte A7 that ends it.
std::string ToBytes(const wxString& str)
{
    const wxScopedCharBuffer buf = str.utf8_str();
    return std::string(buf.data(), buf.length());
}

bool MatchesAt(std::string_view text, std::size_t nPos, std::string_view marker)
{
    return !marker.empty() && text.size() - nPos >= marker.size() &&
           std::memcmp(text.data() + nPos, marker.data(), marker.size()) == 0;
}

// Markers are short: find their first byte with memchr and compare the rest,
// which beats a general substring search on lines of source.
std::size_t FindMarkerPortable(std::string_view text, std::string_view marker, std::size_t nFrom)
{
    if (marker.empty() || nFrom >= text.size() || marker.size() > text.size() - nFrom)
        return std::string_view::npos;
    const char* p = text.data() + nFrom;
    const char* const pLast = text.data() + text.size() - marker.size();
    const char cFirst = marker[0];
    const std::size_t nRest = marker.size() - 1;
    while (p <= pLast)
    {
        p = static_cast<const char*>(std::memchr(p, cFirst, pLast - p + 1));
        if (!p)
            break;
        if (std::memcmp(p + 1, marker.data() + 1, nRest) == 0)
            return static_cast<std::size_t>(p - text.data());
        ++p;
    }
    return std::string_view::npos;
}

// Markers are a few bytes: compared in place, as a library call would cost
// more than the comparison.
bool MatchesHere(const char* p, std::string_view marker)
{
    for (std::size_t i = 0; i < marker.size(); ++i)
    {
        if (p[i] != marker[i])
            return false;
    }
    return true;
}

// Finds the comment that starts first outside a block: sets nBegin when a
// block comment opens first (it wins a tie), nSingle when a single-line
// comment does; the other stays npos. Only the text up to that comment is read.
void FindFirstComment(const Counter::Markers& markers, std::string_view text, std::size_t& nSingle,
                      std::size_t& nBegin)
{
    constexpr std::size_t npos = std::string_view::npos;
    const std::string& strSingle = markers.m_strSingle;
    const std::string& strBegin = markers.m_strBegin;
    nSingle = npos;
    nBegin = npos;
    if (!strSingle.empty() && !strBegin.empty() && strSingle[0] == strBegin[0])
    {
        // One scan for the byte both start with, as with "//" and "/*".
        for (std::size_t nPos = 0;; ++nPos)
        {
            const void* p = std::memchr(text.data() + nPos, strBegin[0], text.size() - nPos);
            if (!p)
                return;
            nPos = static_cast<std::size_t>(static_cast<const char*>(p) - text.data());
            if (MatchesAt(text, nPos, strBegin))
            {
                nBegin = nPos;
                return;
            }
            if (MatchesAt(text, nPos, strSingle))
            {
                nSingle = nPos;
                return;
            }
        }
    }
    nBegin = FindMarkerPortable(text, strBegin, 0);
    // A single-line marker counts only if it starts before the block begin.
    nSingle = FindMarkerPortable(
        nBegin == npos ? text : text.substr(0, nBegin + strSingle.size() - 1), strSingle, 0);
    if (nSingle != npos)
        nBegin = npos;
}

enum : unsigned
{
    KIND_COMMENT = 1,
    KIND_CODE = 2,
    KIND_IN_BLOCK = 4, // a block comment is open after the line
};

// The kind of one whole line (neither flag for a blank one) and the open
// block after it.
__attribute__((noinline)) unsigned ClassifyText(const Counter::Markers& markers,
                                                std::string_view line, bool bInBlock)
{
    bool bComment = false;
    bool bCode = false;
    Counter::ClassifyLine(markers, line, bComment, bCode, bInBlock);
    return (bComment ? KIND_COMMENT : 0u) | (bCode ? KIND_CODE : 0u) |
           (bInBlock ? KIND_IN_BLOCK : 0u);
}

// The same from where the line's non-blank bytes and marker candidates stand
// (bit 0 for its first byte), with no search through its bytes: at each
// candidate, in order, the block-begin marker is tried before the single-line
// one, so the first comment to start wins and a tie goes to the block. A
// marker counts only within the line's trimmed text.
__attribute__((noinline)) unsigned ClassifyBits(const Counter::Markers& markers,
                                                std::string_view line,
                                                const LineReader::LineBits& bits, bool bInBlock)
{
    const std::uint64_t nText = bits.nText;
    if (nText == 0)
        return bInBlock ? KIND_IN_BLOCK : 0u;
    const std::size_t nTextEnd = 64 - static_cast<std::size_t>(__builtin_clzll(nText));
    const auto from = [](std::size_t nPos)
    { return nPos < 64 ? ~std::uint64_t(0) << nPos : std::uint64_t(0); };
    const auto isAt = [&](std::size_t nAt, const std::string& strMarker)
    {
        return !strMarker.empty() && nAt + strMarker.size() <= nTextEnd &&
               MatchesHere(line.data() + nAt, strMarker);
    };

    unsigned nKind = 0;
    std::size_t nPos = 0;
    for (;;)
    {
        const std::uint64_t nRest = nText & from(nPos);
        if (nRest == 0)
            break;
        const std::size_t nStart = static_cast<std::size_t>(__builtin_ctzll(nRest));
        if (bInBlock)
        {
            nKind |= KIND_COMMENT;
            std::uint64_t nCandidates = bits.nMarkB & from(nStart);
            while (nCandidates != 0 &&
                   !isAt(static_cast<std::size_t>(__builtin_ctzll(nCandidates)), markers.m_strEnd))
                nCandidates &= nCandidates - 1;
            if (nCandidates == 0)
                break;
            bInBlock = false;
            nPos = static_cast<std::size_t>(__builtin_ctzll(nCandidates)) + markers.m_strEnd.size();
            continue;
        }
        bool bBegin = false;
        std::size_t nAt = 0;
        std::uint64_t nCandidates = bits.nMarkA & from(nStart);
        for (; nCandidates != 0; nCandidates &= nCandidates - 1)
        {
            nAt = static_cast<std::size_t>(__builtin_ctzll(nCandidates));
            if (isAt(nAt, markers.m_strBegin))
            {
                bBegin = true;
                break;
            }
            if (isAt(nAt, markers.m_strSingle))
                break;
        }
        if (nCandidates == 0)
        {
            nKind |= KIND_CODE;
            break;
        }
        nKind |= KIND_COMMENT | (nAt != nStart ? KIND_CODE : 0u);
        if (!bBegin)
            break;
        bInBlock = true;
        nPos = nAt + markers.m_strBegin.size();
    }
    return nKind | (bInBlock ? KIND_IN_BLOCK : 0u);
}
} // namespace

Counter::Markers::Markers(const CounterRule* pRule)
{
    if (!pRule)
        return;
    m_strSingle = ToBytes(pRule->m_strSingleLineComment);
    m_strBegin = ToBytes(pRule->m_strMultiLineCommentBegin);
    m_strEnd = ToBytes(pRule->m_strMultiLineCommentEnd);
}

std::size_t Counter::Find(std::string_view text, std::string_view marker, std::size_t nFrom)
{
    return FindMarkerPortable(text, marker, nFrom);
}

void Counter::FileCounts::ApplyTo(FileResult& file) const
{
    if (nDate == DATE_INVALID)
        file.m_dtModified = wxDateTime();
    else if (nDate == DATE_FILE)
        file.m_dtModified = wxDateTime(tModified);
    file.m_bUnreadable = bUnreadable;
    if (bUnreadable)
        return;
    file.m_nSize = nSize;
    file.m_nLines = nLines;
    file.m_nCodeLines = nCodeLines;
    file.m_nCommentLines = nCommentLines;
    file.m_nCodeCommentLines = nCodeCommentLines;
    file.m_nBlankLines = nBlankLines;
}

Counter::FileCounts Counter::CountFile(FileResult& file, const std::function<bool()>* pGoOn)
{
    // One read buffer per thread, reused for every file.
    thread_local std::vector<char> arrBuffer;
    FileCounts counts;
    CountPath(NativePath::ToBytes(file.m_strPath), Markers(m_pRule), arrBuffer, counts, pGoOn);
    counts.ApplyTo(file);
    return counts;
}

void Counter::CountPath(const std::string& strPath, const Markers& markers,
                        std::vector<char>& arrBuffer, FileCounts& counts,
                        const std::function<bool()>* pGoOn)
{
    std::uint64_t nSize;
    const int nFd = OpenToCount(strPath, counts, nSize);
    if (nFd < 0)
        return;
    CountOpened(nFd, markers, arrBuffer, counts, pGoOn);
    ::close(nFd);
}

int Counter::OpenToCount(const std::string& strPath, FileCounts& counts, std::uint64_t& nSize)
{
    // Until it has been read to the end, the file counts as one that could
    // not be read.
    counts = FileCounts();
    // Non-blocking, so that opening a FIFO returns at once; it is then turned
    // away below, as are devices and sockets. By the path's real bytes, which
    // may not be UTF-8, at any depth.
    const int nFd = NativePath::Open(strPath, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (nFd < 0)
        return -1;
    struct stat st;
    if (::fstat(nFd, &st) != 0)
    {
        ::close(nFd);
        counts.nDate = FileCounts::DATE_INVALID;
        return -1;
    }
    if (!S_ISREG(st.st_mode))
    {
        ::close(nFd);
        return -1;
    }
    counts.id = FileId(st);
    counts.bHardLinked = st.st_nlink > 1;
    counts.nDate = FileCounts::DATE_FILE;
    counts.tModified = static_cast<std::time_t>(st.st_mtime);
    nSize = static_cast<std::uint64_t>(st.st_size);
    return nFd;
}

void Counter::CountOpened(int nFd, const Markers& markers, std::vector<char>& arrBuffer,
                          FileCounts& counts, const std::function<bool()>* pGoOn)
{
    ::posix_fadvise(nFd, 0, 0, POSIX_FADV_SEQUENTIAL);
    std::int64_t nLines = 0, nCodeLines = 0, nCommentLines = 0, nCodeCommentLines = 0,
                 nBlankLines = 0;
    bool bFailed;
    std::size_t nBytesRead;
    {
        LineReader lines(nFd, arrBuffer);
        lines.GoOnWhile(pGoOn);
        CountLinesWith(markers, lines, nLines, nCodeLines, nCommentLines, nCodeCommentLines,
                       nBlankLines);
        bFailed = lines.Failed();
        nBytesRead = lines.BytesRead();
    }
    ShrinkBuffer(arrBuffer);
    if (bFailed)
        return;

    counts.bUnreadable = false;
    // What was counted, not what the file held when it was opened: a file
    // that shrinks or grows meanwhile must not get a size its lines disagree
    // with.
    counts.nSize = static_cast<std::int64_t>(nBytesRead);
    counts.nLines = nLines;
    counts.nCodeLines = nCodeLines;
    counts.nCommentLines = nCommentLines;
    counts.nCodeCommentLines = nCodeCommentLines;
    counts.nBlankLines = nBlankLines;
}

void Counter::ShrinkBuffer(std::vector<char>& arrBuffer)
{
    // A very long line grows the buffer; do not keep that memory for the
    // thousands of ordinary files that follow.
    if (arrBuffer.size() > 4 * LineReader::DEFAULT_CHUNK_SIZE)
        std::vector<char>().swap(arrBuffer);
}

void Counter::CountPiece(int nFd, LineReader::Piece piece, const Markers& markers,
                         std::vector<char>& arrBuffer, PieceCounts& counts,
                         const std::function<bool()>* pGoOn)
{
    counts = PieceCounts();
    {
        LineReader lines(nFd, arrBuffer, piece);
        lines.GoOnWhile(pGoOn);
        CountPieceLines(markers, lines, counts);
        counts.bFailed = lines.Failed();
        counts.nEnd = lines.PieceEnd();
    }
    ShrinkBuffer(arrBuffer);
}

void Counter::PieceCounts::AddTo(bool& bInBlock, FileCounts& counts) const
{
    const Tally& tally = arrTally[bInBlock];
    counts.nLines += tally.nLines;
    counts.nCodeLines += tally.nCode;
    counts.nCommentLines += tally.nComment;
    counts.nCodeCommentLines += tally.nBoth;
    counts.nBlankLines += tally.nBlank;
    counts.nSize = std::max(counts.nSize, static_cast<std::int64_t>(nEnd));
    bInBlock = arrEndsInBlock[bInBlock];
}

void Counter::CountByRule(LineReader& lines, const CounterRule* pRule, std::int64_t& nLines,
                          std::int64_t& nCodeLines, std::int64_t& nCommentLines,
                          std::int64_t& nCodeCommentLines, std::int64_t& nBlankLines)
{
    CountByRule(lines, Markers(pRule), nLines, nCodeLines, nCommentLines, nCodeCommentLines,
                nBlankLines);
}

namespace
{
// Tells the scan what to look for.
void WatchMarkers(LineReader& lines, const Counter::Markers& markers)
{
    // Outside a block comment only the single-line and block-begin markers
    // can change a line's kind, inside one only the block end.
    lines.SetScan(markers.m_nScan);
    lines.Watch(markers.m_strSingle, LineReader::LINE_MARK_A);
    lines.Watch(markers.m_strBegin, LineReader::LINE_MARK_A);
    lines.Watch(markers.m_strEnd, LineReader::LINE_MARK_B);
}

// The kind of one line (KIND_ bits; neither comment nor code for a blank
// one) and whether a block comment is open after it.
template <class BitsOf>
__attribute__((always_inline)) inline unsigned KindOfLine(const Counter::Markers& markers,
                                                          std::string_view line, unsigned nFlags,
                                                          const BitsOf& bitsOf, bool bInBlock)
{
    // Most lines hold no marker that matters where they stand: blank, or
    // code outside a block comment and comment inside one.
    const bool bText = nFlags & LineReader::LINE_TEXT;
    const unsigned nMark = bInBlock ? LineReader::LINE_MARK_B : LineReader::LINE_MARK_A;
    const bool bMark = (nFlags & nMark) != 0;
    if (!(bText & bMark))
        return bInBlock ? (bText ? KIND_COMMENT : 0u) | KIND_IN_BLOCK : (bText ? KIND_CODE : 0u);
    // Out of line and by value, so that nothing of the loop's state has to
    // live in memory for it. From the bits the scan found when they are at
    // hand, else from the bytes.
    LineReader::LineBits bits;
    return markers.m_nScan != LineReader::SCAN_PORTABLE && bitsOf(bits)
               ? ClassifyBits(markers, line, bits, bInBlock)
               : ClassifyText(markers, line, bInBlock);
}

// Adds one line of a kind, without a branch: the kinds of lines follow no
// pattern a processor could foresee.
void Tally(unsigned nKind, Counter::PieceCounts::Tally& tally)
{
    const unsigned nWhat = nKind & (KIND_COMMENT | KIND_CODE);
    ++tally.nLines;
    tally.nBlank += nWhat == 0;
    tally.nComment += nWhat == KIND_COMMENT;
    tally.nCode += nWhat == KIND_CODE;
    tally.nBoth += nWhat == (KIND_COMMENT | KIND_CODE);
}

// Classifies every line by the rule's markers and hands onWhat its kind
// (KIND_COMMENT and KIND_CODE bits): the one loop behind the count and the
// kinds of each line.
template <class OnWhat>
__attribute__((always_inline)) inline void
ForEachRuleKind(LineReader& lines, const Counter::Markers& markers, OnWhat onWhat)
{
    WatchMarkers(lines, markers);
    // A block comment left open at the end of a file ends with it.
    bool bInBlock = false;
    lines.ForEachLine(
        [&](std::string_view line, unsigned nFlags, const auto& bitsOf)
        {
            const unsigned nKind = KindOfLine(markers, line, nFlags, bitsOf, bInBlock);
            bInBlock = nKind & KIND_IN_BLOCK;
            onWhat(nKind & (KIND_COMMENT | KIND_CODE));
        });
}
} // namespace

void Counter::CountByRule(LineReader& lines, const Markers& markers, std::int64_t& nLines,
                          std::int64_t& nCodeLines, std::int64_t& nCommentLines,
                          std::int64_t& nCodeCommentLines, std::int64_t& nBlankLines)
{
    // Kept in locals, not through the references, so they can stay in
    // registers over the loop.
    std::int64_t nTotal = 0, nCode = 0, nComment = 0, nBoth = 0, nBlank = 0;
    ForEachRuleKind(lines, markers,
                    [&](unsigned nWhat)
                    {
                        // Without a branch: the kinds of lines follow no
                        // pattern a processor could foresee.
                        ++nTotal;
                        nBlank += nWhat == 0;
                        nComment += nWhat == KIND_COMMENT;
                        nCode += nWhat == KIND_CODE;
                        nBoth += nWhat == (KIND_COMMENT | KIND_CODE);
                    });
    nLines += nTotal;
    nCodeLines += nCode;
    nCommentLines += nComment;
    nCodeCommentLines += nBoth;
    nBlankLines += nBlank;
}

void Counter::ClassifyByRule(LineReader& lines, const Markers& markers, LineKinds& arrKinds)
{
    // By the KIND_COMMENT and KIND_CODE bits.
    static constexpr std::uint8_t KINDS[] = {LineKind::BLANK, LineKind::COMMENT, LineKind::CODE,
                                             LineKind::CODE_COMMENT};
    ForEachRuleKind(lines, markers, [&](unsigned nWhat) { arrKinds.push_back(KINDS[nWhat]); });
}

void Counter::ClassifyBytes(const Markers& markers, std::string_view bytes, LineKinds& arrKinds)
{
    LineReader lines(bytes);
    ClassifyLinesWith(markers, lines, arrKinds);
}

void Counter::CountByRuleBothWays(LineReader& lines, const Markers& markers, PieceCounts& counts)
{
    WatchMarkers(lines, markers);
    // Each line is classified for both states until the two agree after a
    // line (the first block marker usually makes them), then once for both.
    bool arrInBlock[2] = {false, true};
    bool bSame = false;
    PieceCounts::Tally same;
    lines.ForEachLine(
        [&](std::string_view line, unsigned nFlags, const auto& bitsOf)
        {
            if (bSame)
            {
                const unsigned nKind = KindOfLine(markers, line, nFlags, bitsOf, arrInBlock[0]);
                arrInBlock[0] = nKind & KIND_IN_BLOCK;
                Tally(nKind, same);
                return;
            }
            for (int i = 0; i < 2; ++i)
            {
                const unsigned nKind = KindOfLine(markers, line, nFlags, bitsOf, arrInBlock[i]);
                arrInBlock[i] = nKind & KIND_IN_BLOCK;
                Tally(nKind, counts.arrTally[i]);
            }
            bSame = arrInBlock[0] == arrInBlock[1];
        });
    for (int i = 0; i < 2; ++i)
    {
        PieceCounts::Tally& tally = counts.arrTally[i];
        tally.nLines += same.nLines;
        tally.nCode += same.nCode;
        tally.nComment += same.nComment;
        tally.nBoth += same.nBoth;
        tally.nBlank += same.nBlank;
        counts.arrEndsInBlock[i] = bSame ? arrInBlock[0] : arrInBlock[i];
    }
}

void Counter::ClassifyLine(const Markers& markers, std::string_view text, bool& bComment,
                           bool& bCode, bool& bInBlock)
{
    constexpr std::size_t npos = std::string_view::npos;
    // Each pass handles one comment and goes on with the rest of the line; a
    // loop rather than recursion, so a long line of many short block comments
    // cannot exhaust the stack.
    for (;;)
    {
        text = Trim(text);
        if (text.empty())
            return;

        if (bInBlock)
        {
            bComment = true;
            const std::size_t nEnd = Find(text, markers.m_strEnd);
            if (nEnd == npos)
                return;
            bInBlock = false;
            text.remove_prefix(nEnd + markers.m_strEnd.size());
            continue;
        }

        std::size_t nSingle;
        std::size_t nBegin;
        FindFirstComment(markers, text, nSingle, nBegin);
        if (nSingle != npos)
        {
            // The rest of the line is a comment; block markers in it mean nothing.
            bComment = true;
            if (nSingle != 0)
                bCode = true;
            return;
        }
        if (nBegin == npos)
        {
            bCode = true;
            return;
        }
        // A block comment opens here; where both markers start at the same
        // position the block comment wins.
        bInBlock = true;
        bComment = true;
        if (nBegin != 0)
            bCode = true;
        text.remove_prefix(nBegin + markers.m_strBegin.size());
    }
}
