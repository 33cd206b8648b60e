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
    const nlohmann::json settings = nlohmann::json::parse(out)["steps"][0]["settings"];
    const std::map<std::string, std::string> expected{{"Channels", "2"},
                                                      {"Ch1 channel", "1"},
                                                      {"Ch1 wave", "Down Ramp180"},
                                                      {"Ch1 frequency", "2205.5"},
                                                      {"Ch1 mode", "Exp10Dn Swp"},
                                                      {"Ch1 level", "33"},
                                                      {"Ch1 sweep start", "100"},
                                                      {"Ch1 sweep stop", "10000.25"},
                                                      {"Ch1 sweep time", "0.75"},
                                                      {"Ch1 pulse start", "0.0015"},
                                                      {"Ch1 pulse stop", "0.0035"},
                                                      {"Ch1 pulse period", "0.008"},
                                                      {"Ch2 channel", "2"},
                                                      {"Ch2 wave", "DC- Pulse"},
                                                      {"Ch2 frequency", "0"},
                                                      {"Ch2 mode", "Single Shot"},
                                                      {"Ch2 level", "0"},
                                                      {"Ch2 sweep start", "1"},
                                                      {"Ch2 sweep stop", "2"},
                                                      {"Ch2 sweep time", "3"},
                                                      {"Ch2 pulse start", "0.25"},
                                                      {"Ch2 pulse stop", "0.5"},
                                                      {"Ch2 pulse period", "1"}};
    for (const auto& [key, value] : expected)
        EXPECT_EQ(settings.value(key, "(missing)"), value) << key;

    ASSERT_EQ(Run({"run", copy, "--passes", "2"}), 0) << err;
    EXPECT_NE(out.find("Ran 2 passes"), std::string::npos) << out;
}

TEST_F(GeneratorCli, ARefusedStartIsReportedWithItsMessage) {
    const std::string file = folder.File("g.process");
    ASSERT_EQ(Run({"new", file, "Signal Generator"}), 0) << err;
    EXPECT_EQ(Run({"run", file, "--set", "1:ch2.freq=50000"}), 1);
    EXPECT_NE(out.find("Ch2 Frequency Out of Range. | 0.0 Hz <= Freq: <= Sample Rate / 2 Hz."),
              std::string::npos)
        << out;
}

TEST_F(GeneratorCli, ANonNumericEditIsRefused) {
    const std::string file = folder.File("g.process");
    ASSERT_EQ(Run({"new", file, "Signal Generator"}), 0) << err;
    EXPECT_EQ(Run({"set", file, "1:ch1.freq=12x"}), 2);
    EXPECT_NE(err.find("Step 1"), std::string::npos) << err;
}

} // namespace
