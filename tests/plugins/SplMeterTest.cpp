// The sound level meter's readings against signals of known level: the standard's table of A
// and C weightings, a 94 dB calibrator tone, and the time weightings' response to tone bursts.
#include "common/CaseName.h"

#include "SplMeter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <tuple>
#include <vector>

namespace {

constexpr double kRate = 48000.0;
constexpr double kPi = std::numbers::pi;

// IEC 61672-1 weightings at the nominal third-octave frequencies 10 Hz .. 20 kHz (exact
// frequencies 1000 * 10^(n/10), n = -20 .. 13), with the class 1 tolerance limits.
constexpr double kA[] = {-70.4, -63.4, -56.7, -50.5, -44.7, -39.4, -34.6, -30.2, -26.2,
                         -22.5, -19.1, -16.1, -13.4, -10.9, -8.6,  -6.6,  -4.8,  -3.2,
                         -1.9,  -0.8,  0.0,   0.6,   1.0,   1.2,   1.3,   1.2,   1.0,
                         0.5,   -0.1,  -1.1,  -2.5,  -4.3,  -6.6,  -9.3};
constexpr double kC[] = {-14.3, -11.2, -8.5, -6.2, -4.4, -3.0, -2.0, -1.3, -0.8, -0.5, -0.3, -0.2,
                         -0.1,  0.0,   0.0,  0.0,  0.0,  0.0,  0.0,  0.0,  0.0,  0.0,  -0.1, -0.2,
                         -0.3,  -0.5,  -0.8, -1.3, -2.0, -3.0, -4.4, -6.2, -8.5, -11.2};
constexpr double kUpper[] = {3.5, 3.0, 2.5, 2.5, 2.5, 2.0, 1.5, 1.5, 1.5, 1.5, 1.5, 1.5,
                             1.5, 1.4, 1.4, 1.4, 1.4, 1.4, 1.4, 1.4, 1.1, 1.4, 1.6, 1.6,
                             1.6, 1.6, 1.6, 2.1, 2.1, 2.1, 2.6, 3.0, 3.5, 4.0};
constexpr double kLower[] = {-INFINITY, -INFINITY, -4.5, -2.5, -2.0, -2.0,  -1.5,     -1.5, -1.5,
                             -1.5,      -1.5,      -1.5, -1.5, -1.4, -1.4,  -1.4,     -1.4, -1.4,
                             -1.4,      -1.4,      -1.1, -1.4, -1.6, -1.6,  -1.6,     -1.6, -1.6,
                             -2.1,      -2.6,      -3.1, -3.6, -6.0, -17.0, -INFINITY};
constexpr int kFirstBand = -20;
constexpr int kBands = 34;

// A sine of this RMS value at f Hz, `seconds` long.
std::vector<double> Sine(double f, double rms, double seconds, double phase = 0.0) {
    std::vector<double> x(size_t(std::lround(seconds * kRate)));
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = rms * std::sqrt(2.0) * std::sin(2 * kPi * f * double(i) / kRate + phase);
    return x;
}

struct CBandCase {
    std::string name;
    EFrequencyWeighting weighting;
    int band; // 0 .. kBands - 1
};

std::vector<CBandCase> BandCases() {
    std::vector<CBandCase> cases;
    for (int b = 0; b < kBands; ++b) {
        const double nominal = std::pow(10.0, (b + kFirstBand) / 10.0) * 1000.0;
        const std::string hz = std::to_string(std::lround(nominal)) + "Hz";
        cases.push_back({"A_" + hz, EFrequencyWeighting::A, b});
        cases.push_back({"C_" + hz, EFrequencyWeighting::C, b});
    }
    return cases;
}

class WeightingTable : public testing::TestWithParam<CBandCase> {};

// A sine of 1 Pa RMS through the weighting, measured by its RMS over whole periods after the
// filter has settled, against the standard's value.
TEST_P(WeightingTable, MatchesTheStandard) {
    const CBandCase& c = GetParam();
    const double f = 1000.0 * std::pow(10.0, (c.band + kFirstBand) / 10.0);
    CSplWeighting weighting;
    weighting.Design(c.weighting, kRate);
    const std::vector<double> x = Sine(f, 1.0, 1.5);
    const size_t settle = size_t(0.5 * kRate);
    const size_t periods = size_t(std::floor(double(x.size() - settle) * f / kRate));
    const size_t count = size_t(std::lround(double(periods) * kRate / f));
    double sum = 0.0;
    for (size_t i = 0; i < settle + count; ++i) {
        const double y = weighting.Process(x[i]);
        if (i >= settle) sum += y * y;
    }
    const double measured = 10.0 * std::log10(sum / double(count));
    const double expected = (c.weighting == EFrequencyWeighting::A ? kA : kC)[size_t(c.band)];
    const double error = measured - expected;
    EXPECT_LE(error, kUpper[c.band]);
    EXPECT_GE(error, kLower[c.band]);
    // Where the standard's curve matters most the filter is the curve: the table's values are
    // rounded to 0.1 dB.
    if (f > 30.0 && f < 9000.0) {
        EXPECT_NEAR(measured, expected, 0.1);
    }
}
INSTANTIATE_TEST_SUITE_P(Bands, WeightingTable, testing::ValuesIn(BandCases()), CaseName());

// A calibrator's 1 kHz tone of 1 Pa (94 dB SPL) on a 10 mV/Pa microphone (10 mV RMS), handed
// over in blocks as a process does, in every weighting.
TEST(CalibratorTone, Reads94dB) {
    for (const auto& [weighting, time] : {std::pair{EFrequencyWeighting::A, ETimeWeighting::Fast},
                                          {EFrequencyWeighting::C, ETimeWeighting::Fast},
                                          {EFrequencyWeighting::Z, ETimeWeighting::Fast},
                                          {EFrequencyWeighting::A, ETimeWeighting::Slow}}) {
        SCOPED_TRACE(int(weighting) * 10 + int(time));
        CSplChannelMeter meter;
        meter.Start(weighting, time, kRate, 1000.0 / 10.0);
        const std::vector<double> volts = Sine(1000.0, 0.010, 8.0);
        for (size_t i = 0; i < volts.size(); i += 1024)
            meter.Process(volts.data() + i, std::min<size_t>(1024, volts.size() - i));
        const CSplLevels levels = meter.Levels();
        const double onePascal = 20.0 * std::log10(1.0 / 20e-6); // 93.98 dB
        EXPECT_NEAR(levels.level, onePascal, 0.01);
        EXPECT_NEAR(levels.leq, onePascal, 0.01);
        EXPECT_NEAR(levels.max, onePascal, 0.01);
        // Taken once the level has settled, the minimum is no trace of the rise from silence.
        EXPECT_NEAR(levels.min, onePascal, 0.01);
    }
}

// Burst responses of IEC 61672-1 (F: 200 ms -1.0 dB, 2 ms -18.0 dB; S: 200 ms -7.4 dB) and the
// decay rates (F 34.7 dB/s, S 4.3 dB/s) after a tone long enough to settle. Each row: the time
// weighting, seconds of 4 kHz tone after silence, the maximum relative to the steady level (dB),
// seconds of silence after the burst and the level then relative to the steady level.
TEST(ToneBurst, RisesAndDecaysAsTheTimeWeighting) {
    const std::tuple<ETimeWeighting, double, double, double, double> cases[] = {
        {ETimeWeighting::Fast, 0.2, -1.0, 0.5, -1.0 - 17.4},
        {ETimeWeighting::Fast, 0.002, -18.0, 0.0, -18.0},
        {ETimeWeighting::Slow, 0.2, -7.4, 0.0, -7.4},
        {ETimeWeighting::Fast, 2.0, 0.0, 0.5, -17.4},
        {ETimeWeighting::Slow, 10.0, 0.0, 2.0, -8.7}};
    for (const auto& [time, burst, maxDrop, decay, endDrop] : cases) {
        SCOPED_TRACE(testing::Message() << int(time) << " " << burst << " s");
        CSplChannelMeter meter;
        meter.Start(EFrequencyWeighting::Z, time, kRate, 1.0);
        const std::vector<double> silence(size_t(8.0 * kRate), 0.0);
        meter.Process(silence.data(), silence.size());
        const std::vector<double> tone = Sine(4000.0, 1.0, burst);
        meter.Process(tone.data(), tone.size());
        const double steady = 10.0 * std::log10(1.0 / 4e-10);
        EXPECT_NEAR(meter.Levels().max - steady, maxDrop, 0.1);
        const std::vector<double> tail(size_t(decay * kRate), 0.0);
        meter.Process(tail.data(), tail.size());
        EXPECT_NEAR(meter.Levels().level - steady, endDrop, 0.3);
    }
}

} // namespace
