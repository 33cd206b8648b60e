// Our transforms against FFTW doing the same work, timed alternately in one run so that both
// see the same machine load, in the thread's CPU time: DoFFT/DoIFFT (magnitude and phase conversion
// included) per N, cross-correlation and the transversal filter. Each case reports our median time,
// FFTW's and their ratio.

#include "dsp/DSPFFTData.h"
#include "dsp/PolarConversion.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <ctime>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <vector>

namespace {
void MakeNoiseBlock(CDSPFFTData& block, int32_t n, unsigned seed) {
    block.Create(CDSPData::kTimeBlock, n, 96000.0);
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    double* time = block.GetTimeObj()->GetDataPointer();
    for (int32_t i = 0; i < n; ++i)
        time[i] = noise(rng);
}

double Median(std::vector<double>& v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// CPU time of the calling thread in microseconds: time the scheduler gives to the other
// processes of a shared machine is not counted.
double ThreadMicroseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return 1e6 * double(t.tv_sec) + 1e-3 * double(t.tv_nsec);
}

// Runs ours and the reference alternately, a batch of each per iteration; the batch is long
// enough (about 200 us) that reading the clock costs nothing in comparison.
void Compare(benchmark::State& state, const std::function<void()>& ours,
             const std::function<void()>& reference) {
    ours();
    reference();
    double t0 = ThreadMicroseconds();
    ours();
    const int batch = std::max(1, int(200.0 / std::max(ThreadMicroseconds() - t0, 0.01)));
    std::vector<double> ourTimes, referenceTimes;
    for (auto _ : state) {
        t0 = ThreadMicroseconds();
        for (int i = 0; i < batch; ++i)
            ours();
        const double t1 = ThreadMicroseconds();
        for (int i = 0; i < batch; ++i)
            reference();
        const double t2 = ThreadMicroseconds();
        benchmark::ClobberMemory();
        ourTimes.push_back((t1 - t0) / batch);
        referenceTimes.push_back((t2 - t1) / batch);
    }
    const double our = Median(ourTimes);
    const double fftw = Median(referenceTimes);
    state.counters["ours_us"] = our;
    state.counters["fftw_us"] = fftw;
    state.counters["ratio"] = our / fftw;
}

struct CFFTWFree {
    void operator()(void* p) const { fftw_free(p); }
};
template <class T> using CFFTWBuffer = std::unique_ptr<T[], CFFTWFree>;
CFFTWBuffer<double> RealBuffer(size_t n) {
    return CFFTWBuffer<double>(fftw_alloc_real(n));
}
CFFTWBuffer<fftw_complex> ComplexBuffer(size_t n) {
    return CFFTWBuffer<fftw_complex>(fftw_alloc_complex(n));
}

// FFTW's real transforms of one size. Its interleaved spectrum plus a copy into split real and
// imaginary arrays (the layout the conversion takes) is faster than its split-array interface
// at every size measured, so the reference takes that path.
struct CFFTWReal {
    int n;
    CFFTWBuffer<double> time;
    CFFTWBuffer<fftw_complex> spectrum;
    fftw_plan forward, inverse;
    explicit CFFTWReal(int size)
        : n(size), time(RealBuffer(size_t(size))), spectrum(ComplexBuffer(size_t(size / 2 + 1))) {
        forward = fftw_plan_dft_r2c_1d(n, time.get(), spectrum.get(), FFTW_MEASURE);
        inverse = fftw_plan_dft_c2r_1d(n, spectrum.get(), time.get(), FFTW_MEASURE);
    }
    ~CFFTWReal() {
        fftw_destroy_plan(forward);
        fftw_destroy_plan(inverse);
    }
    CFFTWReal(const CFFTWReal&) = delete;
    CFFTWReal& operator=(const CFFTWReal&) = delete;
};

void BM_DoFFT(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    CDSPFFTData block;
    MakeNoiseBlock(block, n, 1234);
    CFFTWReal fftw(n);
    std::vector<double> re(static_cast<size_t>(n / 2 + 1)), im(re.size());
    std::vector<double> magnitude(static_cast<size_t>(n)), phase(static_cast<size_t>(n));
    const double* time = block.GetTimeObj()->GetDataPointer();
    Compare(
        state, [&] { block.DoFFT(CDSPFFTData::WindowNone); },
        [&] {
            std::copy(time, time + n, fftw.time.get());
            fftw_execute(fftw.forward);
            for (int32_t k = 0; k <= n / 2; ++k) {
                re[size_t(k)] = fftw.spectrum[k][0];
                im[size_t(k)] = fftw.spectrum[k][1];
            }
            SpectrumToPolar(n, re.data(), im.data(), magnitude.data(), phase.data());
        });
}

void BM_DoIFFT(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    CDSPFFTData block;
    MakeNoiseBlock(block, n, 4321);
    block.DoFFT(CDSPFFTData::WindowNone);
    CFFTWReal fftw(n);
    std::vector<double> re(static_cast<size_t>(n)), im(static_cast<size_t>(n));
    std::vector<double> out(static_cast<size_t>(n));
    const double* magnitude = block.GetFreqObj()->GetDataPointer();
    const double* phase = block.GetPhaseObj()->GetDataPointer();
    Compare(
        state, [&] { block.DoIFFT(); },
        [&] {
            PolarToSpectrum(n, magnitude, phase, re.data(), im.data());
            for (int32_t k = 0; k <= n / 2; ++k) {
                fftw.spectrum[k][0] = re[size_t(k)];
                fftw.spectrum[k][1] = im[size_t(k)];
            }
            fftw_execute(fftw.inverse);
            const double scale = 1.0 / n;
            for (int32_t i = 0; i < n; ++i)
                out[size_t(i)] = fftw.time[size_t(i)] * scale;
        });
}

// The reference's linear convolution of a (na values) and b (nb values) into out[0..count-1].
struct CFFTWConvolution {
    CFFTWReal fftw;
    CFFTWBuffer<fftw_complex> other;
    explicit CFFTWConvolution(int length)
        : fftw(length), other(ComplexBuffer(size_t(length / 2 + 1))) {}
    void Run(const double* a, int na, const double* b, int nb, double* out, int count) {
        const int n = fftw.n;
        double* t = fftw.time.get();
        fftw_complex* spectrum = fftw.spectrum.get();
        std::fill(std::copy(b, b + nb, t), t + n, 0.0);
        fftw_execute(fftw.forward);
        std::memcpy(other.get(), spectrum, sizeof(fftw_complex) * size_t(n / 2 + 1));
        std::fill(std::copy(a, a + na, t), t + n, 0.0);
        fftw_execute(fftw.forward);
        for (int k = 0; k <= n / 2; ++k) {
            const double r = spectrum[k][0] * other[k][0] - spectrum[k][1] * other[k][1];
            spectrum[k][1] = spectrum[k][0] * other[k][1] + spectrum[k][1] * other[k][0];
            spectrum[k][0] = r;
        }
        fftw_execute(fftw.inverse);
        for (int i = 0; i < count; ++i)
            out[i] = t[i] / n;
    }
};

void BM_CrossCorrelate(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    CDSPFFTData recording, reference, work;
    MakeNoiseBlock(recording, n, 11);
    MakeNoiseBlock(reference, n, 12);
    work.Create(CDSPData::kTimeBlock, n, 96000.0);
    const int32_t p = n - 1;
    CFFTWConvolution fftw(2 * n);
    std::vector<double> reversed(static_cast<size_t>(p)), c(2 * static_cast<size_t>(p));
    std::vector<double> out(static_cast<size_t>(n));
    const double* a = recording.GetTimeObj()->GetDataPointer();
    const double* b = reference.GetTimeObj()->GetDataPointer();
    Compare(
        state,
        [&] {
            std::copy(a, a + n, work.GetTimeObj()->GetDataPointer());
            work.CrossCorrelate(reference);
        },
        [&] {
            std::reverse_copy(a, a + p, reversed.begin());
            fftw.Run(reversed.data(), p, b, p, c.data(), 2 * p - 1);
            out[0] = c[size_t(p - 1)] / p;
            for (int32_t l = 1; l < p; ++l)
                out[size_t(l)] = (c[size_t(p - 1 + l)] + c[size_t(l - 1)]) / p;
            out[size_t(n - 1)] = out[size_t(n - 2)];
        });
}

void BM_TransversalFilter(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    CDSPFFTData signal, taps, work;
    MakeNoiseBlock(signal, n, 21);
    MakeNoiseBlock(taps, n, 22);
    work.Create(CDSPData::kTimeBlock, n, 96000.0);
    CFFTWConvolution fftw(2 * n);
    std::vector<double> out(static_cast<size_t>(n));
    const double* x = signal.GetTimeObj()->GetDataPointer();
    const double* h = taps.GetTimeObj()->GetDataPointer();
    Compare(
        state,
        [&] {
            std::copy(x, x + n, work.GetTimeObj()->GetDataPointer());
            work.DoTransversalFilter(taps);
        },
        [&] { fftw.Run(h, n, x, n, out.data(), n); });
}
} // namespace

BENCHMARK(BM_DoFFT)->RangeMultiplier(2)->Range(1024, 131072)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DoIFFT)->RangeMultiplier(2)->Range(1024, 131072)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CrossCorrelate)->Arg(32768)->Arg(131072)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransversalFilter)->Arg(32768)->Arg(131072)->Unit(benchmark::kMillisecond);
