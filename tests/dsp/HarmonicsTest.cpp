// Single-bin distortion measurements, averaging and smoothing on magnitude arrays made by hand:
// exactly which bins each reading sums.

#include "dsp/DSPData.h"

#include "common/CaseName.h"
#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <vector>

namespace {
// N bins at N * 1000 samples per second, so bin k stands for k kHz.
void MakeSpectrum(CDSPData& data, int32_t n, const std::map<int, double>& bins) {
    ASSERT_TRUE(data.Create(1, n, n * 1000.0));
    for (const auto& [bin, value] : bins)
        data.GetDataPointer()[bin] = value;
}

struct SumCase {
    std::string name;
    int32_t n;
    std::map<int, double> bins;
    double fundamental;
    double thdSquares, thdnSquares; // sums of squared magnitudes over the fundamental's
};

class THDBins : public ::testing::TestWithParam<SumCase> {};

TEST_P(THDBins, SumExactlyTheStatedBins) {
    const SumCase& c = GetParam();
    CDSPData data;
    MakeSpectrum(data, c.n, c.bins);
    EXPECT_NEAR(data.GetTHD(c.fundamental), std::sqrt(c.thdSquares) * 100.0, 1e-12);
    EXPECT_NEAR(data.GetTHDPlusN(c.fundamental), std::sqrt(c.thdnSquares) * 100.0, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Spectra, THDBins,
    ::testing::Values(
        // Noise at bin 5 and DC are in THD+N only; bin 8 = N/2 is never summed.
        SumCase{"NoiseDcAndNyquist",
                16,
                {{0, 0.3}, {2, 1.0}, {4, 0.1}, {5, 0.2}, {8, 0.5}},
                0.0,
                0.01,
                0.09 + 0.01 + 0.04},
        // Fundamental 3: harmonics 6, 9, 12, 15 of 32 bins; bins 16 and up are not summed.
        SumCase{"HarmonicsBelowHalf",
                32,
                {{3, 2.0}, {6, 0.2}, {9, 0.4}, {12, 0.2}, {15, 0.2}, {18, 1.0}, {10, 0.2}},
                3000.0,
                (0.04 + 0.16 + 0.04 + 0.04) / 4.0,
                (0.04 + 0.16 + 0.04 + 0.04 + 0.04) / 4.0},
        // Fundamental bin 1 (named by a frequency nearest to it): every bin from 2 up.
        SumCase{"FundamentalAtBin1",
                16,
                {{1, 1.0}, {2, 0.1}, {3, 0.2}, {7, 0.3}, {0, 0.4}},
                1400.0,
                0.01 + 0.04 + 0.09,
                0.01 + 0.04 + 0.09 + 0.16},
        // DC as the fundamental: every other bin below N/2.
        SumCase{
            "FundamentalAtDc", 16, {{0, 1.0}, {1, 0.1}, {7, 0.2}}, 0.0, 0.01 + 0.04, 0.01 + 0.04},
        // A fundamental outside the array has nothing to measure.
        SumCase{"FundamentalPastTheEnd", 16, {{2, 1.0}, {4, 1.0}}, 20000.0, 0.0, 0.0},
        SumCase{"NegativeFundamental", 16, {{2, 1.0}, {4, 1.0}}, -3000.0, 0.0, 0.0}),
    CaseName());

TEST(Harmonics, SingleHarmonicsAndTheStrongestBins) {
    CDSPData data, ties;
    MakeSpectrum(data, 16, {{2, 1.0}, {4, 0.1}, {6, 0.3}, {15, 5.0}});
    EXPECT_EQ(data.GetMaxHarmonic(), 2) << "bins from N/2 are not searched";
    EXPECT_DOUBLE_EQ(data.GetHarmonicDistortion(2400.0, 3), 30.0) << "nearest bin 2";
    EXPECT_EQ(data.GetHarmonicDistortion(2000.0, 8), 0.0) << "bin 16 is outside";
    EXPECT_EQ(data.GetHarmonicDistortion(2000.0, -1), 0.0);
    EXPECT_EQ(data.GetHarmonicNumber(1500.0), 2) << "halves up";
    EXPECT_EQ(data.GetHarmonicNumber(9000.0), 8) << "clamped to N/2";
    EXPECT_EQ(data.GetHarmonicNumber(std::numeric_limits<double>::quiet_NaN()), 0);
    MakeSpectrum(ties, 16, {{4, 1.0}, {5, 0.9}, {3, 0.8}, {7, 0.9}});
    EXPECT_EQ(ties.GetNextHarmonic(4), 5) << "ties keep the lower bin, neighbours count";
}

// Magnitudes 0.001 * (b + 1) in every bin of a 256-bin spectrum except the two tones.
double RampSquares(const std::set<int>& products) {
    double sum = 0.0;
    for (int b : products)
        sum += 0.001 * (b + 1) * 0.001 * (b + 1);
    return sum;
}

struct IMDCase {
    std::string name;
    int order;
    int bin1, bin2; // tones (1.0 and 0.5)
    double f1, f2;  // as passed (0 for the strongest bins)
    std::set<int> products;
};

class IMDProducts : public ::testing::TestWithParam<IMDCase> {};

TEST_P(IMDProducts, SumsExactlyTheProductBins) {
    const IMDCase& c = GetParam();
    std::map<int, double> bins;
    for (int b = 0; b < 256; ++b)
        bins[b] = 0.001 * (b + 1);
    bins[c.bin1] = 1.0;
    bins[c.bin2] = 0.5;
    CDSPData data;
    MakeSpectrum(data, 256, bins);
    const double expected = std::sqrt(RampSquares(c.products)) / std::sqrt(1.25) * 100.0;
    const double measured = c.order == 2   ? data.Get2ndOrderIMD(c.f1, c.f2)
                            : c.order == 3 ? data.Get3rdOrderIMD(c.f1, c.f2)
                                           : data.Get4thOrderIMD(c.f1, c.f2);
    EXPECT_NEAR(measured, expected, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, IMDProducts,
    ::testing::Values(
        IMDCase{"Third", 3, 10, 13, 10000.0, 13000.0, {39, 36, 16, 33, 7, 30}},
        IMDCase{"FourthStrongestTones", 4, 10, 13, 10000.0, 0.0, {52, 49, 29, 46, 6, 43, 17, 40}},
        // f1 - 2 f2 and 3 f1 both give bin 30 (counted once); 2 f1 - f2 gives DC.
        IMDCase{"ThirdCoinciding", 3, 10, 20, 10000.0, 20000.0, {60, 50, 30, 40, 0}},
        // Products at or above half the sample rate (bin 128) are not counted: of 300, 240,
        // 160, 180, 20 and 120 kHz only the last two.
        IMDCase{"ThirdNearHalf", 3, 40, 100, 40000.0, 100000.0, {20, 120}}),
    CaseName());

struct AverageCase {
    std::string name;
    int n, limit;
    double expected; // of 1025 on an average of 1
};

class Average : public ::testing::TestWithParam<AverageCase> {};

// The divisor doubles as the passes grow by ln 2 times powers of two, up to the limit.
TEST_P(Average, UsesTheStatedDivisor) {
    EXPECT_EQ(CDSPData::Average(1025.0, 1.0, GetParam().n, GetParam().limit), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Passes, Average,
    ::testing::Values(AverageCase{"First", 1, 8, 1025}, AverageCase{"Second", 2, 8, 513},
                      AverageCase{"Third", 3, 1000, 257}, AverageCase{"Fifth", 5, 1000, 257},
                      AverageCase{"Sixth", 6, 1000, 129}, AverageCase{"At355", 355, 1000, 3},
                      AverageCase{"AtTheLimit", 6, 6, 1.0 + 1024.0 / 6.0},
                      AverageCase{"PastTheLimit", 9, 8, 129},
                      AverageCase{"NegativePasses", -3, 8, 129},
                      AverageCase{"LimitOne", 2, 1, 1025}, AverageCase{"LimitZero", 4, 0, 1025}),
    CaseName());

struct SmoothCase {
    std::string name;
    std::vector<double> values;
    int halfWidth;
    bool result;
    std::vector<double> expected;
};

class UnweightedSmooth : public ::testing::TestWithParam<SmoothCase> {};

TEST_P(UnweightedSmooth, MovingAverageKeepsTheEnds) {
    const SmoothCase& c = GetParam();
    CDSPData data;
    ASSERT_TRUE(data.Create(1, static_cast<int32_t>(c.values.size()), 8000.0));
    std::copy(c.values.begin(), c.values.end(), data.GetDataPointer());
    const double* before = data.GetDataPointer();
    EXPECT_EQ(data.UnweightedSmooth(c.halfWidth), c.result);
    EXPECT_EQ(data.GetDataPointer(), before) << "the values stay where a holder sees them";
    const std::vector<double> got = Values(&data);
    ASSERT_EQ(got.size(), c.expected.size());
    for (size_t i = 0; i < got.size(); ++i)
        EXPECT_DOUBLE_EQ(got[i], c.expected[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnweightedSmooth,
    ::testing::Values(
        SmoothCase{"HalfWidth1", {0, 0, 3, 0, 0}, 1, true, {0, 1, 1, 1, 0}},
        SmoothCase{"AveragesOldValuesNotNew", {0, 3, 0, 0}, 1, true, {0, 1, 1, 0}},
        SmoothCase{
            "HalfWidth2", {8, 0, 4, 0, 8, 0, 4, 0, 8}, 2, true, {8, 0, 4, 2.4, 3.2, 2.4, 4, 0, 8}},
        SmoothCase{"Negative", {1, 7, 2}, -1, false, {1, 7, 2}}),
    CaseName());

} // namespace
