// Every axis label and readout text at the boundaries of its format table.
#include "process/AxisText.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct CTextCase {
    const char* name;
    std::function<std::string()> make;
    const char* expected;
};

void PrintTo(const CTextCase& c, std::ostream* os) {
    *os << c.name;
}

class AxisText : public testing::TestWithParam<CTextCase> {};

TEST_P(AxisText, MatchesItsFormat) {
    EXPECT_EQ(GetParam().make(), GetParam().expected) << GetParam().name;
}

#define CASE(call, text)                                                                           \
    CTextCase {                                                                                    \
#call, [] { return call; }, text                                                           \
    }

INSTANTIATE_TEST_SUITE_P(LinearFrequency, AxisText,
                         testing::Values(CASE(GetXAxisLinFreqDispText(0.0), "0.00Hz"),
                                         CASE(GetXAxisLinFreqDispText(9.994), "9.99Hz"),
                                         CASE(GetXAxisLinFreqDispText(10.0), "10.0Hz"),
                                         CASE(GetXAxisLinFreqDispText(99.94), "99.9Hz"),
                                         CASE(GetXAxisLinFreqDispText(100.0), "100Hz"),
                                         CASE(GetXAxisLinFreqDispText(750.0), "750Hz"),
                                         CASE(GetXAxisLinFreqDispText(1000.0), "1.0kHz"),
                                         CASE(GetXAxisLinFreqDispText(9940.0), "9.9kHz"),
                                         CASE(GetXAxisLinFreqDispText(10000.0), "10.0kHz"),
                                         CASE(GetXAxisLinFreqDispText(12500.0), "12.5kHz"),
                                         CASE(GetXAxisLinFreqDispText(99940.0), "99.9kHz"),
                                         CASE(GetXAxisLinFreqDispText(100000.0), "Hz"),
                                         CASE(GetXAxisLinFreqDispText(250000.0), "Hz")));

INSTANTIATE_TEST_SUITE_P(LogFrequency, AxisText,
                         testing::Values(CASE(GetXAxisLogFreqDispText(1.0), "1Hz"),
                                         CASE(GetXAxisLogFreqDispText(9.0), "9Hz"),
                                         CASE(GetXAxisLogFreqDispText(10.0), "10Hz"),
                                         CASE(GetXAxisLogFreqDispText(90.0), "90Hz"),
                                         CASE(GetXAxisLogFreqDispText(100.0), "100Hz"),
                                         CASE(GetXAxisLogFreqDispText(1000.0), "  1kHz"),
                                         CASE(GetXAxisLogFreqDispText(9000.0), "  9kHz"),
                                         CASE(GetXAxisLogFreqDispText(10000.0), "  10kHz"),
                                         CASE(GetXAxisLogFreqDispText(90000.0), "  90kHz"),
                                         CASE(GetXAxisLogFreqDispText(100000.0), "Hz")));

INSTANTIATE_TEST_SUITE_P(Volts, AxisText,
                         testing::Values(CASE(GetYAxisVoltsDispText(3.0, 0.5), "3.0V"),
                                         CASE(GetYAxisVoltsDispText(1e-6, 1.9e-7), "V"),
                                         CASE(GetYAxisVoltsDispText(1.6e-6, 2e-7), "1.6uV"),
                                         CASE(GetYAxisVoltsDispText(4e-6, 1e-6), "4.0uV"),
                                         CASE(GetYAxisVoltsDispText(1.6e-5, 2e-6), "16uV"),
                                         CASE(GetYAxisVoltsDispText(1.6e-4, 2e-5), "160uV"),
                                         CASE(GetYAxisVoltsDispText(1.6e-3, 2e-4), "1.6mV"),
                                         CASE(GetYAxisVoltsDispText(0.016, 0.002), "16mV"),
                                         CASE(GetYAxisVoltsDispText(0.16, 0.02), "0.16V"),
                                         CASE(GetYAxisVoltsDispText(0.16, 0.19), "0.16V"),
                                         CASE(GetYAxisVoltsDispText(1.6, 0.2), "1.6V"),
                                         CASE(GetYAxisVoltsDispText(16.0, 2.0), "16V"),
                                         CASE(GetYAxisVoltsDispText(160.0, 20.0), "160V"),
                                         CASE(GetYAxisVoltsDispText(0.0, 0.5), "0.0V")));

INSTANTIATE_TEST_SUITE_P(Decibels, AxisText,
                         testing::Values(CASE(GetYAxisdBDispText(4.0, 0.05), "dB"),
                                         CASE(GetYAxisdBDispText(0.4, 0.1), " 0.4dB"),
                                         CASE(GetYAxisdBDispText(-4.0, 4.99), "-4.0dB"),
                                         CASE(GetYAxisdBDispText(-20.0, 5.0), "-20dB"),
                                         CASE(GetYAxisdBDispText(200.0, 50.0), " 200dB"),
                                         CASE(GetYAxisSPLDispText(130.0, 10.0), "130dB"),
                                         CASE(GetYAxisSPLDispText(94.0, 0.1), "94.0dB"),
                                         CASE(GetYAxisSPLDispText(94.0, 0.05), "94.00dB"),
                                         CASE(GetYAxis3DLevelDispText(-40.0, -100.0), " -40dB"),
                                         CASE(GetYAxis3DLevelDispText(-40.0, -50.0), "-40dB"),
                                         CASE(GetYAxis3DLevelDispText(-5.0, -5.0), "-5.0dB")));

INSTANTIATE_TEST_SUITE_P(OhmsAndDegrees, AxisText,
                         testing::Values(CASE(GetYAxisOhmsDispText(1.0, 0.01), ""),
                                         CASE(GetYAxisOhmsDispText(0.16, 0.02), "0.2"),
                                         CASE(GetYAxisOhmsDispText(1.6, 0.2), "1.6"),
                                         CASE(GetYAxisOhmsDispText(16.0, 2.0), "16"),
                                         CASE(GetYAxisOhmsDispText(160.0, 20.0), "160"),
                                         CASE(GetYAxisOhmsDispText(800.0, 200.0), "800"),
                                         CASE(GetYAxisOhmsDispText(1600.0, 200.0), "1.6K"),
                                         CASE(GetYAxisOhmsDispText(8000.0, 2000.0), "8.0K"),
                                         CASE(GetYAxisDegDispText(45.0), "  45\xC2\xB0"),
                                         CASE(GetYAxisDegDispText(-180.0), "-180\xC2\xB0")));

INSTANTIATE_TEST_SUITE_P(Times, AxisText,
                         testing::Values(CASE(GetZAxisLinTimeDispText(0.001, 0.0005), "1000uS"),
                                         CASE(GetZAxisLinTimeDispText(0.002, 0.001), "  2mS"),
                                         CASE(GetZAxisLinTimeDispText(1.5, 0.5), "1500mS"),
                                         CASE(GetZAxisLinTimeDispText(2.0, 1.0), "2.0S"),
                                         CASE(GetZAxisLinTimeDispText(2000.0, 1000.0), "S"),
                                         CASE(GetXAxisLinTimeDispText(0.00002, 0.00001), " 20uSec"),
                                         CASE(GetXAxisLinTimeDispText(0.005, 0.001), "  5mSec"),
                                         CASE(GetXAxisLinTimeDispText(10.0, 1.0), "10.0Sec"),
                                         CASE(GetXAxisLinTimeDispText(5000.0, 1000.0), "Sec")));

INSTANTIATE_TEST_SUITE_P(VoltsReadout, AxisText,
                         testing::Values(CASE(GetFormattedVoltsText(0.0), "0.000 nV"),
                                         CASE(GetFormattedVoltsText(9.99e-10), "0.000 nV"),
                                         CASE(GetFormattedVoltsText(1e-9), "1.000 nV"),
                                         CASE(GetFormattedVoltsText(1e-8), "10.00 nV"),
                                         CASE(GetFormattedVoltsText(1e-7), "100.0 nV"),
                                         CASE(GetFormattedVoltsText(1e-6), "1.000 uV"),
                                         CASE(GetFormattedVoltsText(1e-5), "10.00 uV"),
                                         CASE(GetFormattedVoltsText(1e-4), "100.0 uV"),
                                         CASE(GetFormattedVoltsText(1e-3), "1.000 mV"),
                                         CASE(GetFormattedVoltsText(0.01), "10.00 mV"),
                                         CASE(GetFormattedVoltsText(0.1), "100.0 mV"),
                                         CASE(GetFormattedVoltsText(1.0), "1.000 V"),
                                         CASE(GetFormattedVoltsText(10.0), "10.00 V"),
                                         CASE(GetFormattedVoltsText(100.0), "100.0 V"),
                                         CASE(GetFormattedVoltsText(-0.5), "-500.0 mV")));

INSTANTIATE_TEST_SUITE_P(
    OtherReadouts, AxisText,
    testing::Values(
        CASE(GetFormatteddBText(0.0), "0.000 dB"), CASE(GetFormatteddBText(-0.05), "0.000 dB"),
        CASE(GetFormatteddBText(0.1), "0.1000dB"), CASE(GetFormatteddBText(-0.5), "-0.5000dB"),
        CASE(GetFormatteddBText(1.0), "1.000dB"), CASE(GetFormatteddBText(10.0), "10.00dB"),
        CASE(GetFormatteddBText(-100.0), "-100.0dB"),
        CASE(GetFormattedDegText(12.5), "12.50\xC2\xB0"),
        CASE(GetFormattedDegText(-180.0), "-180.00\xC2\xB0"),
        CASE(GetFormattedOhmsText(0.0), "0.000"), CASE(GetFormattedOhmsText(0.0009), "0.000"),
        CASE(GetFormattedOhmsText(0.001), "0.001"), CASE(GetFormattedOhmsText(5.0), "5.000"),
        CASE(GetFormattedOhmsText(10.0), "10.00"), CASE(GetFormattedOhmsText(100.0), "100.0"),
        CASE(GetFormattedOhmsText(1000.0), "1.000K"), CASE(GetFormattedOhmsText(10000.0), "10.00K"),
        CASE(GetFormattedOhmsText(100000.0), "100.0K"), CASE(GetFormattedOhmsText(1e6), "1.000M"),
        CASE(GetFormattedOhmsText(-5.0), "0.000")));

#undef CASE

} // namespace
