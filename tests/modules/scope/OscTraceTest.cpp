// Where an oscilloscope trace lands in the plot. Expected pixels are worked out by hand from a
// 100 x 80 plot at (10, 20): 10 pixels per division across, 10 per division down.
#include "modules/scope/OscTrace.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

using Points = std::vector<CPoint>;
const CRect kPlot{10, 20, 110, 100};

// Channel at 75 % (zero line at y = 40), 0.5 V/div (20 pixels per volt, upwards), 10 kHz.
CYChannel Trace(const std::vector<double>& samples, double period = 1e-4) {
    CYChannel t;
    t.samples = samples.data();
    t.sampleCount = int32_t(samples.size());
    t.samplePeriod = period;
    t.verticalPosition = 75;
    t.voltsPerDivision = 0.5;
    return t;
}

TEST(OscTrace, AnalogJoinsTheSamples) {
    const std::vector<double> v{0.0, 1.0, -1.0, 0.5};
    // 0.1 ms per sample at 1 ms/div is one pixel per sample.
    EXPECT_EQ(OscTracePoints(Trace(v), kPlot, 50, 1e-3),
              (Points{{10, 40}, {11, 20}, {12, 60}, {13, 30}}));
}

TEST(OscTrace, DigitalHoldsEachSampleUntilTheNextWithEdgesWhereItChanges) {
    const std::vector<double> v{0.0, 1.0, 1.0, -1.0};
    CYChannel t = Trace(v, 1e-3);
    t.digital = 1;
    EXPECT_EQ(OscTracePoints(t, kPlot, 50, 1e-3),
              (Points{{10, 40}, {20, 40}, {20, 20}, {30, 20}, {40, 20}, {40, 60}}));
}

TEST(OscTrace, StopsAfterTheFirstPointRightOfThePlot) {
    const std::vector<double> v(40, 0.0);
    // 10 pixels per sample: x = 110 (sample 10) is on the edge, x = 120 the first beyond.
    const Points p = OscTracePoints(Trace(v, 1e-3), kPlot, 50, 1e-3);
    ASSERT_EQ(p.size(), 12u);
    EXPECT_EQ(p.back(), (CPoint{120, 40}));

    CYChannel digital = Trace(v, 1e-3);
    digital.digital = 1;
    const Points d = OscTracePoints(digital, kPlot, 50, 1e-3);
    EXPECT_EQ(d.back(), (CPoint{120, 40}));
    EXPECT_EQ(d.size(), 12u) << "a flat digital trace has one point per sample";
}

TEST(OscTrace, GroundAndShortTracesAreOneFlatLineAtTheZeroLine) {
    const std::vector<double> v{1.0, -1.0, 1.0};
    CYChannel ground = Trace(v);
    ground.ground = 1;
    EXPECT_EQ(OscTracePoints(ground, kPlot, 50, 1e-3), (Points{{10, 40}, {110, 40}}));
    const std::vector<double> one{3.0};
    EXPECT_EQ(OscTracePoints(Trace(one), kPlot, 75, 1e-3), (Points{{35, 40}, {135, 40}}));
    EXPECT_EQ(OscTracePoints(CYChannel{}, kPlot, 50, 1e-3), (Points{{10, 100}, {110, 100}}));
}

// The trace starts left or right of the plot by the horizontal position past 50 %, truncated
// toward zero (-17 * 90 / 100 = -15.3); the zero line sits at the complement of the vertical
// position (67 * 30 / 100 = 20.1).
TEST(OscTrace, OriginAndZeroLineFollowThePositions) {
    const CRect narrow{0, 0, 90, 80};
    for (const auto& [position, origin] : {std::pair{50, 10}, {0, -40}, {100, 60}, {75, 35}})
        EXPECT_EQ(OscTraceOrigin(kPlot, position), origin) << position;
    EXPECT_EQ(OscTraceOrigin(narrow, 33), -15);
    EXPECT_EQ(OscTraceOrigin(narrow, 67), 15);
    for (const auto& [position, zero] : {std::pair{100, 20}, {0, 100}, {25, 80}})
        EXPECT_EQ(OscZeroLine(kPlot, position), zero) << position;
    EXPECT_EQ(OscZeroLine({0, 0, 10, 30}, 50), 15);
    EXPECT_EQ(OscZeroLine({0, 0, 10, 30}, 33), 20);
}

TEST(OscTrace, PixelsAreTruncatedAndHeldInRange) {
    // 39.8 and 40.2 truncate to 39 and 40; a 1 MV sample at 1 uV/div is far above the plot.
    const std::vector<double> v{0.01, -0.01, 1e6, -1e6, NAN};
    CYChannel t = Trace(v);
    const Points p = OscTracePoints(t, kPlot, 50, 1e-3);
    ASSERT_EQ(p.size(), 5u);
    EXPECT_EQ(p[0].y, 39);
    EXPECT_EQ(p[1].y, 40);
    t.voltsPerDivision = 1e-6;
    const Points q = OscTracePoints(t, kPlot, 50, 1e-3);
    EXPECT_EQ(q[2].y, INT32_MIN);
    EXPECT_EQ(q[3].y, INT32_MAX);
    EXPECT_EQ(q[4].y, 40) << "a sample that is not a number is drawn on the zero line";
}

} // namespace
