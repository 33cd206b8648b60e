// One pass of the transfer function at N = 131072 and 192 kHz: the signal generator's white
// noise as both the reference (its own block) and the measurement, into "Transfer Function" with
// its defaults (segments of 16384, half overlapping: 15 per pass; 16 passes averaged). Reported
// as a share of the block's duration, timed in the process's CPU time as PassBench.cpp does.

#include "BlockShare.h"

namespace {
void BM_TransferFunctionPass(benchmark::State& state) {
    CSystemClock clock;
    CProcessSession session(GetBuiltInModules(), clock);
    CDspDoc* doc = bench::StartProcess(state, session, {"Signal Generator", "Transfer Function"},
                                       {{1, "ch1.wave", "White"}, {2, "meas", "Ch1"}});
    if (!doc) return;
    CRunLoop& loop = session.Loop();
    loop.Step(*doc); // the generator's block
    loop.Step(*doc); // the first pass finds the delay and builds the plans
    double seconds = 0.0;
    for (auto _ : state) {
        loop.Step(*doc); // the generator's block, untimed
        const double start = bench::ProcessSeconds();
        loop.Step(*doc);
        seconds += bench::ProcessSeconds() - start;
    }
    bench::ReportShareOfBlock(state, session, seconds);
}
} // namespace

BENCHMARK(BM_TransferFunctionPass)->Unit(benchmark::kMillisecond)->MinTime(2.0);
