#pragma once

#include <charconv>
#include <cmath>
#include <string>

// Rounds a share to two decimals the way every estimate view shows it: the
// integer part of v * 100 + 0.5, divided by 100 (29.4117 -> 29.41, 0.125 -> 0.13).
// A value that is not a number (a share of nothing) becomes 0.
inline double RoundTwoDecimals(double v)
{
    if (!std::isfinite(v))
        return 0.0;
    return std::trunc(v * 100.0 + 0.5) / 100.0;
}

// Fixed-point text of a number with the given decimals, independent of the C
// locale: a program running under a locale with a decimal comma must still
// write "50.0" into a CSV file, or every number would split its line in two.
inline std::string FixedText(double fValue, int nDecimals)
{
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof(buf), fValue, std::chars_format::fixed, nDecimals);
    return std::string(buf, res.ptr);
}

// The number FixedText writes, read back: what a reader of an export gets.
inline double FixedValue(double fValue, int nDecimals)
{
    const std::string str = FixedText(fValue, nDecimals);
    double fRead = 0;
    std::from_chars(str.data(), str.data() + str.size(), fRead);
    return fRead;
}
