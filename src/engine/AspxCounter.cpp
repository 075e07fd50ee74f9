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

template <class OnKind> void AspxCounter::Walk(LineReader& lines, OnKind onKind)
{
    bool bInScript = false;
    bool bInBlock = false;
    ForEachLineKind(
        lines,
        [&](std::string_view text) -> unsigned
        {
            const std::size_t nLength = text.size();

            if (!bInScript)
            {
                if (Contains(text, SCRIPT_BEGIN) && Contains(text, SCRIPT_END))
                    return LineKind::CODE;
                if (Contains(text, SCRIPT_BEGIN))
                {
                    bInScript = true;
                    return LineKind::CODE;
                }
                return LineKind::TOTAL_ONLY; // markup, counted in the total only
            }

            if (bInBlock)
            {
                // Only a block end that closes the line closes the comment.
                if (nLength >= 2 && EndsWith(text, BLOCK_END))
                    bInBlock = false;
                return LineKind::COMMENT;
            }

            const bool bClosesTag =
                nLength >= 2 && (text[nLength - 1] == '>' || text[nLength - 2] == '%');
            if (nLength == 1)
                return LineKind::CODE;
            if (!bClosesTag && StartsWith(text, LINE_COMMENT))
                return LineKind::COMMENT;
            if (!bClosesTag && Contains(text, LINE_COMMENT))
                return LineKind::CODE | LineKind::COMMENT;
            if (EndsWith(text, SCRIPT_END))
            {
                bInScript = false;
                return LineKind::CODE;
            }
            if (Contains(text, BLOCK_BEGIN) && !Contains(text, BLOCK_END))
            {
                bInBlock = true;
                return LineKind::COMMENT;
            }
            if (StartsWith(text, BLOCK_BEGIN) && EndsWith(text, BLOCK_END))
                return LineKind::COMMENT;
            if (Contains(text, SCRIPT_END))
                bInScript = false;
            return LineKind::CODE;
        },
        onKind);
}

template class KindWalkCounter<AspxCounter>;
