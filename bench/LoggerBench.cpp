// The data logger's cost per logged plot against a copy of the same values: each iteration logs
// a pass of two channels of 131072 samples with their magnitudes and phases, then copies the
// same arrays into fresh memory, as any log must at least do. Reported as the median CPU times
// and their ratio (the goal: one copy).

#include "dsp/DSPFFTDataList.h"
#include "modules/logger/DataLog.h"

#include "ThreadClock.h"

#include <benchmark/benchmark.h>

#include <array>
#include <vector>

namespace {
using bench::Median;
using bench::ThreadMicroseconds;

void BM_LoggedPlotAgainstACopy(benchmark::State& state) {
    constexpr int32_t kSize = 131072;
    constexpr int kChannels = 2;
    constexpr int64_t kPlots = 16; // emptied untimed before it holds more
    CDSPFFTDataList blocks;
    if (!blocks.Create(kChannels, 1, kSize, 192000.0)) return state.SkipWithError("no blocks");
    for (int c = 0; c < kChannels; ++c)
        for (int32_t i = 0; i < kSize; ++i) {
            blocks.GetTimeData(c)[i] = 1e-3 * i;
            blocks.GetFreqData(c)[i] = 2e-3 * i;
            blocks.GetPhaseData(c)[i] = 3e-3 * i;
        }
    CDataLog log;
    log.Match({kChannels, 1, kSize, 192000.0, "bench"});
    std::vector<double> logged, copied;
    for (auto _ : state) {
        if (log.List()->GetCount() >= kPlots) log.Clear();
        const double t0 = ThreadMicroseconds();
        const CDataLog::CAppend append = log.Append(blocks, kPlots, 1 << 20);
        const double t1 = ThreadMicroseconds();
        if (!append.ok) return state.SkipWithError(append.message.c_str());
        std::array<std::vector<double>, 3 * kChannels> copy;
        for (int c = 0; c < kChannels; ++c) {
            const double* arrays[] = {blocks.GetTimeData(c), blocks.GetFreqData(c),
                                      blocks.GetPhaseData(c)};
            for (int a = 0; a < 3; ++a)
                copy[size_t(3 * c + a)].assign(arrays[a], arrays[a] + kSize);
        }
        benchmark::DoNotOptimize(copy[0].data());
        logged.push_back(t1 - t0);
        copied.push_back(ThreadMicroseconds() - t1);
    }
    const double l = Median(logged), c = Median(copied);
    state.counters["log_us"] = l;
    state.counters["copy_us"] = c;
    state.counters["copies"] = l / c;
}
BENCHMARK(BM_LoggedPlotAgainstACopy)->Iterations(64);
} // namespace
