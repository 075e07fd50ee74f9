#pragma once

#include <cmath>

// Estimates are kept in hundredths, the precision every list, grid and file
// shows them in (cents of a cost, hundredths of an hour or of a test case).
// Each file's estimate is rounded where it is made and sums are kept exact to
// the hundredth, so a total always equals the sum of the rows it totals as
// they are shown, however many files there are.
namespace Hundredths
{
// fNumerator / fDenominator rounded half up to hundredths. Both are whole
// numbers, so a value that lies exactly halfway is seen as such.
inline double Of(double fNumerator, double fDenominator)
{
    return std::round(fNumerator * 100 / fDenominator) / 100;
}

// The sum of two values held in hundredths, again the nearest double to a
// whole number of hundredths: adding many of them one by one drifts not even
// by one hundredth.
inline double Sum(double fA, double fB)
{
    return std::round((fA + fB) * 100) / 100;
}
} // namespace Hundredths
