// Distortion measurements, averaging and smoothing on synthesized magnitude arrays.

#include "dsp/DSPData.h"

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
} // namespace

class HarmonicSpectrum : public ::testing::Test {
protected:
    // N = 16 at 16000: 1.0 at bin 2, 0.1 at its 2nd and 3rd harmonics.
    void SetUp() override { MakeSpectrum(m_data, 16, {{2, 1.0}, {4, 0.1}, {6, 0.1}}); }
    CDSPData m_data;
};

TEST_F(HarmonicSpectrum, FindsTheFundamental) {
    EXPECT_EQ(m_data.GetMaxHarmonic(), 2);
    EXPECT_EQ(m_data.GetNextHarmonic(2), 4);
}

TEST_F(HarmonicSpectrum, SingleHarmonics) {
    EXPECT_DOUBLE_EQ(m_data.GetHarmonicDistortion(0.0, 2), 10.0);
    EXPECT_DOUBLE_EQ(m_data.GetHarmonicDistortion(0.0, 3), 10.0);
    EXPECT_EQ(m_data.GetHarmonicDistortion(0.0, 4), 0.0); // bin 8: in the array, empty
    EXPECT_DOUBLE_EQ(m_data.GetHarmonicDistortion(2000.0, 2), 10.0);
    EXPECT_DOUBLE_EQ(m_data.GetHarmonicDistortion(2400.0, 2), 10.0); // nearest bin 2
    EXPECT_EQ(m_data.GetHarmonicDistortion(0.0, 1), 100.0);
}

struct OutOfRangeCase {
    const char* name;
    double fundamental;
    int harmonic;
    bool fundamentalOutside;
};

class HarmonicOutsideTheArray : public ::testing::TestWithParam<OutOfRangeCase> {};

TEST_P(HarmonicOutsideTheArray, ReadsZero) {
    CDSPData data;
    MakeSpectrum(data, 16, {{2, 1.0}, {7, 1.0}, {15, 5.0}});
    EXPECT_EQ(data.GetHarmonicDistortion(GetParam().fundamental, GetParam().harmonic), 0.0);
    if (GetParam().fundamentalOutside) {
        EXPECT_EQ(data.GetTHD(GetParam().fundamental), 0.0);
        EXPECT_EQ(data.GetTHDPlusN(GetParam().fundamental), 0.0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bins, HarmonicOutsideTheArray,
    ::testing::Values(OutOfRangeCase{"HarmonicPastTheEnd", 0.0, 9, false},  // bin 18 of 16
                      OutOfRangeCase{"HarmonicAtTheEnd", 2000.0, 8, false}, // bin 16
                      OutOfRangeCase{"HighFundamental", 7000.0, 3, false},  // bin 21
                      OutOfRangeCase{"NegativeHarmonic", 2000.0, -1, false},
                      // The fundamental itself outside the array: nothing to measure.
                      OutOfRangeCase{"FundamentalPastTheEnd", 20000.0, 1, true},
                      OutOfRangeCase{"NegativeFundamental", -3000.0, 1, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HarmonicSpectrum, THDAndTHDPlusNAgreeOnAPureHarmonicSpectrum) {
    EXPECT_DOUBLE_EQ(m_data.GetTHD(0.0), std::sqrt(0.02) * 100.0);
    EXPECT_DOUBLE_EQ(m_data.GetTHDPlusN(2000.0), std::sqrt(0.02) * 100.0);
    EXPECT_DOUBLE_EQ(m_data.GetTHDPlusN(0.0), std::sqrt(0.02) * 100.0);
}

struct SumCase {
    const char* name;
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
        // Fundamental bin 1: every bin from 2 up is a harmonic.
        SumCase{"FundamentalAtBin1",
                16,
                {{1, 1.0}, {2, 0.1}, {3, 0.2}, {7, 0.3}, {0, 0.4}},
                0.0,
                0.01 + 0.04 + 0.09,
                0.01 + 0.04 + 0.09 + 0.16},
        // DC as the fundamental: every other bin below N/2.
        SumCase{
            "FundamentalAtDc", 16, {{0, 1.0}, {1, 0.1}, {7, 0.2}}, 0.0, 0.01 + 0.04, 0.01 + 0.04}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Harmonics, StrongestBinScan) {
    CDSPData data;
    MakeSpectrum(data, 16, {{3, 0.5}, {5, 0.5}, {8, 9.0}, {12, 9.0}});
    EXPECT_EQ(data.GetMaxHarmonic(), 3); // ties keep the lower bin; bins from N/2 unsearched
    EXPECT_EQ(data.GetNextHarmonic(3), 5);
    CDSPData peak;
    MakeSpectrum(peak, 16, {{4, 1.0}, {5, 0.9}, {3, 0.8}});
    EXPECT_EQ(peak.GetNextHarmonic(4), 5); // neighbours of the excluded peak stay candidates
    CDSPData zero;
    MakeSpectrum(zero, 16, {});
    EXPECT_EQ(zero.GetMaxHarmonic(), 0);
    CDSPData negative;
    MakeSpectrum(negative, 16, {{0, -1.0}, {1, -0.5}});
    EXPECT_EQ(negative.GetMaxHarmonic(), 0);
    EXPECT_EQ(CDSPData().GetMaxHarmonic(), 0);
}

struct BinCase {
    double frequency;
    int bin;
};

class HarmonicNumber : public ::testing::TestWithParam<BinCase> {};

TEST_P(HarmonicNumber, IsTheNearestBinClampedToHalf) {
    CDSPData data;
    MakeSpectrum(data, 16, {});
    EXPECT_EQ(data.GetHarmonicNumber(GetParam().frequency), GetParam().bin);
}

INSTANTIATE_TEST_SUITE_P(Frequencies, HarmonicNumber,
                         ::testing::Values(BinCase{1500.0, 2}, BinCase{1499.0, 1},
                                           BinCase{2500.0, 3}, BinCase{0.0, 0}, BinCase{8000.0, 8},
                                           BinCase{9000.0, 8}, BinCase{1e12, 8}, BinCase{-700.0, 0},
                                           BinCase{-1e12, 0},
                                           BinCase{std::numeric_limits<double>::quiet_NaN(), 0}));

namespace {
// Magnitudes 0.001 * (b + 1) in every bin of a 256-bin spectrum except the two tones.
std::map<int, double> TonesOverRamp(int bin1, double a1, int bin2, double a2) {
    std::map<int, double> bins;
    for (int b = 0; b < 256; ++b)
        bins[b] = 0.001 * (b + 1);
    bins[bin1] = a1;
    bins[bin2] = a2;
    return bins;
}

double RampSquares(const std::set<int>& products) {
    double sum = 0.0;
    for (int b : products)
        sum += 0.001 * (b + 1) * 0.001 * (b + 1);
    return sum;
}
} // namespace

struct IMDCase {
    const char* name;
    int order;
    int bin1, bin2; // tones (1.0 and 0.5)
    double f1, f2;  // as passed (0 for the strongest bins)
    std::set<int> products;
};

class IMDProducts : public ::testing::TestWithParam<IMDCase> {};

TEST_P(IMDProducts, SumsExactlyTheProductBins) {
    const IMDCase& c = GetParam();
    CDSPData data;
    MakeSpectrum(data, 256, TonesOverRamp(c.bin1, 1.0, c.bin2, 0.5));
    const double expected = std::sqrt(RampSquares(c.products)) / std::sqrt(1.25) * 100.0;
    const double measured = c.order == 2   ? data.Get2ndOrderIMD(c.f1, c.f2)
                            : c.order == 3 ? data.Get3rdOrderIMD(c.f1, c.f2)
                                           : data.Get4thOrderIMD(c.f1, c.f2);
    EXPECT_NEAR(measured, expected, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, IMDProducts,
    ::testing::Values(
        IMDCase{"Second", 2, 10, 13, 10000.0, 13000.0, {23, 3, 20, 26}},
        IMDCase{"Third", 3, 10, 13, 10000.0, 13000.0, {39, 36, 16, 33, 7, 30}},
        IMDCase{"Fourth", 4, 10, 13, 10000.0, 13000.0, {52, 49, 29, 46, 6, 43, 17, 40}},
        IMDCase{"SecondStrongestTones", 2, 10, 13, 0.0, 13000.0, {23, 3, 20, 26}},
        IMDCase{"FourthStrongestTones", 4, 10, 13, 10000.0, 0.0, {52, 49, 29, 46, 6, 43, 17, 40}},
        // f1 - f2 and 2 f1 land on the tones themselves, which are never counted.
        IMDCase{"SecondOnTones", 2, 10, 20, 10000.0, 20000.0, {30, 40}},
        // f1 - 2 f2 and 3 f1 both give bin 30 (counted once); 2 f1 - f2 gives DC.
        IMDCase{"ThirdCoinciding", 3, 10, 20, 10000.0, 20000.0, {60, 50, 30, 40, 0}},
        // Products at or above half the sample rate (bin 128) are not counted: of 300, 240,
        // 160, 180, 20 and 120 kHz only the last two.
        IMDCase{"ThirdNearHalf", 3, 40, 100, 40000.0, 100000.0, {20, 120}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Harmonics, SecondOrderIMDWithProductInOneBin) {
    // N = 64: tones at bins 10 and 13; energy in bin 3 (f2 - f1) alone.
    CDSPData data;
    MakeSpectrum(data, 64, {{10, 1.0}, {13, 1.0}, {3, 0.02}});
    EXPECT_DOUBLE_EQ(data.Get2ndOrderIMD(10000.0, 13000.0), 0.02 / std::sqrt(2.0) * 100.0);
    EXPECT_EQ(data.Get3rdOrderIMD(10000.0, 13000.0), 0.0);
}

struct AverageCase {
    double newValue, oldAverage;
    int n, limit;
    double expected;
};

class Average : public ::testing::TestWithParam<AverageCase> {};

TEST_P(Average, UsesTheStatedDivisor) {
    const AverageCase& c = GetParam();
    EXPECT_DOUBLE_EQ(CDSPData::Average(c.newValue, c.oldAverage, c.n, c.limit), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Stated, Average,
    ::testing::Values(AverageCase{5, 1, 1, 8, 5}, AverageCase{5, 1, 2, 8, 3},
                      AverageCase{5, 1, 8, 8, 1.5}, AverageCase{5, 1, 9, 8, 1.5},
                      AverageCase{5, 1, 0, 8, 1.5}, AverageCase{5, 1, -3, 8, 1.5},
                      AverageCase{5, 1, 1, 1, 5}, AverageCase{5, 1, 2, 1, 5},
                      // A limit below 1 has nothing to average over.
                      AverageCase{5, 1, 4, 0, 5}, AverageCase{5, 1, 4, -2, 5}));

struct DivisorCase {
    int n;
    double divisor;
};

class AverageDivisor : public ::testing::TestWithParam<DivisorCase> {};

TEST_P(AverageDivisor, DoublesAsNPassesLn2TimesPowersOfTwo) {
    // d = 1024 divides exactly by every power of two up to 1024.
    const DivisorCase& c = GetParam();
    EXPECT_EQ(CDSPData::Average(1025.0, 1.0, c.n, 100000), 1.0 + 1024.0 / c.divisor);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, AverageDivisor,
    ::testing::Values(DivisorCase{2, 2}, DivisorCase{3, 4}, DivisorCase{5, 4}, DivisorCase{6, 8},
                      DivisorCase{11, 8}, DivisorCase{12, 16}, DivisorCase{22, 16},
                      DivisorCase{23, 32}, DivisorCase{44, 32}, DivisorCase{45, 64},
                      DivisorCase{88, 64}, DivisorCase{89, 128}, DivisorCase{177, 128},
                      DivisorCase{178, 256}, DivisorCase{354, 256}, DivisorCase{355, 512}));

struct SmoothCase {
    const char* name;
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
    ::testing::Values(SmoothCase{"HalfWidth1", {0, 0, 3, 0, 0}, 1, true, {0, 1, 1, 1, 0}},
                      SmoothCase{"HalfWidth3OnFive", {1, 2, 3, 4, 9}, 3, true, {1, 2, 3, 4, 9}},
                      SmoothCase{
                          "HalfWidth2", {5, 0, 0, 10, 0, 0, 5}, 2, true, {5, 0, 3, 2, 3, 0, 5}},
                      SmoothCase{"AveragesOldValuesNotNew", {0, 3, 0, 0}, 1, true, {0, 1, 1, 0}},
                      SmoothCase{"HalfWidth2Longer",
                                 {8, 0, 4, 0, 8, 0, 4, 0, 8},
                                 2,
                                 true,
                                 {8, 0, 4, 2.4, 3.2, 2.4, 4, 0, 8}},
                      SmoothCase{"Zero", {1, 7, 2}, 0, true, {1, 7, 2}},
                      SmoothCase{"Negative", {1, 7, 2}, -1, false, {1, 7, 2}}),
    [](const auto& info) { return std::string(info.param.name); });
