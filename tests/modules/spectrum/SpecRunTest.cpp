// The analyser's run through a real document: the refusals before a run, the transforms of
// every FFT type against direct references, averaging, smoothing, the distortion readouts
// against their closed forms, and what later steps receive.
#include "SpecTestProcess.h"

#include "base/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using Lines = std::vector<std::string>;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// A tone of amplitude a at bin k of an N-point block, as a pattern term.
double Tone(double a, int k, int i, int n) {
    return a * std::sin(kTwoPi * k * i / n);
}

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

// The number after ": " in a readout line.
double ReadoutValue(const std::string& line) {
    return ParseDouble(line.substr(line.find(": ") + 2));
}

class SpecRun : public testing::Test {
protected:
    CSpecTestApp t;
    CDspDoc* doc = nullptr;
    int n = 1024;

    void Make(const std::vector<std::string>& names, int size = 1024, double rate = 32000.0) {
        n = size;
        doc = t.NewProcess(names, size, rate);
        ASSERT_NE(doc, nullptr);
    }
    void SetUp() override { Make({"Signal Generator", "Spectrum Analyzer", "DataLogger"}); }

    CSpecTestSource& Source() { return StepAs<CSpecTestSource>(*doc, 0); }
    CSpecView& Analyser() { return StepAs<CSpecView>(*doc, 1); }
    CSpecTestSink& Sink() { return StepAs<CSpecTestSink>(*doc, 2); }
    const CDSPData& Shown(int channel) { return *Analyser().GetDisplayList()->GetFreqObj(channel); }

    void Set(const std::string& id, const std::string& value = "") {
        std::string message;
        ASSERT_TRUE(Analyser().SetControl(id, value, message)) << id << ": " << message;
    }
    // Runs whole passes through every step, starting the run when needed.
    void RunPasses(int passes) {
        if (!doc->IsRunning()) {
            ASSERT_TRUE(doc->OnEditRun()) << Messages();
        }
        for (int i = 0; i < passes * doc->GetStepCount(); ++i)
            ASSERT_EQ(doc->OnIdle(), 1) << Messages();
    }
    std::string Messages() {
        std::string all;
        for (const std::string& m : t.TakeMessages())
            all += m + "\n";
        return all;
    }
};

// ---- Refusals before a run -----------------------------------------------------------------

struct CRefusalCase {
    std::vector<std::pair<std::string, std::string>> settings;
    std::vector<std::string> steps;
    std::string message;
};

class SpecRefusal : public testing::TestWithParam<CRefusalCase> {};

TEST_P(SpecRefusal, StopsTheRunBeforeItBegins) {
    CSpecTestApp t;
    CDspDoc* doc = t.NewProcess(GetParam().steps, 1024, 32000.0);
    ASSERT_NE(doc, nullptr);
    const size_t step = GetParam().steps.size() - 1;
    CSpecView& analyser = StepAs<CSpecView>(*doc, step);
    std::string message;
    for (const auto& [id, value] : GetParam().settings)
        ASSERT_TRUE(analyser.SetControl(id, value, message)) << message;
    t.TakeMessages();
    EXPECT_FALSE(doc->OnEditRun());
    EXPECT_FALSE(doc->IsRunning());
    EXPECT_EQ(t.TakeMessages(), Lines{SpecError(int(step) + 1, GetParam().message)});
}

const std::vector<std::string> kSourceAndSpec{"Signal Generator", "Spectrum Analyzer"};

INSTANTIATE_TEST_SUITE_P(
    Cases, SpecRefusal,
    testing::Values(
        CRefusalCase{{{"freqcal", "1"}},
                     kSourceAndSpec,
                     "Apply Frequency Domain Calibration Checkbox is Checked.\r\n There is no "
                     "SoundIO Module in the process to get Calibration from."},
        CRefusalCase{{{"yaxis", "THDVpk"}, {"ref1", "16001"}},
                     kSourceAndSpec,
                     "Reference Frequency 1 is Higher than Sample Rate / 2\r\n"
                     "Ref1: 16001 Hz (limits 0 to 16000 Hz)"},
        CRefusalCase{{{"yaxis", "IMDVpk"}, {"ref1", "1000"}, {"ref2", "20000"}},
                     kSourceAndSpec,
                     "Reference Frequency 2 is Higher than Sample Rate / 2\r\n"
                     "Ref2: 20000 Hz (limits 0 to 16000 Hz)"},
        CRefusalCase{{{"type", "FHT"}},
                     {"DataLogger", "Spectrum Analyzer"},
                     "Cannot Perform Fast Hardamard Transform\r\nNo Module With Reorder "
                     "Permutaton Tables Selected"},
        CRefusalCase{{{"type", "FHT/FFT"}},
                     {"Spectrum Analyzer"},
                     "Cannot Perform Fast Hardamard Transform\r\nNo Module With Reorder "
                     "Permutaton Tables Selected"}));

TEST_F(SpecRun, ReferenceAtHalfTheSampleRateStarts) {
    Set("yaxis", "IMDVpk");
    Set("ref1", "16000");
    Set("ref2", "16000");
    EXPECT_TRUE(doc->OnEditRun()) << Messages();
}

TEST_F(SpecRun, ReferencesOnlyMatterForDistortionDisplays) {
    Set("ref1", "50000");
    EXPECT_TRUE(doc->OnEditRun()) << Messages();
}

// ---- Transforms ------------------------------------------------------------------------------

TEST_F(SpecRun, SpectrumMatchesADirectDFTForEveryWindow) {
    Source().m_pattern = [&](int c, int, int i) {
        return Tone(0.7, 37, i, n) + (c + 1) * 0.01 * std::cos(kTwoPi * 101.3 * i / n) + 0.05;
    };
    const std::vector<std::string> windows{"None", "Hanning", "Blackman"};
    const int windowIndex[] = {0, 3, 5};
    for (bool corrected : {false, true}) {
        t.app.SetWindowAmplitudeCorrection(corrected);
        for (size_t w = 0; w < windows.size(); ++w) {
            Set("window", windows[w]);
            RunPasses(1);
            doc->OnEditStop();
            const CDSPFFTData& block = *Analyser().GetWorkingList()->GetAt(1);
            std::vector<double> x(static_cast<size_t>(n)), weight(static_cast<size_t>(n));
            double mean = 0.0;
            for (int i = 0; i < n; ++i) {
                x[size_t(i)] = Source().m_pattern(1, 1, i);
                weight[size_t(i)] = block.GetWindowSample(windowIndex[w], i);
                mean += weight[size_t(i)] / n;
            }
            // Corrected, every bin is divided by the window's mean weight.
            const double gain = corrected ? mean : 1.0;
            // Rounding of a 1024-point transform: far below 1e-12 of full scale.
            for (int k : {0, 1, 36, 37, 38, 101, 102, 511})
                EXPECT_NEAR(Shown(1).GetDataPointer()[k], DirectAmplitude(x, weight, k) / gain,
                            1e-12)
                    << windows[w] << " bin " << k << (corrected ? " corrected" : "");
            // The tone and the offset read their own amplitude only when corrected.
            EXPECT_EQ(std::fabs(Shown(1).GetDataPointer()[37] - 0.7) < 1e-3, corrected || w == 0);
            EXPECT_EQ(std::fabs(Sink().m_magnitude[1][0] - 0.05) < 1e-3, corrected || w == 0);
        }
    }
}

TEST_F(SpecRun, LaterStepsReceiveTheTransformedBlock) {
    Source().m_pattern = [&](int c, int, int i) { return Tone(c ? 0.25 : 0.5, 64, i, n); };
    RunPasses(1);
    ASSERT_EQ(Sink().m_magnitude.size(), 2u);
    EXPECT_NEAR(Sink().m_magnitude[0][64], 0.5, 1e-12);
    EXPECT_NEAR(Sink().m_magnitude[1][64], 0.25, 1e-12);
    EXPECT_NEAR(Sink().m_time[0][16], Tone(0.5, 64, 16, n), 1e-15);
    EXPECT_EQ(Analyser().GetWorkingList()->GetNumUsed(0), n);
    EXPECT_EQ(Analyser().GetDisplayList()->GetSampleRate(0), 32000.0);
}

TEST_F(SpecRun, CrossCorrelationMatchesTheDirectSum) {
    Make({"Signal Generator", "Spectrum Analyzer", "DataLogger"}, 64, 6400.0);
    Source().m_pattern = [](int c, int, int i) { return std::sin(0.37 * i * (c + 1)) + 0.1 * i; };
    Source().m_reference = [](int c, int, int i) { return c == 0 ? std::cos(0.21 * i) : 99.0; };
    Set("type", "XCorr");
    const std::vector<double> shownBefore = Values(Shown(0));
    RunPasses(1);
    const int p = n - 1;
    for (int c = 0; c < 2; ++c) {
        std::vector<double> expected(static_cast<size_t>(n));
        for (int l = 0; l < p; ++l) {
            double sum = 0.0;
            for (int i = 0; i < p; ++i)
                sum += Source().m_pattern(c, 1, i) * Source().m_reference(0, 1, (i + l) % p);
            expected[size_t(l)] = sum / p;
        }
        expected[size_t(p)] = expected[size_t(p - 1)];
        for (int l = 0; l < n; ++l)
            EXPECT_NEAR(Sink().m_time[size_t(c)][size_t(l)], expected[size_t(l)], 1e-12) << l;
    }
    // "XCorr" alone leaves the display spectrum as it was.
    EXPECT_EQ(Values(Shown(0)), shownBefore);
}

// Without a reference block (a source that published none) there is nothing to correlate
// with: the run stops with a message instead of reading through a missing block.
class SpecNoReference : public SpecRun, public testing::WithParamInterface<const char*> {};

TEST_P(SpecNoReference, StopsTheRunWithAMessage) {
    Set("type", GetParam());
    ASSERT_TRUE(doc->OnEditRun());
    ASSERT_EQ(doc->OnIdle(), 1);
    doc->SetReferenceList(nullptr);
    EXPECT_EQ(doc->OnIdle(), 0);
    EXPECT_FALSE(doc->IsRunning());
    const std::string transform = GetParam()[0] == 'X' ? "Cannot Perform Cross Correlation"
                                                       : "Cannot Perform Fast Hardamard Transform";
    EXPECT_EQ(t.TakeMessages(),
              Lines{SpecError(2, transform + "\r\nThe Reference Block Does Not Match The "
                                             "Recorded Block")});
}

INSTANTIATE_TEST_SUITE_P(Types, SpecNoReference,
                         testing::Values("XCorr", "XCorr/FFT", "FHT", "FHT/FFT"));

TEST_F(SpecRun, OffCopiesAndHandsOnWithoutTransforming) {
    Source().m_pattern = [&](int, int k, int i) { return Tone(0.5, 10, i, n) * k; };
    Set("type", "Off");
    const std::vector<double> shownBefore = Values(Shown(0));
    RunPasses(2);
    EXPECT_NEAR(Sink().m_time[0][7], 2 * Tone(0.5, 10, 7, n), 1e-15);
    EXPECT_EQ(Values(Shown(0)), shownBefore);
}

// A maximum-length sequence of period 2^m - 1 from s[i] = s[i - 1] xor s[i - m] (x^m + x^(m-1)
// + 1 is primitive for m = 3, 4), as samples: a one bit is 0.0 (a sample at or below zero), a
// zero bit 1.0, and a filler sample 1.0 at the end.
std::vector<double> Mls(int m) {
    const int p = (1 << m) - 1;
    std::vector<int> s(size_t(p), 0);
    s[0] = 1;
    for (int i = m; i < p; ++i)
        s[size_t(i)] = s[size_t(i - 1)] ^ s[size_t(i - m)];
    std::vector<double> block;
    for (int bit : s)
        block.push_back(bit ? 0.0 : 1.0);
    block.push_back(1.0);
    return block;
}

TEST_F(SpecRun, FHTRecoversTheDelayAndRebuildsItsTablesForANewSize) {
    Make({"Signal Generator", "Spectrum Analyzer", "DataLogger"}, 8, 8000.0);
    std::vector<double> mls{0, 0, 0, 1, 0, 1, 1, 1};
    const int delay = 3;
    Source().m_reference = [&](int, int, int i) { return mls[size_t(i)]; };
    Source().m_pattern = [&](int c, int, int i) {
        const int d = c == 0 ? 0 : delay;
        return i == 7 ? 1.0 : mls[size_t(((i - d) % 7 + 7) % 7)];
    };
    Set("type", "FHT");
    ASSERT_TRUE(doc->OnEditRun());
    EXPECT_EQ(Analyser().GetFHTTableSize(), 0);
    RunPasses(1);
    EXPECT_EQ(Analyser().GetFHTTableSize(), 8);
    for (int c = 0; c < 2; ++c) {
        const int peak = c == 0 ? 0 : delay;
        for (int i = 0; i < 7; ++i)
            EXPECT_NEAR(Sink().m_time[size_t(c)][size_t(i)], i == peak ? 3.0 / 7 : -1.0 / 7, 1e-12)
                << c << " " << i;
        EXPECT_EQ(Sink().m_time[size_t(c)][7], Sink().m_time[size_t(c)][6]);
    }
    doc->OnEditStop();

    // A new block size: the first block builds tables of that size.
    CFFTOptions options;
    doc->FillFFTOptions(options);
    options.m_size = "16";
    std::string message;
    ASSERT_TRUE(doc->ApplyFFTOptions(options, message));
    mls = Mls(4);
    Source().m_pattern = [&](int, int, int i) {
        return i == 15 ? 1.0 : mls[size_t(((i - 5) % 15 + 15) % 15)];
    };
    RunPasses(1);
    EXPECT_EQ(Analyser().GetFHTTableSize(), 16);
    const std::vector<double>& h = Sink().m_time[0];
    EXPECT_EQ(std::max_element(h.begin(), h.begin() + 15) - h.begin(), 5);
    EXPECT_NEAR(h[5], 7.0 / 15, 1e-12);
}

TEST_F(SpecRun, FHTThenFFTShowsTheSpectrumOfTheImpulseResponse) {
    Make({"Signal Generator", "Spectrum Analyzer", "DataLogger"}, 8, 8000.0);
    const std::vector<double> mls{0, 0, 0, 1, 0, 1, 1, 1};
    Source().m_reference = [&](int, int, int i) { return mls[size_t(i)]; };
    Source().m_pattern = Source().m_reference;
    Set("type", "FHT/FFT");
    RunPasses(1);
    // The impulse response 3/7, -1/7 x 7 has DC -4/56 and 4/7 in every other bin (x 2/8).
    std::vector<double> h{3.0 / 7,  -1.0 / 7, -1.0 / 7, -1.0 / 7,
                          -1.0 / 7, -1.0 / 7, -1.0 / 7, -1.0 / 7};
    const std::vector<double> none(8, 1.0);
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(Shown(0).GetDataPointer()[k], DirectAmplitude(h, none, k), 1e-12) << k;
}

// ---- Averaging and smoothing -----------------------------------------------------------------

TEST_F(SpecRun, AveragesOverFourBlocksThenByAQuarter) {
    const std::vector<double> amplitude{0.8, 0.4, 0.6, 1.0, 0.2, 0.5};
    Source().m_pattern = [&](int, int k, int i) {
        return Tone(amplitude[size_t(k - 1)], 50, i, n);
    };
    Set("avg", "4");
    ASSERT_TRUE(doc->OnEditRun());
    EXPECT_EQ(Analyser().GetReadouts()[3], "Rec Avg: 0 / 4");

    // n = 1 replaces; n = 2 moves half way; n = 3 a quarter; from n = N = 4 on a quarter.
    const double divisor[] = {1, 2, 4, 4, 4, 4};
    double expected = 0.0;
    for (size_t b = 0; b < amplitude.size(); ++b) {
        RunPasses(1);
        expected += (amplitude[b] - expected) / divisor[b];
        EXPECT_NEAR(Shown(0).GetDataPointer()[50], expected, 1e-12) << "block " << b + 1;
        EXPECT_EQ(Analyser().GetAverageCounter(), int(b) + 2);
        EXPECT_EQ(Analyser().GetReadouts()[3], FormatText("Rec Avg: %i / 4", int(b) + 1));
    }
    // A new count starts again: the next block replaces the average.
    Set("avg", "8");
    EXPECT_EQ(Analyser().GetAverageCounter(), 1);
    Source().m_pass = 0;
    RunPasses(1);
    EXPECT_NEAR(Shown(0).GetDataPointer()[50], amplitude[0], 1e-12);
    EXPECT_EQ(Analyser().GetReadouts()[3], "Rec Avg: 1 / 8");
    // And a new run starts the count again too.
    doc->OnEditStop();
    ASSERT_TRUE(doc->OnEditRun());
    EXPECT_EQ(Analyser().GetAverageCounter(), 1);
}

TEST_F(SpecRun, AverageOfOneNeverCounts) {
    Source().m_pattern = [&](int, int k, int i) { return Tone(0.1 * k, 50, i, n); };
    RunPasses(3);
    EXPECT_EQ(Analyser().GetAverageCounter(), 1);
    EXPECT_NEAR(Shown(0).GetDataPointer()[50], 0.3, 1e-12);
    for (const std::string& line : Analyser().GetReadouts())
        EXPECT_EQ(line.find("Rec Avg"), std::string::npos) << line;
}

TEST_F(SpecRun, SmoothsTheShownSpectrumButNotTheHandedOnBlock) {
    Source().m_pattern = [&](int, int, int i) { return Tone(0.9, 200, i, n); };
    Set("smooth", "2");
    RunPasses(1);
    for (int k = 198; k <= 202; ++k)
        EXPECT_NEAR(Shown(0).GetDataPointer()[k], 0.9 / 5, 1e-12) << k;
    EXPECT_NEAR(Shown(0).GetDataPointer()[197], 0.0, 1e-12);
    EXPECT_NEAR(Sink().m_magnitude[0][200], 0.9, 1e-12);
}

// ---- Distortion readouts -----------------------------------------------------------------------

// A bin-centred 1 kHz tone at 32000 Hz and N = 1024 (bin 32) with a scaled second and third
// harmonic; window "None" leaves every bin exact, so THD and THD+N have a closed form.
class SpecTHD : public SpecRun {
protected:
    static constexpr double kA1 = 0.8, kA2 = 0.01234, kA3 = 0.00567;
    void SetUp() override {
        SpecRun::SetUp();
        Source().m_pattern = [this](int c, int, int i) {
            const double scale = c == 0 ? 1.0 : 0.5;
            return scale * (Tone(kA1, 32, i, n) + Tone(kA2, 64, i, n) + Tone(kA3, 96, i, n));
        };
        Set("yaxis", "THDVpk");
    }
};

TEST_F(SpecTHD, MatchesTheClosedForm) {
    for (const char* ref : {"0", "1000", "1010"}) {
        Set("ref1", ref);
        RunPasses(1);
        doc->OnEditStop();
        const double thd = std::hypot(kA2, kA3) / kA1 * 100.0;
        for (int c = 0; c < 2; ++c) {
            const CSpecView::CChannelTexts texts = Analyser().GetChannelTexts(c);
            ASSERT_EQ(texts.readouts.size(), 7u);
            EXPECT_EQ(texts.readouts[0], "Tone1: 1000Hz") << ref;
            EXPECT_NEAR(ReadoutValue(texts.readouts[1]), kA2 / kA1 * 100.0, 5e-6 * 1.5425);
            EXPECT_NEAR(ReadoutValue(texts.readouts[2]), kA3 / kA1 * 100.0, 5e-6 * 0.709);
            EXPECT_LT(std::fabs(ReadoutValue(texts.readouts[3])), 1e-9);
            EXPECT_LT(std::fabs(ReadoutValue(texts.readouts[4])), 1e-9);
            EXPECT_EQ(texts.readouts[5], FormatText("THD: %3.6G%%", thd));
            EXPECT_EQ(texts.readouts[6], FormatText("THD+N: %3.6G%%", thd));
            const double r1 = Analyser().GetRef1();
            EXPECT_NEAR(Shown(c).GetTHD(r1), thd, thd * 1e-6);
            EXPECT_NEAR(Shown(c).GetTHDPlusN(r1), thd, thd * 1e-6);
        }
    }
}

TEST_F(SpecTHD, ReadoutsAreTheTextsOfBothPlots) {
    Set("ref1", "1000");
    Set("yaxis", "THDVpk"); // chosen again: the reference goes back to 0
    RunPasses(1);
    const Lines lines = Analyser().GetReadouts();
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines[0], "500 mVpk/Div");
    EXPECT_EQ(lines[1], "Start: 0Hz");
    EXPECT_EQ(lines[2], "Stop: 16000Hz");
    EXPECT_EQ(lines[3], "Tone1: 1000Hz");
    // A logarithmic axis starts where it is drawn from, not at 0 Hz.
    for (const auto& [axis, start] : {std::pair{"Log20.", "Start: 20Hz"},
                                      {"Log1.", "Start: 1Hz"},
                                      {"Log100.", "Start: 100Hz"}}) {
        Set("xaxis", axis);
        EXPECT_EQ(Analyser().GetReadouts()[1], start) << axis;
    }
    EXPECT_EQ(lines[4].rfind("2nd Harm Dist: 1.5425", 0), 0u) << lines[4];
    EXPECT_EQ(lines[5].rfind("3rd Harm Dist: 0.70875", 0), 0u) << lines[5];
    EXPECT_EQ(lines[8].rfind("THD: 1.69", 0), 0u) << lines[8];
    EXPECT_EQ(lines[10], "500 mVpk/Div");
    EXPECT_EQ(lines[13], "Tone1: 1000Hz");
}

TEST_F(SpecTHD, ShowsDashesWithoutSamples) {
    const Lines dashes{"500 mVpk/Div",       "Start: 0Hz",         "Stop: 16000Hz",
                       "Tone1: - Hz",        "2nd Harm Dist: - %", "3rd Harm Dist: - %",
                       "4th Harm Dist: - %", "5th Harm Dist: - %", "THD: - %",
                       "THD+N: - %"};
    const Lines lines = Analyser().GetReadouts();
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 10), dashes);
    // A set reference frequency names its tone even before a block arrived.
    Set("ref1", "2000");
    EXPECT_EQ(Analyser().GetChannelTexts(0).readouts[0], "Tone1: 2000Hz");
}

TEST_F(SpecRun, IMDOfTwoTonesMatchesTheClosedForm) {
    // Tones at bins 100 and 130; products of each order at some of their bins.
    Source().m_pattern = [&](int, int, int i) {
        return Tone(1.0, 100, i, n) + Tone(0.5, 130, i, n) + Tone(0.01, 230, i, n) +
               Tone(0.02, 30, i, n) + Tone(0.003, 200, i, n) + Tone(0.004, 260, i, n) +
               Tone(0.006, 70, i, n) + Tone(0.008, 160, i, n) + Tone(0.0025, 60, i, n);
    };
    Set("yaxis", "IMDVpk");
    RunPasses(1);
    const double tones = std::sqrt(1.0 + 0.25);
    const double imd2 =
        std::sqrt(0.01 * 0.01 + 0.02 * 0.02 + 0.003 * 0.003 + 0.004 * 0.004) / tones * 100.0;
    const double imd3 = std::hypot(0.006, 0.008) / tones * 100.0;
    const double imd4 = 0.0025 / tones * 100.0;
    const Lines readouts = Analyser().GetChannelTexts(0).readouts;
    ASSERT_EQ(readouts.size(), 5u);
    EXPECT_EQ(readouts[0], "Tone1: 3125Hz");
    EXPECT_EQ(readouts[1], "Tone2: 4062.5Hz");
    EXPECT_EQ(readouts[2], FormatText("2nd Order IMD: %3.6G%%", imd2));
    EXPECT_EQ(readouts[3], FormatText("3rd Order IMD: %3.6G%%", imd3));
    EXPECT_EQ(readouts[4], FormatText("4th Order IMD: %3.6G%%", imd4));

    // Named tones give the same figures.
    Set("ref1", "3125");
    Set("ref2", "4062.5");
    EXPECT_EQ(Analyser().GetChannelTexts(0).readouts[2], readouts[2]);
    EXPECT_EQ(Analyser().GetChannelTexts(0).readouts[1], "Tone2: 4062.5Hz");
}

// The distortion a new user measures most: 48 kHz, 4096 points, a 1000 Hz tone between bins
// with a 2 % second harmonic (the 1 kHz reading of thd-1khz.process). A window reads it true, and
// amplitude correction changes no ratio.
TEST_F(SpecRun, WindowedReadoutsOfAToneBetweenBins) {
    Make({"Signal Generator", "Spectrum Analyzer", "DataLogger"}, 4096, 48000.0);
    Source().m_pattern = [&](int, int, int i) {
        return 0.5 * std::sin(kTwoPi * 1000.0 * i / 48000.0) +
               0.01 * std::sin(kTwoPi * 2000.0 * i / 48000.0);
    };
    Set("yaxis", "THDVpk");
    for (const char* window : {"Hanning", "Blackman"}) {
        Set("window", window);
        Lines shown[2];
        for (bool corrected : {false, true}) {
            t.app.SetWindowAmplitudeCorrection(corrected);
            RunPasses(1);
            doc->OnEditStop();
            shown[corrected] = Analyser().GetChannelTexts(0).readouts;
        }
        EXPECT_EQ(shown[0], shown[1]) << window;
        const Lines& r = shown[1];
        ASSERT_EQ(r.size(), 7u);
        EXPECT_NEAR(ReadoutValue(r[0]), 1000.0, 0.5) << r[0];
        EXPECT_NEAR(ReadoutValue(r[1]), 2.0, 0.02) << r[1];
        EXPECT_LT(ReadoutValue(r[2]), 0.001) << r[2];
        EXPECT_NEAR(ReadoutValue(r[5]), 2.0, 0.02) << r[5];
        EXPECT_NEAR(ReadoutValue(r[6]), 2.0, 0.04) << r[6];
    }
}

// Two points hold DC and half the sample rate only: no harmonic of anything.
TEST_F(SpecRun, ABlockTooShortForAHarmonicShowsDashes) {
    Make({"Signal Generator", "Spectrum Analyzer", "DataLogger"}, 2, 32000.0);
    Source().m_pattern = [&](int, int, int i) { return i == 0 ? 1.0 : 0.5; };
    Set("yaxis", "THDVpk");
    RunPasses(1);
    EXPECT_EQ(Analyser().GetChannelTexts(0).readouts,
              (Lines{"Tone1:   0Hz", "2nd Harm Dist: - %", "3rd Harm Dist: - %",
                     "4th Harm Dist: - %", "5th Harm Dist: - %", "THD: - %", "THD+N: - %"}));
    Set("yaxis", "IMDVpk");
    EXPECT_EQ(Analyser().GetChannelTexts(0).readouts,
              (Lines{"Tone1:   0Hz", "Tone2:   0Hz", "2nd Order IMD: - %", "3rd Order IMD: - %",
                     "4th Order IMD: - %"}));
}

TEST_F(SpecRun, IMDDashesWithoutSamples) {
    Set("yaxis", "IMDVpk");
    EXPECT_EQ(Analyser().GetChannelTexts(1).readouts,
              (Lines{"Tone1: - Hz", "Tone2: - Hz", "2nd Order IMD: - %", "3rd Order IMD: - %",
                     "4th Order IMD: - %"}));
}

TEST_F(SpecRun, OtherDisplaysShowNoDistortionReadouts) {
    Source().m_pattern = [&](int, int, int i) { return Tone(0.5, 32, i, n); };
    RunPasses(1);
    EXPECT_EQ(Analyser().GetReadouts(), (Lines{"500 mVpk/Div", "Start: 0Hz", "Stop: 16000Hz",
                                               "500 mVpk/Div", "Start: 0Hz", "Stop: 16000Hz"}));
}

} // namespace
