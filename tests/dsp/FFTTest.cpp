// The forward and inverse transforms against the DFT summed directly in long double.

#include "dsp/DSPFFTData.h"

#include "common/CaseName.h"
#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {
const double kPi = 3.14159265358979323846;
const long double kPiL = 3.141592653589793238462643383279502884L;

// Bins of the DFT of x in long double: O(N) each with a table of the N exactly reduced angles,
// so that long blocks can be checked at many bins.
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

// An impulse off the start, a tone between bins and a DC offset: every bin non-zero.
std::vector<double> Structured(size_t n) {
    std::vector<double> x(n, 0.125);
    for (size_t i = 0; i < n; ++i)
        x[i] += 0.5 * std::sin(2.0 * kPi * 1000.37 * double(i) / double(n) + 0.3);
    x[n / 3] += 1.0;
    return x;
}

struct TransformCase {
    std::string name;
    int32_t n;
    int window;
    bool structured; // else noise
};

class FFTAgainstTheDft : public ::testing::TestWithParam<TransformCase> {};

// Amplitude and phase (as the complex value they describe) against the long-double DFT of the
// windowed samples, within 1e-12 of the largest bin: every bin of short blocks, a spread of
// bins of long ones. The inverse gives the windowed samples back within 1e-12 of the largest.
TEST_P(FFTAgainstTheDft, AgreesAndComesBack) {
    const TransformCase& c = GetParam();
    const auto n = size_t(c.n);
    const std::vector<double> x = c.structured ? Structured(n) : UniformNoise(n, 99u + n);
    CDSPFFTData block;
    ASSERT_TRUE(TimeBlock(block, x, 192000.0));
    std::vector<double> windowed(x);
    for (size_t i = 0; i < n; ++i)
        windowed[i] *= block.GetWindowSample(c.window, int(i));
    ASSERT_TRUE(block.DoFFT(c.window));
    if (c.window == CDSPFFTData::WindowNone) {
        EXPECT_EQ(Values(block.GetTimeObj()), x);
    }
    const std::vector<double> magnitude = Values(block.GetFreqObj());
    const std::vector<double> phase = Values(block.GetPhaseObj());

    const CLongDft dft(n);
    std::vector<size_t> bins;
    if (n <= 4096) {
        for (size_t k = 0; k < n; ++k)
            bins.push_back(k);
    } else {
        bins = {0, 1, 2, n / 2 - 1, n / 2, n / 2 + 1, n - 1, 1000, 1001};
        for (size_t k = 3; k < n / 2; k += n / 97)
            bins.push_back(k);
    }
    double largest = 0.0;
    std::vector<long double> re(bins.size()), im(bins.size());
    for (size_t b = 0; b < bins.size(); ++b) {
        dft.Bin(windowed, bins[b], re[b], im[b]);
        largest = std::max(largest, double(std::hypot(re[b], im[b])));
    }
    for (size_t b = 0; b < bins.size(); ++b) {
        const size_t k = bins[b];
        const double scale = k == 0 ? double(n) : double(n) * 0.5;
        const double radians = phase[k] * kPi / 180.0;
        const double gotRe = magnitude[k] * scale * std::cos(radians);
        const double gotIm = magnitude[k] * scale * std::sin(radians);
        ASSERT_LE(std::hypot(gotRe - double(re[b]), gotIm - double(im[b])), 1e-12 * largest)
            << "bin " << k;
    }

    ASSERT_TRUE(block.DoIFFT());
    EXPECT_EQ(Values(block.GetFreqObj()), magnitude) << "the inverse leaves the spectrum";
    const std::vector<double> back = Values(block.GetTimeObj());
    double peak = 0.0, worst = 0.0;
    for (size_t i = 0; i < n; ++i) {
        peak = std::max(peak, std::fabs(windowed[i]));
        worst = std::max(worst, std::fabs(back[i] - windowed[i]));
    }
    EXPECT_LE(worst, 1e-12 * peak);
}

// Every way the half-size transform ends: no pass (2), a closing pass alone of 4, 8, 16 and 32
// points (8 to 64), radix 16 closed by 16 (512) and by 8 points (4096), and the long blocks
// closed by 32 (16384), 4 (32768), 8 (65536) and 16 points (131072, a structured block).
std::vector<TransformCase> TransformCases() {
    std::vector<TransformCase> cases;
    for (int32_t n : {2, 8, 16, 32, 64, 512, 4096, 16384, 65536})
        cases.push_back({"Noise" + std::to_string(n), n, CDSPFFTData::WindowNone, false});
    cases.push_back({"Structured131072", 131072, CDSPFFTData::WindowNone, true});
    cases.push_back({"HanningStructured32768", 32768, CDSPFFTData::WindowHanning, true});
    return cases;
}
INSTANTIATE_TEST_SUITE_P(Blocks, FFTAgainstTheDft, ::testing::ValuesIn(TransformCases()),
                         CaseName());

// A spectrum whose halves do not mirror, with phases far beyond +-180 degrees: the inverse keeps
// the real part of the full inverse transform, sum over all N bins of X[k] e^(2 pi i k t / N)
// divided by N.
TEST(IFFT, KeepsTheRealPartOfAnUnmirroredSpectrum) {
    for (int32_t n : {2, 16, 512}) {
        const std::vector<double> unit = UniformNoise(size_t(2 * n), 5u + unsigned(n));
        std::vector<double> magnitude(static_cast<size_t>(n)), phase(magnitude);
        for (int32_t k = 0; k < n; ++k) {
            magnitude[size_t(k)] = 0.5 + 0.5 * unit[size_t(k)];
            phase[size_t(k)] = 0.5 * unit[size_t(n + k)] *
                               (k % 5 == 0   ? 4e6
                                : k % 3 == 0 ? 7200.0
                                             : 360.0);
        }
        CDSPFFTData block;
        MakeBlock(block, CDSPData::kTimeBlock, 8000.0, {}, magnitude, phase);
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

// No arrays, no samples, sizes that are no power of two and a power of two above the longest
// transform: refused, and nothing changes.
TEST(FFTRefusal, ChangesNothing) {
    for (int32_t n : {-1, 0, 1, 12, 524288}) {
        CDSPFFTData block;
        if (n >= 0) {
            const std::vector<double> v = UniformNoise(size_t(n), 1);
            MakeBlock(block, CDSPData::kTimeBlock, 8000.0, v, v, v);
        }
        const CBlockSnapshot before = Snapshot(block);
        EXPECT_FALSE(block.DoFFT(CDSPFFTData::WindowHanning)) << n;
        EXPECT_FALSE(block.DoIFFT()) << n;
        EXPECT_EQ(Snapshot(block), before) << n;
    }
}

} // namespace
