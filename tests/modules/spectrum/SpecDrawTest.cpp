// The analyser's display: the texts it draws are its readouts, each only where it fits and
// none over another; the plot channels get the axis settings and draw what the display holds.
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
    size_t Traces() {
        CRecordingCanvas canvas;
        Paint(canvas, 1000, 600);
        return canvas.OpsOf(EOp::polyline).size();
    }
};

// With room every readout is drawn and none covers another; in a narrow picture only those that
// fit. No text leaves the picture.
TEST_F(SpecDraw, DrawsTheReadoutsThatFitInsideThePictureAndApart) {
    Set({"yaxis=THDVpk", "avg=2"});
    RunOnce();
    for (const auto& [axis, width] : {std::pair{"Lin.", 1200}, {"Log20.", 1200}, {"Log1.", 160}}) {
        SCOPED_TRACE(axis);
        Set({std::string("xaxis=") + axis});
        CRecordingCanvas canvas;
        Paint(canvas, width, 800);
        const Lines all = Analyser().GetReadouts();
        Lines drawn;
        for (const std::string& text : canvas.Texts())
            if (std::find(all.begin(), all.end(), text) != all.end()) drawn.push_back(text);
        if (width == 1200) {
            EXPECT_EQ(drawn, all);
        } else {
            EXPECT_LT(drawn.size(), all.size());
        }
        std::vector<CRect> boxes;
        for (const auto& op : canvas.OpsOf(EOp::text)) {
            const CSize size = canvas.GetTextExtent(op.text);
            const CPoint at = op.points.at(0);
            const CRect a{at.x, at.y, at.x + size.cx, at.y + size.cy};
            EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.right <= width && a.bottom <= 800)
                << op.text;
            for (const CRect& b : width < 1200 ? std::vector<CRect>{} : boxes)
                EXPECT_FALSE(a.left < b.right && b.left < a.right && a.top < b.bottom &&
                             b.top < a.bottom)
                    << op.text;
            boxes.push_back(a);
        }
    }
    EXPECT_EQ(Analyser().GetReadouts()[10], "Rec Avg: 1 / 2");
}

// Each channel plots in its own half with the axis settings and the display list's arrays.
TEST_F(SpecDraw, ChannelsGetTheAxisSettingsAndTheirHalf) {
    Set({"xaxis=Log20.", "startup", "stopdn", "plot=Solid Bar", "yaxis=dBRel"});
    Analyser().OnSelCh2();
    RunOnce(); // the channels find the arrays once a block was analysed into them
    CRecordingCanvas canvas;
    Paint(canvas, 1000, 600);
    for (int c = 0; c < 2; ++c) {
        const CChannel& ch = *Analyser().GetChannelPointer(c);
        EXPECT_EQ(ch.m_xCode, EPlotX::LogFrom20Hz);
        EXPECT_EQ(ch.m_startBin, 16);
        EXPECT_EQ(ch.m_stopBin, 31 * 16);
        EXPECT_EQ(ch.m_yCode, EPlotY::DBRelative);
        EXPECT_EQ(ch.m_yScale, 1.0);
        EXPECT_EQ(ch.m_ref1, 1000.0);
        EXPECT_EQ(ch.m_plotStyle, 1);
        EXPECT_EQ(ch.m_selected, c == 1);
        EXPECT_EQ(c == 0 ? ch.m_plotRect.bottom <= 300 : ch.m_plotRect.top >= 300, true);
        ASSERT_TRUE(ch.m_arrays);
        EXPECT_EQ(ch.m_arrays().magnitude, Analyser().GetDisplayList()->GetFreqData(c));
        EXPECT_EQ(ch.m_arrays().companionMagnitude,
                  Analyser().GetDisplayList()->GetFreqData(1 - c));
    }
}

} // namespace

namespace {

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

} // namespace

namespace {

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
