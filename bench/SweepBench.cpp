// The analysis of one recorded 131072-sample sweep against the transforms it is built on: a
// deconvolution with the inverse made beforehand (one forward, one inverse transform), then the
// gated linear response's transform, the short harmonic windows and the curves. Each case
// reports the analysis's median CPU time, that of one real transform of the same size and
// their ratio (the goal: four).

#include "dsp/FFTPlan.h"
#include "dsp/SweepAnalysis.h"

#include "ThreadClock.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {
using bench::Median;
using bench::ThreadMicroseconds;

void BM_SweepAnalysisInFFTPasses(benchmark::State& state) {
    constexpr int32_t n = 131072;
    const CSweptSine sweep(20.0, 20000.0, 2.0, 48000.0);
    std::vector<double> recorded(size_t(n), 0.0);
    sweep.Fill(std::span(recorded).first(size_t(sweep.Samples())), 0.5);
    std::rotate(recorded.rbegin(), recorded.rbegin() + 240, recorded.rend()); // a latency
    const CSweepGate gate;
    const CSweepDeconvolver deconvolve(sweep, n);
    const std::vector<std::complex<double>> correction = SweepCorrection(sweep, n, gate);
    const CFFTPlan* plan = CFFTPlan::ForSize(n);
    std::vector<double> re(size_t(n) / 2 + 1), im(re.size());
    // The impulse and the result are kept from block to block, as the analyser keeps them.
    std::vector<double> impulse(recorded.size());
    CSweepResponse r;
    std::vector<double> analysis, transform;
    for (auto _ : state) {
        double t0 = ThreadMicroseconds();
        deconvolve(recorded, impulse);
        AnalyseSweep(impulse, correction, sweep, gate, EOctaveSmoothing::None, r);
        benchmark::DoNotOptimize(r.response.data());
        double t1 = ThreadMicroseconds();
        analysis.push_back(t1 - t0);
        plan->Forward(recorded.data(), n, nullptr, re.data(), im.data());
        benchmark::DoNotOptimize(re.data());
        transform.push_back(ThreadMicroseconds() - t1);
    }
    const double a = Median(analysis), f = Median(transform);
    state.counters["analysis_us"] = a;
    state.counters["fft_us"] = f;
    state.counters["fft_passes"] = a / f;
}
BENCHMARK(BM_SweepAnalysisInFFTPasses)->Iterations(20);
} // namespace
