// The oscilloscope's step lists and how their texts read as numbers.
#include "modules/scope/OscScales.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct CDivisionCase {
    const char* text;
    double value;
};

class DivisionText : public testing::TestWithParam<CDivisionCase> {};

TEST_P(DivisionText, ReadsTheLeadingNumberInItsUnit) {
    EXPECT_DOUBLE_EQ(ParseDivisionText(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, DivisionText,
    testing::Values(CDivisionCase{"1 uVpk/Div", 1e-6}, CDivisionCase{"500 uVpk/Div", 5e-4},
                    CDivisionCase{"1 mVpk/Div", 1e-3}, CDivisionCase{"500 mVpk/Div", 0.5},
                    CDivisionCase{"10 Vpk/Div", 10.0}, CDivisionCase{"20 uS/Div", 2e-5},
                    CDivisionCase{"1 mS/Div", 1e-3}, CDivisionCase{"500 mS/Div", 0.5},
                    CDivisionCase{"1 S/Div", 1.0}, CDivisionCase{"Div", 0.0}));

// Both lists run in a 1-2-5 sequence: each step is 2, 2.5 or 2 times the one before, in that
// order, so every text must read as exactly the value its place in the list implies.
void ExpectOneTwoFive(const std::vector<std::string>& steps, double first) {
    const double factors[] = {2.0, 2.5, 2.0};
    double expected = first;
    for (size_t i = 0; i < steps.size(); ++i) {
        EXPECT_NEAR(ParseDivisionText(steps[i]), expected, expected * 1e-12) << steps[i];
        expected *= factors[i % 3];
    }
}

TEST(OscScales, VoltsPerDivisionRunFromOneMicrovoltToTenVolts) {
    const auto& steps = OscVoltsPerDivChoices();
    ASSERT_EQ(steps.size(), 22u);
    EXPECT_EQ(steps.front(), "1 uVpk/Div");
    EXPECT_EQ(steps[17], "500 mVpk/Div");
    EXPECT_EQ(steps.back(), "10 Vpk/Div");
    ExpectOneTwoFive(steps, 1e-6);
}

TEST(OscScales, TimePerDivisionRunsFromOneMicrosecondToOneSecond) {
    const auto& steps = OscTimePerDivChoices();
    ASSERT_EQ(steps.size(), 19u);
    EXPECT_EQ(steps.front(), "1 uS/Div");
    EXPECT_EQ(steps[9], "1 mS/Div");
    EXPECT_EQ(steps.back(), "1 S/Div");
    ExpectOneTwoFive(steps, 1e-6);
}

TEST(OscScales, AverageCountsArePowersOfTwoUpTo4096) {
    const auto& counts = OscAverageChoices();
    ASSERT_EQ(counts.size(), 13u);
    for (size_t i = 0; i < counts.size(); ++i)
        EXPECT_EQ(counts[i], std::to_string(1 << i));
}

TEST(OscScales, DisplayTypesInCycleOrder) {
    EXPECT_EQ(OscDisplayTypeNames(), (std::vector<std::string>{"Off", "Gnd", "Alg", "Dig"}));
    EXPECT_EQ(OscDisplayTypeNames()[OscDispAlg], "Alg");
}

} // namespace
