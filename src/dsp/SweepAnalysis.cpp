#include "dsp/SweepAnalysis.h"

#include "dsp/FFTPlan.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numbers>

namespace {
constexpr double kPi = std::numbers::pi;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// The deconvolution's tapers inside each end of the sweep, outside the octave above the start
// and below the stop where the response is held exact. A taper only a few hertz wide would ring
// for longer than the harmonic responses lie apart, so the low one takes the whole octave.
constexpr double kLowTaperOctaves = 1.0;
constexpr double kHighTaperOctaves = 1.0 / 3.0;
// Where a response's magnitude is below this share of the band weight, dividing by the weight
// would only raise noise: the curves end there.
constexpr double kLeastWeight = 0.05;
// A harmonic's window reaches half way to each neighbour; the outer half of either side
// tapers, as does that of a "Tukey" gate.
constexpr double kTukeyTaper = 0.5;

double Cosine(double x) { // 0 at x = 0 rising to 1 at x = 1
    return 0.5 * (1.0 - std::cos(kPi * std::clamp(x, 0.0, 1.0)));
}

// A window's tapers use the same dozen lengths block after block (the linear gate's sides, each
// harmonic's and the noise's), so their weights are made once and kept.
constexpr size_t kKeptTapers = 16;

// The weights (1 + cos(pi t / length)) / 2 for t = 0 .. length. The cosine comes from a turning
// phasor, one multiplication a sample: a long gate would otherwise cost more in cosines than in
// its transform. That chain of multiplications, each waiting on the last, is itself as slow as
// a third of a transform of the block, hence the table.
std::span<const double> TaperWeights(int32_t length) {
    thread_local std::vector<std::pair<int32_t, std::vector<double>>> made;
    for (const auto& [kept, weights] : made)
        if (kept == length) return weights;
    if (made.size() == kKeptTapers) made.erase(made.begin());
    std::vector<double> weights(size_t(length) + 1);
    const std::complex<double> step = std::polar(1.0, kPi / length);
    std::complex<double> turn = 1.0;
    for (double& w : weights) {
        w = 0.5 * (1.0 + turn.real());
        turn *= step;
    }
    return made.emplace_back(length, std::move(weights)).second;
}

// Calls taper(index, weight) for the tapered end of one side of a window `side` samples long,
// from the peak (index 0) out to its edge (index side): the weight is 1 up to where the taper
// starts, then a raised cosine down to 0 at the edge.
template <typename Taper> void ForTaper(CSweepGate::EShape shape, int32_t side, Taper taper) {
    const double share = shape == CSweepGate::EShape::Hann    ? 1.0
                         : shape == CSweepGate::EShape::Tukey ? kTukeyTaper
                                                              : 0.0;
    const int32_t length = int32_t(std::floor(share * side));
    if (length <= 0) return;
    const int32_t first = side - length;
    const std::span<const double> weights = TaperWeights(length);
    for (int32_t t = 0; t <= length; ++t)
        taper(first + t, weights[size_t(t)]);
}

// Copies `count` samples of the circular `h` from index `from` on into `out`.
void CopyCircular(std::span<const double> h, int64_t from, size_t count, double* out) {
    const int64_t n = int64_t(h.size());
    size_t at = size_t((from % n + n) % n);
    while (count > 0) {
        const size_t run = std::min(count, h.size() - at);
        out = std::copy_n(h.data() + at, run, out);
        count -= run;
        at = 0;
    }
}

// Samples pre before to post after `centre` of the circular `h`, weighted, into the block `out`
// (no shorter than pre + post + 1) with the centre at index 0 and the samples before it at the
// block's end. The weights are 1 but in the tapers, so only those samples are multiplied.
void Segment(std::span<const double> h, int64_t centre, int32_t pre, int32_t post,
             CSweepGate::EShape shape, std::span<double> out) {
    const size_t m = out.size();
    CopyCircular(h, centre, size_t(post) + 1, out.data());
    std::fill(out.begin() + post + 1, out.end() - pre, 0.0);
    CopyCircular(h, centre - pre, size_t(pre), out.data() + (m - size_t(pre)));
    ForTaper(shape, post, [&](int32_t j, double w) { out[size_t(j)] *= w; });
    ForTaper(shape, pre, [&](int32_t j, double w) {
        if (j > 0) out[m - size_t(j)] *= w; // the peak itself is the other side's
    });
}

// The bins 0 .. m/2 of a real transform, as two arrays.
struct CSplitSpectrum {
    std::vector<double> re, im;
    double binHz = 0.0;
    size_t size() const { return re.size(); }
    std::complex<double> operator[](size_t k) const { return {re[k], im[k]}; }
};

// The transform of the block `x` at fs into `out`, whose arrays keep their memory between calls.
void Transform(std::span<const double> x, double fs, CSplitSpectrum& out) {
    out.re.resize(x.size() / 2 + 1);
    out.im.resize(x.size() / 2 + 1);
    out.binHz = fs / double(x.size());
    CFFTPlan::ForSize(int32_t(x.size()))
        ->Forward(x.data(), int32_t(x.size()), nullptr, out.re.data(), out.im.data());
}

// Working arrays each thread keeps from one analysis to the next: fresh megabyte arrays every
// pass would cost more in mapping and clearing pages than the transforms they feed.
struct CScratch {
    std::vector<double> block;
    // The linear response's spectrum; before it, the deconvolution's product, done with by
    // then: one megabyte array fewer for the caches to hold.
    CSplitSpectrum h1;
    std::array<CSplitSpectrum, CSweepResponse::kMaxOrder + 1> hk;
    CSplitSpectrum noise;
    std::vector<double> magnitude; // what a smoother is made from
};
CScratch& ThreadScratch() {
    thread_local CScratch scratch;
    return scratch;
}

// The first m samples of `scratch`, grown to hold them; never shrunk, so that the short
// harmonic windows do not make the next block's long one clear its memory again.
std::span<double> Block(std::vector<double>& scratch, int32_t m) {
    if (scratch.size() < size_t(m)) scratch.resize(size_t(m));
    return std::span(scratch).first(size_t(m));
}

// A spectrum of bins 0 .. m/2 at `f` Hz, linear between bins.
template <typename Spectrum>
std::complex<double> At(const Spectrum& spectrum, double binHz, double f) {
    const double x = f / binHz;
    const size_t k = size_t(x);
    if (k + 1 >= spectrum.size()) return spectrum[spectrum.size() - 1];
    const double u = x - double(k);
    return spectrum[k] + u * (spectrum[k + 1] - spectrum[k]);
}

// The linear response's window: the gate, inside the room the harmonics leave.
struct CWindow {
    int32_t pre;
    int32_t post;
};
CWindow LinearWindow(const CSweptSine& sweep, int32_t n, const CSweepGate& gate) {
    const double fs = sweep.SampleRate();
    constexpr int K = CSweepResponse::kMaxOrder;
    const int32_t preRoom = int32_t(0.5 * sweep.HarmonicAdvance(2) * fs);
    const int32_t postRoom =
        int32_t(n - 0.5 * (sweep.HarmonicAdvance(K) + sweep.HarmonicAdvance(K + 1)) * fs) - 1;
    const int32_t pre = std::clamp(int32_t(std::lround(-gate.start * fs)), 0, preRoom);
    const int32_t post =
        gate.end > 0.0 ? std::clamp(int32_t(std::lround(gate.end * fs)), 1, postRoom) : postRoom;
    return {pre, post};
}

int32_t PowerOfTwoAtLeast(int64_t n) {
    return int32_t(std::bit_ceil(uint64_t(std::max<int64_t>(n, 2))));
}
} // namespace

const std::vector<std::string>& SweepGateShapeNames() {
    static const std::vector<std::string> names{"Rect", "Tukey", "Hann"};
    return names;
}

double SweepBandWeight(const CSweptSine& sweep, double f) {
    if (f <= sweep.Start() || f >= sweep.Stop()) return 0.0;
    const double above = std::log2(f / sweep.Start()) / kLowTaperOctaves;
    const double below = std::log2(sweep.Stop() / f) / kHighTaperOctaves;
    return Cosine(above) * Cosine(below);
}

CSweepBand SweepFullBand(const CSweptSine& sweep) {
    return {sweep.Start() * std::exp2(kLowTaperOctaves),
            sweep.Stop() * std::exp2(-kHighTaperOctaves)};
}

std::vector<std::complex<double>> RealSpectrum(std::span<const double> x) {
    const CFFTPlan* plan = CFFTPlan::ForSize(int32_t(x.size()));
    const size_t bins = x.size() / 2 + 1;
    std::vector<double> re(bins), im(bins);
    plan->Forward(x.data(), int32_t(x.size()), nullptr, re.data(), im.data());
    std::vector<std::complex<double>> out(bins);
    for (size_t k = 0; k < bins; ++k)
        out[k] = {re[k], im[k]};
    return out;
}

CSweepDeconvolver::CSweepDeconvolver(const CSweptSine& sweep, int32_t n)
    : m_n(n), m_re(size_t(n) / 2 + 1, 0.0), m_im(size_t(n) / 2 + 1, 0.0) {
    const double binHz = sweep.SampleRate() / n;
    for (size_t k = 0; k < m_re.size(); ++k) {
        const double f = double(k) * binHz;
        const double w = SweepBandWeight(sweep, f);
        if (w <= 0.0) continue;
        const std::complex<double> inverse = sweep.Inverse(f) * w;
        m_re[k] = inverse.real();
        m_im[k] = inverse.imag();
    }
}

void CSweepDeconvolver::operator()(std::span<const double> recorded,
                                   std::span<double> impulse) const {
    const CFFTPlan* plan = CFFTPlan::ForSize(m_n);
    CScratch& scratch = ThreadScratch();
    std::vector<double>& re = scratch.h1.re;
    std::vector<double>& im = scratch.h1.im;
    re.resize(m_re.size());
    im.resize(m_re.size());
    plan->Forward(recorded.data(), int32_t(std::min<size_t>(recorded.size(), size_t(m_n))), nullptr,
                  re.data(), im.data());
    for (size_t k = 0; k < re.size(); ++k) {
        const double a = re[k], b = im[k];
        re[k] = a * m_re[k] - b * m_im[k];
        im[k] = a * m_im[k] + b * m_re[k];
    }
    plan->Inverse(re.data(), im.data(), impulse.data());
}

std::vector<double> DeconvolveSweep(std::span<const double> recorded, const CSweptSine& sweep) {
    std::vector<double> impulse(recorded.size());
    CSweepDeconvolver(sweep, int32_t(recorded.size()))(recorded, impulse);
    return impulse;
}

std::vector<std::complex<double>> SweepCorrection(const CSweptSine& sweep, int32_t n,
                                                  const CSweepGate& gate) {
    std::vector<double> played(size_t(n), 0.0);
    sweep.Fill(std::span(played).first(size_t(std::min(n, sweep.Samples()))), 1.0);
    const std::vector<double> self = DeconvolveSweep(played, sweep);
    const CWindow w = LinearWindow(sweep, n, gate);
    std::vector<double> gated(static_cast<size_t>(n));
    Segment(self, 0, w.pre, w.post, gate.shape, gated);
    return RealSpectrum(gated);
}

int32_t PeakIndex(std::span<const double> h) {
    // The largest magnitude first, in four running maxima that do not wait on each other, then
    // the first sample that reaches it: one compare-and-move chain over the block would take
    // several times as long.
    std::array<double, 4> top{};
    size_t i = 0;
    for (; i + 4 <= h.size(); i += 4)
        for (size_t j = 0; j < 4; ++j)
            top[j] = std::max(top[j], std::fabs(h[i + j]));
    for (; i < h.size(); ++i)
        top[0] = std::max(top[0], std::fabs(h[i]));
    const double peak = std::max(std::max(top[0], top[1]), std::max(top[2], top[3]));
    for (i = 0; i < h.size(); ++i)
        if (std::fabs(h[i]) == peak) return int32_t(i);
    return 0;
}

std::vector<double> ImpulseEnvelope(std::span<const double> h) {
    std::vector<double> envelope(h.size());
    // Zeros after the response, as many as it is long, keep the transform's wrap-around from
    // folding its tail onto its start.
    const int32_t n = std::min(PowerOfTwoAtLeast(2 * int64_t(h.size())), CFFTPlan::kMaxSize);
    if (h.size() < 2 || h.size() > size_t(n)) {
        std::transform(h.begin(), h.end(), envelope.begin(), [](double v) { return std::fabs(v); });
        return envelope;
    }
    const CFFTPlan* plan = CFFTPlan::ForSize(n);
    std::vector<double> re(size_t(n) / 2 + 1), im(re.size());
    plan->Forward(h.data(), int32_t(h.size()), nullptr, re.data(), im.data());
    // The Hilbert transform turns every positive frequency by -90 degrees: (a + jb)(-j) = b - ja.
    // The bins at 0 Hz and at half the rate have no quadrature.
    for (size_t k = 1; k + 1 < re.size(); ++k) {
        const double a = re[k];
        re[k] = im[k];
        im[k] = -a;
    }
    re.front() = im.front() = re.back() = im.back() = 0.0;
    std::vector<double> quadrature(h.size());
    plan->Inverse(re.data(), im.data(), quadrature.data(), int32_t(h.size()));
    for (size_t i = 0; i < h.size(); ++i)
        envelope[i] = std::hypot(h[i], quadrature[i]);
    return envelope;
}

void AnalyseSweep(std::span<const double> impulse, std::span<const std::complex<double>> correction,
                  const CSweptSine& sweep, const CSweepGate& gate, EOctaveSmoothing smoothing,
                  CSweepResponse& r) {
    const int32_t n = int32_t(impulse.size());
    const double fs = sweep.SampleRate();
    const double binHz = fs / n;
    r.delay = PeakIndex(impulse);
    const auto advance = [&](int k) { return sweep.HarmonicAdvance(k) * fs; }; // samples
    constexpr int K = CSweepResponse::kMaxOrder;

    CScratch& scratch = ThreadScratch();
    const auto [pre, post] = LinearWindow(sweep, n, gate);
    const std::span<double> linear = Block(scratch.block, n);
    Segment(impulse, r.delay, pre, post, gate.shape, linear);
    r.impulsePre = pre;
    r.impulse.resize(size_t(pre + post + 1));
    std::copy(linear.begin(), linear.begin() + post + 1,
              std::copy(linear.end() - pre, linear.end(), r.impulse.begin()));
    const CSplitSpectrum& h1 = scratch.h1;
    Transform(linear, fs, scratch.h1);
    // Smoothing averages the corrected magnitude of every bin; without it the grid's points
    // are all that is read.
    std::optional<COctaveSmoother> smoother;
    if (smoothing != EOctaveSmoothing::None) {
        std::vector<double>& magnitude = scratch.magnitude;
        magnitude.assign(h1.size(), 0.0);
        for (size_t k = 0; k < h1.size(); ++k)
            if (const double c = std::norm(correction[k]); c >= kLeastWeight * kLeastWeight)
                magnitude[k] = std::sqrt(std::norm(h1[k]) / c);
        smoother.emplace(magnitude, binHz, OctaveSmoothingPower(smoothing));
    }

    // Each harmonic's window, half way to its neighbours.
    const auto cut = [&](int64_t centre, int32_t cutPre, int32_t cutPost, CSplitSpectrum& out) {
        const int32_t m = PowerOfTwoAtLeast(2 * int64_t(cutPre + cutPost + 1));
        const std::span<double> block = Block(scratch.block, m);
        Segment(impulse, centre, cutPre, cutPost, CSweepGate::EShape::Tukey, block);
        Transform(block, fs, out);
    };
    for (int k = 2; k <= K; ++k)
        cut(std::llround(r.delay - advance(k)), int32_t(0.5 * (advance(k + 1) - advance(k))),
            int32_t(0.5 * (advance(k) - advance(k - 1))), scratch.hk[size_t(k)]);

    // Noise alone, cut as the second harmonic is, half way from the linear response's peak to
    // the window of the highest order.
    const CSplitSpectrum& noise = scratch.noise;
    cut(r.delay + int64_t(0.5 * (n - 0.5 * (advance(K) + advance(K + 1)))),
        int32_t(0.5 * (advance(3) - advance(2))), int32_t(0.5 * advance(2)), scratch.noise);
    // One bin of noise reads anywhere from far below to above its level: the floor is its
    // power averaged over a third of an octave.
    // (A plain root of the sum of squares: the overflow-safe library call costs a fifth of the
    // transform here, and no noise level comes near the range where it would matter.)
    std::vector<double>& noiseMagnitude = scratch.magnitude;
    noiseMagnitude.resize(noise.size());
    for (size_t k = 0; k < noise.size(); ++k)
        noiseMagnitude[k] = std::sqrt(noise.re[k] * noise.re[k] + noise.im[k] * noise.im[k]);
    const COctaveSmoother noiseFloor(noiseMagnitude, noise.binHz);

    const CSweepBand band = SweepFullBand(sweep);
    // The harmonics' own sweeps start with the fade in, whose ripple in their responses dies
    // down to a tenth of a dB over the three quarters of an octave above the exact band.
    const double distortionLow = band.low * std::exp2(0.75);
    const int points =
        int(std::floor(std::log2(sweep.Stop() / sweep.Start()) * kSweepPointsPerOctave)) + 1;
    r.frequency.clear();
    r.response.clear();
    r.thd.clear();
    for (int k = 0; k <= K; ++k) {
        r.harmonic[size_t(k)].clear();
        r.harmonicNoise[size_t(k)].clear();
    }
    // Over most of the band the grid's points lie tens of bins apart, so each would wait on its
    // own cache misses in the long spectra: the lines are asked for first, all at once.
    for (int i = 0; i < points; ++i) {
        const double f = sweep.Start() * std::exp2(double(i) / kSweepPointsPerOctave);
        r.frequency.push_back(f);
        if (const size_t k = size_t(f / binHz); k + 1 < h1.size()) {
            __builtin_prefetch(&correction[k]);
            __builtin_prefetch(&h1.re[k]);
            __builtin_prefetch(&h1.im[k]);
        }
    }
    for (int i = 0; i < points; ++i) {
        const double f = r.frequency[size_t(i)];
        const std::complex<double> d = At(correction, binHz, f);
        const bool usable = std::abs(d) >= kLeastWeight;
        std::complex<double> h = kNaN;
        if (usable) {
            h = At(h1, h1.binHz, f) / d;
            if (smoother)
                h = std::polar(smoother->At(f, OctaveSmoothingWidth(smoothing, f)), std::arg(h));
        }
        r.response.push_back(h);
        const double fundamental = std::abs(h);
        double sum = 0.0;
        bool any = false;
        for (int k = 2; k <= K; ++k) {
            double ratio = kNaN, floor = kNaN;
            if (usable && f >= distortionLow && k * f <= band.high) {
                const CSplitSpectrum& hk = scratch.hk[size_t(k)];
                ratio = std::abs(At(hk, hk.binHz, k * f)) / fundamental;
                floor = noiseFloor.At(k * f, 1.0 / 3.0) / fundamental;
                sum += ratio * ratio;
                any = true;
            }
            r.harmonic[size_t(k)].push_back(ratio);
            r.harmonicNoise[size_t(k)].push_back(floor);
        }
        r.thd.push_back(any ? std::sqrt(sum) : kNaN);
    }
    SweepGroupDelay(r.frequency, r.response, r.groupDelay);
}

void SweepGroupDelay(std::span<const double> frequency,
                     std::span<const std::complex<double>> response, std::vector<double>& delay) {
    // The phase step between neighbours, taken as the angle of their quotient, needs no
    // unwrapping while the grid is fine against the delay that is left.
    delay.assign(frequency.size(), kNaN);
    for (size_t i = 1; i + 1 < frequency.size(); ++i) {
        const std::complex<double> a = response[i - 1], b = response[i + 1];
        if (std::isnan(a.real()) || std::isnan(b.real())) continue;
        delay[i] = -std::arg(b / a) / (2 * kPi * (frequency[i + 1] - frequency[i - 1]));
    }
}
