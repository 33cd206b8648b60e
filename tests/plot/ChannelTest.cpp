// A plot channel's mappings and traces: the value and y of every Y code, the points of a known
// spectrum, the bar styles, clamping of values no plot can show, and the 3-D display's stack.
#include "dsp/DSPFFTDataList.h"
#include "platform/RecordingCanvas.h"
#include "plot/ChannelList.h"
#include "plot/HLS.h"
#include "plot/PlotValues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

namespace {

using EOp = CRecordingCanvas::EOp;

// Volts and ohms: v × (T − B) ÷ d ÷ n above the zero line, which an offset of 50 % puts half way
// up. dB: 0 dB on the centre line, n × d ÷ 2 to each edge. dB SPL: 0 dB re Ref1 at 45 % of the
// height, 80 dB over the plot. Degrees from the centre. 3-D: from the top level at the top of
// the trace's rectangle to the bottom level at its bottom. Each row: Y code, scale, offset, value
// and its row on a plot from y 100 to 500 (8 divisions).
TEST(YMapping, ValueLiesAtItsRow) {
    const double cases[][5] = {{1, 0.5, 0, 2.0, 300.0},    {8, 10.0, 0, 40.0, 300.0},
                               {1, 0.5, 50, 1.0, 200.0},   {4, 10.0, 0, -20.0, 400.0},
                               {6, 10.0, 0, -44.0, 500.0}, {7, 45.0, 0, -90.0, 400.0},
                               {11, 0.0, 0, -25.0, 225.0}};
    for (const auto& [code, scale, offset, value, y] : cases) {
        CChannel c;
        c.m_plotRect = {0, 100, 500, 500};
        c.m_yCode = EPlotY(int(code));
        c.m_yScale = scale;
        c.m_yOffset = offset;
        c.m_bottomLevel = -100.0;
        EXPECT_NEAR(c.YOfValue(value, {0, 150, 500, 450}), y, 1e-9) << code;
    }
}

// Arrays of one channel and its companion, N = 64 at 1024 Hz (16 Hz per bin).
struct CBlock {
    static constexpr int kN = 64;
    std::vector<double> time = std::vector<double>(kN, 0.0);
    std::vector<double> magnitude = std::vector<double>(kN, 1.0);
    std::vector<double> phase = std::vector<double>(kN, 0.0);
    std::vector<double> companion = std::vector<double>(kN, 0.5);
    std::vector<double> companionPhase = std::vector<double>(kN, 0.0);

    CTraceArrays Arrays() {
        return {time.data(),      magnitude.data(),      phase.data(),
                companion.data(), companionPhase.data(), kN};
    }
    void Bind(CChannel& c) {
        c.m_arrays = [this] { return Arrays(); };
        c.m_blockSize = c.m_numUsed = kN;
        c.m_sampleRate = 1024.0;
    }
};

// Bin 10 of the block; bin 4 holds 2.0 and the last bin 200.0 for the relative decibels.
// Relative dB: to the bin nearest |Ref1 ÷ 16 Hz| (56 Hz: bin 3.5, halves up), the last bin
// beyond the block. SPL re Ref1 ÷ N. Impedance of the divider: half the drive across Z gives
// Z = R, H = 0.5j gives |Z| = 0.5 R ÷ |1 − 0.5j|; channel 2 as large as channel 1 or larger, 0.
// Each row: Y code, Ref1, magnitude, phase, companion magnitude and phase, the value.
TEST(TraceValue, OfBinTen) {
    const double cases[][7] = {{1, 0, std::sqrt(2.0), 0, 0.5, 0, std::sqrt(2.0)},
                               {2, 0, std::sqrt(2.0), 0, 0.5, 0, 1.0},
                               {3, 0, 0.1, 0, 0.5, 0, -20.0},
                               {4, 0, 10.0 * std::sqrt(2.0), 0, 0.5, 0, 20.0},
                               {3, 0, 0.0, 0, 0.5, 0, 20.0 * std::log10(kSmallestPositive)},
                               {5, -56.0, 20.0, 0, 0.5, 0, 20.0},
                               {5, 1e9, 20.0, 0, 0.5, 0, -20.0},
                               {6, 64.0, 20.0, 0, 0.5, 0, 20.0 * std::log10(20.0)},
                               {7, 0, 1, 190.0, 0.5, 0, -170.0},
                               {7, 0, 1, -190.0, 0.5, 0, 170.0},
                               {7, 0, 1, 725.0, 0.5, 0, 5.0},
                               {8, 10.0, 1, 0, 0.5, 0, 10.0},
                               {8, 10.0, 1, 0, 0.5, 90.0, 5.0 / std::sqrt(1.25)},
                               {8, 10.0, 1, 0, 1.0, 0, 0.0}};
    for (const auto& [code, ref1, magnitude, phase, companion, companionPhase, expected] : cases) {
        CBlock block;
        CChannel channel;
        block.Bind(channel);
        channel.m_xCode = EPlotX::LinearFrequency;
        channel.m_yCode = EPlotY(int(code));
        channel.m_ref1 = ref1;
        block.magnitude[4] = 2.0;
        block.magnitude[CBlock::kN - 1] = 200.0;
        block.magnitude[10] = magnitude;
        block.phase[10] = phase;
        block.companion[10] = companion;
        block.companionPhase[10] = companionPhase;
        EXPECT_NEAR(channel.TraceValue(channel.GetTraceArrays(0), 10), expected, 1e-9)
            << code << " " << ref1 << " " << phase;
    }
}

// A spectrum of −k dB at bin k on a 320 × 400 plot, 10 dB per division, bins 0..32.
class SpectrumPlot : public testing::Test {
protected:
    CBlock block;
    CChannel channel;
    CRecordingCanvas canvas;

    void SetUp() override {
        block.Bind(channel);
        for (int k = 0; k < CBlock::kN; ++k)
            block.magnitude[size_t(k)] = std::pow(10.0, -k / 20.0);
        channel.m_plotRect = {0, 0, 320, 400};
        channel.m_xCode = EPlotX::LinearFrequency;
        channel.m_yCode = EPlotY::DBVPeak;
        channel.m_yScale = 10.0;
        channel.m_startBin = 0;
        channel.m_stopBin = 32;
    }
    // 10 pixels per bin; element k ≥ 1 one bin right of its own position; y = 200 + 5k.
    static CPoint Expected(int k) { return {k == 0 ? 0 : (k + 1) * 10, 200 + 5 * k}; }
    std::vector<CPoint> Points() { return canvas.OpsOf(EOp::polyline).at(0).points; }
};

TEST_F(SpectrumPlot, LineRunsThroughEveryElementUpToTheFirstBeyondTheEdge) {
    channel.m_selected = true;
    channel.PlotData(canvas);
    const auto lines = canvas.OpsOf(EOp::polyline);
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(lines[0].points.size(), 33u);
    for (int k = 0; k <= 32; ++k)
        EXPECT_EQ(lines[0].points[size_t(k)], Expected(k)) << k;
    EXPECT_EQ(lines[0].pen.colour, (CColour{0, 255, 255})) << "the selected trace colour";
    EXPECT_EQ(lines[0].clip, channel.m_plotRect);
    EXPECT_EQ(canvas.OpenGroups(), 0u);
}

TEST_F(SpectrumPlot, StartAndStopBinsCutTheLineAtTheEdges) {
    channel.m_startBin = 16; // 20 pixels per bin, origin at −320
    channel.PlotData(canvas);
    // Element 14 at −320 + 15 × 20 = −20 starts the line; element 15 sits on the left edge; bin
    // 32 lies one bin beyond the right edge.
    EXPECT_EQ(Points()[0].x, -20);
    EXPECT_EQ(Points()[1].x, 0);
    EXPECT_EQ(Points().back().x, 340);
    canvas.Clear();
    channel.m_startBin = 0;
    channel.m_stopBin = 640; // ten times the block: the line ends at its last element
    channel.PlotData(canvas);
    EXPECT_EQ(Points().size(), size_t(CBlock::kN));
}

// NaN is no value: the line stops before it and starts again after it, in volts as in dB.
TEST_F(SpectrumPlot, UnshowableValuesAreClampedNaNLeavesAGapAndMissingArraysDrawNothing) {
    channel.m_yCode = EPlotY::VoltsPeak; // volts
    channel.m_yScale = 1e-300;
    block.magnitude[1] = std::numeric_limits<double>::infinity();
    block.magnitude[2] = std::numeric_limits<double>::quiet_NaN();
    block.magnitude[3] = -std::numeric_limits<double>::infinity();
    for (EPlotY code : {EPlotY::VoltsPeak, EPlotY::DBVPeak}) {
        channel.m_yCode = code;
        channel.PlotData(canvas);
        const auto lines = canvas.OpsOf(EOp::polyline);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].points.size(), 2u);
        EXPECT_EQ(lines[0].points.back(), (CPoint{20, -kMaxPixel}));
        EXPECT_EQ(lines[1].points.front(), (CPoint{40, kMaxPixel}));
        EXPECT_EQ(lines[1].points.size(), 30u);
        canvas.Clear();
    }
    CTraceArrays arrays = block.Arrays();
    channel.m_arrays = [&arrays] { return arrays; };
    arrays.magnitude = nullptr;
    channel.PlotData(canvas);
    arrays.magnitude = block.magnitude.data();
    arrays.companionPhase = nullptr;
    channel.m_yCode = EPlotY::Ohms;
    channel.PlotData(canvas);
    EXPECT_TRUE(canvas.Ops().empty());
}

// Each bar spans from the previous point to the plot bottom; rainbow bars take their hue from
// the left edge (the bar from x = 160 has hue 160 ÷ 320 × 152 = 76); hollow bars show the plot
// background inside the trace-coloured pen. Raised (1), hollow (3) and rainbow sunken (5) bars:
// the fill, the edge and the first bar's colour.
TEST_F(SpectrumPlot, EachBarSpansFromThePreviousPointToThePlotBottom) {
    const std::tuple<int, EOp, EOp, CColour> styles[] = {
        {1, EOp::fillRect, EOp::rect3d, {0, 255, 0}},
        {3, EOp::rectangle, EOp::rectangle, {0, 0, 0}},
        {5, EOp::fillRect, EOp::sunkenEdge, HLStoRGB(0, 124, 240)}};
    for (const auto& [style, fill, edge, firstFill] : styles) {
        SCOPED_TRACE(style);
        canvas.Clear();
        channel.m_plotStyle = style;
        channel.PlotData(canvas);
        EXPECT_TRUE(canvas.OpsOf(EOp::polyline).empty());
        const auto bars = canvas.OpsOf(fill);
        ASSERT_EQ(bars.size(), 32u);
        for (int k = 1; k <= 32; ++k)
            EXPECT_EQ(bars[size_t(k - 1)].rect,
                      (CRect{Expected(k - 1).x, Expected(k).y, Expected(k).x, 400}))
                << k;
        const bool hollow = fill == EOp::rectangle;
        EXPECT_EQ(hollow ? *bars[0].brush : bars[0].colour, firstFill);
        if (style >= 4) {
            EXPECT_EQ(bars[15].colour, HLStoRGB(76, 124, 240));
        }
        if (!hollow) {
            EXPECT_EQ(canvas.OpsOf(edge).size(), 32u);
        }
    }
}

// The 3-D display on a 600 × 400 plot with the 12-pixel font (7 pixels per character): each
// logged plot is a trace in its own rectangle, two thirds of the room W − 12 × 7 = 516 and
// H − 4 × 12 = 352, trace t shifted left by t × 516 ÷ 12 and down by t × 352 ÷ 12.
TEST(Display3D, EachLoggedPlotIsATraceInItsOwnRectangle) {
    CRecordingCanvas canvas;
    canvas.SetFont(kPlotSmallFont);
    const CTextMetrics metrics = canvas.GetTextMetrics();
    CChannel channel;
    channel.m_plotRect = {0, 0, 600, 400};
    channel.m_xCode = EPlotX::Depth;
    channel.m_yCode = EPlotY::Depth;
    channel.m_yScale = 0.0;
    channel.m_bottomLevel = -100.0;
    channel.m_startBin = 0;
    channel.m_stopBin = 32;
    channel.m_sampleRate = 1024.0;
    channel.m_blockSize = 64;
    channel.m_index = 1; // the second plot channel draws the plots' second channels
    std::vector<std::unique_ptr<CDSPFFTDataList>> plots;
    for (int p = 0; p < 4; ++p) {
        plots.push_back(std::make_unique<CDSPFFTDataList>());
        ASSERT_TRUE(plots.back()->Create(2, 1, 64, 1024.0));
        std::fill_n(plots.back()->GetFreqData(1), 64, 0.5); // −6 dB
        channel.m_loggedPlots.push_back(plots.back().get());
    }
    EXPECT_EQ(channel.GetTraceRect(metrics, 0), (CRect{214, 24, 558, 259}));
    channel.m_plotCount = 5; // more than were logged: only those that exist are drawn
    EXPECT_EQ(channel.GetTraceRect(metrics, 1), (CRect{171, 53, 515, 288}));
    channel.PlotData(canvas);
    const auto lines = canvas.OpsOf(EOp::polyline);
    ASSERT_EQ(lines.size(), 4u);
    for (int t = 0; t < 4; ++t) {
        const CRect rect = channel.GetTraceRect(metrics, t);
        EXPECT_EQ(lines[size_t(t)].clip, rect);
        // −6.02 dB on a 0..−100 dB span: 0.0602 of the trace's height below its top.
        const double y = rect.top + -20.0 * std::log10(0.5) * (rect.bottom - rect.top) / 100.0;
        EXPECT_EQ(lines[size_t(t)].points.back().y, int(std::lround(y)));
        // Linear 3-D axis: two thirds of (W − 16 characters) over the bins from the trace's left.
        const double perBin = 2.0 / 3.0 * (600 - 16 * 7) / 32.0;
        EXPECT_EQ(lines[size_t(t)].points[1].x, int(std::lround(rect.left + 2 * perBin)));
    }
}

} // namespace
