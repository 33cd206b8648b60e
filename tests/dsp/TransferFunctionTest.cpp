// The dual-channel transfer function against systems whose response is known in closed form,
// evaluated in long double: filters applied to seeded noise, with delays, with added noise of a
// known level (coherence against S / (S + N)), and the averaging modes over passes of two
// different systems.
#include "common/DspTestUtil.h"
#include "dsp/TransferFunction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace {

/** y[n] = sum b x[n - k] - sum a y[n - k] (a without its leading 1), then `delay` samples later
 *  (earlier when negative); computed in long double. */
struct CSystem {
    const char* name;
    std::vector<long double> b, a;
    int delay;

    std::vector<double> Apply(const std::vector<double>& x) const {
        std::vector<long double> y(x.size(), 0.0L);
        for (size_t n = 0; n < x.size(); ++n) {
            long double s = 0.0L;
            for (size_t k = 0; k < b.size() && k <= n; ++k)
                s += b[k] * x[n - k];
            for (size_t k = 0; k < a.size() && k < n; ++k)
                s -= a[k] * y[n - k - 1];
            y[n] = s;
        }
        std::vector<double> out(x.size(), 0.0);
        for (size_t n = 0; n < x.size(); ++n) {
            const long long from = (long long)n - delay;
            if (from >= 0 && from < (long long)x.size()) out[n] = double(y[size_t(from)]);
        }
        return out;
    }
    /** The response without its delay at f cycles per sample. */
    std::complex<long double> Response(long double f) const {
        auto poly = [f](const std::vector<long double>& c, long double first, size_t shift) {
            std::complex<long double> s = first;
            for (size_t k = 0; k < c.size(); ++k)
                s += c[k] * std::polar(1.0L, -2.0L * std::numbers::pi_v<long double> * f *
                                                 (long double)(k + shift));
            return s;
        };
        return poly(b, 0.0L, 0) / poly(a, 1.0L, 1);
    }
};

constexpr int32_t kSegment = 4096;
constexpr int32_t kPass = 65536;

/** Adds x and y to the spectrum with y's delay taken out, as a user's delay compensation does. */
int AddAligned(CCrossSpectrum& s, const std::vector<double>& x, const std::vector<double>& y,
               int delay) {
    const int32_t n = int32_t(x.size()) - std::abs(delay);
    return delay >= 0 ? s.AddPass(x.data(), y.data() + delay, n)
                      : s.AddPass(x.data() - delay, y.data(), n);
}

// RBJ low-pass at 0.1 fs, Q 0.707: decays within a few dozen samples, far inside a segment.
const CSystem kLowPass{"LowPass",
                       {0.0674552738890719L, 0.1349105477781438L, 0.0674552738890719L},
                       {-1.1429805025399011L, 0.4128015980961886L},
                       37};

// Noise-free systems: magnitude within 0.01 dB and phase within 0.1 degree of the closed form
// wherever the response is above -40 dB (the windowed segments' bias for responses this short
// is far below that), the block delay to the sample, the aligned response's peak at lag 0 and
// the impulse response equal to the filter's taps.
TEST(TransferFunction, MatchesKnownSystems) {
    const std::vector<CSystem> systems{
        {"VirtualCardFilter", {0.3L, 0.15L, 0.05L}, {}, 304},
        kLowPass,
        {"Leading", {0.0L, 1.0L, -0.5L}, {}, -25},
    };
    for (const CSystem& system : systems) {
        SCOPED_TRACE(system.name);
        // Where the system's own impulse response peaks, the delay aside.
        CSystem undelayed = system;
        undelayed.delay = 0;
        std::vector<double> impulse(64, 0.0);
        impulse[0] = 1.0;
        impulse = undelayed.Apply(impulse);
        const auto peak =
            int(std::max_element(impulse.begin(), impulse.end(),
                                 [](double a, double b) { return std::fabs(a) < std::fabs(b); }) -
                impulse.begin());
        CCrossSpectrum spectrum;
        ASSERT_TRUE(spectrum.Configure(kSegment, CDSPFFTData::WindowHanning, 0.5));
        const int segments = (kPass - std::abs(system.delay) - kSegment) / (kSegment / 2) + 1;
        for (unsigned pass = 0; pass < 4; ++pass) {
            const std::vector<double> x = UniformNoise(kPass, 11 + pass);
            const std::vector<double> y = system.Apply(x);
            const CDelayEstimate found = FindBlockDelay(x.data(), y.data(), kPass);
            ASSERT_EQ(found.samples, system.delay + peak);
            EXPECT_EQ(AddAligned(spectrum, x, y, system.delay), segments);
        }
        const CTransferEstimate h = EstimateTransfer(spectrum.Averaged());
        double worstDb = 0.0, worstDeg = 0.0;
        for (size_t k = 8; k + 8 < h.re.size(); ++k) {
            const std::complex<long double> truth = system.Response((long double)k / kSegment);
            const double truthDb = double(20.0L * std::log10(std::abs(truth)));
            if (truthDb < -40.0) continue;
            worstDb = std::max(worstDb, std::fabs(h.MagnitudeDb(k) - truthDb));
            const double deg = std::remainder(
                h.PhaseDegrees(k) - double(std::arg(truth)) * 180.0 / std::numbers::pi, 360.0);
            worstDeg = std::max(worstDeg, std::fabs(deg));
            ASSERT_GT(h.coherence[k], 0.9999) << k;
        }
        EXPECT_LT(worstDb, 0.01);
        EXPECT_LT(worstDeg, 0.1);
        const std::vector<double> ir = ImpulseResponse(h);
        ASSERT_EQ(ir.size(), size_t(kSegment));
        if (system.a.empty()) {
            for (size_t k = 0; k < system.b.size(); ++k)
                EXPECT_NEAR(ir[k], double(system.b[k]), 2e-3) << k;
        }
    }
}

// White reference, white noise added to a filtered copy: the coherence of each band of 64 bins
// agrees with |H|^2 / (|H|^2 + s^2), the share of the measured power the reference explains
// (both noises uniform, so their variances are in the same ratio as their scales squared).
// 16 passes of 31 segments leave a bias of (1 - g)^2 / 496 and a spread far below 0.02.
TEST(TransferFunction, CoherenceIsTheSignalsShareOfThePower) {
    const CSystem smooth{"Smooth", {0.25L, 0.5L, 0.25L}, {}, 0};
    const double s = 0.5;
    CCrossSpectrum spectrum;
    ASSERT_TRUE(spectrum.Configure(kSegment, CDSPFFTData::WindowHanning, 0.5));
    for (unsigned pass = 0; pass < 16; ++pass) {
        const std::vector<double> x = UniformNoise(kPass, 100 + pass);
        std::vector<double> y = smooth.Apply(x);
        const std::vector<double> n = UniformNoise(kPass, 900 + pass);
        for (size_t i = 0; i < y.size(); ++i)
            y[i] += s * n[i];
        spectrum.AddPass(x.data(), y.data(), kPass);
    }
    EXPECT_EQ(spectrum.Segments(), 16 * 31);
    const CTransferEstimate h = EstimateTransfer(spectrum.Averaged());
    for (size_t band = 0; band + 64 <= h.coherence.size(); band += 64) {
        double measured = 0.0, theory = 0.0;
        for (size_t k = band; k < band + 64; ++k) {
            const double g = double(std::norm(smooth.Response((long double)k / kSegment)));
            measured += h.coherence[k] / 64;
            theory += g / (g + s * s) / 64;
        }
        EXPECT_NEAR(measured, theory, 0.02) << "bins from " << band;
    }
}

// Three passes of a system of gain 1, then two of gain 0.5: what each averaging keeps. Passes of
// equal length carry equal power within a few per cent, so mixes are stated within 0.02.
TEST(TransferFunction, AveragingModesKeepTheirPasses) {
    struct CCase {
        ESpectrumAveraging mode;
        int count;
        double gain; // of the averaged H
        double tolerance;
        int passes;
    };
    const std::vector<CCase> cases{
        {ESpectrumAveraging::kPasses, 2, 0.5, 1e-12, 2},
        {ESpectrumAveraging::kPasses, 4, 0.75, 0.02, 4},
        {ESpectrumAveraging::kExponential, 1, 0.5, 1e-12, 5},
        {ESpectrumAveraging::kExponential, 4, 0.75 * 0.875 + 0.25 * 0.5, 0.02, 5},
        {ESpectrumAveraging::kInfinite, 4, 0.8, 0.02, 5},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.mode) << " of " << c.count);
        CCrossSpectrum spectrum;
        ASSERT_TRUE(spectrum.Configure(1024, CDSPFFTData::WindowHanning, 0.5));
        spectrum.SetAveraging(c.mode, c.count);
        for (unsigned pass = 0; pass < 5; ++pass) {
            const std::vector<double> x = UniformNoise(16384, 40 + pass);
            std::vector<double> y = x;
            for (double& v : y)
                v *= pass < 3 ? 1.0 : 0.5;
            spectrum.AddPass(x.data(), y.data(), 16384);
        }
        EXPECT_EQ(spectrum.Passes(), c.passes);
        const auto meanGain = [&spectrum] {
            const CTransferEstimate h = EstimateTransfer(spectrum.Averaged());
            double mean = 0.0;
            for (size_t k = 1; k < 512; ++k)
                mean += h.re[k] / 511;
            return mean;
        };
        EXPECT_NEAR(meanGain(), c.gain, c.tolerance);
        // A window narrowed to the last two passes holds only the second system's.
        if (c.mode == ESpectrumAveraging::kPasses && c.count > 2) {
            spectrum.SetAveraging(c.mode, 2);
            EXPECT_NEAR(meanGain(), 0.5, 1e-12);
        }
        CTransferEstimate h;
        // After a reset only what follows counts.
        spectrum.Reset();
        const std::vector<double> x = UniformNoise(16384, 7);
        std::vector<double> y(x.size());
        for (size_t i = 0; i < x.size(); ++i)
            y[i] = -2.0 * x[i];
        EXPECT_EQ(spectrum.AddPass(x.data(), y.data(), 1023), 0);
        EXPECT_EQ(spectrum.Passes(), 0);
        spectrum.AddPass(x.data(), y.data(), 16384);
        h = EstimateTransfer(spectrum.Averaged());
        EXPECT_NEAR(h.re[100], -2.0, 1e-12);
        EXPECT_NEAR(h.MagnitudeDb(100), 20.0 * std::log10(2.0), 1e-9);
    }
}

// The peak of a response: whole samples, negative lags from the end, the sub-sample parabola
// (a response split evenly over two samples peaks half-way), and the block delay found with a
// band-limited excitation (noise low-passed as music is), which leaves most bins empty.
TEST(TransferFunction, DelayFromTheImpulseResponse) {
    std::vector<double> r(256, 0.0);
    r[10] = r[11] = 0.5;
    CDelayEstimate d = FindImpulseDelay(r);
    EXPECT_EQ(d.samples, 10);
    EXPECT_DOUBLE_EQ(d.fraction, 0.5);
    r.assign(256, 0.01);
    r[253] = -1.0;
    d = FindImpulseDelay(r);
    EXPECT_EQ(d.samples, -3);
    EXPECT_DOUBLE_EQ(d.fraction, 0.0);
    EXPECT_GT(d.prominence, 10.0);
    EXPECT_DOUBLE_EQ(d.distinct, 100.0);
    // A tone's response: a peak every period, none distinct from the trough half a period on.
    for (size_t t = 0; t < r.size(); ++t)
        r[t] = std::cos(2.0 * std::numbers::pi * double(t) / 32.0) * (1.0 - double(t) / 512.0);
    d = FindImpulseDelay(r);
    EXPECT_EQ(d.samples, 0);
    EXPECT_NEAR(d.distinct, 1.0 / (1.0 - 16.0 / 512.0), 1e-12);

    const std::vector<double> music = kLowPass.Apply(kLowPass.Apply(UniformNoise(kPass, 3)));
    for (int delay : {0, 1, 4801, 30000, -999}) {
        const std::vector<double> y = CSystem{"Delay", {0.7L}, {}, delay}.Apply(music);
        EXPECT_EQ(FindBlockDelay(music.data(), y.data(), kPass).samples, delay);
    }

    // Removing the delay of a pure delay leaves phase 0 everywhere.
    CTransferEstimate h;
    h.re.resize(129);
    h.im.resize(129);
    for (size_t k = 0; k < 129; ++k) {
        h.re[k] = std::cos(-2.0 * std::numbers::pi * double(k) * 7.0 / 256);
        h.im[k] = std::sin(-2.0 * std::numbers::pi * double(k) * 7.0 / 256);
    }
    RemoveDelay(h, 7.0);
    for (size_t k = 0; k < 129; ++k)
        ASSERT_NEAR(h.PhaseDegrees(k), 0.0, 1e-9) << k;
}

} // namespace
