// The items as CSV for a spreadsheet.
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

TEST(YieldReport, CsvQuotesWhatNeedsItAndLeavesMissingNumbersEmpty) {
    CItemRow missing = Row("a", NAN, false);
    missing.upper.reset();
    EXPECT_EQ(ItemsCsv({Row("a", 2.5, true), missing}),
              "uuid,tested_at,station,serial,verdict,item,value,unit,lower,upper,margin,passed\r\n"
              "u,t,\"line, 1\",\"S\"\"1\",PASS,a,2.5,%,0,10,2.5,1\r\n"
              "u,t,\"line, 1\",\"S\"\"1\",FAIL,a,,%,0,,,0\r\n");
}

} // namespace
