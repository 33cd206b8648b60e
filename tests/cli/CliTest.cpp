// aurivo-cli end to end on temporary process files, with the engine's test modules.
#include "common/TestModules.h"
#include "common/CliRun.h"
#include "common/MixerProcessFile.h"
#include "common/TextFileUtil.h"
#include "dsp/DSPFFTDataList.h"
#include "dsp/DSPFFTDataLogList.h"
#include "formats/DataLogFile.h"
#include "modules/BuiltInModules.h"
#include "formats/ResponseFile.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <thread>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class Cli : public testing::Test, public CCliRun {
protected:
    Cli() : CCliRun(TestRegistry()) {}
    std::string NewProcess() {
        const std::string p = File("p.process");
        EXPECT_EQ(Command({"new", p, "Signal Generator", "SoundIO", "--fft-size", "2048", "--rate",
                           "44100"}),
                  0)
            << err;
        return p;
    }
    // The value `info --json` lists for a setting id of a 1-based step.
    std::string Setting(const std::string& process, size_t step, const std::string& id) {
        EXPECT_EQ(Command({"info", process, "--json"}), 0) << err;
        const json info = json::parse(out);
        for (const json& s : info["steps"][step - 1]["settings"])
            if (s["id"] == id) return s["value"];
        return "(missing)";
    }
};

// The built-in modules register themselves in the order the process editor has always listed
// them; modules added since follow them.
TEST_F(Cli, ModulesListsTheBuiltInModulesInEditorOrder) {
    const CModuleRegistry& builtIn = GetBuiltInModules();
    ASSERT_EQ(Command({"modules"}, &builtIn), 0) << err;
    EXPECT_EQ(out, "WAV File Open\nSignal Generator\nArbitrary Filter\nOscilloscope\nSpectrum "
                   "Analyzer\nDataLogger\nSoundIO\nWAV File Save\nRTA\nSweep Analyzer\n"
                   "Transfer Function\n");
}

TEST_F(Cli, ModulesNewAndInfo) {
    const std::string p = NewProcess();
    ASSERT_EQ(Command({"info", p, "--json"}), 0) << err;
    const json info = json::parse(out);
    EXPECT_EQ(info["schema"], "Process0");
    EXPECT_EQ(info["fftSize"], 2048);
    EXPECT_EQ(info["sampleRate"], 44100.0);
    EXPECT_EQ(info["pauseOnRecord"], 0);
    EXPECT_EQ(info["windowAmplitudeCorrection"], true); // on in a fresh installation
    ASSERT_EQ(info["steps"].size(), 2u);
    EXPECT_EQ(info["steps"][1]["module"], "SoundIO");
    EXPECT_EQ(info["steps"][1]["identity"], "2");
    EXPECT_EQ(info["steps"][1]["settings"][1],
              (json{{"id", "level"}, {"label", "Level"}, {"value", "50"}}));
    ASSERT_EQ(Command({"info", p}), 0);
    EXPECT_NE(out.find("Step 2: SoundIO (identity 2)\n  channel (Selected channel): 0\n"
                       "  level (Level): 50\n"),
              std::string::npos)
        << out;
    // The application setting, turned off in the settings file, shows as off.
    fs::create_directories(File("config/aurivo"));
    PutFile(File("config/aurivo/aurivo.ini"), "[Settings]\nWindowAmplitudeCorrection=0\n");
    ASSERT_EQ(Command({"info", p}), 0);
    EXPECT_NE(out.find("Window amplitude correction: off"), std::string::npos) << out;
}

// A plug-in module in the test process: its entry point gives the test module's class.
void* TapeEchoEntry(const char* operation, void*, void*) {
    static const CModuleClass echo{"Tape Echo", []() -> CDspView* { return new CTestModuleView; }};
    return std::string_view(operation) == "GetRunTimeClass" ? const_cast<CModuleClass*>(&echo)
                                                            : nullptr;
}

// Plug-in modules follow the built-in ones, marked, in the order they were loaded. Every line
// `modules` prints names a module that `new` accepts: a plug-in's with its mark as without it.
// The mark names plug-in modules only.
TEST_F(Cli, NewAcceptsEveryNameModulesPrints) {
    CModuleRegistry withPlugIn = TestRegistry();
    withPlugIn.AddPlugIn({"Tape Echo", &TapeEchoEntry});
    withPlugIn.AddPlugIn({"Level Meter", &TapeEchoEntry});
    ASSERT_EQ(Command({"modules"}, &withPlugIn), 0);
    ASSERT_EQ(out, "Signal Generator\nOscilloscope\nSoundIO\nTape Echo (plug-in)\nLevel Meter "
                   "(plug-in)\n");
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(out.substr(start, end - start));
    for (const std::string& line : lines) {
        ASSERT_EQ(Command({"new", File("m.process"), line}, &withPlugIn), 0) << line << ": " << err;
        ASSERT_EQ(Command({"info", File("m.process"), "--json"}, &withPlugIn), 0) << err;
        EXPECT_EQ(json::parse(out)["steps"][0]["module"], line.substr(0, line.find(" (plug-in)")));
    }
    EXPECT_EQ(Command({"new", File("m.process"), "Tape Echo"}, &withPlugIn), 0) << err;
    EXPECT_EQ(Command({"new", File("m.process"), "SoundIO (plug-in)"}, &withPlugIn), 2);
    EXPECT_EQ(err, "aurivo-cli: Unknown module \"SoundIO (plug-in)\" (see aurivo-cli modules)\n");
}

// A control whose command fails (a filter file that does not parse on "Update") is refused with
// the module's message and exit code 2; nothing is saved. The same settings in a run stop it
// before it starts.
TEST_F(Cli, SetAndRunReportACommandThatFails) {
    const CModuleRegistry builtIn = GetBuiltInModules();
    const std::string p = File("f.process");
    ASSERT_EQ(Command({"new", p, "Signal Generator", "Arbitrary Filter"}, &builtIn), 0) << err;
    const std::string before = GetFile(p);
    PutFile(File("bad.flt"), ";bad\r\n0 0 0\r\n1000 Hz -6 0\r\n");
    const std::string message = "aurivo-cli: Error Detected In | Step: 2 Arbitrary Filter | Non "
                                "Numeric Value In Frequency Element On Line: 3\n";
    EXPECT_EQ(Command({"set", p, "2:file=" + File("bad.flt"), "2:update="}, &builtIn), 2);
    EXPECT_EQ(err, message);
    EXPECT_EQ(GetFile(p), before);
    EXPECT_EQ(
        Command({"run", p, "--set", "2:file=" + File("bad.flt"), "--set", "2:update="}, &builtIn),
        2);
    EXPECT_EQ(err, message);
    EXPECT_EQ(out, "");
    // A file that is not there is named, with the reason.
    EXPECT_EQ(Command({"set", p, "2:file=" + File("gone.flt")}, &builtIn), 2);
    EXPECT_NE(err.find("Unable to Open File " + File("gone.flt") + ": "), std::string::npos) << err;
    EXPECT_GT(err.size(), err.find(".flt: ") + 6) << "the reason follows";

    PutFile(File("good.flt"), ";good\r\n0 0 0\r\n1000 -6 0\r\n");
    EXPECT_EQ(Command({"set", p, "2:file=" + File("good.flt"), "2:update="}, &builtIn), 0) << err;
    EXPECT_NE(GetFile(p), before);
}

// A step whose rate is not the process's runs as asked, and the run says so in a warning line
// (and the JSON's "warning") without changing the exit code.
TEST_F(Cli, RunWarnsOfAStepWhoseRateDiffers) {
    const CModuleRegistry builtIn = GetBuiltInModules();
    const std::string p = File("r.process");
    ASSERT_EQ(Command({"new", p, "Signal Generator", "WAV File Save", "--rate", "48000"}, &builtIn),
              0)
        << err;
    const std::string wav = "2:file=" + File("out.wav");
    ASSERT_EQ(Command({"run", p, "--set", wav}, &builtIn), 0) << err;
    EXPECT_EQ(out.find("Warning"), std::string::npos) << out;
    ASSERT_EQ(Command({"run", p, "--set", wav, "--set", "2:rate=44100"}, &builtIn), 0) << err;
    const std::string warning =
        "Rate 44100 Hz is not the process rate 48000 Hz: frequencies come out scaled by 0.91875";
    EXPECT_NE(out.find("Step 2: WAV File Save\n"), std::string::npos) << out;
    EXPECT_NE(out.find("\n  Warning: " + warning + "\n"), std::string::npos) << out;
    ASSERT_EQ(Command({"run", p, "--json", "--set", wav, "--set", "2:rate=44100"}, &builtIn), 0);
    EXPECT_EQ(json::parse(out)["steps"][1]["warning"], warning);
}

// Every usage or file error exits with 2 and is one line that names the program and the reason;
// nothing is written.
TEST_F(Cli, UsageAndFileErrorsAreOneLineWithTheirReason) {
    const std::string p = NewProcess(), a = File("a.process");
    PutFile(File("junk.process"), "not a process");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"run"}, "file is required"},
        {{"frobnicate"}, "unknown command \"frobnicate\""},
        {{}, "a command is required"},
        {{"run", p, "--passes", "0"}, "Value 0 not in range 1 to 1000000"},
        {{"render", p, "--step", "1", "-o", File("x.svg"), "--passes", "-1"},
         "Value -1 not in range 0 to 1000000"},
        {{"info", p, "--bogus"}, "--bogus"},
        {{"info", File("missing.process")}, "missing.process"},
        {{"run", File("junk.process")}, "Cannot open " + File("junk.process")},
        {{"new", a, "Signal Generator", "Tape Deck"},
         "aurivo-cli: Unknown module \"Tape Deck\" (see aurivo-cli modules)\n"},
        {{"new", a, "SoundIO", "SoundIO", "SoundIO", "SoundIO", "SoundIO", "SoundIO", "SoundIO"},
         "Too many modules in process"},
        {{"new", a, "SoundIO", "--fft-size", "0"}, "power of two from 2 to 131072"},
        {{"new", a, "SoundIO", "--fft-size", "262144"}, "power of two from 2 to 131072"},
        {{"new", a, "SoundIO", "--fft-size", "16.5"}, "power of two"},
        {{"new", a, "SoundIO", "--fft-size", "0x10"}, "is not a number"},
        {{"new", a, "SoundIO", "--rate", "5e-324"}, "from 1 to 10000000 Hz"},
        {{"new", a, "SoundIO", "--rate", "10000001"}, "from 1 to 10000000 Hz"},
        {{"new", a, "SoundIO", "--rate", "nan"}, "is not a number"},
        {{"new", a, "SoundIO", "--rate", ""}, "is not a number"},
        {{"new", a, "SoundIO", "--rate", "1e999"}, "is out of range"},
        {{"set", p, "3:Level=1"}, "aurivo-cli: Setting \"3:Level=1\": the process has no step 3\n"},
        {{"set", p, "Level=1"}, "is not of the form STEP:CONTROL=VALUE"},
        {{"set", p, "1:Volume=1"}, "Step 1: No control 'Volume'"},
    };
    for (const auto& [args, reason] : cases) {
        EXPECT_EQ(Command(args), 2) << reason;
        EXPECT_TRUE(err.starts_with("aurivo-cli: ")) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_NE(err.find(reason), std::string::npos) << err;
        EXPECT_LT(err.size(), 200u) << err;
    }
    EXPECT_FALSE(fs::exists(a));
    EXPECT_EQ(Setting(p, 1, "level"), "50");
    EXPECT_EQ(Command({"--help"}), 0);
    EXPECT_NE(out.find("run"), std::string::npos);
}

TEST_F(Cli, SetChangesControlsByLabelOrIdAndSaves) {
    const std::string p = NewProcess();
    ASSERT_EQ(Command({"set", p, "2:Level=75", "-o", File("q.process")}), 0) << err;
    EXPECT_EQ(Setting(File("q.process"), 2, "level"), "75");
    EXPECT_EQ(Setting(p, 2, "level"), "50") << "-o leaves the original alone";
    ASSERT_EQ(Command({"set", p, "1:level=5", "1:Selected channel=2"}), 0) << err;
    EXPECT_EQ(Setting(p, 1, "level"), "5");
    EXPECT_EQ(Setting(p, 1, "channel"), "2");
}

TEST_F(Cli, RunPrintsEveryStepsReadoutsAndExitsWithOneOnAModuleError) {
    const std::string p = NewProcess();
    ASSERT_EQ(Command({"run", p, "--passes", "3"}), 0) << err;
    EXPECT_EQ(out, "Ran 3 passes of " + p +
                       "\nStep 1: Signal Generator\n  Level: 50\n  Calls: 3\nStep 2: SoundIO\n  "
                       "Level: 50\n  Calls: 3\n");
    ASSERT_EQ(Command({"run", p, "--json", "--set", "2:Level=9"}), 0) << err;
    const json result = json::parse(out);
    EXPECT_EQ(result["passes"], 1);
    EXPECT_EQ(result["steps"][1]["readouts"][0],
              (json{{"label", "Level"}, {"value", "9"}, {"number", 9.0}, {"unit", ""}}));
    EXPECT_TRUE(result["messages"].empty());

    EXPECT_EQ(Command({"run", p, "--passes", "5", "--set", "2:Level=-1"}), 1);
    EXPECT_NE(out.find("Ran 0 passes"), std::string::npos) << out;
    EXPECT_NE(out.find("Message: Error Detected In | Step: 2 SoundIO | Level below zero"),
              std::string::npos)
        << out;
    EXPECT_NE(err.find("a module reported an error"), std::string::npos);
}

TEST_F(Cli, RunDumpWritesTheListEveryStepHandedOnInEveryPassUpToAFailure) {
    const std::string p = NewProcess();
    ASSERT_EQ(Command({"run", p, "--passes", "2", "--dump", File("dump/nested")}), 0) << err;
    EXPECT_EQ(folder.Entries(File("dump/nested")),
              (std::vector<std::string>{"pass-1-step-1.rsp", "pass-1-step-2.rsp",
                                        "pass-2-step-1.rsp", "pass-2-step-2.rsp"}));
    // The test modules hand on a fresh list of 2048 points at 44100/s, written as the response
    // file writes it.
    CDSPFFTDataList fresh;
    ASSERT_TRUE(fresh.Create(2, CDSPData::kTimeBlock, 2048, 44100.0));
    ASSERT_EQ(ResponseFile::Save(fresh, File("fresh.rsp")), 4096);
    EXPECT_EQ(GetFile(File("dump/nested/pass-2-step-2.rsp")), GetFile(File("fresh.rsp")));

    EXPECT_EQ(Command({"run", p, "--passes", "3", "--set", "2:Level=-1", "--dump", File("dump")}),
              1);
    EXPECT_EQ(folder.Entries(File("dump")),
              (std::vector<std::string>{"nested", "pass-1-step-1.rsp"}));
    PutFile(File("file"), "x");
    EXPECT_EQ(Command({"run", p, "--dump", File("file")}), 2);
    EXPECT_NE(err.find("Cannot create " + File("file")), std::string::npos) << err;
}

TEST_F(Cli, RunSavesTheLogOfADataLoggerStepAfterTheRunOrThroughItsFileCommands) {
    const CModuleRegistry& modules = GetBuiltInModules();
    const std::string p = File("log.process");
    ASSERT_EQ(
        Command({"new", p, "Signal Generator", "DataLogger", "--fft-size", "64", "--rate", "6400"},
                &modules),
        0)
        << err;
    ASSERT_EQ(Command({"run", p, "--passes", "3", "--save-log", "2:" + File("out.dlg")}, &modules),
              0)
        << err;
    CDSPFFTDataLogList log;
    ASSERT_TRUE(DataLogFile::Open(log, File("out.dlg"))) << log.GetErrorText();
    EXPECT_EQ(log.GetCount(), 3);
    EXPECT_EQ(log.GetSize(), 64);
    for (const char* wrong : {"1:x.dlg", "3:x.dlg", "two:x.dlg", "2"}) {
        EXPECT_EQ(Command({"run", p, "--save-log", wrong}, &modules), 2) << wrong;
        EXPECT_NE(err.find("--save-log"), std::string::npos) << err;
    }

    // The module's own file commands run after the passes with the path they ask for; one that
    // cannot do what it was asked exits with 2 and says why.
    ASSERT_EQ(
        Command({"run", p, "--passes", "2", "--then", "2:savedlg=" + File("then.dlg")}, &modules),
        0)
        << err;
    ASSERT_TRUE(DataLogFile::Open(log, File("then.dlg"))) << log.GetErrorText();
    EXPECT_EQ(log.GetCount(), 2);
    EXPECT_EQ(Command({"run", p, "--then", "2:savedlg="}, &modules), 2);
    EXPECT_NE(err.find("savedlg=PATH"), std::string::npos) << err;
    EXPECT_EQ(Command({"run", p, "--then", "2:opendlg=" + File("missing.dlg")}, &modules), 2);
    EXPECT_NE(err.find("Step: 2"), std::string::npos) << err;
}

// JSON readouts carry the number and the unit of their text, so scripts need not parse it.
TEST_F(Cli, JsonReadoutsCarryANumberAndAUnit) {
    const CModuleRegistry& modules = GetBuiltInModules();
    const std::string p = File("thd.process");
    ASSERT_EQ(Command({"new", p, "Signal Generator", "Spectrum Analyzer"}, &modules), 0) << err;
    ASSERT_EQ(Command({"run", p, "--json", "--set", "2:yaxis=THDVpk"}, &modules), 0) << err;
    int checked = 0;
    const json result = json::parse(out);
    for (const json& r : result["steps"][1]["readouts"]) {
        if (r["label"] == "Start") {
            EXPECT_EQ(r["number"], 0.0);
            EXPECT_EQ(r["unit"], "Hz");
            ++checked;
        } else if (r["label"] == "THD" && r["value"] != "- %") {
            EXPECT_TRUE(r["number"].is_number()) << r.dump();
            EXPECT_EQ(r["unit"], "%");
            ++checked;
        } else if (r["value"] == "- %") {
            EXPECT_TRUE(r["number"].is_null());
            EXPECT_EQ(r["unit"], "%");
        }
    }
    EXPECT_GE(checked, 2) << out; // the start of both channels at least
}

// A command that only reads never writes the settings file: it is not created, and a file the
// user keeps (comments, a value out of range, a symbolic link to it) stays byte for byte.
TEST_F(Cli, ReadOnlyCommandsLeaveTheSettingsFileAlone) {
    const std::string p = NewProcess();
    const auto readOnly = [&] {
        EXPECT_EQ(Command({"info", p}), 0) << err;
        EXPECT_EQ(Command({"run", p}), 0) << err;
        EXPECT_EQ(Command({"render", p, "--step", "1", "-o", File("p.svg")}), 0) << err;
    };
    readOnly();
    EXPECT_FALSE(fs::exists(File("config/aurivo/aurivo.ini")));
    fs::create_directories(File("config/aurivo"));
    const std::string text = "; kept by hand\n[Themes]\nTimeToFade = 250 ; fade\n"
                             "EnableFadeWindows=maybe\n[Mine]\nColour=blue\n";
    PutFile(File("config/aurivo/real.ini"), text);
    fs::create_symlink("real.ini", File("config/aurivo/aurivo.ini"));
    readOnly();
    EXPECT_TRUE(fs::is_symlink(File("config/aurivo/aurivo.ini")));
    EXPECT_EQ(GetFile(File("config/aurivo/real.ini")), text);
}

// Every save goes into the file a symbolic link names and refuses what is not a regular file;
// reading refuses it too, without waiting on a FIFO.
TEST_F(Cli, SavesAndReadsOnlyRegularFiles) {
    const std::string p = NewProcess(), fifo = File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directories(File("dump"));
    ASSERT_EQ(mkfifo(File("dump/pass-1-step-1.rsp").c_str(), 0600), 0);
    for (const std::vector<std::string>& args : {std::vector<std::string>{"info", fifo},
                                                 {"new", fifo, "SoundIO"},
                                                 {"render", p, "--step", "1", "-o", fifo},
                                                 {"run", p, "--dump", File("dump")}}) {
        EXPECT_EQ(Command(args), 2) << args[0];
        EXPECT_NE(err.find("not a regular file"), std::string::npos) << err;
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    fs::create_symlink("p.process", File("link.process"));
    ASSERT_EQ(Command({"set", File("link.process"), "2:Level=75"}), 0) << err;
    EXPECT_TRUE(fs::is_symlink(File("link.process")));
    EXPECT_EQ(Setting(p, 2, "level"), "75");
}

// A process saved without steps is read as the desktop reads it: an empty process.
TEST_F(Cli, ProcessesWithoutStepsOpenInEveryCommand) {
    const std::string p = File("empty.process");
    ASSERT_EQ(Command({"new", p, "--rate", "48000"}), 0) << err;
    ASSERT_EQ(Command({"info", p}), 0) << err;
    EXPECT_NE(out.find("Sample rate: 48000\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("Step "), std::string::npos) << out;
    ASSERT_EQ(Command({"run", p, "--passes", "2"}), 0) << err;
    EXPECT_EQ(out, "Ran 0 passes of " + p + "\n");
    EXPECT_EQ(Command({"set", p, "1:level=1"}), 2);
    EXPECT_NE(err.find("the process has no step 1"), std::string::npos) << err;
    EXPECT_EQ(Command({"render", p, "--step", "1", "-o", File("e.svg")}), 2);
}

// The reader takes the range the command line does: a rate below 1 Hz in a file is damage.
TEST_F(Cli, RatesOutsideTheRangeInAFileAreRefused) {
    ASSERT_EQ(Command({"new", File("a.process"), "SoundIO", "--fft-size", "2", "--rate", "1"}), 0);
    std::string bytes = GetFile(File("a.process"));
    const double one = 1.0, half = 0.5;
    const size_t at = bytes.find(std::string(reinterpret_cast<const char*>(&one), 8));
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 8, std::string(reinterpret_cast<const char*>(&half), 8));
    PutFile(File("b.process"), bytes);
    EXPECT_EQ(Command({"info", File("b.process")}), 2);
    EXPECT_NE(err.find("Invalid sample rate"), std::string::npos) << err;
}

CDspView* NewTestModule() {
    return new CTestModuleView;
}

// Names from files and plug-ins reach the terminal with their control characters escaped,
// and a very long name is cut in messages.
TEST_F(Cli, TextFromFilesIsSafeForTheTerminal) {
    static const CModuleClass kEscaping{"Red\x1b[31mAlert\x1f", &NewTestModule};
    static const CModuleRegistry registry = [] {
        CModuleRegistry r;
        r.Register(&kEscaping);
        return r;
    }();
    const std::string p = File("e.process");
    ASSERT_EQ(Command({"new", p, kEscaping.m_name}, &registry), 0) << err;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info", p}, {"run", p}, {"modules"}}) {
        ASSERT_EQ(Command(args, &registry), 0) << args[0] << ": " << err;
        EXPECT_EQ(out.find_first_of("\x1b\x1f"), std::string::npos) << args[0];
        EXPECT_NE(out.find("Red\\x1B[31mAlert\\x1F"), std::string::npos) << out;
    }
    ASSERT_EQ(Command({"info", p, "--json"}, &registry), 0);
    EXPECT_EQ(json::parse(out)["steps"][0]["module"], kEscaping.m_name);
    // The file names a module this registry lacks: the message quotes it, escaped.
    EXPECT_EQ(Command({"info", p}), 2);
    EXPECT_NE(err.find("Red\\x1B[31mAlert"), std::string::npos) << err;
    EXPECT_EQ(err.find('\x1b'), std::string::npos) << err;
    EXPECT_EQ(Command({"new", File("n.process"), std::string(5000, 'M')}), 2);
    EXPECT_LT(err.size(), 200u);
    EXPECT_NE(err.find(std::string(61, 'M') + "..."), std::string::npos) << err;
}

TEST_F(Cli, DevicesListTheVirtualCardFirstWithTheRatesItAccepts) {
    ASSERT_EQ(Command({"devices", "--json"}), 0) << err;
    const json j = json::parse(out);
    for (const char* kind : {"input", "output"}) {
        ASSERT_FALSE(j[kind].empty()) << kind;
        EXPECT_EQ(j[kind][0]["name"], "Virtual Loopback");
        EXPECT_EQ(j[kind][0]["rates"], (json{5000, 6000, 8000, 11025, 12000, 16000, 22050, 24000,
                                             32000, 44100, 48000, 88200, 96000, 176400, 192000}));
    }
    EXPECT_EQ(j["mixer"][0]["source"], "Line");
    EXPECT_EQ(j["mixer"][0]["level"], 49152);
}

TEST_F(Cli, NoCommandStartsTheMixerProgramAProcessFileNames) {
    // The file says the mixer x/evil was open; evil would leave a marker. Even on the search
    // path it is never started from the command line.
    const std::string programs = File("x"), marker = File("marker"), p = File("mixer.process");
    fs::create_directories(programs);
    fs::create_directories(File("none"));
    WriteScript(programs + "/evil", ": > '" + marker + "'");
    ASSERT_TRUE(WriteMixerProcess(p, File("none"), programs, "evil", "evil"));
    CPathGuard path(programs);
    const CModuleRegistry builtIn = GetBuiltInModules();
    EXPECT_EQ(Command({"info", p}, &builtIn), 0) << err;
    EXPECT_EQ(Command({"run", p, "--passes", "2"}, &builtIn), 0) << err;
    EXPECT_EQ(Command({"set", p, "2:Trg. Lev=20"}, &builtIn), 0) << err;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(fs::exists(marker));
}

} // namespace
