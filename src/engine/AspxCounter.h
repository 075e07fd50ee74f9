#pragma once

#include "engine/KindWalkCounter.h"

// ASP.NET pages: the script between "<%" and "%>" with its "//" and "/* */"
// comments is counted as code or comment; markup counts in the total alone.
// The markers are fixed; those of the rule are not used.
class AspxCounter : public KindWalkCounter<AspxCounter>
{
private:
    friend class KindWalkCounter<AspxCounter>;
    // Hands onKind each line's kind (LineKind), in line order.
    template <class OnKind> static void Walk(LineReader& lines, OnKind onKind);
};
extern template class KindWalkCounter<AspxCounter>;
