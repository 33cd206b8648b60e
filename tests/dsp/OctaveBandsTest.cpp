// Fractional-octave bands against IEC 61260-1: the base-10 midband frequencies and their
// nominal names, the band edges, and the shape of each band as the analyser reads it (tones at
// the standard's breakpoint frequencies) against the class 1 relative-attenuation limits.

#include "dsp/BandAnalyser.h"
#include "dsp/FFTPlan.h"

#include "common/CaseName.h"
#include "common/PinkFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

double Db(double power) {
    return 10.0 * std::log10(power);
}

// The standard's nominal midband frequencies and, independently of the G^(x/b) form, the exact
// ones: 1000 * 10^(x/10) for thirds (G^(1/3) = 10^(1/10)), 1000 * 10^(3x/10) for octaves.
TEST(OctaveBands, NominalAndExactMidbandFrequenciesOfOctavesAndThirds) {
    const double thirds[] = {10,   12.5, 16,   20,    25,    31.5,  40,   50,   63,
                             80,   100,  125,  160,   200,   250,   315,  400,  500,
                             630,  800,  1000, 1250,  1600,  2000,  2500, 3150, 4000,
                             5000, 6300, 8000, 10000, 12500, 16000, 20000};
    const std::vector<COctaveBand> third = MakeOctaveBands(3, 10.0, 24000.0);
    ASSERT_EQ(third.size(), std::size(thirds));
    for (size_t i = 0; i < third.size(); ++i) {
        EXPECT_EQ(third[i].nominal, thirds[i]) << i;
        EXPECT_NEAR(third[i].centre, 1000.0 * std::pow(10.0, (double(i) - 20.0) / 10.0),
                    1e-9 * third[i].centre);
    }
    const double octaves[] = {8, 16, 31.5, 63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
    const std::vector<COctaveBand> octave = MakeOctaveBands(1, 10.0, 24000.0);
    ASSERT_EQ(octave.size(), std::size(octaves));
    for (size_t i = 0; i < octave.size(); ++i) {
        EXPECT_EQ(octave[i].nominal, octaves[i]) << i;
        EXPECT_NEAR(octave[i].centre, 1000.0 * std::pow(10.0, 0.3 * (double(i) - 7.0)),
                    1e-9 * octave[i].centre);
    }
    EXPECT_EQ(BandLabel(31.5), "31.5");
    EXPECT_EQ(BandLabel(12500), "12.5k");
    EXPECT_TRUE(MakeOctaveBands(5, 10.0, 24000.0).empty());
}

// Even fractions put 1 kHz on a band edge; every band is 1/b octave wide and centred on a log
// axis; the set runs from the band that holds 10 Hz to the last that ends below Nyquist. The
// analyser refuses a block of 1000 samples and a fraction of 1/2 octave (the bands a block
// cannot resolve are the RTA's test).
TEST(OctaveBands, EdgesAndRangeForEveryFraction) {
    CBandAnalyser refused;
    EXPECT_FALSE(refused.Design(3, 1000, 48000.0));
    EXPECT_FALSE(refused.Design(2, 4096, 48000.0));
    const double g = std::pow(10.0, 0.3);
    for (int b : {1, 3, 6, 12, 24, 48}) {
        SCOPED_TRACE(b);
        const std::vector<COctaveBand> bands = MakeOctaveBands(b, 10.0, 96000.0);
        ASSERT_FALSE(bands.empty());
        EXPECT_LE(bands.front().lower, 10.0);
        EXPECT_GT(bands.front().upper, 10.0);
        EXPECT_LE(bands.back().upper, 96000.0);
        EXPECT_GT(bands.back().upper * std::pow(g, 1.0 / b), 96000.0);
        bool at1k = false;
        for (size_t i = 0; i < bands.size(); ++i) {
            EXPECT_NEAR(bands[i].upper / bands[i].lower, std::pow(g, 1.0 / b), 1e-12);
            EXPECT_NEAR(bands[i].lower * bands[i].upper, bands[i].centre * bands[i].centre,
                        1e-9 * bands[i].centre * bands[i].centre);
            if (i > 0) {
                EXPECT_NEAR(bands[i].lower, bands[i - 1].upper, 1e-9 * bands[i].lower);
            }
            // Odd fractions centre a band on 1 kHz, even ones start a band there.
            at1k |= std::abs((b % 2 ? bands[i].centre : bands[i].lower) - 1000.0) < 1e-9;
        }
        EXPECT_TRUE(at1k);
    }
    // Finer bands are named to three significant digits (two from 5 on).
    const auto nominals = [](double low, double high) {
        std::vector<double> n;
        for (const COctaveBand& band : MakeOctaveBands(6, low, high))
            n.push_back(band.nominal);
        return n;
    };
    EXPECT_EQ(nominals(900.0, 1300.0), (std::vector<double>{940.0, 1060.0, 1190.0}));
    EXPECT_EQ(nominals(4500.0, 5100.0), std::vector<double>{4730.0}); // 4731.5 Hz
}

// The class 1 limits of IEC 61260-1 (2014, table 1): at the normalized frequencies G^x of an
// octave band, the least and the most relative attenuation in dB.
struct CMaskPoint {
    double x;
    double least;
    double most;
};
constexpr CMaskPoint kClass1[] = {
    {0.0, -0.4, 0.4}, {0.125, -0.4, 0.5}, {0.25, -0.4, 0.7}, {0.375, -0.4, 1.4}, {0.5, 1.2, 5.3},
    {1.0, 16.6, 1e9}, {2.0, 40.5, 1e9},   {3.0, 60.0, 1e9},  {4.0, 70.0, 1e9},
};

// The breakpoint of a 1/b band above its midband frequency for the octave breakpoint G^x.
double Breakpoint(int b, double x) {
    const double g = std::pow(10.0, 0.3);
    return 1.0 + (std::pow(g, 0.5 / b) - 1.0) / (std::pow(g, 0.5) - 1.0) * (std::pow(g, x) - 1.0);
}

std::vector<double> Tone(int32_t n, double rate, double f, double amplitude, double phase) {
    std::vector<double> x(static_cast<size_t>(n));
    for (int32_t t = 0; t < n; ++t)
        x[size_t(t)] = amplitude * std::cos(2.0 * kPi * f * t / rate + phase);
    return x;
}

struct CMaskCase {
    int fraction;
    double rate;
    std::string name;
};

class BandShape : public testing::TestWithParam<CMaskCase> {};

// A tone at the midband frequency reads its own mean square within 0.1 dB; tones at every
// breakpoint either side read an attenuation inside the class 1 limits. Checked for the 1 kHz
// band, the narrowest band the block resolves and the highest whose breakpoints it holds.
TEST_P(BandShape, TonesAtTheBreakpointsLieInsideTheClass1Limits) {
    const CMaskCase c = GetParam();
    const int32_t n = 16384;
    CBandAnalyser analyser;
    ASSERT_TRUE(analyser.Design(c.fraction, n, c.rate));
    const std::vector<COctaveBand>& bands = analyser.Bands();
    std::vector<size_t> checked;
    for (size_t i = 0; i < bands.size(); ++i) {
        if (!analyser.IsResolved(i)) continue;
        if (checked.empty() || std::abs(bands[i].nominal - 1000.0) < 1.0) checked.push_back(i);
        if (bands[i].centre * Breakpoint(c.fraction, 4.0) < c.rate / 2.0 - 8 * c.rate / n)
            checked.push_back(i);
    }
    checked.erase(checked.begin() + 1, checked.end() - 2); // lowest, 1 kHz, highest
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> phase(0.0, 2.0 * kPi);
    std::vector<double> levels;
    double overall = 0.0;
    std::vector<double> margins(std::size(kClass1), 1e9); // the least per breakpoint
    for (size_t i : checked) {
        const COctaveBand& band = bands[i];
        SCOPED_TRACE(band.nominal);
        const auto attenuation = [&](double f) {
            const std::vector<double> x = Tone(n, c.rate, f, 0.5, phase(rng));
            analyser.Analyse(x.data(), levels, overall);
            return -Db(levels[i] / 0.125);
        };
        for (size_t m = 0; m < std::size(kClass1); ++m) {
            const CMaskPoint& p = kClass1[m];
            for (int side : {1, -1}) {
                const double f = band.centre * std::pow(Breakpoint(c.fraction, p.x), side);
                if (f < 4 * c.rate / n || f > c.rate / 2.0 - 4 * c.rate / n) continue;
                const double a = attenuation(f);
                EXPECT_GE(a, p.least) << "G^" << side * p.x;
                EXPECT_LE(a, p.most) << "G^" << side * p.x;
                if (p.x == 0.0) {
                    EXPECT_NEAR(a, 0.0, 0.1);
                }
                margins[m] = std::min({margins[m], a - p.least, p.most - a});
            }
        }
    }
    std::printf("[ class 1 ] 1/%d octave at %g Hz, least margin (dB) at G^x for x =", c.fraction,
                c.rate);
    for (size_t m = 0; m < margins.size(); ++m)
        std::printf(" %g: %.2f", kClass1[m].x, margins[m]);
    std::printf("\n");
}

INSTANTIATE_TEST_SUITE_P(
    Class1, BandShape,
    testing::Values(CMaskCase{1, 48000, "Octave48k"}, CMaskCase{3, 48000, "Third48k"},
                    CMaskCase{1, 96000, "Octave96k"}, CMaskCase{3, 96000, "Third96k"},
                    CMaskCase{12, 48000, "Twelfth48k"}, CMaskCase{48, 96000, "FortyEighth96k"}),
    CaseName());

// Gaussian white noise, and pink noise made from it by Paul Kellet's filter (1/f within 0.05 dB
// above 9 Hz at 44.1 kHz, the same shape in normalized frequency at any rate), averaged in power
// over many blocks (a long Leq): white noise of mean square s reads s * 1.0472 * width / (fs / 2)
// per band (the sixth-order Butterworth passes noise over pi/6 / sin(pi/6) times its width, and
// the window's power is divided out), rising 3 dB per octave; pink reads the same in every band.
// Both within 0.5 dB per third-octave band from 25 Hz to 16 kHz.
TEST(BandAnalyser, LongAveragesOfWhiteAndPinkNoise) {
    const int32_t n = 131072, blocks = 32;
    const double rate = 48000.0;
    CBandAnalyser analyser;
    ASSERT_TRUE(analyser.Design(3, n, rate));
    std::mt19937 rng(11);
    std::normal_distribution<double> gauss(0.0, 1.0);
    std::vector<double> white(static_cast<size_t>(n)), pink(white.size()), levels;
    std::vector<double> whiteSum(analyser.Bands().size()), pinkSum(whiteSum.size());
    CPinkFilter pinkFilter;
    double overall = 0.0;
    for (int block = 0; block < blocks; ++block) {
        for (size_t t = 0; t < white.size(); ++t) {
            white[t] = gauss(rng);
            pink[t] = pinkFilter(white[t]);
        }
        analyser.Analyse(white.data(), levels, overall);
        for (size_t i = 0; i < levels.size(); ++i)
            whiteSum[i] += levels[i] / blocks;
        analyser.Analyse(pink.data(), levels, overall);
        for (size_t i = 0; i < levels.size(); ++i)
            pinkSum[i] += levels[i] / blocks;
    }
    std::vector<double> pinkLevels;
    double worstWhite = 0.0;
    for (size_t i = 0; i < whiteSum.size(); ++i) {
        const COctaveBand& band = analyser.Bands()[i];
        if (band.nominal < 25.0 || band.nominal > 16000.0) continue;
        ASSERT_TRUE(analyser.IsResolved(i)) << band.nominal;
        const double white = Db(whiteSum[i] / (1.0472 * (band.upper - band.lower) / (rate / 2)));
        EXPECT_NEAR(white, 0.0, 0.5) << band.nominal;
        worstWhite = std::max(worstWhite, std::abs(white));
        pinkLevels.push_back(Db(pinkSum[i]));
    }
    double mean = 0.0;
    for (double level : pinkLevels)
        mean += level / double(pinkLevels.size());
    double worstPink = 0.0;
    for (size_t i = 0; i < pinkLevels.size(); ++i) {
        EXPECT_NEAR(pinkLevels[i], mean, 0.5) << i;
        worstPink = std::max(worstPink, std::abs(pinkLevels[i] - mean));
    }
    std::printf("[ noise ] 25 Hz..16 kHz thirds: white within %.2f dB of its truth, pink within "
                "%.2f dB of flat\n",
                worstWhite, worstPink);
}

} // namespace
