// The view's own drawing: the plot area, the background it fills and its tick marks.
#include "common/CaseName.h"
#include "common/TestModules.h"

#include "platform/MemorySettings.h"
#include "platform/RecordingCanvas.h"
#include "process/DspDoc.h"
#include "process/PlotColours.h"

#include <gtest/gtest.h>

namespace {

using EOp = CRecordingCanvas::EOp;

// Whether the base fills its plot area (the view less its bars, never inverted) with the
// background: a view of a real step leaves it to the host's bitmap unless bitmaps are off.
struct CBackgroundCase {
    std::string name;
    bool emptyProcess;
    int bitmaps;
    bool filled;
};

class DspViewBackground : public testing::TestWithParam<CBackgroundCase> {};

TEST_P(DspViewBackground, FillsTheEmptyProcessOrWhenBitmapsAreOff) {
    CMemorySettings store;
    store.SetInt("Themes", "EnableCustomBackgroundBitmaps", GetParam().bitmaps);
    CTestSession t(TestRegistry(), &store);
    CDspDoc* doc = t.NewProcess(GetParam().emptyProcess ? std::vector<std::string>{}
                                                        : std::vector<std::string>{"SoundIO"});
    ASSERT_TRUE(doc);
    CDspView* view = doc->GetView(0);
    view->SetBarHeights(30, 20);
    EXPECT_EQ(view->GetScreenRect({0, 0, 400, 40}), (CRect{0, 0, 400, 0}));
    CRecordingCanvas canvas;
    view->OnDraw(canvas, {0, 0, 200, 150});
    if (!GetParam().filled) {
        EXPECT_TRUE(canvas.Ops().empty());
        return;
    }
    const auto fills = canvas.OpsOf(EOp::fillRect);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect, (CRect{0, 0, 200, 100}));
    EXPECT_EQ(fills[0].colour, kApplicationBackground);
}

INSTANTIATE_TEST_SUITE_P(Cases, DspViewBackground,
                         testing::Values(CBackgroundCase{"StepWithBitmaps", false, 1, false},
                                         CBackgroundCase{"StepWithoutBitmaps", false, 0, true},
                                         CBackgroundCase{"EmptyProcess", true, 1, true}),
                         CaseName());

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

} // namespace
