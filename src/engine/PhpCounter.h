#pragma once

#include "engine/KindWalkCounter.h"

// PHP pages: a scanner over the markers "<?", "?>", "//", "#", "/*" and "*/";
// only the PHP sections are counted as code or comment, markup in the total alone.
// The markers are fixed; those of the rule are not used.
class PhpCounter : public KindWalkCounter<PhpCounter>
{
private:
    friend class KindWalkCounter<PhpCounter>;
    // Hands onKind each line's kind (LineKind), in line order.
    template <class OnKind> static void Walk(LineReader& lines, OnKind onKind);
};
extern template class KindWalkCounter<PhpCounter>;
