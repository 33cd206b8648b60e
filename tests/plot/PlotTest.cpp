// The plot a view owns, without a document: which marker a click toggles, how a drag moves it
// and when the capture ends, channel selection, and the theme its ticks take.
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

TEST_F(PlotChannels, ADragMovesOnlyAMarkerThatIsOnWithinItsOwnRectangle) {
    EXPECT_FALSE(plot.OnMouseMove({40, 150}, true)) << "no capture, no move";
    plot.OnLButtonDown({40, 150});
    Marker(1).pointPending = false;
    EXPECT_TRUE(plot.OnMouseMove({60, 120}, true));
    EXPECT_EQ(Marker(1).point, (CPoint{60, 120}));
    EXPECT_TRUE(Marker(1).pointPending);
    EXPECT_FALSE(plot.OnMouseMove({60, 50}, true)) << "channel 1's marker is off";
    EXPECT_EQ(Marker(1).point, (CPoint{60, 120}));
    EXPECT_EQ(Marker(0).point, (CPoint{}));
    EXPECT_TRUE(plot.HasCapture()) << "only the single marker's plot releases on leaving";

    plot.OnLButtonUp();
    EXPECT_FALSE(plot.HasCapture());
    EXPECT_TRUE(Marker(0).dragFinished);
    EXPECT_TRUE(Marker(1).dragFinished);
    EXPECT_TRUE(plot.Marker().dragFinished);
    EXPECT_FALSE(plot.OnMouseMove({70, 130}, true));
    EXPECT_EQ(Marker(1).point, (CPoint{60, 120}));
}

TEST(PlotMarker, WithoutChannelRectanglesTheSingleMarkerFollowsTheMouse) {
    CPlot plot;
    plot.CreateChannels(2); // channels without rectangles do not take clicks
    plot.SetPlotRect({10, 10, 210, 110});
    EXPECT_EQ(plot.OnLButtonDown({9, 50}), EClick::Missed);
    EXPECT_EQ(plot.OnLButtonDown({10, 10}), EClick::MarkerOn);
    EXPECT_FALSE(plot.GetChannel(0)->m_marker.on);
    EXPECT_TRUE(plot.OnMouseMove({60, 60}, true));
    EXPECT_EQ(plot.Marker().point, (CPoint{60, 60}));
    EXPECT_FALSE(plot.OnMouseMove({300, 60}, false)) << "outside without the button: held";
    EXPECT_TRUE(plot.HasCapture());
    EXPECT_TRUE(plot.OnMouseMove({209, 109}, false));
    EXPECT_EQ(plot.Marker().point, (CPoint{209, 109}));
    EXPECT_FALSE(plot.OnMouseMove({210, 60}, true)) << "leaving with the button held releases";
    EXPECT_FALSE(plot.HasCapture());
    EXPECT_FALSE(plot.OnMouseMove({70, 70}, true));
    EXPECT_EQ(plot.Marker().point, (CPoint{209, 109}));
    EXPECT_TRUE(plot.Marker().on) << "the marker stays where it was left";
}

TEST(PlotChannelList, ChannelsAreMadeOnceAndTheSelectionMarksOneOfTheFirstTwo) {
    CPlot plot;
    EXPECT_EQ(plot.GetChannel(0), nullptr);
    plot.SelectChannel(1); // no channels yet: nothing to mark
    plot.CreateChannels(3);
    CChannel* first = plot.GetChannel(0);
    plot.CreateChannels(1);
    EXPECT_EQ(plot.GetChannel(0), first) << "existing channels are kept";
    ASSERT_NE(plot.GetChannel(2), nullptr);
    EXPECT_EQ(plot.GetChannel(3), nullptr);
    const auto selected = [&] {
        return std::vector<bool>{plot.GetChannel(0)->m_selected, plot.GetChannel(1)->m_selected,
                                 plot.GetChannel(2)->m_selected};
    };
    plot.SelectChannel(2);
    EXPECT_EQ(selected(), (std::vector<bool>{false, true, false}));
    plot.SelectChannel(1);
    EXPECT_EQ(selected(), (std::vector<bool>{true, false, false}));
    plot.SelectChannel(0);
    EXPECT_EQ(selected(), (std::vector<bool>{false, false, false}));
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
