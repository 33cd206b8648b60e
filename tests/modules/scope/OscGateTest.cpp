// The gate window dragged across the plot, worked out by hand. With a 1024-sample block at
// 102400 samples per second (10 ms) and 1 ms/div on a 100-pixel plot whose trace starts at
// x = 10, the block is exactly one plot wide, so column x is sample (x - 10) * 10.24.
#include "modules/scope/OscGate.h"

#include <gtest/gtest.h>

#include <tuple>

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

constexpr double kPx = 10.24; // samples per pixel at 1 ms/div

// Markers count samples per pixel of the plot, the window per pixel of the trace; a window
// that misses the block altogether becomes the whole block, still on. Each row: press and
// release columns, the geometry, then window start and stop and the left and right markers.
TEST(OscGateDrag, SetsTheWindowAndTheMarkers) {
    const std::tuple<int32_t, int32_t, COscGateGeometry, double, double, double, double> cases[] = {
        {30, 60, Geometry(), 20 * kPx, 50 * kPx, 20 * kPx, 50 * kPx},
        {60, 30, Geometry(), 20 * kPx, 50 * kPx, 20 * kPx, 50 * kPx},
        // At 2 ms/div the block covers half the plot.
        {20, 40, Geometry(10, 2e-3), 20 * kPx, 60 * kPx, 10 * kPx, 30 * kPx},
        {5, 11, Geometry(), -5 * kPx, kPx, -5 * kPx, kPx},
        // The block ends at x = 110: a window starting there starts at sample 1024.
        {110, 115, Geometry(), 0, 1024, 0, 1024},
        // At 5 ms/div the block ends at x = 30.
        {50, 90, Geometry(10, 5e-3), 0, 1024, 0, 1024},
        // The trace starts at x = 60 (horizontal position 100).
        {20, 50, Geometry(60), 0, 1024, 0, 1024}};
    for (const auto& [from, to, geometry, start, stop, left, right] : cases) {
        SCOPED_TRACE(testing::Message() << from << " to " << to);
        const COscGate gate = Dragged(from, to, geometry);
        EXPECT_TRUE(gate.IsOn());
        EXPECT_FALSE(gate.IsDragging());
        EXPECT_DOUBLE_EQ(gate.GetStart(), start);
        EXPECT_DOUBLE_EQ(gate.GetStop(), stop);
        EXPECT_DOUBLE_EQ(gate.GetLeftMarker(), left);
        EXPECT_DOUBLE_EQ(gate.GetRightMarker(), right);
        EXPECT_EQ(gate.GetPressX(), from);
        EXPECT_EQ(gate.GetCurrentX(), to);
    }
}

} // namespace
