// The transversal filter against the direct sum in long double.
#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::vector<double> Filtered(const std::vector<double>& x, const std::vector<double>& h) {
    CDSPFFTData signal, taps;
    EXPECT_TRUE(TimeBlock(signal, x) && TimeBlock(taps, h));
    EXPECT_TRUE(signal.DoTransversalFilter(taps));
    return Values(signal.GetTimeObj());
}

// y[n] = sum h[k] x[n - k] over k = 0..n, from silence, at a spread of outputs (all of them for
// the shorter blocks, one of which is no power of two), within 1e-12 of the largest; filtering
// again gives the same, so no state is kept between blocks.
TEST(TransversalFilter, AgreesWithTheDirectSumFromSilence) {
    for (int32_t n : {8, 1000, 1024, 131072}) {
        const std::vector<double> x = UniformNoise(size_t(n), uint32_t(n));
        std::vector<double> h = UniformNoise(size_t(n), uint32_t(n) + 1);
        for (int32_t k = 0; k < n; ++k) // a decaying response, as a filter's taps are
            h[size_t(k)] *= std::exp(-k / 200.0);
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
        if (n == 1000) {
            EXPECT_EQ(Filtered(x, h), y);
        }
    }
}

TEST(TransversalFilter, RefusesOtherSizesAndLeavesTheBlock) {
    CDSPFFTData signal, taps, empty;
    ASSERT_TRUE(TimeBlock(signal, {1, 2, 3, 4}));
    ASSERT_TRUE(TimeBlock(taps, {1, 0, 0, 0, 0, 0, 0, 0}));
    const CBlockSnapshot before = Snapshot(signal);
    EXPECT_FALSE(signal.DoTransversalFilter(taps));
    EXPECT_EQ(Snapshot(signal), before);
    EXPECT_FALSE(empty.DoTransversalFilter(taps));
}

} // namespace
