#pragma once

#include "engine/Counter.h"
#include "engine/LineReader.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <string_view>

// The five counts of one counted file, compared and printed as one value so a
// failing table row shows every count at once.
struct LineCounts
{
    std::int64_t nLines = 0;
    std::int64_t nCode = 0;
    std::int64_t nComment = 0;
    std::int64_t nCodeComment = 0;
    std::int64_t nBlank = 0;

    bool operator==(const LineCounts& other) const
    {
        return nLines == other.nLines && nCode == other.nCode && nComment == other.nComment &&
               nCodeComment == other.nCodeComment && nBlank == other.nBlank;
    }
};

inline std::ostream& operator<<(std::ostream& out, const LineCounts& counts)
{
    return out << "{lines " << counts.nLines << ", code " << counts.nCode << ", comment "
               << counts.nComment << ", code+comment " << counts.nCodeComment << ", blank "
               << counts.nBlank << "}";
}

// Counts bytes held in memory as one file. The kinds the counter gives each
// line must add up to the same counts: a comparison reads them, and its
// figures must agree with a count of the same file.
inline LineCounts CountBytes(Counter& counter, std::string_view bytes)
{
    LineReader lines(bytes);
    LineCounts counts;
    counter.CountLines(lines, counts.nLines, counts.nCode, counts.nComment, counts.nCodeComment,
                       counts.nBlank);
    LineKinds arrKinds;
    counter.ClassifyBytes(Counter::Markers(counter.m_pRule), bytes, arrKinds);
    LineCounts byKind;
    for (const std::uint8_t nKind : arrKinds)
    {
        ++byKind.nLines;
        byKind.nCode += (nKind & LineKind::CODE) != 0;
        byKind.nComment += (nKind & LineKind::COMMENT) != 0;
        byKind.nCodeComment += (nKind & LineKind::CODE_COMMENT) != 0;
        byKind.nBlank += (nKind & LineKind::BLANK) != 0;
    }
    EXPECT_EQ(byKind, counts) << "the kinds of the lines";
    return counts;
}

// One table row: a named file's bytes and the five counts they must give.
struct CountRow
{
    const char* szName;
    std::string strBytes;
    LineCounts expected; // lines, code, comment, code+comment, blank
};

inline std::ostream& operator<<(std::ostream& out, const CountRow& row)
{
    return out << row.szName;
}

inline std::string CountRowName(const testing::TestParamInfo<CountRow>& info)
{
    return info.param.szName;
}
