// Every example process runs at once from the command line on the built-in modules, and the
// generator's examples hand on the blocks their descriptions promise.
#include "Cli.h"
#include "common/TempFolder.h"

#include "dsp/DSPFFTDataList.h"
#include "modules/BuiltInModules.h"
#include "formats/ResponseFile.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(AURIVO_SOURCE_DIR) / "examples";

std::vector<std::string> ExampleNames() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(kExamples))
        if (e.path().extension() == ".process") names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ExampleRun {
public:
    CTempFolder folder;
    std::string out, err;

    ExampleRun() { setenv("XDG_CONFIG_HOME", folder.File("config").c_str(), 1); }

    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), "aurivo-cli");
        std::vector<const char*> argv;
        for (const auto& a : args)
            argv.push_back(a.c_str());
        std::ostringstream o, e;
        const int rc = RunCli(int(argv.size()), argv.data(), GetBuiltInModules(), o, e);
        out = o.str();
        err = e.str();
        return rc;
    }
    /** Runs two passes of an example with the dump in the temporary folder. */
    nlohmann::json RunTwoPasses(const std::string& example) {
        const int rc = Run({"run", (kExamples / example).string(), "--passes", "2", "--json",
                            "--dump", folder.File("dump")});
        EXPECT_EQ(rc, 0) << err;
        return rc == 0 ? nlohmann::json::parse(out) : nlohmann::json();
    }
    /** Channel samples of a dumped block list of two channels. */
    std::vector<double> Dumped(int pass, int channel, int32_t size, double fs) {
        CDSPFFTDataList list;
        EXPECT_TRUE(list.Create(2, CDSPData::kTimeBlock, size, fs));
        const std::string path = folder.File("dump/pass-" + std::to_string(pass) + "-step-1.rsp");
        EXPECT_EQ(ResponseFile::Open(list, path), size) << list.GetErrorText();
        const double* p = list.GetTimeData(channel - 1);
        return std::vector<double>(p, p + size);
    }
};

class Examples : public testing::TestWithParam<std::string> {};

TEST_P(Examples, RunsTwoPassesWithoutMessagesAndDumpsEveryStep) {
    ExampleRun r;
    const nlohmann::json result = r.RunTwoPasses(GetParam());
    ASSERT_FALSE(result.is_null());
    EXPECT_EQ(result["passes"], 2);
    EXPECT_EQ(result["messages"], nlohmann::json::array());
    const size_t steps = result["steps"].size();
    ASSERT_GE(steps, 1u);
    for (int pass = 1; pass <= 2; ++pass)
        for (size_t step = 1; step <= steps; ++step)
            EXPECT_TRUE(fs::exists(r.folder.File("dump/pass-" + std::to_string(pass) + "-step-" +
                                                 std::to_string(step) + ".rsp")))
                << "pass " << pass << " step " << step;
}

INSTANTIATE_TEST_SUITE_P(All, Examples, testing::ValuesIn(ExampleNames()), [](const auto& info) {
    std::string name;
    for (char c : info.param.substr(0, info.param.size() - 8))
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
});

// Response files keep eight significant digits.
constexpr double kDumpPrecision = 1e-7;

TEST(GeneratorExamples, SineOfOneKilohertzRunsOnAcrossPasses) {
    ExampleRun r;
    ASSERT_FALSE(r.RunTwoPasses("sine-1khz.process").is_null());
    for (int pass = 1; pass <= 2; ++pass)
        for (int channel = 1; channel <= 2; ++channel) {
            const std::vector<double> x = r.Dumped(pass, channel, 1024, 32000.0);
            const double level = channel == 1 ? 1.0 : 0.5;
            for (int i = 0; i < 1024; ++i) {
                const double t = (i + 1024.0 * (pass - 1)) / 32000.0;
                ASSERT_NEAR(x[size_t(i)], level * std::sin(2 * std::numbers::pi * 1000 * t),
                            kDumpPrecision)
                    << "pass " << pass << " channel " << channel << " sample " << i;
            }
        }
}

TEST(GeneratorExamples, SweepsStartAtTwentyHertzAndRunOn) {
    ExampleRun r;
    ASSERT_FALSE(r.RunTwoPasses("log-sweep.process").is_null());
    const double fs = 48000.0;
    const std::vector<double> log1 = r.Dumped(1, 1, 4096, fs);
    const std::vector<double> lin1 = r.Dumped(1, 2, 4096, fs);
    EXPECT_EQ(log1[0], 0.0);
    // The first step is the start frequency on the log law, one sample's worth above on the
    // linear law.
    EXPECT_NEAR(log1[1], std::sin(2 * std::numbers::pi * 20 / fs), kDumpPrecision);
    EXPECT_NEAR(lin1[1], std::sin(2 * std::numbers::pi * (20 + 19980 / fs) / fs), kDumpPrecision);
    const std::vector<double> log2 = r.Dumped(2, 1, 4096, fs);
    EXPECT_NE(log1, log2) << "the sweep runs on across blocks";
    for (const auto* block : {&log1, &lin1, &log2})
        for (double v : *block)
            ASSERT_LE(std::fabs(v), 1.0);
}

TEST(GeneratorExamples, SequenceAndComplementRepeatInEveryBlock) {
    ExampleRun r;
    ASSERT_FALSE(r.RunTwoPasses("mls.process").is_null());
    const std::vector<double> mls = r.Dumped(1, 1, 1024, 48000.0);
    const std::vector<double> complement = r.Dumped(1, 2, 1024, 48000.0);
    EXPECT_EQ(std::count(mls.begin(), mls.end(), 1.0), 512) << "511 in the period and the filler";
    EXPECT_EQ(std::count(mls.begin(), mls.end(), 0.0), 512);
    for (size_t i = 0; i < mls.size(); ++i)
        ASSERT_EQ(complement[i], 1.0 - mls[i]) << i;
    EXPECT_EQ(r.Dumped(2, 1, 1024, 48000.0), mls);
}

} // namespace

// "calibrate" on the loopback example: the default virtual card's latency and response go into
// the process file and the calibration file; a card whose pulse never arrives fails with 1.
TEST(CalibrateExample, LoopbackLatencyTakesTheCardsLatencyAndFailsWithoutAPulse) {
    ExampleRun run;
    const std::string process = run.folder.File("loopback-latency.process");
    fs::copy_file(kExamples / "loopback-latency.process", process);
    const fs::path data = fs::path(run.folder.File("data")) / "aurivo";
    fs::create_directories(data);
    fs::copy_file(fs::path(AURIVO_SOURCE_DIR) / "data" / "calibration.process",
                  data / "calibration.process");
    setenv("XDG_DATA_HOME", run.folder.File("data").c_str(), 1);

    const std::string calibration = run.folder.File("card.calibration");
    ASSERT_EQ(run.Run({"calibrate", process, "--step", "2", "-o", calibration}), 0) << run.err;
    // 64 frames of lead-in and the card's 240 frames of latency at 48 kHz.
    const std::string latency = "0.00633333 Sec.";
    EXPECT_NE(run.out.find("Status: Frequency Calibration Complete\n"), std::string::npos);
    EXPECT_NE(run.out.find("Ch2 latency: " + latency + "\n"), std::string::npos) << run.out;
    const auto contains = [](const std::string& path, const std::string& text) {
        std::ifstream in(path, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        return bytes.find(text) != std::string::npos;
    };
    EXPECT_TRUE(contains(calibration, ";Ch1LatencyParams          : " + latency));
    EXPECT_TRUE(contains(process, latency));

    // The tone plays at the generator's full level: 0.5 of full scale comes back, read against
    // the meter's 1 V and 0.5 V.
    ASSERT_EQ(run.Run({"calibrate", process, "--step", "2", "--type", "input", "--input-levels",
                       "1,0.5"}),
              0)
        << run.err;
    EXPECT_NE(run.out.find("Ch1 full scale: 2.0000 Vpk (peak 50 % at 1)\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Ch2 full scale: 1.0000 Vpk (peak 50 % at 0.5)\n"), std::string::npos);

    // A card whose response comes back after the whole recording.
    fs::create_directories(run.folder.File("config/aurivo"));
    std::ofstream(run.folder.File("config/aurivo/aurivo.ini")) << "[Virtual Card]\nLatency=96000\n";
    EXPECT_EQ(run.Run({"calibrate", process, "--step", "2", "--type", "latency"}), 1);
    EXPECT_EQ(run.err, "aurivo-cli: calibration failed: Latency Calibration Failed. Could Not "
                       "Find Pulse\n");
    EXPECT_EQ(run.Run({"calibrate", process, "--step", "1"}), 2);
    unsetenv("XDG_DATA_HOME");
}
