// The analyser's choice lists, as the control bar shows them and the command line takes them.
#include "modules/spectrum/SpecAxes.h"

#include <gtest/gtest.h>

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
    ASSERT_EQ(SpecBlockAverageChoices().size(), 13u);
    EXPECT_EQ(SpecBlockAverageChoices().back(), "4096");
    ASSERT_EQ(SpecSmoothingChoices().size(), 33u);
    EXPECT_EQ(SpecSmoothingChoices().back(), "32");
}

} // namespace
