// Time averaging of band levels against the closed forms: the exponential time weightings
// (Fast 125 ms, Slow 1 s) after a step, the plain mean of Leq, the N-block average, and a
// peak that falls at its decay rate.

#include "dsp/BandAverage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

struct CAverageCase {
    EBandAveraging mode;
    int blocks;
    std::vector<double> powers; // one band, block by block, each 0.05 s long
    double expected;
};

TEST(BandAverage, AveragesAsTheClosedFormsSay) {
    const double t = 0.05;
    const CAverageCase cases[] = {
        // A step from 1 to 0 decays as exp(-time / tau).
        {EBandAveraging::Fast, 1, {1, 0, 0, 0, 0}, std::exp(-4 * t / 0.125)},
        {EBandAveraging::Slow, 1, {1, 0, 0, 0, 0}, std::exp(-4 * t / 1.0)},
        {EBandAveraging::Fast, 1, {0, 2, 2}, 2 * (1 - std::exp(-2 * t / 0.125))},
        // Leq: every block weighs the same.
        {EBandAveraging::Leq, 1, {1, 2, 3, 6}, 3.0},
        // N blocks: the mean of the first N, then each new block weighs 1/N.
        {EBandAveraging::Blocks, 2, {1, 3}, 2.0},
        {EBandAveraging::Blocks, 2, {1, 3, 5}, 3.5},
        {EBandAveraging::Blocks, 4, {4, 0, 0, 0}, 1.0},
    };
    for (const CAverageCase& c : cases) {
        CBandAverage average;
        for (double p : c.powers)
            average.Add({p}, t, c.mode, c.blocks, 0.0);
        EXPECT_NEAR(average.Average()[0], c.expected, 1e-12) << int(c.mode) << " " << c.blocks;
        EXPECT_EQ(average.Count(), c.powers.size());
    }
}

TEST(BandAverage, PeaksFallAtTheirDecayAndExtremesFollowTheAverage) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    CBandAverage average;
    // 10 dB/s over blocks of 0.5 s: a held peak of 1 falls to 0.1 after two quiet blocks.
    average.Add({1.0, nan}, 0.5, EBandAveraging::Leq, 1, 10.0);
    average.Add({0.0, nan}, 0.5, EBandAveraging::Leq, 1, 10.0);
    average.Add({0.0, nan}, 0.5, EBandAveraging::Leq, 1, 10.0);
    EXPECT_NEAR(average.Peak()[0], 0.1, 1e-12);
    EXPECT_NEAR(average.Average()[0], 1.0 / 3, 1e-12);
    EXPECT_DOUBLE_EQ(average.Max()[0], 1.0);
    EXPECT_NEAR(average.Min()[0], 1.0 / 3, 1e-12);
    // A higher block replaces the peak at once.
    average.Add({0.5, nan}, 0.5, EBandAveraging::Leq, 1, 10.0);
    EXPECT_DOUBLE_EQ(average.Peak()[0], 0.5);
    // An unresolved band stays unread in every trace.
    for (const std::vector<double>* trace :
         {&average.Average(), &average.Peak(), &average.Max(), &average.Min()})
        EXPECT_TRUE(std::isnan((*trace)[1]));
    average.Reset();
    average.Add({4.0, 1.0}, 0.5, EBandAveraging::Leq, 1, 10.0);
    EXPECT_EQ(average.Count(), 1u);
    EXPECT_EQ(average.Average(), (std::vector<double>{4.0, 1.0}));
    EXPECT_EQ(average.Min(), (std::vector<double>{4.0, 1.0}));
}

} // namespace
