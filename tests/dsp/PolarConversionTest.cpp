// The vectorised magnitude/phase conversions against the C library at the values that test
// their range reductions: signed zeros, quadrant and octant edges, extremes and non-numbers.
#include "dsp/PolarConversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {
const double kInf = std::numeric_limits<double>::infinity();
const double kDegrees = 57.29577951308;

void ExpectSame(double got, double expected, const char* what, double x, double y) {
    if (std::isnan(expected)) {
        EXPECT_TRUE(std::isnan(got)) << what << " of " << x << ", " << y;
        return;
    }
    if (expected == 0.0 || std::isinf(expected)) {
        EXPECT_EQ(got, expected) << what << " of " << x << ", " << y;
        EXPECT_EQ(std::signbit(got), std::signbit(expected)) << what << " of " << x << ", " << y;
        return;
    }
    EXPECT_LE(std::fabs(got - expected), 4e-16 * std::fabs(expected))
        << what << " of " << x << ", " << y;
}
} // namespace

TEST(PolarFromRect, MatchesHypotAndAtan2) {
    std::vector<double> re, im;
    const double special[] = {0.0,    -0.0,  1.0,    -1.0, 0.66,  -0.66,        2.5e-160,
                              1e-310, 3e200, -4e155, kInf, -kInf, std::nan(""), 1e-140};
    for (double x : special)
        for (double y : special) {
            re.push_back(x);
            im.push_back(y);
        }
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (int i = 0; i < 20000; ++i) {
        const double r = unit(rng) * std::pow(10.0, 4.0 * unit(rng));
        // Around the octant edges |y| = 0.66 |x| and |y| = |x| as well as anywhere.
        const double ratio = i % 3 == 0   ? 0.66 * (1 + 1e-9 * unit(rng))
                             : i % 3 == 1 ? 1.0 + 1e-12 * unit(rng)
                                          : unit(rng) * 50.0;
        re.push_back(i % 2 ? r : r * ratio);
        im.push_back(i % 2 ? r * ratio * (i % 4 == 1 ? -1 : 1) : -r);
    }
    std::vector<double> magnitude(re.size()), degrees(re.size());
    PolarFromRect(int32_t(re.size()), re.data(), im.data(), 0.5, magnitude.data(), degrees.data());
    for (size_t k = 0; k < re.size(); ++k) {
        ExpectSame(magnitude[k], std::hypot(re[k], im[k]) * 0.5, "magnitude", re[k], im[k]);
        ExpectSame(degrees[k], std::atan2(im[k], re[k]) * kDegrees, "phase", re[k], im[k]);
    }
}

TEST(RectFromPolar, MatchesCosAndSine) {
    std::vector<double> degrees{0.0,   -0.0, 90.0,   -90.0,      180.0, -180.0,
                                270.0, 45.0, 1e-300, 359.999999, 7.2e7, -3e9};
    std::mt19937 rng(23);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (int i = 0; i < 20000; ++i)
        degrees.push_back(unit(rng) * (i % 2 ? 180.0 : 50000.0));
    const std::vector<double> magnitude(degrees.size(), 3.0);
    std::vector<double> re(degrees.size()), im(degrees.size());
    RectFromPolar(int32_t(degrees.size()), magnitude.data(), degrees.data(), 2.0, re.data(),
                  im.data());
    for (size_t k = 0; k < degrees.size(); ++k) {
        const double phi = degrees[k] / kDegrees;
        // Absolute to the amplitude: a cosine near zero is only as exact as its argument.
        EXPECT_NEAR(re[k], 6.0 * std::cos(phi), 6.0 * 4e-16) << degrees[k];
        EXPECT_NEAR(im[k], 6.0 * std::sin(phi), 6.0 * 4e-16) << degrees[k];
    }
}
