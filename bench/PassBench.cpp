// One pass of a process through the real modules and a document, as the command line runs it:
// signal generator (a maximum-length sequence) -> spectrum analyser ("XCorr/FFT") at
// N = 131072 and 192 kHz. Reported as time per pass and as a share of the block's duration,
// which is what a pass may take before the run falls behind the sound card.

#include "CliHost.h"
#include "ProcessCommands.h"
#include "modules/BuiltInModules.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {
const int32_t kBlock = 131072;
const double kRate = 192000.0;

void BM_GeneratorToXCorrFFTPass(benchmark::State& state) {
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("aurivo-pass-bench-" + std::to_string(getpid()) + ".process"))
                                 .string();
    std::ostringstream err;
    const CModuleRegistry& registry = GetBuiltInModules();
    if (NewProcess(registry, file, {"Signal Generator", "Spectrum Analyzer"}, kBlock, kRate,
                   err) != 0) {
        state.SkipWithError(err.str().c_str());
        return;
    }
    CCliHost host(registry);
    std::string error;
    CDspDoc* doc = host.Open(file, error);
    std::filesystem::remove(file);
    for (const char* setting : {"1:ch1.wave=MLS", "1:ch2.wave=MLS", "2:type=XCorr/FFT"})
        if (doc == nullptr || !CCliHost::ApplySetting(*doc, setting, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
    if (!doc->OnEditRun()) {
        state.SkipWithError("the process does not run");
        return;
    }
    const auto pass = [&] {
        for (int step = 0; step < doc->GetStepCount(); ++step) {
            host.App().OnIdle();
            if (doc->IsPaused()) doc->OnEditRun();
        }
    };
    pass(); // the first pass builds the plans and scratch buffers
    double seconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        pass();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    doc->OnEditStop();
    if (!host.Sink().Records().empty()) state.SkipWithError(host.Sink().Records()[0].message.c_str());
    state.counters["percent_of_block"] =
        100.0 * seconds / double(state.iterations()) / (kBlock / kRate);
}
} // namespace

BENCHMARK(BM_GeneratorToXCorrFFTPass)->Unit(benchmark::kMillisecond)->MinTime(2.0);
