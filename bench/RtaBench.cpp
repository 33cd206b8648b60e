// The RTA's share of a block: 1/48-octave bands (about 670 of them), A-weighted, both channels,
// on blocks of 131072 samples at 192 kHz, as a share of the block's duration (0.68 s). Only
// the analyser's step is timed, in the process's CPU time.

#include "BlockShare.h"

namespace {
void BM_RtaFortyEighthOctaveStep(benchmark::State& state) {
    CSystemClock clock;
    CProcessSession session(GetBuiltInModules(), clock);
    CDspDoc* doc = bench::StartProcess(state, session, {"Signal Generator", "RTA"},
                                       {{1, "ch1.wave", "White"},
                                        {1, "ch2.wave", "White"},
                                        {2, "bands", "1/48"},
                                        {2, "weighting", "A"}});
    if (!doc) return;
    session.Loop().Run(*doc, 1); // designs the bands and the transform's plan
    CDspView* rta = session.Step(2);
    double seconds = 0.0;
    for (auto _ : state) {
        const double start = bench::ProcessSeconds();
        if (rta->ProcessData() != 1) state.SkipWithError("the RTA stopped");
        seconds += bench::ProcessSeconds() - start;
    }
    bench::ReportShareOfBlock(state, session, seconds);
}
} // namespace

BENCHMARK(BM_RtaFortyEighthOctaveStep)->Unit(benchmark::kMillisecond)->MinTime(2.0);
