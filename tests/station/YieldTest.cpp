// The yield report: counts, failures in Pareto order, mean, sample σ and Cpk by hand, and CSV.
#include "station/YieldReport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

CItemRow Row(const char* item, double value, bool passed) {
    CItemRow r;
    r.uuid = "u";
    r.testedAt = "t";
    r.station = "line, 1";
    r.serial = "S\"1";
    r.verdict = passed ? "PASS" : "FAIL";
    r.item = item;
    r.unit = "%";
    r.value = value;
    r.upper = 10;
    r.lower = 0;
    r.margin = std::min(10 - value, value);
    r.passed = passed;
    return r;
}

TEST(YieldReport, ParetoOrderMeanSigmaAndCpkByHand) {
    // "a": 2, 4, 6 -> mean 4, sample sigma 2, Cpk min(10 - 4, 4 - 0) / 6 = 2/3.
    // "b": two failures (one without a value), one pass of 1e9 + 1 and 1e9 + 3 around a large
    // offset, whose sigma must not drown in rounding.
    const std::vector<CItemRow> rows = {Row("a", 2, true),    Row("a", 4, true),
                                        Row("a", 6, true),    Row("b", 1e9 + 1, false),
                                        Row("b", NAN, false), Row("b", 1e9 + 3, true)};
    const CYieldReport r = SummariseItems(rows, 3, 1);
    EXPECT_EQ(r.tests, 3);
    EXPECT_EQ(r.passed, 1);
    ASSERT_EQ(r.items.size(), 2u);
    EXPECT_EQ(r.items[0].id, "b");
    EXPECT_EQ(r.items[0].failures, 2);
    EXPECT_EQ(r.items[0].count, 2);
    EXPECT_DOUBLE_EQ(r.items[0].mean, 1e9 + 2);
    EXPECT_DOUBLE_EQ(r.items[0].sigma, std::sqrt(2.0));
    EXPECT_EQ(r.items[1].id, "a");
    EXPECT_DOUBLE_EQ(r.items[1].mean, 4.0);
    EXPECT_DOUBLE_EQ(r.items[1].sigma, 2.0);
    ASSERT_TRUE(r.items[1].cpk);
    EXPECT_DOUBLE_EQ(*r.items[1].cpk, 2.0 / 3.0);
}

TEST(YieldReport, CsvQuotesWhatNeedsItAndLeavesMissingNumbersEmpty) {
    CItemRow missing = Row("a", NAN, false);
    missing.upper.reset();
    EXPECT_EQ(ItemsCsv({Row("a", 2.5, true), missing}),
              "uuid,tested_at,station,serial,verdict,item,value,unit,lower,upper,margin,passed\r\n"
              "u,t,\"line, 1\",\"S\"\"1\",PASS,a,2.5,%,0,10,2.5,1\r\n"
              "u,t,\"line, 1\",\"S\"\"1\",FAIL,a,,%,0,,,0\r\n");
}

} // namespace
