#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

void UseZone(const char* tz) {
    setenv("TZ", tz, 1);
    tzset();
}

// 1700000000 is 2023-11-14 22:13:20 UTC; 951782400 - 1 is 2000-02-28 23:59:59 UTC.
TEST(LocalTime, MatchesHandWorkedDates) {
    struct {
        const char* tz;
        std::time_t t;
        std::string format, expected;
    } const cases[] = {
        {"UTC", 1700000000, "%d %b %y %H:%M:%S", "14 Nov 23 22:13:20"},
        // A fixed offset five hours west of UTC, no zone database needed.
        {"EST5", 1700000000, "%d %b %y %H:%M:%S", "14 Nov 23 17:13:20"},
        {"UTC", 951782400 - 1, "%d %b %y %H:%M:%S", "28 Feb 00 23:59:59"},
        {"UTC", 0, "%a %A %B", "Thu Thursday January"},
        {"UTC", 1700000000, "", ""},
        // A long result is not cut.
        {"UTC", 1700000000, std::string(40 * 3, 'x') + "%Y", std::string(40 * 3, 'x') + "2023"},
    };
    for (const auto& c : cases) {
        UseZone(c.tz);
        EXPECT_EQ(FormatLocalTime(c.t, c.format.c_str()), c.expected) << c.tz << " " << c.format;
    }
    UseZone("UTC");
}

} // namespace
