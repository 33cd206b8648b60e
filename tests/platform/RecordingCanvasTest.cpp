// The recording canvas keeps each call with the state in force, which the plot tests rely on.
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace {

using EOp = CRecordingCanvas::EOp;

TEST(RecordingCanvas, KeepsEachCallWithThePenBrushFontAndClipInForce) {
    CRecordingCanvas canvas;
    canvas.SetPen({{1, 2, 3}, 4});
    canvas.SetBrush(CColour{9, 9, 9});
    canvas.SetFont({20, 700, "x"});
    canvas.PushClip({0, 0, 100, 50});
    canvas.PushClip({50, 10, 200, 40});
    canvas.DrawLine({1, 2}, {3, 4});
    canvas.PopClip();
    canvas.SetBrush(std::nullopt);
    canvas.Rectangle({5, 6, 7, 8});
    canvas.PopClip();
    canvas.DrawText({0, 0}, "t", {7, 7, 7});

    const auto lines = canvas.OpsOf(EOp::line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points, (std::vector<CPoint>{{1, 2}, {3, 4}}));
    EXPECT_EQ(lines[0].pen, (CPen{{1, 2, 3}, 4}));
    EXPECT_EQ(lines[0].clip, (CRect{50, 10, 100, 40})) << "nested clips intersect";
    const auto rects = canvas.OpsOf(EOp::rectangle);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_FALSE(rects[0].brush.has_value());
    EXPECT_EQ(rects[0].clip, (CRect{0, 0, 100, 50}));
    EXPECT_EQ(canvas.Texts(), std::vector<std::string>{"t"});
    EXPECT_EQ(canvas.OpsOf(EOp::text)[0].font, (CFont{20, 700, "x"}));
    EXPECT_GT(canvas.OpsOf(EOp::text)[0].clip.right, 1000000) << "no clip after the last pop";
    EXPECT_EQ(canvas.OpenGroups(), 0u);
}

TEST(RecordingCanvas, UnmatchedClosesAreNotRecorded) {
    CRecordingCanvas canvas;
    canvas.PopClip();
    canvas.EndLayer();
    EXPECT_TRUE(canvas.Ops().empty());
    canvas.BeginLayer({0, 0, 1, 1});
    EXPECT_EQ(canvas.OpenGroups(), 1u);
}

} // namespace
