// One pass of a process through the real modules and a document, as the command line runs it:
// signal generator (a maximum-length sequence) -> arbitrary filter ("FFT", its fresh envelopes
// flat, so the sequence passes unchanged) -> spectrum analyser ("XCorr/FFT") -> data logger at
// N = 131072 and 192 kHz. Reported as time per pass and as a share of the block's duration,
// which is what a pass may take before the run falls behind the sound card. Timed in the
// process's CPU time, so that what the scheduler gives other processes of a shared machine is
// not counted.

#include "modules/BuiltInModules.h"
#include "modules/logger/DataLoggerView.h"
#include "process/ProcessSession.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <string>
#include <utility>

namespace {
const int32_t kBlock = 131072;
const double kRate = 192000.0;

double ProcessSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

void BM_GeneratorFilterToXCorrFFTToLoggerPass(benchmark::State& state) {
    CSystemClock clock;
    CProcessSession session(GetBuiltInModules(), clock);
    std::string error;
    if (!session.Create({"Signal Generator", "Arbitrary Filter", "Spectrum Analyzer", "DataLogger"},
                        {kBlock, kRate}, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const std::pair<int, const char*> settings[] = {{1, "ch1.wave"}, {1, "ch2.wave"}, {3, "type"}};
    const char* values[] = {"MLS", "MLS", "XCorr/FFT"};
    for (int i = 0; i < 3; ++i)
        if (!session.SetControl(settings[i].first, settings[i].second, values[i], error)) {
            state.SkipWithError(error.c_str());
            return;
        }
    CDspDoc* doc = &session.Document();
    if (!doc->OnEditRun()) {
        state.SkipWithError("the process does not run");
        return;
    }
    const auto pass = [&] { session.Loop().Run(*doc, 1); };
    pass(); // the first pass builds the plans and scratch buffers
    // Each plot of the log holds 6 MB here; emptied untimed before it reaches its limit.
    auto* logger = dynamic_cast<CDataLoggerView*>(session.Step(4));
    double seconds = 0.0;
    for (auto _ : state) {
        if (logger && logger->GetLog() && logger->GetLog()->GetCount() >= 64)
            logger->GetLog()->RemoveAll();
        const double start = ProcessSeconds();
        pass();
        seconds += ProcessSeconds() - start;
    }
    doc->OnEditStop();
    const auto messages = session.GetMessages();
    if (!messages.empty()) state.SkipWithError(messages[0].c_str());
    state.counters["percent_of_block"] =
        100.0 * seconds / double(state.iterations()) / (kBlock / kRate);
}
} // namespace

BENCHMARK(BM_GeneratorFilterToXCorrFFTToLoggerPass)->Unit(benchmark::kMillisecond)->MinTime(2.0);
