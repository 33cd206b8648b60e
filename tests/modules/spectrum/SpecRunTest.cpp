// The analyser's run: the refusals before a run, the transforms of every FFT type against
// direct references, averaging, smoothing and what later steps receive.
#include "SpecFixture.h"

#include "base/NumberText.h"

#include <tuple>

namespace {

using Lines = std::vector<std::string>;

// Single-sided amplitude of bin k of x by a direct DFT with weights w.
double DirectAmplitude(const std::vector<double>& x, const std::vector<double>& w, int k) {
    const size_t n = x.size();
    double re = 0.0, im = 0.0;
    for (size_t i = 0; i < n; ++i) {
        re += w[i] * x[i] * std::cos(kTwoPi * k * double(i) / double(n));
        im -= w[i] * x[i] * std::sin(kTwoPi * k * double(i) / double(n));
    }
    return std::hypot(re, im) / (k == 0 ? double(n) : n / 2.0);
}

const std::vector<std::string> kSpec{"Signal Generator", "Spectrum Analyzer"};
const std::string kNoTables = "Cannot Perform Fast Hardamard Transform\r\nNo Module With Reorder "
                              "Permutaton Tables Selected";

// The steps, the last one's settings and the message that stops the run (none: it starts).
TEST(SpecRefusal, StopsTheRunBeforeItBeginsOrStarts) {
    const std::tuple<std::vector<std::string>, std::vector<std::string>, std::string> cases[] = {
        {kSpec,
         {"freqcal=1"},
         "Apply Frequency Domain Calibration Checkbox is Checked.\r\n There is no "
         "SoundIO Module in the process to get Calibration from."},
        {kSpec,
         {"yaxis=THDVpk", "ref1=16001"},
         "Reference Frequency 1 is Higher than Sample Rate / 2\r\n"
         "Ref1: 16001 Hz (limits 0 to 16000 Hz)"},
        {kSpec,
         {"yaxis=IMDVpk", "ref1=1000", "ref2=20000"},
         "Reference Frequency 2 is Higher than Sample Rate / 2\r\n"
         "Ref2: 20000 Hz (limits 0 to 16000 Hz)"},
        {kSpec, {"yaxis=IMDVpk", "ref1=16000", "ref2=16000"}, ""},
        {{"DataLogger", "Spectrum Analyzer"}, {"type=FHT"}, kNoTables},
        {{"Spectrum Analyzer"}, {"type=FHT/FFT"}, kNoTables}};
    for (const auto& [steps, settings, message] : cases) {
        SCOPED_TRACE(testing::PrintToString(settings));
        CModuleProcess p(PatternRegistry());
        ASSERT_TRUE(p.Create(steps, 1024, 32000.0));
        p.Set(int(steps.size()), settings);
        EXPECT_EQ(p.Doc().OnEditRun(), message.empty());
        EXPECT_EQ(p.TakeMessages(), message.empty() ? Lines{} : Lines{message});
    }
}

class SpecRun : public SpecFixture {};

TEST_F(SpecRun, SpectrumMatchesADirectDFTForEveryWindow) {
    Source().m_pattern = [&](int c, int, int i) {
        return Tone(0.7, 37, i, n) + (c + 1) * 0.01 * std::cos(kTwoPi * 101.3 * i / n) + 0.05;
    };
    const std::pair<const char*, int> windows[] = {{"None", 0}, {"Hanning", 3}, {"Blackman", 5}};
    for (bool corrected : {false, true}) {
        p.App().SetWindowAmplitudeCorrection(corrected);
        for (const auto& [window, index] : windows) {
            SCOPED_TRACE(std::string(window) + (corrected ? " corrected" : ""));
            Set({std::string("window=") + window});
            RunOnce();
            const CDSPFFTData& block = *Analyser().GetWorkingList()->GetAt(1);
            std::vector<double> x, weight;
            double mean = 0.0;
            for (int i = 0; i < n; ++i) {
                x.push_back(Source().m_pattern(1, 1, i));
                weight.push_back(block.GetWindowSample(index, i));
                mean += weight.back() / n;
            }
            // Corrected, every bin is divided by the window's mean weight.
            const double gain = corrected ? mean : 1.0;
            for (int k : {0, 1, 36, 37, 38, 101, 102, 511})
                EXPECT_NEAR(Shown(1)[k], DirectAmplitude(x, weight, k) / gain, 1e-12) << k;
            // The tone and the offset read their own amplitude only when corrected; later steps
            // receive the same spectrum.
            EXPECT_EQ(std::fabs(Shown(1)[37] - 0.7) < 1e-3, corrected || index == 0);
            EXPECT_EQ(std::fabs(Sink().m_magnitude[1][0] - 0.05) < 1e-3, corrected || index == 0);
        }
    }
}

// The flat-top window reads a tone's amplitude within 0.01 dB wherever it lies between two bins
// (Hanning loses up to 1.42 dB half way); files that chose a window before it keep theirs.
TEST_F(SpecRun, AFlatTopWindowReadsAToneBetweenBinsWithinAHundredthOfADecibel) {
    p.App().SetWindowAmplitudeCorrection(true);
    Set({"window=Flat Top"});
    EXPECT_EQ(SettingOf(Analyser(), "Window"), "Flat Top");
    for (int step = 0; step <= 10; ++step) {
        const double cycles = 37.0 + step / 10.0;
        Source().m_pattern = [&](int, int, int i) { return Tone(0.7, cycles, i, n); };
        RunOnce();
        const double peak = *std::max_element(Shown(1) + 30, Shown(1) + 45);
        EXPECT_NEAR(20 * std::log10(peak / 0.7), 0.0, 0.01) << cycles;
    }
}

TEST_F(SpecRun, CrossCorrelationMatchesTheDirectSum) {
    Make(64, 6400.0);
    Source().m_pattern = [](int c, int, int i) { return std::sin(0.37 * i * (c + 1)) + 0.1 * i; };
    Source().m_reference = [](int c, int, int i) { return c == 0 ? std::cos(0.21 * i) : 99.0; };
    Set({"type=XCorr"});
    const std::vector<double> shownBefore(Shown(0), Shown(0) + n / 2);
    RunOnce();
    const int period = n - 1;
    for (int c = 0; c < 2; ++c) {
        std::vector<double> expected;
        for (int l = 0; l < period; ++l) {
            double sum = 0.0;
            for (int i = 0; i < period; ++i)
                sum += Source().m_pattern(c, 1, i) * Source().m_reference(0, 1, (i + l) % period);
            expected.push_back(sum / period);
        }
        expected.push_back(expected.back());
        EXPECT_THAT(Sink().m_time[size_t(c)], Near(expected)) << c;
    }
    EXPECT_EQ(std::vector<double>(Shown(0), Shown(0) + n / 2), shownBefore) << "no spectrum";
}

// A sequence of period 7 from s[i] = s[i - 1] xor s[i - 3] as samples (a one bit is 0.0, a zero
// bit 1.0) with a filler 1.0; channel 2 is delayed by 3.
TEST_F(SpecRun, FHTRecoversTheDelayWithTablesBuiltOnTheFirstBlock) {
    Make(8, 8000.0);
    const std::vector<double> mls{0, 0, 0, 1, 0, 1, 1, 1};
    Source().m_reference = [&](int, int, int i) { return mls[size_t(i)]; };
    Source().m_pattern = [&](int c, int, int i) {
        const int p = int(mls.size()) - 1, d = c == 0 ? 0 : 3;
        return i == p ? 1.0 : mls[size_t(((i - d) % p + p) % p)];
    };
    Set({"type=FHT"});
    ASSERT_TRUE(p.Doc().OnEditRun());
    EXPECT_EQ(Analyser().GetFHTTableSize(), 0);
    RunOnce();
    EXPECT_EQ(Analyser().GetFHTTableSize(), 8);
    for (int c = 0; c < 2; ++c) {
        std::vector<double> h(8, -1.0 / 7);
        h[c == 0 ? 0 : 3] = 3.0 / 7;
        h[7] = h[6];
        EXPECT_THAT(Sink().m_time[size_t(c)], Near(h)) << c;
    }
}

// n = 1 replaces; n = 2 moves half way; n = 3 a quarter; from n = N = 4 on a quarter. A new count
// starts again; a count of 1 never counts.
TEST_F(SpecRun, AveragesOverFourBlocksThenByAQuarter) {
    const std::vector<double> amplitude{0.8, 0.4, 0.6, 1.0, 0.2, 0.5};
    Source().m_pattern = [&](int, int k, int i) {
        return Tone(amplitude[size_t(k - 1) % 6], 50, i, n);
    };
    ASSERT_TRUE(p.Pass());
    EXPECT_EQ(Analyser().GetAverageCounter(), 1);
    EXPECT_EQ(Analyser().GetReadouts().size(), 6u) << "no average readout";
    Source().m_pass = 0;
    Set({"avg=4"});
    EXPECT_EQ(Analyser().GetReadouts()[3], "Rec Avg: 0 / 4");
    const double divisor[] = {1, 2, 4, 4, 4, 4};
    double expected = 0.0;
    for (size_t b = 0; b < amplitude.size(); ++b) {
        ASSERT_TRUE(p.Pass());
        expected += (amplitude[b] - expected) / divisor[b];
        EXPECT_NEAR(Shown(0)[50], expected, 1e-12) << "block " << b + 1;
        EXPECT_NEAR(Sink().m_magnitude[0][50], amplitude[b], 1e-12) << "handed on unaveraged";
        EXPECT_EQ(Analyser().GetReadouts()[3], FormatText("Rec Avg: %i / 4", int(b) + 1));
    }
    Set({"avg=8"});
    Source().m_pass = 0;
    ASSERT_TRUE(p.Pass());
    EXPECT_NEAR(Shown(0)[50], amplitude[0], 1e-12);
    EXPECT_EQ(Analyser().GetReadouts()[3], "Rec Avg: 1 / 8");
}

TEST_F(SpecRun, SmoothsTheShownSpectrumButNotTheHandedOnBlock) {
    Source().m_pattern = [&](int, int, int i) { return Tone(0.9, 200, i, n); };
    Set({"smooth=2"});
    RunOnce();
    EXPECT_THAT(std::vector<double>(Shown(0) + 197, Shown(0) + 204),
                Near({0, .18, .18, .18, .18, .18, 0}));
    EXPECT_NEAR(Sink().m_magnitude[0][200], 0.9, 1e-12);
}

} // namespace
