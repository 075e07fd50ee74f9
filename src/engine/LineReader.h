#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string_view>
#include <vector>

// Splits a file's bytes into lines at LF, CR LF or a lone CR, one byte per
// character. A last line without a terminator is still a line; terminators are
// not part of the lines. Lines are views into one buffer that is reused from
// line to line, so they stay valid only until the next line is taken.
//
// A file is read in fixed-size chunks and the unfinished last line of a chunk
// is carried over to the next, so memory follows the longest line, not the
// file. A line longer than the line limit is handed on cut to that limit (it
// still counts as one line) instead of letting one odd file exhaust memory.
//
// The bytes are examined 64 at a time with vector instructions where the
// machine has them: one pass finds the line ends and also tells, per line,
// whether it holds anything but white space and whether a watched comment
// marker may start in it, so a counter reads most lines no second time.
class LineReader
{
public:
    static constexpr std::size_t DEFAULT_CHUNK_SIZE = 256 * 1024;
    static constexpr std::size_t DEFAULT_MAX_LINE = 64 * 1024 * 1024;

    // What the flags of a line tell. A flag may be set although the line
    // turns out not to need it, never the other way round: a missing flag is
    // a certainty a counter may act on without reading the line.
    enum : unsigned
    {
        LINE_TEXT = 1,   // a byte other than white space may be in the line
        LINE_MARK_A = 2, // a marker watched with this flag may start in the line
        LINE_MARK_B = 4,
        LINE_ALL = LINE_TEXT | LINE_MARK_A | LINE_MARK_B,
    };
    static constexpr std::size_t MAX_WATCHED = 4;

    // How the bytes are examined: one at a time (any machine), or 16 or 32
    // at a time on x86-64 (SSE2 always, AVX2 where the processor has it).
    enum ScanKind
    {
        SCAN_PORTABLE,
        SCAN_SSE2,
        SCAN_AVX2,
    };
    // The fastest the machine has, and whether it has a given one.
    static ScanKind BestScan();
    static bool HasScan(ScanKind nKind);

    // Reads an open descriptor (not owned, not closed) through a buffer owned
    // by the caller, which may hand the same buffer to the next reader.
    LineReader(int nFd, std::vector<char>& arrBuffer, std::size_t nChunkSize = DEFAULT_CHUNK_SIZE,
               std::size_t nMaxLine = DEFAULT_MAX_LINE);
    // Splits bytes already in memory, without copying them.
    explicit LineReader(std::string_view bytes);
    struct Piece
    {
        std::uint64_t nBegin;
        std::uint64_t nEnd; // UINT64_MAX: to the end of the file
    };
    // Reads one piece of a file, its bytes from nBegin to nEnd, so that
    // pieces side by side give each line of the file once: a piece holds the
    // lines that start in it, the last of them read to its end wherever that
    // is. Reads by offset, so that pieces may share one descriptor.
    LineReader(int nFd, std::vector<char>& arrBuffer, Piece piece,
               std::size_t nChunkSize = DEFAULT_CHUNK_SIZE,
               std::size_t nMaxLine = DEFAULT_MAX_LINE);

    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Sets nFlag (LINE_MARK_A or LINE_MARK_B) on every line in which the
    // marker may start; before the first line is taken. An empty marker is
    // never found; with more than MAX_WATCHED / 2 markers for one flag, every
    // line has that flag.
    void Watch(std::string_view marker, unsigned nFlag);

    // Asked before each chunk is read; once it says no, reading ends as if
    // it failed. A count nobody will look at must not hold up whoever waits
    // for it, however large the file: a worker's count of a run that was
    // stopped, or the window's own count when the user presses Stop (its
    // check handles the window's pending events, so that the Stop can come).
    // Before the first line is taken.
    void GoOnWhile(const std::function<bool()>* pGoOn) { m_pGoOn = pGoOn; }

    // Another way to examine the bytes than the fastest, so tests can hold
    // them against each other; before the first line is taken. A kind the
    // machine does not have falls back to the portable one.
    void SetScan(ScanKind nKind);

    // Calls onLine(std::string_view line, unsigned nFlags, auto bitsOf) for
    // every line to the end of the file, all in one loop: the way to count.
    // bitsOf(LineBits&) gives the bits of the line's bytes when the line is
    // at most 64 bytes and they are at hand (false otherwise). Not to be
    // mixed with Next().
    template <class OnLine> __attribute__((always_inline)) void ForEachLine(OnLine onLine)
    {
        while (!m_bDone)
        {
            if (m_nScan < m_nEnd)
                ScanLines(onLine, m_nEnd);
            else if (m_bEof)
            {
                std::string_view line;
                unsigned nFlags;
                if (TakeLastLine(line, nFlags))
                    onLine(line, nFlags, [](LineBits&) { return false; });
            }
            else
                Refill();
        }
    }

    // The next line, or false at the end of the file (or after a read error).
    bool Next(std::string_view& line)
    {
        if (m_nTaken == m_arrFound.size() && !FillBatch())
            return false;
        const FoundLine& found = m_arrFound[m_nTaken++];
        line = std::string_view(m_pData + found.nBegin, found.nLength);
        m_nLineFlags = found.nFlags;
        return true;
    }
    // The flags of the line Next() gave last.
    unsigned LineFlags() const { return m_nLineFlags; }

    // True when reading the file failed part of the way through.
    bool Failed() const { return m_bFailed; }
    // The bytes read so far: the file's size once the last line is taken,
    // even when the file changed after it was opened.
    std::size_t BytesRead() const { return m_nBytesRead; }
    // For a piece: the offset in the file just after what it took, its last
    // line end or the end of the file.
    std::uint64_t PieceEnd() const { return m_nPieceTaken; }

    // The bits of one block of 64 bytes, one per byte.
    struct BlockBits
    {
        std::uint64_t nTerm; // LF or CR
        std::uint64_t nCrLf; // a CR followed by an LF
        std::uint64_t nText; // anything but space, tab, LF, VT, FF, CR
        // The first two bytes (one for a marker of one byte) of a marker
        // watched with LINE_MARK_A, of one watched with LINE_MARK_B.
        std::uint64_t nMarkA;
        std::uint64_t nMarkB;
    };
    // The bytes of one line, one bit per byte, bit 0 for its first byte; no
    // bits after its end.
    struct LineBits
    {
        std::uint64_t nText;
        std::uint64_t nMarkA;
        std::uint64_t nMarkB;
    };
    // The markers as the block scan looks for them: the first two bytes of
    // each (one for a marker of one byte), by the flag they set.
    static constexpr std::size_t MAX_PER_FLAG = MAX_WATCHED / 2;
    struct MarkerGroup
    {
        std::size_t nCount = 0;
        unsigned char arrFirst[MAX_PER_FLAG] = {};
        unsigned char arrSecond[MAX_PER_FLAG] = {};
        bool arrOneByte[MAX_PER_FLAG] = {};
    };
    struct MarkerBytes
    {
        MarkerGroup a; // LINE_MARK_A
        MarkerGroup b; // LINE_MARK_B
    };
    // Fills the bits of nBlocks blocks from p on; the byte after the last
    // block must be readable (it completes a CR LF or a marker).
    using ScanBlocksFn = void (*)(const unsigned char* p, std::size_t nBlocks,
                                  const MarkerBytes& markers, BlockBits* pBits);

private:
    static constexpr std::size_t GROUP = 16; // blocks scanned in one call

    // Lines Next() hands out, found some blocks at a time.
    struct FoundLine
    {
        std::size_t nBegin;
        std::size_t nLength;
        unsigned nFlags;
    };

    // Scans from m_nScan up to nStop (the end of the bytes read, or a block
    // boundary before it), calling onLine(line, nFlags, bitsOf) for each
    // line that ends there. The state lives in locals for the loop and goes
    // back into the members when it ends. Inlined into the caller's loop, so
    // what onLine keeps (a counter's counts) can stay in registers too.
    template <class OnLine>
    __attribute__((always_inline)) void ScanLines(OnLine& onLine, std::size_t nStop)
    {
        const char* const pData = m_pData;
        const std::size_t nEnd = m_nEnd;
        const std::size_t nMaxLine = m_nMaxLine;
        const unsigned nAlwaysFlags = m_nAlwaysFlags;
        std::size_t nPos = m_nPos;
        std::size_t nBase = m_nScan;
        unsigned nPending = m_nPending;
        bool bCut = m_bCut;

        BlockBits arrBits[GROUP];
        alignas(32) unsigned char arrTail[80];
        // The bits of the block before the one being scanned, as a line that
        // began there needs them; none at hand at first.
        BlockBits before{};
        bool bBefore = false;
        while (nBase < nStop)
        {
            const std::size_t nAvailable = nEnd - nBase;
            std::size_t nBlocks;
            std::uint64_t nLastValid = ~std::uint64_t(0);
            if (nAvailable > 64)
            {
                nBlocks = std::min(GROUP, std::min(nStop - nBase + 63, nAvailable - 1) / 64);
                m_pScanBlocks(reinterpret_cast<const unsigned char*>(pData) + nBase, nBlocks,
                              m_markers, arrBits);
            }
            else
            {
                // The last bytes read: scanned from a copy, so nothing past
                // them is touched, and their bits cut off after them.
                std::memcpy(arrTail, pData + nBase, nAvailable);
                std::memset(arrTail + nAvailable, 0, sizeof(arrTail) - nAvailable);
                m_pScanBlocks(arrTail, 1, m_markers, arrBits);
                nBlocks = 1;
                if (nAvailable < 64)
                    nLastValid = (std::uint64_t(1) << nAvailable) - 1;
            }

            for (std::size_t nBlock = 0; nBlock < nBlocks; ++nBlock)
            {
                BlockBits& bits = arrBits[nBlock];
                const std::uint64_t nValid = nBlock + 1 == nBlocks ? nLastValid : ~std::uint64_t(0);
                bits.nText &= nValid;
                // A marker that starts in the line makes it a candidate, even
                // if it would run on past the line's end.
                bits.nMarkA &= nValid;
                bits.nMarkB &= nValid;
                const std::uint64_t nText = bits.nText;
                const std::uint64_t nMarkA = bits.nMarkA;
                const std::uint64_t nMarkB = bits.nMarkB;
                const auto flagsOf = [nText, nMarkA, nMarkB](std::uint64_t nBits)
                {
                    return ((nText & nBits) != 0 ? LINE_TEXT : 0u) |
                           ((nMarkA & nBits) != 0 ? LINE_MARK_A : 0u) |
                           ((nMarkB & nBits) != 0 ? LINE_MARK_B : 0u);
                };

                // The first byte may already belong to the line end before
                // (the LF of a CR LF).
                std::uint64_t nCursor =
                    nPos > nBase ? ~std::uint64_t(0) << (nPos - nBase) : ~std::uint64_t(0);
                std::uint64_t nTerm = bits.nTerm & nValid & nCursor;
                while (nTerm != 0)
                {
                    const unsigned nBit = static_cast<unsigned>(__builtin_ctzll(nTerm));
                    const std::size_t nAt = nBase + nBit;
                    unsigned nFlags =
                        nPending | flagsOf(((std::uint64_t(1) << nBit) - 1) & nCursor);
                    const std::size_t nNext = nAt + 1 + ((bits.nCrLf >> nBit) & 1);
                    std::size_t nLength = nAt - nPos;
                    const bool bWhole = !bCut && nLength <= nMaxLine;
                    if (!bWhole)
                    {
                        // The flags cover bytes beyond the part handed on.
                        nFlags = LINE_ALL;
                        nLength = std::min(nLength, nMaxLine);
                        bCut = false;
                    }
                    const std::size_t nBegin = nPos;
                    const auto bitsOf = [&, nBegin, nLength, bWhole](LineBits& line)
                    {
                        if (!bWhole || nLength > 64)
                            return false;
                        const std::uint64_t nKeep =
                            nLength < 64 ? (std::uint64_t(1) << nLength) - 1 : ~std::uint64_t(0);
                        if (nBegin >= nBase)
                        {
                            const unsigned nShift = static_cast<unsigned>(nBegin - nBase);
                            line = LineBits{(nText >> nShift) & nKeep, (nMarkA >> nShift) & nKeep,
                                            (nMarkB >> nShift) & nKeep};
                            return true;
                        }
                        if (!bBefore)
                            return false;
                        // It began in the block before.
                        const unsigned nBack = static_cast<unsigned>(nBase - nBegin);
                        const auto join =
                            [nBack, nKeep](std::uint64_t nEarlier, std::uint64_t nLater)
                        {
                            const std::uint64_t nFromLater = nBack < 64 ? nLater << nBack : 0;
                            return ((nEarlier >> (64 - nBack)) | nFromLater) & nKeep;
                        };
                        line = LineBits{join(before.nText, nText), join(before.nMarkA, nMarkA),
                                        join(before.nMarkB, nMarkB)};
                        return true;
                    };
                    onLine(std::string_view(pData + nBegin, nLength), nFlags | nAlwaysFlags,
                           bitsOf);
                    nPending = 0;
                    nPos = nNext;
                    const std::size_t nOffset = nNext - nBase;
                    nCursor = nOffset < 64 ? ~std::uint64_t(0) << nOffset : 0;
                    nTerm &= nCursor;
                }
                // The rest of the block belongs to the current line.
                nPending |= flagsOf(nCursor);
                before = bits;
                bBefore = true;
                nBase += std::min<std::size_t>(nEnd - nBase, 64);
            }
        }
        // A CR that ends the bytes read is a line end whatever follows; an LF
        // right after it, still in the file, belongs to it.
        if (nPos == nEnd && nEnd > 0 && pData[nEnd - 1] == '\r' && !m_bEof)
            m_bSkipLf = true;
        m_nPos = nPos;
        m_nScan = nBase;
        m_nPending = nPending;
        m_bCut = bCut;
    }

    // Fills the batch Next() hands out; false when there are no more lines.
    bool FillBatch();
    // Reads the next chunk behind the unfinished line.
    void Refill();
    // For a piece: passes over the bytes before its first line, and ends the
    // bytes at the end of the line that holds its last byte.
    void KeepToPiece(std::size_t nOld, std::uint64_t nOldOffset);
    // The line without a terminator at the end of the file, if there is one.
    bool TakeLastLine(std::string_view& line, unsigned& nFlags);

    // Picks the block scan for the kind and the number of markers.
    void SelectScan();

    int m_nFd = -1;
    std::vector<char>* m_pBuffer = nullptr; // borrowed; null when splitting memory
    const std::function<bool()>* m_pGoOn = nullptr;
    std::size_t m_nChunkSize = DEFAULT_CHUNK_SIZE;
    std::size_t m_nMaxLine = DEFAULT_MAX_LINE;
    ScanKind m_nScanKind;
    ScanBlocksFn m_pScanBlocks;
    MarkerBytes m_markers;

    const char* m_pData = nullptr;
    std::size_t m_nPos = 0;  // start of the current line
    std::size_t m_nScan = 0; // the bytes before it have been scanned
    std::size_t m_nEnd = 0;  // end of the bytes read so far
    std::size_t m_nBytesRead = 0;
    unsigned m_nPending = 0;     // flags of the current line's bytes scanned so far
    unsigned m_nAlwaysFlags = 0; // when there are more markers than the scan looks for

    std::vector<FoundLine> m_arrFound;
    std::size_t m_nTaken = 0;
    unsigned m_nLineFlags = 0;

    // Reading a piece: where the next read starts, where the piece ends, and
    // how far into the file the lines it took reach.
    bool m_bPiece = false;
    bool m_bSeekingStart = false; // its first line has not been found yet
    std::uint64_t m_nReadAt = 0;
    std::uint64_t m_nPieceEnd = UINT64_MAX;
    std::uint64_t m_nPieceTaken = 0;

    bool m_bEof = false;
    bool m_bFailed = false;
    bool m_bDone = false; // the last line has been taken
    // The last line ended with the last byte read, a CR: an LF that comes
    // first in the next chunk is part of that line end.
    bool m_bSkipLf = false;
    // The current line is over the limit: its first m_nMaxLine bytes stand at
    // the start of the buffer and the rest is being passed over.
    bool m_bCut = false;
};
