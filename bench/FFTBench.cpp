// Forward (with the magnitude/phase conversion) and inverse FFT of one block, N = 1024..131072.

#include "dsp/DSPFFTData.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {
void MakeNoiseBlock(CDSPFFTData& block, int32_t n) {
    block.Create(CDSPData::kTimeBlock, n, 96000.0);
    std::mt19937 rng(1234);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    double* time = block.GetTimeObj()->GetDataPointer();
    for (int32_t i = 0; i < n; ++i)
        time[i] = noise(rng);
}

void BM_DoFFT(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    CDSPFFTData block;
    MakeNoiseBlock(block, n);
    for (auto _ : state) {
        benchmark::DoNotOptimize(block.DoFFT(CDSPFFTData::WindowNone));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_DoIFFT(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    CDSPFFTData block;
    MakeNoiseBlock(block, n);
    block.DoFFT(CDSPFFTData::WindowNone);
    for (auto _ : state) {
        benchmark::DoNotOptimize(block.DoIFFT());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
} // namespace

BENCHMARK(BM_DoFFT)->RangeMultiplier(2)->Range(1024, 131072)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DoIFFT)->RangeMultiplier(2)->Range(1024, 131072)->Unit(benchmark::kMicrosecond);
