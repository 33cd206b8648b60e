#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

namespace {

// 1700000000 is 2023-11-14 22:13:20 UTC; 951782400 is 2000-02-29 00:00:00 UTC.
constexpr std::time_t kNov2023 = 1700000000;
constexpr std::time_t kLeapDay2000 = 951782400;

class LocalTime : public testing::Test {
protected:
    void SetUp() override { UseZone("UTC"); }
    void TearDown() override { UseZone("UTC"); }
    static void UseZone(const char* tz) {
        setenv("TZ", tz, 1);
        tzset();
    }
};

struct CFormatCase {
    const char* tz;
    std::time_t t;
    const char* format;
    const char* expected;
};

class LocalTimeFormat : public LocalTime, public testing::WithParamInterface<CFormatCase> {};

TEST_P(LocalTimeFormat, MatchesHandWorkedDate) {
    UseZone(GetParam().tz);
    EXPECT_EQ(FormatLocalTime(GetParam().t, GetParam().format), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LocalTimeFormat,
    testing::Values(CFormatCase{"UTC", kNov2023, "%d %b %y %H:%M:%S", "14 Nov 23 22:13:20"},
                    CFormatCase{"UTC", kNov2023, "%H:%M:%S %d %b %y", "22:13:20 14 Nov 23"},
                    // A fixed offset five hours west of UTC, no zone database needed.
                    CFormatCase{"EST5", kNov2023, "%d %b %y %H:%M:%S", "14 Nov 23 17:13:20"},
                    CFormatCase{"UTC", kLeapDay2000, "%d %b %y %H:%M:%S", "29 Feb 00 00:00:00"},
                    CFormatCase{"UTC", kLeapDay2000 - 1, "%d %b %y %H:%M:%S", "28 Feb 00 23:59:59"},
                    CFormatCase{"UTC", 0, "%a %A %B", "Thu Thursday January"},
                    CFormatCase{"UTC", kNov2023, "", ""}));

TEST_F(LocalTime, LongResultIsNotCut) {
    std::string format, expected;
    for (int i = 0; i < 40; ++i) {
        format += "%Y-%m-%d|";
        expected += "2023-11-14|";
    }
    EXPECT_EQ(FormatLocalTime(kNov2023, format.c_str()), expected);
}

} // namespace
