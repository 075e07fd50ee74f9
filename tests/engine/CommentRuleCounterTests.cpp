#include "LineCounts.h"

#include "engine/CommentRuleCounters.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace
{
using namespace std::string_literals;

// Counts with a C-style rule: "//", "/*", "*/".
class CStyleRule : public testing::TestWithParam<CountRow>
{
protected:
    CStyleRule() : m_rule("C", "", "//", "/*", "*/") { m_counter.m_pRule = &m_rule; }
    CounterRule m_rule;
    CppCounter m_counter;
};

TEST_P(CStyleRule, CountsEachLineAsOneKind)
{
    EXPECT_EQ(CountBytes(m_counter, GetParam().strBytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CStyleRule,
    testing::Values(
        CountRow{"StatementIsCode", "x = 1;", {1, 1, 0, 0, 0}},
        CountRow{"LineCommentIsComment", "// note", {1, 0, 1, 0, 0}},
        CountRow{"IndentedLineCommentIsComment", " \t// note", {1, 0, 1, 0, 0}},
        CountRow{"StatementThenLineCommentIsBoth", "x = 1; // note", {1, 0, 0, 1, 0}},
        CountRow{"EmptyLineIsBlank", "\n", {1, 0, 0, 0, 1}},
        CountRow{"WhiteSpaceOnlyLineIsBlank", " \t\v\f \n", {1, 0, 0, 0, 1}},
        CountRow{"BlockOnOneLineIsComment", "/* note */", {1, 0, 1, 0, 0}},
        CountRow{"EmptyBlockIsComment", "/**/", {1, 0, 1, 0, 0}},
        CountRow{"BlockThenStatementIsBoth", "/* a */ x = 1;", {1, 0, 0, 1, 0}},
        CountRow{"StatementThenBlockIsBoth", "x = 1; /* a */", {1, 0, 0, 1, 0}},
        CountRow{"BlocksDoNotNest", "/* a /* b */ c */", {1, 0, 0, 1, 0}},
        CountRow{"BlankLineInsideBlockStaysBlank", "/* a\n\nb */", {3, 0, 2, 0, 1}},
        CountRow{"BlockOverThreeLinesBetweenStatements",
                 "x = 1; /* open\nstill open\n*/ y = 2;",
                 {3, 0, 1, 2, 0}},
        CountRow{"BlockBeginHidesLineComment", "x /* a // b\nc */", {2, 0, 1, 1, 0}},
        CountRow{"LineCommentHidesBlockBegin", "// a /* b\nx = 1;", {2, 1, 1, 0, 0}},
        CountRow{"BlockBeginInStringOpensBlock", "s = \"/*\";\nx = 1;", {2, 0, 1, 1, 0}},
        CountRow{"BlockEndOutsideBlockIsCode", "*/ x", {1, 1, 0, 0, 0}},
        CountRow{"SecondBlockOnLineAfterCode", "/* a */ x /* b", {1, 0, 0, 1, 0}},
        CountRow{"CodeAfterBlockClosesOnLaterLine", "/* a\nb */ x", {2, 0, 1, 1, 0}},
        CountRow{"ByteOrderMarkBeforeCommentIsCode", "\xEF\xBB\xBF// x", {1, 0, 0, 1, 0}},
        CountRow{"NulByteIsNotWhiteSpace", "\0\n\t\0"s, {2, 2, 0, 0, 0}},
        CountRow{"HighBytesAreNotWhiteSpace", "\xA0\n\x85", {2, 2, 0, 0, 0}},
        CountRow{"EmptyFileCountsNothing", "", {0, 0, 0, 0, 0}},
        CountRow{"TotalIsSumOfKinds", "a\n\n// b\nc // d\n/* e\n*/", {6, 1, 3, 1, 1}}),
    CountRowName);

TEST_F(CStyleRule, BlockOpenAtEndOfFileDoesNotCarryIntoNextFile)
{
    EXPECT_EQ(CountBytes(m_counter, "x /* open"), (LineCounts{1, 0, 0, 1, 0}));
    EXPECT_EQ(CountBytes(m_counter, "x = 1;"), (LineCounts{1, 1, 0, 0, 0}));
}

TEST_F(CStyleRule, LongLineOfManyBlocksNeedsNoDeepStack)
{
    std::string strLine = "x";
    for (int i = 0; i < 200000; ++i)
        strLine += "/**/";
    EXPECT_EQ(CountBytes(m_counter, strLine), (LineCounts{1, 0, 0, 1, 0}));
}

// Rules other than C's: markers of other lengths and shapes.
struct OtherRuleRow
{
    const char* szName;
    CounterRule rule;
    std::string strBytes;
    LineCounts expected;
};

std::ostream& operator<<(std::ostream& out, const OtherRuleRow& row)
{
    return out << row.szName;
}

class OtherRules : public testing::TestWithParam<OtherRuleRow>
{
};

TEST_P(OtherRules, CountByTheirMarkers)
{
    CommentRuleCounter counter;
    counter.m_pRule = &GetParam().rule;
    EXPECT_EQ(CountBytes(counter, GetParam().strBytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Markers, OtherRules,
    testing::Values(OtherRuleRow{"PascalBracesAroundCode",
                                 CounterRule("Pascal", "", "//", "{", "}"),
                                 "{ a } x := 1;\n{ b\n}",
                                 {3, 0, 2, 1, 0}},
                    OtherRuleRow{"MarkersAreCaseSensitive",
                                 CounterRule("Basic", "", "REM", "", ""),
                                 "REM a\nrem b",
                                 {2, 1, 1, 0, 0}},
                    OtherRuleRow{"BlockBeginWinsAtSamePosition",
                                 CounterRule("Lisp", "", "#", "#|", "|#"),
                                 "#| a\nb |#\n# c",
                                 {3, 0, 3, 0, 0}},
                    OtherRuleRow{"BlockWithoutEndNeverCloses",
                                 CounterRule("Odd", "", "", "/*", ""),
                                 "/* a\nx = 1;\n\ny",
                                 {4, 0, 3, 0, 1}},
                    OtherRuleRow{"NoMarkersMakeEveryLineCode",
                                 CounterRule("None", "", "", "", ""),
                                 "x\n// y\n\n",
                                 {3, 2, 0, 0, 1}},
                    // Markers are found by their UTF-8 bytes, and only there.
                    OtherRuleRow{"SectionSignMatchesItsUtf8Bytes",
                                 CounterRule("Latin", "", wxString(wxUniChar(0xA7)), "", ""),
                                 "x \xC2\xA7 note\n\xC2\xA7\n\xA7 lone byte",
                                 {3, 1, 1, 1, 0}},
                    OtherRuleRow{"MarkerBeyondLatin1Matches",
                                 CounterRule("Apl", "", wxString(wxUniChar(0x235D)), "", ""),
                                 "\xE2\x8D\x9D a\nb \xE2\x8D\x9D\n\x9D c",
                                 {3, 1, 1, 1, 0}},
                    OtherRuleRow{"BlockMarkersBeyondAscii",
                                 CounterRule("Guillemets", "", "", wxString(wxUniChar(0xAB)),
                                             wxString(wxUniChar(0xBB))),
                                 "\xC2\xAB a\n\xBB b \xC2\xBB x",
                                 {2, 0, 1, 1, 0}}),
    [](const testing::TestParamInfo<OtherRuleRow>& info) { return info.param.szName; });

// A marker holding a character no text can hold (past U+10FFFF) is never
// found, and taking its bytes trips no assertion.
TEST(CounterMarkers, ACharacterNoTextCanHoldIsNeverFound)
{
    static int s_nAsserts;
    s_nAsserts = 0;
    const wxAssertHandler_t pOld =
        wxSetAssertHandler([](const wxString&, int, const wxString&, const wxString&,
                              const wxString&) { ++s_nAsserts; });
    const CounterRule rule("Odd", "", wxString(wxUniChar(0x110000)), "", "");
    EXPECT_TRUE(Counter::Markers(&rule).m_strSingle.empty());
    wxSetAssertHandler(pOld);
    EXPECT_EQ(s_nAsserts, 0);
}

// Counts with the markers taken as bytes, from memory (nChunk 0) or from a
// file read in chunks, by the vector code or the portable one.
LineCounts CountWith(const Counter::Markers& markers, const std::string& strBytes,
                     std::size_t nChunk)
{
    CommentRuleCounter counter;
    LineCounts counts;
    std::vector<char> arrBuffer;
    if (nChunk == 0)
    {
        LineReader lines(strBytes);
        counter.CountLinesWith(markers, lines, counts.nLines, counts.nCode, counts.nComment,
                               counts.nCodeComment, counts.nBlank);
        return counts;
    }
    const int nFd = ::memfd_create("counted", MFD_CLOEXEC);
    EXPECT_EQ(::write(nFd, strBytes.data(), strBytes.size()),
              static_cast<ssize_t>(strBytes.size()));
    ::lseek(nFd, 0, SEEK_SET);
    LineReader lines(nFd, arrBuffer, nChunk);
    counter.CountLinesWith(markers, lines, counts.nLines, counts.nCode, counts.nComment,
                           counts.nCodeComment, counts.nBlank);
    ::close(nFd);
    return counts;
}

// The vector code finds where markers may stand and classifies most lines
// from those bits; the portable code searches each line's bytes. Both must
// count every file alike, whatever the rule and wherever lines and markers
// fall against blocks and chunks.
TEST(CommentRuleCounter, VectorAndPortableCodeCountAlike)
{
    const CounterRule rules[] = {
        CounterRule("C", "", "//", "/*", "*/"),
        CounterRule("Shell", "", "#", "", ""),
        CounterRule("Sql", "", "--", "/*", "*/"),
        CounterRule("Pascal", "", "//", "{", "}"),
        CounterRule("Xml", "", "", "<!--", "-->"),
        CounterRule("Lisp", "", "#", "#|", "|#"),
        CounterRule("Same", "", "**", "**", "**"),
        CounterRule("Spaced", "", "# ", "/ *", "* /"),
        CounterRule("OpenOnly", "", "", "/*", ""),
        CounterRule("Utf8", "", wxString::FromUTF8("\xE2\x8D\x9D"), wxString(wxUniChar(0xAB)),
                    wxString(wxUniChar(0xBB))),
    };
    static const char* const pieces[] = {
        "\n",   "\r\n",         "\r",       " ",        "\t",  "/",   "*", "//",
        "/*",   "*/",           "#",        "#|",       "|#",  "--",  "{", "}",
        "<!--", "-->",          "**",       "# ",       "/ *", "* /", "x", "a = b / c;",
        "\xA0", "\xE2\x8D\x9D", "\xC2\xAB", "\xC2\xBB", "\xC2"};
    std::mt19937 random(17);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<std::size_t> run(0, 80);
    for (int nFile = 0; nFile < 8; ++nFile)
    {
        std::string strBytes;
        for (int i = 0; i < 400 * (nFile + 1); ++i)
        {
            strBytes += pieces[pick(random)];
            if (i % 20 == 0)
                strBytes.append(run(random), ' ');
        }
        for (const CounterRule& rule : rules)
        {
            Counter::Markers markers(&rule);
            markers.m_nScan = LineReader::SCAN_PORTABLE;
            const LineCounts expected = CountWith(markers, strBytes, 0);
            for (LineReader::ScanKind nKind : {LineReader::SCAN_SSE2, LineReader::SCAN_AVX2})
            {
                if (!LineReader::HasScan(nKind))
                    continue;
                markers.m_nScan = nKind;
                for (std::size_t nChunk : {std::size_t(0), std::size_t(1), std::size_t(64),
                                           std::size_t(65), std::size_t(4096)})
                    EXPECT_EQ(CountWith(markers, strBytes, nChunk), expected)
                        << rule.m_strType << ", scan " << nKind << ", file " << nFile << ", chunk "
                        << nChunk;
            }
        }
    }
}

TEST(CommentRuleCounter, WithoutRuleCountsEveryNonBlankLineAsCode)
{
    CommentRuleCounter counter;
    EXPECT_EQ(CountBytes(counter, "x\n// y\n/* z */\n \n"), (LineCounts{4, 3, 0, 0, 1}));
}
} // namespace
