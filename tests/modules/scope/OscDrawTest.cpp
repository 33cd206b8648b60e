// What the oscilloscope draws, recorded on a canvas. The 210 x 110 view puts the plot at
// (5, 5) - (205, 105): 20 pixels per horizontal and 12.5 per vertical division. The 16-sample
// block at 1600 per second and 1 ms/div advances 12.5 pixels per sample; at 500 mV/div a volt
// is 25 pixels.
#include "common/ModuleProcess.h"
#include "common/PatternModules.h"

#include "modules/scope/OscView.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace {

using EOp = CRecordingCanvas::EOp;
using Points = std::vector<CPoint>;
constexpr CRect kView{0, 0, 210, 110};
constexpr CColour kGreen{0, 255, 0};
constexpr CColour kCyan{0, 255, 255};

class OscDraw : public testing::Test {
protected:
    CModuleProcess p{PatternRegistry()};
    CRecordingCanvas canvas;

    void SetUp() override {
        ASSERT_TRUE(p.Create({"Signal Generator", "Oscilloscope"}, 16, 1600.0));
        // Channel 1 alternates 0 V and 0.5 V, channel 2 holds 0.25 V.
        p.Step<CPatternSource>(1).m_pattern = [](int c, int, int i) {
            return c == 0 ? (i % 2) * 0.5 : 0.25;
        };
    }
    COscView& Scope() { return p.Step<COscView>(2); }
    void Paint(const CRect& view = kView) {
        canvas.Clear();
        Scope().OnDraw(canvas, view);
        EXPECT_EQ(canvas.OpenGroups(), 0u);
    }
    std::vector<CRecordingCanvas::COp> Traces() const { return canvas.OpsOf(EOp::polyline); }
};

// Channel 1's trace: zero line at 75 % (y = 30), 0.5 V 12.5 pixels above it.
Points Channel1() {
    Points p;
    for (int i = 0; i < 16; ++i)
        p.push_back({5 + i * 25 / 2, i % 2 ? 17 : 30});
    return p;
}

TEST_F(OscDraw, GridHasElevenColumnsAndNineRowsThenTheTicks) {
    Paint();
    const auto lines = canvas.OpsOf(EOp::line);
    const int rows[] = {5, 17, 30, 42, 55, 67, 80, 92, 105};
    ASSERT_EQ(lines.size(), 20u + 49u + 39u) << "grid, then 10 x 5 - 1 and 8 x 5 - 1 ticks";
    for (int i = 0; i <= 10; ++i)
        EXPECT_EQ(lines[size_t(i)].points, (Points{{5 + 20 * i, 5}, {5 + 20 * i, 105}})) << i;
    for (int i = 0; i <= 8; ++i)
        EXPECT_EQ(lines[size_t(11 + i)].points, (Points{{5, rows[i]}, {205, rows[i]}})) << i;
    // The horizontal ticks sit on grid line 4 from the bottom (the centre row, y = 55).
    EXPECT_EQ(lines[20].points[0].y + lines[20].points[1].y, 2 * 55);
    // The vertical ticks sit on column 5 (x = 105).
    EXPECT_EQ(lines[20 + 49].points[0].x + lines[20 + 49].points[1].x, 2 * 105);
    EXPECT_EQ(canvas.OpsOf(EOp::fillRect).back().rect, (CRect{5, 5, 205, 105}));
}

TEST_F(OscDraw, DrawsBothChannelsFromTheDisplayList) {
    ASSERT_TRUE(p.Pass());
    Paint();
    const auto traces = Traces();
    ASSERT_EQ(traces.size(), 2u);
    EXPECT_EQ(traces[0].points, Channel1());
    // Channel 2: zero line at 25 % (y = 80), 0.25 V is 6.25 pixels above: y = 73.
    EXPECT_EQ(traces[1].points.front(), (CPoint{5, 73}));
    EXPECT_EQ(traces[1].points.back(), (CPoint{192, 73}));
    EXPECT_EQ(traces[0].pen.colour, kGreen);
    EXPECT_EQ(traces[0].clip, (CRect{5, 5, 205, 105}));
}

TEST_F(OscDraw, OffHidesAChannelAndGndDrawsItsZeroLine) {
    ASSERT_TRUE(p.Pass());
    p.Set(2, {"ch1.disp", "ch1.disp", "ch2.disp", "ch2.disp", "ch2.disp"}); // Off and Gnd
    Paint();
    const auto traces = Traces();
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0].points, (Points{{5, 80}, {205, 80}}));
}

TEST_F(OscDraw, DigitalTracesStep) {
    ASSERT_TRUE(p.Pass());
    p.Set(2, {"ch1.disp"}); // Dig
    Paint();
    const Points p = Traces()[0].points;
    ASSERT_GE(p.size(), 5u);
    EXPECT_EQ(p[0], (CPoint{5, 30}));
    EXPECT_EQ(p[1], (CPoint{17, 30}));
    EXPECT_EQ(p[2], (CPoint{17, 17}));
    EXPECT_EQ(p[3], (CPoint{30, 17}));
    EXPECT_EQ(p[4], (CPoint{30, 30}));
}

TEST_F(OscDraw, TheSelectedChannelUsesTheSelectionPenExceptOnPaper) {
    ASSERT_TRUE(p.Pass());
    Scope().OnSelCh2();
    Paint();
    EXPECT_EQ(Traces()[0].pen.colour, kGreen);
    EXPECT_EQ(Traces()[1].pen.colour, kCyan);
    canvas.SetPrinting(true, 600);
    Paint();
    EXPECT_EQ(Traces()[1].pen.colour, kGreen);
}

TEST_F(OscDraw, TheGateIsAnInvertedBandAndSoIsADragInProgress) {
    Paint();
    Scope().OnLButtonDown({55, 50});
    Scope().OnMouseMove({80, 50}, true);
    Paint();
    ASSERT_EQ(canvas.OpsOf(EOp::invertRect).size(), 1u);
    EXPECT_EQ(canvas.OpsOf(EOp::invertRect)[0].rect, (CRect{55, 5, 80, 105}));

    Scope().OnLButtonUp({105, 50});
    Paint();
    // Samples 4 to 8 of 16 across the 200-pixel plot.
    ASSERT_EQ(canvas.OpsOf(EOp::invertRect).size(), 1u);
    EXPECT_EQ(canvas.OpsOf(EOp::invertRect)[0].rect, (CRect{55, 5, 105, 105}));
}

} // namespace
