// The fast Hadamard transform between the sequence permutations against the direct circular
// correlation with the bipolar sequence, on maximum-length sequences made here by a shift
// register of its own.
#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// One period of a maximum-length sequence from the recurrence a[i + p] = a[i + q] xor a[i]
// (primitive trinomial x^p + x^q + 1), as unipolar samples 1 - a (a one bit is a sample of
// 0.0, so a period holds N/2 - 1 samples of 1.0), with the filler 1.0 at sample N - 1.
std::vector<double> Sequence(int p, int q) {
    const int n = 1 << p;
    std::vector<int> a(size_t(n - 1 + p), 1);
    for (int i = 0; i + p < int(a.size()); ++i)
        a[size_t(i + p)] = a[size_t(i + q)] ^ a[size_t(i)];
    std::vector<double> s;
    for (int i = 0; i < n - 1; ++i)
        s.push_back(1.0 - a[size_t(i)]);
    s.push_back(1.0);
    return s;
}

// (1/P) sum over one period of y[i] (2 s[i - l] - 1); the last sample repeats the one before.
std::vector<double> DirectCorrelation(const std::vector<double>& y, const std::vector<double>& s) {
    const int period = int(s.size()) - 1;
    std::vector<double> r(s.size());
    for (int l = 0; l < period; ++l) {
        double sum = 0.0;
        for (int i = 0; i < period; ++i)
            sum += y[size_t(i)] * (2.0 * s[size_t(((i - l) % period + period) % period)] - 1.0);
        r[size_t(l)] = sum / period;
    }
    r.back() = r[r.size() - 2];
    return r;
}

// Sequences of 4 to 2048 samples. Max error below 1e-12 of the recording's scale: about N
// additions of values up to 1.
TEST(FHT, EqualsTheDirectCorrelationAndPeaksAtADelay) {
    for (const auto& [p, q] : {std::pair{2, 1}, {3, 1}, {4, 1}, {7, 1}, {10, 3}, {11, 2}}) {
        SCOPED_TRACE(testing::Message() << "N " << (1 << p));
        const std::vector<double> s = Sequence(p, q);
        const int n = int(s.size()), period = n - 1, delay = period / 2;
        CDSPFFTData reference, recording, delayed;
        ASSERT_TRUE(TimeBlock(reference, s));
        const std::vector<double> y = UniformNoise(s.size(), 12345);
        ASSERT_TRUE(TimeBlock(recording, y));
        std::vector<int32_t> in, out;
        ASSERT_TRUE(recording.DoFHTReorderMatrix(in, out, reference));
        std::vector<int32_t> tags(in.begin(), in.end() - 1);
        std::sort(tags.begin(), tags.end());
        for (size_t i = 0; i < tags.size(); ++i)
            ASSERT_EQ(tags[i], int32_t(i + 1)) << "each non-zero input tag once";
        ASSERT_TRUE(recording.DoFHT(in, out));
        const std::vector<double> expected = DirectCorrelation(y, s);
        const std::vector<double> actual = Values(recording.GetTimeObj());
        for (size_t l = 0; l < s.size(); ++l)
            ASSERT_NEAR(actual[l], expected[l], 1e-12) << "lag " << l;

        // The sequence itself, delayed: (N/2 - 1)/P at the delay, -1/P elsewhere.
        std::vector<double> echo(s.size(), 0.0);
        for (int i = 0; i < period; ++i)
            echo[size_t(i)] = s[size_t(((i - delay) % period + period) % period)];
        ASSERT_TRUE(TimeBlock(delayed, echo));
        ASSERT_TRUE(delayed.DoFHT(in, out));
        const std::vector<double> x = Values(delayed.GetTimeObj());
        for (int l = 0; l < period; ++l)
            ASSERT_NEAR(x[size_t(l)], l == delay ? (n / 2 - 1.0) / period : -1.0 / period, 1e-12)
                << "lag " << l;
    }
}

TEST(FHTRefusals, SizesThatDoNotFitLeaveEverythingUnchanged) {
    CDSPFFTData block8, block16, odd;
    ASSERT_TRUE(TimeBlock(block8, Sequence(3, 1)));
    ASSERT_TRUE(TimeBlock(block16, Sequence(4, 1)));
    ASSERT_TRUE(TimeBlock(odd, std::vector<double>(12, 0.5)));
    std::vector<int32_t> in{7}, out{9};
    EXPECT_FALSE(block8.DoFHTReorderMatrix(in, out, block16));
    EXPECT_FALSE(odd.DoFHTReorderMatrix(in, out, odd)) << "not a power of two";
    EXPECT_EQ(in, std::vector<int32_t>{7});
    EXPECT_EQ(out, std::vector<int32_t>{9});

    ASSERT_TRUE(block16.DoFHTReorderMatrix(in, out, block16));
    const CBlockSnapshot before = Snapshot(block8);
    EXPECT_FALSE(block8.DoFHT(in, out)) << "tables of sixteen for a block of eight";
    std::vector<int32_t> in8, out8;
    ASSERT_TRUE(block8.DoFHTReorderMatrix(in8, out8, block8));
    in8[2] = 8; // a tag outside the transform
    EXPECT_FALSE(block8.DoFHT(in8, out8));
    EXPECT_EQ(Snapshot(block8), before);
    CDSPFFTData empty;
    EXPECT_FALSE(empty.DoFHT(in8, out8));
}

} // namespace
