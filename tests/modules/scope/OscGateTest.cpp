// The gate window dragged across the plot, worked out by hand. With a 1024-sample block at
// 102400 samples per second (10 ms) and 1 ms/div on a 100-pixel plot whose trace starts at
// x = 10, the block is exactly one plot wide, so column x is sample (x - 10) * 10.24.
#include "modules/scope/OscGate.h"

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

void ExpectWholeBlock(const COscGate& gate) {
    EXPECT_EQ(gate.GetStart(), 0.0);
    EXPECT_EQ(gate.GetStop(), 1024.0);
    EXPECT_EQ(gate.GetLeftMarker(), 0.0);
    EXPECT_EQ(gate.GetRightMarker(), 1024.0);
}

COscGate Dragged(int32_t from, int32_t to, const COscGateGeometry& g = Geometry()) {
    COscGate gate;
    gate.Press(from, g.blockLength);
    gate.Drag((from + to) / 2);
    gate.Release(to, g);
    return gate;
}

TEST(OscGate, ADragSetsTheWindowWhicheverWayItGoes) {
    for (const auto& [from, to] : {std::pair{30, 60}, std::pair{60, 30}}) {
        const COscGate gate = Dragged(from, to);
        EXPECT_TRUE(gate.IsOn());
        EXPECT_FALSE(gate.IsDragging());
        EXPECT_DOUBLE_EQ(gate.GetStart(), 20 * 10.24);
        EXPECT_DOUBLE_EQ(gate.GetStop(), 50 * 10.24);
        EXPECT_DOUBLE_EQ(gate.GetLeftMarker(), 20 * 10.24);
        EXPECT_DOUBLE_EQ(gate.GetRightMarker(), 50 * 10.24);
        EXPECT_EQ(gate.GetPressX(), from);
        EXPECT_EQ(gate.GetCurrentX(), to);
    }
}

TEST(OscGate, MarkersFollowThePlotWhileTheWindowFollowsTheTimeBase) {
    // At 2 ms/div the block covers half the plot: the markers still count 10.24 samples per
    // pixel of the plot, the window 20.48 per pixel of the trace.
    const COscGate gate = Dragged(20, 40, Geometry(10, 2e-3));
    EXPECT_DOUBLE_EQ(gate.GetLeftMarker(), 10 * 10.24);
    EXPECT_DOUBLE_EQ(gate.GetRightMarker(), 30 * 10.24);
    EXPECT_DOUBLE_EQ(gate.GetStart(), 10 * 20.48);
    EXPECT_DOUBLE_EQ(gate.GetStop(), 30 * 20.48);
}

TEST(OscGate, AWindowPartlyOutsideTheBlockIsKeptAsDragged) {
    const COscGate gate = Dragged(5, 11);
    EXPECT_TRUE(gate.IsOn());
    EXPECT_DOUBLE_EQ(gate.GetStart(), -5 * 10.24);
    EXPECT_DOUBLE_EQ(gate.GetStop(), 10.24);
}

struct CMissCase {
    const char* name;
    int32_t from, to;
    COscGateGeometry geometry;
};

class GateMissingTheBlock : public testing::TestWithParam<CMissCase> {};

TEST_P(GateMissingTheBlock, BecomesTheWholeBlockAndStaysOn) {
    const CMissCase& c = GetParam();
    const COscGate gate = Dragged(c.from, c.to, c.geometry);
    EXPECT_TRUE(gate.IsOn());
    ExpectWholeBlock(gate);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GateMissingTheBlock,
    testing::Values(
        // The block ends at x = 110: a window starting there starts at sample 1024.
        CMissCase{"StartsAtTheBlockEnd", 110, 115, Geometry()},
        // At 5 ms/div the block ends at x = 30.
        CMissCase{"WhollyRightOfTheBlock", 50, 90, Geometry(10, 5e-3)},
        // A window ending at the origin ends at sample 0.
        CMissCase{"EndsAtTheOrigin", 5, 10, Geometry()},
        // The trace starts at x = 60 (horizontal position 100).
        CMissCase{"WhollyLeftOfTheOrigin", 20, 50, Geometry(60)},
        CMissCase{"NoSampleRate", 20, 50,
                  [] {
                      COscGateGeometry g = Geometry();
                      g.sampleRate = 0.0;
                      return g;
                  }()}),
    [](const testing::TestParamInfo<CMissCase>& info) { return info.param.name; });

TEST(OscGate, AClickWithoutADragLeavesTheGateOffOverTheWholeBlock) {
    COscGate gate = Dragged(30, 60);
    gate.Press(40, 1024);
    EXPECT_FALSE(gate.IsOn()) << "pressing forgets the window";
    ExpectWholeBlock(gate);
    gate.Release(40, Geometry());
    EXPECT_FALSE(gate.IsOn());
    EXPECT_FALSE(gate.IsDragging());
    ExpectWholeBlock(gate);
}

TEST(OscGate, AnAbandonedDragSetsNoWindowAndLaterReleasesAreIgnored) {
    COscGate gate;
    gate.Press(30, 1024);
    gate.Drag(50);
    gate.Abandon();
    gate.Release(70, Geometry());
    EXPECT_FALSE(gate.IsOn());
    EXPECT_EQ(gate.GetCurrentX(), 50);
    gate.Drag(80);
    EXPECT_EQ(gate.GetCurrentX(), 50) << "moves without a drag are not recorded";
}

TEST(OscGate, PassesSamplesInsideTheWindowBothEndsIncluded) {
    COscGate gate;
    EXPECT_TRUE(gate.Passes(-1) && gate.Passes(5000)) << "off passes everything";
    gate.Set(true, 0.0, 0.0, 100.0, 200.0);
    EXPECT_FALSE(gate.Passes(99));
    EXPECT_TRUE(gate.Passes(100));
    EXPECT_TRUE(gate.Passes(200));
    EXPECT_FALSE(gate.Passes(201));
    gate.Set(true, 0.0, 0.0, 99.5, 100.5);
    EXPECT_FALSE(gate.Passes(99));
    EXPECT_TRUE(gate.Passes(100));
    EXPECT_FALSE(gate.Passes(101));
}

TEST(OscGate, BandSpansTheMarkersOverThePlotWidth) {
    COscGate gate;
    int32_t from = 0, to = 0;
    EXPECT_FALSE(gate.Band(10, 100, 1024, from, to)) << "no band while off";
    gate.Set(true, 256.0, 768.0, 0.0, 0.0);
    ASSERT_TRUE(gate.Band(10, 100, 1024, from, to));
    EXPECT_EQ(from, 35);
    EXPECT_EQ(to, 85);
    EXPECT_FALSE(gate.Band(10, 100, 0, from, to)) << "no band for an empty block";
    gate.Set(true, -1e300, 1e300, 0.0, 0.0);
    ASSERT_TRUE(gate.Band(10, 100, 1024, from, to));
    EXPECT_EQ(from, INT32_MIN);
    EXPECT_EQ(to, INT32_MAX);
}

} // namespace
