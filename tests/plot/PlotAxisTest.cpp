// Horizontal mappings, marker indexes and marker texts on time, linear and logarithmic axes.
#include "plot/PlotAxis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

// 400 pixels from x = 100 over bins 1..33 at 46.875 Hz per bin: 12.5 pixels per bin.
CPlotAxis Linear() {
    CPlotAxis a;
    a.kind = EAxisKind::linear;
    a.left = 100.0;
    a.width = 400.0;
    a.sampleRate = 48000.0;
    a.blockSize = 1024;
    a.startBin = 1;
    a.stopBin = 33;
    return a;
}

// 300 pixels at 1 Hz per bin, so frequencies and bins coincide, from the code's 10 Hz (or the
// start bin's frequency when higher) to the stop bin's.
CPlotAxis Log(int start, int stop, double lowest = 10.0) {
    CPlotAxis a;
    a.kind = EAxisKind::log;
    a.width = 300.0;
    a.sampleRate = 1024.0;
    a.blockSize = 1024;
    a.startBin = start;
    a.stopBin = stop;
    a.lowestFrequency = lowest;
    return a;
}

// 100 samples at 10 kHz across 500 pixels (5 each), the trace shifted by the offset in percent.
CPlotAxis Time(double offset) {
    CPlotAxis a;
    a.kind = EAxisKind::time;
    a.width = 500.0;
    a.sampleRate = 10000.0;
    a.blockSize = 1024;
    a.timeOffset = offset;
    a.timePerDivision = 0.001;
    return a;
}

// The geometric interpolation between the lowest and highest frequency: an independent form of
// the log mapping.
double Geometric(double low, double high, double fraction) {
    return low * std::pow(high / low, fraction);
}

// Where the trace draws an element, and the marker index a pixel column chooses. Linear: the
// origin one bin left of the plot; a column left of it gives the start bin, the index is at most
// N / 2. Log: 1 Hz lies a decade left of 10 Hz; the marker's range ends at half the rate. Time:
// columns outside the block give its ends. Each row: axis, element, its x, a column, its index.
TEST(PlotAxis, ElementPixelAndMarkerIndex) {
    const std::tuple<CPlotAxis, int, double, int, int> cases[] = {
        {Linear(), 0, 87.5, 112, 1},
        {Linear(), 1, 112.5, 113, 2},
        {Linear(), 32, 500.0, 500, 33},
        {Linear(), 16, 300.0, 50, 1},
        {Log(0, 1001), 0, -150.0, 150, int(Geometric(10, 512, 0.5))},
        {Log(0, 1001), 99, 150.0, 75, int(Geometric(10, 512, 0.25))},
        {Log(0, 1001), 999, 300.0, 100000, 512},
        {Log(20, 400, 1.0), 19, 0.0, 100, int(Geometric(20, 400, 1.0 / 3))},
        {Time(50), 51, 255.0, 255, 51},
        {Time(75), 0, 125.0, 132, 1},
        {Time(50), 10, 50.0, -40, 0},
        {Time(25), 10, -75.0, 100000, 1023}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& [axis, element, x, markerX, index] = cases[i];
        EXPECT_NEAR(axis.XOfElement(element), x, 1e-9) << "row " << i;
        EXPECT_EQ(axis.MarkerIndex(markerX), index) << "row " << i;
    }
}

TEST(PlotAxis, PlacedMarkerColumnTextAndDegenerateAxes) {
    EXPECT_DOUBLE_EQ(Linear().MarkerX(19), 325.0); // 100 + 400 × 18 ÷ 32
    EXPECT_EQ(Linear().MarkerText(19), "890.6 Hz, ");
    // Index 99 is drawn where the trace puts bin 99: at 100 Hz on the 10..999 Hz mapping.
    EXPECT_NEAR(Log(0, 1000).MarkerX(99), 300.0 / (std::log10(999.0) - 1.0), 1e-9);
    EXPECT_EQ(Log(0, 1000).MarkerText(99), " 99.0 Hz,");
    double f = 0.0;
    Log(0, 1000).MarkerIndex(150, &f);
    EXPECT_NEAR(f, Geometric(10, 512, 0.5), 1e-9);
    EXPECT_DOUBLE_EQ(Time(75).MarkerX(51), 125.0 + 255.0) << "where the trace draws sample 51";
    EXPECT_EQ(Time(75).MarkerText(51), "0.0051000 Sec, ");

    EXPECT_TRUE(Linear().IsDrawable());
    CPlotAxis empty = Linear();
    empty.stopBin = 1;
    EXPECT_FALSE(empty.IsDrawable());
    EXPECT_FALSE(Log(0, 2).IsDrawable()) << "1 Hz top below the 10 Hz bottom";
    CPlotAxis still = Time(50);
    still.timePerDivision = 0.0;
    EXPECT_FALSE(still.IsDrawable());
}

} // namespace
