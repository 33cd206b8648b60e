// The oscilloscope's step lists and how their texts read as numbers.
#include "modules/scope/OscScales.h"

#include <gtest/gtest.h>

namespace {

// Both lists run in a 1-2-5 sequence from one micro-unit: each step is 2, 2.5 or 2 times the one
// before, so every text must read as exactly the value its place implies.
TEST(OscScales, StepListsRunOneTwoFiveAndReadAsTheirValues) {
    const struct {
        const std::vector<std::string>& steps;
        size_t size;
        const char* last;
    } lists[] = {{OscVoltsPerDivChoices(), 22, "10 Vpk/Div"},
                 {OscTimePerDivChoices(), 19, "1 S/Div"}};
    for (const auto& list : lists) {
        ASSERT_EQ(list.steps.size(), list.size);
        EXPECT_EQ(list.steps.back(), list.last);
        double expected = 1e-6;
        for (size_t i = 0; i < list.steps.size(); ++i) {
            EXPECT_NEAR(ParseDivisionText(list.steps[i]), expected, expected * 1e-12)
                << list.steps[i];
            expected *= i % 3 == 1 ? 2.5 : 2.0;
        }
    }
    EXPECT_EQ(OscVoltsPerDivChoices()[17], "500 mVpk/Div");
    EXPECT_EQ(OscTimePerDivChoices()[9], "1 mS/Div");
    EXPECT_EQ(ParseDivisionText("Div"), 0.0);
}

TEST(OscScales, AveragesArePowersOfTwoAndDisplayTypesCycle) {
    const auto& counts = OscAverageChoices();
    ASSERT_EQ(counts.size(), 13u);
    for (size_t i = 0; i < counts.size(); ++i)
        EXPECT_EQ(counts[i], std::to_string(1 << i));
    EXPECT_EQ(OscDisplayTypeNames(), (std::vector<std::string>{"Off", "Gnd", "Alg", "Dig"}));
    EXPECT_EQ(OscDisplayTypeNames()[OscDispAlg], "Alg");
}

} // namespace
