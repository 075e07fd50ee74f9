#pragma once

#include "engine/KindWalkCounter.h"

// Plain text: lines are only ever counted in the total and as blank lines.
// The rule's markers are not used.
class TxtCounter : public KindWalkCounter<TxtCounter>
{
private:
    friend class KindWalkCounter<TxtCounter>;
    // Hands onKind each line's kind (LineKind), in line order.
    template <class OnKind> static void Walk(LineReader& lines, OnKind onKind);
};
extern template class KindWalkCounter<TxtCounter>;
