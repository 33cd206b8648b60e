// The recording canvas keeps each call with the state in force, which the plot tests rely on.
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordingCanvas, KeepsEachCallWithThePenBrushFontAndClipInForce) {
    CRecordingCanvas canvas;
    canvas.PopClip(); // nothing open: not recorded
    canvas.EndLayer();
    EXPECT_TRUE(canvas.Ops().empty());
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
    canvas.BeginLayer({0, 0, 1, 1});

    const auto line = canvas.OpsOf(CRecordingCanvas::EOp::line).at(0);
    EXPECT_EQ(line.points, (std::vector<CPoint>{{1, 2}, {3, 4}}));
    EXPECT_EQ(line.pen, (CPen{{1, 2, 3}, 4}));
    EXPECT_EQ(line.clip, (CRect{50, 10, 100, 40})) << "nested clips intersect";
    const auto rect = canvas.OpsOf(CRecordingCanvas::EOp::rectangle).at(0);
    EXPECT_FALSE(rect.brush.has_value());
    EXPECT_EQ(rect.clip, (CRect{0, 0, 100, 50}));
    const auto text = canvas.OpsOf(CRecordingCanvas::EOp::text).at(0);
    EXPECT_EQ(canvas.Texts(), std::vector<std::string>{"t"});
    EXPECT_EQ(text.font, (CFont{20, 700, "x"}));
    EXPECT_GT(text.clip.right, 1000000) << "no clip after the last pop";
    EXPECT_EQ(canvas.OpenGroups(), 1u);
}

} // namespace
