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

#include <sys/stat.h>

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

    int Run(std::vector<std::string> args, const CModuleRegistry& registry = TestRegistry()) {
        args.insert(args.begin(), "aurivo-cli");
        std::vector<const char*> argv;
        for (const auto& a : args)
            argv.push_back(a.c_str());
        std::ostringstream o, e;
        const int rc = RunCli(int(argv.size()), argv.data(), registry, o, e);
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

// The value `info --json` lists for a setting id of a step (0-based).
std::string SettingOf(const json& info, size_t step, const std::string& id) {
    for (const json& s : info["steps"][step]["settings"])
        if (s["id"] == id) return s["value"];
    return "(missing)";
}

TEST_F(Cli, ModulesListsTheRegistryInEditorOrder) {
    EXPECT_EQ(Run({"modules"}), 0);
    EXPECT_EQ(out, "Signal Generator\nOscilloscope\nSoundIO\n");
    // Plug-in modules follow the built-in ones, marked, in the order they were loaded.
    CModuleRegistry withPlugIns = TestRegistry();
    withPlugIns.AddPlugIn({"Tape Echo", nullptr});
    withPlugIns.AddPlugIn({"Level Meter", nullptr});
    EXPECT_EQ(Run({"modules"}, withPlugIns), 0);
    EXPECT_EQ(out, "Signal Generator\nOscilloscope\nSoundIO\nTape Echo (plug-in)\nLevel Meter "
                   "(plug-in)\n");
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
    EXPECT_EQ(info["steps"][1]["settings"][1],
              (json{{"id", "level"}, {"label", "Level"}, {"value", "50"}}));

    EXPECT_EQ(info["windowAmplitudeCorrection"], true); // on in a fresh installation

    ASSERT_EQ(Run({"info", p}), 0);
    EXPECT_NE(out.find("Step 2: SoundIO (identity 2)\n  channel (Selected channel): 0\n"
                       "  level (Level): 50\n"),
              std::string::npos)
        << out;

    // The application setting, turned off in the settings file, shows as off.
    fs::create_directories(dir / "config" / "aurivo");
    std::ofstream(dir / "config" / "aurivo" / "aurivo.ini")
        << "[Settings]\nWindowAmplitudeCorrection=0\n";
    ASSERT_EQ(Run({"info", p}), 0);
    EXPECT_NE(out.find("Window amplitude correction: off"), std::string::npos) << out;
}

TEST_F(Cli, NewRefusesUnknownModulesTooManyStepsAndBadSizes) {
    EXPECT_EQ(Run({"new", Path("a.process"), "Signal Generator", "Tape Deck"}), 2);
    EXPECT_EQ(err, "aurivo-cli: Unknown module \"Tape Deck\" (see aurivo-cli modules)\n");
    EXPECT_EQ(Run({"new", Path("a.process"), "SoundIO", "SoundIO", "SoundIO", "SoundIO", "SoundIO",
                   "SoundIO", "SoundIO"}),
              2);
    EXPECT_NE(err.find("Too many modules in process"), std::string::npos);
    EXPECT_FALSE(fs::exists(Path("a.process")));
}

TEST_F(Cli, SetChangesControlsByLabelOrIdAndSaves) {
    const std::string p = NewProcess();
    ASSERT_EQ(Run({"set", p, "2:Level=75", "-o", Path("q.process")}), 0) << err;
    ASSERT_EQ(Run({"info", Path("q.process"), "--json"}), 0);
    EXPECT_EQ(SettingOf(json::parse(out), 1, "level"), "75");
    ASSERT_EQ(Run({"info", p, "--json"}), 0);
    EXPECT_EQ(SettingOf(json::parse(out), 1, "level"), "50") << "-o leaves the original alone";

    ASSERT_EQ(Run({"set", p, "1:level=5", "1:Selected channel=2"}), 0) << err;
    ASSERT_EQ(Run({"info", p, "--json"}), 0);
    EXPECT_EQ(SettingOf(json::parse(out), 0, "level"), "5");
    EXPECT_EQ(SettingOf(json::parse(out), 0, "channel"), "2");
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
    EXPECT_EQ(result["steps"][1]["readouts"][0], (json{{"label", "Level"}, {"value", "9"}}));
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
    EXPECT_EQ(ResponseFile::Open(list, (dump / "pass-1-step-1.rsp").string()), 2048)
        << list.GetErrorText();
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

// A command that only reads never writes the settings file: it is not created, and a file the
// user keeps (comments, a value out of range, a symbolic link to it) stays byte for byte.
TEST_F(Cli, ReadOnlyCommandsLeaveTheSettingsFileAlone) {
    const std::string p = NewProcess();
    const fs::path folder = dir / "config" / "aurivo";
    const auto readOnly = [&] {
        EXPECT_EQ(Run({"info", p}), 0) << err;
        EXPECT_EQ(Run({"run", p}), 0) << err;
        EXPECT_EQ(Run({"render", p, "--step", "1", "-o", Path("p.svg")}), 0) << err;
    };
    readOnly();
    EXPECT_FALSE(fs::exists(folder / "aurivo.ini"));

    fs::create_directories(folder);
    const std::string text = "; kept by hand\n[Themes]\nTimeToFade = 250 ; fade\n"
                             "EnableFadeWindows=maybe\n[Mine]\nColour=blue\n";
    std::ofstream(folder / "real.ini", std::ios::binary) << text;
    fs::create_symlink("real.ini", folder / "aurivo.ini");
    readOnly();
    EXPECT_TRUE(fs::is_symlink(folder / "aurivo.ini"));
    std::ifstream in(folder / "real.ini", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text);
}

// Every save goes into the file a symbolic link names and refuses what is not a regular file;
// reading refuses it too, without waiting on a FIFO.
TEST_F(Cli, SavesAndReadsOnlyRegularFiles) {
    const std::string p = NewProcess();
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    EXPECT_EQ(Run({"info", Path("fifo")}), 2);
    EXPECT_NE(err.find("not a regular file"), std::string::npos) << err;
    EXPECT_EQ(Run({"new", Path("fifo"), "SoundIO"}), 2);
    EXPECT_EQ(err, "aurivo-cli: Cannot write '" + Path("fifo") + "': not a regular file\n");
    EXPECT_EQ(Run({"render", p, "--step", "1", "-o", Path("fifo")}), 2);
    EXPECT_NE(err.find("not a regular file"), std::string::npos) << err;
    fs::create_directories(dir / "dump");
    ASSERT_EQ(mkfifo(Path("dump/pass-1-step-1.rsp").c_str(), 0600), 0);
    EXPECT_EQ(Run({"run", p, "--dump", Path("dump")}), 2);
    EXPECT_NE(err.find("not a regular file"), std::string::npos) << err;
    EXPECT_TRUE(fs::is_fifo(Path("fifo")));

    fs::create_symlink("p.process", Path("link.process"));
    ASSERT_EQ(Run({"set", Path("link.process"), "2:Level=75"}), 0) << err;
    EXPECT_TRUE(fs::is_symlink(Path("link.process")));
    ASSERT_EQ(Run({"info", p, "--json"}), 0);
    bool found = false;
    const json info = json::parse(out);
    for (const json& s : info["steps"][1]["settings"])
        if (s["label"] == "Level") found = s["value"] == "75";
    EXPECT_TRUE(found) << out;
}

TEST_F(Cli, FileAndUsageErrorsExitWithTwo) {
    EXPECT_EQ(Run({"info", Path("missing.process")}), 2);
    EXPECT_NE(err.find("missing.process"), std::string::npos) << err;
    std::ofstream(Path("junk.process")) << "not a process";
    EXPECT_EQ(Run({"run", Path("junk.process")}), 2);
    EXPECT_NE(err.find("Cannot open " + Path("junk.process")), std::string::npos) << err;
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_NE(out.find("run"), std::string::npos);
}

// Every usage error is one line that names the command line program and the reason.
TEST_F(Cli, UsageErrorsAreOneLineWithTheirReason) {
    const std::string p = NewProcess();
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"run"}, "file is required"},
        {{"frobnicate"}, "unknown command \"frobnicate\""},
        {{}, "a command is required"},
        {{"run", p, "--passes", "0"}, "Value 0 not in range 1 to 1000000"},
        {{"render", p, "--step", "1", "-o", Path("x.svg"), "--passes", "-1"},
         "Value -1 not in range 0 to 1000000"},
        {{"info", p, "--bogus"}, "--bogus"},
    };
    for (const auto& [args, reason] : cases) {
        EXPECT_EQ(Run(args), 2) << args.size();
        EXPECT_TRUE(err.starts_with("aurivo-cli: ")) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_NE(err.find(reason), std::string::npos) << err;
        EXPECT_LT(err.size(), 200u) << err;
    }
}

// A process saved without steps is read as the desktop reads it: an empty process.
TEST_F(Cli, ProcessesWithoutStepsOpenInEveryCommand) {
    const std::string p = Path("empty.process");
    ASSERT_EQ(Run({"new", p, "--rate", "48000"}), 0) << err;
    ASSERT_EQ(Run({"info", p}), 0) << err;
    EXPECT_NE(out.find("Sample rate: 48000\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("Step "), std::string::npos) << out;
    ASSERT_EQ(Run({"run", p, "--passes", "2"}), 0) << err;
    EXPECT_EQ(out, "Ran 0 passes of " + p + "\n");
    EXPECT_EQ(Run({"set", p, "1:level=1"}), 2);
    EXPECT_NE(err.find("the process has no step 1"), std::string::npos) << err;
    EXPECT_EQ(Run({"render", p, "--step", "1", "-o", Path("e.svg")}), 2);
}

// Block size and sample rate are checked where they are typed, in decimal, with the range.
TEST_F(Cli, NewRefusesSizesAndRatesOutsideTheirRange) {
    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"--fft-size", "0"}, "power of two from 2 to 131072"},
        {{"--fft-size", "-1"}, "power of two from 2 to 131072"},
        {{"--fft-size", "262144"}, "power of two from 2 to 131072"},
        {{"--fft-size", "0x10"}, "is not a number"},
        {{"--fft-size", "16.5"}, "power of two"},
        {{"--rate", "0"}, "from 1 to 10000000 Hz"},
        {{"--rate", "-1"}, "from 1 to 10000000 Hz"},
        {{"--rate", "5e-324"}, "from 1 to 10000000 Hz"},
        {{"--rate", "10000001"}, "from 1 to 10000000 Hz"},
        {{"--rate", "nan"}, "is not a number"},
        {{"--rate", "0x10"}, "is not a number"},
        {{"--rate", "1e999"}, "is out of range"},
        {{"--rate", ""}, "is not a number"},
    };
    for (const auto& [options, reason] : refused) {
        std::vector<std::string> args{"new", Path("a.process"), "SoundIO"};
        args.insert(args.end(), options.begin(), options.end());
        EXPECT_EQ(Run(args), 2) << options[1];
        EXPECT_NE(err.find(reason), std::string::npos) << options[1] << ": " << err;
        EXPECT_FALSE(fs::exists(Path("a.process"))) << options[1];
    }
    ASSERT_EQ(Run({"new", Path("a.process"), "SoundIO", "--fft-size", "2", "--rate", "1"}), 0)
        << err;

    // The reader takes the same range: a rate below 1 Hz in a file is damage.
    std::ifstream in(Path("a.process"), std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const double one = 1.0, half = 0.5;
    const size_t at = bytes.find(std::string(reinterpret_cast<const char*>(&one), 8));
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 8, std::string(reinterpret_cast<const char*>(&half), 8));
    std::ofstream(Path("b.process"), std::ios::binary) << bytes;
    EXPECT_EQ(Run({"info", Path("b.process")}), 2);
    EXPECT_NE(err.find("Invalid sample rate"), std::string::npos) << err;
}

CDspView* NewTestModule() {
    return new CTestModuleView;
}

// Names from files and plug-ins reach the terminal with their control characters escaped,
// and a very long name is cut in messages.
TEST_F(Cli, TextFromFilesIsSafeForTheTerminal) {
    static const CModuleClass kEscaping{"Red\x1b[31mAlert\x07", &NewTestModule};
    static const CModuleRegistry registry = [] {
        CModuleRegistry r;
        r.Register(&kEscaping);
        return r;
    }();
    const std::string p = Path("e.process");
    ASSERT_EQ(Run({"new", p, kEscaping.m_name}, registry), 0) << err;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info", p}, {"run", p}, {"modules"}}) {
        ASSERT_EQ(Run(args, registry), 0) << args[0] << ": " << err;
        EXPECT_EQ(out.find('\x1b'), std::string::npos) << args[0];
        EXPECT_EQ(out.find('\x07'), std::string::npos) << args[0];
        EXPECT_NE(out.find("Red\\x1B[31mAlert\\x07"), std::string::npos) << out;
    }
    ASSERT_EQ(Run({"info", p, "--json"}, registry), 0);
    EXPECT_EQ(json::parse(out)["steps"][0]["module"], kEscaping.m_name);
    // The file names a module this registry lacks: the message quotes it, escaped.
    EXPECT_EQ(Run({"info", p}), 2);
    EXPECT_NE(err.find("Red\\x1B[31mAlert"), std::string::npos) << err;
    EXPECT_EQ(err.find('\x1b'), std::string::npos) << err;

    EXPECT_EQ(Run({"new", Path("n.process"), std::string(5000, 'M')}), 2);
    EXPECT_LT(err.size(), 200u);
    EXPECT_NE(err.find(std::string(61, 'M') + "..."), std::string::npos) << err;
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
