// Learning limits: mean ± k·σ (sample σ) of each readout on the sides the plan limits, masks as
// the mean curve with offsets ± k·σ, never narrower than their floors.
#include "station/PlanLearning.h"

#include <gtest/gtest.h>

namespace {

const char* const kPlan = R"({"format": "aurivo-test-plan/1", "name": "p", "measurements": [
  {"name": "m", "process": "a.process",
   "limits": [{"id": "both", "step": 1, "readout": "A", "lower": 0, "upper": 9},
              {"id": "upper", "step": 1, "readout": "B", "upper": 9},
              {"id": "quiet", "step": 1, "readout": "C", "lower": 0}],
   "masks": [{"id": "resp", "step": 1, "upperFile": "u.txt", "lower": [[1, -9], [9, -9]]}]}]})";

CTestRecord UnitRun(double a, double b, std::vector<double> curve) {
    CTestRecord r;
    for (const auto& [id, value] : {std::pair{"both", a}, {"upper", b}, {"quiet", 50.0}}) {
        CCheckResult c;
        c.id = id;
        c.value = value;
        c.unit = "%";
        r.checks.push_back(c);
    }
    r.curves.push_back({"resp", {{100, 1000, 10000}, std::move(curve), "dB"}, {}, {}});
    return r;
}

TEST(LearnPlan, LimitsAtMeanPlusMinusKSigmaMasksAroundTheMeanCurve) {
    const std::vector<CTestRecord> runs = {UnitRun(1, 10, {0, 1, 2}), UnitRun(2, 20, {0, 1, 2.2}),
                                           UnitRun(3, 30, {0, 1, 2.4})};
    CLearnOptions options;
    options.k = 3;
    nlohmann::json learned;
    std::vector<CLearnedItem> items;
    std::string error;
    ASSERT_TRUE(LearnPlan(kPlan, runs, options, learned, items, error)) << error;
    const nlohmann::json& limits = learned["measurements"][0]["limits"];
    // A: mean 2, sample sigma 1 -> -1 .. 5. B: mean 20, sigma 10 -> upper 50, no lower.
    EXPECT_DOUBLE_EQ(limits[0]["lower"], -1.0);
    EXPECT_DOUBLE_EQ(limits[0]["upper"], 5.0);
    EXPECT_FALSE(limits[1].contains("lower"));
    EXPECT_DOUBLE_EQ(limits[1]["upper"], 50.0);
    // C never varies: its limit is the floor, 1 % of the mean.
    EXPECT_DOUBLE_EQ(limits[2]["lower"], 49.5);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_DOUBLE_EQ(items[1].sigma, 10.0);

    const nlohmann::json& mask = learned["measurements"][0]["masks"][0];
    EXPECT_FALSE(mask.contains("upperFile"));
    ASSERT_EQ(mask["golden"].size(), 3u);
    EXPECT_EQ(mask["golden"][1], nlohmann::json::parse("[1000.0, 1.0]"));
    EXPECT_NEAR(mask["golden"][2][1].get<double>(), 2.2, 1e-12);
    // Sigma 0.2 at 10 kHz: offsets 0.6; elsewhere the floor 0.1.
    EXPECT_EQ(mask["upper"][0], nlohmann::json::parse("[100, 0.1]"));
    EXPECT_NEAR(mask["upper"][2][1].get<double>(), 0.6, 1e-12);
    EXPECT_NEAR(mask["lower"][2][1].get<double>(), -0.6, 1e-12);
    EXPECT_EQ(items[3].points, 3u);
    EXPECT_NEAR(items[3].upper, 0.1, 1e-12);
}

TEST(LearnPlan, RunsThatDoNotAgreeCannotBeLearnedFrom) {
    nlohmann::json learned;
    std::vector<CLearnedItem> items;
    std::string error;
    EXPECT_FALSE(LearnPlan(kPlan, {UnitRun(1, 1, {0, 1, 2})}, {}, learned, items, error));
    EXPECT_EQ(error, "learning needs at least two runs");
    CTestRecord shorter = UnitRun(1, 1, {0, 1, 2});
    shorter.curves[0].measured.x[2] = 12000;
    EXPECT_FALSE(LearnPlan(kPlan, {UnitRun(1, 1, {0, 1, 2}), shorter}, {}, learned, items, error));
    EXPECT_EQ(error, "mask \"resp\": the runs' curves have different points");
    CTestRecord missing = UnitRun(1, 1, {0, 1, 2});
    missing.checks[0].value = NAN;
    EXPECT_FALSE(LearnPlan(kPlan, {UnitRun(1, 1, {0, 1, 2}), missing}, {}, learned, items, error));
    EXPECT_EQ(error, "limit \"both\": a run has no value");
}

} // namespace
