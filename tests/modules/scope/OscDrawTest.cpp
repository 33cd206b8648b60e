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

} // namespace
