// Test plans: a good plan reads into what it says; every malformed plan is refused with one line
// naming the file, the item and the reason; the built-in schema uses only what the checker knows.
#include "station/JsonSchema.h"
#include "station/TestPlan.h"

#include "common/TempFolder.h"
#include "common/TextFileUtil.h"

#include <gtest/gtest.h>

namespace {

const char* const kGoodPlan = R"({
  "format": "aurivo-test-plan/1", "name": "unit", "stopAtFirstFailure": true,
  "measurements": [{"name": "m", "process": "sub/a.process", "set": ["3:window=None"],
    "passes": 3, "retries": 2,
    "limits": [{"id": "thd", "step": 3, "readout": "THD", "channel": 1, "unit": "%",
                "upper": 0.5, "statistic": "max"}],
    "masks": [{"id": "resp", "step": 3, "from": 100, "to": 10000, "normaliseAt": 1000,
               "goldenFile": "golden.txt", "upper": [[50, 1], [20000, 2]],
               "lower": [[50, -1], [20000, -2]]}]}]})";

TEST(TestPlan, AGoodPlanReadsIntoWhatItSays) {
    CTempFolder folder;
    PutFile(folder.File("golden.txt"), "# f dB\n100, 0\n1000;0.5\n10000\t-3 7\n");
    CTestPlan plan;
    std::string error;
    ASSERT_TRUE(ParseTestPlan(folder.File("plan.json"), kGoodPlan, plan, error)) << error;
    EXPECT_TRUE(plan.stopAtFirstFailure);
    ASSERT_EQ(plan.measurements.size(), 1u);
    const CMeasurement& m = plan.measurements[0];
    EXPECT_EQ(m.process, folder.File("sub/a.process"));
    EXPECT_EQ(m.passes, 3);
    EXPECT_EQ(m.retries, 2);
    ASSERT_EQ(m.limits.size(), 1u);
    EXPECT_EQ(m.limits[0].statistic, EStatistic::Max);
    EXPECT_FALSE(m.limits[0].lower);
    EXPECT_EQ(m.limits[0].upper, 0.5);
    ASSERT_EQ(m.masks.size(), 1u);
    ASSERT_TRUE(m.masks[0].golden);
    EXPECT_EQ(m.masks[0].golden->x, (std::vector<double>{100, 1000, 10000}));
    EXPECT_EQ(m.masks[0].golden->y, (std::vector<double>{0, 0.5, -3}));
    EXPECT_EQ(m.masks[0].lower->y, (std::vector<double>{-1, -2}));
}

struct CBadPlan {
    const char* name;
    const char* from;    // text of the good plan replaced...
    const char* to;      // ...by this
    const char* message; // what the line says after "plan.json: "
};

class BadPlans : public testing::TestWithParam<CBadPlan> {};

TEST_P(BadPlans, AreRefusedWithOneLineNamingTheItem) {
    CTempFolder folder;
    PutFile(folder.File("golden.txt"), "100 0\n10000 1\n");
    std::string text = kGoodPlan;
    const size_t at = text.find(GetParam().from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, std::string(GetParam().from).size(), GetParam().to);
    CTestPlan plan;
    std::string error;
    ASSERT_FALSE(ParseTestPlan(folder.File("plan.json"), text, plan, error));
    EXPECT_EQ(error, folder.File("plan.json") + ": " + GetParam().message);
    EXPECT_EQ(error.find('\n'), std::string::npos);
    EXPECT_TRUE(plan.measurements.empty());
}

const CBadPlan kBadPlans[] = {
    {"not_json", "\"name\": \"unit\",", "\"name\": ", "the plan: is not JSON text (at byte 66)"},
    {"huge_number", "\"passes\": 3", "\"passes\": 1e555",
     "the plan: holds a number too large to read"},
    {"wrong_format", "plan/1", "plan/2",
     "format: \"aurivo-test-plan/2\" is not one of \"aurivo-test-plan/1\""},
    {"missing_name", "\"name\": \"unit\",", "", "the plan: \"name\" is missing"},
    {"unknown_field", "\"passes\": 3", "\"pases\": 3",
     "measurements[0]: \"pases\" is not a known field"},
    {"step_too_high", "\"step\": 3, \"readout\"", "\"step\": 7, \"readout\"",
     "measurements[0].limits[0].step: 7 is above the most allowed, 6"},
    {"passes_not_whole", "\"passes\": 3", "\"passes\": 2.5",
     "measurements[0].passes: must be a whole number"},
    {"limit_is_text", "\"upper\": 0.5", "\"upper\": \"0.5\"",
     "measurements[0].limits[0].upper: must be a number"},
    {"zero_frequency", "[[50, 1]", "[[0, 1]",
     "measurements[0].masks[0].upper[0][0]: 0 must be above 0"},
    {"short_point", "[[50, 1]", "[[50]",
     "measurements[0].masks[0].upper[0]: must hold at least 2 item(s)"},
    {"bad_statistic", "\"max\"", "\"median\"",
     "measurements[0].limits[0].statistic: \"median\" is not one of \"last\", \"mean\", \"min\", "
     "\"max\""},
    {"unsorted_mask", "[[50, 1], [20000, 2]]", "[[500, 1], [200, 2]]",
     "mask \"resp\": the frequencies of \"upper\" must rise, and 200 follows 500"},
    {"limits_crossed", "\"upper\": 0.5,", "\"upper\": 0.5, \"lower\": 1,",
     "limit \"thd\": lower 1 is above upper 0.5"},
    {"no_limit", "\"upper\": 0.5,", "", "limit \"thd\": needs \"lower\" or \"upper\""},
    {"range_reversed", "\"to\": 10000", "\"to\": 50",
     "mask \"resp\": \"from\" 100 Hz must lie below \"to\" 50 Hz"},
    {"both_forms", "\"goldenFile\": \"golden.txt\",",
     "\"goldenFile\": \"golden.txt\", \"golden\": [[1, 0], [2, 0]],",
     "mask \"resp\": give \"golden\" or \"goldenFile\", not both"},
    {"no_mask",
     "\"golden.txt\", \"upper\": [[50, 1], [20000, 2]],\n               \"lower\": [[50, -1], "
     "[20000, -2]]",
     "\"golden.txt\"", "mask \"resp\": needs an upper or a lower mask"},
    {"golden_short_of_normalising", "\"normaliseAt\": 1000", "\"normaliseAt\": 50",
     "mask \"resp\": the golden curve does not reach the normalising frequency 50 Hz"},
    {"duplicate_id", "\"id\": \"resp\"", "\"id\": \"thd\"", "check \"thd\": the id is used twice"},
};
INSTANTIATE_TEST_SUITE_P(TestPlan, BadPlans, testing::ValuesIn(kBadPlans),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TestPlan, AMissingMaskFileIsNamedWithTheMask) {
    CTempFolder folder;
    CTestPlan plan;
    std::string error;
    ASSERT_FALSE(ParseTestPlan(folder.File("plan.json"), kGoodPlan, plan, error));
    EXPECT_EQ(error, folder.File("plan.json") + ": mask \"resp\": Cannot open '" +
                         folder.File("golden.txt") + "': No such file or directory");
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

TEST(TestPlan, CurveFilesNameTheLineThatIsWrong) {
    CCurve curve;
    std::string error;
    EXPECT_FALSE(ParseCurveText("m.txt", "# head\n100 1\n200 x\n", curve, error));
    EXPECT_EQ(error, "m.txt: line 3 is not a pair of numbers \"frequency value\"");
    EXPECT_FALSE(ParseCurveText("m.txt", "100 1\n100 2\n", curve, error));
    EXPECT_EQ(error, "m.txt: line 2: the frequencies must rise, and 100 follows 100");
    EXPECT_FALSE(ParseCurveText("m.txt", "100 1\n", curve, error));
    EXPECT_EQ(error, "m.txt: a curve needs at least two points");
}

TEST(TestPlan, TheSchemaUsesOnlyKeywordsTheCheckerKnows) {
    const nlohmann::json schema = nlohmann::json::parse(TestPlanSchemaText());
    EXPECT_EQ(UnsupportedSchemaKeyword(schema), "");
    // A keyword the checker does not know would check nothing; it is found wherever it is.
    nlohmann::json widened = schema;
    widened["$defs"]["limit"]["properties"]["upper"]["multipleOf"] = 0.5;
    EXPECT_EQ(UnsupportedSchemaKeyword(widened), "multipleOf");
    // Property names are names, not keywords.
    widened = schema;
    widened["properties"]["oneOf"] = {{"type", "string"}};
    EXPECT_EQ(UnsupportedSchemaKeyword(widened), "");
}

} // namespace
