#pragma once

#include "engine/Counter.h"

// ASP.NET pages: the script between "<%" and "%>" with its "//" and "/* */"
// comments is counted as code or comment; markup counts in the total alone.
// The markers are fixed; those of the rule are not used.
class AspxCounter : public Counter
{
public:
    void CountLines(LineReader& lines, std::int64_t& nLines, std::int64_t& nCodeLines,
                    std::int64_t& nCommentLines, std::int64_t& nCodeCommentLines,
                    std::int64_t& nBlankLines) override;
    void ClassifyLinesWith(const Markers& markers, LineReader& lines, LineKinds& arrKinds) override;

private:
    // Hands onKind each line's kind (LineKind), in line order.
    template <class OnKind> static void Walk(LineReader& lines, OnKind onKind);
};
