// The gate window dragged across the plot, worked out by hand. With a 1024-sample block at
// 102400 samples per second (10 ms) and 1 ms/div on a 100-pixel plot whose trace starts at
// x = 10, the block is exactly one plot wide, so column x is sample (x - 10) * 10.24.
#include "modules/scope/OscGate.h"

#include "common/CaseName.h"

#include <gtest/gtest.h>

namespace {

COscGateGeometry Geometry(int32_t origin = 10, double timePerDivision = 1e-3) {
    COscGateGeometry g;
    g.origin = origin;
    g.width = 100;
    g.blockLength = 1024;
    g.sampleRate = 102400;
    g.timePerDivision = timePerDivision;
    return g;
}

COscGate Dragged(int32_t from, int32_t to, const COscGateGeometry& g = Geometry()) {
    COscGate gate;
    gate.Press(from, g.blockLength);
    gate.Drag((from + to) / 2);
    gate.Release(to, g);
    return gate;
}

// Markers count samples per pixel of the plot, the window per pixel of the trace; a window
// that misses the block altogether becomes the whole block, still on.
struct CDragCase {
    const char* name;
    int32_t from, to;
    COscGateGeometry geometry;
    double start, stop, left, right;
};

class OscGateDrag : public testing::TestWithParam<CDragCase> {};

TEST_P(OscGateDrag, SetsTheWindowAndTheMarkers) {
    const CDragCase& c = GetParam();
    const COscGate gate = Dragged(c.from, c.to, c.geometry);
    EXPECT_TRUE(gate.IsOn());
    EXPECT_FALSE(gate.IsDragging());
    EXPECT_DOUBLE_EQ(gate.GetStart(), c.start);
    EXPECT_DOUBLE_EQ(gate.GetStop(), c.stop);
    EXPECT_DOUBLE_EQ(gate.GetLeftMarker(), c.left);
    EXPECT_DOUBLE_EQ(gate.GetRightMarker(), c.right);
    EXPECT_EQ(gate.GetPressX(), c.from);
    EXPECT_EQ(gate.GetCurrentX(), c.to);
}

constexpr double kPx = 10.24; // samples per pixel at 1 ms/div

INSTANTIATE_TEST_SUITE_P(
    Drags, OscGateDrag,
    testing::Values(
        CDragCase{"Rightwards", 30, 60, Geometry(), 20 * kPx, 50 * kPx, 20 * kPx, 50 * kPx},
        CDragCase{"Leftwards", 60, 30, Geometry(), 20 * kPx, 50 * kPx, 20 * kPx, 50 * kPx},
        // At 2 ms/div the block covers half the plot.
        CDragCase{"SlowerTimeBase", 20, 40, Geometry(10, 2e-3), 20 * kPx, 60 * kPx, 10 * kPx,
                  30 * kPx},
        CDragCase{"PartlyLeftOfTheBlock", 5, 11, Geometry(), -5 * kPx, kPx, -5 * kPx, kPx},
        // The block ends at x = 110: a window starting there starts at sample 1024.
        CDragCase{"StartsAtTheBlockEnd", 110, 115, Geometry(), 0, 1024, 0, 1024},
        // At 5 ms/div the block ends at x = 30.
        CDragCase{"WhollyRightOfTheBlock", 50, 90, Geometry(10, 5e-3), 0, 1024, 0, 1024},
        // The trace starts at x = 60 (horizontal position 100).
        CDragCase{"WhollyLeftOfTheOrigin", 20, 50, Geometry(60), 0, 1024, 0, 1024}),
    CaseName());

} // namespace
