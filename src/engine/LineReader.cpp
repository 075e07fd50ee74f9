#include "engine/LineReader.h"

#include <cerrno>
#include <unistd.h>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace
{
using BlockBits = LineReader::BlockBits;
using MarkerBytes = LineReader::MarkerBytes;

void ScanBlocksPortable(const unsigned char* p, std::size_t nBlocks, const MarkerBytes& markers,
                        BlockBits* pBits)
{
    const auto starts = [](const LineReader::MarkerGroup& group, const unsigned char* q)
    {
        for (std::size_t j = 0; j < group.nCount; ++j)
        {
            if (q[0] == group.arrFirst[j] && (group.arrOneByte[j] || q[1] == group.arrSecond[j]))
                return true;
        }
        return false;
    };
    for (std::size_t nBlock = 0; nBlock < nBlocks; ++nBlock, p += 64)
    {
        BlockBits bits{};
        for (unsigned i = 0; i < 64; ++i)
        {
            const unsigned char c = p[i];
            const std::uint64_t nBit = std::uint64_t(1) << i;
            if (c == '\n' || c == '\r')
                bits.nTerm |= nBit;
            if (c == '\r' && p[i + 1] == '\n')
                bits.nCrLf |= nBit;
            if (!(c == ' ' || (c >= '\t' && c <= '\r')))
                bits.nText |= nBit;
            if (starts(markers.a, p + i))
                bits.nMarkA |= nBit;
            if (starts(markers.b, p + i))
                bits.nMarkB |= nBit;
        }
        pBits[nBlock] = bits;
    }
}

#if defined(__x86_64__)
// The vector scans below do what ScanBlocksPortable does. Each compare gives
// one byte of all ones per match; the mask of a block gathers their top bits.
// The numbers of markers are template arguments, so the loops over them
// unroll and keep their bytes in registers.

// The bytes of one group of markers spread over vectors.
template <std::size_t N> struct Needles16
{
    __m128i arrFirst[N > 0 ? N : 1];
    __m128i arrSecond[N > 0 ? N : 1];
    __m128i arrAny[N > 0 ? N : 1]; // all ones for a marker of one byte
};
template <std::size_t N> struct Needles32
{
    __m256i arrFirst[N > 0 ? N : 1];
    __m256i arrSecond[N > 0 ? N : 1];
    __m256i arrAny[N > 0 ? N : 1];
};

template <std::size_t NA, std::size_t NB>
void ScanBlocksSse2(const unsigned char* p, std::size_t nBlocks, const MarkerBytes& markers,
                    BlockBits* pBits)
{
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i four = _mm_set1_epi8(4);
    const __m128i space = _mm_set1_epi8(' ');
    Needles16<NA> a;
    Needles16<NB> b;
    const auto spread = [](auto& needles, const LineReader::MarkerGroup& group, std::size_t n)
    {
        for (std::size_t j = 0; j < n; ++j)
        {
            needles.arrFirst[j] = _mm_set1_epi8(static_cast<char>(group.arrFirst[j]));
            needles.arrSecond[j] = _mm_set1_epi8(static_cast<char>(group.arrSecond[j]));
            needles.arrAny[j] = _mm_set1_epi8(group.arrOneByte[j] ? -1 : 0);
        }
    };
    spread(a, markers.a, NA);
    spread(b, markers.b, NB);
    const auto load = [](const unsigned char* q)
    { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q)); };
    const auto bitsOf = [](__m128i m, unsigned nLane)
    { return std::uint64_t(static_cast<unsigned>(_mm_movemask_epi8(m))) << (16 * nLane); };
    const auto starts = [](const auto& needles, std::size_t n, __m128i v, __m128i next)
    {
        __m128i m = _mm_setzero_si128();
        for (std::size_t j = 0; j < n; ++j)
            m = _mm_or_si128(m,
                             _mm_and_si128(_mm_cmpeq_epi8(v, needles.arrFirst[j]),
                                           _mm_or_si128(_mm_cmpeq_epi8(next, needles.arrSecond[j]),
                                                        needles.arrAny[j])));
        return m;
    };

    for (std::size_t nBlock = 0; nBlock < nBlocks; ++nBlock, p += 64)
    {
        std::uint64_t nTerm = 0, nSpace = 0, nMarkA = 0, nMarkB = 0, nCrLf = 0;
        for (unsigned nLane = 0; nLane < 4; ++nLane)
        {
            const __m128i v = load(p + 16 * nLane);
            const __m128i next = load(p + 16 * nLane + 1);
            const __m128i isCr = _mm_cmpeq_epi8(v, cr);
            nTerm |= bitsOf(_mm_or_si128(isCr, _mm_cmpeq_epi8(v, lf)), nLane);
            nCrLf |= bitsOf(_mm_and_si128(isCr, _mm_cmpeq_epi8(next, lf)), nLane);
            // Tab to CR are the five bytes from 9: after subtracting 9 they
            // are the only ones left at 4 or below, compared without sign.
            const __m128i fromTab = _mm_sub_epi8(v, tab);
            nSpace |= bitsOf(_mm_or_si128(_mm_cmpeq_epi8(_mm_min_epu8(fromTab, four), fromTab),
                                          _mm_cmpeq_epi8(v, space)),
                             nLane);
            if (NA > 0)
                nMarkA |= bitsOf(starts(a, NA, v, next), nLane);
            if (NB > 0)
                nMarkB |= bitsOf(starts(b, NB, v, next), nLane);
        }
        pBits[nBlock] = BlockBits{nTerm, nCrLf, ~nSpace, nMarkA, nMarkB};
    }
}

// Built for AVX2 alone and called only where the processor has it.
#define LINECAST_AVX2 __attribute__((target("avx2")))

LINECAST_AVX2 inline __m256i Load32(const unsigned char* q)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q));
}

LINECAST_AVX2 inline std::uint64_t Bits32(__m256i m, unsigned nLane)
{
    return std::uint64_t(static_cast<unsigned>(_mm256_movemask_epi8(m))) << (32 * nLane);
}

template <std::size_t N>
LINECAST_AVX2 void Spread32(Needles32<N>& needles, const LineReader::MarkerGroup& group)
{
    for (std::size_t j = 0; j < N; ++j)
    {
        needles.arrFirst[j] = _mm256_set1_epi8(static_cast<char>(group.arrFirst[j]));
        needles.arrSecond[j] = _mm256_set1_epi8(static_cast<char>(group.arrSecond[j]));
        needles.arrAny[j] = _mm256_set1_epi8(group.arrOneByte[j] ? -1 : 0);
    }
}

template <std::size_t N>
LINECAST_AVX2 inline __m256i Starts32(const Needles32<N>& needles, __m256i v, __m256i next)
{
    __m256i m = _mm256_setzero_si256();
    for (std::size_t j = 0; j < N; ++j)
        m = _mm256_or_si256(
            m, _mm256_and_si256(_mm256_cmpeq_epi8(v, needles.arrFirst[j]),
                                _mm256_or_si256(_mm256_cmpeq_epi8(next, needles.arrSecond[j]),
                                                needles.arrAny[j])));
    return m;
}

template <std::size_t NA, std::size_t NB>
LINECAST_AVX2 void ScanBlocksAvx2(const unsigned char* p, std::size_t nBlocks,
                                  const MarkerBytes& markers, BlockBits* pBits)
{
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i tab = _mm256_set1_epi8('\t');
    const __m256i four = _mm256_set1_epi8(4);
    const __m256i space = _mm256_set1_epi8(' ');
    Needles32<NA> a;
    Needles32<NB> b;
    Spread32(a, markers.a);
    Spread32(b, markers.b);

    for (std::size_t nBlock = 0; nBlock < nBlocks; ++nBlock, p += 64)
    {
        std::uint64_t nTerm = 0, nSpace = 0, nMarkA = 0, nMarkB = 0, nCrLf = 0;
        for (unsigned nLane = 0; nLane < 2; ++nLane)
        {
            const __m256i v = Load32(p + 32 * nLane);
            const __m256i next = Load32(p + 32 * nLane + 1);
            const __m256i isCr = _mm256_cmpeq_epi8(v, cr);
            nTerm |= Bits32(_mm256_or_si256(isCr, _mm256_cmpeq_epi8(v, lf)), nLane);
            nCrLf |= Bits32(_mm256_and_si256(isCr, _mm256_cmpeq_epi8(next, lf)), nLane);
            const __m256i fromTab = _mm256_sub_epi8(v, tab);
            nSpace |=
                Bits32(_mm256_or_si256(_mm256_cmpeq_epi8(_mm256_min_epu8(fromTab, four), fromTab),
                                       _mm256_cmpeq_epi8(v, space)),
                       nLane);
            if (NA > 0)
                nMarkA |= Bits32(Starts32(a, v, next), nLane);
            if (NB > 0)
                nMarkB |= Bits32(Starts32(b, v, next), nLane);
        }
        pBits[nBlock] = BlockBits{nTerm, nCrLf, ~nSpace, nMarkA, nMarkB};
    }
}
#undef LINECAST_AVX2

// By the number of markers of each flag: [A * (MAX_PER_FLAG + 1) + B].
#define LINECAST_SCANS(SCAN)                                                                       \
    {                                                                                              \
        SCAN<0, 0>, SCAN<0, 1>, SCAN<0, 2>, SCAN<1, 0>, SCAN<1, 1>, SCAN<1, 2>, SCAN<2, 0>,        \
            SCAN<2, 1>, SCAN<2, 2>                                                                 \
    }
constexpr LineReader::ScanBlocksFn SSE2_SCANS[] = LINECAST_SCANS(ScanBlocksSse2);
constexpr LineReader::ScanBlocksFn AVX2_SCANS[] = LINECAST_SCANS(ScanBlocksAvx2);
#undef LINECAST_SCANS
static_assert(LineReader::MAX_PER_FLAG == 2 && std::size(SSE2_SCANS) == 9);
#endif
} // namespace

LineReader::ScanKind LineReader::BestScan()
{
    static const ScanKind nBest = HasScan(SCAN_AVX2)   ? SCAN_AVX2
                                  : HasScan(SCAN_SSE2) ? SCAN_SSE2
                                                       : SCAN_PORTABLE;
    return nBest;
}

bool LineReader::HasScan(ScanKind nKind)
{
    switch (nKind)
    {
#if defined(__x86_64__)
    case SCAN_SSE2:
        return true;
    case SCAN_AVX2:
        return __builtin_cpu_supports("avx2");
#endif
    case SCAN_PORTABLE:
        return true;
    default:
        return false;
    }
}

LineReader::LineReader(int nFd, std::vector<char>& arrBuffer, std::size_t nChunkSize,
                       std::size_t nMaxLine)
    : m_nFd(nFd), m_pBuffer(&arrBuffer), m_nChunkSize(std::max<std::size_t>(nChunkSize, 1)),
      m_nMaxLine(std::max<std::size_t>(nMaxLine, 1)), m_nScanKind(BestScan())
{
    SelectScan();
}

LineReader::LineReader(std::string_view bytes)
    : m_nScanKind(BestScan()), m_pData(bytes.data() ? bytes.data() : ""), m_nEnd(bytes.size()),
      m_nBytesRead(bytes.size()), m_bEof(true)
{
    SelectScan();
}

LineReader::LineReader(int nFd, std::vector<char>& arrBuffer, Piece piece, std::size_t nChunkSize,
                       std::size_t nMaxLine)
    : LineReader(nFd, arrBuffer, nChunkSize, nMaxLine)
{
    m_bPiece = true;
    // Its first line starts after the line end at or after the byte before
    // it; the first piece starts at the start of the file.
    m_bSeekingStart = piece.nBegin > 0;
    m_nReadAt = piece.nBegin > 0 ? piece.nBegin - 1 : 0;
    m_nPieceEnd = piece.nEnd;
    m_nPieceTaken = m_nReadAt;
}

void LineReader::Watch(std::string_view marker, unsigned nFlag)
{
    if (marker.empty())
        return;
    MarkerGroup& group = nFlag == LINE_MARK_A ? m_markers.a : m_markers.b;
    if (group.nCount == MAX_PER_FLAG)
    {
        m_nAlwaysFlags |= nFlag;
        return;
    }
    const std::size_t j = group.nCount++;
    group.arrFirst[j] = static_cast<unsigned char>(marker[0]);
    group.arrSecond[j] = marker.size() > 1 ? static_cast<unsigned char>(marker[1]) : 0;
    group.arrOneByte[j] = marker.size() == 1;
    SelectScan();
}

void LineReader::SetScan(ScanKind nKind)
{
    m_nScanKind = HasScan(nKind) ? nKind : SCAN_PORTABLE;
    SelectScan();
}

void LineReader::SelectScan()
{
    switch (m_nScanKind)
    {
#if defined(__x86_64__)
    case SCAN_SSE2:
        m_pScanBlocks = SSE2_SCANS[m_markers.a.nCount * (MAX_PER_FLAG + 1) + m_markers.b.nCount];
        return;
    case SCAN_AVX2:
        m_pScanBlocks = AVX2_SCANS[m_markers.a.nCount * (MAX_PER_FLAG + 1) + m_markers.b.nCount];
        return;
#endif
    default:
        m_pScanBlocks = ScanBlocksPortable;
        return;
    }
}

bool LineReader::FillBatch()
{
    m_arrFound.clear();
    m_nTaken = 0;
    const auto store = [this](std::string_view line, unsigned nFlags, const auto&)
    {
        m_arrFound.push_back(
            FoundLine{static_cast<std::size_t>(line.data() - m_pData), line.size(), nFlags});
    };
    // A few kilobytes at a time, so the batch stays small; the buffer moves
    // only when the batch is empty, when no line handed out before is still
    // needed.
    constexpr std::size_t WINDOW = 4096;
    while (m_arrFound.empty() && !m_bDone)
    {
        if (m_nScan < m_nEnd)
            ScanLines(store, m_nEnd - m_nScan > WINDOW ? m_nScan + WINDOW : m_nEnd);
        else if (m_bEof)
        {
            std::string_view line;
            unsigned nFlags;
            if (TakeLastLine(line, nFlags))
                store(line, nFlags, 0);
        }
        else
            Refill();
    }
    return !m_arrFound.empty();
}

void LineReader::Refill()
{
    if (!m_pBuffer)
    {
        m_bEof = true;
        return;
    }
    std::vector<char>& arrBuffer = *m_pBuffer;

    // Keep only what the next bytes belong to: the unfinished line, or the
    // kept part of an over-long one. Its flags so far stay in m_nPending, so
    // it is not scanned again.
    if (m_bCut)
        m_nEnd = m_nMaxLine;
    else
    {
        const std::size_t nCarry = m_nEnd - m_nPos;
        if (nCarry > m_nMaxLine)
        {
            std::memmove(arrBuffer.data(), arrBuffer.data() + m_nPos, m_nMaxLine);
            m_nEnd = m_nMaxLine;
            m_bCut = true;
        }
        else
        {
            if (nCarry > 0 && m_nPos > 0)
                std::memmove(arrBuffer.data(), arrBuffer.data() + m_nPos, nCarry);
            m_nEnd = nCarry;
        }
        m_nPos = 0;
    }
    // The last byte kept is looked at again with the bytes that follow it: a
    // marker may begin there and end in the next chunk. It is not a line end
    // (that would have left nothing to keep), so its line's flags only gain.
    m_nScan = m_nEnd > 0 ? m_nEnd - 1 : 0;

    // Doubling, but never past what the longest line kept needs: a step to
    // twice that would fill and copy as many bytes again at once, a long
    // moment without events for the window that counts on this thread.
    const std::size_t nNeed = m_nEnd + m_nChunkSize;
    if (arrBuffer.size() < nNeed)
        arrBuffer.resize(
            std::max(nNeed, std::min(arrBuffer.size() * 2, m_nMaxLine + m_nChunkSize)));
    m_pData = arrBuffer.data();

    const std::size_t nOld = m_nEnd;
    const std::uint64_t nOldOffset = m_nReadAt;
    ssize_t nRead = -1; // abandoned: ends as a failed read does
    if (!m_pGoOn || (*m_pGoOn)())
    {
        do
            nRead = m_bPiece ? ::pread(m_nFd, arrBuffer.data() + m_nEnd, m_nChunkSize,
                                       static_cast<off_t>(m_nReadAt))
                             : ::read(m_nFd, arrBuffer.data() + m_nEnd, m_nChunkSize);
        while (nRead < 0 && errno == EINTR);
    }
    if (nRead > 0)
    {
        m_nEnd += static_cast<std::size_t>(nRead);
        m_nBytesRead += static_cast<std::size_t>(nRead);
        m_nReadAt += static_cast<std::uint64_t>(nRead);
        if (m_bSkipLf && m_pData[m_nScan] == '\n')
        {
            // Nothing is carried after a line end: the next line begins
            // after the LF.
            ++m_nPos;
            ++m_nScan;
        }
        m_bSkipLf = false;
        if (m_bPiece)
            KeepToPiece(nOld, nOldOffset);
    }
    else
    {
        m_bEof = true;
        m_bFailed = nRead < 0;
        m_bSkipLf = false;
        if (m_bPiece && m_bSeekingStart)
        {
            // No line starts in the piece, and it reaches no further than
            // the piece before it: the file may even end before the piece
            // begins, when it was cut short after the pieces were planned.
            m_nPos = m_nScan = m_nEnd;
            m_nPieceTaken = 0;
        }
        else if (m_bPiece)
            m_nPieceTaken = m_nReadAt;
    }
}

void LineReader::KeepToPiece(std::size_t nOld, std::uint64_t nOldOffset)
{
    // Where a byte of the buffer stands in the file (the bytes before nOld
    // were read earlier, right before those from nOldOffset).
    const auto offsetOf = [&](std::size_t nAt) { return nOldOffset + nAt - nOld; };
    const auto indexOf = [&](std::uint64_t nOffset)
    { return nOffset > nOldOffset ? nOld + static_cast<std::size_t>(nOffset - nOldOffset) : nOld; };
    const auto firstEnd = [&](std::size_t nFrom)
    {
        for (std::size_t i = nFrom; i < m_nEnd; ++i)
        {
            if (m_pData[i] == '\n' || m_pData[i] == '\r')
                return i;
        }
        return m_nEnd;
    };
    const std::uint64_t nLast = m_nPieceEnd - 1; // the piece's last byte
    if (m_bSeekingStart)
    {
        // The bytes before the first line end are a line of the piece before;
        // a line end at or after the piece's last byte leaves it none.
        const std::size_t nLimit = offsetOf(m_nEnd) > nLast ? indexOf(nLast) : m_nEnd;
        const std::size_t nAt = firstEnd(m_nPos);
        if (nAt >= nLimit)
        {
            m_nPos = m_nScan = m_nEnd;
            m_bEof = nLimit < m_nEnd;
            return;
        }
        if (m_pData[nAt] == '\r' && nAt + 1 == m_nEnd)
        {
            // Whether an LF follows decides where the first line starts: the
            // CR is kept for the next chunk, and nothing is scanned yet.
            m_nPos = nAt;
            m_nScan = m_nEnd;
            return;
        }
        std::size_t nStart = nAt + 1;
        if (m_pData[nAt] == '\r' && m_pData[nStart] == '\n')
            ++nStart;
        m_bSeekingStart = false;
        m_nPos = m_nScan = nStart;
        m_nPieceTaken = offsetOf(nStart);
        if (m_nPieceTaken >= m_nPieceEnd)
        {
            m_nEnd = nStart;
            m_bEof = true;
            return;
        }
    }
    // The line that holds the piece's last byte is its last: it ends at the
    // first line end from there on, and the bytes after that are the next
    // piece's.
    if (m_nPieceEnd == UINT64_MAX || offsetOf(m_nEnd) <= nLast)
    {
        m_nPieceTaken = offsetOf(m_nEnd);
        return;
    }
    const std::size_t nAt = firstEnd(std::max(m_nPos, indexOf(nLast)));
    if (nAt == m_nEnd)
    {
        m_nPieceTaken = offsetOf(m_nEnd);
        return;
    }
    std::size_t nStop = nAt + 1;
    if (m_pData[nAt] == '\r' && nStop < m_nEnd && m_pData[nStop] == '\n')
        ++nStop;
    m_nEnd = nStop;
    m_bEof = true;
    m_nPieceTaken = offsetOf(nStop);
}

bool LineReader::TakeLastLine(std::string_view& line, unsigned& nFlags)
{
    m_bDone = true;
    if (m_nPos >= m_nEnd && !m_bCut)
        return false;
    std::size_t nLength = m_nEnd - m_nPos;
    nFlags = m_nPending | m_nAlwaysFlags;
    if (m_bCut || nLength > m_nMaxLine)
    {
        nFlags = LINE_ALL;
        nLength = std::min(nLength, m_nMaxLine);
    }
    line = std::string_view(m_pData + m_nPos, nLength);
    m_bCut = false;
    m_nPos = m_nEnd;
    return true;
}
