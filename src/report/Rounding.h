#pragma once

#include <cmath>

// Rounds a share to two decimals the way every estimate view shows it: the
// integer part of v * 100 + 0.5, divided by 100 (29.4117 -> 29.41, 0.125 -> 0.13).
// A value that is not a number (a share of nothing) becomes 0.
inline double RoundTwoDecimals(double v)
{
    if (!std::isfinite(v))
        return 0.0;
    return std::trunc(v * 100.0 + 0.5) / 100.0;
}
