// The RTA's share of a block: 1/48-octave bands (about 670 of them), A-weighted, both channels,
// on blocks of 131072 samples at 192 kHz, as a share of the block's duration (0.68 s). Only
// the analyser's step is timed, in the process's CPU time.

#include "modules/BuiltInModules.h"
#include "process/ProcessSession.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <string>

namespace {
const int32_t kBlock = 131072;
const double kRate = 192000.0;

double ProcessSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

void BM_RtaFortyEighthOctaveStep(benchmark::State& state) {
    CSystemClock clock;
    CProcessSession session(GetBuiltInModules(), clock);
    std::string error;
    if (!session.Create({"Signal Generator", "RTA"}, {kBlock, kRate}, error) ||
        !session.SetControl(1, "ch1.wave", "White", error) ||
        !session.SetControl(1, "ch2.wave", "White", error) ||
        !session.SetControl(2, "bands", "1/48", error) ||
        !session.SetControl(2, "weighting", "A", error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    CDspDoc* doc = &session.Document();
    if (!doc->OnEditRun()) {
        state.SkipWithError("the process does not run");
        return;
    }
    session.Loop().Run(*doc, 1); // designs the bands and the transform's plan
    CDspView* rta = session.Step(2);
    double seconds = 0.0;
    for (auto _ : state) {
        const double start = ProcessSeconds();
        if (rta->ProcessData() != 1) state.SkipWithError("the RTA stopped");
        seconds += ProcessSeconds() - start;
    }
    doc->OnEditStop();
    state.counters["percent_of_block"] =
        100.0 * seconds / double(state.iterations()) / (kBlock / kRate);
}
} // namespace

BENCHMARK(BM_RtaFortyEighthOctaveStep)->Unit(benchmark::kMillisecond)->MinTime(2.0);
