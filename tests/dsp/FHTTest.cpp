// The fast Hadamard transform between the sequence permutations against the direct circular
// correlation with the bipolar sequence, on maximum-length sequences made here by a shift
// register of its own.
#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <random>

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

void Fill(CDSPFFTData& block, const std::vector<double>& values) {
    ASSERT_TRUE(block.Create(CDSPData::kTimeBlock, int32_t(values.size()), 48000.0));
    std::copy(values.begin(), values.end(), block.GetTimeObj()->GetDataPointer());
}

// (1/P) sum over one period of y[i] (2 s[i - l] - 1).
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

struct CTrinomial {
    int p, q;
};

void PrintTo(const CTrinomial& t, std::ostream* os) {
    *os << "x^" << t.p << " + x^" << t.q << " + 1";
}

class FHT : public testing::TestWithParam<CTrinomial> {};

TEST_P(FHT, InputTagsOfOnePeriodAreEachNonZeroNumberOnce) {
    const std::vector<double> s = Sequence(GetParam().p, GetParam().q);
    CDSPFFTData block;
    Fill(block, s);
    std::vector<int32_t> in, out;
    ASSERT_TRUE(block.DoFHTReorderMatrix(in, out, block));
    ASSERT_EQ(in.size(), s.size());
    ASSERT_EQ(out.size(), s.size());
    std::vector<int32_t> tags(in.begin(), in.end() - 1);
    std::sort(tags.begin(), tags.end());
    for (size_t i = 0; i < tags.size(); ++i)
        ASSERT_EQ(tags[i], int32_t(i + 1));
}

// Max error below 1e-12 of the recording's scale: about N additions of values up to 1.
TEST_P(FHT, EqualsTheDirectCorrelationForAnyRecording) {
    const std::vector<double> s = Sequence(GetParam().p, GetParam().q);
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::vector<double> y(s.size());
    for (double& v : y)
        v = uniform(random);
    CDSPFFTData reference, recording;
    Fill(reference, s);
    Fill(recording, y);
    std::vector<int32_t> in, out;
    ASSERT_TRUE(recording.DoFHTReorderMatrix(in, out, reference));
    ASSERT_TRUE(recording.DoFHT(in, out));
    const std::vector<double> expected = DirectCorrelation(y, s);
    const std::vector<double> actual = Values(recording.GetTimeObj());
    for (size_t l = 0; l < s.size(); ++l)
        ASSERT_NEAR(actual[l], expected[l], 1e-12) << "lag " << l;
}

TEST_P(FHT, SequenceAgainstItselfDelayedPeaksAtTheDelay) {
    const std::vector<double> s = Sequence(GetParam().p, GetParam().q);
    const int n = int(s.size());
    const int period = n - 1;
    for (int d : {0, 1, period / 2, period - 1}) {
        std::vector<double> y(s.size(), 0.0);
        for (int i = 0; i < period; ++i)
            y[size_t(i)] = s[size_t(((i - d) % period + period) % period)];
        CDSPFFTData reference, recording;
        Fill(reference, s);
        Fill(recording, y);
        std::vector<int32_t> in, out;
        ASSERT_TRUE(recording.DoFHTReorderMatrix(in, out, reference));
        ASSERT_TRUE(recording.DoFHT(in, out));
        const std::vector<double> x = Values(recording.GetTimeObj());
        for (int l = 0; l < period; ++l)
            ASSERT_NEAR(x[size_t(l)], l == d ? (n / 2 - 1.0) / period : -1.0 / period, 1e-12)
                << "delay " << d << " lag " << l;
        EXPECT_EQ(x[size_t(n - 1)], x[size_t(n - 2)]);
    }
}

INSTANTIATE_TEST_SUITE_P(Sequences, FHT,
                         testing::Values(CTrinomial{2, 1}, CTrinomial{3, 1}, CTrinomial{4, 1},
                                         CTrinomial{7, 1}, CTrinomial{10, 3}, CTrinomial{11, 2}),
                         [](const auto& info) { return "N" + std::to_string(1 << info.param.p); });

// The block of eight as the signal generator writes it: 3/7 at the delay, -1/7 elsewhere.
TEST(FHTOfEight, GeneratorSequence) {
    const std::vector<double> s{0, 0, 0, 1, 0, 1, 1, 1};
    for (int d = 0; d < 7; ++d) {
        std::vector<double> y(8, 0.0);
        for (int i = 0; i < 7; ++i)
            y[size_t(i)] = s[size_t((i - d + 7) % 7)];
        CDSPFFTData reference, recording;
        Fill(reference, s);
        Fill(recording, y);
        std::vector<int32_t> in, out;
        ASSERT_TRUE(recording.DoFHTReorderMatrix(in, out, reference));
        ASSERT_TRUE(recording.DoFHT(in, out));
        for (int l = 0; l < 8; ++l)
            EXPECT_NEAR(Values(recording.GetTimeObj())[size_t(l)],
                        l == d || (l == 7 && d == 6) ? 3.0 / 7 : -1.0 / 7, 1e-15)
                << "delay " << d << " lag " << l;
    }
}

TEST(FHTRefusals, SizesThatDoNotFitLeaveEverythingUnchanged) {
    const std::vector<double> s8 = Sequence(3, 1);
    const std::vector<double> s16 = Sequence(4, 1);
    CDSPFFTData block8, block16, odd;
    Fill(block8, s8);
    Fill(block16, s16);
    Fill(odd, std::vector<double>(12, 0.5));
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
