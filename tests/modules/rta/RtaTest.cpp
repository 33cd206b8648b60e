// The RTA module run through the headless session: a tone's level in its band and in every
// unit against the tone's own amplitude, the microphone calibration file's effect and its
// keeping in the process file, the bands it cannot resolve, and the CSV of the bands.

#include "modules/rta/RtaView.h"

#include "common/ModuleProcess.h"
#include "common/TempFolder.h"
#include "process/GivenPathDialog.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace {

// A 1 kHz sine at 50 % on both channels into the RTA in 1/3 octave, 16384 samples at 48 kHz.
class RtaTone : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(p.Create({"Signal Generator", "RTA"}, 16384, 48000.0));
        p.Set(1, {"ch1.wave=Sine", "ch1.freq=1000", "ch1.level=50", "ch2.wave=Sine",
                  "ch2.freq=1000", "ch2.level=50"});
    }
    CRtaView& Rta() { return p.Step<CRtaView>(2); }
    size_t Band(double nominal) {
        const std::vector<COctaveBand>& bands = Rta().GetBands();
        for (size_t b = 0; b < bands.size(); ++b)
            if (bands[b].nominal == nominal) return b;
        ADD_FAILURE() << nominal;
        return 0;
    }
    double Level1k(int channel = 0) { return Rta().GetLevels(channel)[Band(1000)]; }
    CModuleProcess p;
};

// A sine of peak 0.5 is -6.02 dBFS (a full-scale sine is 0 dBFS), -9.03 dBV (0.3536 V rms) and,
// through a 50 mV/Pa microphone, 7.071 Pa: 110.97 dB SPL. The tone's band and the overall level
// read it within 0.1 dB; the neighbouring bands, a third of an octave away, lie more than 15 dB
// below (a class 1 filter passes at most -1.2 dB at its edge and -16.6 dB at 1.294 times its
// midband frequency, and the neighbour's midband lies at 1.259 times). dB SPL without a
// sensitivity is refused at the start.
TEST_F(RtaTone, ReadsASineInItsBandInEveryUnit) {
    p.Set(2, {"unit=dB SPL"});
    EXPECT_FALSE(p.Pass());
    EXPECT_EQ(p.TakeMessages(),
              std::vector<std::string>{"RTA: dB SPL needs the microphone's sensitivity (mV/Pa)"});
    struct CUnit {
        const char* unit;
        double level;
    };
    const double rms = 0.5 / std::sqrt(2.0);
    for (const CUnit& u : {CUnit{"dBFS", 20 * std::log10(0.5)}, CUnit{"dBV", 20 * std::log10(rms)},
                           CUnit{"dB SPL", 20 * std::log10(rms / 0.05 / 20e-6)}}) {
        SCOPED_TRACE(u.unit);
        p.Set(2, {std::string("unit=") + u.unit, "sens=50"});
        ASSERT_TRUE(p.Pass());
        EXPECT_NEAR(Level1k(), u.level, 0.1);
        EXPECT_NEAR(Rta().GetOverallLevel(1), u.level, 0.1);
        EXPECT_LT(Rta().GetLevels(0)[Band(800)], u.level - 15.0);
        EXPECT_LT(Rta().GetLevels(0)[Band(1250)], u.level - 15.0);
    }
    // The standard's tables: A-weighting is +1.2 dB at 2 kHz, C-weighting -3.0 dB at 8 kHz.
    p.Set(1, {"ch1.freq=2000", "ch2.freq=8000"});
    p.Set(2, {"unit=dBFS", "weighting=A"});
    ASSERT_TRUE(p.Pass());
    EXPECT_NEAR(Rta().GetLevels(0)[Band(2000)], 20 * std::log10(0.5) + 1.2, 0.1);
    p.Set(2, {"weighting=C"});
    ASSERT_TRUE(p.Pass());
    EXPECT_NEAR(Rta().GetLevels(1)[Band(8000)], 20 * std::log10(0.5) - 3.0, 0.1);
    EXPECT_EQ(Rta().UnitText(), "dBFS(C)");
}

// +3 dB at 1 kHz lowers the 1 kHz reading by 3.00 dB, on the channels the file corrects; the
// sensitivity line moves every level by its value.
TEST_F(RtaTone, AMicrophoneCalibrationFileCorrectsItsChannels) {
    ASSERT_TRUE(p.Pass());
    const double plain = Level1k();
    CTempFolder folder;
    const std::string flat = folder.File("flat3.txt"), sens = folder.File("sens.txt");
    std::ofstream(flat) << "* +3 dB around 1 kHz\n20 0\n500 3\n2000 3\n20000 0\n";
    std::ofstream(sens) << "\"Sens Factor =-1.25dB, SERNO: 1\"\n20 0\n20000 0\n";
    p.Set(2, {"miccal=" + flat, "calch=Ch1"});
    ASSERT_TRUE(p.Pass());
    EXPECT_NEAR(Level1k(0), plain - 3.0, 0.005);
    EXPECT_NEAR(Level1k(1), plain, 0.005);
    p.Set(2, {"miccal=" + sens, "calch=Both"});
    ASSERT_TRUE(p.Pass());
    EXPECT_NEAR(Level1k(0), plain + 1.25, 0.005);
    EXPECT_NEAR(Level1k(1), plain + 1.25, 0.005);

    // A bad file is refused with its line named; the curve before it stays.
    std::ofstream(folder.File("bad.txt")) << "20 0\n1000 1\n900 2\n";
    std::string message;
    EXPECT_FALSE(Rta().SetControl("miccal", folder.File("bad.txt"), message));
    EXPECT_EQ(message,
              folder.File("bad.txt") + " line 3: frequencies must rise (900 Hz after 1000 Hz)");
    EXPECT_EQ(SettingOf(Rta(), "Mic cal"), sens);
    ASSERT_TRUE(p.Pass());
    EXPECT_NEAR(Level1k(0), plain + 1.25, 0.005);
}

// The pane's "Load..." and the menu's "Save Bands as CSV..." ask the host's file dialog.
TEST_F(RtaTone, LoadsTheFileAndSavesTheBandsWhereTheDialogSays) {
    CTempFolder folder;
    std::ofstream(folder.File("mic.txt")) << "20 0\n500 3\n2000 3\n20000 0\n";
    CGivenPathDialog load(folder.File("mic.txt"));
    p.App().SetFileDialog(&load);
    p.Set(2, {"micload"});
    EXPECT_TRUE(load.WasAsked());
    EXPECT_EQ(SettingOf(Rta(), "Mic cal"), folder.File("mic.txt"));

    ASSERT_TRUE(p.Pass());
    CGivenPathDialog save(folder.File("bands.csv"));
    p.App().SetFileDialog(&save);
    EXPECT_TRUE(Rta().OnContextCommand("savebands"));
    std::ifstream csv(folder.File("bands.csv"));
    std::string header, row;
    std::getline(csv, header);
    while (std::getline(csv, row) && row.rfind("1000,", 0) != 0)
        ;
    // The 1 kHz band: 0.5 peak, less the file's 3 dB, in every trace of channel 1.
    double centre = 0, nominal = 0, average = 0, peak = 0;
    char comma = 0;
    std::istringstream(row) >> centre >> comma >> nominal >> comma >> average >> comma >> peak;
    EXPECT_EQ(centre, 1000.0);
    EXPECT_NEAR(average, 20 * std::log10(0.5) - 3.0, 0.1);
    EXPECT_NEAR(peak, average, 1e-6);
    p.App().SetFileDialog(nullptr);
}

// The process keeps the file's path and a copy of its curve: with the file gone it still opens,
// says so, and measures with the stored curve.
TEST_F(RtaTone, AProcessWhoseCalibrationFileMovedOpensWithTheStoredCurve) {
    ASSERT_TRUE(p.Pass());
    const double plain = Level1k();
    CTempFolder folder;
    const std::string mic = folder.File("mic.txt"), process = folder.File("rta.process");
    std::ofstream(mic) << "20 0\n500 3\n2000 3\n20000 0\n";
    p.Set(2, {"miccal=" + mic});
    std::string error;
    ASSERT_TRUE(p.Session().Save(process, error)) << error;
    std::remove(mic.c_str());

    CModuleProcess q;
    ASSERT_TRUE(q.Session().Open(process, error)) << error;
    CRtaView& rta = q.Step<CRtaView>(2);
    EXPECT_EQ(rta.GetRunWarning(),
              "Mic cal file " + mic + " cannot be read; the curve stored in the process is used");
    EXPECT_EQ(SettingOf(rta, "Mic cal"), mic);
    ASSERT_TRUE(q.Pass());
    EXPECT_NEAR(rta.GetLevels(0)[Band(1000)], plain - 3.0, 0.005);
}

// 1/48 octave on 4096 samples at 48 kHz: the bands narrower than 8 bins (93.75 Hz, up to about
// 6.5 kHz) are shown as unresolved, in the readouts and as empty CSV fields.
TEST(Rta, BandsTheBlockCannotResolveAreShownAsSuch) {
    CModuleProcess p;
    ASSERT_TRUE(p.Create({"Signal Generator", "RTA"}, 4096, 48000.0));
    p.Set(1, {"ch1.wave=White"});
    p.Set(2, {"bands=1/48"});
    ASSERT_TRUE(p.Pass());
    const CRtaView& rta = p.Step<CRtaView>(2);
    const std::vector<double> levels = rta.GetLevels(0);
    for (size_t b = 0; b < levels.size(); ++b) {
        const COctaveBand& band = rta.GetBands()[b];
        EXPECT_EQ(std::isnan(levels[b]), band.upper - band.lower < 8 * 48000.0 / 4096)
            << band.centre;
    }
    const std::vector<CReadoutValue> readouts = rta.GetReadoutValues();
    ASSERT_GT(readouts.size(), 3u);
    EXPECT_EQ(readouts[2].label, "Ch1 9.9"); // 9.93 Hz to two digits
    EXPECT_EQ(readouts[2].value, "unresolved");

    CTempFolder folder;
    std::string error;
    ASSERT_TRUE(rta.SaveBandsCsv(folder.File("bands.csv"), error)) << error;
    std::ifstream in(folder.File("bands.csv"));
    std::string header, first;
    std::getline(in, header);
    std::getline(in, first);
    EXPECT_EQ(header, "Centre (Hz),Nominal (Hz),Ch1 Average (dBFS),Ch1 Peak (dBFS),Ch1 Max "
                      "(dBFS),Ch1 Min (dBFS),Ch2 Average (dBFS),Ch2 Peak (dBFS),Ch2 Max "
                      "(dBFS),Ch2 Min (dBFS)");
    EXPECT_EQ(first.substr(first.find(',', first.find(',') + 1)), ",,,,,,,,");
    size_t rows = 1;
    for (std::string line; std::getline(in, line);)
        ++rows;
    EXPECT_EQ(rows, levels.size());
}

} // namespace
