#pragma once
// Nearest-integer rounding shared by bin lookups and DoubleToInt: halfway values go up.

#include <cmath>

/** The nearer of floor(x) and ceil(x); ceil(x) when both are equally near (so -2.5 gives -2). */
inline double RoundHalfUp(double x) {
    const double lo = std::floor(x);
    const double hi = std::ceil(x);
    return hi - x <= x - lo ? hi : lo;
}
