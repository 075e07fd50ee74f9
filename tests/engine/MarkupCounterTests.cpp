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
// These counters must ignore the markers of any rule they are given.
const CounterRule g_misleadingRule("X", "", "x", "<", ">");

template <class TCounter> class PageCounterTest : public testing::TestWithParam<CountRow>
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
    testing::Values(CountRow{"MiddleLineOfSpacesIsBlank", "a\n   \nb", {3, 0, 0, 0, 1}},
                    CountRow{"CommentMarkersMeanNothing", "// x\n/* y */\n# z", {3, 0, 0, 0, 0}}),
    CountRowName);

INSTANTIATE_TEST_SUITE_P(
    Pages, Jsp,
    testing::Values(
        CountRow{"MarkupCountsInTotalOnly", "<tr><td>x</td></tr>", {1, 0, 0, 0, 0}},
        CountRow{"ExpressionInMarkupIsCode", "<td><%= name %></td>", {1, 1, 0, 0, 0}},
        CountRow{"ScriptOfFourLinesIsCode", "<%\nint a = 1;\nint b = 2;\n%>", {4, 4, 0, 0, 0}},
        CountRow{"StatementWithCommentIsCodeAndComment", "<%\nx = 1; // note\n%>", {3, 3, 1, 0, 0}},
        CountRow{"LineCommentInScriptIsComment", "<%\n// note\n%>", {3, 2, 1, 0, 0}},
        CountRow{"ScriptBeginAfterMarkupOpensNoScript", "<p><%\nx = 1;\n%>", {3, 0, 0, 0, 0}},
        CountRow{"TagInScriptIsCode", "<%\n<jsp:include page=\"a\" />\n%>", {3, 3, 0, 0, 0}},
        CountRow{"TagWithSlashesInScriptCountsNothing",
                 "<%\n<a href=\"http://x\">\n%>",
                 {3, 2, 0, 0, 0}},
        CountRow{
            "ScriptMarkerInsideScriptLineCountsNothing", "<%\nx = \"<%\"; y\n%>", {3, 2, 0, 0, 0}},
        CountRow{"OneCharacterLineInScriptIsCode", "<%\n}\n%>", {3, 3, 0, 0, 0}},
        CountRow{"BlockCommentLinesInScriptAreCode", "<%\n/* a\nb */\n%>", {4, 4, 0, 0, 0}},
        CountRow{"BlankLineInScriptIsBlank", "<%\n\nx\n%>", {4, 3, 0, 0, 1}}),
    CountRowName);

INSTANTIATE_TEST_SUITE_P(
    Pages, Aspx,
    testing::Values(
        CountRow{"MarkupCountsInTotalOnly", "<div>", {1, 0, 0, 0, 0}},
        CountRow{"InlineExpressionIsCode", "<%= x %>", {1, 1, 0, 0, 0}},
        CountRow{"ScriptBeginAfterMarkupOpensScript", "<p><%\nx = 1;\n%>", {3, 3, 0, 0, 0}},
        CountRow{"BlockCommentOfThreeLinesIsComment", "<%\n/* a\nb\nc */\n%>", {5, 2, 3, 0, 0}},
        CountRow{"TextAfterBlockEndKeepsBlockOpen", "<%\n/* a\nb */ x\nc\n%>", {5, 1, 4, 0, 0}},
        CountRow{"ScriptEndMidLineEndsScript", "<%\nx = 1; %> <b>\n<i>", {3, 2, 0, 0, 0}},
        CountRow{"LineCommentsInScript", "<%\n// a\nx // b\n%>", {4, 3, 2, 0, 0}},
        CountRow{"LineCommentBeforeScriptEndIsCode", "<%\nx = 1; // a %>\n<i>", {3, 2, 0, 0, 0}},
        CountRow{"OneLineBlockIsComment", "<%\n/* a */\n%>", {3, 2, 1, 0, 0}},
        CountRow{"BlankLineInBlockIsBlank", "<%\n/* a\n\nb */\n%>", {5, 2, 2, 0, 1}}),
    CountRowName);

INSTANTIATE_TEST_SUITE_P(
    Pages, Php,
    testing::Values(
        CountRow{"OneLineSectionIsOneCodeLine", "<?php echo 1; ?>", {1, 1, 0, 0, 0}},
        CountRow{"CommentAfterPhpBeginIsCodeAndComment", "<?php // start\n?>", {2, 2, 1, 0, 0}},
        CountRow{"PhpEndAfterLineCommentClosesSection",
                 "<?php\nx = 1; // a ?>\n<p>markup</p>",
                 {3, 2, 1, 0, 0}},
        CountRow{"HashInStringIsCodeAndComment", "<?php\n$s = 'a#b';\n?>", {3, 3, 1, 0, 0}},
        CountRow{"LineWithoutMarkerInBlockIsComment",
                 "<?php\n/*\nnote\n*/\nx = 1;\n?>",
                 {6, 3, 3, 0, 0}},
        CountRow{
            "MarkupOutsidePhpCountsInTotalOnly", "<html>\n<?php\nx;\n?>\n</html>", {5, 3, 0, 0, 0}},
        CountRow{"BlankLineInBlockIsBlank", "<?php\n/* a\n\nb */\n?>", {5, 2, 2, 0, 1}},
        CountRow{"BlockAfterCodeIsCodeAndComment", "<?php\nx = 1; /* a */\n?>", {3, 3, 1, 0, 0}},
        CountRow{
            "PhpEndInsideBlockDoesNotCloseSection", "<?php\n/* ?>\nx\n*/\n?>", {5, 2, 3, 0, 0}},
        CountRow{"OverlappingMarkersAreSeparateTokens", "<?php\n/*/ x\ny\n?>", {4, 3, 1, 0, 0}},
        CountRow{"PhpBeginInsideSectionRaisesNothing", "<?php\n<?php", {2, 1, 0, 0, 0}}),
    CountRowName);
} // namespace
