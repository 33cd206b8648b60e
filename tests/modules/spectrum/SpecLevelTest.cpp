// The level readout in every unit and through a microphone calibration, against the tone's own
// amplitude.
#include "SpecFixture.h"

#include "base/NumberText.h"
#include "common/CaseName.h"
#include "common/TempFolder.h"

#include <fstream>

namespace {

struct CLevelCase {
    const char* name;
    std::vector<std::string> settings;
    const char* calibration; // the file's text; empty: none
    double level;
};

class SpecLevel : public SpecFixture, public testing::WithParamInterface<CLevelCase> {
protected:
    std::string Readout(const std::string& label) {
        for (const CReadoutValue& r : p.Session().GetReadouts(2))
            if (r.channel == 1 && r.label == label) return r.value;
        return "(none)";
    }
};

// A bin-centred tone of peak 0.5 (bin 33 of 1024 at 32000 Hz: 1031.25 Hz), window "None".
TEST_P(SpecLevel, ReadsTheTonesLevelInTheUnit) {
    Source().m_pattern = [this](int, int, int i) { return Tone(0.5, 33, i, n); };
    CTempFolder folder;
    std::vector<std::string> settings = GetParam().settings;
    if (*GetParam().calibration) {
        std::ofstream(folder.File("mic.txt")) << GetParam().calibration;
        settings.push_back("miccal=" + folder.File("mic.txt"));
    }
    Set(settings);
    RunOnce();
    EXPECT_NEAR(ParseDouble(Readout("Level")), GetParam().level, 0.005) << Readout("Level");
    EXPECT_EQ(Readout("Level at"), "1031.25 Hz");
}

const double kRmsDb = 20 * std::log10(0.5 / std::sqrt(2.0));

INSTANTIATE_TEST_SUITE_P(
    Units, SpecLevel,
    testing::Values(
        CLevelCase{"DBFS", {"unit=dBFS"}, "", 20 * std::log10(0.5)},
        CLevelCase{"DBV", {"unit=dBV"}, "", kRmsDb},
        CLevelCase{"DBSPL", {"unit=dB SPL", "sens=50"}, "", kRmsDb - 20 * std::log10(0.05 * 20e-6)},
        CLevelCase{
            "CurvePlus3", {"unit=dBV"}, "* +3 dB around 1 kHz\n20 0\n500 3\n2000 3\n", kRmsDb - 3},
        CLevelCase{"SensitivityFactor",
                   {"unit=dBV"},
                   "\"Sens Factor =-1.25dB, SERNO: 1\"\n20 0\n20000 0\n",
                   kRmsDb + 1.25}),
    CaseName());

// Off reads nothing; dB SPL without a sensitivity refuses the run.
using SpecLevelUnit = SpecFixture;

TEST_F(SpecLevelUnit, LevelReadoutOnlyWithAUnitAndDbSplOnlyWithASensitivity) {
    RunOnce();
    for (const CReadoutValue& r : p.Session().GetReadouts(2))
        EXPECT_NE(r.label, "Level");
    Set({"unit=dB SPL"});
    EXPECT_FALSE(p.Pass());
    EXPECT_EQ(p.TakeMessages(),
              std::vector<std::string>{"Spectrum analyser: dB SPL needs the microphone's "
                                       "sensitivity (mV/Pa)"});
}

} // namespace
