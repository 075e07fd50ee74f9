#pragma once

#include "engine/Counter.h"

// Plain text: lines are only ever counted in the total and as blank lines.
// The rule's markers are not used.
class TxtCounter : public Counter
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
