// Single-bin distortion measurements, averaging and smoothing on magnitude arrays made by hand:
// exactly which bins each reading sums.

#include "dsp/DSPData.h"
#include "dsp/RunningAverage.h"

#include "common/DspTestUtil.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

namespace {
// N bins at N * 1000 samples per second, so bin k stands for k kHz.
void MakeSpectrum(CDSPData& data, int32_t n, const std::map<int, double>& bins) {
    ASSERT_TRUE(data.Create(1, n, n * 1000.0));
    for (const auto& [bin, value] : bins)
        data.GetDataPointer()[bin] = value;
}

// Each row: N bins, the magnitudes given, the fundamental, then the sums of squared magnitudes
// over the fundamental's that THD and THD+N take.
TEST(THDBins, SumExactlyTheStatedBins) {
    const std::tuple<int32_t, std::map<int, double>, double, double, double> cases[] = {
        // Noise at bin 5 and DC are in THD+N only; bin 8 = N/2 is never summed.
        {16, {{0, 0.3}, {2, 1.0}, {4, 0.1}, {5, 0.2}, {8, 0.5}}, 0.0, 0.01, 0.09 + 0.01 + 0.04},
        // Fundamental 3: harmonics 6, 9, 12, 15 of 32 bins; bins 16 and up are not summed.
        {32,
         {{3, 2.0}, {6, 0.2}, {9, 0.4}, {12, 0.2}, {15, 0.2}, {18, 1.0}, {10, 0.2}},
         3000.0,
         (0.04 + 0.16 + 0.04 + 0.04) / 4.0,
         (0.04 + 0.16 + 0.04 + 0.04 + 0.04) / 4.0},
        // Fundamental bin 1 (named by a frequency nearest to it): every bin from 2 up.
        {16, {{1, 1.0}, {2, 0.1}, {3, 0.2}, {7, 0.3}, {0, 0.4}}, 1400.0, 0.14, 0.3},
        // DC as the fundamental: every other bin below N/2.
        {16, {{0, 1.0}, {1, 0.1}, {7, 0.2}}, 0.0, 0.01 + 0.04, 0.01 + 0.04},
        // A fundamental outside the array has nothing to measure.
        {16, {{2, 1.0}, {4, 1.0}}, 20000.0, 0.0, 0.0},
        {16, {{2, 1.0}, {4, 1.0}}, -3000.0, 0.0, 0.0}};
    for (const auto& [n, bins, fundamental, thdSquares, thdnSquares] : cases) {
        SCOPED_TRACE(fundamental);
        CDSPData data;
        MakeSpectrum(data, n, bins);
        EXPECT_NEAR(data.GetTHD(fundamental), std::sqrt(thdSquares) * 100.0, 1e-12);
        EXPECT_NEAR(data.GetTHDPlusN(fundamental), std::sqrt(thdnSquares) * 100.0, 1e-12);
    }
}

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

// Each row: the order, the bins of the tones (1.0 and 0.5), their frequencies as passed (0 for
// the strongest bins) and the product bins summed.
TEST(IMDProducts, SumsExactlyTheProductBins) {
    const std::tuple<int, int, int, double, double, std::set<int>> cases[] = {
        {3, 10, 13, 10000.0, 13000.0, {39, 36, 16, 33, 7, 30}},
        {4, 10, 13, 10000.0, 0.0, {52, 49, 29, 46, 6, 43, 17, 40}},
        // f1 - 2 f2 and 3 f1 both give bin 30 (counted once); 2 f1 - f2 gives DC.
        {3, 10, 20, 10000.0, 20000.0, {60, 50, 30, 40, 0}},
        // Products at or above half the sample rate (bin 128) are not counted: of 300, 240,
        // 160, 180, 20 and 120 kHz only the last two.
        {3, 40, 100, 40000.0, 100000.0, {20, 120}}};
    for (const auto& [order, bin1, bin2, f1, f2, products] : cases) {
        std::map<int, double> bins;
        for (int b = 0; b < 256; ++b)
            bins[b] = 0.001 * (b + 1);
        bins[bin1] = 1.0;
        bins[bin2] = 0.5;
        CDSPData data;
        MakeSpectrum(data, 256, bins);
        const double expected = std::sqrt(RampSquares(products)) / std::sqrt(1.25) * 100.0;
        const double measured = order == 2   ? data.Get2ndOrderIMD(f1, f2)
                                : order == 3 ? data.Get3rdOrderIMD(f1, f2)
                                             : data.Get4thOrderIMD(f1, f2);
        EXPECT_NEAR(measured, expected, 1e-12) << order << " " << bin1 << " " << bin2;
    }
}

// The divisor doubles as the passes grow by ln 2 times powers of two, up to the limit: each
// row is {passes, limit, the average of 1025 on an average of 1}.
TEST(Average, UsesTheStatedDivisor) {
    const double cases[][3] = {{1, 8, 1025},
                               {2, 8, 513},
                               {3, 1000, 257},
                               {5, 1000, 257},
                               {6, 1000, 129},
                               {355, 1000, 3},
                               {6, 6, 1.0 + 1024.0 / 6.0},
                               {9, 8, 129},
                               {-3, 8, 129},
                               {2, 1, 1025},
                               {4, 0, 1025}};
    for (const auto& [n, limit, expected] : cases)
        EXPECT_EQ(CDSPData::Average(1025.0, 1.0, int(n), int(limit)), expected)
            << n << " " << limit;
}

// The array forms, run over a whole block, give each value exactly what the scalar average
// gives it, the root of a power average too (odd lengths reach the vector loops' remainders).
TEST(Average, ArraysMatchTheScalarAverageBitForBit) {
    for (const auto& [n, limit] : {std::pair{1, 8}, {2, 8}, {6, 1000}, {6, 6}, {4, 0}}) {
        std::vector<double> values(37), averages(37), roots(37);
        for (size_t i = 0; i < values.size(); ++i) {
            values[i] = 1025.0 / double(i + 3);
            averages[i] = roots[i] = 0.1 * double(i) + 1.0 / 3.0;
        }
        std::vector<double> expected = averages, expectedRoots = roots;
        for (size_t i = 0; i < values.size(); ++i) {
            expected[i] = CDSPData::Average(values[i], averages[i], n, limit);
            expectedRoots[i] =
                std::sqrt(CDSPData::Average(values[i] * values[i], roots[i] * roots[i], n, limit));
        }
        const CAverageStep step = CAverageStep::Of(n, limit);
        AverageInto(step, int32_t(values.size()), values.data(), averages.data());
        AverageRootPowerInto(step, int32_t(values.size()), values.data(), roots.data());
        EXPECT_EQ(averages, expected) << n << " of " << limit;
        EXPECT_EQ(roots, expectedRoots) << n << " of " << limit;
    }
}

// A moving average of the old values that keeps the ends; a negative half width is refused.
TEST(UnweightedSmooth, MovingAverageKeepsTheEnds) {
    const std::tuple<std::vector<double>, int, bool, std::vector<double>> cases[] = {
        {{0, 0, 3, 0, 0}, 1, true, {0, 1, 1, 1, 0}},
        {{0, 3, 0, 0}, 1, true, {0, 1, 1, 0}},
        {{8, 0, 4, 0, 8, 0, 4, 0, 8}, 2, true, {8, 0, 4, 2.4, 3.2, 2.4, 4, 0, 8}},
        {{1, 7, 2}, -1, false, {1, 7, 2}}};
    for (const auto& [values, halfWidth, result, expected] : cases) {
        CDSPData data;
        ASSERT_TRUE(data.Create(1, static_cast<int32_t>(values.size()), 8000.0));
        std::copy(values.begin(), values.end(), data.GetDataPointer());
        const double* before = data.GetDataPointer();
        EXPECT_EQ(data.UnweightedSmooth(halfWidth), result);
        EXPECT_EQ(data.GetDataPointer(), before) << "the values stay where a holder sees them";
        EXPECT_THAT(Values(&data), testing::Pointwise(testing::DoubleEq(), expected));
    }
}

} // namespace
