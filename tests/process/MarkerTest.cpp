// Markers: the readout text by Y code, a plot channel's marker placed from the mouse and by its
// index, and the view's marker dragging on plain points.
#include "common/TestModules.h"

#include "platform/RecordingCanvas.h"
#include "process/DspDoc.h"
#include "plot/PlotMarker.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using EOp = CRecordingCanvas::EOp;

// N = 64 at 1024 Hz: 16 Hz per bin, the readout at index 10; channel 2 at half of channel 1 for
// impedance.
TEST(Readout, ByYCode) {
    struct CReadoutCase {
        int yCode;
        double value; // magnitude (or phase for code 7) at the index
        double gain;
        const char* expected;
    };
    const CReadoutCase cases[] = {{0, 0.0, 1.0, "0.000 nVpk "},
                                  {1, 0.25, 1.0, "250.0 mVpk "},
                                  {2, 1.0, 2.0, "1.414 Vrms"},
                                  {3, 0.1, 1.0, "-20.00dBpk"},
                                  {4, std::sqrt(2.0), 1.0, "0.000 dBrms"},
                                  {5, 5.0, 1.0, "20.00dB"},
                                  {6, 1.0, 1.0, "94.00dB"},
                                  {7, 100.0, 1.0, "-160.00\xC2\xB0"},
                                  {8, 1.0, 1.0, "10.00"}};
    for (const CReadoutCase& c : cases) {
        std::vector<double> magnitude(64, c.value), phase(64, c.yCode == 7 ? c.value : 0.0);
        std::vector<double> companion(64, c.value / 2), companionPhase(64, 0.0);
        magnitude[2] = 0.5; // the reference bin of code 5 (Ref1 = 40 Hz: ⌊2.5⌋)
        const CTraceArrays arrays{nullptr,          magnitude.data(),      phase.data(),
                                  companion.data(), companionPhase.data(), 64};
        CReadoutScale scale;
        scale.yCode = EPlotY(c.yCode);
        scale.gain = c.gain;
        scale.ref1 = c.yCode == 5 ? 40.0 : c.yCode == 6 ? 64.0 : 10.0;
        scale.sampleRate = 1024.0;
        // 360 × delay × fs ÷ (2N) = 100 degrees for the phase readout.
        scale.delay = c.yCode == 7 ? 100.0 * 128.0 / (360.0 * 1024.0) : 0.0;
        EXPECT_EQ(MarkerValueText(arrays, scale, 10), c.expected) << "Y code " << c.yCode;
    }
}

TEST(Readout, TimeAxesReadTheSamplesAndIndexesStayInsideTheArrays) {
    std::vector<double> time(8, 0.0), magnitude(8, 1.0);
    time[7] = 0.003;
    CTraceArrays arrays{time.data(), magnitude.data(), nullptr, nullptr, nullptr, 8};
    CReadoutScale scale;
    scale.yCode = EPlotY::VoltsPeak;
    scale.timeAxis = true;
    EXPECT_EQ(MarkerValueText(arrays, scale, 500), "3.000 mVpk ");
    scale.yCode = EPlotY::DBRelative;
    scale.ref1 = -1e12; // a reference bin below the array
    scale.timeAxis = false;
    EXPECT_EQ(MarkerValueText(arrays, scale, -3), "0.000 dB");
    scale.yCode = EPlotY::Degrees; // no phase array
    EXPECT_EQ(MarkerValueText(arrays, scale, 1), "");
    EXPECT_EQ(MarkerValueText({}, scale, 1), "");
}

// Channel 1 in dBV on a 400-pixel linear axis over bins 1..33 at 46.875 Hz per bin.
class ChannelMarker : public testing::Test {
protected:
    std::vector<double> magnitude = std::vector<double>(1024, 0.1);
    CChannel channel;
    CRecordingCanvas canvas;
    void SetUp() override {
        channel.m_arrays = [this] {
            CTraceArrays arrays;
            arrays.magnitude = magnitude.data();
            arrays.size = int32_t(magnitude.size());
            return arrays;
        };
        channel.m_sampleRate = 48000.0;
        channel.m_blockSize = 1024;
        channel.m_plotRect = {100, 0, 500, 400};
        channel.m_xCode = EPlotX::LinearFrequency;
        channel.m_yCode = EPlotY::DBVPeak;
        channel.m_yScale = 10.0;
        channel.m_startBin = 1;
        channel.m_stopBin = 33;
        channel.m_marker.on = true;
    }
};

TEST_F(ChannelMarker, WhileDraggingTheMouseChoosesIndexAndHeight) {
    channel.m_marker.point = {125, 100}; // 25 ÷ 400 × 32 + 1 = bin 3
    EXPECT_EQ(channel.DrawMarker(canvas), "140.6 Hz, -20.00dBpk");
    EXPECT_EQ(channel.m_marker.index, 3);
    EXPECT_DOUBLE_EQ(channel.m_marker.height, 0.25);
    EXPECT_EQ(channel.m_marker.x, 125);
    const auto lines = canvas.OpsOf(EOp::line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points, (std::vector<CPoint>{{125, 0}, {125, 399}}));
    const auto texts = canvas.OpsOf(EOp::text);
    ASSERT_EQ(texts.size(), 1u);
    // Left of the centre: 5 pixels to the right, centred on the marker's height.
    EXPECT_EQ(texts[0].points[0], (CPoint{130, 94}));
    EXPECT_EQ(texts[0].clip, channel.m_plotRect);
}

TEST_F(ChannelMarker, OnceFinishedTheIndexPlacesTheMarker) {
    channel.m_marker.dragFinished = true;
    channel.m_marker.index = 17;
    channel.m_marker.height = 0.5;
    channel.m_marker.point = {0, 0}; // ignored now
    magnitude[17] = 1.0;
    EXPECT_EQ(channel.DrawMarker(canvas), "796.9 Hz, 0.000 dBpk");
    EXPECT_EQ(channel.m_marker.x, 300); // 100 + 400 × 16 ÷ 32
    const auto texts = canvas.OpsOf(EOp::text);
    ASSERT_EQ(texts.size(), 1u);
    // At or right of the centre: the text ends 5 pixels left of the marker.
    EXPECT_EQ(texts[0].points[0].x, 300 - 5 - int(texts[0].text.size()) * 7);
    channel.m_marker.on = false;
    canvas.Clear();
    EXPECT_EQ(channel.DrawMarker(canvas), "");
    EXPECT_TRUE(canvas.Ops().empty());
}

class CountingHost : public IViewHost {
public:
    void Invalidate() override { ++invalidations; }
    bool IsVisible() const override { return true; }
    int invalidations = 0;
};

// A running two-step process; step 1 draws two plot channels stacked.
class MarkerDrag : public testing::Test {
protected:
    CModuleProcess t{TestRegistry()};
    CDspDoc* doc = nullptr;
    CDspView* view = nullptr;
    CountingHost host;

    void SetUp() override {
        doc = NewTestProcess(t, {"Signal Generator", "SoundIO"});
        view = doc->GetView(0);
        ASSERT_TRUE(doc->OnEditRun());
        view->SetHost(&host);
        CallLog().clear();
    }
    void UseChannels() {
        view->CreateChannels();
        view->GetChannelPointer(0)->m_plotRect = {0, 0, 100, 100};
        view->GetChannelPointer(1)->m_plotRect = {0, 100, 100, 200};
    }
    const CPlotMarker& Marker(int channel) { return view->GetChannelPointer(channel)->m_marker; }
};

// What the plot does with a click or a drag is the plot's own (tests/plot); the view adds that
// switching a marker on (not off) stops the run, and that only what moved is drawn again.
TEST_F(MarkerDrag, SwitchingAMarkerOnStopsTheRunAndOnlyAMoveIsDrawnAgain) {
    UseChannels();
    view->OnLButtonDown({50, 200}); // below every plot
    EXPECT_TRUE(doc->IsRunning()) << "clicks outside every plot do nothing";
    EXPECT_EQ(host.invalidations, 0);
    view->OnLButtonDown({40, 150});
    EXPECT_TRUE(Marker(1).on);
    EXPECT_TRUE(view->HasCapture());
    EXPECT_FALSE(doc->IsRunning());
    EXPECT_EQ(CallLog(), (std::vector<std::string>{"end1", "end2"}));
    EXPECT_EQ(host.invalidations, 1);

    view->OnMouseMove({60, 120}, true);
    EXPECT_EQ(Marker(1).point, (CPoint{60, 120}));
    view->OnMouseMove({60, 50}, true); // over channel 1, whose marker is off
    EXPECT_EQ(host.invalidations, 2);
    view->OnLButtonUp({60, 50});
    EXPECT_FALSE(view->HasCapture());
    EXPECT_TRUE(Marker(1).dragFinished);
    // Switching it off again leaves a run alone.
    ASSERT_TRUE(doc->OnEditRun());
    view->OnLButtonDown({40, 150});
    EXPECT_FALSE(Marker(1).on);
    EXPECT_TRUE(doc->IsRunning());
}

// Every view has its plot channels, but a view that does not draw through them leaves their
// plot rectangles empty: its single marker takes the click.
TEST_F(MarkerDrag, WithoutPlotChannelsTheViewsSingleMarkerIsUsed) {
    ASSERT_NE(view->GetChannelPointer(0), nullptr);
    EXPECT_TRUE(view->GetChannelPointer(0)->m_plotRect.IsRectEmpty());
    view->SetPlotRect({10, 10, 210, 110});
    view->OnLButtonDown({50, 50});
    EXPECT_TRUE(view->GetPlotMarker().on);
    EXPECT_TRUE(view->HasCapture());
    EXPECT_FALSE(doc->IsRunning());
    view->OnMouseMove({60, 60}, true);
    EXPECT_EQ(view->GetPlotMarker().point, (CPoint{60, 60}));
}

} // namespace
