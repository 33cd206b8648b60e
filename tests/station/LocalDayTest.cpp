// Where an operator's day begins: the last local midnight, as the UTC text records are
// compared with, across time zones and a change of daylight saving time.
#include "station/TestRecord.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

std::time_t Utc(int year, int month, int day, int hour, int minute) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    return timegm(&t);
}

TEST(LocalDayTest, TheDayStartsAtLocalMidnight) {
    const char* saved = std::getenv("TZ");
    const std::string previous = saved ? saved : "";
    struct {
        const char* zone;
        std::time_t now;
        const char* dayStart;
    } cases[] = {
        {"UTC0", Utc(2026, 12, 7, 16, 50), "2026-12-07T00:00:00.000Z"},
        // 22:00 the evening before in New York: still the 6th there.
        {"EST5EDT,M3.2.0,M11.1.0", Utc(2026, 12, 7, 3, 0), "2026-12-06T05:00:00.000Z"},
        // East of Greenwich the local day began on the UTC day before.
        {"CET-1CEST,M3.5.0,M10.5.0/3", Utc(2026, 12, 7, 8, 0), "2026-12-06T23:00:00.000Z"},
        // The day summer time begins: midnight still had winter's offset.
        {"CET-1CEST,M3.5.0,M10.5.0/3", Utc(2026, 3, 29, 12, 0), "2026-03-28T23:00:00.000Z"},
    };
    for (const auto& c : cases) {
        setenv("TZ", c.zone, 1);
        tzset();
        EXPECT_EQ(LocalDayStartText(c.now), c.dayStart) << c.zone;
    }
    if (saved)
        setenv("TZ", previous.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

} // namespace
