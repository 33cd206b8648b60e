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
