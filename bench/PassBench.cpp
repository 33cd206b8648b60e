// One pass of a process through the real modules and a document, as the command line runs it, at
// N = 131072 and 192 kHz. Reported as time per pass and as a share of the block's duration,
// which is what a pass may take before the run falls behind the sound card. Timed in the
// process's CPU time, so that what the scheduler gives other processes of a shared machine is
// not counted. The plain chain signal generator -> arbitrary filter -> spectrum analyser -> data
// logger with every control at its default is timed step by step (each prefix of the chain), so
// the difference between two rows is what the added module costs; then the same chain with a
// maximum-length sequence analysed by cross-correlation, a pass of the generator's sweep into the
// sweep analyser, and the generator against a plain loop of std::sin (the RTA and the transfer
// function have their own files).

#include "BlockShare.h"

#include "modules/logger/DataLoggerView.h"

#include <cmath>
#include <numbers>

namespace {
// Times passes of a started process; a logger at `loggerStep` (0: none) is emptied untimed
// before it reaches its limit, since each of its plots holds 6 MB here.
void TimePasses(benchmark::State& state, CProcessSession& session, CDspDoc& doc, int loggerStep) {
    const auto pass = [&] { session.Loop().Run(doc, 1); };
    pass(); // the first pass builds the plans and scratch buffers
    auto* logger = loggerStep ? dynamic_cast<CDataLoggerView*>(session.Step(loggerStep)) : nullptr;
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

const std::vector<std::string> kPlainChain = {"Signal Generator", "Arbitrary Filter",
                                              "Spectrum Analyzer", "DataLogger"};

// The first range(0) steps of the plain chain, every control at its default.
void BM_PlainChainPass(benchmark::State& state) {
    const auto steps = size_t(state.range(0));
    CSystemClock clock;
    CProcessSession session(GetBuiltInModules(), clock);
    CDspDoc* doc = bench::StartProcess(
        state, session, {kPlainChain.begin(), kPlainChain.begin() + std::ptrdiff_t(steps)}, {});
    if (doc) TimePasses(state, session, *doc, steps == 4 ? 4 : 0);
}
} // namespace

BENCHMARK(BM_PlainChainPass)
    ->ArgName("steps")
    ->DenseRange(1, 4)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

namespace {
// The same chain with a maximum-length sequence (period N - 1) through the arbitrary filter
// ("FFT", its fresh envelopes flat, so the sequence passes unchanged) into the spectrum
// analyser's cross-correlation.
void BM_GeneratorFilterToXCorrFFTToLoggerPass(benchmark::State& state) {
    CSystemClock clock;
    CProcessSession session(GetBuiltInModules(), clock);
    CDspDoc* doc = bench::StartProcess(
        state, session, kPlainChain,
        {{1, "ch1.wave", "MLS"}, {1, "ch2.wave", "MLS"}, {3, "type", "XCorr/FFT"}});
    if (doc) TimePasses(state, session, *doc, 4);
}
} // namespace

BENCHMARK(BM_GeneratorFilterToXCorrFFTToLoggerPass)->Unit(benchmark::kMillisecond)->MinTime(2.0);

namespace {
// A pass of generator (synchronized sweep, 0.5 s of the 0.68 s block) -> sweep analyser, which
// deconvolves and analyses both channels.
void BM_GeneratorToSweepAnalyzerPass(benchmark::State& state) {
    CSystemClock clock;
    CProcessSession session(GetBuiltInModules(), clock);
    CDspDoc* doc = bench::StartProcess(state, session, {"Signal Generator", "Sweep Analyzer"},
                                       {{1, "ch1.wave", "Sync Log Sweep"},
                                        {1, "ch1.sweeptime", "0.5"},
                                        {1, "ch1.sweepstart", "20"},
                                        {1, "ch1.sweepstop", "20000"},
                                        {1, "ch2.wave", "Sync Log Sweep"},
                                        {1, "ch2.sweeptime", "0.5"},
                                        {1, "ch2.sweepstart", "20"},
                                        {1, "ch2.sweepstop", "20000"},
                                        {2, "time", "0.5"}});
    if (doc) TimePasses(state, session, *doc, 0);
}
} // namespace

BENCHMARK(BM_GeneratorToSweepAnalyzerPass)->Unit(benchmark::kMillisecond)->MinTime(2.0);

namespace {
// The generator against the plainest loop there is: a pass of the generator alone, two channels
// of a 1 kHz sine, then the same number of samples from std::sin into a table. Reported as the
// ratio of the two (the goal: at most 2).
void BM_GeneratorSineAgainstSinLoop(benchmark::State& state) {
    CSystemClock clock;
    CProcessSession session(GetBuiltInModules(), clock);
    CDspDoc* doc = bench::StartProcess(state, session, {"Signal Generator"},
                                       {{1, "ch1.wave", "Sine"}, {1, "ch2.wave", "Sine"}});
    if (!doc) return;
    const auto pass = [&] { session.Loop().Run(*doc, 1); };
    pass();
    constexpr double kTwoPi = 2.0 * std::numbers::pi;
    const double step = kTwoPi * 1000.0 / bench::kRate;
    std::vector<double> table(size_t(bench::kBlock));
    double generator = 0.0, loop = 0.0;
    for (auto _ : state) {
        const double t0 = bench::ProcessSeconds();
        pass();
        const double t1 = bench::ProcessSeconds();
        for (int c = 0; c < 2; ++c) {
            double phase = 0.0;
            for (double& v : table) {
                v = 0.8 * std::sin(phase);
                phase += step;
                if (phase >= kTwoPi) phase -= kTwoPi;
            }
            benchmark::DoNotOptimize(table.data());
        }
        generator += t1 - t0;
        loop += bench::ProcessSeconds() - t1;
    }
    state.counters["sin_loops"] = generator / loop;
    bench::ReportShareOfBlock(state, session, generator);
}
} // namespace

BENCHMARK(BM_GeneratorSineAgainstSinLoop)->Unit(benchmark::kMillisecond)->MinTime(2.0);
