// Window weights: their ends, symmetry and closed-form values, and the mean weight a constant
// reads at bin 0 after a windowed transform.
#include "dsp/DSPFFTData.h"

#include "common/CaseName.h"
#include "common/DspTestUtil.h"

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

struct WindowCase {
    std::string name;
    int window;
    double end;                         // weight of samples 0 and N - 1
    double (*mean)(double n, double l); // closed-form mean weight; l = (N - 2) div 10
};

class WindowShape : public ::testing::TestWithParam<WindowCase> {};

TEST_P(WindowShape, EndsSymmetryAndTheMeanAConstantReads) {
    const WindowCase& c = GetParam();
    for (int32_t n : {16, 1024}) {
        EXPECT_NEAR(Window(n, c.window, 0), c.end, 1e-16) << "N = " << n;
        EXPECT_EQ(Window(n, c.window, -1), 0.0);
        EXPECT_EQ(Window(n, c.window, n), 0.0);
        for (int i = 0; i < n; ++i)
            ASSERT_NEAR(Window(n, c.window, i), Window(n, c.window, n - 1 - i), 1e-15) << i;
        CDSPFFTData block;
        ASSERT_TRUE(TimeBlock(block, std::vector<double>(size_t(n), 0.8)));
        ASSERT_TRUE(block.DoFFT(c.window));
        EXPECT_NEAR(block.GetFreqObj()->GetDataPointer()[0], 0.8 * c.mean(n, (n - 2) / 10), 1e-13)
            << "N = " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowShape,
    ::testing::Values(
        WindowCase{"None", 0, 1.0, [](double, double) { return 1.0; }},
        // Two raised-cosine tapers of L + 1 samples each sum to L/2; N - 2L - 2 ones between.
        WindowCase{"TapRect", 1, 0.0, [](double n, double l) { return (n - l - 2.0) / n; }},
        WindowCase{"Triangle", 2, 0.0,
                   [](double n, double) { return (n - 2.0) / (2.0 * (n - 1.0)); }},
        // The cosines sum to 1 over i = 0..N-1 (a full period plus the last sample).
        WindowCase{"Hanning", 3, 0.0, [](double n, double) { return 0.5 - 0.5 / n; }},
        WindowCase{"Hamming", 4, 0.53836 - 0.46164,
                   [](double n, double) { return 0.53836 - 0.46164 / n; }},
        WindowCase{"Blackman", 5, 0.42 - 0.5 + 0.08,
                   [](double n, double) { return 0.42 - 0.42 / n; }},
        // Heinzel's HFT95 coefficients; its ends dip just below zero.
        WindowCase{"FlatTop", 6, 1.0 - 1.9383379 + 1.3045202 - 0.4028270 + 0.0350665,
                   [](double n, double) {
                       return 1.0 - (1.9383379 - 1.3045202 + 0.4028270 - 0.0350665) / n;
                   }}),
    CaseName());

TEST(Window, TapRectTapersBoundariesAt1024) {
    // L = (1024 - 2) div 10 = 102: samples 0..102 rise, 921..1023 fall, 1.0 in between.
    const double top = 0.5 * (1.0 - std::cos(kPi * 102.0 / 103.0));
    EXPECT_DOUBLE_EQ(Window(1024, 1, 1), 0.5 * (1.0 - std::cos(kPi / 103.0)));
    EXPECT_DOUBLE_EQ(Window(1024, 1, 102), top);
    EXPECT_EQ(Window(1024, 1, 103), 1.0);
    EXPECT_EQ(Window(1024, 1, 920), 1.0);
    EXPECT_DOUBLE_EQ(Window(1024, 1, 921), top);
}

// Closed-form weights of short blocks. TapRect with L = 1 has half-way weights next to the
// ends; one sample has nothing to taper; an unknown choice weighs like none.
TEST(Window, ShortBlocksHaveTheClosedFormWeights) {
    const std::pair<int, std::vector<double>> cases[] = {
        {1, {0, 0}},
        {1, {0, 1, 1, 0}},
        {1, {0, 0.5, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0.5, 0}},
        {4, {0.07672, 0.07672}},
        {2, {0, 2.0 / 3, 2.0 / 3, 0}},
        {3, {0, 0.75, 0.75, 0}},
        {2, {0, 0.5, 1, 0.5, 0}},
        {3, {0, 0.5, 1, 0.5, 0}},
        {4, {0.07672, 0.53836, 1, 0.53836, 0.07672}},
        {5, {0, 0.34, 1, 0.34, 0}},
        {3, {1.0}},
        {7, {1, 1, 1, 1}}};
    for (const auto& [window, weights] : cases) {
        const auto n = int32_t(weights.size());
        for (int i = 0; i < n; ++i)
            EXPECT_NEAR(Window(n, window, i), weights[size_t(i)], 1e-15)
                << "window " << window << " N " << n << " sample " << i;
    }
}

} // namespace
