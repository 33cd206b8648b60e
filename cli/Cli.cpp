#include "Cli.h"

#include "CalibrateCommand.h"
#include "CliSession.h"
#include "DemoCommand.h"
#include "DevicesCommand.h"
#include "ProcessCommands.h"
#include "RenderCommand.h"
#include "ResultsCommand.h"
#include "TestCommand.h"
#include "base/Version.h"

#include <CLI/CLI.hpp>

#include <ostream>

namespace {
// CLI11's reasons can span lines; the command line states each error on one.
int UsageError(std::ostream& err, const std::string& reason) {
    std::string line;
    for (char c : reason)
        line += c == '\n' ? ' ' : c;
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return Fail(err, line + " (see aurivo-cli --help)");
}
} // namespace

int RunCli(int argc, const char* const* argv, const CModuleRegistry& registry, std::ostream& out,
           std::ostream& err) {
    CLI::App cli{
        "aurivo-cli: create, inspect, change and run Aurivo process files without a display.\n"
        "Exit status: 0 success, 1 a module reported an error during a run (or a calibration "
        "failed), 2 usage or file error."};
    cli.name("aurivo-cli");
    cli.set_version_flag("--version", std::string("aurivo-cli ") + kAurivoVersion,
                         "Print the version and exit");

    auto* modules = cli.add_subcommand("modules", "List the module names a process can use");

    CNewOptions create;
    auto* createCmd = cli.add_subcommand("new", "Compose a process from module names and save it");
    createCmd->add_option("out", create.file, "Process file to write (OUT.process)")->required();
    createCmd->add_option("modules", create.modules, "Module names in step order (at most 6)");
    createCmd->add_option("--fft-size", create.fftSize,
                          "Block (FFT) size: a power of two from 2 to 131072 (default 1024)");
    createCmd->add_option("--rate", create.rate,
                          "Sample rate in Hz, from 1 to 10000000 (default 96000)");

    std::string infoFile;
    bool infoJson = false;
    auto* info = cli.add_subcommand(
        "info", "Show a process: settings, steps and every setting's id, label and value");
    info->add_option("file", infoFile, "Process file")->required();
    info->add_flag("--json", infoJson, "Print JSON");

    std::string setFile, setOut;
    std::vector<std::string> setSettings;
    auto* set = cli.add_subcommand(
        "set", "Change module settings (by the id or label info prints) and save");
    set->add_option("file", setFile, "Process file")->required();
    set->add_option("settings", setSettings, "STEP:SETTING=VALUE, e.g. 2:window=Hanning")
        ->required();
    set->add_option("-o,--output", setOut, "Write to this file instead of changing FILE");

    // Passes are counted in an int; a million passes of six steps is already hours of work.
    constexpr int kMaxPasses = 1000000;
    CRunOptions run;
    auto* runCmd =
        cli.add_subcommand("run", "Run a process headless and print every step's readouts");
    runCmd->add_option("file", run.file, "Process file")->required();
    runCmd->add_option("--passes", run.passes, "Passes through all steps, 1 to 1000000 (default 1)")
        ->check(CLI::Range(1, kMaxPasses));
    runCmd->add_flag("--json", run.json, "Print JSON");
    runCmd->add_option("--set", run.settings,
                       "STEP:SETTING=VALUE applied before the run (repeatable)");
    runCmd->add_option("--then", run.then,
                       "STEP:COMMAND=PATH run after the passes (repeatable): a module's file "
                       "command with the path it asks for, e.g. 3:saveplt=log.csv");
    runCmd->add_option("--dump", run.dump,
                       "Write the block list each step hands on as DIR/pass-P-step-S.rsp "
                       "(response text files; DIR is created)");
    runCmd->add_option("--save-log", run.saveLog,
                       "STEP:OUT.dlg: after the run, write the log of the DataLogger at STEP as a "
                       "data log file (also when the run stopped because the log was full)");

    CRenderOptions render;
    auto* renderCmd = cli.add_subcommand(
        "render", "Run a process headless and write what one step's module draws as SVG");
    renderCmd->add_option("file", render.file, "Process file")->required();
    renderCmd->add_option("--step", render.step, "Step whose module is drawn (1-based)")
        ->required();
    renderCmd
        ->add_option("--passes", render.passes, "Passes before drawing, 0 to 1000000 (default 1)")
        ->check(CLI::Range(0, kMaxPasses));
    renderCmd->add_option("--size", render.size, "Picture size WIDTHxHEIGHT (default 1200x800)");
    renderCmd->add_option("-o,--output", render.output, "SVG file to write")->required();

    bool devicesJson = false;
    auto* devices = cli.add_subcommand(
        "devices", "List the sound input, output and mixer devices with the rates each accepts");
    devices->add_flag("--json", devicesJson, "Print JSON");

    CCalibrateOptions calibrate;
    auto* calibrateCmd = cli.add_subcommand(
        "calibrate", "Calibrate a SoundIO step (input levels, latency, frequency response) with "
                     "calibration.process and save the record into the process file");
    calibrateCmd->add_option("file", calibrate.file, "Process file")->required();
    calibrateCmd->add_option("--step", calibrate.step, "The SoundIO step to calibrate (1-based)")
        ->required();
    calibrateCmd->add_option("--type", calibrate.type,
                             "auto (latency and frequency), input, latency or frequency "
                             "(default auto)");
    calibrateCmd->add_option("--input-levels", calibrate.inputLevels,
                             "V1,V2: the voltages measured at the two inputs while the input "
                             "calibration plays its tone (needed by --type input)");
    calibrateCmd->add_option("-o,--output", calibrate.output,
                             "Also write the record as this calibration file");

    CTestOptions test;
    auto* testCmd = cli.add_subcommand(
        "test", "Test one unit by a test plan: PASS or FAIL with every failed item, and its "
                "record in the results database (exit 0 pass, 1 fail, 2 error)");
    testCmd->add_option("plan", test.plan, "Test plan (JSON, see docs/test-plan.md)")->required();
    testCmd->add_option("--serial", test.serial, "The unit's serial number");
    testCmd->add_option("--station", test.station, "The station's name (default: the host's)");
    testCmd->add_option("--operator", test.operatorName, "The operator (default: the login)");
    testCmd->add_option("--db", test.db,
                        "Results database: postgresql://... or an SQLite file (default "
                        "$XDG_DATA_HOME/aurivo/results.sqlite)");
    testCmd->add_flag("--json", test.json, "Print the record as JSON");
    testCmd
        ->add_option("--learn", test.learn,
                     "Learn instead of testing: run the plan N times on good units (2 to "
                     "10000) and write its limits and masks at mean +/- k sigma to -o")
        ->check(CLI::Range(2, 10000));
    testCmd->add_option("-o,--output", test.output, "The learned plan to write (with --learn)");
    testCmd->add_option("--k", test.k, "Sigmas of a learned limit (default 3)")
        ->check(CLI::Range(0.1, 100.0));

    CResultsOptions results;
    auto* resultsCmd = cli.add_subcommand(
        "results", "Counts, yield, failures per item (most first), per-item mean, sigma and Cpk "
                   "of the stored test records");
    resultsCmd->add_option("--db", results.db,
                           "Results database (default $XDG_DATA_HOME/aurivo/results.sqlite)");
    resultsCmd->add_option("--plan", results.plan, "Only the records of this plan (its name)");
    resultsCmd->add_option("--since", results.since,
                           "Only records tested at or after this UTC time (2026-12-07T08:00)");
    resultsCmd->add_option("--station", results.station, "Only this station's records");
    resultsCmd->add_option("--csv", results.csv, "Also write every checked item as CSV");
    resultsCmd->add_option("--report", results.report,
                           "Also write a report (HTML with histograms, curves and the Pareto)");
    resultsCmd->add_flag("--json", results.json, "Print JSON");

    auto* demo = cli.add_subcommand("demo", "Show what the analysis core computes on a test tone");

    try {
        cli.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << cli.help();
        return 0;
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << "\n";
        return 0;
    } catch (const CLI::CallForAllHelp&) {
        out << cli.help("", CLI::AppFormatMode::All);
        return 0;
    } catch (const CLI::ExtrasError& e) {
        if (!cli.get_subcommands().empty()) return UsageError(err, e.what());
        // Words left over with no command chosen name no command.
        std::string commands;
        for (const CLI::App* c : cli.get_subcommands({}))
            commands += (commands.empty() ? "" : ", ") + c->get_name();
        return UsageError(err, "unknown command \"" + ShortName(argc > 1 ? argv[1] : "") +
                                   "\" (commands: " + commands + ")");
    } catch (const CLI::ParseError& e) {
        return UsageError(err, e.what());
    }

    if (*modules) return ListModules(registry, out);
    if (*createCmd) return NewProcess(registry, create, err);
    if (*info) return ShowInfo(registry, infoFile, infoJson, out, err);
    if (*set) return SetControls(registry, setFile, setSettings, setOut, err);
    if (*runCmd) return RunProcessFile(registry, run, out, err);
    if (*renderCmd) return RenderProcessFile(registry, render, out, err);
    if (*calibrateCmd) return CalibrateProcessFile(registry, calibrate, out, err);
    if (*testCmd) return RunTestCommand(registry, test, out, err);
    if (*resultsCmd) return ShowResults(results, out, err);
    if (*demo) return RunDemo(out);
    if (*devices) {
        CCliSession session(registry); // the settings' device model and the system's devices
        return ListDevices(session->Audio().GetAudioSystem(), devicesJson, out);
    }
    return UsageError(err,
                      "a command is required: modules, new, info, set, run, render, calibrate, "
                      "demo or devices");
}
