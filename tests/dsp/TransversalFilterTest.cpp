// The transversal filter against closed forms and the delay-line formulation of the filter.
#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

void Fill(CDSPFFTData& block, const std::vector<double>& values) {
    ASSERT_TRUE(block.Create(CDSPData::kTimeBlock, int32_t(values.size()), 48000.0));
    std::copy(values.begin(), values.end(), block.GetTimeObj()->GetDataPointer());
}

std::vector<double> Filtered(const std::vector<double>& x, const std::vector<double>& h) {
    CDSPFFTData signal, taps;
    Fill(signal, x);
    Fill(taps, h);
    EXPECT_TRUE(signal.DoTransversalFilter(taps));
    return Values(signal.GetTimeObj());
}

TEST(TransversalFilter, UnitTapLeavesTheBlock) {
    const std::vector<double> x{0.5, -1, 2, 3, -4, 5, 0.25, 7};
    EXPECT_EQ(Filtered(x, {1, 0, 0, 0, 0, 0, 0, 0}), x);
}

TEST(TransversalFilter, SecondTapDelaysByOneSampleFromSilence) {
    EXPECT_EQ(Filtered({0.5, -1, 2, 3, -4, 5, 0.25, 7}, {0, 1, 0, 0, 0, 0, 0, 0}),
              (std::vector<double>{0, 0.5, -1, 2, 3, -4, 5, 0.25}));
}

// h[k] = 2^-k on a unit step: y[n] = 2 - 2^-n.
TEST(TransversalFilter, GeometricTapsOnAStep) {
    std::vector<double> h(32), x(32, 1.0);
    for (size_t k = 0; k < h.size(); ++k)
        h[k] = std::ldexp(1.0, -int(k));
    const std::vector<double> y = Filtered(x, h);
    for (int n = 0; n < 32; ++n)
        EXPECT_NEAR(y[size_t(n)], 2.0 - std::ldexp(1.0, -n), 1e-15) << n;
}

// A delay line that shifts towards its end and sums h[k] d[k]: the filter as first described.
TEST(TransversalFilter, MatchesADelayLineAndKeepsNoStateBetweenBlocks) {
    std::mt19937 random(3);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::vector<double> x(256), h(256);
    for (double& v : x)
        v = uniform(random);
    for (double& v : h)
        v = uniform(random);
    std::vector<double> delay(256, 0.0), expected;
    for (double sample : x) {
        for (size_t k = delay.size() - 1; k > 0; --k)
            delay[k] = delay[k - 1];
        delay[0] = sample;
        double y = 0.0;
        for (size_t k = 0; k < delay.size(); ++k)
            y += h[k] * delay[k];
        expected.push_back(y);
    }
    const std::vector<double> first = Filtered(x, h);
    for (size_t n = 0; n < x.size(); ++n)
        ASSERT_NEAR(first[n], expected[n], 1e-12) << n;
    EXPECT_EQ(Filtered(x, h), first);
}

TEST(TransversalFilter, RefusesOtherSizesAndLeavesTheBlock) {
    CDSPFFTData signal, taps;
    Fill(signal, {1, 2, 3, 4});
    Fill(taps, {1, 0, 0, 0, 0, 0, 0, 0});
    const CBlockSnapshot before = Snapshot(signal);
    EXPECT_FALSE(signal.DoTransversalFilter(taps));
    EXPECT_EQ(Snapshot(signal), before);
    CDSPFFTData empty;
    EXPECT_FALSE(empty.DoTransversalFilter(taps));
}

} // namespace
