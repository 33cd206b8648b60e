#include "ui/Fade.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class FadePeriod : public testing::TestWithParam<std::pair<int, int>> {};

TEST_P(FadePeriod, OneTickPerStepIntegerDivision) {
    EXPECT_EQ(FadeTimerPeriod(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Cases, FadePeriod,
                         testing::Values(std::pair{500, 9}, std::pair{0, 0}, std::pair{50, 0},
                                         std::pair{51, 1}, std::pair{101, 1}, std::pair{102, 2},
                                         std::pair{1000, 19}, std::pair{-100, 0}));

// Runs the fade with every tick arriving at `elapsed` seconds; returns the opacities shown.
std::vector<int> RunFade(int fadeTimeMs, long elapsed) {
    std::vector<int> shown;
    int opacity = 255;
    while ((opacity = NextFadeOpacity(opacity, elapsed, fadeTimeMs)) >= 0 && shown.size() < 1000)
        shown.push_back(opacity);
    return shown;
}

TEST(Fade, FiftyOneStepsOfFiveDownToZero) {
    const std::vector<int> shown = RunFade(500, 0);
    ASSERT_EQ(shown.size(), 51u);
    for (size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(shown[i], 250 - 5 * static_cast<int>(i));
}

TEST(Fade, TimeGuardIsFourTimesTheFadeInWholeSeconds) {
    // 500 ms: the guard is 4 * 500 / 1000 = 2 whole seconds.
    EXPECT_EQ(NextFadeOpacity(255, 1, 500), 250);
    EXPECT_EQ(NextFadeOpacity(255, 2, 500), -1);
    // 1999 ms: 7 whole seconds.
    EXPECT_EQ(NextFadeOpacity(100, 6, 1999), 95);
    EXPECT_EQ(NextFadeOpacity(100, 7, 1999), -1);
    // Below 250 ms the guard is 0 seconds, so the first tick ends the fade.
    EXPECT_TRUE(RunFade(249, 0).empty());
    EXPECT_EQ(RunFade(250, 0).size(), 51u);
}

TEST(Fade, EndsBelowOneStep) {
    EXPECT_EQ(NextFadeOpacity(5, 0, 500), 0);
    EXPECT_EQ(NextFadeOpacity(4, 0, 500), -1);
    EXPECT_EQ(NextFadeOpacity(0, 0, 500), -1);
}

} // namespace
