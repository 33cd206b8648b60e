// The analyser's display: the texts it draws are its readouts, each only where it fits; the
// plot channels get the axis settings (impedance with the phase beside it).
#include "SpecTestProcess.h"

#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using Lines = std::vector<std::string>;

class SpecDraw : public testing::Test {
protected:
    CSpecTestApp t;
    CDspDoc* doc = nullptr;

    void SetUp() override {
        doc = t.NewProcess({"Signal Generator", "Spectrum Analyzer"}, 1024, 32000.0);
        ASSERT_NE(doc, nullptr);
        StepAs<CSpecTestSource>(*doc, 0).m_pattern = [](int c, int, int i) {
            const double w = 2.0 * std::numbers::pi * i / 1024;
            return 0.5 * std::sin(32 * w) + (c + 1) * 0.01 * std::sin(64 * w);
        };
    }
    CSpecView& Analyser() { return StepAs<CSpecView>(*doc, 1); }
    void Set(const std::string& id, const std::string& value = "") {
        std::string message;
        ASSERT_TRUE(Analyser().SetControl(id, value, message)) << id << ": " << message;
    }
    void RunPass() {
        ASSERT_TRUE(doc->OnEditRun());
        doc->OnIdle();
        doc->OnIdle();
        doc->OnEditStop();
    }
    // The texts drawn that are not grid labels, in drawing order.
    Lines DrawnReadouts(CRecordingCanvas& canvas, int width, int height) {
        Analyser().OnDraw(canvas, CRect{0, 0, width, height});
        EXPECT_EQ(canvas.OpenGroups(), 0u);
        const Lines all = Analyser().GetReadouts();
        Lines drawn;
        for (const std::string& text : canvas.Texts())
            if (std::find(all.begin(), all.end(), text) != all.end()) drawn.push_back(text);
        return drawn;
    }
};

TEST_F(SpecDraw, DrawsExactlyItsReadoutsWhenThereIsRoom) {
    Set("yaxis", "THDVpk");
    Set("avg", "2");
    RunPass();
    CRecordingCanvas canvas;
    EXPECT_EQ(DrawnReadouts(canvas, 1200, 800), Analyser().GetReadouts());
    EXPECT_EQ(Analyser().GetReadouts()[10], "Rec Avg: 1 / 2");
}

TEST_F(SpecDraw, SkipsTextsThatDoNotFit) {
    Set("yaxis", "THDVpk");
    RunPass();
    CRecordingCanvas canvas;
    const int width = 260;
    const Lines drawn = DrawnReadouts(canvas, width, 800);
    EXPECT_LT(drawn.size(), Analyser().GetReadouts().size());
    for (const auto& op : canvas.OpsOf(CRecordingCanvas::EOp::text)) {
        const CSize size = canvas.GetTextExtent(op.text);
        ASSERT_FALSE(op.points.empty());
        EXPECT_LE(op.points[0].x + size.cx, width) << op.text;
    }
}

TEST_F(SpecDraw, EachChannelHasItsOwnPlot) {
    RunPass();
    CRecordingCanvas canvas;
    Analyser().OnDraw(canvas, CRect{0, 0, 1000, 600});
    const CRect top = Analyser().GetChannelPointer(0)->m_plotRect;
    const CRect bottom = Analyser().GetChannelPointer(1)->m_plotRect;
    EXPECT_FALSE(top.IsRectEmpty());
    EXPECT_LE(top.bottom, 300);
    EXPECT_GE(bottom.top, 300);
    EXPECT_EQ(canvas.OpsOf(CRecordingCanvas::EOp::polyline).size(), 2u) << "one trace each";
}

TEST_F(SpecDraw, ChannelsGetTheAxisSettings) {
    Set("xaxis", "Log20.");
    Set("startup");
    Set("stopdn");
    Set("Plot:", "Solid Bar");
    Set("yaxis", "dBRel");
    RunPass(); // the channels find the arrays once a block was analysed into them
    for (int c = 0; c < 2; ++c) {
        const CChannel& ch = *Analyser().GetChannelPointer(c);
        EXPECT_EQ(ch.m_xCode, EPlotX::LogFrom20Hz);
        EXPECT_EQ(ch.m_startBin, 16);
        EXPECT_EQ(ch.m_stopBin, 31 * 16);
        EXPECT_EQ(ch.m_yCode, EPlotY::DBRelative);
        EXPECT_EQ(ch.m_yScale, 1.0);
        EXPECT_EQ(ch.m_ref1, 1000.0);
        EXPECT_EQ(ch.m_plotStyle, 1);
        ASSERT_TRUE(ch.m_arrays);
        EXPECT_EQ(ch.m_arrays().magnitude, Analyser().GetDisplayList()->GetFreqData(c));
        EXPECT_EQ(ch.m_arrays().companionMagnitude,
                  Analyser().GetDisplayList()->GetFreqData(1 - c));
    }
}

// The saved picture: no text leaves it or covers another (the origin labels, the last
// frequency label), and a logarithmic axis labels its decades.
TEST_F(SpecDraw, TextsStayInsideThePictureAndApart) {
    Set("yaxis", "THDVpk");
    RunPass();
    for (const char* axis : {"Lin.", "Log20.", "Log1."}) {
        Set("xaxis", axis);
        CRecordingCanvas canvas;
        Analyser().OnDraw(canvas, CRect{0, 0, 1200, 800});
        std::vector<std::pair<CRect, std::string>> boxes;
        for (const auto& op : canvas.OpsOf(CRecordingCanvas::EOp::text)) {
            const CSize size = canvas.GetTextExtent(op.text);
            const CPoint p = op.points.at(0);
            boxes.push_back({{p.x, p.y, p.x + size.cx, p.y + size.cy}, op.text});
        }
        for (size_t i = 0; i < boxes.size(); ++i) {
            const CRect& a = boxes[i].first;
            EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.right <= 1200 && a.bottom <= 800)
                << axis << ": " << boxes[i].second;
            for (size_t j = i + 1; j < boxes.size(); ++j) {
                const CRect& b = boxes[j].first;
                EXPECT_FALSE(a.left < b.right && b.left < a.right && a.top < b.bottom &&
                             b.top < a.bottom)
                    << axis << ": " << boxes[i].second << " / " << boxes[j].second;
            }
        }
        if (std::string(axis) != "Lin.") {
            const auto texts = canvas.Texts();
            for (const char* decade : {"100Hz", "  1kHz"})
                EXPECT_EQ(std::count(texts.begin(), texts.end(), decade), 2) << axis << decade;
        }
    }
}

// Before any block was analysed (no run yet, a run the module refused to start) the display
// list holds only blank values: nothing is drawn as a trace.
TEST_F(SpecDraw, NoTraceWithoutAnalysedData) {
    const auto traces = [&] {
        CRecordingCanvas canvas;
        Analyser().OnDraw(canvas, CRect{0, 0, 1000, 600});
        return canvas.OpsOf(CRecordingCanvas::EOp::polyline).size();
    };
    EXPECT_EQ(traces(), 0u);
    Set("yaxis", "THDVpk");
    Set("ref1", "99999"); // above half the rate: the run is refused
    EXPECT_FALSE(doc->OnEditRun());
    EXPECT_EQ(traces(), 0u);
    Set("ref1", "1000");
    RunPass();
    EXPECT_EQ(traces(), 2u);
}

// Smoothing replaces the displayed values after the channels were set up: every later paint must
// draw the smoothed values, never the arrays they replaced (the sanitizer build reads them).
TEST_F(SpecDraw, DrawsTheSmoothedValuesAfterARun) {
    Set("smooth", "3");
    RunPass();
    RunPass();
    CRecordingCanvas drawn;
    Analyser().OnDraw(drawn, CRect{0, 0, 1000, 600});
    const auto traces = drawn.OpsOf(CRecordingCanvas::EOp::polyline);
    ASSERT_EQ(traces.size(), 2u);
    for (int c = 0; c < 2; ++c) {
        // The same channel bound to copies of what the display list holds now.
        const CDSPFFTDataList& list = *Analyser().GetDisplayList();
        const CTraceArrays now = TraceArraysOf(list, c);
        std::vector<double> magnitude(now.magnitude, now.magnitude + now.size);
        CChannel copy = *Analyser().GetChannelPointer(c);
        copy.m_arrays = [&] {
            CTraceArrays arrays = now;
            arrays.magnitude = magnitude.data();
            return arrays;
        };
        CRecordingCanvas expected;
        copy.PlotData(expected);
        ASSERT_EQ(expected.OpsOf(CRecordingCanvas::EOp::polyline).size(), 1u);
        EXPECT_EQ(traces[size_t(c)].points,
                  expected.OpsOf(CRecordingCanvas::EOp::polyline)[0].points);
    }
}

TEST_F(SpecDraw, ImpedanceShowsMagnitudeAboveAndPhaseBelow) {
    Set("yaxis", "| Z |");
    const CChannel& magnitude = *Analyser().GetChannelPointer(0);
    const CChannel& phase = *Analyser().GetChannelPointer(1);
    EXPECT_EQ(magnitude.m_yCode, EPlotY::Ohms);
    EXPECT_EQ(magnitude.m_yScale, 5.0);
    EXPECT_EQ(phase.m_yCode, EPlotY::Degrees);
    EXPECT_EQ(phase.m_yScale, 45.0);
    EXPECT_EQ(magnitude.m_ref1, 10.0);
    EXPECT_EQ(phase.m_ref2, 10.0);
}

TEST_F(SpecDraw, SelectedChannelIsMarked) {
    Analyser().OnSelCh2();
    CRecordingCanvas canvas;
    Analyser().OnDraw(canvas, CRect{0, 0, 800, 600});
    EXPECT_FALSE(Analyser().GetChannelPointer(0)->m_selected);
    EXPECT_TRUE(Analyser().GetChannelPointer(1)->m_selected);
}

} // namespace
