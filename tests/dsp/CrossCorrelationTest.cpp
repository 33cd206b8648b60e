// Circular cross-correlation against the direct sum in long double and the stated sequence case.
#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// Blocks against the direct sum sum a[i] b[(i + l) mod P] / P in long double at a spread of lags
// (every lag for the shorter ones), within 1e-12 of the largest value: noise against noise, and
// a sequence against itself delayed, whose one large peak sits over values near zero. The last
// sample of either block takes no part.
TEST(CrossCorrelate, AgreesWithTheDirectSum) {
    for (int32_t n : {8, 1024, 131072}) {
        const std::vector<double> noise = UniformNoise(size_t(2 * n), uint32_t(n));
        for (bool sequence : {false, true}) {
            std::vector<double> a(noise.begin(), noise.begin() + n),
                b(noise.begin() + n, noise.end());
            const int32_t p = n - 1;
            if (sequence) {
                for (double& v : b)
                    v = v < 0 ? 0.0 : 1.0;
                for (int32_t i = 0; i < n; ++i)
                    a[size_t(i)] = b[size_t((i + 5) % p)];
            }
            a[size_t(p)] = 100.0;
            b[size_t(p)] = -50.0;
            CDSPFFTData block, reference;
            ASSERT_TRUE(TimeBlock(block, a));
            ASSERT_TRUE(TimeBlock(reference, b));
            ASSERT_TRUE(block.CrossCorrelate(reference));
            const std::vector<double> r = Values(block.GetTimeObj());
            const int32_t step = n > 4096 ? 3119 : 1;
            std::vector<int32_t> lags{0, 5, p - 5, p - 1};
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

// References that take turns, come back, or change a single sample in place between calls:
// each correlation is with the reference as it is now.
TEST(CrossCorrelate, FollowsEveryChangeOfTheReference) {
    constexpr int32_t n = 64, p = n - 1;
    const std::vector<double> a = UniformNoise(size_t(n), 7);
    std::vector<std::vector<double>> refs{UniformNoise(size_t(n), 8), UniformNoise(size_t(n), 9),
                                          UniformNoise(size_t(n), 10)};
    CDSPFFTData reference; // one block whose samples are rewritten, as a run's list is
    ASSERT_TRUE(TimeBlock(reference, refs[0]));
    for (const auto& [which, changed] : std::vector<std::pair<size_t, int>>{
             {0, -1}, {1, -1}, {0, -1}, {0, 62}, {2, -1}, {1, 17}, {0, -1}, {0, 0}}) {
        std::vector<double>& b = refs[which];
        if (changed >= 0) b[size_t(changed)] += 0.25;
        std::copy(b.begin(), b.end(), reference.GetTimeObj()->GetDataPointer());
        CDSPFFTData block;
        ASSERT_TRUE(TimeBlock(block, a));
        ASSERT_TRUE(block.CrossCorrelate(reference));
        for (int32_t l = 0; l < p; ++l) {
            long double sum = 0.0L;
            for (int32_t i = 0; i < p; ++i)
                sum += static_cast<long double>(a[size_t(i)]) * b[size_t((i + l) % p)];
            ASSERT_NEAR(block.GetTimeObj()->GetDataPointer()[l], double(sum / p), 1e-12)
                << "reference " << which << " changed at " << changed << ", lag " << l;
        }
    }
}

TEST(CrossCorrelate, RefusesOtherSizesAndLeavesTheBlock) {
    CDSPFFTData block, longer, tiny, tinyToo, empty;
    ASSERT_TRUE(TimeBlock(block, {1, 2, 3, 4, 5, 6, 7, 8}));
    ASSERT_TRUE(TimeBlock(longer, std::vector<double>(16, 1.0)));
    const CBlockSnapshot before = Snapshot(block);
    EXPECT_FALSE(block.CrossCorrelate(longer));
    EXPECT_EQ(Snapshot(block), before);
    ASSERT_TRUE(TimeBlock(tiny, {3}));
    ASSERT_TRUE(TimeBlock(tinyToo, {4}));
    EXPECT_FALSE(tiny.CrossCorrelate(tinyToo)) << "a block of one has no period";
    EXPECT_FALSE(empty.CrossCorrelate(block));
}

} // namespace
