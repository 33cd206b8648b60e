// A plot channel's mappings and traces: the value and y of every Y code, the points of a known
// spectrum, every plot style, clamping of values no plot can show, and the 3-D display's stack.
#include "dsp/DSPFFTDataList.h"
#include "platform/RecordingCanvas.h"
#include "process/ChannelList.h"
#include "process/HLS.h"
#include "process/PlotValues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using EOp = CRecordingCanvas::EOp;

struct CYCase {
    int yCode;
    double scale, offset, value, y;
};

class YMapping : public testing::TestWithParam<CYCase> {};

TEST_P(YMapping, ValueLiesAtItsRow) {
    CChannel c;
    c.m_plotRect = {0, 100, 500, 500}; // T 100, B 500, H 400, 8 divisions
    c.m_yCode = EPlotY(GetParam().yCode);
    c.m_yScale = GetParam().scale;
    c.m_yOffset = GetParam().offset;
    c.m_bottomLevel = -100.0;
    EXPECT_NEAR(c.YOfValue(GetParam().value, {0, 150, 500, 450}), GetParam().y, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Codes, YMapping,
                         testing::Values(
                             // Volts and ohms: v × (T − B) ÷ d ÷ n above the zero line.
                             CYCase{1, 0.5, 0, 2.0, 300.0}, CYCase{2, 0.5, 0, 0.0, 500.0},
                             CYCase{9, 0.5, 0, 4.0, 100.0}, CYCase{10, 1.0, 0, -2.0, 600.0},
                             CYCase{8, 10.0, 0, 40.0, 300.0},
                             // An offset of 50 % puts the zero line half way up the plot.
                             CYCase{1, 0.5, 50, 0.0, 300.0}, CYCase{1, 0.5, 50, 1.0, 200.0},
                             // dB: 0 dB on the centre line, n × d ÷ 2 to each edge.
                             CYCase{3, 10.0, 0, 0.0, 300.0}, CYCase{4, 10.0, 0, -20.0, 400.0},
                             CYCase{5, 10.0, 0, 40.0, 100.0},
                             // dB SPL: 0 dB re Ref1 at 45 % of the height, 80 dB over the plot.
                             CYCase{6, 10.0, 0, 0.0, 280.0}, CYCase{6, 10.0, 0, -44.0, 500.0},
                             // Degrees from the centre.
                             CYCase{7, 45.0, 0, 180.0, 100.0}, CYCase{7, 45.0, 0, -90.0, 400.0},
                             // 3-D: from the top level at the top of the trace's rectangle to the
                             // bottom level at its bottom.
                             CYCase{11, 0.0, 0, 0.0, 150.0}, CYCase{11, 0.0, 0, -100.0, 450.0},
                             CYCase{11, 0.0, 0, -25.0, 225.0}));

// Arrays of one channel and its companion, N = 64 at 1024 Hz (16 Hz per bin).
struct CBlock {
    static constexpr int kN = 64;
    std::vector<double> time = std::vector<double>(kN, 0.0);
    std::vector<double> magnitude = std::vector<double>(kN, 1.0);
    std::vector<double> phase = std::vector<double>(kN, 0.0);
    std::vector<double> companionMagnitude = std::vector<double>(kN, 0.5);
    std::vector<double> companionPhase = std::vector<double>(kN, 0.0);

    CTraceArrays Arrays() {
        return {time.data(),           magnitude.data(),
                phase.data(),          companionMagnitude.data(),
                companionPhase.data(), kN};
    }
    void Bind(CChannel& c) {
        c.m_arrays = [this] { return Arrays(); };
        c.m_blockSize = c.m_numUsed = kN;
        c.m_sampleRate = 1024.0;
    }
};

class TraceValue : public testing::Test {
protected:
    CBlock block;
    CChannel channel;
    void SetUp() override {
        block.Bind(channel);
        channel.m_xCode = EPlotX::LinearFrequency;
    }
    double Value(int yCode, int k) {
        channel.m_yCode = EPlotY(yCode);
        return channel.TraceValue(channel.GetTraceArrays(0), k);
    }
};

TEST_F(TraceValue, VoltsAndDecibels) {
    block.magnitude[3] = std::sqrt(2.0);
    EXPECT_NEAR(Value(1, 3), std::sqrt(2.0), 1e-15);
    EXPECT_NEAR(Value(2, 3), 1.0, 1e-15);
    block.magnitude[3] = 0.1;
    EXPECT_NEAR(Value(3, 3), -20.0, 1e-12);
    EXPECT_NEAR(Value(11, 3), -20.0, 1e-12);
    block.magnitude[3] = 10.0 * std::sqrt(2.0);
    EXPECT_NEAR(Value(4, 3), 20.0, 1e-12);
    block.magnitude[3] = 0.0;
    EXPECT_NEAR(Value(3, 3), 20.0 * std::log10(kSmallestPositive), 1e-9) << "no -inf";
    channel.m_xCode = EPlotX::Time;
    block.time[5] = -0.25;
    EXPECT_EQ(Value(1, 5), -0.25) << "the time display reads the samples";
}

TEST_F(TraceValue, RelativeAndSPLDecibels) {
    // dB relative to the bin nearest |Ref1 ÷ 16 Hz|: 56 Hz → bin 3.5 → 4 (halves up).
    channel.m_ref1 = -56.0;
    block.magnitude[4] = 2.0;
    block.magnitude[10] = 20.0;
    EXPECT_NEAR(Value(5, 10), 20.0, 1e-12);
    channel.m_ref1 = 1e9; // beyond the block: the last bin
    block.magnitude[CBlock::kN - 1] = 200.0;
    EXPECT_NEAR(Value(5, 10), -20.0, 1e-12);
    // dB SPL re Ref1 ÷ N.
    channel.m_ref1 = 64.0;
    EXPECT_NEAR(Value(6, 10), 20.0 * std::log10(20.0), 1e-12);
}

TEST_F(TraceValue, PhaseIsWrapped) {
    block.phase[1] = 190.0;
    block.phase[2] = -190.0;
    block.phase[3] = 180.0;
    block.phase[4] = 725.0;
    EXPECT_NEAR(Value(7, 1), -170.0, 1e-12);
    EXPECT_NEAR(Value(7, 2), 170.0, 1e-12);
    EXPECT_NEAR(Value(7, 3), 180.0, 1e-12);
    EXPECT_NEAR(Value(7, 4), 5.0, 1e-12);
}

TEST_F(TraceValue, ImpedanceOfTheDividerAndTheBaseline) {
    channel.m_ref1 = 10.0;
    EXPECT_NEAR(Value(8, 1), 10.0, 1e-12) << "half the drive across Z: Z = R";
    block.companionPhase[2] = 90.0; // H = 0.5j: |Z| = 0.5 R ÷ |1 − 0.5j|
    EXPECT_NEAR(Value(8, 2), 5.0 / std::sqrt(1.25), 1e-12);
    block.companionMagnitude[3] = 1.0;
    EXPECT_EQ(Value(8, 3), 0.0) << "channel 2 as large as channel 1";
    block.companionMagnitude[4] = 3.0;
    EXPECT_EQ(Value(8, 4), 0.0);
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
};

TEST_F(SpectrumPlot, LineRunsThroughEveryElementUpToTheFirstBeyondTheEdge) {
    channel.PlotData(canvas);
    const auto lines = canvas.OpsOf(EOp::polyline);
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(lines[0].points.size(), 33u);
    for (int k = 0; k <= 32; ++k)
        EXPECT_EQ(lines[0].points[size_t(k)], Expected(k)) << k;
    EXPECT_EQ(lines[0].pen.colour, (CColour{0, 255, 0}));
    EXPECT_EQ(lines[0].clip, channel.m_plotRect);
    EXPECT_EQ(canvas.OpenGroups(), 0u);
}

TEST_F(SpectrumPlot, SelectedChannelUsesTheSelectedTraceColour) {
    channel.m_selected = true;
    channel.PlotData(canvas);
    EXPECT_EQ(canvas.OpsOf(EOp::polyline).at(0).pen.colour, (CColour{0, 255, 255}));
}

TEST_F(SpectrumPlot, StopBinBeyondTheBlockEndsAtTheLastElement) {
    channel.m_plotRect = {0, 0, 6400, 400};
    channel.m_stopBin = 640; // ten times the block
    channel.PlotData(canvas);
    const auto lines = canvas.OpsOf(EOp::polyline);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points.size(), size_t(CBlock::kN));
}

TEST_F(SpectrumPlot, StartBinDropsThePointsLeftOfThePlot) {
    channel.m_startBin = 16; // 20 pixels per bin, origin at −320
    channel.PlotData(canvas);
    const auto points = canvas.OpsOf(EOp::polyline).at(0).points;
    // Element 14 at −320 + 15 × 20 = −20 starts the line; element 15 sits on the left edge.
    ASSERT_GE(points.size(), 2u);
    EXPECT_EQ(points[0].x, -20);
    EXPECT_EQ(points[1].x, 0);
    EXPECT_EQ(points.back().x, 340) << "bin 32 lies one bin beyond the right edge";
}

TEST_F(SpectrumPlot, UnshowableValuesAreClampedToDrawablePixels) {
    channel.m_yCode = EPlotY::VoltsPeak; // volts
    channel.m_yScale = 1e-300;
    block.magnitude[1] = std::numeric_limits<double>::infinity();
    block.magnitude[2] = std::numeric_limits<double>::quiet_NaN();
    block.magnitude[3] = -std::numeric_limits<double>::infinity();
    channel.PlotData(canvas);
    const auto points = canvas.OpsOf(EOp::polyline).at(0).points;
    EXPECT_EQ(points[1].y, -kMaxPixel);
    EXPECT_EQ(points[2].y, 400) << "NaN sits on the plot bottom";
    EXPECT_EQ(points[3].y, kMaxPixel);
    for (const CPoint& p : points) {
        EXPECT_LE(std::abs(p.x), kMaxPixel);
        EXPECT_LE(std::abs(p.y), kMaxPixel);
    }
}

TEST_F(SpectrumPlot, NothingIsDrawnWithoutTheArraysTheCodeNeeds) {
    CTraceArrays arrays = block.Arrays();
    channel.m_arrays = [&arrays] { return arrays; };
    arrays.magnitude = nullptr;
    channel.PlotData(canvas);
    arrays.magnitude = block.magnitude.data();
    channel.m_yCode = EPlotY::Ohms;
    arrays.companionPhase = nullptr;
    channel.PlotData(canvas);
    channel.m_yCode = EPlotY::None;
    channel.PlotData(canvas);
    EXPECT_TRUE(canvas.OpsOf(EOp::polyline).empty());
}

TEST_F(SpectrumPlot, ImpedanceSitsOnTheBaselineWhereChannelTwoIsAsLarge) {
    channel.m_yCode = EPlotY::Ohms;
    channel.m_yScale = 10.0;
    channel.m_ref1 = 10.0;
    for (int k = 0; k < CBlock::kN; ++k) {
        block.magnitude[size_t(k)] = 1.0;
        block.companionMagnitude[size_t(k)] = k % 2 ? 1.0 : 0.5; // odd bins: equal
    }
    channel.PlotData(canvas);
    const auto points = canvas.OpsOf(EOp::polyline).at(0).points;
    for (size_t k = 1; k < points.size(); ++k)
        EXPECT_EQ(points[k].y, k % 2 ? 400 : 350) << k; // Z = 10 Ω at 10 Ω per division
}

struct CStyleCase {
    int style;
    EOp fill;
    EOp edge;
};

class BarStyle : public SpectrumPlot, public testing::WithParamInterface<CStyleCase> {};

TEST_P(BarStyle, EachBarSpansFromThePreviousPointToThePlotBottom) {
    channel.m_plotStyle = GetParam().style;
    channel.PlotData(canvas);
    EXPECT_TRUE(canvas.OpsOf(EOp::polyline).empty());
    const auto bars = canvas.OpsOf(GetParam().fill);
    ASSERT_EQ(bars.size(), 32u);
    for (int k = 1; k <= 32; ++k) {
        const CPoint prev = Expected(k - 1), p = Expected(k);
        EXPECT_EQ(bars[size_t(k - 1)].rect, (CRect{prev.x, p.y, p.x, 400})) << k;
        EXPECT_EQ(bars[size_t(k - 1)].clip, channel.m_plotRect);
    }
    const bool rainbow = GetParam().style >= 4;
    const CColour first = GetParam().fill == EOp::rectangle ? *bars[0].brush : bars[0].colour;
    const CColour half = GetParam().fill == EOp::rectangle ? *bars[15].brush : bars[15].colour;
    if (rainbow) {
        // Hue 0 at the left edge; the bar from x = 160 has hue 160 ÷ 320 × 152 = 76.
        EXPECT_EQ(first, HLStoRGB(0, 124, 240));
        EXPECT_EQ(half, HLStoRGB(76, 124, 240));
    } else if (GetParam().fill == EOp::rectangle) {
        EXPECT_EQ(first, (CColour{0, 0, 0})) << "hollow bars show the plot background";
    } else {
        EXPECT_EQ(first, (CColour{0, 255, 0}));
    }
    if (GetParam().fill == EOp::rectangle) {
        EXPECT_EQ(bars[0].pen.colour, (CColour{0, 255, 0}));
        return;
    }
    const auto edges = canvas.OpsOf(GetParam().edge);
    ASSERT_EQ(edges.size(), 32u) << "every bar is 10 pixels wide";
    if (GetParam().edge == EOp::rect3d) {
        EXPECT_EQ(edges[0].colour, (CColour{0, 255, 0}));
        EXPECT_EQ(edges[0].colour2, (CColour{0, 0, 0}));
    } else {
        EXPECT_EQ(edges[0].sides, unsigned(kEdgeTop | kEdgeRight));
    }
}

INSTANTIATE_TEST_SUITE_P(Styles, BarStyle,
                         testing::Values(CStyleCase{1, EOp::fillRect, EOp::rect3d},
                                         CStyleCase{2, EOp::fillRect, EOp::sunkenEdge},
                                         CStyleCase{3, EOp::rectangle, EOp::rectangle},
                                         CStyleCase{4, EOp::fillRect, EOp::rect3d},
                                         CStyleCase{5, EOp::fillRect, EOp::sunkenEdge},
                                         CStyleCase{6, EOp::rectangle, EOp::rectangle}));

TEST_F(SpectrumPlot, NarrowBarsHaveNoEdges) {
    channel.m_plotRect = {0, 0, 64, 400}; // two pixels per bin
    channel.m_plotStyle = 1;
    channel.PlotData(canvas);
    EXPECT_EQ(canvas.OpsOf(EOp::fillRect).size(), 32u);
    const auto edges = canvas.OpsOf(EOp::rect3d);
    ASSERT_EQ(edges.size(), 1u) << "only the first bar, from the origin, is wider than 2";
    EXPECT_EQ(edges[0].rect.right - edges[0].rect.left, 4);
}

TEST(ChannelList, CreatesNumberedChannels) {
    CChannelList list;
    EXPECT_FALSE(list.Create(-1));
    ASSERT_TRUE(list.Create(2));
    ASSERT_TRUE(list.Create(1));
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetAt(2)->m_index, 2);
    EXPECT_EQ(list.GetAt(3), nullptr);
    EXPECT_EQ(list.GetAt(-1), nullptr);
    const CChannel& c = *list.GetAt(0);
    EXPECT_EQ(c.m_sampleRate, 96000.0);
    EXPECT_EQ(c.m_startBin, 1);
    EXPECT_EQ(c.m_stopBin, 1024);
    EXPECT_EQ(c.m_grid.xDivisions, 10);
    EXPECT_EQ(c.m_grid.yDivisions, 8);
    EXPECT_EQ(c.m_depthDivisions, 8);
    EXPECT_EQ(c.m_colours.grid, (CColour{192, 192, 192}));
    EXPECT_EQ(c.m_colours.customText, (CColour{0, 0, 204}));
}

// The 3-D display on a 600 × 400 plot with the 12-pixel font (7 pixels per character).
class Display3D : public testing::Test {
protected:
    std::vector<std::unique_ptr<CDSPFFTDataList>> plots;
    CChannel channel;
    CRecordingCanvas canvas;
    CTextMetrics metrics;

    void SetUp() override {
        canvas.SetFont(kPlotSmallFont);
        metrics = canvas.GetTextMetrics();
        channel.m_plotRect = {0, 0, 600, 400};
        channel.m_xCode = EPlotX::Depth;
        channel.m_yCode = EPlotY::Depth;
        channel.m_yScale = 0.0;
        channel.m_bottomLevel = -100.0;
        channel.m_startBin = 0;
        channel.m_stopBin = 32;
        channel.m_sampleRate = 1024.0;
        channel.m_blockSize = 64;
    }
    void AddPlots(int count) {
        for (int p = 0; p < count; ++p) {
            auto list = std::make_unique<CDSPFFTDataList>();
            ASSERT_TRUE(list->Create(2, 1, 64, 1024.0));
            for (int k = 0; k < 64; ++k)
                list->GetFreqData(1)[k] = 0.5; // the second channel at −6 dB
            channel.m_loggedPlots.push_back(list.get());
            plots.push_back(std::move(list));
        }
        channel.m_plotCount = count;
    }
};

struct CTraceRectCase {
    int trace;
    CRect rect;
};

class TraceRect : public Display3D, public testing::WithParamInterface<CTraceRectCase> {};

TEST_P(TraceRect, StacksBackToFront) {
    AddPlots(4);
    EXPECT_EQ(metrics.averageCharWidth, 7);
    EXPECT_EQ(metrics.height, 12);
    // Room W − 12 × 7 = 516 and H − 4 × 12 = 352; each trace two thirds of it, trace t shifted
    // left by t × 516 ÷ 12 and down by t × 352 ÷ 12.
    EXPECT_EQ(channel.GetTraceRect(metrics, GetParam().trace), GetParam().rect);
}

INSTANTIATE_TEST_SUITE_P(Traces, TraceRect,
                         testing::Values(CTraceRectCase{0, {214, 24, 558, 259}},
                                         CTraceRectCase{1, {171, 53, 515, 288}},
                                         CTraceRectCase{3, {85, 112, 429, 347}}));

TEST_F(Display3D, EachLoggedPlotIsATraceInItsOwnRectangle) {
    AddPlots(3);
    channel.m_index = 1; // the second plot channel draws the plots' second channels
    channel.PlotData(canvas);
    const auto lines = canvas.OpsOf(EOp::polyline);
    ASSERT_EQ(lines.size(), 3u);
    for (int t = 0; t < 3; ++t) {
        const CRect rect = channel.GetTraceRect(metrics, t);
        EXPECT_EQ(lines[size_t(t)].clip, rect);
        // −6.02 dB on a 0..−100 dB span: 0.0602 of the trace's height below its top.
        const double y = rect.top + -20.0 * std::log10(0.5) * (rect.bottom - rect.top) / 100.0;
        EXPECT_EQ(lines[size_t(t)].points.back().y, int(std::lround(y)));
        // Linear 3-D axis: two thirds of (W − 16 characters) over the bins from the trace's left.
        const double perBin = 2.0 / 3.0 * (600 - 16 * 7) / 32.0;
        EXPECT_EQ(lines[size_t(t)].points[0].x, rect.left);
        EXPECT_EQ(lines[size_t(t)].points[1].x, int(std::lround(rect.left + 2 * perBin)));
    }
}

TEST_F(Display3D, PlotCountBeyondTheLoggedPlotsDrawsOnlyThoseThatExist) {
    AddPlots(2);
    channel.m_plotCount = 5;
    channel.PlotData(canvas);
    EXPECT_EQ(canvas.OpsOf(EOp::polyline).size(), 2u);
}

} // namespace
