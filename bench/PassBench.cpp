// One pass of a process through the real modules and a document, as the command line runs it:
// signal generator (a maximum-length sequence) -> arbitrary filter ("FFT", its fresh envelopes
// flat, so the sequence passes unchanged) -> spectrum analyser ("XCorr/FFT") -> data logger at
// N = 131072 and 192 kHz. Reported as time per pass and as a share of the block's duration,
// which is what a pass may take before the run falls behind the sound card. Timed in the
// process's CPU time, so that what the scheduler gives other processes of a shared machine is
// not counted.

#include "BlockShare.h"

#include "modules/logger/DataLoggerView.h"

namespace {
void BM_GeneratorFilterToXCorrFFTToLoggerPass(benchmark::State& state) {
    CSystemClock clock;
    CProcessSession session(GetBuiltInModules(), clock);
    CDspDoc* doc = bench::StartProcess(
        state, session, {"Signal Generator", "Arbitrary Filter", "Spectrum Analyzer", "DataLogger"},
        {{1, "ch1.wave", "MLS"}, {1, "ch2.wave", "MLS"}, {3, "type", "XCorr/FFT"}});
    if (!doc) return;
    const auto pass = [&] { session.Loop().Run(*doc, 1); };
    pass(); // the first pass builds the plans and scratch buffers
    // Each plot of the log holds 6 MB here; emptied untimed before it reaches its limit.
    auto* logger = dynamic_cast<CDataLoggerView*>(session.Step(4));
    double seconds = 0.0;
    for (auto _ : state) {
        if (logger && logger->GetLog() && logger->GetLog()->GetCount() >= 64)
            logger->GetLog()->RemoveAll();
        const double start = bench::ProcessSeconds();
        pass();
        seconds += bench::ProcessSeconds() - start;
    }
    bench::ReportShareOfBlock(state, session, seconds);
}
} // namespace

BENCHMARK(BM_GeneratorFilterToXCorrFFTToLoggerPass)->Unit(benchmark::kMillisecond)->MinTime(2.0);
