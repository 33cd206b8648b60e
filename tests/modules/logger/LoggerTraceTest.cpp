// What the data logger draws for a plot: the value of each Y axis type at a bin, where bins and
// samples fall on the X axes, and where the zero line lies. The plot is 800 x 400 pixels at
// (0, 0), so a division is 80 pixels across and 50 up; blocks of 64 at 6400 per second put a
// bin every 100 Hz.
#include "common/CaseName.h"

#include "modules/logger/LoggerAxes.h"
#include "modules/logger/LoggerTrace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr CRect kPlot{0, 0, 800, 400};

struct CArrays {
    std::vector<double> time = std::vector<double>(64, 0.0);
    std::vector<double> magnitude = std::vector<double>(64, 1.0);
    std::vector<double> phase = std::vector<double>(64, 0.0);
};

struct CValueCase {
    const char* name;
    int xAxis;
    int yAxis;
    double gain, delay, reference;
    double magnitude1, phase1, magnitude2, phase2; // at bin 1 (100 Hz); channel 1's bin 10 is 0.1
    bool impedanceShown;
    double expected;
};
// Each value comes from the signal, not the formula: 0.5 V at gain 2 is 1 V peak, 0.707 V rms,
// 0 dBVpk; a tenth of the 1 kHz level is -20 dB relative to it.
const CValueCase kValues[] = {
    {"VpkAppliesTheGain", kLogF1Lin, kLogYVpk, 2.0, 0.0, 1.0, 0.5, 0, 1, 0, false, 1.0},
    {"VrmsOfOneVoltPeak", kLogF1Lin, kLogYVrms, 1.0, 0.0, 1.0, 1.0, 0, 1, 0, false, 0.70710678},
    {"ZeroMagnitudeIsMinus200dB", kLogF1Lin, kLogYdBVpk, 1.0, 0.0, 1.0, 0.0, 0, 1, 0, false, -200},
    {"NegativeMagnitudeIsMinus200dB", kLogF1Lin, kLogYdBVrms, 1, 0, 1, -1.0, 0, 1, 0, false, -200},
    {"dBVrmsOfOneVoltPeak", kLogF1Lin, kLogYdBVrms, 1.0, 0.0, 1.0, 1.0, 0, 1, 0, false, -3.0103},
    {"dBRelToChannel1At1kHz", kLogF2Lin, kLogYdBRel, 1.0, 0.0, 1000.0, 5, 0, 0.01, 0, false, -20},
    {"dBVSPLAgainstRefPerBin", kLogF1Lin, kLogYdBVSPL, 1.0, 0.0, 640.0, 1.0, 0, 1, 0, false, -20},
    {"DegreesAddTheDelayAndWrap", kLogF1Lin, kLogYDegrees, 1, 0.0005, 1, 1, 170, 1, 0, false, -172},
    {"DegreesOfTheOtherChannelWithZ", kLogF1Lin, kLogYDegrees, 1, 0, 1, 1, 10, 1, -35, true, -35},
    {"ImpedanceOfAHalvingDivider", kLogF1Lin, kLogYImpedance, 1, 0, 10, 1.0, 0, 0.5, 0, true, 10},
    {"ImpedanceOfEqualMagnitudesIsZero", kLogF1Lin, kLogYImpedance, 1, 0, 10, 1, 0, 1, 0, true, 0},
    {"TimeAxesDrawSamples", kLogT2Lin, kLogYVpk, 3.0, 0.0, 1.0, 9, 0, 9, 0, false, 6.0},
};
class LoggerValues : public testing::TestWithParam<CValueCase> {};

TEST_P(LoggerValues, FollowTheYAxisType) {
    const CValueCase& c = GetParam();
    CArrays a, b;
    a.magnitude[1] = c.magnitude1;
    a.phase[1] = c.phase1;
    a.magnitude[10] = 0.1;
    b.magnitude[1] = c.magnitude2;
    b.phase[1] = c.phase2;
    b.time[1] = 2.0;
    CLoggerChan r;
    r.timeA = a.time.data();
    r.magnitudeA = a.magnitude.data();
    r.phaseA = a.phase.data();
    r.timeB = b.time.data();
    r.magnitudeB = b.magnitude.data();
    r.phaseB = b.phase.data();
    r.sampleRate = 6400.0;
    r.blockSize = 64;
    r.xCode = c.xAxis;
    r.yCode = c.yAxis;
    r.gain = c.gain;
    r.delay = c.delay;
    r.reference = c.reference;
    r.impedanceShown = c.impedanceShown;
    EXPECT_NEAR(LoggerValue(r, 1), c.expected, 1e-4);
}
INSTANTIATE_TEST_SUITE_P(Types, LoggerValues, testing::ValuesIn(kValues), CaseName());

TEST(LoggerAxes, MapBinsSamplesAndValuesToPixels) {
    CLoggerChan r;
    r.sampleRate = 6400.0;
    r.blockSize = 64;
    r.firstBin = 2.0;
    r.lastBin = 12.0;
    r.xCode = kLogF1Lin;
    EXPECT_DOUBLE_EQ(LoggerX(r, 2, kPlot), 0.0);
    EXPECT_DOUBLE_EQ(LoggerX(r, 7, kPlot), 400.0);
    r.xCode = kLogF2Log10; // 200 Hz .. 1100 Hz
    EXPECT_DOUBLE_EQ(LoggerX(r, 2, kPlot), 0.0);
    EXPECT_NEAR(LoggerX(r, 11, kPlot), 800.0, 1e-9);
    r.firstBin = 0.0; // the axis then starts at its own lowest frequency, 10 Hz
    EXPECT_NEAR(LoggerX(r, 1, kPlot), 800.0 * 1.0 / std::log10(110.0), 1e-9);
    r.xCode = kLogT1Lin; // 1 ms/div: 10 ms across, 0.15625 ms per sample
    r.timePerDivision = 0.001;
    r.horizontalPosition = 75.0;
    EXPECT_DOUBLE_EQ(LoggerX(r, 0, kPlot), 200.0);
    EXPECT_DOUBLE_EQ(LoggerX(r, 32, kPlot), 200.0 + 400.0);

    // 8 divisions over the height: linear types from the vertical position, dB at mid-height,
    // dB SPL at a fixed 10 dB per division.
    r.yCode = kLogYVpk;
    r.scalePerDivision = 0.5;
    r.verticalPosition = 50.0;
    EXPECT_DOUBLE_EQ(LoggerY(r, 1.0, kPlot), 100.0);
    r.yCode = kLogYdBVpk;
    r.scalePerDivision = 20.0;
    r.verticalPosition = 0.0;
    EXPECT_DOUBLE_EQ(LoggerY(r, -40.0, kPlot), 300.0);
    r.yCode = kLogYdBVSPL;
    EXPECT_DOUBLE_EQ(LoggerY(r, 40.0, kPlot), 0.0);
}

TEST(LoggerTrace, StartsAtTheOriginAndStopsPastTheRightEdge) {
    CArrays a;
    CLoggerChan r;
    r.magnitudeA = a.magnitude.data();
    r.phaseA = a.phase.data();
    r.sampleRate = 6400.0;
    r.blockSize = 64;
    r.firstBin = 1.0;
    r.lastBin = 9.0; // 100 pixels per bin
    r.yCode = kLogYVpk;
    const std::vector<CPoint> points = LoggerTracePoints(r, kPlot);
    ASSERT_EQ(points.size(), 10u); // bin 0 at the origin, then bins 1 to 9
    EXPECT_EQ(points[0].x, -100);
    EXPECT_EQ(points[1].x, 0);
    EXPECT_EQ(points.back().x, 800);
    r.xCode = kLogT1Lin;
    r.timePerDivision = 0.0001; // 1 ms across: 6.4 samples; sample 7 lies past the edge
    r.timeA = a.time.data();
    const std::vector<CPoint> time = LoggerTracePoints(r, kPlot);
    ASSERT_EQ(time.size(), 8u);
    EXPECT_GT(time.back().x, 800);
    r.yCode = kLogYNone;
    EXPECT_TRUE(LoggerTracePoints(r, kPlot).empty());
}

} // namespace
