// Numbers as the files and readouts write them: three-digit exponents whatever the C library,
// and parsing that ignores the user's locale.
#include "base/NumberText.h"

#include "common/CommaLocale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <tuple>

namespace {

// Exponents have at least three digits whatever the C library, and a field width counts the
// wider exponent; numbers without one, infinities and NaNs are as printf writes them.
TEST(FormatText, OneNumberAsTheFilesAndReadoutsWriteIt) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::tuple<const char*, double, const char*> cases[] = {
        {"%+07.7e", 1000.0, "+1.0000000e+003"},
        {"%+07.7e", -0.00125, "-1.2500000e-003"},
        {"%3.6G", 1234567.0, "1.23457E+006"},
        {"%g", 1e-5, "1e-005"},
        {"%e", 1e100, "1.000000e+100"},
        {"%e", 1e-300, "1.000000e-300"},
        {"%E", 0.0, "0.000000E+000"},
        {"[%15e]", 1000.0, "[  1.000000e+003]"},
        {"[%-15e]", 1000.0, "[1.000000e+003  ]"},
        {"[%017e]", -1000.0, "[-0001.000000e+003]"},
        {"[%+16.3E]", 12346.0, "[     +1.235E+004]"},
        {"[%12g]", 2e20, "[      2e+020]"},
        {"%3.6G", 1.0, "  1"},
        {"%3.6G%%", 1.11803398875, "1.11803%"},
        {"%6.0f", 96000.0, " 96000"},
        {"%e", inf, "inf"},
        {"[%08e]", -inf, "[    -inf]"},
        {"%G", std::nan(""), "NAN"}};
    for (const auto& [format, value, text] : cases)
        EXPECT_EQ(FormatText(format, value), text) << format;
}

TEST(FormatText, SeveralArgumentsWidthsFromArgumentsAndLongTexts) {
    EXPECT_EQ(FormatText("Data Type:%d FFT Size:%d Sample Rate:%6.0f  ", 1, 1024, 96000.0),
              "Data Type:1 FFT Size:1024 Sample Rate: 96000  ");
    EXPECT_EQ(FormatText("%4.2f %2s", 93.75, "Hz"), "93.75 Hz");
    EXPECT_EQ(FormatText("%-i|%5i|%-5d|%05d|%ld", 7, 42, 3, -12, 123456789L),
              "7|   42|3    |-0012|123456789");
    EXPECT_EQ(FormatText("%s=%c", "x", 'y'), "x=y");
    EXPECT_EQ(FormatText("[%*.*e]", 12, 2, 5.0), "[   5.00e+000]");
    EXPECT_EQ(FormatText("[%*.*e]", -12, 2, 5.0), "[5.00e+000   ]");
    const std::string long_(300, 'a');
    EXPECT_EQ(FormatText("%s%e", long_.c_str(), 1.0), long_ + "1.000000e+000");
    EXPECT_EQ(FormatText("%.250f", 1.0).size(), 252u);
}

// Read like atof in the C locale: out of range is infinite (underflow 0), a second sign is no
// number, hexadecimal is read.
TEST(ParseDouble, ReadsLikeAtofInTheCLocale) {
    const std::pair<const char*, double> cases[] = {{"1.5", 1.5},
                                                    {"  +1.5e3xyz", 1500.0},
                                                    {"-.5", -0.5},
                                                    {"1,5", 1.0},
                                                    {"+1.0000000e+003", 1000.0},
                                                    {"", 0.0},
                                                    {"-", 0.0},
                                                    {"\t96000 Hz", 96000.0},
                                                    {"-1e999", -HUGE_VAL},
                                                    {"1e-999", 0.0},
                                                    {"+-7", 0.0},
                                                    {" -0x1p4 V", -16.0},
                                                    {"inf", HUGE_VAL}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseDouble(text), value) << text;
}

TEST(NumberText, IgnoresACommaDecimalLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_TRUE(UseCommaDecimalLocale());
    char native[16];
    std::snprintf(native, sizeof native, "%.2f", 2.25);
    const double parsed = ParseDouble("2.25");
    const std::string formatted = FormatText("%.2f|%e|%6.1f", 2.25, 2.25, -1.5);
    std::setlocale(LC_ALL, saved.c_str());
    ASSERT_STREQ(native, "2,25") << "the locale is in force";
    EXPECT_EQ(parsed, 2.25);
    EXPECT_EQ(formatted, "2.25|2.250000e+000|  -1.5");
}

} // namespace
