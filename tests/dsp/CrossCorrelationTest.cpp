// Circular cross-correlation against the stated sequence cases and against the Hadamard
// transform, which computes the same sums by another route.
#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

// The signal generator's sequence for blocks of sixteen.
const std::vector<double> kMLS16{0, 0, 0, 0, 1, 1, 1, 0, 1, 1, 0, 0, 1, 0, 1, 1};

void Fill(CDSPFFTData& block, const std::vector<double>& values) {
    ASSERT_TRUE(block.Create(CDSPData::kTimeBlock, int32_t(values.size()), 48000.0));
    std::copy(values.begin(), values.end(), block.GetTimeObj()->GetDataPointer());
}

TEST(CrossCorrelate, DelayedSequencePeaksAtTheComplementaryLag) {
    for (int d = 0; d < 15; ++d) {
        std::vector<double> y(16, 0.0);
        for (int i = 0; i < 15; ++i)
            y[size_t(i)] = kMLS16[size_t((i - d + 15) % 15)];
        CDSPFFTData recording, reference;
        Fill(recording, y);
        Fill(reference, kMLS16);
        ASSERT_TRUE(recording.CrossCorrelate(reference));
        const std::vector<double> r = Values(recording.GetTimeObj());
        const int peak = (15 - d) % 15;
        for (int l = 0; l < 15; ++l)
            ASSERT_NEAR(r[size_t(l)], l == peak ? 7.0 / 15 : 3.0 / 15, 1e-15)
                << "delay " << d << " lag " << l;
        EXPECT_EQ(r[15], r[14]);
    }
}

TEST(CrossCorrelate, WithItselfPeaksAtLagZeroWithTheMeanSquare) {
    std::mt19937 random(7);
    std::normal_distribution<double> normal;
    std::vector<double> x(64);
    for (double& v : x)
        v = normal(random);
    double meanSquare = 0.0;
    for (int i = 0; i < 63; ++i)
        meanSquare += x[size_t(i)] * x[size_t(i)] / 63;
    CDSPFFTData block, same;
    Fill(block, x);
    Fill(same, x);
    ASSERT_TRUE(block.CrossCorrelate(same));
    const std::vector<double> r = Values(block.GetTimeObj());
    EXPECT_NEAR(r[0], meanSquare, 1e-12);
    for (int l = 1; l < 63; ++l)
        EXPECT_LT(r[size_t(l)], r[0]) << l;
}

// With a 0/1 sequence b and c = 2b - 1: sum a[i] b[i + l] = (sum a[i] c[i + l] + sum a) / 2,
// and the Hadamard transform gives sum a[i] c[i - l'] / P at l' = P - l.
TEST(CrossCorrelate, AgreesWithTheHadamardTransformOnAnyRecording) {
    std::mt19937 random(99);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::vector<double> a(16);
    for (double& v : a)
        v = uniform(random);
    double sum = 0.0;
    for (int i = 0; i < 15; ++i)
        sum += a[size_t(i)];
    CDSPFFTData viaCorrelation, viaHadamard, reference;
    Fill(viaCorrelation, a);
    Fill(viaHadamard, a);
    Fill(reference, kMLS16);
    ASSERT_TRUE(viaCorrelation.CrossCorrelate(reference));
    std::vector<int32_t> in, out;
    ASSERT_TRUE(viaHadamard.DoFHTReorderMatrix(in, out, reference));
    ASSERT_TRUE(viaHadamard.DoFHT(in, out));
    const std::vector<double> r = Values(viaCorrelation.GetTimeObj());
    const std::vector<double> h = Values(viaHadamard.GetTimeObj());
    for (int l = 0; l < 15; ++l)
        ASSERT_NEAR(r[size_t(l)], (h[size_t((15 - l) % 15)] * 15 + sum) / (2 * 15), 1e-13) << l;
}

TEST(CrossCorrelate, TheLastSampleOfEitherBlockTakesNoPart) {
    CDSPFFTData a, b, a2, b2;
    Fill(a, {1, 2, 3, 4, 5, 6, 7, 8});
    Fill(b, {0, 1, 0, 0, 1, 1, 0, 1});
    Fill(a2, {1, 2, 3, 4, 5, 6, 7, -100});
    Fill(b2, {0, 1, 0, 0, 1, 1, 0, 50});
    ASSERT_TRUE(a.CrossCorrelate(b));
    ASSERT_TRUE(a2.CrossCorrelate(b2));
    EXPECT_EQ(Snapshot(a).time, Snapshot(a2).time);
    // Lag 1 by hand: sum a[i] b[(i + 1) mod 7] over i = 0..6, divided by 7.
    EXPECT_NEAR(Values(a.GetTimeObj())[1],
                (1 * 1 + 2 * 0 + 3 * 0 + 4 * 1 + 5 * 1 + 6 * 0 + 7 * 0) / 7.0, 1e-15);
}

TEST(CrossCorrelate, RefusesOtherSizesAndLeavesTheBlock) {
    CDSPFFTData block, longer, tiny, tinyToo;
    Fill(block, {1, 2, 3, 4, 5, 6, 7, 8});
    Fill(longer, kMLS16);
    const CBlockSnapshot before = Snapshot(block);
    EXPECT_FALSE(block.CrossCorrelate(longer));
    EXPECT_EQ(Snapshot(block), before);
    Fill(tiny, {3});
    Fill(tinyToo, {4});
    EXPECT_FALSE(tiny.CrossCorrelate(tinyToo)) << "a block of one has no period";
    CDSPFFTData empty;
    EXPECT_FALSE(empty.CrossCorrelate(block));
}

// Long blocks against the direct sum in long double at a spread of lags (every lag for the
// shorter ones), within 1e-12 of the largest value: noise against noise, and a sequence
// against itself delayed, whose one large peak sits over values near zero.
TEST(CrossCorrelate, LongBlocksAgreeWithTheDirectSum) {
    for (int32_t n : {1024, 131072}) {
        std::mt19937 random{uint32_t(n)};
        std::uniform_real_distribution<double> uniform(-1.0, 1.0);
        for (bool sequence : {false, true}) {
            std::vector<double> a(static_cast<size_t>(n)), b(static_cast<size_t>(n));
            for (double& v : b)
                v = sequence ? (uniform(random) < 0 ? 0.0 : 1.0) : uniform(random);
            const int32_t p = n - 1;
            for (int32_t i = 0; i < n; ++i)
                a[size_t(i)] = sequence ? b[size_t((i + 37) % p)] : uniform(random);
            CDSPFFTData block, reference;
            Fill(block, a);
            Fill(reference, b);
            ASSERT_TRUE(block.CrossCorrelate(reference));
            const std::vector<double> r = Values(block.GetTimeObj());
            const int32_t step = n > 4096 ? 3119 : 1;
            std::vector<int32_t> lags{0, 37, p - 37, p - 1};
            for (int32_t l = 1; l < p; l += step)
                lags.push_back(l);
            std::vector<long double> expected;
            long double largest = 0.0L;
            for (int32_t l : lags) {
                long double sum = 0.0L;
                for (int32_t i = 0; i < p; ++i)
                    sum += static_cast<long double>(a[size_t(i)]) * b[size_t((i + l) % p)];
                expected.push_back(sum / p);
                largest = std::max(largest, std::fabs(sum / p));
            }
            for (size_t j = 0; j < lags.size(); ++j)
                ASSERT_NEAR(r[size_t(lags[j])], double(expected[j]), 1e-12 * double(largest))
                    << "N " << n << " lag " << lags[j];
            EXPECT_EQ(r[size_t(n - 1)], r[size_t(n - 2)]);
        }
    }
}

} // namespace
