// The forward and inverse transforms against a direct DFT and closed-form spectra.

#include "dsp/DSPFFTData.h"

#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <random>
#include <vector>

namespace {
const double kPi = 3.14159265358979323846;
const long double kPiL = 3.141592653589793238462643383279502884L;

// Error bounds, full scale 1.0. An amplitude passes log2 N butterfly stages, each adding about
// an ulp of a partial sum that stays near sqrt(N) for noise, and is then scaled by 2/N: a few
// ulps per stage cover it (measured: 2e-15 at N = 4096 against a bound of 2.3e-14).
double AmplitudeBound(int32_t n) {
    return 8.0 * (std::log2(n) + 1.0) * DBL_EPSILON;
}
// A round trip also undoes the twiddle factors, which are advanced by up to N/2 complex
// multiplications within a stage, so its error grows with N (measured: 1e-13 at N = 4096).
double RoundTripBound(int32_t n) {
    return n * DBL_EPSILON + AmplitudeBound(n);
}

struct CDftBin {
    double magnitude; // single-sided amplitude
    double degrees;
};

// Direct O(N^2) DFT in long double with exactly reduced angles (k*t mod N).
std::vector<CDftBin> DirectDft(const std::vector<double>& x) {
    const auto n = static_cast<int64_t>(x.size());
    std::vector<CDftBin> bins(x.size());
    for (int64_t k = 0; k < n; ++k) {
        long double re = 0.0L;
        long double im = 0.0L;
        for (int64_t t = 0; t < n; ++t) {
            const long double angle = 2.0L * kPiL * static_cast<long double>((k * t) % n) / n;
            re += x[t] * std::cos(angle);
            im -= x[t] * std::sin(angle);
        }
        const long double scale = k == 0 ? n : n / 2.0L;
        bins[k] = {static_cast<double>(std::sqrt(re * re + im * im) / scale),
                   static_cast<double>(std::atan2(im, re) * 180.0L / kPiL)};
    }
    return bins;
}

double AngleDifference(double a, double b) {
    return std::fabs(std::remainder(a - b, 360.0));
}

std::vector<double> RandomSignal(int32_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> full(-1.0, 1.0);
    std::vector<double> x(n);
    for (double& v : x)
        v = full(rng);
    return x;
}

void SetTime(CDSPFFTData& block, double fs, const std::vector<double>& x) {
    ASSERT_TRUE(block.Create(1, static_cast<int32_t>(x.size()), fs));
    block.Fill(static_cast<int32_t>(x.size()), x.data(), nullptr, nullptr);
}
} // namespace

class FFTAgainstDirectDft : public ::testing::TestWithParam<int32_t> {};

TEST_P(FFTAgainstDirectDft, MagnitudeAndPhaseAgree) {
    const int32_t n = GetParam();
    const std::vector<double> x = RandomSignal(n, 20240611u + n);
    CDSPFFTData block;
    SetTime(block, 48000.0, x);
    ASSERT_TRUE(block.DoFFT(CDSPFFTData::WindowNone));
    EXPECT_EQ(Values(block.GetTimeObj()), x); // the time array is left alone
    EXPECT_EQ(block.GetFreqObj()->GetNumUsed(), n);
    EXPECT_EQ(block.GetPhaseObj()->GetNumUsed(), n);

    const std::vector<CDftBin> reference = DirectDft(x);
    const double* magnitude = block.GetFreqObj()->GetDataPointer();
    const double* phase = block.GetPhaseObj()->GetDataPointer();
    const double bound = AmplitudeBound(n);
    double worst = 0.0;
    for (int32_t k = 0; k < n; ++k) {
        worst = std::max(worst, std::fabs(magnitude[k] - reference[k].magnitude));
        // Phase of a bin is only defined to about bound/|X| radians; skip near-empty bins.
        if (reference[k].magnitude < 1e-6) continue;
        const double phaseBound = bound / reference[k].magnitude * 180.0 / kPi + 1e-9;
        EXPECT_LE(AngleDifference(phase[k], reference[k].degrees), phaseBound) << "bin " << k;
    }
    EXPECT_LE(worst, bound);
}

TEST_P(FFTAgainstDirectDft, InverseRestoresTheSignal) {
    const int32_t n = GetParam();
    const std::vector<double> x = RandomSignal(n, 7u + n);
    CDSPFFTData block;
    SetTime(block, 48000.0, x);
    ASSERT_TRUE(block.DoFFT(CDSPFFTData::WindowNone));
    const CBlockSnapshot spectrum = Snapshot(block);
    block.Fill(n, std::vector<double>(n, 0.0).data(), nullptr, nullptr);
    ASSERT_TRUE(block.DoIFFT());
    const CBlockSnapshot after = Snapshot(block);
    EXPECT_EQ(after.magnitude, spectrum.magnitude);
    EXPECT_EQ(after.phase, spectrum.phase);
    double worst = 0.0;
    for (int32_t i = 0; i < n; ++i)
        worst = std::max(worst, std::fabs(after.time[i] - x[i]));
    EXPECT_LE(worst, RoundTripBound(n));
}

// Every way the half-size transform ends: no pass (2), a closing pass alone of 4, 8, 16 and 32
// points (8 to 64), radix 16 closed by 16 (512) and by 8 points (4096). The long blocks below
// are closed by 32 (16384), 4 (32768), 8 (65536) and 16 points (131072).
INSTANTIATE_TEST_SUITE_P(Sizes, FFTAgainstDirectDft,
                         ::testing::Values(2, 8, 16, 32, 64, 512, 4096));

struct ToneCase {
    int32_t n;
    int bin;
    double amplitude, degrees;
};

class IFFTOfTone : public ::testing::TestWithParam<ToneCase> {};

// A single-sided spectrum with one tone (mirrored into the upper half) gives back the cosine.
TEST_P(IFFTOfTone, GivesTheClosedFormCosine) {
    const ToneCase& c = GetParam();
    CDSPFFTData block;
    ASSERT_TRUE(block.Create(1, c.n, 8000.0));
    std::vector<double> magnitude(c.n, 0.0);
    std::vector<double> phase(c.n, 0.0);
    magnitude[c.bin] = c.amplitude;
    phase[c.bin] = c.degrees;
    if (c.bin != 0) {
        magnitude[c.n - c.bin] = c.amplitude;
        phase[c.n - c.bin] = -c.degrees;
    }
    block.Fill(c.n, nullptr, magnitude.data(), phase.data());
    ASSERT_TRUE(block.DoIFFT());
    const double* time = block.GetTimeObj()->GetDataPointer();
    // Phases are read with the factor 57.29577951308, which is 180/pi to 4.1e-14 relative.
    const double bound =
        RoundTripBound(c.n) + c.amplitude * std::fabs(c.degrees) * kPi / 180.0 * 5e-14;
    for (int32_t i = 0; i < c.n; ++i) {
        const double expected =
            c.amplitude * std::cos(2.0 * kPi * c.bin * i / c.n + c.degrees * kPi / 180.0);
        EXPECT_NEAR(time[i], expected, bound) << "sample " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Tones, IFFTOfTone,
                         ::testing::Values(ToneCase{8, 1, 1.0, 0.0}, ToneCase{8, 0, 0.25, 0.0},
                                           ToneCase{64, 5, 0.75, -90.0},
                                           ToneCase{1024, 100, 0.5, 30.0},
                                           ToneCase{4096, 1000, 0.1, 135.0}));

struct EightPointCase {
    const char* name;
    std::vector<double> time;
    std::vector<double> magnitude;
    // Expected phases of the bins whose magnitude is not zero; NaN marks "any".
    std::vector<double> phase;
};

class FFTEightPoints : public ::testing::TestWithParam<EightPointCase> {};

TEST_P(FFTEightPoints, MatchesClosedForm) {
    const EightPointCase& c = GetParam();
    CDSPFFTData block;
    SetTime(block, 8000.0, c.time);
    ASSERT_TRUE(block.DoFFT(CDSPFFTData::WindowNone));
    const CBlockSnapshot s = Snapshot(block);
    for (int k = 0; k < 8; ++k) {
        EXPECT_NEAR(s.magnitude[k], c.magnitude[k], 1e-15) << "bin " << k;
        // The degree factor 57.29577951308 is 180/pi to 4e-14: +-90 reads off by 4e-12.
        if (!std::isnan(c.phase[k])) {
            EXPECT_NEAR(s.phase[k], c.phase[k], 1e-11) << "bin " << k;
        }
    }
}

namespace {
const double kAny = std::nan("");
std::vector<double> EightSamples(double (*f)(double)) {
    std::vector<double> x(8);
    for (int i = 0; i < 8; ++i)
        x[i] = f(2.0 * kPi * i / 8.0);
    return x;
}
} // namespace

INSTANTIATE_TEST_SUITE_P(
    Cases, FFTEightPoints,
    ::testing::Values(EightPointCase{"Impulse",
                                     {1, 0, 0, 0, 0, 0, 0, 0},
                                     {0.125, 0.25, 0.25, 0.25, 0.25, 0.25, 0.25, 0.25},
                                     {0, 0, 0, 0, 0, 0, 0, 0}},
                      EightPointCase{"Cosine",
                                     EightSamples([](double a) { return std::cos(a); }),
                                     {0, 1, 0, 0, 0, 0, 0, 1},
                                     {kAny, 0, kAny, kAny, kAny, kAny, kAny, 0}},
                      EightPointCase{"Sine",
                                     EightSamples([](double a) { return std::sin(a); }),
                                     {0, 1, 0, 0, 0, 0, 0, 1},
                                     {kAny, -90, kAny, kAny, kAny, kAny, kAny, 90}},
                      EightPointCase{"Constant",
                                     {0.3, 0.3, 0.3, 0.3, 0.3, 0.3, 0.3, 0.3},
                                     {0.3, 0, 0, 0, 0, 0, 0, 0},
                                     {0, kAny, kAny, kAny, kAny, kAny, kAny, kAny}},
                      // Nyquist bin: scaled by N/2 like the others, so an alternating +-1 reads 2.
                      EightPointCase{"Nyquist",
                                     {1, -1, 1, -1, 1, -1, 1, -1},
                                     {0, 0, 0, 0, 2, 0, 0, 0},
                                     {kAny, kAny, kAny, kAny, 0, kAny, kAny, kAny}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FFT, SineOnABinReadsItsAmplitude) {
    const int32_t n = 64;
    std::vector<double> x(n);
    for (int i = 0; i < n; ++i)
        x[i] = 0.75 * std::sin(2.0 * kPi * 5 * i / n) + 0.2;
    CDSPFFTData block;
    SetTime(block, 8000.0, x);
    ASSERT_TRUE(block.DoFFT(CDSPFFTData::WindowNone));
    const double* magnitude = block.GetFreqObj()->GetDataPointer();
    EXPECT_NEAR(magnitude[5], 0.75, 1e-14);
    EXPECT_NEAR(magnitude[n - 5], 0.75, 1e-14);
    EXPECT_NEAR(magnitude[0], 0.2, 1e-14);
    EXPECT_NEAR(block.GetPhaseObj()->GetDataPointer()[5], -90.0, 1e-10);
}

struct WindowGainCase {
    const char* name;
    int window;
    double (*mean)(double n, double l); // closed-form mean weight; l = (N - 2) div 10
};

class FFTWindowGain : public ::testing::TestWithParam<WindowGainCase> {};

// A constant reads at bin 0 as the constant times the window's mean weight.
TEST_P(FFTWindowGain, ConstantReadsWindowMean) {
    const WindowGainCase& c = GetParam();
    for (int32_t n : {16, 1024}) {
        CDSPFFTData block;
        SetTime(block, 8000.0, std::vector<double>(n, 0.8));
        ASSERT_TRUE(block.DoFFT(c.window));
        EXPECT_NEAR(block.GetFreqObj()->GetDataPointer()[0], 0.8 * c.mean(n, (n - 2) / 10), 1e-13)
            << "N = " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, FFTWindowGain,
    ::testing::Values(
        WindowGainCase{"None", 0, [](double, double) { return 1.0; }},
        // Two raised-cosine tapers of L + 1 samples each sum to L/2; N - 2L - 2 ones between.
        WindowGainCase{"TapRect", 1, [](double n, double l) { return (n - l - 2.0) / n; }},
        WindowGainCase{"Triangle", 2,
                       [](double n, double) { return (n - 2.0) / (2.0 * (n - 1.0)); }},
        // The cosines sum to 1 over i = 0..N-1 (a full period plus the last sample).
        WindowGainCase{"Hanning", 3, [](double n, double) { return 0.5 - 0.5 / n; }},
        WindowGainCase{"Hamming", 4, [](double n, double) { return 0.53836 - 0.46164 / n; }},
        WindowGainCase{"Blackman", 5, [](double n, double) { return 0.42 - 0.42 / n; }}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
    const char* name;
    int32_t size; // -1: a block without arrays
};

class FFTRefusal : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(FFTRefusal, ChangesNothing) {
    CDSPFFTData block;
    const int32_t n = GetParam().size;
    if (n >= 0) {
        ASSERT_TRUE(block.Create(1, n, 8000.0));
        for (int32_t i = 0; i < n; ++i) {
            block.GetTimeObj()->GetDataPointer()[i] = std::sin(i * 0.1);
            block.GetFreqObj()->GetDataPointer()[i] = 0.5 + i % 3;
            block.GetPhaseObj()->GetDataPointer()[i] = i % 7;
        }
    }
    const CBlockSnapshot before = Snapshot(block);
    EXPECT_FALSE(block.DoFFT(CDSPFFTData::WindowHanning));
    EXPECT_FALSE(block.DoIFFT());
    EXPECT_EQ(Snapshot(block), before);
    EXPECT_EQ(block.GetNumUsed(), 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, FFTRefusal,
                         ::testing::Values(RefusedCase{"NoArrays", -1}, RefusedCase{"Empty", 0},
                                           RefusedCase{"One", 1}, RefusedCase{"Three", 3},
                                           RefusedCase{"Twelve", 12}, RefusedCase{"Thousand", 1000},
                                           // A power of two above the longest transform.
                                           RefusedCase{"TwoPow19", 524288}),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {
// Bins of the DFT of x in long double, for the listed bins only: O(N) each with a table of
// the N exactly reduced angles, so that long blocks can be checked at many bins.
struct CLongDft {
    std::vector<long double> cosine, sine;
    explicit CLongDft(size_t n) : cosine(n), sine(n) {
        for (size_t t = 0; t < n; ++t) {
            const long double angle = 2.0L * kPiL * static_cast<long double>(t) / n;
            cosine[t] = std::cos(angle);
            sine[t] = std::sin(angle);
        }
    }
    // Unscaled X[k] = sum x[t] e^(-2 pi i k t / N).
    void Bin(const std::vector<double>& x, size_t k, long double& re, long double& im) const {
        const size_t n = x.size();
        re = 0.0L;
        im = 0.0L;
        for (size_t t = 0, e = 0; t < n; ++t, e = (e + k) % n) {
            re += x[t] * cosine[e];
            im -= x[t] * sine[e];
        }
    }
};

struct LongBlockCase {
    const char* name;
    int32_t n;
    int window;
    std::vector<double> (*signal)(int32_t n);
};

std::vector<double> Noise(int32_t n) {
    return RandomSignal(n, 99u);
}
// An impulse off the start, a tone between bins and a DC offset: every bin non-zero.
std::vector<double> Structured(int32_t n) {
    std::vector<double> x(size_t(n), 0.125);
    for (int32_t i = 0; i < n; ++i)
        x[size_t(i)] += 0.5 * std::sin(2.0 * kPi * 1000.37 * i / n + 0.3);
    x[size_t(n / 3)] += 1.0;
    return x;
}
} // namespace

class FFTOfLongBlocks : public ::testing::TestWithParam<LongBlockCase> {};

// Amplitude and phase (as the complex value they describe) against the long-double DFT of the
// windowed samples at a spread of bins, within 1e-12 of the largest bin; the inverse gives the
// samples back within 1e-12 of the largest sample; the upper half mirrors the lower.
TEST_P(FFTOfLongBlocks, AgreeWithTheLongDoubleDftAndComeBack) {
    const LongBlockCase& c = GetParam();
    const std::vector<double> x = c.signal(c.n);
    CDSPFFTData block;
    SetTime(block, 192000.0, x);
    std::vector<double> windowed(x);
    for (int32_t i = 0; i < c.n; ++i)
        windowed[size_t(i)] *= block.GetWindowSample(c.window, i);
    ASSERT_TRUE(block.DoFFT(c.window));
    const std::vector<double> magnitude = Values(block.GetFreqObj());
    const std::vector<double> phase = Values(block.GetPhaseObj());

    const CLongDft dft(size_t(c.n));
    std::vector<size_t> bins{0, 1, 2, size_t(c.n / 2 - 1), size_t(c.n / 2), 1000, 1001};
    for (size_t k = 3; k < size_t(c.n / 2); k += size_t(c.n / 97))
        bins.push_back(k);
    double largest = 0.0;
    std::vector<long double> re(bins.size()), im(bins.size());
    for (size_t b = 0; b < bins.size(); ++b) {
        dft.Bin(windowed, bins[b], re[b], im[b]);
        largest = std::max(largest, double(std::hypot(re[b], im[b])));
    }
    for (size_t b = 0; b < bins.size(); ++b) {
        const size_t k = bins[b];
        const double scale = k == 0 ? c.n : c.n * 0.5;
        const double radians = phase[k] * kPi / 180.0;
        const double gotRe = magnitude[k] * scale * std::cos(radians);
        const double gotIm = magnitude[k] * scale * std::sin(radians);
        EXPECT_LE(std::hypot(gotRe - double(re[b]), gotIm - double(im[b])), 1e-12 * largest)
            << "bin " << k;
        if (k > 0 && k < size_t(c.n / 2)) {
            EXPECT_EQ(magnitude[size_t(c.n) - k], magnitude[k]) << k;
            EXPECT_EQ(phase[size_t(c.n) - k], -phase[k]) << k;
        }
    }

    ASSERT_TRUE(block.DoIFFT());
    const std::vector<double> back = Values(block.GetTimeObj());
    double peak = 0.0, worst = 0.0;
    for (int32_t i = 0; i < c.n; ++i) {
        peak = std::max(peak, std::fabs(windowed[size_t(i)]));
        worst = std::max(worst, std::fabs(back[size_t(i)] - windowed[size_t(i)]));
    }
    EXPECT_LE(worst, 1e-12 * peak);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, FFTOfLongBlocks,
    ::testing::Values(
        LongBlockCase{"Noise16384", 16384, CDSPFFTData::WindowNone, Noise},
        LongBlockCase{"Noise65536", 65536, CDSPFFTData::WindowNone, Noise},
        LongBlockCase{"Noise131072", 131072, CDSPFFTData::WindowNone, Noise},
        LongBlockCase{"Structured131072", 131072, CDSPFFTData::WindowNone, Structured},
        LongBlockCase{"HanningStructured32768", 32768, CDSPFFTData::WindowHanning, Structured}),
    [](const auto& info) { return std::string(info.param.name); });

// A spectrum whose halves do not mirror, with phases far beyond +-180 degrees: the inverse keeps
// the real part of the full inverse transform, sum over all N bins of X[k] e^(2 pi i k t / N)
// divided by N.
TEST(IFFT, KeepsTheRealPartOfAnUnmirroredSpectrum) {
    for (int32_t n : {2, 16, 512}) {
        std::mt19937 rng(5u + unsigned(n));
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        std::vector<double> magnitude(static_cast<size_t>(n)), phase(static_cast<size_t>(n));
        for (int32_t k = 0; k < n; ++k) {
            magnitude[size_t(k)] = unit(rng);
            phase[size_t(k)] = (unit(rng) - 0.5) * (k % 5 == 0 ? 4e6 : k % 3 == 0 ? 7200.0 : 360.0);
        }
        CDSPFFTData block;
        ASSERT_TRUE(block.Create(1, n, 8000.0));
        block.Fill(n, nullptr, magnitude.data(), phase.data());
        ASSERT_TRUE(block.DoIFFT());
        const std::vector<double> time = Values(block.GetTimeObj());
        for (int32_t t = 0; t < n; ++t) {
            long double sum = 0.0L;
            for (int32_t k = 0; k < n; ++k) {
                const long double amplitude = (k == 0 ? n : n / 2.0L) * magnitude[size_t(k)];
                // The phase in radians as the block computes it: a double, whose rounding at
                // 4e6 degrees is itself 1e-11 radians.
                const double radians = phase[size_t(k)] / 57.29577951308;
                const long double angle = 2.0L * kPiL * ((int64_t(k) * t) % n) / n + radians;
                sum += amplitude * std::cos(angle);
            }
            EXPECT_NEAR(time[size_t(t)], double(sum / n), 1e-12) << "N " << n << " t " << t;
        }
    }
}
