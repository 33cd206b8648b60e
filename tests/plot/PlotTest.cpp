// The plot a view owns, without a document: which marker a click toggles, and the theme its
// ticks take.
#include "platform/RecordingCanvas.h"
#include "plot/Plot.h"

#include <gtest/gtest.h>

namespace {

using EClick = CPlot::EClick;
using EOp = CRecordingCanvas::EOp;

// Two plot channels stacked: channel 1 at y 0..99, channel 2 at y 100..199, x 0..99.
class PlotChannels : public testing::Test {
protected:
    CPlot plot;

    void SetUp() override {
        plot.CreateChannels(2);
        plot.GetChannel(0)->m_plotRect = {0, 0, 100, 100};
        plot.GetChannel(1)->m_plotRect = {0, 100, 100, 200};
        plot.SetPlotRect({0, 0, 400, 400}); // not used while channels have rectangles
    }
    CPlotMarker& Marker(int channel) { return plot.GetChannel(channel)->m_marker; }
};

TEST_F(PlotChannels, AClickTogglesTheMarkerOfTheChannelUnderIt) {
    EXPECT_EQ(plot.OnLButtonDown({100, 50}), EClick::Missed) << "the right edge is outside";
    EXPECT_EQ(plot.OnLButtonDown({50, 200}), EClick::Missed) << "the bottom edge is outside";
    EXPECT_EQ(plot.OnLButtonDown({300, 300}), EClick::Missed) << "the single marker is unused";
    EXPECT_FALSE(plot.Marker().on);
    EXPECT_FALSE(plot.HasCapture());

    Marker(1).dragFinished = true;
    EXPECT_EQ(plot.OnLButtonDown({40, 100}), EClick::MarkerOn);
    EXPECT_TRUE(Marker(1).on);
    EXPECT_FALSE(Marker(0).on);
    EXPECT_EQ(Marker(1).point, (CPoint{40, 100}));
    EXPECT_TRUE(Marker(1).pointPending);
    EXPECT_FALSE(Marker(1).dragFinished) << "a new drag places the marker by the mouse";
    EXPECT_TRUE(plot.HasCapture());

    EXPECT_EQ(plot.OnLButtonDown({41, 150}), EClick::MarkerOff);
    EXPECT_FALSE(Marker(1).on);
    EXPECT_EQ(Marker(1).point, (CPoint{41, 150}));
    EXPECT_FALSE(plot.HasCapture());
}

TEST(PlotPaint, TheAreaLeavesTheBarsAndTheTicksTakeTheThemeOfThePaint) {
    CPlot plot;
    plot.SetBarHeights(30, -5); // a negative height counts as none
    EXPECT_EQ(plot.Area({0, 10, 400, 300}), (CRect{0, 10, 400, 270}));
    plot.SetBarHeights(30, 20);
    EXPECT_EQ(plot.Area({0, 10, 400, 40}), (CRect{0, 10, 400, 10})) << "never inverted";

    CRecordingCanvas canvas;
    plot.BeginPaint(canvas, {0, 0, 200, 100}, true, false);
    EXPECT_TRUE(canvas.Ops().empty());
    EXPECT_EQ(plot.Colours().grid, LightPlotColours().grid);
    ASSERT_NE(LightPlotColours().grid, CPlotColours{}.grid);
    plot.DrawXDirTicks(canvas, {0, 0, 200, 160}, plot.Grid().xTickLine);
    const auto ticks = canvas.OpsOf(EOp::line);
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks.front().pen.colour, LightPlotColours().grid);

    canvas.Clear();
    plot.BeginPaint(canvas, {0, 0, 200, 100}, false, true);
    EXPECT_EQ(plot.Colours().grid, CPlotColours{}.grid);
    const auto fills = canvas.OpsOf(EOp::fillRect);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect, (CRect{0, 0, 200, 100}));
    EXPECT_EQ(fills[0].colour, kApplicationBackground);
    plot.DrawYDirTicks(canvas, {0, 0, 200, 160}, plot.Grid().yTickLine);
    EXPECT_EQ(canvas.OpsOf(EOp::line).front().pen.colour, CPlotColours{}.grid);
}

} // namespace
