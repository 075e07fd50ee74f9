#include "engine/TxtCounter.h"

#include "engine/LineReader.h"

template <class OnKind> void TxtCounter::Walk(LineReader& lines, OnKind onKind)
{
    // Blank lines are the only kind plain text has.
    ForEachLineKind(
        lines, [](std::string_view) -> unsigned { return LineKind::TOTAL_ONLY; }, onKind);
}

template class KindWalkCounter<TxtCounter>;
