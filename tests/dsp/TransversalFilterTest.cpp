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
    const std::vector<double> y = Filtered(x, {1, 0, 0, 0, 0, 0, 0, 0});
    for (size_t n = 0; n < x.size(); ++n)
        EXPECT_NEAR(y[n], x[n], 1e-15) << n;
}

TEST(TransversalFilter, SecondTapDelaysByOneSampleFromSilence) {
    const std::vector<double> y =
        Filtered({0.5, -1, 2, 3, -4, 5, 0.25, 7}, {0, 1, 0, 0, 0, 0, 0, 0});
    const std::vector<double> expected{0, 0.5, -1, 2, 3, -4, 5, 0.25};
    for (size_t n = 0; n < y.size(); ++n)
        EXPECT_NEAR(y[n], expected[n], 1e-15) << n;
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

// Long blocks, and one whose size is not a power of two, against the direct sum in long double
// at a spread of outputs (all of them for the shorter ones), within 1e-12 of the largest.
TEST(TransversalFilter, LongBlocksAgreeWithTheDirectSum) {
    for (int32_t n : {1000, 1024, 131072}) {
        std::mt19937 random{uint32_t(n)};
        std::uniform_real_distribution<double> uniform(-1.0, 1.0);
        std::vector<double> x(static_cast<size_t>(n)), h(static_cast<size_t>(n));
        for (double& v : x)
            v = uniform(random);
        // A decaying response, as a filter's taps are.
        for (int32_t k = 0; k < n; ++k)
            h[size_t(k)] = uniform(random) * std::exp(-k / 200.0);
        const std::vector<double> y = Filtered(x, h);
        const int32_t step = n > 4096 ? 2741 : 1;
        std::vector<int32_t> outputs{0, 1, n - 1};
        for (int32_t i = 2; i < n - 1; i += step)
            outputs.push_back(i);
        std::vector<long double> expected;
        long double largest = 0.0L;
        for (int32_t i : outputs) {
            long double sum = 0.0L;
            for (int32_t k = 0; k <= i; ++k)
                sum += static_cast<long double>(h[size_t(k)]) * x[size_t(i - k)];
            expected.push_back(sum);
            largest = std::max(largest, std::fabs(sum));
        }
        for (size_t j = 0; j < outputs.size(); ++j)
            ASSERT_NEAR(y[size_t(outputs[j])], double(expected[j]), 1e-12 * double(largest))
                << "N " << n << " output " << outputs[j];
    }
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
