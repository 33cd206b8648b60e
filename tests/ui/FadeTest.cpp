#include "ui/Fade.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Fade, OneTimerTickPerStepInWholeMilliseconds) {
    for (const auto& [ms, period] :
         {std::pair{500, 9}, {0, 0}, {50, 0}, {51, 1}, {101, 1}, {102, 2}, {1000, 19}, {-100, 0}})
        EXPECT_EQ(FadeTimerPeriod(ms), period) << ms;
}

// Runs the fade with every tick arriving at `elapsed` seconds; returns the opacities shown.
std::vector<int> RunFade(int fadeTimeMs, long elapsed) {
    std::vector<int> shown;
    int opacity = 255;
    while ((opacity = NextFadeOpacity(opacity, elapsed, fadeTimeMs)) >= 0 && shown.size() < 1000)
        shown.push_back(opacity);
    return shown;
}

// Fifty-one steps of five down to zero, unless the time guard (four times the fade in whole
// seconds: 2 s for 500 ms, 7 s for 1999 ms, none below 250 ms) has passed.
TEST(Fade, StepsOfFiveDownToZeroWithinTheTimeGuard) {
    const std::vector<int> shown = RunFade(500, 0);
    ASSERT_EQ(shown.size(), 51u);
    for (size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(shown[i], 250 - 5 * static_cast<int>(i));
    EXPECT_EQ(NextFadeOpacity(255, 1, 500), 250);
    EXPECT_EQ(NextFadeOpacity(255, 2, 500), -1);
    EXPECT_EQ(NextFadeOpacity(100, 6, 1999), 95);
    EXPECT_EQ(NextFadeOpacity(100, 7, 1999), -1);
    EXPECT_TRUE(RunFade(249, 0).empty());
    EXPECT_EQ(RunFade(250, 0).size(), 51u);
    EXPECT_EQ(NextFadeOpacity(4, 0, 500), -1);
}

} // namespace
