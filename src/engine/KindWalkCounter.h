#pragma once

#include "engine/Counter.h"

// A counter whose whole work is one walk over the lines that reports each
// line's kind: Derived::Walk(lines, onKind), a template its own source file
// defines. Counting adds the kinds up, and the kinds of each line are the
// same walk's. The members are instantiated once, beside Walk
// (`template class KindWalkCounter<Derived>;` in that source file, `extern
// template` beside the class), so no other file needs Walk.
template <class Derived> class KindWalkCounter : public Counter
{
public:
    void CountLines(LineReader& lines, std::int64_t& nLines, std::int64_t& nCodeLines,
                    std::int64_t& nCommentLines, std::int64_t& nCodeCommentLines,
                    std::int64_t& nBlankLines) override;
    // The fixed markers of these counters need none of the rule's.
    void ClassifyLinesWith(const Markers& markers, LineReader& lines, LineKinds& arrKinds) override;
};

template <class Derived>
void KindWalkCounter<Derived>::CountLines(LineReader& lines, std::int64_t& nLines,
                                          std::int64_t& nCodeLines, std::int64_t& nCommentLines,
                                          std::int64_t& nCodeCommentLines,
                                          std::int64_t& nBlankLines)
{
    CountKinds([&](auto onKind) { Derived::Walk(lines, onKind); }, nLines, nCodeLines,
               nCommentLines, nCodeCommentLines, nBlankLines);
}

template <class Derived>
void KindWalkCounter<Derived>::ClassifyLinesWith(const Markers&, LineReader& lines,
                                                 LineKinds& arrKinds)
{
    KeepKinds([&](auto onKind) { Derived::Walk(lines, onKind); }, arrKinds);
}
