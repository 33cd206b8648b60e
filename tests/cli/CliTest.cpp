// aurivo-cli end to end on temporary process files, with the engine's test modules.
#include "Cli.h"

#include "../process/TestModules.h"
#include "common/TempFolder.h"
#include "dsp/DSPFFTDataList.h"
#include "formats/ResponseFile.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class Cli : public testing::Test {
protected:
    fs::path dir;
    std::string out, err;

    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("aurivo-cli-" + std::to_string(::getpid()) + "-" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        // Keep the settings file of the person running the tests out of it.
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    }
    void TearDown() override { fs::remove_all(dir); }

    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), "aurivo-cli");
        std::vector<const char*> argv;
        for (const auto& a : args)
            argv.push_back(a.c_str());
        std::ostringstream o, e;
        const int rc = RunCli(int(argv.size()), argv.data(), TestRegistry(), o, e);
        out = o.str();
        err = e.str();
        return rc;
    }
    std::string Path(const char* name) const { return (dir / name).string(); }
    std::string NewProcess() {
        const std::string p = Path("p.process");
        EXPECT_EQ(
            Run({"new", p, "Signal Generator", "SoundIO", "--fft-size", "2048", "--rate", "44100"}),
            0)
            << err;
        return p;
    }
};

TEST_F(Cli, ModulesListsTheRegistryInEditorOrder) {
    EXPECT_EQ(Run({"modules"}), 0);
    EXPECT_EQ(out, "Signal Generator\nOscilloscope\nSoundIO\n");
}

TEST_F(Cli, NewThenInfoAsJson) {
    const std::string p = NewProcess();
    ASSERT_EQ(Run({"info", p, "--json"}), 0) << err;
    const json info = json::parse(out);
    EXPECT_EQ(info["schema"], "Process0");
    EXPECT_EQ(info["fftSize"], 2048);
    EXPECT_EQ(info["sampleRate"], 44100.0);
    EXPECT_EQ(info["pauseOnRecord"], 0);
    ASSERT_EQ(info["steps"].size(), 2u);
    EXPECT_EQ(info["steps"][1]["module"], "SoundIO");
    EXPECT_EQ(info["steps"][1]["identity"], "2");
    EXPECT_EQ(info["steps"][1]["settings"]["Level"], "50");

    ASSERT_EQ(Run({"info", p}), 0);
    EXPECT_NE(out.find("Step 2: SoundIO (identity 2)\n  Level: 50\n"), std::string::npos) << out;
}

TEST_F(Cli, NewRefusesUnknownModulesTooManyStepsAndBadSizes) {
    EXPECT_EQ(Run({"new", Path("a.process"), "Signal Generator", "Tape Deck"}), 2);
    EXPECT_EQ(err, "aurivo-cli: Unknown module \"Tape Deck\" (see aurivo-cli modules)\n");
    EXPECT_EQ(Run({"new", Path("a.process"), "SoundIO", "SoundIO", "SoundIO", "SoundIO", "SoundIO",
                   "SoundIO", "SoundIO"}),
              2);
    EXPECT_NE(err.find("Too many modules in process"), std::string::npos);
    EXPECT_EQ(Run({"new", Path("a.process"), "SoundIO", "--fft-size", "1000"}), 2);
    EXPECT_NE(err.find("FFT size must be a power of two"), std::string::npos);
    EXPECT_FALSE(fs::exists(Path("a.process")));
}

TEST_F(Cli, SetChangesControlsByLabelOrIdAndSaves) {
    const std::string p = NewProcess();
    ASSERT_EQ(Run({"set", p, "2:Level=75", "-o", Path("q.process")}), 0) << err;
    ASSERT_EQ(Run({"info", Path("q.process"), "--json"}), 0);
    EXPECT_EQ(json::parse(out)["steps"][1]["settings"]["Level"], "75");
    ASSERT_EQ(Run({"info", p, "--json"}), 0);
    EXPECT_EQ(json::parse(out)["steps"][1]["settings"]["Level"], "50")
        << "-o leaves the original alone";

    ASSERT_EQ(Run({"set", p, "1:level=5"}), 0) << err;
    ASSERT_EQ(Run({"info", p, "--json"}), 0);
    EXPECT_EQ(json::parse(out)["steps"][0]["settings"]["Level"], "5");
}

TEST_F(Cli, SetRefusesBadSettingsWithAReason) {
    const std::string p = NewProcess();
    EXPECT_EQ(Run({"set", p, "3:Level=1"}), 2);
    EXPECT_EQ(err, "aurivo-cli: Setting \"3:Level=1\": the process has no step 3\n");
    EXPECT_EQ(Run({"set", p, "Level=1"}), 2);
    EXPECT_NE(err.find("is not of the form STEP:CONTROL=VALUE"), std::string::npos);
    EXPECT_EQ(Run({"set", p, "1:Volume=1"}), 2);
    EXPECT_NE(err.find("Step 1: "), std::string::npos);
    EXPECT_NE(err.find("Volume"), std::string::npos) << err;
}

TEST_F(Cli, RunPrintsEveryStepsReadoutsAfterTheGivenPasses) {
    const std::string p = NewProcess();
    ASSERT_EQ(Run({"run", p, "--passes", "3"}), 0) << err;
    EXPECT_EQ(out, "Ran 3 passes of " + p +
                       "\nStep 1: Signal Generator\n  Level: 50\n  Calls: 3\nStep 2: SoundIO\n  "
                       "Level: 50\n  Calls: 3\n");

    ASSERT_EQ(Run({"run", p, "--json", "--set", "2:Level=9"}), 0) << err;
    const json result = json::parse(out);
    EXPECT_EQ(result["passes"], 1);
    EXPECT_EQ(result["steps"][1]["readouts"][0], "Level: 9");
    EXPECT_TRUE(result["messages"].empty());
}

TEST_F(Cli, RunExitsWithOneWhenAModuleReportsAnError) {
    const std::string p = NewProcess();
    EXPECT_EQ(Run({"run", p, "--passes", "5", "--set", "2:Level=-1"}), 1);
    EXPECT_NE(out.find("Ran 0 passes"), std::string::npos) << out;
    EXPECT_NE(out.find("Message: Error Detected In | Step: 2 SoundIO | Level below zero"),
              std::string::npos)
        << out;
    EXPECT_NE(err.find("a module reported an error"), std::string::npos);
}

// The response text file header of a fresh block at 2048 points and 44100/s, as stored.
std::string FreshHeader() {
    return ";Type                      : +1.0000000e+000\r\n"
           ";Number of Elements        : +2.0480000e+003\r\n"
           ";Sample Rate               : +4.4100000e+004\r\n"
           ";Gain                      : +1.0000000e+000\r\n"
           ";Delay                     : +0.0000000e+000\r\n";
}

TEST_F(Cli, RunDumpWritesTheListEveryStepHandedOnInEveryPass) {
    const std::string p = NewProcess();
    const fs::path dump = dir / "dump" / "nested";
    ASSERT_EQ(Run({"run", p, "--passes", "2", "--dump", dump.string()}), 0) << err;
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dump))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"pass-1-step-1.rsp", "pass-1-step-2.rsp",
                                               "pass-2-step-1.rsp", "pass-2-step-2.rsp"}));

    std::ifstream in(dump / "pass-2-step-2.rsp", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string block = FreshHeader() + [] {
        std::string lines;
        for (int i = 0; i < 2048; ++i)
            lines += "+0.0000000e+000 +1.0000000e+000 +0.0000000e+000\r\n";
        return lines;
    }();
    EXPECT_EQ(bytes, block + block) << "two channels, one after the other";

    CDSPFFTDataList list;
    ASSERT_TRUE(list.Create(2, 1, 2048, 44100.0));
    EXPECT_EQ(ResponseFile::Open(list, (dump / "pass-1-step-1.rsp").string()), 2048) << list.GetErrorText();
}

TEST_F(Cli, RunDumpStopsWithTheStepThatFailed) {
    const std::string p = NewProcess();
    const fs::path dump = dir / "dump";
    EXPECT_EQ(Run({"run", p, "--passes", "3", "--set", "2:Level=-1", "--dump", dump.string()}), 1);
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dump))
        names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"pass-1-step-1.rsp"});

    std::ofstream(Path("file")) << "x";
    EXPECT_EQ(Run({"run", p, "--dump", Path("file")}), 2);
    EXPECT_NE(err.find("Cannot create " + Path("file")), std::string::npos) << err;
}

TEST_F(Cli, FileAndUsageErrorsExitWithTwo) {
    EXPECT_EQ(Run({"info", Path("missing.process")}), 2);
    EXPECT_NE(err.find("missing.process"), std::string::npos) << err;
    std::ofstream(Path("junk.process")) << "not a process";
    EXPECT_EQ(Run({"run", Path("junk.process")}), 2);
    EXPECT_NE(err.find("Cannot open " + Path("junk.process")), std::string::npos) << err;
    EXPECT_EQ(Run({"run"}), 2);
    EXPECT_EQ(Run({"frobnicate"}), 2);
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_NE(out.find("run"), std::string::npos);
}

} // namespace

TEST_F(Cli, DevicesListTheVirtualCardFirstWithTheRatesItAccepts) {
    ASSERT_EQ(Run({"devices", "--json"}), 0) << err;
    const json j = json::parse(out, nullptr, false);
    ASSERT_FALSE(j.is_discarded()) << out;
    for (const char* kind : {"input", "output"}) {
        ASSERT_FALSE(j[kind].empty()) << kind;
        EXPECT_EQ(j[kind][0]["name"], "Virtual Loopback");
        const std::vector<int> rates = j[kind][0]["rates"];
        EXPECT_EQ(rates, (std::vector<int>{5000, 6000, 8000, 11025, 12000, 16000, 22050, 24000,
                                           32000, 44100, 48000, 88200, 96000, 176400, 192000}));
    }
    EXPECT_EQ(j["mixer"][0]["source"], "Line");
    EXPECT_EQ(j["mixer"][0]["level"], 49152);
}
