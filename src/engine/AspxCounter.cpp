#include "engine/AspxCounter.h"

#include "engine/LineReader.h"

namespace
{
constexpr std::string_view SCRIPT_BEGIN = "<%";
constexpr std::string_view SCRIPT_END = "%>";
constexpr std::string_view LINE_COMMENT = "//";
constexpr std::string_view BLOCK_BEGIN = "/*";
constexpr std::string_view BLOCK_END = "*/";
} // namespace

void AspxCounter::CountLines(LineReader& lines, std::int64_t& nLines, std::int64_t& nCodeLines,
                             std::int64_t& nCommentLines, std::int64_t&, std::int64_t& nBlankLines)
{
    bool bInScript = false;
    bool bInBlock = false;
    ForEachLine(lines, nLines, nBlankLines,
                [&](std::string_view text)
                {
                    const std::size_t nLength = text.size();

                    if (!bInScript)
                    {
                        if (Contains(text, SCRIPT_BEGIN) && Contains(text, SCRIPT_END))
                            ++nCodeLines;
                        else if (Contains(text, SCRIPT_BEGIN))
                        {
                            ++nCodeLines;
                            bInScript = true;
                        }
                        return; // otherwise markup, counted in the total only
                    }

                    if (bInBlock)
                    {
                        // Only a block end that closes the line closes the comment.
                        ++nCommentLines;
                        if (nLength >= 2 && EndsWith(text, BLOCK_END))
                            bInBlock = false;
                        return;
                    }

                    const bool bClosesTag =
                        nLength >= 2 && (text[nLength - 1] == '>' || text[nLength - 2] == '%');
                    if (nLength == 1)
                        ++nCodeLines;
                    else if (!bClosesTag && StartsWith(text, LINE_COMMENT))
                        ++nCommentLines;
                    else if (!bClosesTag && Contains(text, LINE_COMMENT))
                    {
                        ++nCodeLines;
                        ++nCommentLines;
                    }
                    else if (EndsWith(text, SCRIPT_END))
                    {
                        ++nCodeLines;
                        bInScript = false;
                    }
                    else if (Contains(text, BLOCK_BEGIN) && !Contains(text, BLOCK_END))
                    {
                        ++nCommentLines;
                        bInBlock = true;
                    }
                    else if (StartsWith(text, BLOCK_BEGIN) && EndsWith(text, BLOCK_END))
                        ++nCommentLines;
                    else if (Contains(text, SCRIPT_END))
                    {
                        ++nCodeLines;
                        bInScript = false;
                    }
                    else
                        ++nCodeLines;
                });
}
