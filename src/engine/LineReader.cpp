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
            for (std::size_t j = 0; j < markers.nCount; ++j)
            {
                if (c == markers.arrFirst[j] &&
                    (markers.arrOneByte[j] || p[i + 1] == markers.arrSecond[j]))
                    (markers.arrInA[j] ? bits.nMarkA : bits.nMarkB) |= nBit;
            }
        }
        pBits[nBlock] = bits;
    }
}

#if defined(__x86_64__)
// The vector scans below do what ScanBlocksPortable does. Each compare gives
// one byte of all ones per match; the mask of a block gathers their top bits.
// The marker count is a template argument, so the loop over the markers
// unrolls and keeps their bytes in registers.

template <std::size_t N>
void ScanBlocksSse2(const unsigned char* p, std::size_t nBlocks, const MarkerBytes& markers,
                    BlockBits* pBits)
{
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i four = _mm_set1_epi8(4);
    const __m128i space = _mm_set1_epi8(' ');
    __m128i arrFirst[N > 0 ? N : 1];
    __m128i arrSecond[N > 0 ? N : 1];
    __m128i arrAny[N > 0 ? N : 1]; // all ones for a marker of one byte
    __m128i arrInA[N > 0 ? N : 1]; // all ones for a marker that sets LINE_MARK_A
    for (std::size_t j = 0; j < N; ++j)
    {
        arrFirst[j] = _mm_set1_epi8(static_cast<char>(markers.arrFirst[j]));
        arrSecond[j] = _mm_set1_epi8(static_cast<char>(markers.arrSecond[j]));
        arrAny[j] = _mm_set1_epi8(markers.arrOneByte[j] ? -1 : 0);
        arrInA[j] = _mm_set1_epi8(markers.arrInA[j] ? -1 : 0);
    }
    const auto load = [](const unsigned char* q)
    { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q)); };
    const auto bitsOf = [](__m128i m, unsigned nLane)
    { return std::uint64_t(static_cast<unsigned>(_mm_movemask_epi8(m))) << (16 * nLane); };

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
            if (N > 0)
            {
                __m128i a = _mm_setzero_si128();
                __m128i b = _mm_setzero_si128();
                for (std::size_t j = 0; j < N; ++j)
                {
                    const __m128i m =
                        _mm_and_si128(_mm_cmpeq_epi8(v, arrFirst[j]),
                                      _mm_or_si128(_mm_cmpeq_epi8(next, arrSecond[j]), arrAny[j]));
                    a = _mm_or_si128(a, _mm_and_si128(m, arrInA[j]));
                    b = _mm_or_si128(b, _mm_andnot_si128(arrInA[j], m));
                }
                nMarkA |= bitsOf(a, nLane);
                nMarkB |= bitsOf(b, nLane);
            }
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
LINECAST_AVX2 void ScanBlocksAvx2(const unsigned char* p, std::size_t nBlocks,
                                  const MarkerBytes& markers, BlockBits* pBits)
{
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i tab = _mm256_set1_epi8('\t');
    const __m256i four = _mm256_set1_epi8(4);
    const __m256i space = _mm256_set1_epi8(' ');
    __m256i arrFirst[N > 0 ? N : 1];
    __m256i arrSecond[N > 0 ? N : 1];
    __m256i arrAny[N > 0 ? N : 1];
    __m256i arrInA[N > 0 ? N : 1];
    for (std::size_t j = 0; j < N; ++j)
    {
        arrFirst[j] = _mm256_set1_epi8(static_cast<char>(markers.arrFirst[j]));
        arrSecond[j] = _mm256_set1_epi8(static_cast<char>(markers.arrSecond[j]));
        arrAny[j] = _mm256_set1_epi8(markers.arrOneByte[j] ? -1 : 0);
        arrInA[j] = _mm256_set1_epi8(markers.arrInA[j] ? -1 : 0);
    }

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
            if (N > 0)
            {
                __m256i a = _mm256_setzero_si256();
                __m256i b = _mm256_setzero_si256();
                for (std::size_t j = 0; j < N; ++j)
                {
                    const __m256i m = _mm256_and_si256(
                        _mm256_cmpeq_epi8(v, arrFirst[j]),
                        _mm256_or_si256(_mm256_cmpeq_epi8(next, arrSecond[j]), arrAny[j]));
                    a = _mm256_or_si256(a, _mm256_and_si256(m, arrInA[j]));
                    b = _mm256_or_si256(b, _mm256_andnot_si256(arrInA[j], m));
                }
                nMarkA |= Bits32(a, nLane);
                nMarkB |= Bits32(b, nLane);
            }
        }
        pBits[nBlock] = BlockBits{nTerm, nCrLf, ~nSpace, nMarkA, nMarkB};
    }
}
#undef LINECAST_AVX2

constexpr LineReader::ScanBlocksFn SSE2_SCANS[] = {
    ScanBlocksSse2<0>, ScanBlocksSse2<1>, ScanBlocksSse2<2>, ScanBlocksSse2<3>, ScanBlocksSse2<4>,
};
constexpr LineReader::ScanBlocksFn AVX2_SCANS[] = {
    ScanBlocksAvx2<0>, ScanBlocksAvx2<1>, ScanBlocksAvx2<2>, ScanBlocksAvx2<3>, ScanBlocksAvx2<4>,
};
static_assert(std::size(SSE2_SCANS) == LineReader::MAX_WATCHED + 1);
static_assert(std::size(AVX2_SCANS) == LineReader::MAX_WATCHED + 1);
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

void LineReader::Watch(std::string_view marker, unsigned nFlag)
{
    if (marker.empty())
        return;
    if (m_markers.nCount == MAX_WATCHED)
    {
        m_nAlwaysFlags |= nFlag;
        return;
    }
    const std::size_t j = m_markers.nCount++;
    m_markers.arrFirst[j] = static_cast<unsigned char>(marker[0]);
    m_markers.arrSecond[j] = marker.size() > 1 ? static_cast<unsigned char>(marker[1]) : 0;
    m_markers.arrOneByte[j] = marker.size() == 1;
    m_markers.arrInA[j] = nFlag == LINE_MARK_A;
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
        m_pScanBlocks = SSE2_SCANS[m_markers.nCount];
        return;
    case SCAN_AVX2:
        m_pScanBlocks = AVX2_SCANS[m_markers.nCount];
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

    if (arrBuffer.size() < m_nEnd + m_nChunkSize)
        arrBuffer.resize(std::max(arrBuffer.size() * 2, m_nEnd + m_nChunkSize));
    m_pData = arrBuffer.data();

    ssize_t nRead;
    do
        nRead = ::read(m_nFd, arrBuffer.data() + m_nEnd, m_nChunkSize);
    while (nRead < 0 && errno == EINTR);
    if (nRead > 0)
    {
        m_nEnd += static_cast<std::size_t>(nRead);
        m_nBytesRead += static_cast<std::size_t>(nRead);
        if (m_bSkipLf && m_pData[m_nScan] == '\n')
        {
            // Nothing is carried after a line end: the next line begins
            // after the LF.
            ++m_nPos;
            ++m_nScan;
        }
    }
    else
    {
        m_bEof = true;
        m_bFailed = nRead < 0;
    }
    m_bSkipLf = false;
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
