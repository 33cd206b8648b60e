// The view's own drawing: the plot area, the background it fills, its tick marks and its axis
// texts on the view's grid layout.
#include "TestModules.h"

#include "platform/MemorySettings.h"
#include "platform/RecordingCanvas.h"
#include "process/DspDoc.h"
#include "process/PlotColours.h"

#include <gtest/gtest.h>

namespace {

using EOp = CRecordingCanvas::EOp;

TEST(DspViewDraw, PlotAreaLeavesRoomForTheBars) {
    CDspView view;
    EXPECT_EQ(view.GetScreenRect({0, 0, 400, 300}), (CRect{0, 0, 400, 300}));
    view.SetBarHeights(40, 20);
    EXPECT_EQ(view.GetScreenRect({10, 10, 400, 300}), (CRect{10, 10, 400, 240}));
    EXPECT_EQ(view.GetScreenRect({0, 0, 400, 50}), (CRect{0, 0, 400, 0})) << "never inverted";
    view.SetBarHeights(-5, -5);
    EXPECT_EQ(view.GetScreenRect({0, 0, 400, 300}), (CRect{0, 0, 400, 300}));
}

// Whether the base fills its plot area with the background: a view of a real step leaves it to
// the host's bitmap unless background bitmaps are off.
struct CBackgroundCase {
    bool emptyProcess;
    int bitmaps;
    bool filled;
};

class DspViewBackground : public testing::TestWithParam<CBackgroundCase> {};

TEST_P(DspViewBackground, FillsTheEmptyProcessOrWhenBitmapsAreOff) {
    CMemorySettings store;
    store.SetInt("Themes", "EnableCustomBackgroundBitmaps", GetParam().bitmaps);
    CRecordingMessageSink sink;
    CFixedClock clock{0};
    CDspApp app(TestRegistry(), sink, clock, &store);
    CDspDoc doc(&app);
    if (!GetParam().emptyProcess) {
        doc.SetSteps({"Signal Generator"}, {"1"});
        doc.BuildViews({TestRegistry().Find("Signal Generator")});
    } else {
        doc.BuildViews({});
    }
    CDspView* view = doc.GetView(0);
    view->SetBarHeights(30, 20);
    CRecordingCanvas canvas;
    view->OnDraw(canvas, {0, 0, 200, 150});
    const auto fills = canvas.OpsOf(EOp::fillRect);
    if (!GetParam().filled) {
        EXPECT_TRUE(canvas.Ops().empty());
        return;
    }
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect, (CRect{0, 0, 200, 100}));
    EXPECT_EQ(fills[0].colour, kApplicationBackground);
}

INSTANTIATE_TEST_SUITE_P(Cases, DspViewBackground,
                         testing::Values(CBackgroundCase{false, 1, false},
                                         CBackgroundCase{false, 0, true},
                                         CBackgroundCase{true, 1, true},
                                         CBackgroundCase{true, 0, true}));

TEST(DspViewDraw, TicksUseTheViewsGridLayout) {
    CDspView view;
    CRecordingCanvas canvas;
    view.DrawXDirTicks(canvas, {0, 0, 500, 400}, 4);
    auto lines = canvas.OpsOf(EOp::line);
    ASSERT_EQ(lines.size(), 49u);
    // The centre line (4 of 8 up), ticks 10 pixels apart, half-length 400 ÷ 64.
    EXPECT_EQ(lines[0].points, (std::vector<CPoint>{{10, 194}, {10, 206}}));
    EXPECT_EQ(lines[0].pen.colour, (CColour{192, 192, 192}));
    canvas.Clear();
    view.DrawYDirTicks(canvas, {0, 0, 500, 400}, 5);
    lines = canvas.OpsOf(EOp::line);
    ASSERT_EQ(lines.size(), 39u);
    EXPECT_EQ(lines[0].points, (std::vector<CPoint>{{244, 10}, {256, 10}}));
    canvas.Clear();
    view.DrawYDirTicks(canvas, {0, 0, 500, 400}, 11); // right of the plot
    view.DrawYDirTicks(canvas, {0, 0, 500, 400}, -1);
    EXPECT_TRUE(canvas.Ops().empty());
}

TEST(DspViewDraw, AxisTextsOfTheViewsGrid) {
    const CDspView view;
    EXPECT_EQ(view.GetYAxisVoltsDispText(2, 0.5), "3.0V");
    EXPECT_EQ(view.GetYAxisOffsetVoltsDispText(0, 0.5), "2.0V");
    EXPECT_EQ(view.GetYAxisOffsetVoltsDispText(8, 0.5), "-2.0V");
    EXPECT_EQ(view.GetYAxisdBDispText(0, 10.0), " 40dB");
    EXPECT_EQ(view.GetYAxisDegDispText(8, 45.0), "-180\xC2\xB0");
    EXPECT_EQ(view.GetYAxisOhmsDispText(0, 10.0), "80");
    EXPECT_EQ(view.GetXAxisLinTimeDispText(3, 0.001), "  3mSec");
    EXPECT_EQ(view.GetXAxisLinTimeDispText(3, 0.00002), " 60uSec");
}

} // namespace
