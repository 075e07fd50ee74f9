#pragma once

#include "engine/CounterRule.h"
#include "engine/FileId.h"
#include "engine/LineKind.h"
#include "engine/LineReader.h"
#include "engine/Result.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Counts the lines of one file by kind: blank, comment, code, code and comment.
// Counters keep no state between files, so one counter serves every file of
// its rule type.
class Counter
{
public:
    // A rule's three comment markers as their UTF-8 bytes, for searching
    // lines read as bytes. A marker that is empty is never found.
    struct Markers
    {
        Markers() = default;
        explicit Markers(const CounterRule* pRule);

        std::string m_strSingle;
        std::string m_strBegin;
        std::string m_strEnd;
        // How lines are scanned: the fastest way the machine has, unless
        // tests choose another to hold them against each other. The portable
        // way also searches each line's bytes for the markers, as a reference
        // for classifying lines from the scan's bits.
        LineReader::ScanKind m_nScan = LineReader::BestScan();
    };

    // What counting one file found, held without any text, so a counting
    // thread can fill it and the thread that owns the results can take it
    // into a FileResult.
    struct FileCounts
    {
        enum Date
        {
            DATE_KEEP,    // not opened, or not a regular file: the date of the run
            DATE_INVALID, // opened, but its date could not be read
            DATE_FILE,    // tModified
        };

        // Sets the size, date and counts as CountFile describes.
        void ApplyTo(FileResult& file) const;

        bool bUnreadable = true;
        FileId id;                // of the file opened; unknown when it could not be
        bool bHardLinked = false; // it has other names, maybe in the run too
        Date nDate = DATE_KEEP;
        std::time_t tModified = 0;
        std::int64_t nSize = 0;
        std::int64_t nLines = 0;
        std::int64_t nCodeLines = 0;
        std::int64_t nCommentLines = 0;
        std::int64_t nCodeCommentLines = 0;
        std::int64_t nBlankLines = 0;
    };

    virtual ~Counter() = default;

    // Adds the lines of one file to the five counters (the caller zeroes them).
    virtual void CountLines(LineReader& lines, std::int64_t& nLines, std::int64_t& nCodeLines,
                            std::int64_t& nCommentLines, std::int64_t& nCodeCommentLines,
                            std::int64_t& nBlankLines) = 0;

    // The same with the rule's markers taken beforehand as bytes, so that it
    // reads no text the rule table shares and may run on any thread. Counters
    // with fixed markers need none and count as CountLines does.
    virtual void CountLinesWith(const Markers& markers, LineReader& lines, std::int64_t& nLines,
                                std::int64_t& nCodeLines, std::int64_t& nCommentLines,
                                std::int64_t& nCodeCommentLines, std::int64_t& nBlankLines)
    {
        (void)markers;
        CountLines(lines, nLines, nCodeLines, nCommentLines, nCodeCommentLines, nBlankLines);
    }

    // Classifies every line as CountLinesWith counts it, and appends each
    // line's kind (LineKind) to arrKinds in line order: the same classifier
    // loop as the count, so the kinds of a file always add up to its counts.
    virtual void ClassifyLinesWith(const Markers& markers, LineReader& lines,
                                   LineKinds& arrKinds) = 0;
    // The same over bytes in memory.
    void ClassifyBytes(const Markers& markers, std::string_view bytes, LineKinds& arrKinds);

    // Reads the file at file.m_strPath and fills its size (the bytes read),
    // date and counts. A file that cannot be opened, or is not a regular file,
    // keeps zeros and the date it came with; one that fails while being read
    // keeps zeros and gets its own date. Both are marked m_bUnreadable.
    // Returns what was found, the id of the file opened too. pGoOn, when
    // given, is asked before each chunk is read and ends the reading when it
    // says no (LineReader::GoOnWhile); the file then counts as one that
    // could not be read.
    FileCounts CountFile(FileResult& file, const std::function<bool()>* pGoOn = nullptr);

    // CountFile for a counting thread: the path as its bytes, the markers
    // taken beforehand, and a read buffer of the thread's own.
    void CountPath(const std::string& strPath, const Markers& markers, std::vector<char>& arrBuffer,
                   FileCounts& counts, const std::function<bool()>* pGoOn = nullptr);
    // CountPath in two steps: open (a descriptor, or -1 with counts filled
    // in for a file that cannot be counted) and count what was opened.
    static int OpenToCount(const std::string& strPath, FileCounts& counts, std::uint64_t& nSize);
    void CountOpened(int nFd, const Markers& markers, std::vector<char>& arrBuffer,
                     FileCounts& counts, const std::function<bool()>* pGoOn = nullptr);

    // A large file may be counted a piece at a time on several threads when
    // its counter's only state from line to line is whether a block comment
    // is open: each piece is counted for both, and the pieces are put
    // together in order, each taken as its predecessor left that state.
    struct PieceCounts
    {
        struct Tally
        {
            std::int64_t nLines = 0, nCode = 0, nComment = 0, nBoth = 0, nBlank = 0;
        };
        Tally arrTally[2];           // starting outside, inside a block comment
        bool arrEndsInBlock[2] = {}; // the state after the piece, from each start
        std::uint64_t nEnd = 0;      // where in the file its lines end
        bool bFailed = false;

        // Adds the counts for the state the piece starts in and passes on the
        // state after it.
        void AddTo(bool& bInBlock, FileCounts& counts) const;
    };
    virtual bool CountsInPieces() const { return false; }
    // pGoOn as for CountFile; a piece it cut short is bFailed.
    void CountPiece(int nFd, LineReader::Piece piece, const Markers& markers,
                    std::vector<char>& arrBuffer, PieceCounts& counts,
                    const std::function<bool()>* pGoOn = nullptr);

    // Counts every line by the comment markers of a rule; without a rule every
    // non-blank line is code.
    static void CountByRule(LineReader& lines, const CounterRule* pRule, std::int64_t& nLines,
                            std::int64_t& nCodeLines, std::int64_t& nCommentLines,
                            std::int64_t& nCodeCommentLines, std::int64_t& nBlankLines);
    static void CountByRule(LineReader& lines, const Markers& markers, std::int64_t& nLines,
                            std::int64_t& nCodeLines, std::int64_t& nCommentLines,
                            std::int64_t& nCodeCommentLines, std::int64_t& nBlankLines);
    static void ClassifyByRule(LineReader& lines, const Markers& markers, LineKinds& arrKinds);

    // Sets the comment and code flags for one line (or the rest of one), and
    // carries the open-block state from line to line.
    static void ClassifyLine(const Markers& markers, std::string_view text, bool& bComment,
                             bool& bCode, bool& bInBlock);

    const CounterRule* m_pRule = nullptr; // borrowed from the rule table

protected:
    // Counts the lines of a piece for both states (counters that count in
    // pieces).
    virtual void CountPieceLines(const Markers& markers, LineReader& lines, PieceCounts& counts)
    {
        (void)markers;
        (void)lines;
        (void)counts;
    }
    static void CountByRuleBothWays(LineReader& lines, const Markers& markers, PieceCounts& counts);
    static void ShrinkBuffer(std::vector<char>& arrBuffer);

    // Hands every line's kind to onKind: blank for a blank line, else what
    // onText makes of the line's text, trimmed. The frame the markup counters
    // share, for counting and for the kinds of each line alike.
    template <class OnText, class OnKind>
    static void ForEachLineKind(LineReader& lines, OnText onText, OnKind onKind)
    {
        lines.ForEachLine(
            [&](std::string_view line, unsigned nFlags, const auto&)
            {
                // The reader tells most blank lines without a second look.
                const std::string_view text =
                    nFlags & LineReader::LINE_TEXT ? Trim(line) : std::string_view();
                onKind(text.empty() ? LineKind::BLANK : onText(text));
            });
    }
    // Adds up the kinds walk(onKind) reports, one per line, into the five
    // counters.
    template <class Walk>
    static void CountKinds(Walk walk, std::int64_t& nLines, std::int64_t& nCodeLines,
                           std::int64_t& nCommentLines, std::int64_t& nCodeCommentLines,
                           std::int64_t& nBlankLines)
    {
        std::int64_t nTotal = 0, nCode = 0, nComment = 0, nBoth = 0, nBlank = 0;
        walk(
            [&](unsigned nKind)
            {
                ++nTotal;
                nCode += (nKind & LineKind::CODE) != 0;
                nComment += (nKind & LineKind::COMMENT) != 0;
                nBoth += (nKind & LineKind::CODE_COMMENT) != 0;
                nBlank += (nKind & LineKind::BLANK) != 0;
            });
        nLines += nTotal;
        nCodeLines += nCode;
        nCommentLines += nComment;
        nCodeCommentLines += nBoth;
        nBlankLines += nBlank;
    }
    // The kinds walk(onKind) reports, appended to arrKinds.
    template <class Walk> static void KeepKinds(Walk walk, LineKinds& arrKinds)
    {
        walk([&arrKinds](unsigned nKind) { arrKinds.push_back(static_cast<std::uint8_t>(nKind)); });
    }

    static bool IsSpace(char c)
    {
        // Space, tab, line feed, vertical tab, form feed, carriage return.
        return c == ' ' || (c >= '\t' && c <= '\r');
    }
    static std::string_view Trim(std::string_view text)
    {
        std::size_t nBegin = 0;
        std::size_t nEnd = text.size();
        while (nBegin < nEnd && IsSpace(text[nBegin]))
            ++nBegin;
        while (nEnd > nBegin && IsSpace(text[nEnd - 1]))
            --nEnd;
        return text.substr(nBegin, nEnd - nBegin);
    }
    // Position of the first occurrence of a marker, npos when there is none
    // or the marker is empty.
    static std::size_t Find(std::string_view text, std::string_view marker, std::size_t nFrom = 0);
    static bool StartsWith(std::string_view text, std::string_view marker)
    {
        return text.size() >= marker.size() && text.compare(0, marker.size(), marker) == 0;
    }
    static bool EndsWith(std::string_view text, std::string_view marker)
    {
        return text.size() >= marker.size() &&
               text.compare(text.size() - marker.size(), marker.size(), marker) == 0;
    }
    static bool Contains(std::string_view text, std::string_view marker)
    {
        return Find(text, marker) != std::string_view::npos;
    }
};
