#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>
#include <vector>

// Splits a file's bytes into lines at LF, CR LF or a lone CR, one byte per
// character. A last line without a terminator is still a line; terminators are
// not part of the lines. Lines are views into one buffer that is reused from
// line to line, so they stay valid only until the next call of Next().
//
// A file is read in fixed-size chunks and the unfinished last line of a chunk
// is carried over to the next, so memory follows the longest line, not the
// file. A line longer than the line limit is handed on cut to that limit (it
// still counts as one line) instead of letting one odd file exhaust memory.
class LineReader
{
public:
    static constexpr std::size_t DEFAULT_CHUNK_SIZE = 256 * 1024;
    static constexpr std::size_t DEFAULT_MAX_LINE = 64 * 1024 * 1024;

    // Reads an open descriptor (not owned, not closed) through a buffer owned
    // by the caller, which may hand the same buffer to the next reader.
    LineReader(int nFd, std::vector<char>& arrBuffer, std::size_t nChunkSize = DEFAULT_CHUNK_SIZE,
               std::size_t nMaxLine = DEFAULT_MAX_LINE);
    // Splits bytes already in memory, without copying them.
    explicit LineReader(std::string_view bytes);

    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line, or false at the end of the file (or after a read error).
    bool Next(std::string_view& line)
    {
        for (;;)
        {
            const std::size_t nTerm = FindTerminator();
            if (nTerm < m_nEnd)
            {
                const bool bCr = m_pData[nTerm] == '\r';
                // A CR that ends the bytes read so far may be the first half
                // of a CR LF whose LF is still in the file.
                if (bCr && nTerm + 1 == m_nEnd && !m_bEof)
                {
                    Refill();
                    continue;
                }
                line = std::string_view(m_pData + m_nPos, std::min(nTerm - m_nPos, m_nMaxLine));
                m_nPos = nTerm + 1;
                if (bCr && m_nPos < m_nEnd && m_pData[m_nPos] == '\n')
                    ++m_nPos;
                m_nScan = m_nPos;
                m_bCut = false;
                return true;
            }
            if (m_bEof)
                return TakeLastLine(line);
            Refill();
        }
    }

    // True when reading the file failed part of the way through.
    bool Failed() const { return m_bFailed; }
    // The bytes read so far: the file's size once the last line is taken,
    // even when the file changed after it was opened.
    std::size_t BytesRead() const { return m_nBytesRead; }

private:
    // Position of the first LF or CR at or after m_nScan, m_nEnd when there is
    // none. The next LF and the next CR are remembered separately, so each
    // byte is searched about once even when lines are short.
    std::size_t FindTerminator()
    {
        if (m_nNextLf < m_nScan)
            m_nNextLf = Find('\n');
        if (m_nNextCr < m_nScan)
            m_nNextCr = Find('\r');
        return std::min(m_nNextLf, m_nNextCr);
    }
    std::size_t Find(char c) const
    {
        const void* p = std::memchr(m_pData + m_nScan, c, m_nEnd - m_nScan);
        return p ? static_cast<std::size_t>(static_cast<const char*>(p) - m_pData) : m_nEnd;
    }

    void Refill();
    bool TakeLastLine(std::string_view& line);

    int m_nFd = -1;
    std::vector<char>* m_pBuffer = nullptr; // borrowed; null when splitting memory
    std::size_t m_nChunkSize = DEFAULT_CHUNK_SIZE;
    std::size_t m_nMaxLine = DEFAULT_MAX_LINE;

    const char* m_pData = nullptr;
    std::size_t m_nPos = 0;  // start of the current line
    std::size_t m_nScan = 0; // where the search for its terminator goes on
    std::size_t m_nEnd = 0;  // end of the bytes read so far
    std::size_t m_nNextLf = 0;
    std::size_t m_nNextCr = 0;
    std::size_t m_nBytesRead = 0;
    bool m_bEof = false;
    bool m_bFailed = false;
    // The current line is over the limit: its first m_nMaxLine bytes stand at
    // the start of the buffer and the rest is being passed over.
    bool m_bCut = false;
};
