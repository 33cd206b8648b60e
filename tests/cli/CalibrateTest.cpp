// aurivo-cli calibrate on the virtual card with the calibration process of the source tree:
// what it measures, where the record and its file are written, and that a run applies what the
// command line calibrated and chose to apply.
#include "common/CliRun.h"
#include "common/TextFileUtil.h"
#include "dsp/DSPFFTDataList.h"
#include "formats/ResponseFile.h"
#include "modules/BuiltInModules.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <complex>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numbers>

namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(AURIVO_SOURCE_DIR) / "examples";

/** The run's own data folder holds calibration.process; the working folder is the run's. */
class Calibrate : public testing::Test, public CCliRun {
protected:
    Calibrate() : CCliRun(GetBuiltInModules()), m_previous(fs::current_path()) {
        const fs::path data = fs::path(File("data")) / "aurivo";
        fs::create_directories(data);
        fs::copy_file(fs::path(AURIVO_SOURCE_DIR) / "data" / "calibration.process",
                      data / "calibration.process");
        setenv("XDG_DATA_HOME", File("data").c_str(), 1);
        fs::current_path(folder.Path());
    }
    ~Calibrate() override {
        fs::current_path(m_previous);
        unsetenv("XDG_DATA_HOME");
    }
    /** A copy of an example in the run's folder. */
    std::string Example(const std::string& name) {
        fs::copy_file(kExamples / name, File(name));
        return File(name);
    }
    /** The block a step handed on in a pass written by --dump. */
    static std::unique_ptr<CDSPFFTDataList> Dumped(const std::string& path) {
        auto list = std::make_unique<CDSPFFTDataList>();
        EXPECT_TRUE(list->Create(2, CDSPData::kTimeBlock, 1024, 48000.0));
        EXPECT_EQ(ResponseFile::Open(*list, path), 1024) << path;
        return list;
    }

private:
    fs::path m_previous;
};

// "calibrate" on the loopback example: the default virtual card's latency and response go into
// the process file and the calibration file; a card whose pulse never arrives fails with 1.
TEST_F(Calibrate, LoopbackLatencyTakesTheCardsLatencyAndFailsWithoutAPulse) {
    CCliRun& run = *this;
    const std::string process = Example("loopback-latency.process");

    const std::string calibration = run.folder.File("card.calibration");
    ASSERT_EQ(run.Command({"calibrate", process, "--step", "2", "-o", calibration}), 0) << run.err;
    // 64 frames of lead-in and the card's 240 frames of latency at 48 kHz.
    const std::string latency = "0.00633333 Sec.";
    EXPECT_NE(run.out.find("Status: Frequency Calibration Complete\n"), std::string::npos);
    EXPECT_NE(run.out.find("Ch2 latency: " + latency + "\n"), std::string::npos) << run.out;
    EXPECT_NE(GetFile(calibration).find(";Ch1LatencyParams          : " + latency),
              std::string::npos);
    EXPECT_NE(GetFile(process).find(latency), std::string::npos);

    // A card whose response comes back after the whole recording.
    fs::create_directories(run.folder.File("config/aurivo"));
    std::ofstream(run.folder.File("config/aurivo/aurivo.ini")) << "[Virtual Card]\nLatency=96000\n";
    EXPECT_EQ(run.Command({"calibrate", process, "--step", "2", "--type", "latency"}), 1);
    EXPECT_EQ(run.err, "aurivo-cli: calibration failed: Latency Calibration Failed. Could Not "
                       "Find Pulse\n");
    EXPECT_EQ(run.Command({"calibrate", process, "--step", "1"}), 2);
}

// Paths named relative to the working folder are stored absolute, so the record names its
// process and file from wherever it is read; the apply flags and the warnings are settings, and
// a run then reads each channel in volts by its own factor.
TEST_F(Calibrate, ARecordMadeOnTheCommandLineNamesAbsolutePathsAndARunAppliesIt) {
    ASSERT_EQ(Command({"new", "in.process", "Signal Generator", "SoundIO", "--fft-size", "1024",
                       "--rate", "48000"}),
              0)
        << err;
    // Bin 22 of 46.875 Hz at full scale on both channels.
    ASSERT_EQ(Command({"set", "in.process", "1:ch1.wave=Sine", "1:ch1.freq=1031.25",
                       "1:ch1.level=100", "1:ch2.wave=Sine", "1:ch2.freq=1031.25",
                       "1:ch2.level=100", "2:mode=Rec./Play", "2:rate=48000", "2:offset=0"}),
              0)
        << err;
    // The tone comes back at half scale: meters reading 1 V and 0.25 V make full scale 2 V and
    // 0.5 V.
    ASSERT_EQ(Command({"calibrate", "in.process", "--step", "2", "--type", "input",
                       "--input-levels", "1,0.25", "-o", "in.calibration"}),
              0)
        << err;
    EXPECT_NE(out.find("Ch1 full scale: 2.0000 Vpk (peak 50 % at 1)\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Ch2 full scale: 0.5000 Vpk (peak 50 % at 0.25)\n"), std::string::npos);
    const std::string file = GetFile(File("in.calibration"));
    EXPECT_NE(file.find(";ProcessName               : " + File("in.process") + "\r\r\n"),
              std::string::npos)
        << file.substr(0, 200);
    EXPECT_NE(file.find(";Path Name                 : " + File("in.calibration") + "\r\r\n"),
              std::string::npos);
    EXPECT_NE(GetFile(File("in.process")).find(File("in.calibration")), std::string::npos);

    ASSERT_EQ(Command({"run", "in.process", "--dump", "plain"}), 0) << err;
    ASSERT_EQ(Command({"set", "in.process", "2:ch1.levelapply=1", "2:ch2.levelapply=on"}), 0)
        << err;
    EXPECT_EQ(Command({"set", "in.process", "2:ch1.freqapply=maybe"}), 2);
    EXPECT_NE(err.find("'maybe' is not a value for Ch1 Frequency Calibration Apply"),
              std::string::npos)
        << err;
    const auto listed = [&](const std::string& id) {
        EXPECT_EQ(Command({"info", "in.process", "--json"}), 0) << err;
        const nlohmann::json info = nlohmann::json::parse(out);
        for (const nlohmann::json& s : info["steps"][1]["settings"])
            if (s["id"] == id) return s["value"].get<std::string>();
        return std::string("(missing)");
    };
    EXPECT_EQ(listed("ch1.levelapply"), "1");
    EXPECT_EQ(listed("ch2.levelapply"), "1");
    EXPECT_EQ(listed("ch1.freqapply"), "0");
    EXPECT_EQ(listed("warnings"), "0");
    ASSERT_EQ(Command({"run", "in.process", "--dump", "applied"}), 0) << err;
    ASSERT_EQ(Command({"set", "in.process", "2:warnings=1"}), 0) << err;
    EXPECT_EQ(listed("warnings"), "1");

    // The tone's amplitude at bin 22: the model's polynomial adds 3/4 of its x^3 coefficient
    // to the fundamental, then the filter and the gain.
    const double f = 1031.25, rate = 48000.0;
    std::complex<double> h = 0.6 + 0.3 * std::polar(1.0, -2 * std::numbers::pi * f / rate) +
                             0.1 * std::polar(1.0, -4 * std::numbers::pi * f / rate);
    const double recorded = (1.0 + 0.75 * 0.005) * 0.5 * std::abs(h);
    const auto amplitude = [](const CDSPFFTDataList& list, int channel) {
        std::complex<double> sum = 0.0;
        for (int n = 0; n < 1024; ++n)
            sum += list.GetAt(channel)->GetTimeObj()->GetDataPointer()[n] *
                   std::polar(1.0, -2 * std::numbers::pi * 22 * n / 1024);
        return 2.0 * std::abs(sum) / 1024;
    };
    const auto plain = Dumped(File("plain/pass-1-step-2.rsp"));
    const auto applied = Dumped(File("applied/pass-1-step-2.rsp"));
    const double factor[2] = {2.0, 0.5};
    for (int c = 0; c < 2; ++c) {
        // The block starts at the trigger: a few of its last samples lie past the played block.
        EXPECT_NEAR(amplitude(*plain, c), recorded, recorded * 0.01) << c;
        // The same recording (the card's noise restarts with every run), scaled; the dump's
        // text rounds each sample.
        EXPECT_NEAR(amplitude(*applied, c) / amplitude(*plain, c), factor[c], 1e-7) << c;
    }
}

} // namespace
