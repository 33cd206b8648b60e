#include "Cli.h"

#include "CliHost.h"
#include "DemoCommand.h"
#include "DevicesCommand.h"
#include "platform/AudioServices.h"
#include "ProcessCommands.h"
#include "RenderCommand.h"
#include "base/Version.h"

#include <CLI/CLI.hpp>

#include <ostream>

int RunCli(int argc, const char* const* argv, const CModuleRegistry& registry, std::ostream& out,
           std::ostream& err) {
    CLI::App cli{
        "aurivo-cli: create, inspect, change and run Aurivo process files without a display.\n"
        "Exit status: 0 success, 1 a module reported an error during a run, 2 usage or file "
        "error."};
    cli.name("aurivo-cli");
    cli.set_version_flag("--version", std::string("aurivo-cli ") + kAurivoVersion,
                         "Print the version and exit");
    cli.require_subcommand(1);

    auto* modules = cli.add_subcommand("modules", "List the module names a process can use");

    std::string newOut;
    std::vector<std::string> newModules;
    int fftSize = 0;
    double rate = 0;
    auto* create = cli.add_subcommand("new", "Compose a process from module names and save it");
    create->add_option("out", newOut, "Process file to write (OUT.process)")->required();
    create->add_option("modules", newModules, "Module names in step order (at most 6)");
    create->add_option("--fft-size", fftSize,
                       "Block (FFT) size: a power of two from 2 to 131072 (default 1024)");
    create->add_option("--rate", rate, "Sample rate in Hz (default 96000)");

    std::string infoFile;
    bool infoJson = false;
    auto* info =
        cli.add_subcommand("info", "Show a process: settings, steps and every module's settings");
    info->add_option("file", infoFile, "Process file")->required();
    info->add_flag("--json", infoJson, "Print JSON");

    std::string setFile, setOut;
    std::vector<std::string> setSettings;
    auto* set = cli.add_subcommand("set", "Change module controls (by id or label) and save");
    set->add_option("file", setFile, "Process file")->required();
    set->add_option("settings", setSettings, "STEP:CONTROL=VALUE, e.g. 2:Window=Hanning")
        ->required();
    set->add_option("-o,--output", setOut, "Write to this file instead of changing FILE");

    CRunOptions run;
    auto* runCmd =
        cli.add_subcommand("run", "Run a process headless and print every step's readouts");
    runCmd->add_option("file", run.file, "Process file")->required();
    runCmd->add_option("--passes", run.passes, "Passes through all steps (default 1)")
        ->check(CLI::PositiveNumber);
    runCmd->add_flag("--json", run.json, "Print JSON");
    runCmd->add_option("--set", run.settings,
                       "STEP:CONTROL=VALUE applied before the run (repeatable)");
    runCmd->add_option("--dump", run.dump,
                       "Write the block list each step hands on as DIR/pass-P-step-S.rsp "
                       "(response text files; DIR is created)");

    CRenderOptions render;
    auto* renderCmd = cli.add_subcommand(
        "render", "Run a process headless and write what one step's module draws as SVG");
    renderCmd->add_option("file", render.file, "Process file")->required();
    renderCmd->add_option("--step", render.step, "Step whose module is drawn (1-based)")
        ->required();
    renderCmd->add_option("--passes", render.passes, "Passes before drawing (default 1)")
        ->check(CLI::NonNegativeNumber);
    renderCmd->add_option("--size", render.size, "Picture size WIDTHxHEIGHT (default 1200x800)");
    renderCmd->add_option("-o,--output", render.output, "SVG file to write")->required();

    bool devicesJson = false;
    auto* devices = cli.add_subcommand(
        "devices", "List the sound input, output and mixer devices with the rates each accepts");
    devices->add_flag("--json", devicesJson, "Print JSON");

    auto* demo = cli.add_subcommand("demo", "Show what the analysis core computes on a test tone");

    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Help goes to `out` with status 0; a usage error gets its reason and status 2.
        return cli.exit(e, out, err) == 0 ? 0 : 2;
    }

    if (*modules) return ListModules(registry, out);
    if (*create) return NewProcess(registry, newOut, newModules, fftSize, rate, err);
    if (*info) return ShowInfo(registry, infoFile, infoJson, out, err);
    if (*set) return SetControls(registry, setFile, setSettings, setOut, err);
    if (*runCmd) return RunProcessFile(registry, run, out, err);
    if (*renderCmd) return RenderProcessFile(registry, render, out, err);
    if (*demo) return RunDemo(out);
    if (*devices) {
        CCliHost host(registry);
        return ListDevices(AudioServices().GetAudioSystem(), devicesJson, out);
    }
    return 2;
}
