// The swept sine and the analysis's windows on a known device (a polynomial, an FIR filter, a
// gain and a whole-sample delay, computed here in long double): harmonic orders kept apart, the
// gate, and octave smoothing against closed forms. The response and distortion against a device
// model are checked through the virtual card by the Sweep Analyzer's tests.
#include "dsp/OctaveSmoothing.h"
#include "dsp/SweepAnalysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace {

using LD = long double;
constexpr LD kPi = std::numbers::pi_v<long double>;
constexpr double kFs = 48000.0;
constexpr int32_t kN = 65536;

struct CDevice {
    std::vector<LD> harmonics; // coefficients of x^2, x^3, ...
    std::vector<LD> taps{1.0L};
    LD gain = 1.0L;
    int delay = 0;

    // One period of the steady-state output for the periodic input x.
    std::vector<double> Play(const std::vector<double>& x) const {
        const size_t n = x.size();
        std::vector<LD> shaped(n);
        for (size_t i = 0; i < n; ++i) {
            LD y = x[i], power = x[i];
            for (LD c : harmonics) {
                power *= x[i];
                y += c * power;
            }
            shaped[i] = y;
        }
        std::vector<double> out(n);
        for (size_t i = 0; i < n; ++i) {
            LD sum = 0;
            for (size_t j = 0; j < taps.size(); ++j)
                sum += taps[j] * shaped[(i + 2 * n - size_t(delay) - j) % n];
            out[i] = double(gain * sum);
        }
        return out;
    }
};

struct CMeasured {
    CSweptSine sweep{100.0, 20000.0, 1.0, kFs};
    CSweepResponse r;
};

CMeasured Measure(const CDevice& device, double level, double start = 20.0, double stop = 20000.0,
                  CSweepGate gate = {}) {
    CMeasured m{CSweptSine(start, stop, 1.0, kFs), {}};
    std::vector<double> x(size_t(kN), 0.0);
    m.sweep.Fill(std::span(x).first(size_t(m.sweep.Samples())), level);
    std::vector<double> h = DeconvolveSweep(device.Play(x), m.sweep);
    for (double& v : h)
        v /= level;
    AnalyseSweep(h, SweepCorrection(m.sweep, kN, gate), m.sweep, gate, EOctaveSmoothing::None, m.r);
    return m;
}

double Db(LD x) {
    return double(20 * std::log10(std::fabs(x)));
}

TEST(SweptSine, RoundsTheRateToWholeCyclesAndPlaysTheExponentialSweep) {
    const CSweptSine s(20.0, 20000.0, 1.0, kFs);
    const LD cycles = LD(s.Start()) * LD(s.Rate());
    EXPECT_NEAR(double(cycles), std::round(double(cycles)), 1e-9);
    EXPECT_NEAR(s.Duration(), 1.0, 1.0 / s.Start()) << "within a cycle of the request";
    // Between the fades: sin(2 pi f1 L exp(t / L)), computed in long double.
    for (double t : {0.2, 0.5, 0.9}) {
        const LD expected = std::sin(2 * kPi * cycles * std::exp(LD(t) / LD(s.Rate())));
        EXPECT_NEAR(s.Value(t), double(expected), 1e-9) << t;
    }
    EXPECT_EQ(s.Value(-1e-3), 0.0);
    EXPECT_EQ(s.Value(s.Duration() + 1e-3), 0.0);
}

TEST(SweptSine, RefusesWhatCannotBePlayed) {
    EXPECT_EQ(CSweptSine::Refusal(20, 20000, 1.0, kFs, kN), "");
    for (const auto& [start, stop, seconds, block, words] :
         std::vector<std::tuple<double, double, double, int32_t, const char*>>{
             {20, 20000, 0.05, kN, "too short"},
             {1000, 1000, 1.0, kN, "below the stop"},
             {20, 30000, 1.0, kN, "above half the sample rate"},
             {20, 20000, 2.0, kN, "do not fit"},
             {0, 20000, 1.0, kN, "above 0"}})
        EXPECT_NE(CSweptSine::Refusal(start, stop, seconds, kFs, block).find(words),
                  std::string::npos)
            << words;
}

// A device of second order alone: its harmonic response stays out of the windows of orders 3
// to 5 to below -60 dB of it.
TEST(SweepAnalysis, HarmonicResponsesDoNotLeakIntoTheirNeighbours) {
    CDevice device;
    device.harmonics = {0.05L};
    const CMeasured m = Measure(device, 0.8);
    for (size_t i = 0; i < m.r.frequency.size(); ++i) {
        const double hd2 = m.r.harmonic[2][i];
        if (std::isnan(hd2) || m.r.frequency[i] < 2 * m.sweep.Start()) continue;
        for (int k = 3; k <= CSweepResponse::kMaxOrder; ++k) {
            if (!std::isnan(m.r.harmonic[size_t(k)][i])) {
                ASSERT_LT(Db(m.r.harmonic[size_t(k)][i]), Db(hd2) - 60)
                    << "HD" << k << " at " << m.r.frequency[i];
            }
        }
    }
}

// Two paths, the second 5 ms later at half the level: ungated the response ripples between
// 1.5 and 0.5; a gate that ends before the reflection leaves it flat.
TEST(SweepAnalysis, GateRemovesTheReflection) {
    CDevice device;
    device.delay = 100;
    device.taps.assign(241, 0.0L);
    device.taps[0] = 1.0L;
    device.taps[240] = 0.5L;
    const auto spread = [](const CMeasured& m) {
        double low = 1e9, high = -1e9;
        for (size_t i = 0; i < m.r.frequency.size(); ++i) {
            if (m.r.frequency[i] < 500 || m.r.frequency[i] > 10000) continue;
            low = std::min(low, Db(std::abs(m.r.response[i])));
            high = std::max(high, Db(std::abs(m.r.response[i])));
        }
        return high - low;
    };
    EXPECT_GT(spread(Measure(device, 0.5)), 9.0);
    const CSweepGate gate{-0.0005, 0.004, CSweepGate::EShape::Tukey};
    EXPECT_LT(spread(Measure(device, 0.5, 20.0, 20000.0, gate)), 0.1);
}

// The gated impulse is the deconvolved block about its peak times the window: 1 inside, a
// raised cosine over the outer share of each side (all of it for Hann, half for Tukey, none
// for Rect), taken here from cos() itself. One result analysed into again and again, as the
// analyser does every block, holds the last analysis alone.
TEST(SweepAnalysis, GatedImpulseIsTheBlockTimesTheWindow) {
    const CSweptSine sweep(20.0, 20000.0, 1.0, kFs);
    CDevice device;
    device.delay = kN - 30; // the peak wraps: its pre side lies at the block's end
    device.taps = {0.2L, 1.0L, -0.4L};
    std::vector<double> x(size_t(kN), 0.0);
    sweep.Fill(std::span(x).first(size_t(sweep.Samples())), 0.5);
    const std::vector<double> h = DeconvolveSweep(device.Play(x), sweep);
    CSweepResponse r; // first with the longest gate there is
    AnalyseSweep(h, SweepCorrection(sweep, kN, {}), sweep, {}, EOctaveSmoothing::Oct3, r);
    for (auto shape :
         {CSweepGate::EShape::Rect, CSweepGate::EShape::Tukey, CSweepGate::EShape::Hann}) {
        const CSweepGate gate{-0.002, 0.01, shape};
        AnalyseSweep(h, SweepCorrection(sweep, kN, gate), sweep, gate, EOctaveSmoothing::None, r);
        for (size_t size : {r.frequency.size(), r.response.size(), r.thd.size(),
                            r.groupDelay.size(), r.harmonic[2].size(), r.harmonicNoise[5].size()})
            ASSERT_EQ(size, 479u); // 48 points an octave from 20 Hz to 20 kHz
        ASSERT_EQ(r.delay, kN - 29);
        const int pre = r.impulsePre, post = int(r.impulse.size()) - pre - 1;
        ASSERT_EQ(pre, 96);
        ASSERT_EQ(post, 480);
        const double share = shape == CSweepGate::EShape::Hann    ? 1.0
                             : shape == CSweepGate::EShape::Tukey ? 0.5
                                                                  : 0.0;
        for (int j = -pre; j <= post; ++j) {
            const int side = j < 0 ? pre : post, length = int(share * side);
            const int t = std::abs(j) - (side - length);
            const double w = t < 0 || length == 0 ? 1.0 : 0.5 * (1 + std::cos(kPi * t / length));
            ASSERT_NEAR(r.impulse[size_t(pre + j)], h[size_t((r.delay + j + kN) % kN)] * w, 1e-12)
                << SweepGateShapeNames()[size_t(shape)] << " at " << j;
        }
    }
}

// The peak is the first sample of the largest magnitude, whatever its sign and wherever it
// lies against the blocks the scan reads at once.
TEST(SweepAnalysis, PeakIndexFindsTheFirstLargestMagnitude) {
    for (const auto& [values, peak] : std::vector<std::pair<std::vector<double>, int32_t>>{
             {{0.5}, 0},
             {{0.1, -0.9, 0.3, 0.9, 0.2}, 1},
             {{0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, -0.85}, 8},
             {{0.3, 0.0, 0.0, 0.0, 0.0, -0.7, 0.7}, 5},
             {{0.0, 0.0, 0.0}, 0}})
        EXPECT_EQ(PeakIndex(values), peak);
}

// A tone under a Gaussian bell, far narrower in frequency than the tone is high, has the bell
// as its envelope; the magnitude itself falls to nothing twice a cycle.
TEST(SweepAnalysis, EnvelopeOfAToneIsItsBell) {
    for (double f : {500.0, 3000.0, 12000.0}) {
        std::vector<double> h(3000), bell(h.size());
        for (size_t t = 0; t < h.size(); ++t) {
            bell[t] = std::exp(-0.5 * std::pow((double(t) - 1200.0) / 200.0, 2));
            h[t] = bell[t] * std::cos(2 * kPi * f * LD(t) / kFs + 0.3);
        }
        const std::vector<double> envelope = ImpulseEnvelope(h);
        ASSERT_EQ(envelope.size(), h.size());
        for (size_t t = 0; t < h.size(); ++t)
            ASSERT_NEAR(envelope[t], bell[t], 1e-4) << f << " Hz at " << t;
    }
}

// A comb |H|^2 = 1 + a cos(2 pi f tau) smoothed over [f 2^(-w/2), f 2^(w/2)] averages to
// 1 + a (sin(2 pi f2 tau) - sin(2 pi f1 tau)) / (2 pi tau (f2 - f1)).
TEST(OctaveSmoothing, CombAveragesToTheAnalyticBandMean) {
    constexpr double kBin = 0.5, kTau = 0.003, kA = 0.8;
    std::vector<double> magnitude(48001);
    for (size_t k = 0; k < magnitude.size(); ++k)
        magnitude[k] = std::sqrt(1 + kA * std::cos(2 * std::numbers::pi * k * kBin * kTau));
    for (auto choice : {EOctaveSmoothing::Oct3, EOctaveSmoothing::Oct12, EOctaveSmoothing::Oct1,
                        EOctaveSmoothing::Variable}) {
        const std::vector<double> smoothed = SmoothOctaves(magnitude, kBin, choice);
        for (double f : {200.0, 1000.0, 3100.0, 9000.0}) {
            const double w = OctaveSmoothingWidth(choice, f);
            const LD f1 = f * std::exp2(-w / 2), f2 = f * std::exp2(w / 2);
            const LD mean =
                1 + kA * (std::sin(2 * kPi * f2 * kTau) - std::sin(2 * kPi * f1 * kTau)) /
                        (2 * kPi * kTau * (f2 - f1));
            EXPECT_NEAR(smoothed[size_t(f / kBin)], double(std::sqrt(mean)), 1e-4)
                << OctaveSmoothingNames()[size_t(choice)] << " at " << f;
        }
    }
}

// The psychoacoustic choice is the cubic mean: across a step from 1 to 2 (linear within the
// bin between, so the step stands at its middle) the mean of the cubes, cube-rooted.
TEST(OctaveSmoothing, PsychoacousticTakesTheCubicMean) {
    std::vector<double> magnitude(4001, 1.0);
    for (size_t k = 1000; k < magnitude.size(); ++k)
        magnitude[k] = 2.0;
    const COctaveSmoother cubic(magnitude, 1.0, 3.0);
    const double w = 2 * std::log2(1.1); // the band 909 .. 1100 Hz around 1000 Hz
    const double f1 = 1000 / 1.1, f2 = 1100, step = 999.5;
    EXPECT_NEAR(cubic.At(1000.0, w), std::cbrt(((step - f1) + (f2 - step) * 8) / (f2 - f1)), 1e-9);
    EXPECT_DOUBLE_EQ(OctaveSmoothingPower(EOctaveSmoothing::Psychoacoustic), 3.0);
}

} // namespace
