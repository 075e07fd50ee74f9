#include "engine/JspCounter.h"

#include "engine/LineReader.h"

namespace
{
constexpr std::string_view SCRIPT_BEGIN = "<%";
constexpr std::string_view SCRIPT_END = "%>";
constexpr std::string_view LINE_COMMENT = "//";
} // namespace

void JspCounter::CountLines(LineReader& lines, std::int64_t& nLines, std::int64_t& nCodeLines,
                            std::int64_t& nCommentLines, std::int64_t&, std::int64_t& nBlankLines)
{
    // Block comments are not recognised: inside a script their lines are code.
    bool bInScript = false;
    ForEachLine(lines, nLines, nBlankLines,
                [&](std::string_view text)
                {
                    const std::size_t nLength = text.size();

                    if (!bInScript)
                    {
                        if (Contains(text, SCRIPT_BEGIN) && Contains(text, SCRIPT_END))
                            ++nCodeLines; // a script opened and closed within markup
                        else if (StartsWith(text, SCRIPT_BEGIN))
                        {
                            ++nCodeLines;
                            bInScript = true;
                        }
                        // Anything else is markup, counted in the total only; a script
                        // begin after markup on the same line opens no script.
                        return;
                    }

                    if (nLength == 1)
                        ++nCodeLines;
                    else if (EndsWith(text, SCRIPT_END))
                    {
                        ++nCodeLines;
                        bInScript = false;
                    }
                    else if (text[nLength - 1] == '>' || text[nLength - 2] == '%')
                    {
                        if (!Contains(text, LINE_COMMENT) && !Contains(text, SCRIPT_BEGIN) &&
                            !Contains(text, SCRIPT_END))
                            ++nCodeLines;
                    }
                    else if (StartsWith(text, LINE_COMMENT))
                        ++nCommentLines;
                    else if (Contains(text, LINE_COMMENT))
                    {
                        ++nCodeLines;
                        ++nCommentLines;
                    }
                    else if (!Contains(text, SCRIPT_BEGIN) && !Contains(text, SCRIPT_END))
                        ++nCodeLines;
                });
}
