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
// Lines are read one byte per character, so a marker character up to 0xFF is
// that byte; one above it can never occur in a file, nor can the marker.
std::string ToBytes(const wxString& str)
{
    std::string bytes;
    bytes.reserve(str.length());
    for (wxUniChar c : str)
    {
        const wxUniChar::value_type nValue = c.GetValue();
        if (nValue > 0xFF)
            return std::string();
        bytes.push_back(static_cast<char>(static_cast<unsigned char>(nValue)));
    }
    return bytes;
}

bool MatchesAt(std::string_view text, std::size_t nPos, std::string_view marker)
{
    return !marker.empty() && text.size() - nPos >= marker.size() &&
           std::memcmp(text.data() + nPos, marker.data(), marker.size()) == 0;
}

// Markers are short: find their first byte with memchr and compare the rest,
// which beats a general substring search on lines of source.
std::size_t FindMarker(std::string_view text, std::string_view marker, std::size_t nFrom = 0)
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
    nBegin = FindMarker(text, strBegin);
    // A single-line marker counts only if it starts before the block begin.
    nSingle = FindMarker(nBegin == npos ? text : text.substr(0, nBegin + strSingle.size() - 1),
                         strSingle);
    if (nSingle != npos)
        nBegin = npos;
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
    return FindMarker(text, marker, nFrom);
}

void Counter::CountFile(FileResult& file)
{
    // Until it has been read to the end, the file counts as one that could
    // not be read.
    file.m_bUnreadable = true;
    // Non-blocking, so that opening a FIFO returns at once; it is then turned
    // away below, as are devices and sockets. By the path's real bytes, which
    // may not be UTF-8, at any depth.
    const int nFd = NativePath::Open(file.m_strPath, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (nFd < 0)
        return;
    struct stat st;
    if (::fstat(nFd, &st) != 0)
    {
        ::close(nFd);
        file.m_dtModified = wxDateTime();
        return;
    }
    if (!S_ISREG(st.st_mode))
    {
        ::close(nFd);
        return;
    }
    file.m_dtModified = wxDateTime(static_cast<time_t>(st.st_mtime));
    ::posix_fadvise(nFd, 0, 0, POSIX_FADV_SEQUENTIAL);

    // One read buffer per thread, reused for every file.
    thread_local std::vector<char> arrBuffer;
    std::int64_t nLines = 0, nCodeLines = 0, nCommentLines = 0, nCodeCommentLines = 0,
                 nBlankLines = 0;
    bool bFailed;
    std::size_t nBytesRead;
    {
        LineReader lines(nFd, arrBuffer);
        CountLines(lines, nLines, nCodeLines, nCommentLines, nCodeCommentLines, nBlankLines);
        bFailed = lines.Failed();
        nBytesRead = lines.BytesRead();
    }
    ::close(nFd);
    // A very long line grows the buffer; do not keep that memory for the
    // thousands of ordinary files that follow.
    if (arrBuffer.size() > 4 * LineReader::DEFAULT_CHUNK_SIZE)
        std::vector<char>().swap(arrBuffer);
    if (bFailed)
        return;

    file.m_bUnreadable = false;
    // What was counted, not what the file held when it was opened: a file
    // that shrinks or grows meanwhile must not get a size its lines disagree
    // with.
    file.m_nSize = static_cast<std::int64_t>(nBytesRead);
    file.m_nLines = nLines;
    file.m_nCodeLines = nCodeLines;
    file.m_nCommentLines = nCommentLines;
    file.m_nCodeCommentLines = nCodeCommentLines;
    file.m_nBlankLines = nBlankLines;
}

void Counter::CountByRule(LineReader& lines, const CounterRule* pRule, std::int64_t& nLines,
                          std::int64_t& nCodeLines, std::int64_t& nCommentLines,
                          std::int64_t& nCodeCommentLines, std::int64_t& nBlankLines)
{
    const Markers markers(pRule);
    // A block comment left open at the end of a file ends with it.
    bool bInBlock = false;
    ForEachLine(lines, nLines, nBlankLines,
                [&](std::string_view text)
                {
                    bool bComment = false;
                    bool bCode = false;
                    ClassifyLine(markers, text, bComment, bCode, bInBlock);
                    if (bComment && bCode)
                        ++nCodeCommentLines;
                    else if (bComment)
                        ++nCommentLines;
                    else if (bCode)
                        ++nCodeLines;
                });
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
