// A plot channel's grid: division lines, labels and the rule that skips crowded ones, and
// logarithmic decade lines.
#include "platform/RecordingCanvas.h"
#include "plot/Channel.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <tuple>

namespace {

using EOp = CRecordingCanvas::EOp;
using Texts = std::vector<std::string>;

int Round(double v) {
    return int(std::floor(v + 0.5));
}

// 48 kHz, 1024 points, bins 0..512: the labels run 0 Hz to 24 kHz in steps of 2.4 kHz.
class Grid : public testing::Test {
protected:
    CChannel channel;
    CRecordingCanvas canvas;

    void SetUp() override {
        channel.m_plotRect = {50, 20, 750, 420}; // W 700, H 400
        channel.m_sampleRate = 48000.0;
        channel.m_blockSize = 1024;
        channel.m_startBin = 0;
        channel.m_stopBin = 512;
        channel.m_xCode = EPlotX::LinearFrequency;
        channel.m_yCode = EPlotY::VoltsPeak;
        channel.m_yScale = 0.5;
    }
    std::vector<CRecordingCanvas::COp> Lines() const { return canvas.OpsOf(EOp::line); }
};

TEST_F(Grid, LinearAxesGetDivisionLinesAndEveryLabelWhenThereIsRoom) {
    channel.DrawGrid(canvas);
    EXPECT_EQ(canvas.Texts(),
              (Texts{"0.00Hz",  "2.4kHz",  "4.8kHz",  "7.2kHz",  "9.6kHz", "12.0kHz", "14.4kHz",
                     "16.8kHz", "19.2kHz", "21.6kHz", "24.0kHz", "4.0V",   "3.5V",    "3.0V",
                     "2.5V",    "2.0V",    "1.5V",    "1.0V",    "0.5V",   "0.0V"}));
    const auto lines = Lines();
    // 11 vertical and 9 horizontal lines, then ticks along the bottom, left and right edges.
    ASSERT_EQ(lines.size(), 11u + 9u + 49u + 39u + 39u);
    for (int i = 0; i <= 10; ++i)
        EXPECT_EQ(lines[size_t(i)].points,
                  (std::vector<CPoint>{{50 + 70 * i, 20}, {50 + 70 * i, 420}}));
    for (int i = 0; i <= 8; ++i)
        EXPECT_EQ(lines[size_t(11 + i)].points,
                  (std::vector<CPoint>{{50, 20 + 50 * i}, {750, 20 + 50 * i}}));
    EXPECT_EQ(lines[0].pen, (CPen{CPlotColours{}.grid, 1}));

    const auto texts = canvas.OpsOf(EOp::text);
    // "0.00Hz" (6 characters of 7 pixels) centred under x = 50, 2 pixels below the plot.
    EXPECT_EQ(texts[0].points[0], (CPoint{29, 422}));
    // "4.0V" ends half a character left of the plot, centred on its line but not above it;
    // "0.0V" not below it, clear of the frequency labels.
    EXPECT_EQ(texts[11].points[0], (CPoint{47 - 28, 20}));
    EXPECT_EQ(texts[19].points[0], (CPoint{47 - 28, 420 - 12}));
    EXPECT_EQ(texts[0].colour, (CColour{0, 0, 204}));
    // No box behind the labels to hide the grid.
    EXPECT_TRUE(canvas.OpsOf(EOp::fillRect).empty());

    // The last frequency label moves inside the room the plot has rather than past its edge.
    canvas.Clear();
    channel.m_labelBounds = {0, 0, 770, 440};
    channel.DrawGrid(canvas);
    EXPECT_EQ(canvas.OpsOf(EOp::text).at(10).points[0].x, 770 - 49);
}

TEST_F(Grid, NarrowPlotShowsEveryThirdFrequencyAndEverySecondVoltsLabel) {
    channel.m_plotRect = {50, 20, 250, 60}; // 20 pixels per division across, 5 down
    channel.DrawGrid(canvas);
    EXPECT_EQ(canvas.Texts(), (Texts{"0.00Hz", "7.2kHz", "14.4kHz", "21.6kHz", "4.0V", "3.0V",
                                     "2.0V", "1.0V", "0.0V"}));
}

// The top, centre and bottom labels of each Y code, counted from the bottom or the centre.
TEST_F(Grid, YLabelsCountFromTheBottomOrTheCentre) {
    channel.m_xCode = EPlotX::Time; // time: no frequency labels
    const std::tuple<int, double, Texts> cases[] = {
        {3, 10.0, {" 40dB", "  0dB", "-40dB"}},
        {6, 10.0, {"130dB", " 90dB", " 50dB"}},
        {7, 45.0, {" 180\xC2\xB0", "   0\xC2\xB0", "-180\xC2\xB0"}},
        {8, 10.0, {"80", "40", " 0"}},
        {2, 0.001, {"8.0mV", "4.0mV", "0.0mV"}}};
    for (const auto& [code, scale, labels] : cases) {
        canvas.Clear();
        channel.m_yCode = EPlotY(code);
        channel.m_yScale = scale;
        channel.DrawGrid(canvas);
        const Texts texts = canvas.Texts();
        ASSERT_EQ(texts.size(), 9u) << code;
        EXPECT_EQ((Texts{texts[0], texts[4], texts[8]}), labels) << code;
    }
}

TEST_F(Grid, LogAxesDrawDecadeLinesWithTicksBelowAndLeftEdgeTicks) {
    channel.m_plotRect = {0, 0, 600, 300};
    channel.m_xCode = EPlotX::LogFrom10Hz; // from 10 Hz
    channel.m_yCode = EPlotY::DBVPeak;
    channel.m_yScale = 10.0;
    channel.DrawGrid(canvas);
    const double top = std::log10(511 * 46.875); // the last bin's frequency
    const auto at = [&](double f) { return Round(600.0 * (std::log10(f) - 1.0) / (top - 1.0)); };
    // 10..90, 100..900, 1k..9k, 10k and 20k Hz lie inside: 29 lines, each with a tick below,
    // the decades first.
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 29u * 2 + 9 + 39);
    EXPECT_EQ(lines[0].points, (std::vector<CPoint>{{0, 0}, {0, 300}}));
    EXPECT_EQ(lines[1].points, (std::vector<CPoint>{{0, 300}, {0, 304}}));
    EXPECT_EQ(lines[2].points, (std::vector<CPoint>{{at(100), 0}, {at(100), 300}}));
    EXPECT_EQ(lines[8].points, (std::vector<CPoint>{{at(20), 0}, {at(20), 300}}));
    EXPECT_EQ(lines[56].points, (std::vector<CPoint>{{at(20000), 0}, {at(20000), 300}}));
    auto texts = canvas.OpsOf(EOp::text);
    // Every decade is labelled, however crowded the lines before it.
    EXPECT_EQ(texts.at(0).text, "10Hz");
    EXPECT_EQ(texts.at(1).text, "100Hz");
    EXPECT_EQ(texts.at(2).text, "  1kHz");
    EXPECT_EQ(texts.at(3).text, "  10kHz");
    EXPECT_EQ(texts.at(0).points[0].y, 305);
}

} // namespace
