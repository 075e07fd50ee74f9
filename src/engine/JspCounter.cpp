#include "engine/JspCounter.h"

#include "engine/LineReader.h"

namespace
{
constexpr std::string_view SCRIPT_BEGIN = "<%";
constexpr std::string_view SCRIPT_END = "%>";
constexpr std::string_view LINE_COMMENT = "//";
} // namespace

template <class OnKind> void JspCounter::Walk(LineReader& lines, OnKind onKind)
{
    // Block comments are not recognised: inside a script their lines are code.
    bool bInScript = false;
    ForEachLineKind(
        lines,
        [&](std::string_view text) -> unsigned
        {
            const std::size_t nLength = text.size();

            if (!bInScript)
            {
                if (Contains(text, SCRIPT_BEGIN) && Contains(text, SCRIPT_END))
                    return LineKind::CODE; // a script opened and closed within markup
                if (StartsWith(text, SCRIPT_BEGIN))
                {
                    bInScript = true;
                    return LineKind::CODE;
                }
                // Anything else is markup, counted in the total only; a script
                // begin after markup on the same line opens no script.
                return LineKind::TOTAL_ONLY;
            }

            if (nLength == 1)
                return LineKind::CODE;
            if (EndsWith(text, SCRIPT_END))
            {
                bInScript = false;
                return LineKind::CODE;
            }
            if (text[nLength - 1] == '>' || text[nLength - 2] == '%')
                return !Contains(text, LINE_COMMENT) && !Contains(text, SCRIPT_BEGIN) &&
                               !Contains(text, SCRIPT_END)
                           ? LineKind::CODE
                           : LineKind::TOTAL_ONLY;
            if (StartsWith(text, LINE_COMMENT))
                return LineKind::COMMENT;
            if (Contains(text, LINE_COMMENT))
                return LineKind::CODE | LineKind::COMMENT;
            return !Contains(text, SCRIPT_BEGIN) && !Contains(text, SCRIPT_END)
                       ? LineKind::CODE
                       : LineKind::TOTAL_ONLY;
        },
        onKind);
}

template class KindWalkCounter<JspCounter>;
