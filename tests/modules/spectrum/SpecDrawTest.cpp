// The analyser's display: the plot channels draw what the display holds now, and a click
// places the marker where it was made.
#include "SpecFixture.h"

#include "base/NumberText.h"
#include "platform/RecordingCanvas.h"

#include <algorithm>

namespace {

using Lines = std::vector<std::string>;
using EOp = CRecordingCanvas::EOp;

class SpecDraw : public SpecFixture {
protected:
    void SetUp() override {
        SpecFixture::SetUp();
        Source().m_pattern = [this](int c, int, int i) {
            return Tone(0.5, 32, i, n) + (c + 1) * 0.01 * Tone(1, 64, i, n);
        };
    }
    void Paint(CRecordingCanvas& canvas, int width, int height) {
        Analyser().OnDraw(canvas, CRect{0, 0, width, height});
        EXPECT_EQ(canvas.OpenGroups(), 0u);
    }
};

// Smoothing replaced the displayed arrays after each pass while the plot channels kept pointers
// into the old ones: the trace drawn after two runs must be the trace of what the display holds
// now (under the sanitizers a stale pointer is a read of freed memory).
TEST_F(SpecDraw, DrawsTheSmoothedValuesAfterARun) {
    Set({"smooth=3"});
    RunOnce();
    RunOnce();
    CRecordingCanvas drawn;
    Paint(drawn, 1000, 600);
    const auto traces = drawn.OpsOf(EOp::polyline);
    ASSERT_EQ(traces.size(), 2u);
    for (int c = 0; c < 2; ++c) {
        const CTraceArrays now = TraceArraysOf(*Analyser().GetDisplayList(), c);
        std::vector<double> magnitude(now.magnitude, now.magnitude + now.size);
        CChannel copy = *Analyser().GetChannelPointer(c);
        copy.m_arrays = [&] {
            CTraceArrays arrays = now;
            arrays.magnitude = magnitude.data();
            return arrays;
        };
        CRecordingCanvas expected;
        copy.PlotData(expected);
        ASSERT_EQ(expected.OpsOf(EOp::polyline).size(), 1u);
        EXPECT_EQ(traces[size_t(c)].points, expected.OpsOf(EOp::polyline)[0].points);
    }
}

// A click released before any repaint (the usual quick click) places the marker where it was
// made, on linear volt axes as on decibel axes; it read "0.0 Hz" at the left edge.
TEST_F(SpecDraw, AClickReleasedBeforeARepaintPlacesTheMarkerWhereItWasMade) {
    RunOnce();
    for (const char* y : {"Vpk.", "THDVpk", "dBVpk."}) {
        SCOPED_TRACE(y);
        Set({std::string("yaxis=") + y, "xaxis=Lin."});
        CRecordingCanvas layout;
        Paint(layout, 1000, 600);
        const CRect plot = Analyser().GetChannelPointer(0)->m_plotRect;
        const CPoint centre{(plot.left + plot.right) / 2, (plot.top + plot.bottom) / 2};
        Analyser().OnLButtonDown(centre);
        Analyser().OnLButtonUp(centre);
        CRecordingCanvas canvas;
        Paint(canvas, 1000, 600);
        const Lines texts = canvas.Texts();
        const auto marker = std::find_if(texts.begin(), texts.end(), [](const std::string& t) {
            return t.find(" Hz, ") != std::string::npos;
        });
        ASSERT_NE(marker, texts.end());
        // The middle of 0 to 16000 Hz, within the bin (31.25 Hz) the pixel falls in.
        EXPECT_NEAR(ParseDouble(*marker), 8000.0, 31.25 + 16000.0 / (plot.right - plot.left))
            << *marker;
        Analyser().OnLButtonDown(centre); // off again
    }
}

} // namespace
