// A configured generator saved and read again through aurivo-cli keeps every bar field.
#include "Cli.h"
#include "common/TempFolder.h"
#include "modules/BuiltInModules.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

namespace {

class GeneratorCli : public testing::Test {
protected:
    CTempFolder folder;
    std::string out, err;

    void SetUp() override { setenv("XDG_CONFIG_HOME", folder.File("config").c_str(), 1); }

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
};

TEST_F(GeneratorCli, EveryBarFieldSurvivesSavingAndReading) {
    const std::string file = folder.File("g.process");
    const std::string copy = folder.File("copy.process");
    ASSERT_EQ(Run({"new", file, "Signal Generator", "--fft-size", "2048", "--rate", "44100"}), 0)
        << err;
    ASSERT_EQ(Run({"set",
                   file,
                   "1:ch1.wave=Down Ramp180",
                   "1:ch1.freq=2205.5",
                   "1:ch1.mode=Exp10Dn Swp",
                   "1:ch1.level=33",
                   "1:ch1.sweepstart=100",
                   "1:ch1.sweepstop=10000.25",
                   "1:ch1.sweeptime=0.75",
                   "1:ch1.pulsestart=0.0015",
                   "1:ch1.pulsestop=0.0035",
                   "1:ch1.pulseperiod=0.008",
                   "1:ch2.wave=DC- Pulse",
                   "1:ch2.freq=0",
                   "1:ch2.mode=Single Shot",
                   "1:ch2.level=0",
                   "1:ch2.sweepstart=1",
                   "1:ch2.sweepstop=2",
                   "1:ch2.sweeptime=3",
                   "1:ch2.pulsestart=0.25",
                   "1:ch2.pulsestop=0.5",
                   "1:ch2.pulseperiod=1e0"}),
              0)
        << err;
    // Read, saved again unchanged by a run, read once more.
    ASSERT_EQ(Run({"set", file, "1:ch1.level=33", "-o", copy}), 0) << err;
    ASSERT_EQ(Run({"info", copy, "--json"}), 0) << err;
    std::map<std::string, std::string> settings;
    const nlohmann::json info = nlohmann::json::parse(out);
    for (const auto& s : info["steps"][0]["settings"])
        settings[s["label"].get<std::string>()] = s["value"].get<std::string>();
    const std::map<std::string, std::string> expected{
        {"Ch1 wave", "Down Ramp180"}, {"Ch1 frequency", "2205.5"},
        {"Ch1 mode", "Exp10Dn Swp"},  {"Ch1 level", "33"},
        {"Ch1 sweep start", "100"},   {"Ch1 sweep stop", "10000.25"},
        {"Ch1 sweep time", "0.75"},   {"Ch1 pulse start", "0.0015"},
        {"Ch1 pulse stop", "0.0035"}, {"Ch1 pulse period", "0.008"},
        {"Ch2 wave", "DC- Pulse"},    {"Ch2 frequency", "0"},
        {"Ch2 mode", "Single Shot"},  {"Ch2 level", "0"},
        {"Ch2 sweep start", "1"},     {"Ch2 sweep stop", "2"},
        {"Ch2 sweep time", "3"},      {"Ch2 pulse start", "0.25"},
        {"Ch2 pulse stop", "0.5"},    {"Ch2 pulse period", "1"}};
    for (const auto& [key, value] : expected)
        EXPECT_EQ(settings.count(key) ? settings[key] : "(missing)", value) << key;

    ASSERT_EQ(Run({"run", copy, "--passes", "2"}), 0) << err;
    EXPECT_NE(out.find("Ran 2 passes"), std::string::npos) << out;
}

// What a module would refuse at the start of a run is refused at `set`, with the values; the
// command line reads numbers strictly and takes list items by text.
TEST_F(GeneratorCli, SetRefusesWhatTheModulesWouldRefuseWithTheReason) {
    const std::string file = folder.File("g.process");
    ASSERT_EQ(Run({"new", file, "Signal Generator", "Spectrum Analyzer", "--rate", "48000"}), 0)
        << err;
    ASSERT_EQ(Run({"info", file}), 0);
    const std::string before = out;
    const std::pair<std::string, std::string> refused[] = {
        {"2:Ref1=abc", "'abc' is not a number for 'Ref1'"},
        {"2:Ref1=12abc", "'12abc' is not a number"},
        {"2:Ref1=1e999", "'1e999' is out of range"},
        {"1:ch1.freq=", "'' is not a number for 'Freq (Hz)'"},
        {"1:ch1.freq=0x10", "'0x10' is not a number"},
        {"1:ch1.freq=inf", "'inf' is not a number"},
        {"1:ch2.freq=30000", "Ch2 Frequency Out of Range. | 0.0 Hz <= Freq: <= Sample Rate / 2 "
                             "Hz. | Freq: 30000 Hz (limits 0 to 24000 Hz)"},
        {"1:ch1.sweeptime=-1", ""}, // accepted alone: a constant tone does not sweep
        {"2:avg=5", "'5' is not an item of 'Avg': 1, 2, 4, 8"},
        {"2:Block average=3", "'3' is not an item"},
    };
    for (const auto& [setting, reason] : refused) {
        if (reason.empty()) continue;
        EXPECT_EQ(Run({"set", file, setting}), 2) << setting;
        EXPECT_NE(err.find(reason), std::string::npos) << setting << ": " << err;
    }
    EXPECT_EQ(Run({"set", file, "1:ch1.mode=Lin Sweep", "1:ch1.sweeptime=-1"}), 2);
    EXPECT_NE(err.find("Ch1 Sweep Time Out of Range. | 0.000083 sec < Sweep Time: <= 3600.0 sec. "
                       "| Sweep Time: -1 sec (limits 8.33333333333333e-005 to 3600 sec)"),
              std::string::npos)
        << err;
    EXPECT_EQ(Run({"set", file, "2:yaxis=THDVpk", "2:Ref1=25000"}), 2);
    EXPECT_NE(err.find("Reference Frequency 1 is Higher than Sample Rate / 2 | Ref1: 25000 Hz "
                       "(limits 0 to 24000 Hz)"),
              std::string::npos)
        << err;
    ASSERT_EQ(Run({"info", file}), 0);
    EXPECT_EQ(out, before) << "a refused set saves nothing";

    ASSERT_EQ(Run({"set", file, "2:avg=4", "2:smooth=#2", "2:Ref2=+2.5e3"}), 0) << err;
    ASSERT_EQ(Run({"info", file}), 0);
    EXPECT_NE(out.find("  avg (Block average): 4\n"), std::string::npos) << out;
    EXPECT_NE(out.find("  ref2 (Ref2): 2500\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("  smooth (Smoothing): 0\n"), std::string::npos) << out;
}

// `set` takes back every id and value `info` prints, and changes nothing by it.
TEST_F(GeneratorCli, SetAcceptsEverySettingInfoPrints) {
    const std::string file = folder.File("all.process");
    ASSERT_EQ(Run({"new", file, "Signal Generator", "Oscilloscope", "Spectrum Analyzer"}), 0)
        << err;
    ASSERT_EQ(Run({"set", file, "3:start=3000Hz", "3:scale=5 mVpk/Div", "2:ch1.vdiv=1 VPk/Div",
                   "2:gate=On", "2:Ch2 Disp=Off"}),
              0)
        << err;
    ASSERT_EQ(Run({"info", file, "--json"}), 0);
    const nlohmann::json info = nlohmann::json::parse(out);
    std::vector<std::string> settings;
    size_t count = 0;
    for (const auto& step : info["steps"])
        for (const auto& s : step["settings"]) {
            settings.push_back(std::to_string(step["step"].get<int>()) + ":" +
                               s["id"].get<std::string>() + "=" + s["value"].get<std::string>());
            settings.push_back(std::to_string(step["step"].get<int>()) + ":" +
                               s["label"].get<std::string>() + "=" + s["value"].get<std::string>());
            ++count;
        }
    EXPECT_GT(count, 50u);
    std::vector<std::string> args{"set", file};
    args.insert(args.end(), settings.begin(), settings.end());
    ASSERT_EQ(Run(args), 0) << err;
    ASSERT_EQ(Run({"info", file, "--json"}), 0);
    EXPECT_EQ(nlohmann::json::parse(out), info);
    EXPECT_NE(out.find("\"3000Hz\""), std::string::npos);
    EXPECT_NE(out.find("\"1 Vpk/Div\""), std::string::npos) << out;
}

} // namespace
