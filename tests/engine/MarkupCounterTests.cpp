#include "LineCounts.h"

#include "engine/AspxCounter.h"
#include "engine/JspCounter.h"
#include "engine/PhpCounter.h"
#include "engine/TxtCounter.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace
{
struct PageRow
{
    const char* szName;
    std::string strBytes;
    LineCounts expected; // lines, code, comment, code+comment, blank
};

std::ostream& operator<<(std::ostream& out, const PageRow& row)
{
    return out << row.szName;
}

std::string RowName(const testing::TestParamInfo<PageRow>& info)
{
    return info.param.szName;
}

// These counters must ignore the markers of any rule they are given.
const CounterRule g_misleadingRule("X", "", "x", "<", ">");

template <class TCounter> class PageCounterTest : public testing::TestWithParam<PageRow>
{
protected:
    LineCounts Count()
    {
        TCounter counter;
        counter.m_pRule = &g_misleadingRule;
        return CountBytes(counter, GetParam().strBytes);
    }
};

class Text : public PageCounterTest<TxtCounter>
{
};
class Jsp : public PageCounterTest<JspCounter>
{
};
class Aspx : public PageCounterTest<AspxCounter>
{
};
class Php : public PageCounterTest<PhpCounter>
{
};

TEST_P(Text, CountsTotalAndBlankOnly)
{
    EXPECT_EQ(Count(), GetParam().expected);
}
TEST_P(Jsp, CountsScriptLinesOnly)
{
    EXPECT_EQ(Count(), GetParam().expected);
}
TEST_P(Aspx, CountsScriptLinesOnly)
{
    EXPECT_EQ(Count(), GetParam().expected);
}
TEST_P(Php, CountsScriptLinesOnly)
{
    EXPECT_EQ(Count(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, Text,
    testing::Values(PageRow{"MiddleLineOfSpacesIsBlank", "a\n   \nb", {3, 0, 0, 0, 1}},
                    PageRow{"CommentMarkersMeanNothing", "// x\n/* y */\n# z", {3, 0, 0, 0, 0}}),
    RowName);

INSTANTIATE_TEST_SUITE_P(
    Pages, Jsp,
    testing::Values(
        PageRow{"MarkupCountsInTotalOnly", "<tr><td>x</td></tr>", {1, 0, 0, 0, 0}},
        PageRow{"ExpressionInMarkupIsCode", "<td><%= name %></td>", {1, 1, 0, 0, 0}},
        PageRow{"ScriptOfFourLinesIsCode", "<%\nint a = 1;\nint b = 2;\n%>", {4, 4, 0, 0, 0}},
        PageRow{"StatementWithCommentIsCodeAndComment", "<%\nx = 1; // note\n%>", {3, 3, 1, 0, 0}},
        PageRow{"LineCommentInScriptIsComment", "<%\n// note\n%>", {3, 2, 1, 0, 0}},
        PageRow{"ScriptBeginAfterMarkupOpensNoScript", "<p><%\nx = 1;\n%>", {3, 0, 0, 0, 0}},
        PageRow{"TagInScriptIsCode", "<%\n<jsp:include page=\"a\" />\n%>", {3, 3, 0, 0, 0}},
        PageRow{"TagWithSlashesInScriptCountsNothing",
                "<%\n<a href=\"http://x\">\n%>",
                {3, 2, 0, 0, 0}},
        PageRow{
            "ScriptMarkerInsideScriptLineCountsNothing", "<%\nx = \"<%\"; y\n%>", {3, 2, 0, 0, 0}},
        PageRow{"OneCharacterLineInScriptIsCode", "<%\n}\n%>", {3, 3, 0, 0, 0}},
        PageRow{"BlockCommentLinesInScriptAreCode", "<%\n/* a\nb */\n%>", {4, 4, 0, 0, 0}},
        PageRow{"BlankLineInScriptIsBlank", "<%\n\nx\n%>", {4, 3, 0, 0, 1}}),
    RowName);

INSTANTIATE_TEST_SUITE_P(
    Pages, Aspx,
    testing::Values(
        PageRow{"MarkupCountsInTotalOnly", "<div>", {1, 0, 0, 0, 0}},
        PageRow{"InlineExpressionIsCode", "<%= x %>", {1, 1, 0, 0, 0}},
        PageRow{"ScriptBeginAfterMarkupOpensScript", "<p><%\nx = 1;\n%>", {3, 3, 0, 0, 0}},
        PageRow{"BlockCommentOfThreeLinesIsComment", "<%\n/* a\nb\nc */\n%>", {5, 2, 3, 0, 0}},
        PageRow{"TextAfterBlockEndKeepsBlockOpen", "<%\n/* a\nb */ x\nc\n%>", {5, 1, 4, 0, 0}},
        PageRow{"ScriptEndMidLineEndsScript", "<%\nx = 1; %> <b>\n<i>", {3, 2, 0, 0, 0}},
        PageRow{"LineCommentsInScript", "<%\n// a\nx // b\n%>", {4, 3, 2, 0, 0}},
        PageRow{"LineCommentBeforeScriptEndIsCode", "<%\nx = 1; // a %>\n<i>", {3, 2, 0, 0, 0}},
        PageRow{"OneLineBlockIsComment", "<%\n/* a */\n%>", {3, 2, 1, 0, 0}},
        PageRow{"BlankLineInBlockIsBlank", "<%\n/* a\n\nb */\n%>", {5, 2, 2, 0, 1}}),
    RowName);

INSTANTIATE_TEST_SUITE_P(
    Pages, Php,
    testing::Values(
        PageRow{"OneLineSectionIsOneCodeLine", "<?php echo 1; ?>", {1, 1, 0, 0, 0}},
        PageRow{"CommentAfterPhpBeginIsCodeAndComment", "<?php // start\n?>", {2, 2, 1, 0, 0}},
        PageRow{"PhpEndAfterLineCommentClosesSection",
                "<?php\nx = 1; // a ?>\n<p>markup</p>",
                {3, 2, 1, 0, 0}},
        PageRow{"HashInStringIsCodeAndComment", "<?php\n$s = 'a#b';\n?>", {3, 3, 1, 0, 0}},
        PageRow{"LineWithoutMarkerInBlockIsComment",
                "<?php\n/*\nnote\n*/\nx = 1;\n?>",
                {6, 3, 3, 0, 0}},
        PageRow{
            "MarkupOutsidePhpCountsInTotalOnly", "<html>\n<?php\nx;\n?>\n</html>", {5, 3, 0, 0, 0}},
        PageRow{"BlankLineInBlockIsBlank", "<?php\n/* a\n\nb */\n?>", {5, 2, 2, 0, 1}},
        PageRow{"BlockAfterCodeIsCodeAndComment", "<?php\nx = 1; /* a */\n?>", {3, 3, 1, 0, 0}},
        PageRow{"PhpEndInsideBlockDoesNotCloseSection", "<?php\n/* ?>\nx\n*/\n?>", {5, 2, 3, 0, 0}},
        PageRow{"OverlappingMarkersAreSeparateTokens", "<?php\n/*/ x\ny\n?>", {4, 3, 1, 0, 0}},
        PageRow{"PhpBeginInsideSectionRaisesNothing", "<?php\n<?php", {2, 1, 0, 0, 0}}),
    RowName);
} // namespace
