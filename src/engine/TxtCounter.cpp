#include "engine/TxtCounter.h"

#include "engine/LineReader.h"

template <class OnKind> void TxtCounter::Walk(LineReader& lines, OnKind onKind)
{
    // Blank lines are the only kind plain text has.
    ForEachLineKind(
        lines, [](std::string_view) -> unsigned { return LineKind::TOTAL_ONLY; }, onKind);
}

void TxtCounter::CountLines(LineReader& lines, std::int64_t& nLines, std::int64_t& nCodeLines,
                            std::int64_t& nCommentLines, std::int64_t& nCodeCommentLines,
                            std::int64_t& nBlankLines)
{
    CountKinds([&](auto onKind) { Walk(lines, onKind); }, nLines, nCodeLines, nCommentLines,
               nCodeCommentLines, nBlankLines);
}

void TxtCounter::ClassifyLinesWith(const Markers&, LineReader& lines, LineKinds& arrKinds)
{
    KeepKinds([&](auto onKind) { Walk(lines, onKind); }, arrKinds);
}
