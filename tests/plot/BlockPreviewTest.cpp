// The block a generator or sound card hands on, drawn small: each channel in its own band and
// colour, all scaled to the block's peak.
#include "plot/BlockPreview.h"

#include "dsp/DSPFFTDataList.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using EOp = CRecordingCanvas::EOp;

// Channel 1 a sine of peak `a`, channel 2 of half that; 256 samples, 16 to a cycle, so the
// peaks fall on samples; the louder second half lies beyond the 200 columns drawn and still
// sets the scale. Returns each channel's polyline as {lowest y, highest y, colour}.
std::vector<std::tuple<int32_t, int32_t, CColour>> Preview(double a) {
    CDSPFFTDataList list;
    EXPECT_TRUE(list.Create(2, 1, 256, 1024.0));
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 256; ++i)
            list.GetTimeData(c)[i] =
                (c == 0 ? a : a / 2) * (i < 200 ? 0.5 : 1.0) * std::sin(std::numbers::pi * i / 8);
    CRecordingCanvas canvas;
    DrawBlockPreview(canvas, CRect{0, 0, 200, 100}, &list, CPlotColours{});
    std::vector<std::tuple<int32_t, int32_t, CColour>> traces;
    for (const auto& op : canvas.OpsOf(EOp::polyline)) {
        auto [low, high] = std::minmax_element(op.points.begin(), op.points.end(),
                                               [](CPoint p, CPoint q) { return p.y < q.y; });
        traces.emplace_back(low->y, high->y, op.pen.colour);
    }
    return traces;
}

// Bands of 50 pixels around y 25 and 75; the font's half character (3 px) keeps the peak off
// the band's edge, so the block's peak would swing 22 px; the half as loud start drawn swings
// 11 px on channel 1 and 5.5 on channel 2 (rounded away from the centre).
TEST(BlockPreview, ScalesTheChannelsToTheBlocksPeakInTheirOwnBandsAndColours) {
    const CPlotColours colours;
    for (double a : {0.5, 3.0}) {
        const auto traces = Preview(a);
        ASSERT_EQ(traces.size(), 2u);
        EXPECT_EQ(traces[0], std::make_tuple(14, 36, colours.trace)) << a;
        EXPECT_EQ(traces[1], std::make_tuple(70, 81, colours.secondTrace)) << a;
    }
    const auto silent = Preview(0.0);
    ASSERT_EQ(silent.size(), 2u);
    EXPECT_EQ(silent[0], std::make_tuple(25, 25, colours.trace));
    EXPECT_EQ(silent[1], std::make_tuple(75, 75, colours.secondTrace));
}

} // namespace
