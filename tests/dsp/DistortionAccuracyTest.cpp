// Distortion readings of synthesized blocks against the signal they were made from: tones on
// and between bins at 48 kHz and 4096 points, harmonics and intermodulation products of known
// level, white noise whose power is summed from the very samples added. The truth is computed
// in long double from the signal's construction, never from a spectrum.

#include "dsp/DSPFFTData.h"
#include "dsp/StandardIMD.h"
#include "dsp/ToneLobes.h"
#include "dsp/ToneNoise.h"
#include "dsp/WindowGain.h"

#include "common/CaseName.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kN = 4096;
constexpr double kRate = 48000.0;
constexpr double kOnBin = 85 * kRate / kN; // 996.09375 Hz, the centre of bin 85
constexpr long double kTwoPi = 2.0L * std::numbers::pi_v<long double>;

struct CTone {
    double frequency;
    long double amplitude;
    long double phase;
};

// White Gaussian noise from a fixed 64-bit generator (Box-Muller), the same on every platform.
class CNoise {
public:
    long double Next() {
        if (m_spare) {
            m_spare = false;
            return m_second;
        }
        const long double u1 = (Uniform() + 1.0L) / 9007199254740993.0L; // never 0
        const long double u2 = Uniform() / 9007199254740992.0L;
        const long double r = std::sqrt(-2.0L * std::log(u1));
        m_second = r * std::sin(kTwoPi * u2);
        m_spare = true;
        return r * std::cos(kTwoPi * u2);
    }

private:
    long double Uniform() { // 53 random bits
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<long double>(m_state >> 11);
    }
    uint64_t m_state = 0x5EED;
    bool m_spare = false;
    long double m_second = 0.0L;
};

// A block of the tones plus noise of rms `noiseRms`; `noisePower` gets the noise samples' own
// mean square.
void Synthesize(CDSPFFTData& block, const std::vector<CTone>& tones, long double noiseRms,
                long double& noisePower, int n = kN) {
    ASSERT_TRUE(block.Create(1, n, kRate));
    double* x = block.GetTimeObj()->GetDataPointer();
    CNoise noise;
    noisePower = 0.0L;
    for (int i = 0; i < n; ++i) {
        long double v = 0.0L;
        for (const CTone& t : tones)
            v += t.amplitude * std::sin(kTwoPi * t.frequency * i / kRate + t.phase);
        const long double e = noiseRms * noise.Next();
        noisePower += e * e / n;
        x[i] = static_cast<double>(v + e);
    }
}

double Percent(long double ratio) {
    return static_cast<double>(ratio * 100.0L);
}

struct CAccuracyCase {
    std::string name;
    int window;
    double f1;
    long double noiseRms;
    double thdnFloor; // 0: THD+N within 2 %; else the most it may add in quadrature, in percent
};

const char* kWindows[] = {"None", "TapRect", "Triangle", "Hanning", "Hamming", "Blackman"};

// Harmonics: 1 % second and 0.5 % third harmonic of a 0.5 V tone.

class HarmonicAccuracy : public testing::TestWithParam<CAccuracyCase> {};

TEST_P(HarmonicAccuracy, ReadsTheSynthesizedDistortion) {
    const CAccuracyCase& c = GetParam();
    const long double a = 0.5L, h2 = 0.01L, h3 = 0.005L;
    CDSPFFTData block;
    long double noisePower = 0.0L;
    Synthesize(block, {{c.f1, a, 0.3L}, {2 * c.f1, a * h2, 1.1L}, {3 * c.f1, a * h3, 2.5L}},
               c.noiseRms, noisePower);
    ASSERT_TRUE(block.DoFFT(c.window));
    const CDSPData& spectrum = *block.GetFreqObj();
    const int w = c.window;
    const double thd = Percent(std::sqrt(h2 * h2 + h3 * h3));
    const double thdn = Percent(std::sqrt(h2 * h2 + h3 * h3 + noisePower / (a * a / 2.0L)));

    // The bounds are about twice the worst error of the six cases: the noise of 0.01 % under the
    // harmonics' lobes and Hamming's far side lobes (0.25 % of the third harmonic, 0.18 % of
    // THD, 0.002 bins of the tone). A correction off by half a percent fails them.
    for (double ref : {0.0, c.f1}) { // the strongest bin, and the tone named by its frequency
        SCOPED_TRACE(kWindows[w] + std::string(ref == 0.0 ? ", strongest" : ", at Ref"));
        EXPECT_NEAR(spectrum.GetToneFrequency(ref, w), c.f1, 0.005 * kRate / kN);
        if (c.noiseRms < 1e-4L) { // noise that drowns a harmonic is THD+N's business alone
            EXPECT_NEAR(spectrum.GetHarmonicDistortion(ref, 2, w), Percent(h2),
                        Percent(h2) * 0.005);
            EXPECT_NEAR(spectrum.GetHarmonicDistortion(ref, 3, w), Percent(h3),
                        Percent(h3) * 0.005);
            EXPECT_LT(spectrum.GetHarmonicDistortion(ref, 4, w), Percent(h3) * 0.1);
            EXPECT_NEAR(spectrum.GetTHD(ref, w), thd, thd * 0.004);
        }
        const double got = spectrum.GetTHDPlusN(ref, w);
        EXPECT_GT(got, thdn * 0.98);
        EXPECT_LT(got, c.thdnFloor == 0.0 ? thdn * 1.02 : std::hypot(thdn, c.thdnFloor));
    }
}

// Noise of 0.01 % of the tone leaves the harmonics' lobes clean; 0.5 % is half of THD+N.
INSTANTIATE_TEST_SUITE_P(
    Windows, HarmonicAccuracy,
    testing::Values(
        CAccuracyCase{"NoneOnBin", CDSPFFTData::WindowNone, kOnBin, 5e-5L, 0.0},
        CAccuracyCase{"NoneOnBinNoisy", CDSPFFTData::WindowNone, kOnBin, 2.5e-3L, 0.0},
        CAccuracyCase{"Hanning997", CDSPFFTData::WindowHanning, 997.0, 5e-5L, 0.0},
        CAccuracyCase{"Blackman997Noisy", CDSPFFTData::WindowBlackman, 997.0, 2.5e-3L, 0.0},
        // Hamming's far side lobes put a floor under THD+N: the limit the documentation states.
        CAccuracyCase{"Hamming1000", CDSPFFTData::WindowHamming, 1000.0, 5e-5L, 1.6},
        CAccuracyCase{"Hamming997", CDSPFFTData::WindowHamming, 997.0, 5e-5L, 0.45}),
    CaseName());

// Intermodulation: two 0.4 V tones with known second- and third-order products.

class IMDAccuracy : public testing::TestWithParam<CAccuracyCase> {};

TEST_P(IMDAccuracy, ReadsTheSynthesizedProducts) {
    const CAccuracyCase& c = GetParam();
    // f2 = 1.37 f1 keeps every product of orders 2 to 4 apart from the others and the tones.
    const double f1 = c.f1, f2 = c.f1 == kOnBin ? 117 * kRate / kN : 1.37 * c.f1;
    const long double a = 0.4L, p21 = 0.004L, p22 = 0.002L, p3 = 0.003L;
    CDSPFFTData block;
    long double noisePower = 0.0L;
    Synthesize(block,
               {{f1, a, 0.2L},
                {f2, a, 1.4L},
                {f2 - f1, p21, 0.7L},
                {2 * f1, p22, 2.0L},
                {2 * f1 - f2, p3, 0.9L}},
               c.noiseRms, noisePower);
    ASSERT_TRUE(block.DoFFT(c.window));
    const CDSPData& spectrum = *block.GetFreqObj();
    const long double tones = std::sqrt(2.0L * a * a);
    const double imd2 = Percent(std::sqrt(p21 * p21 + p22 * p22) / tones);
    const double imd3 = Percent(p3 / tones);

    for (const auto& [r1, r2] : {std::pair{0.0, 0.0}, std::pair{f1, f2}}) {
        SCOPED_TRACE(kWindows[c.window] + std::string(r1 == 0.0 ? ", strongest" : ", at Refs"));
        EXPECT_NEAR(spectrum.Get2ndOrderIMD(r1, r2, c.window), imd2, imd2 * 0.01);
        EXPECT_NEAR(spectrum.Get3rdOrderIMD(r1, r2, c.window), imd3, imd3 * 0.01);
        EXPECT_LT(spectrum.Get4thOrderIMD(r1, r2, c.window), imd3 * 0.1);
    }
    EXPECT_NEAR(spectrum.GetToneFrequency(f1, c.window), f1, 0.05 * kRate / kN);
    EXPECT_NEAR(spectrum.GetSecondToneFrequency(f1, f2, c.window), f2, 0.05 * kRate / kN);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, IMDAccuracy,
    testing::Values(CAccuracyCase{"NoneOnBin", CDSPFFTData::WindowNone, kOnBin, 5e-5L, 0.0},
                    CAccuracyCase{"Hanning997", CDSPFFTData::WindowHanning, 997.0, 5e-5L, 0.0}),
    CaseName());

// The standard two-tone methods against signals made from their own definitions, 2 % bounds.
// SMPTE/DIN: 7 kHz amplitude-modulated by 60 Hz (depth 1 %) and by 120 Hz (0.5 %), the 60 Hz
// tone four times as large: the envelope's rms variation against the carrier is
// sqrt(1 % ^ 2 + 0.5 % ^ 2). A modulation of depth m puts m / 2 of the carrier on either side.
// CCIF: 19 and 20 kHz tones (unequal, so a denominator other than their sum shows) with a
// 1 kHz difference tone and the third-order products at 18 and 21 kHz.
TEST(StandardIMD, ReadsTheSynthesizedModulationAndDifferenceTones) {
    const long double carrier = 0.1L, m1 = 0.01L, m2 = 0.005L;
    const long double t1 = 0.4L, t2 = 0.3L, d2 = 0.002L, d3a = 0.0015L, d3b = 0.001L;
    for (int w : {int(CDSPFFTData::WindowBlackman), int(CDSPFFTData::WindowFlatTop)}) {
        SCOPED_TRACE(w);
        CDSPFFTData smpte, ccif;
        long double unused = 0.0L;
        Synthesize(smpte,
                   {{60.0, 4 * carrier, 0.1L},
                    {7000.0, carrier, 0.0L},
                    {7060.0, carrier * m1 / 2, 0.5L},
                    {6940.0, carrier * m1 / 2, -0.5L},
                    {7120.0, carrier * m2 / 2, 1.0L},
                    {6880.0, carrier * m2 / 2, -1.0L}},
                   0.0L, unused, 32768);
        Synthesize(ccif,
                   {{19000.0, t1, 0.0L},
                    {20000.0, t2, 0.7L},
                    {1000.0, d2, 0.3L},
                    {18000.0, d3a, 1.3L},
                    {21000.0, d3b, 2.2L}},
                   0.0L, unused, 32768);
        ASSERT_TRUE(smpte.DoFFT(w) && ccif.DoFFT(w));
        const double smpteTruth = Percent(std::hypot(m1, m2));
        for (const auto& [f1, f2] : {std::pair{0.0, 0.0}, {60.0, 7000.0}})
            EXPECT_NEAR(SmpteIMD(*smpte.GetFreqObj(), w, f1, f2), smpteTruth, smpteTruth * 0.02);
        const CDifferenceFrequencyIMD got = DifferenceFrequencyIMD(*ccif.GetFreqObj(), w, 0, 0);
        EXPECT_NEAR(got.d2, Percent(d2 / (t1 + t2)), Percent(d2 / (t1 + t2)) * 0.02);
        EXPECT_NEAR(got.d3, Percent((d3a + d3b) / (t1 + t2)),
                    Percent((d3a + d3b) / (t1 + t2)) * 0.02);
    }
}

// Noise readings of a 0.5 V tone with a 0.1 % second harmonic and white noise, whose power is
// summed from the very samples added; the A-weighted case adds a 100 Hz tone instead of noise,
// which the weighting lowers by the standard's tabled 19.1 dB. Read corrected (tones at their
// amplitude) and uncorrected (at the window's gain): the rms and the ratios are the same. The
// levels stay 20 dB above what each window's far side lobes leak past the tone's guard bins
// (about -65 dB of the tone for Hanning, -85 dB for flat-top): that is the window's floor.
struct CNoiseCase {
    const char* name;
    int window;
    long double noiseRms, hum; // hum: the 100 Hz tone's amplitude
    bool aWeighted;
    bool corrected;
};

class ToneNoiseAccuracy : public testing::TestWithParam<CNoiseCase> {};

TEST_P(ToneNoiseAccuracy, ReadsTheSynthesizedNoise) {
    const CNoiseCase& c = GetParam();
    const long double a = 0.5L, h2 = 0.0005L;
    CDSPFFTData block;
    long double noisePower = 0.0L;
    Synthesize(block, {{997.0, a, 0.3L}, {1994.0, h2, 1.1L}, {100.0, c.hum, 0.4L}}, c.noiseRms,
               noisePower, 65536);
    ASSERT_TRUE(block.DoFFT(c.window));
    ASSERT_TRUE(!c.corrected || CorrectWindowAmplitude(block, c.window));
    CToneNoiseOptions options;
    options.window = c.window;
    options.aWeighted = c.aWeighted;
    options.noiseBandwidth = WindowNoiseBandwidth(block, c.window);
    options.toneGain = c.corrected ? 1.0 : WindowCoherentGain(block, c.window);
    const CToneNoise got = ReadToneNoise(*block.GetFreqObj(), options);

    const long double weight = c.aWeighted ? std::pow(10.0L, -19.1L / 20) : 1.0L;
    const long double noise = noisePower + c.hum * c.hum * weight * weight / 2;
    const long double residual = noise + h2 * h2 / 2, signal = a * a / 2;
    const auto db = [](long double ratio) { return double(10 * std::log10(ratio)); };
    EXPECT_NEAR(20 * std::log10(got.residualRms), db(residual), 0.1);
    EXPECT_NEAR(20 * std::log10(got.noiseRms), db(noise), 0.1);
    EXPECT_NEAR(got.snrDb, db(signal / noise), 0.1);
    EXPECT_NEAR(got.sinadDb, db((signal + residual) / residual), 0.1);
    // Noise of variance s^2 puts 4 s^2 / N in each bin of a lobe of L bins: the harmonic it
    // fakes reads sqrt(4 L s^2 / N) / A.
    const int lobe = 2 * CToneLobes::LobeHalfWidth(c.window) + 1, n = 65536;
    const double floor = Percent(std::sqrt(4.0L * lobe * noisePower / n) / a);
    if (c.noiseRms > 0) {
        EXPECT_NEAR(got.floorPercent, floor, floor * 0.05);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, ToneNoiseAccuracy,
    testing::Values(
        CNoiseCase{"Hanning", CDSPFFTData::WindowHanning, 2e-3L, 0, false, true},
        CNoiseCase{"FlatTopUncorrected", CDSPFFTData::WindowFlatTop, 3e-4L, 0, false, false},
        CNoiseCase{"BlackmanAWeighted", CDSPFFTData::WindowBlackman, 0, 0.05L, true, true}),
    CaseName());

// Window amplitude correction.

// A full-scale tone reads full scale once corrected, and no ratio moves. Sums of
// cos(2 pi m i / (N - 1)) over i = 0 .. N - 1 are 1, so each window's mean weight has a closed
// form.
TEST(WindowGain, FullScaleToneReadsFullScale) {
    for (const auto& [w, mean] : {std::pair{int(CDSPFFTData::WindowNone), 1.0},
                                  {CDSPFFTData::WindowHanning, 0.5 - 0.5 / kN},
                                  {CDSPFFTData::WindowHamming, 0.53836 - 0.46164 / kN},
                                  {CDSPFFTData::WindowBlackman, 0.42 - 0.42 / kN}}) {
        SCOPED_TRACE(kWindows[w]);
        CDSPFFTData block;
        long double unused = 0.0L;
        Synthesize(block, {{kOnBin, 1.0L, 0.0L}}, 0.0L, unused);
        EXPECT_NEAR(WindowCoherentGain(block, w), mean, 1e-12);
        ASSERT_TRUE(block.DoFFT(w));
        const double thd = block.GetFreqObj()->GetTHD(0.0, w);
        EXPECT_NEAR(block.GetFreqObj()->GetDataPointer()[85], mean, 1e-4);
        ASSERT_TRUE(CorrectWindowAmplitude(block, w));
        EXPECT_NEAR(block.GetFreqObj()->GetDataPointer()[85], 1.0, 1e-4);
        EXPECT_NEAR(block.GetFreqObj()->GetTHD(0.0, w), thd, thd * 1e-12); // ratios do not move
    }
}

TEST(WindowGain, LeavesBlocksWithoutAToneToCorrectAlone) {
    CDSPFFTData none;
    EXPECT_FALSE(CorrectWindowAmplitude(none, CDSPFFTData::WindowHanning));
    // Two samples of Hanning weigh zero: nothing is divided by it.
    CDSPFFTData tiny;
    ASSERT_TRUE(tiny.Create(1, 2, kRate));
    tiny.GetTimeObj()->GetDataPointer()[0] = 1.0;
    ASSERT_TRUE(tiny.DoFFT(CDSPFFTData::WindowHanning));
    EXPECT_TRUE(CorrectWindowAmplitude(tiny, CDSPFFTData::WindowHanning));
    EXPECT_EQ(tiny.GetFreqObj()->GetDataPointer()[0], 0.0);
}

} // namespace
