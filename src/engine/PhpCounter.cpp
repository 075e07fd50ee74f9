#include "engine/PhpCounter.h"

#include "engine/LineReader.h"

namespace
{
constexpr std::string_view PHP_BEGIN = "<?";
constexpr std::string_view PHP_END = "?>";
constexpr std::string_view BLOCK_BEGIN = "/*";

enum class Token
{
    None,
    PhpBegin,
    PhpEnd,
    LineComment,
    HashComment,
    BlockBegin,
    BlockEnd,
};

// The marker that starts at position nPos of the line. Markers of different
// kinds may overlap ("/*/" holds a block begin and a block end), but two "//"
// never do: nSlashFrom is the first position where the next one may start.
Token TokenAt(std::string_view text, std::size_t nPos, std::size_t& nSlashFrom)
{
    const char c = text[nPos];
    if (c == '#')
        return Token::HashComment;
    if (nPos + 1 >= text.size())
        return Token::None;
    const char cNext = text[nPos + 1];
    switch (c)
    {
    case '<':
        return cNext == '?' ? Token::PhpBegin : Token::None;
    case '?':
        return cNext == '>' ? Token::PhpEnd : Token::None;
    case '*':
        return cNext == '/' ? Token::BlockEnd : Token::None;
    case '/':
        if (cNext == '*')
            return Token::BlockBegin;
        if (cNext == '/' && nPos >= nSlashFrom)
        {
            nSlashFrom = nPos + 2;
            return Token::LineComment;
        }
        return Token::None;
    default:
        return Token::None;
    }
}
} // namespace

template <class OnKind> void PhpCounter::Walk(LineReader& lines, OnKind onKind)
{
    bool bInPhp = false;
    bool bInBlock = false;
    ForEachLineKind(
        lines,
        [&](std::string_view text) -> unsigned
        {
            // Quotes are not recognised: a marker inside a string is a token too.
            bool bAnyToken = false;
            bool bCode = false;
            bool bComment = false;
            std::size_t nSlashFrom = 0;
            // Where the line's first block begin and first PHP begin stand, sought
            // once per line and only when a token asks whether one came before it.
            constexpr std::size_t UNKNOWN = std::string_view::npos - 1;
            std::size_t nFirstBlockBegin = UNKNOWN;
            std::size_t nFirstPhpBegin = UNKNOWN;
            const auto firstOf = [&text](std::size_t& nFirst, std::string_view marker)
            {
                if (nFirst == UNKNOWN)
                    nFirst = Find(text, marker);
                return nFirst;
            };
            std::size_t nPos = 0;
            while (nPos < text.size())
            {
                const Token token = TokenAt(text, nPos, nSlashFrom);
                if (token == Token::None)
                {
                    ++nPos;
                    continue;
                }
                bAnyToken = true;

                if (!bInPhp)
                {
                    if (token == Token::PhpBegin)
                    {
                        bCode = true;
                        bInPhp = true;
                    }
                }
                else if (bInBlock)
                {
                    if (token != Token::BlockEnd)
                        bComment = true;
                    else
                    {
                        bInBlock = false;
                        if (firstOf(nFirstBlockBegin, BLOCK_BEGIN) > nPos)
                            bComment = true; // a block opened on this line raised it already
                    }
                }
                else if (token == Token::LineComment || token == Token::HashComment)
                {
                    if (nPos != 0)
                        bCode = true;
                    bComment = true;
                    // The comment runs to the end of the line, unless a PHP end
                    // closes it and the section; markup may follow that.
                    const std::size_t nEnd = Find(text, PHP_END, nPos + 1);
                    if (nEnd == std::string_view::npos)
                        break;
                    bInPhp = false;
                    nPos = nEnd + PHP_END.size();
                    continue;
                }
                else if (token == Token::BlockBegin)
                {
                    if (nPos != 0)
                        bCode = true;
                    bComment = true;
                    bInBlock = true;
                }
                else if (token == Token::PhpEnd)
                {
                    bInPhp = false;
                    if (firstOf(nFirstPhpBegin, PHP_BEGIN) > nPos)
                        bCode = true; // the section's last statement ends here
                }
                ++nPos;
            }

            if (!bAnyToken)
                return bInPhp ? (bInBlock ? LineKind::COMMENT : LineKind::CODE)
                              : LineKind::TOTAL_ONLY;
            // However many events a line raises, it is at most one code line and
            // one comment line.
            return (bCode ? LineKind::CODE : 0u) | (bComment ? LineKind::COMMENT : 0u);
        },
        onKind);
}

template class KindWalkCounter<PhpCounter>;
