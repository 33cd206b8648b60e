// Axis labels and readout texts at the boundaries of their format tables.
#include "plot/AxisText.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

void ExpectTexts(std::initializer_list<std::pair<std::string, const char*>> cases) {
    for (const auto& [made, expected] : cases)
        EXPECT_EQ(made, expected);
}

TEST(AxisText, LabelsMatchTheirFormats) {
    ExpectTexts({{GetXAxisLinFreqDispText(9.994), "9.99Hz"},
                 {GetXAxisLinFreqDispText(10000.0), "10.0kHz"},
                 {GetXAxisLinFreqDispText(100000.0), "Hz"},
                 {GetXAxisLogFreqDispText(9.0), "9Hz"},
                 {GetXAxisLogFreqDispText(1000.0), "  1kHz"},
                 {GetXAxisLogFreqDispText(10000.0), "  10kHz"},
                 {GetXAxisLogFreqDispText(100000.0), "Hz"},
                 {GetYAxisVoltsDispText(1e-6, 1.9e-7), "V"},
                 {GetYAxisVoltsDispText(1.6e-6, 2e-7), "1.6uV"},
                 {GetYAxisVoltsDispText(1.6e-4, 2e-5), "160uV"},
                 {GetYAxisVoltsDispText(1.6e-3, 2e-4), "1.6mV"},
                 {GetYAxisVoltsDispText(0.16, 0.19), "0.16V"},
                 {GetYAxisdBDispText(4.0, 0.05), "dB"},
                 {GetYAxisdBDispText(0.4, 0.1), " 0.4dB"},
                 {GetYAxisdBDispText(-4.0, 4.99), "-4.0dB"},
                 {GetYAxisSPLDispText(94.0, 0.1), "94.0dB"},
                 {GetYAxisSPLDispText(94.0, 0.05), "94.00dB"},
                 {GetYAxis3DLevelDispText(-40.0, -100.0), " -40dB"},
                 {GetYAxis3DLevelDispText(-5.0, -5.0), "-5.0dB"},
                 {GetYAxisOhmsDispText(1.0, 0.01), ""},
                 {GetYAxisOhmsDispText(0.16, 0.02), "0.2"},
                 {GetYAxisOhmsDispText(1600.0, 200.0), "1.6K"},
                 {GetYAxisDegDispText(-180.0), "-180\xC2\xB0"},
                 {GetZAxisLinTimeDispText(0.001, 0.0005), "1000uS"},
                 {GetZAxisLinTimeDispText(0.002, 0.001), "  2mS"},
                 {GetZAxisLinTimeDispText(2000.0, 1000.0), "S"}});
}

TEST(AxisText, ReadoutsMatchTheirFormats) {
    ExpectTexts({{GetFormattedVoltsText(9.99e-10), "0.000 nV"},
                 {GetFormattedVoltsText(1e-9), "1.000 nV"},
                 {GetFormattedVoltsText(1e-7), "100.0 nV"},
                 {GetFormattedVoltsText(1e-6), "1.000 uV"},
                 {GetFormattedVoltsText(1e-3), "1.000 mV"},
                 {GetFormattedVoltsText(100.0), "100.0 V"},
                 {GetFormattedVoltsText(-0.5), "-500.0 mV"},
                 {GetFormatteddBText(-0.05), "0.000 dB"},
                 {GetFormatteddBText(0.1), "0.1000dB"},
                 {GetFormatteddBText(-100.0), "-100.0dB"},
                 {GetFormattedDegText(-180.0), "-180.00\xC2\xB0"},
                 {GetFormattedOhmsText(0.0009), "0.000"},
                 {GetFormattedOhmsText(0.001), "0.001"},
                 {GetFormattedOhmsText(1000.0), "1.000K"},
                 {GetFormattedOhmsText(1e6), "1.000M"},
                 {GetFormattedOhmsText(-5.0), "0.000"}});
}

} // namespace
