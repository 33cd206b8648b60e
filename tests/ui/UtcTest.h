#pragma once
// Texts that carry the local time are checked in UTC at a fixed moment.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

// 2023-11-14 22:13:20 UTC.
inline constexpr std::time_t kTestTime = 1700000000;

class CUtcTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
    }
};
