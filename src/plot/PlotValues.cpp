#include "plot/PlotValues.h"

#include "base/Rounding.h"

#include <algorithm>
#include <cmath>
#include <complex>

double SafeLog10(double x) {
    return std::log10(x > kSmallestPositive ? x : kSmallestPositive);
}

double Decibels(double ratio) {
    return 20.0 * SafeLog10(ratio);
}

double WrapDegrees(double degrees) {
    double r = std::fmod(degrees, 360.0);
    if (r > 180.0)
        r -= 360.0;
    else if (r < -180.0)
        r += 360.0;
    return r;
}

double ImpedanceMagnitude(double m1, double p1, double m2, double p2, double reference) {
    if (!(m2 < m1)) return 0.0;
    constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
    const std::complex<double> v1 = std::polar(m1, p1 * kRadiansPerDegree);
    const std::complex<double> v2 = std::polar(m2, p2 * kRadiansPerDegree);
    const std::complex<double> h = v2 / v1;
    return std::abs(h * reference / (1.0 - h));
}

int32_t ClampPixel(double v, int32_t fallback) {
    if (std::isnan(v)) return fallback;
    return static_cast<int32_t>(RoundHalfUp(std::clamp(v, double(-kMaxPixel), double(kMaxPixel))));
}
