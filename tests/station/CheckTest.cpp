// Checking values and curves: the margins and verdicts of limits and masks, computed by hand for
// each case, and curves read between points on a logarithmic frequency axis.
#include "station/MaskCheck.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(Curve, ReadsLinearlyOverLogFrequencyBetweenPointsAndNothingOutside) {
    const CCurve c{{100, 1000, 10000}, {0, 10, -10}, "dB"};
    EXPECT_DOUBLE_EQ(CurveValueAt(c, std::sqrt(1e5)), 5.0); // half way on the log axis
    EXPECT_DOUBLE_EQ(CurveValueAt(c, 1000), 10.0);
    EXPECT_DOUBLE_EQ(CurveValueAt(c, 2000), 10.0 - 20.0 * std::log10(2.0));
    EXPECT_DOUBLE_EQ(CurveValueAt(c, 100), 0.0);
    EXPECT_DOUBLE_EQ(CurveValueAt(c, 10000), -10.0);
    EXPECT_TRUE(std::isnan(CurveValueAt(c, 99.9)));
    EXPECT_TRUE(std::isnan(CurveValueAt(c, 10001)));
    // From 0 Hz the axis is linear.
    EXPECT_DOUBLE_EQ(CurveValueAt(CCurve{{0, 100}, {0, 4}, ""}, 25), 1.0);
}

struct CLimitCase {
    double value;
    std::optional<double> lower, upper;
    double margin;
    bool passed;
};

TEST(LimitCheck, MarginIsTheDistanceToTheNearerLimitNegativeOutside) {
    const CLimitCase cases[] = {
        {0.4, std::nullopt, 0.5, 0.1, true},
        {0.6, std::nullopt, 0.5, -0.1, false},
        {0.5, std::nullopt, 0.5, 0.0, true},
        {3.0, 1.0, std::nullopt, 2.0, true},
        {0.5, 1.0, std::nullopt, -0.5, false},
        {2.0, 1.0, 4.0, 1.0, true},
        {3.5, 1.0, 4.0, 0.5, true},
        {5.0, 1.0, 4.0, -1.0, false},
        {kNaN, 1.0, 4.0, -INFINITY, false},
    };
    for (const CLimitCase& c : cases) {
        CLimitCheck limit;
        limit.id = "x";
        limit.lower = c.lower;
        limit.upper = c.upper;
        const CCheckResult r = CheckLimit(limit, c.value, "%");
        EXPECT_DOUBLE_EQ(r.margin, c.margin) << c.value;
        EXPECT_EQ(r.passed, c.passed) << c.value;
        EXPECT_EQ(r.lower, c.lower);
        EXPECT_EQ(r.upper, c.upper);
    }
}

// A measured curve of 1 dB per decade above 100 Hz: y = log10(f / 100), at 100 Hz to 100 kHz.
CCurve Rising() {
    CCurve c;
    c.yUnit = "dBVpk";
    for (int k = 0; k <= 12; ++k) {
        c.x.push_back(100 * std::pow(10.0, k / 4.0));
        c.y.push_back(k / 4.0);
    }
    return c;
}

struct CMaskCase {
    const char* name;
    CMaskCheck mask;
    double margin, value, frequency;
    std::optional<double> upper, lower;
};

CMaskCheck Mask(std::optional<CCurve> upper, std::optional<CCurve> lower) {
    CMaskCheck m;
    m.id = "m";
    m.upper = std::move(upper);
    m.lower = std::move(lower);
    return m;
}

TEST(MaskCheck, FindsThePointOfLeastMarginUnderEveryWayOfGivingTheMask) {
    const CCurve flat2{{100, 100000}, {2, 2}, ""};
    const CCurve flat0{{100, 100000}, {0, 0}, ""};
    std::vector<CMaskCase> cases;
    // Absolute: 3 dB at the top end is 1 dB above a 2 dB mask.
    cases.push_back({"absolute", Mask(flat2, flat0), -1.0, 3.0, 100000, 2.0, 0.0});
    // Over 1 kHz to 10 kHz the worst point is at 10 kHz, on the mask.
    CMaskCheck ranged = Mask(flat2, flat0);
    ranged.from = 1000;
    ranged.to = 10000;
    cases.push_back({"ranged", ranged, 0.0, 2.0, 10000, 2.0, 0.0});
    // Normalised at 1 kHz the curve runs -1..2 dB: the lower mask is crossed at 100 Hz.
    CMaskCheck normalised = Mask(flat2, flat0);
    normalised.normaliseAt = 1000;
    cases.push_back({"normalised", normalised, -1.0, -1.0, 100, 2.0, 0.0});
    // Relative to a golden curve rising 1.1 dB a decade, both normalised at 1 kHz, the curve
    // falls 0.1 dB a decade below it: 0.2 dB at 100 kHz, 0.3 dB above the lower offset -0.5.
    CMaskCheck golden =
        Mask(CCurve{{10, 1e6}, {0.5, 0.5}, ""}, CCurve{{10, 1e6}, {-0.5, -0.5}, ""});
    golden.golden = CCurve{{10, 1e6}, {4, 9.5}, ""};
    golden.normaliseAt = 1000;
    cases.push_back({"golden", golden, 0.3, 2.0, 100000, 2.7, 1.7});
    // A mask that reaches only part of the curve checks only there: 1.25 dB at 1778 Hz.
    cases.push_back({"partial", Mask(CCurve{{300, 3000}, {1.2, 1.2}, ""}, std::nullopt), -0.05,
                     1.25, 100 * std::pow(10.0, 1.25), 1.2, std::nullopt});
    for (const CMaskCase& c : cases) {
        CCheckResult r;
        CCheckedCurve checked;
        std::string error;
        ASSERT_TRUE(CheckMask(c.mask, Rising(), r, checked, error)) << c.name << ": " << error;
        EXPECT_NEAR(r.margin, c.margin, 1e-9) << c.name;
        EXPECT_NEAR(r.value, c.value, 1e-9) << c.name;
        EXPECT_NEAR(r.frequency, c.frequency, 1e-6 * c.frequency) << c.name;
        EXPECT_EQ(r.passed, c.margin >= 0) << c.name;
        EXPECT_NEAR(r.upper.value_or(99), c.upper.value_or(99), 1e-9) << c.name;
        EXPECT_EQ(r.lower.has_value(), c.lower.has_value()) << c.name;
        EXPECT_NEAR(r.lower.value_or(99), c.lower.value_or(99), 1e-9) << c.name;
        EXPECT_EQ(checked.measured.size(), checked.upper.size()) << c.name;
    }
}

TEST(MaskCheck, ACheckThatCannotBeMadeIsAnErrorNotAFailedUnit) {
    CCheckResult r;
    CCheckedCurve checked;
    std::string error;
    CMaskCheck outside = Mask(CCurve{{100, 100000}, {2, 2}, ""}, std::nullopt);
    outside.from = 200000;
    outside.to = 300000;
    EXPECT_FALSE(CheckMask(outside, Rising(), r, checked, error));
    EXPECT_EQ(
        error,
        "mask \"m\": the curve has no point where the masks apply between 200000 and 300000 Hz");
    CMaskCheck beyond = Mask(CCurve{{100, 100000}, {2, 2}, ""}, std::nullopt);
    beyond.normaliseAt = 50;
    EXPECT_FALSE(CheckMask(beyond, Rising(), r, checked, error));
    EXPECT_EQ(error, "mask \"m\": the curve does not reach the normalising frequency 50 Hz");
}

} // namespace
