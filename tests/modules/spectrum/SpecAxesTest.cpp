// The analyser's choice lists, its Y axis table and the numbers its scale texts stand for.
#include "modules/spectrum/SpecAxes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Items = std::vector<std::string>;

TEST(SpecAxes, ChoiceListsHoldTheShownTexts) {
    EXPECT_EQ(SpecXAxisChoices(), (Items{"Lin.", "Log1.", "Log10.", "Log20.", "Log100."}));
    EXPECT_EQ(SpecYAxisChoices(), (Items{"Vpk.", "Vrms", "dBVpk.", "dBVrms", "dBRel", "dBVSPL",
                                         "Degrees", "| Z |", "THDVpk", "IMDVpk"}));
    EXPECT_EQ(SpecFFTTypeChoices(), (Items{"Off", "FFT", "XCorr", "XCorr/FFT", "FHT", "FHT/FFT"}));
    EXPECT_EQ(SpecWindowChoices(),
              (Items{"None", "TapRect", "Triangle", "Hanning", "Hamming", "Blackman"}));
    EXPECT_EQ(SpecPlotChoices(), (Items{"Line", "Solid Bar", "Sunk Bar", "Lined Bar", "Multi Bar",
                                        "Lined Multi", "Sunk Multi"}));
    EXPECT_EQ(SpecBlockAverageChoices(), (Items{"1", "2", "4", "8", "16", "32", "64", "128", "256",
                                                "512", "1024", "2048", "4096"}));
    ASSERT_EQ(SpecSmoothingChoices().size(), 33u);
    for (size_t i = 0; i < 33; ++i)
        EXPECT_EQ(SpecSmoothingChoices()[i], std::to_string(i));
}

struct CYAxisCase {
    int type;
    double ref;
    std::string unit;
    bool refsEnabled;
    size_t listSize;
    int defaultScale;
    std::string defaultText;
    double defaultValue;
};

class SpecYAxisTable : public testing::TestWithParam<CYAxisCase> {};

TEST_P(SpecYAxisTable, GivesReferencesUnitsAndScales) {
    const CYAxisCase& c = GetParam();
    const CSpecYAxisType& type = SpecYAxisType(c.type);
    EXPECT_EQ(type.ref, c.ref);
    EXPECT_EQ(type.unit, c.unit);
    EXPECT_EQ(type.refsEnabled, c.refsEnabled);
    EXPECT_EQ(type.defaultScale, c.defaultScale);
    const Items list = MakeSpecYScaleList(c.type);
    ASSERT_EQ(list.size(), c.listSize);
    EXPECT_EQ(list[size_t(c.defaultScale)], c.defaultText);
    EXPECT_DOUBLE_EQ(ParseSpecScaleText(list[size_t(c.defaultScale)]), c.defaultValue);
}

INSTANTIATE_TEST_SUITE_P(
    AllTypes, SpecYAxisTable,
    testing::Values(CYAxisCase{kYVpk, 1000.0, "Hz", true, 22, 17, "500 mVpk/Div", 0.5},
                    CYAxisCase{kYVrms, 1000.0, "Hz", true, 22, 17, "500 mVrms/Div", 0.5},
                    CYAxisCase{kYdBVpk, 1000.0, "Hz", true, 10, 3, " 1.0dBVpk/Div", 1.0},
                    CYAxisCase{kYdBVrms, 1000.0, "Hz", true, 10, 3, " 1.0dBVrms/Div", 1.0},
                    CYAxisCase{kYdBRel, 1000.0, "Hz", true, 10, 3, " 1.0dB/Div", 1.0},
                    CYAxisCase{kYdBVSPL, 1.0, "V", true, 1, 0, "10dBVpkSPL/Div", 10.0},
                    CYAxisCase{kYDegrees, 1.0, "", false, 1, 0, "45\u00B0/Div", 45.0},
                    CYAxisCase{kYImpedance, 10.0, "Ohm", true, 15, 5, " 5.0ohms/Div", 5.0},
                    CYAxisCase{kYTHDVpk, 0.0, "Hz", true, 22, 17, "500 mVpk/Div", 0.5},
                    CYAxisCase{kYIMDVpk, 0.0, "Hz", true, 22, 17, "500 mVpk/Div", 0.5}));

// Every list runs through the 1, 2, 5 steps in order; each text must stand for its step.
struct CStepsCase {
    int type;
    double first; // value of the first entry
    std::string firstText;
    std::string lastText;
};

class SpecScaleLists : public testing::TestWithParam<CStepsCase> {};

TEST_P(SpecScaleLists, RunThroughOneTwoFiveSteps) {
    const CStepsCase& c = GetParam();
    const Items list = MakeSpecYScaleList(c.type);
    EXPECT_EQ(list.front(), c.firstText);
    EXPECT_EQ(list.back(), c.lastText);
    static const double kMantissa[3] = {1.0, 2.0, 5.0};
    for (size_t i = 0; i < list.size(); ++i) {
        const double expected = c.first * kMantissa[i % 3] * std::pow(10.0, double(i / 3));
        EXPECT_NEAR(ParseSpecScaleText(list[i]), expected, expected * 1e-12) << list[i];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, SpecScaleLists,
    testing::Values(CStepsCase{kYVpk, 1e-6, "1 uVpk/Div", "10 Vpk/Div"},
                    CStepsCase{kYVrms, 1e-6, "1 uVrms/Div", "10 Vrms/Div"},
                    CStepsCase{kYdBVpk, 0.1, " 0.1dBVpk/Div", "100.0dBVpk/Div"},
                    CStepsCase{kYdBVrms, 0.1, " 0.1dBVrms/Div", "100.0dBVrms/Div"},
                    CStepsCase{kYdBRel, 0.1, " 0.1dB/Div", "100.0dB/Div"},
                    CStepsCase{kYImpedance, 0.1, " 0.1ohms/Div", "5000.0ohms/Div"}));

struct CScaleTextCase {
    std::string text;
    double value;
};

class SpecScaleText : public testing::TestWithParam<CScaleTextCase> {};

TEST_P(SpecScaleText, TakesTheLeadingNumberInItsUnit) {
    EXPECT_DOUBLE_EQ(ParseSpecScaleText(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, SpecScaleText,
                         testing::Values(CScaleTextCase{"500 mVpk/Div", 0.5},
                                         CScaleTextCase{"2 uVrms/Div", 2e-6},
                                         CScaleTextCase{"10 Vpk/Div", 10.0},
                                         CScaleTextCase{" 2.0dB/Div", 2.0},
                                         CScaleTextCase{"45\u00B0/Div", 45.0},
                                         CScaleTextCase{"1000.0ohms/Div", 1000.0}));

} // namespace
