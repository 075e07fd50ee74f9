#pragma once

#include "engine/KindWalkCounter.h"

// JSP pages: only the script between "<%" and "%>" and its "//" comments are
// counted as code or comment; markup counts in the total alone.
// The markers are fixed; those of the rule are not used.
class JspCounter : public KindWalkCounter<JspCounter>
{
private:
    friend class KindWalkCounter<JspCounter>;
    // Hands onKind each line's kind (LineKind), in line order.
    template <class OnKind> static void Walk(LineReader& lines, OnKind onKind);
};
extern template class KindWalkCounter<JspCounter>;
