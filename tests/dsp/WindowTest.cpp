#include "dsp/DSPFFTData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {
const double kPi = 3.14159265358979323846;

double Window(int32_t n, int window, int index) {
    CDSPFFTData block;
    block.Create(1, n, 8000.0);
    return block.GetWindowSample(window, index);
}
} // namespace

struct WindowEnds {
    const char* name;
    int window;
    double first, last; // weights of samples 0 and N-1
};

class WindowAtTheEnds : public ::testing::TestWithParam<WindowEnds> {};

TEST_P(WindowAtTheEnds, ExactValuesAndZeroOutside) {
    const WindowEnds& c = GetParam();
    for (int32_t n : {16, 1024}) {
        EXPECT_NEAR(Window(n, c.window, 0), c.first, 1e-16) << "N = " << n;
        EXPECT_NEAR(Window(n, c.window, n - 1), c.last, 1e-16) << "N = " << n;
        EXPECT_EQ(Window(n, c.window, -1), 0.0);
        EXPECT_EQ(Window(n, c.window, n), 0.0);
        EXPECT_EQ(Window(n, c.window, n + 100), 0.0);
        // Every window here is symmetric about the middle of the block.
        for (int i = 0; i < n; ++i)
            ASSERT_NEAR(Window(n, c.window, i), Window(n, c.window, n - 1 - i), 1e-15) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowAtTheEnds,
    ::testing::Values(WindowEnds{"None", 0, 1.0, 1.0}, WindowEnds{"TapRect", 1, 0.0, 0.0},
                      WindowEnds{"Triangle", 2, 0.0, 0.0}, WindowEnds{"Hanning", 3, 0.0, 0.0},
                      WindowEnds{"Hamming", 4, 0.53836 - 0.46164, 0.53836 - 0.46164},
                      WindowEnds{"Blackman", 5, 0.42 - 0.5 + 0.08, 0.42 - 0.5 + 0.08}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Window, OddLengthWindowsPeakAtOneInTheMiddle) {
    for (int window = 2; window <= 5; ++window)
        EXPECT_NEAR(Window(5, window, 2), 1.0, 1e-15);
    EXPECT_NEAR(Window(5, 2, 1), 0.5, 1e-15);         // triangle
    EXPECT_NEAR(Window(5, 3, 1), 0.5, 1e-15);         // Hanning: 0.5 (1 - cos(pi/2))
    EXPECT_NEAR(Window(5, 4, 1), 0.53836, 1e-15);     // Hamming
    EXPECT_NEAR(Window(5, 5, 1), 0.42 - 0.08, 1e-15); // Blackman
}

TEST(Window, TapRectTapersBoundariesAt1024) {
    // L = (1024 - 2) div 10 = 102: samples 0..102 rise, 921..1023 fall, 1.0 in between.
    const int32_t n = 1024;
    const double top = 0.5 * (1.0 - std::cos(kPi * 102.0 / 103.0));
    EXPECT_DOUBLE_EQ(Window(n, 1, 1), 0.5 * (1.0 - std::cos(kPi / 103.0)));
    EXPECT_DOUBLE_EQ(Window(n, 1, 102), top);
    EXPECT_LT(top, 1.0);
    EXPECT_EQ(Window(n, 1, 103), 1.0);
    EXPECT_EQ(Window(n, 1, 512), 1.0);
    EXPECT_EQ(Window(n, 1, 920), 1.0);
    EXPECT_DOUBLE_EQ(Window(n, 1, 921), top);
    EXPECT_DOUBLE_EQ(Window(n, 1, 1022), 0.5 * (1.0 - std::cos(kPi / 103.0)));
}

struct ShortTapRect {
    int32_t n;
    std::vector<double> weights;
};

class TapRectShortBlock : public ::testing::TestWithParam<ShortTapRect> {};

TEST_P(TapRectShortBlock, HasTheClosedFormWeights) {
    const ShortTapRect& c = GetParam();
    for (int i = 0; i < c.n; ++i)
        EXPECT_NEAR(Window(c.n, 1, i), c.weights[i], 1e-15) << i;
    EXPECT_EQ(Window(c.n, 1, c.n), 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, TapRectShortBlock,
    ::testing::Values(ShortTapRect{2, {0, 0}}, ShortTapRect{4, {0, 1, 1, 0}},
                      ShortTapRect{8, {0, 1, 1, 1, 1, 1, 1, 0}},
                      // L = 1: half-way weights next to the ends.
                      ShortTapRect{16, {0, 0.5, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0.5, 0}}));

struct ShortWindow {
    int32_t n;
    int window;
    std::vector<double> weights;
};

class OtherWindowsShortBlock : public ::testing::TestWithParam<ShortWindow> {};

TEST_P(OtherWindowsShortBlock, HasTheClosedFormWeights) {
    const ShortWindow& c = GetParam();
    for (int i = 0; i < c.n; ++i)
        EXPECT_NEAR(Window(c.n, c.window, i), c.weights[i], 1e-15) << i;
}

INSTANTIATE_TEST_SUITE_P(Lengths, OtherWindowsShortBlock,
                         ::testing::Values(ShortWindow{2, 2, {0, 0}}, ShortWindow{2, 3, {0, 0}},
                                           ShortWindow{2, 4, {0.07672, 0.07672}},
                                           ShortWindow{4, 2, {0, 2.0 / 3, 2.0 / 3, 0}},
                                           ShortWindow{4, 3, {0, 0.75, 0.75, 0}},
                                           ShortWindow{4,
                                                       5,
                                                       {0.42 - 0.5 + 0.08, 0.42 + 0.25 - 0.04,
                                                        0.42 + 0.25 - 0.04, 0.42 - 0.5 + 0.08}},
                                           // One sample has nothing to taper.
                                           ShortWindow{1, 3, {1.0}}, ShortWindow{1, 2, {1.0}}));

TEST(Window, UnknownChoiceWeighsLikeNoneAndBlockWithoutArraysGivesZero) {
    EXPECT_EQ(Window(8, 6, 0), 1.0);
    EXPECT_EQ(Window(8, -1, 3), 1.0);
    EXPECT_EQ(CDSPFFTData().GetWindowSample(0, 0), 0.0);
}
