// The distortion readouts against the truth of the signal: harmonics and products of known
// amplitude and the examples users start with.
#include "SpecFixture.h"

#include "base/NumberText.h"

namespace {

using Lines = std::vector<std::string>;

// The number after ": " in a readout line.
double ReadoutValue(const std::string& line) {
    return ParseDouble(line.substr(line.find(": ") + 2));
}

class SpecReadouts : public SpecFixture {
protected:
    Lines Texts(int channel) { return Analyser().GetChannelTexts(channel).readouts; }
};

// A bin-centred tone of 1031.25 Hz (bin 33 at 32000 Hz and N = 1024) with a second and a third
// harmonic, channel 2 at half the level; window "None" leaves every bin exact.
TEST_F(SpecReadouts, HarmonicDistortionMatchesTheClosedForm) {
    constexpr double a1 = 0.8, a2 = 0.01234, a3 = 0.00567;
    Source().m_pattern = [this](int c, int, int i) {
        return (c == 0 ? 1.0 : 0.5) *
               (Tone(a1, 33, i, n) + Tone(a2, 66, i, n) + Tone(a3, 99, i, n));
    };
    const Lines dashes{"Tone1: - Hz",        "2nd Harm Dist: - %", "3rd Harm Dist: - %",
                       "4th Harm Dist: - %", "5th Harm Dist: - %", "THD: - %",
                       "THD+N: - %"};
    Set({"yaxis=THDVpk"});
    EXPECT_EQ(Texts(0), dashes) << "before any block";
    const double thd = std::hypot(a2, a3) / a1 * 100.0;
    for (const char* ref : {"0", "1031.25", "1040"}) {
        Set({std::string("ref1=") + ref});
        RunOnce();
        for (int c = 0; c < 2; ++c) {
            const Lines texts = Texts(c);
            ASSERT_EQ(texts.size(), 7u);
            EXPECT_EQ(texts[0], "Tone1: 1031.25Hz") << ref;
            EXPECT_NEAR(ReadoutValue(texts[1]), a2 / a1 * 100.0, 5e-6 * 1.5425);
            EXPECT_NEAR(ReadoutValue(texts[2]), a3 / a1 * 100.0, 5e-6 * 0.709);
            // Harmonics the signal does not hold read 0, not the transform's round-off.
            EXPECT_EQ(texts[3], "4th Harm Dist:   0%");
            EXPECT_EQ(texts[4], "5th Harm Dist:   0%");
            EXPECT_EQ(texts[5], FormatText("THD: %3.6G%%", thd));
            EXPECT_EQ(texts[6], FormatText("THD+N: %3.6G%%", thd));
        }
    }
    // Both plots' texts in order: scale, start, stop, then the readouts.
    const Lines lines = Analyser().GetReadouts();
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 4),
              (Lines{"500 mVpk/Div", "Start: 0Hz", "Stop: 16000Hz", "Tone1: 1031.25Hz"}));
    EXPECT_EQ(lines[13], "Tone1: 1031.25Hz");
}

TEST_F(SpecReadouts, IntermodulationOfTwoTonesMatchesTheClosedForm) {
    // Tones at bins 100 and 130; products of each order at some of their bins.
    Source().m_pattern = [&](int, int, int i) {
        return Tone(1.0, 100, i, n) + Tone(0.5, 130, i, n) + Tone(0.01, 230, i, n) +
               Tone(0.02, 30, i, n) + Tone(0.003, 200, i, n) + Tone(0.004, 260, i, n) +
               Tone(0.006, 70, i, n) + Tone(0.008, 160, i, n) + Tone(0.0025, 60, i, n);
    };
    Set({"yaxis=IMDVpk"});
    EXPECT_EQ(Texts(1), (Lines{"Tone1: - Hz", "Tone2: - Hz", "2nd Order IMD: - %",
                               "3rd Order IMD: - %", "4th Order IMD: - %"}));
    RunOnce();
    const double tones = std::sqrt(1.0 + 0.25);
    const double imd2 = std::sqrt(1e-4 + 4e-4 + 9e-6 + 16e-6) / tones * 100.0;
    const Lines readouts{
        "Tone1: 3125Hz", "Tone2: 4062.5Hz", FormatText("2nd Order IMD: %3.6G%%", imd2),
        FormatText("3rd Order IMD: %3.6G%%", std::hypot(0.006, 0.008) / tones * 100),
        FormatText("4th Order IMD: %3.6G%%", 0.0025 / tones * 100.0)};
    EXPECT_EQ(Texts(0), readouts);
}

// The readings beyond the distortion lines against the signal's amplitudes: a 0.5 V tone on
// bin 33 with 0.5 % second and 0.25 % third harmonic and a 1 mV tone at 250 Hz standing for the
// noise (8.6 dB lower A-weighted, the standard's table; the A case has no harmonics). Each case
// lists the lines from "THD" on that it changes or adds, with their numbers.
struct CReadingCase {
    std::vector<std::string> settings;
    double h2, h3;
    std::vector<std::pair<std::string, double>> lines;
};

TEST_F(SpecReadouts, ReadingsOnRequestMatchTheSignal) {
    constexpr double a = 0.5, noise = 0.001, aWeight = -8.6;
    const auto db = [](double ratio) { return 20 * std::log10(ratio); };
    const double h2 = 0.0025, h3 = 0.00125, r = std::hypot(h2, h3, noise);
    const std::vector<CReadingCase> cases{
        {{"thddb=1"},
         h2,
         h3,
         {{"THD", 100 * std::hypot(h2, h3) / a},
          {"THD", db(std::hypot(h2, h3) / a)},
          {"THD+N", 100 * r / a},
          {"THD+N", db(r / a)}}},
        {{"thdharm=HD2"}, h2, h3, {{"THD", 100 * h2 / a}, {"THD+N", 100 * r / a}}},
        {{"noise=Z"},
         h2,
         h3,
         {{"Noise", db(r)},
          {"SNR", db(a / noise)},
          {"SINAD", 10 * std::log10((a * a + r * r) / (r * r))}}},
        {{"noise=Z", "thdharm=HD2"},
         h2,
         h3,
         {{"Noise", db(r)}, {"SNR", db(a / std::hypot(noise, h3))}}},
        {{"noise=A"}, 0, 0, {{"Noise", db(noise) + aWeight}, {"SNR", db(a / noise) - aWeight}}},
    };
    for (const CReadingCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.settings));
        Make();
        Source().m_pattern = [&](int, int, int i) {
            return Tone(a, 33, i, n) + Tone(c.h2, 66, i, n) + Tone(c.h3, 99, i, n) +
                   Tone(0.001, 8, i, n);
        };
        std::vector<std::string> settings{"yaxis=THDVpk", "ref1=1031.25"};
        settings.insert(settings.end(), c.settings.begin(), c.settings.end());
        Set(settings);
        RunOnce();
        const std::vector<CReadoutValue> all = Analyser().GetReadoutValues();
        auto at = std::find_if(all.begin(), all.end(),
                               [](const CReadoutValue& v) { return v.label == "5th Harm Dist"; });
        // With the noise measured, the harmonics the signal lacks say they are below it.
        const auto line = [&](const char* label) {
            return std::find_if(all.begin(), all.end(),
                                [&](const CReadoutValue& v) { return v.label == label; })
                ->value;
        };
        EXPECT_EQ(line("4th Harm Dist"), c.settings[0].starts_with("noise") ? "< noise" : "  0%");
        if (c.h2 > 0) {
            EXPECT_NEAR(ParseDouble(line("2nd Harm Dist")), 100 * c.h2 / a, 1e-5);
        }
        for (const auto& [label, value] : c.lines) {
            at = std::find_if(at + 1, all.end(),
                              [&](const CReadoutValue& v) { return v.label == label; });
            ASSERT_NE(at, all.end()) << label;
            // dB to 0.01 (the 250 Hz weight is tabled to 0.1), percent to six digits.
            const bool isDb = at->value.find("dB") != std::string::npos;
            EXPECT_NEAR(ParseDouble(at->value), value,
                        isDb ? (c.h2 ? 0.01 : 0.1) : 1e-5 * std::fabs(value))
                << at->value;
        }
    }
}

// SMPTE/DIN and CCIF beside the order sums, with the tones named by Ref1 and Ref2: 7 kHz
// modulated by 250 Hz with 0.05 % sidebands of 0.1 V (1 %), and 0.3 V and 0.2 V tones at bins
// 400 and 420 with products of 2, 1.5 and 1 mV at bins 20, 380 and 440.
TEST_F(SpecReadouts, StandardIntermodulationOnRequest) {
    Source().m_pattern = [this](int, int, int i) {
        double x = Tone(0.4, 8, i, n) + Tone(0.1, 224, i, n) + Tone(0.0005, 216, i, n) +
                   Tone(0.0005, 232, i, n);
        return x + Tone(0.3, 400, i, n) + Tone(0.2, 420, i, n) + Tone(0.002, 20, i, n) +
               Tone(0.0015, 380, i, n) + Tone(0.001, 440, i, n);
    };
    Set({"yaxis=IMDVpk", "imd=SMPTE/DIN", "ref1=250", "ref2=7000"});
    EXPECT_EQ(Texts(0).back(), "SMPTE IMD: - %");
    RunOnce();
    EXPECT_EQ(Texts(0).back(), "SMPTE IMD:   1%");
    Set({"imd=CCIF", "ref1=12500", "ref2=13125"});
    RunOnce();
    const Lines texts = Texts(0);
    EXPECT_EQ(Lines(texts.end() - 2, texts.end()), (Lines{"CCIF d2: 0.4%", "CCIF d3: 0.5%"}));
}

// Opens an example and runs four passes; the analyser's distortion readouts.
Lines ExampleReadouts(const std::string& name) {
    CModuleProcess p;
    EXPECT_TRUE(p.Open(std::string(AURIVO_SOURCE_DIR) + "/examples/" + name));
    EXPECT_EQ(p.Session().Run(4), 4);
    Lines lines;
    for (const CReadoutValue& r : p.Session().GetReadouts(p.Session().GetStepCount()))
        if (r.label.find("Dist") != std::string::npos || r.label.find("IMD") != std::string::npos ||
            r.label.starts_with("THD"))
            lines.push_back(r.Text());
    return lines;
}

// thd-1khz: channel 1 a 50 % tone with 1 % at 2 kHz, channel 2 with 2 % at 3 kHz; imd: 1 %
// products against two 40 % tones, 1 / sqrt(3200) = 1.76777 %.
TEST(SpecExamples, ShowTheDistortionTheyWereMadeWith) {
    const Lines thd = ExampleReadouts("thd-1khz.process");
    ASSERT_EQ(thd.size(), 12u) << testing::PrintToString(thd);
    EXPECT_EQ(thd[0], "2nd Harm Dist:   2%");
    EXPECT_EQ(thd[4], "THD:   2%");
    EXPECT_EQ(thd[7], "3rd Harm Dist:   4%");
    EXPECT_EQ(thd[11], "THD+N:   4%");
    const Lines imd = ExampleReadouts("imd.process");
    ASSERT_EQ(imd.size(), 6u) << testing::PrintToString(imd);
    for (size_t i : {0, 1, 3})
        EXPECT_EQ(imd[i].substr(imd[i].find(": ")), ": 1.76777%") << imd[i];
}

} // namespace
