// One pass of the transfer function at N = 131072 and 192 kHz: the signal generator's white
// noise as both the reference (its own block) and the measurement, into "Transfer Function" with
// its defaults (segments of 16384, half overlapping: 15 per pass; 16 passes averaged). Reported
// as a share of the block's duration, timed in the process's CPU time as PassBench.cpp does.

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

void BM_TransferFunctionPass(benchmark::State& state) {
    CSystemClock clock;
    CProcessSession session(GetBuiltInModules(), clock);
    std::string error;
    if (!session.Create({"Signal Generator", "Transfer Function"}, {kBlock, kRate}, error) ||
        !session.SetControl(1, "ch1.wave", "White", error) ||
        !session.SetControl(2, "meas", "Ch1", error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    CDspDoc* doc = &session.Document();
    if (!doc->OnEditRun()) {
        state.SkipWithError("the process does not run");
        return;
    }
    CRunLoop& loop = session.Loop();
    loop.Step(*doc); // the generator's block
    loop.Step(*doc); // the first pass finds the delay and builds the plans
    double seconds = 0.0;
    for (auto _ : state) {
        loop.Step(*doc); // the generator's block, untimed
        const double start = ProcessSeconds();
        loop.Step(*doc);
        seconds += ProcessSeconds() - start;
    }
    doc->OnEditStop();
    const auto messages = session.GetMessages();
    if (!messages.empty()) state.SkipWithError(messages[0].c_str());
    state.counters["percent_of_block"] =
        100.0 * seconds / double(state.iterations()) / (kBlock / kRate);
}
} // namespace

BENCHMARK(BM_TransferFunctionPass)->Unit(benchmark::kMillisecond)->MinTime(2.0);
