// Axis labels and readout texts at the boundaries of their format tables.
#include "plot/AxisText.h"

#include "common/CaseName.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct CTextCase {
    std::string name;
    std::function<std::string()> make;
    const char* expected;
};

// The call as a test name: "GetYAxisdBDispText(-4.0, 4.99)" gives "GetYAxisdBDispText_m4p0_4p99".
std::string Identifier(const std::string& call) {
    std::string name;
    for (char c : call) {
        if (c == '(' || c == ',') name += '_';
        if (c == '-') name += 'm';
        if (c == '.') name += 'p';
        if (std::isalnum(static_cast<unsigned char>(c))) name += c;
    }
    return name;
}

class AxisText : public testing::TestWithParam<CTextCase> {};

TEST_P(AxisText, MatchesItsFormat) {
    EXPECT_EQ(GetParam().make(), GetParam().expected);
}

#define CASE(call, text)                                                                           \
    CTextCase {                                                                                    \
        Identifier(#call), [] { return call; }, text                                               \
    }

INSTANTIATE_TEST_SUITE_P(Labels, AxisText,
                         testing::Values(CASE(GetXAxisLinFreqDispText(9.994), "9.99Hz"),
                                         CASE(GetXAxisLinFreqDispText(10000.0), "10.0kHz"),
                                         CASE(GetXAxisLinFreqDispText(100000.0), "Hz"),
                                         CASE(GetXAxisLogFreqDispText(9.0), "9Hz"),
                                         CASE(GetXAxisLogFreqDispText(1000.0), "  1kHz"),
                                         CASE(GetXAxisLogFreqDispText(10000.0), "  10kHz"),
                                         CASE(GetXAxisLogFreqDispText(100000.0), "Hz"),
                                         CASE(GetYAxisVoltsDispText(1e-6, 1.9e-7), "V"),
                                         CASE(GetYAxisVoltsDispText(1.6e-6, 2e-7), "1.6uV"),
                                         CASE(GetYAxisVoltsDispText(1.6e-4, 2e-5), "160uV"),
                                         CASE(GetYAxisVoltsDispText(1.6e-3, 2e-4), "1.6mV"),
                                         CASE(GetYAxisVoltsDispText(0.16, 0.19), "0.16V"),
                                         CASE(GetYAxisdBDispText(4.0, 0.05), "dB"),
                                         CASE(GetYAxisdBDispText(0.4, 0.1), " 0.4dB"),
                                         CASE(GetYAxisdBDispText(-4.0, 4.99), "-4.0dB"),
                                         CASE(GetYAxisSPLDispText(94.0, 0.1), "94.0dB"),
                                         CASE(GetYAxisSPLDispText(94.0, 0.05), "94.00dB"),
                                         CASE(GetYAxis3DLevelDispText(-40.0, -100.0), " -40dB"),
                                         CASE(GetYAxis3DLevelDispText(-5.0, -5.0), "-5.0dB"),
                                         CASE(GetYAxisOhmsDispText(1.0, 0.01), ""),
                                         CASE(GetYAxisOhmsDispText(0.16, 0.02), "0.2"),
                                         CASE(GetYAxisOhmsDispText(1600.0, 200.0), "1.6K"),
                                         CASE(GetYAxisDegDispText(-180.0), "-180\xC2\xB0"),
                                         CASE(GetZAxisLinTimeDispText(0.001, 0.0005), "1000uS"),
                                         CASE(GetZAxisLinTimeDispText(0.002, 0.001), "  2mS"),
                                         CASE(GetZAxisLinTimeDispText(2000.0, 1000.0), "S")),
                         CaseName());

INSTANTIATE_TEST_SUITE_P(Readouts, AxisText,
                         testing::Values(CASE(GetFormattedVoltsText(9.99e-10), "0.000 nV"),
                                         CASE(GetFormattedVoltsText(1e-9), "1.000 nV"),
                                         CASE(GetFormattedVoltsText(1e-7), "100.0 nV"),
                                         CASE(GetFormattedVoltsText(1e-6), "1.000 uV"),
                                         CASE(GetFormattedVoltsText(1e-3), "1.000 mV"),
                                         CASE(GetFormattedVoltsText(100.0), "100.0 V"),
                                         CASE(GetFormattedVoltsText(-0.5), "-500.0 mV"),
                                         CASE(GetFormatteddBText(-0.05), "0.000 dB"),
                                         CASE(GetFormatteddBText(0.1), "0.1000dB"),
                                         CASE(GetFormatteddBText(-100.0), "-100.0dB"),
                                         CASE(GetFormattedDegText(-180.0), "-180.00\xC2\xB0"),
                                         CASE(GetFormattedOhmsText(0.0009), "0.000"),
                                         CASE(GetFormattedOhmsText(0.001), "0.001"),
                                         CASE(GetFormattedOhmsText(1000.0), "1.000K"),
                                         CASE(GetFormattedOhmsText(1e6), "1.000M"),
                                         CASE(GetFormattedOhmsText(-5.0), "0.000")),
                         CaseName());

#undef CASE

} // namespace
