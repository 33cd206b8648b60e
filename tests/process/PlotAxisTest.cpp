// Horizontal mappings, marker indexes and marker texts on time, linear and logarithmic axes.
#include "process/PlotAxis.h"
#include "process/Chan.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

CPlotAxis Linear(double left, double width, int start, int stop) {
    CPlotAxis a;
    a.kind = EAxisKind::linear;
    a.left = left;
    a.width = width;
    a.sampleRate = 48000.0;
    a.blockSize = 1024; // 46.875 Hz per bin
    a.startBin = start;
    a.stopBin = stop;
    return a;
}

// 1 Hz per bin, so frequencies and bins coincide.
CPlotAxis Log(int start, int stop, double lowest) {
    CPlotAxis a;
    a.kind = EAxisKind::log;
    a.left = 0.0;
    a.width = 300.0;
    a.sampleRate = 1024.0;
    a.blockSize = 1024;
    a.startBin = start;
    a.stopBin = stop;
    a.lowestFrequency = lowest;
    return a;
}

CPlotAxis Time(double offset) {
    CPlotAxis a;
    a.kind = EAxisKind::time;
    a.left = 0.0;
    a.width = 500.0;
    a.sampleRate = 10000.0;
    a.blockSize = 1024;
    a.timeOffset = offset;
    a.timePerDivision = 0.001; // 100 samples across 10 divisions: 5 pixels each
    return a;
}

struct CPositionCase {
    CPlotAxis axis;
    int element;
    double x;
};

class TracePosition : public testing::TestWithParam<CPositionCase> {};

TEST_P(TracePosition, ElementLiesAtItsPixel) {
    EXPECT_NEAR(GetParam().axis.XOfElement(GetParam().element), GetParam().x, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Linear, TracePosition,
    testing::Values(
        // 400 pixels over bins 1..33: 12.5 per bin, the origin one bin left of the plot.
        CPositionCase{Linear(100, 400, 1, 33), 0, 87.5},
        CPositionCase{Linear(100, 400, 1, 33), 1, 112.5},
        CPositionCase{Linear(100, 400, 1, 33), 32, 500.0},
        CPositionCase{Linear(0, 512, 0, 512), 0, 0.0},
        CPositionCase{Linear(0, 512, 0, 512), 5, 6.0},
        CPositionCase{Linear(10, 100, 16, 32), 16, 10.0 - 16 * 6.25 + 17 * 6.25}));

INSTANTIATE_TEST_SUITE_P(
    Log, TracePosition,
    testing::Values(
        // Start bin 0: from the code's 10 Hz to (1001 - 1) Hz, two decades on 300 pixels.
        CPositionCase{Log(0, 1001, 10.0), 0, -150.0}, // 1 Hz
        CPositionCase{Log(0, 1001, 10.0), 9, 0.0},    // 10 Hz
        CPositionCase{Log(0, 1001, 10.0), 99, 150.0}, // 100 Hz
        CPositionCase{Log(0, 1001, 10.0), 999, 300.0},
        // Start bin 2: from 2 Hz.
        CPositionCase{Log(2, 1001, 10.0), 1, 0.0},
        CPositionCase{Log(2, 1001, 10.0), 19, 300.0 / (3.0 - std::log10(2.0))}));

INSTANTIATE_TEST_SUITE_P(Time, TracePosition,
                         testing::Values(CPositionCase{Time(50), 0, 0.0},
                                         CPositionCase{Time(50), 51, 255.0},
                                         CPositionCase{Time(75), 0, 125.0},
                                         CPositionCase{Time(25), 10, -75.0}));

TEST(PlotAxis, DegenerateAxesAreNotDrawable) {
    EXPECT_TRUE(Linear(0, 100, 1, 33).IsDrawable());
    EXPECT_FALSE(Linear(0, 100, 33, 33).IsDrawable());
    EXPECT_FALSE(Linear(0, 0, 1, 33).IsDrawable());
    EXPECT_FALSE(Log(0, 2, 10.0).IsDrawable()) << "1 Hz top below the 10 Hz bottom";
    EXPECT_FALSE(Log(0, 1, 1.0).IsDrawable());
    CPlotAxis t = Time(50);
    t.timePerDivision = 0.0;
    EXPECT_FALSE(t.IsDrawable());
}

struct CIndexCase {
    CPlotAxis axis;
    int x;
    int index;
};

class MarkerIndex : public testing::TestWithParam<CIndexCase> {};

TEST_P(MarkerIndex, FromPixelColumn) {
    EXPECT_EQ(GetParam().axis.MarkerIndex(GetParam().x), GetParam().index) << GetParam().x;
}

INSTANTIATE_TEST_SUITE_P(TimeAxis, MarkerIndex,
                         testing::Values(CIndexCase{Time(50), 255, 51}, CIndexCase{Time(50), 4, 0},
                                         CIndexCase{Time(50), -40, 0}, CIndexCase{Time(75), 132, 1},
                                         CIndexCase{Time(50), 100000, 1023}));

INSTANTIATE_TEST_SUITE_P(
    LinearAxis, MarkerIndex,
    testing::Values(CIndexCase{Linear(100, 400, 1, 33), 112, 1}, // 12/400 × 32 + 1 = 1.96
                    CIndexCase{Linear(100, 400, 1, 33), 113, 2},
                    CIndexCase{Linear(100, 400, 1, 33), 500, 33},
                    CIndexCase{Linear(100, 400, 1, 33), 50, 1}, // left of the plot: the start bin
                    CIndexCase{Linear(0, 400, 0, 1024), 400, 512})); // at most N / 2

// The log index is ⌊f ÷ b⌋ of the geometric interpolation between the lowest and highest
// frequency of the marker's range (an independent form of the same mapping).
double Geometric(double low, double high, double fraction) {
    return low * std::pow(high / low, fraction);
}

INSTANTIATE_TEST_SUITE_P(
    LogAxis, MarkerIndex,
    testing::Values(
        // f_hi = min(1000 Hz, fs/2 = 512 Hz), f_lo = max(0 Hz, 10 Hz).
        CIndexCase{Log(0, 1000, 10.0), 75, int(Geometric(10, 512, 0.25))},
        CIndexCase{Log(0, 1000, 10.0), 150, int(Geometric(10, 512, 0.5))},
        CIndexCase{Log(0, 1000, 10.0), 225, int(Geometric(10, 512, 0.75))},
        // f_lo = the start bin's 20 Hz when above the code's 1 Hz; f_hi = e·b = 400 Hz.
        CIndexCase{Log(20, 400, 1.0), 100, int(Geometric(20, 400, 1.0 / 3))},
        CIndexCase{Log(0, 1000, 10.0), 100000, 512}));

TEST(PlotAxis, LogMarkerReportsTheInterpolatedFrequency) {
    double f = 0.0;
    Log(0, 1000, 10.0).MarkerIndex(150, &f);
    EXPECT_NEAR(f, Geometric(10, 512, 0.5), 1e-9);
}

TEST(PlotAxis, PlacedMarkerColumnAndText) {
    const CPlotAxis linear = Linear(100, 400, 1, 33);
    EXPECT_DOUBLE_EQ(linear.MarkerX(19), 325.0); // 100 + 400 × 18 ÷ 32
    EXPECT_EQ(linear.MarkerText(19), "890.6 Hz, ");
    const CPlotAxis log = Log(0, 1000, 10.0);
    // Index 99 is drawn where the trace puts bin 99: at 100 Hz on the 10..999 Hz mapping.
    EXPECT_NEAR(log.MarkerX(99), 300.0 * (2.0 - 1.0) / (std::log10(999.0) - 1.0), 1e-9);
    EXPECT_EQ(log.MarkerText(99), " 99.0 Hz,");
    const CPlotAxis time = Time(75);
    EXPECT_DOUBLE_EQ(time.MarkerX(51), 125.0 + 255.0) << "where the trace draws sample 51";
    EXPECT_EQ(time.MarkerText(51), "0.0051000 Sec, ");
}

struct CChanCase {
    int xCode;
    EAxisKind kind;
    double lowest;
    bool channelB;
};

class ChanAxis : public testing::TestWithParam<CChanCase> {};

TEST_P(ChanAxis, XCodeNamesAxisAndChannel) {
    CChan chan;
    chan.xCode = GetParam().xCode;
    chan.markerRect = {10, 20, 110, 220};
    const CPlotAxis axis = chan.GetAxis();
    EXPECT_EQ(axis.kind, GetParam().kind);
    EXPECT_EQ(chan.DrawsChannelB(), GetParam().channelB);
    EXPECT_EQ(axis.left, 10.0);
    EXPECT_EQ(axis.width, 100.0);
    if (axis.kind == EAxisKind::log) {
        EXPECT_EQ(axis.lowestFrequency, GetParam().lowest);
    }
}

INSTANTIATE_TEST_SUITE_P(
    LoggerCodes, ChanAxis,
    testing::Values(CChanCase{0, EAxisKind::time, 0, false}, CChanCase{1, EAxisKind::time, 0, true},
                    CChanCase{2, EAxisKind::linear, 0, false},
                    CChanCase{3, EAxisKind::log, 1, false}, CChanCase{4, EAxisKind::log, 10, false},
                    CChanCase{5, EAxisKind::log, 20, false},
                    CChanCase{6, EAxisKind::log, 100, false},
                    CChanCase{7, EAxisKind::linear, 0, true}, CChanCase{8, EAxisKind::log, 1, true},
                    CChanCase{9, EAxisKind::log, 10, true}, CChanCase{10, EAxisKind::log, 20, true},
                    CChanCase{11, EAxisKind::log, 100, true}));

TEST(ChanRecords, ViewsStartWithTheirTwoSampleRates) {
    const auto records = DefaultChanRecords();
    EXPECT_EQ(records[0].sampleRate, 44100.0);
    EXPECT_EQ(records[1].sampleRate, 48000.0);
    EXPECT_EQ(records[1].blockSize, 1024);
    EXPECT_EQ(records[1].gain, 1.0);
}

} // namespace
