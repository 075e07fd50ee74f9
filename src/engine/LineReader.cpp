#include "engine/LineReader.h"

#include <cerrno>
#include <unistd.h>

LineReader::LineReader(int nFd, std::vector<char>& arrBuffer, std::size_t nChunkSize,
                       std::size_t nMaxLine)
    : m_nFd(nFd), m_pBuffer(&arrBuffer), m_nChunkSize(std::max<std::size_t>(nChunkSize, 1)),
      m_nMaxLine(std::max<std::size_t>(nMaxLine, 1))
{
}

LineReader::LineReader(std::string_view bytes)
    : m_pData(bytes.data() ? bytes.data() : ""), m_nEnd(bytes.size()), m_nBytesRead(bytes.size()),
      m_bEof(true)
{
    m_nNextLf = Find('\n');
    m_nNextCr = Find('\r');
}

void LineReader::Refill()
{
    if (!m_pBuffer)
    {
        m_bEof = true;
        return;
    }
    std::vector<char>& arrBuffer = *m_pBuffer;

    // Keep only what the next bytes can still change: the unfinished line, or
    // the kept part of an over-long one, plus a CR still waiting for its LF.
    if (m_bCut)
    {
        const bool bCr = m_nEnd > m_nScan && arrBuffer[m_nEnd - 1] == '\r';
        m_nEnd = m_nMaxLine;
        if (bCr)
            arrBuffer[m_nEnd++] = '\r';
        m_nScan = m_nMaxLine;
    }
    else
    {
        const std::size_t nCarry = m_nEnd - m_nPos;
        const bool bCr = nCarry > 0 && arrBuffer[m_nEnd - 1] == '\r';
        if (nCarry > m_nMaxLine)
        {
            std::memmove(arrBuffer.data(), arrBuffer.data() + m_nPos, m_nMaxLine);
            m_nEnd = m_nMaxLine;
            if (bCr)
                arrBuffer[m_nEnd++] = '\r';
            m_nScan = m_nMaxLine;
            m_bCut = true;
        }
        else
        {
            if (nCarry > 0 && m_nPos > 0)
                std::memmove(arrBuffer.data(), arrBuffer.data() + m_nPos, nCarry);
            m_nEnd = nCarry;
            // The carried bytes hold no terminator but perhaps a final CR, so
            // a long line is not searched again at every chunk.
            m_nScan = bCr ? nCarry - 1 : nCarry;
        }
        m_nPos = 0;
    }

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
    }
    else
    {
        m_bEof = true;
        m_bFailed = nRead < 0;
    }

    m_nNextLf = Find('\n');
    m_nNextCr = Find('\r');
}

bool LineReader::TakeLastLine(std::string_view& line)
{
    if (m_nPos == m_nEnd && !m_bCut)
        return false;
    line = std::string_view(m_pData + m_nPos, std::min(m_nEnd - m_nPos, m_nMaxLine));
    m_bCut = false;
    m_nPos = m_nScan = m_nEnd;
    return true;
}
