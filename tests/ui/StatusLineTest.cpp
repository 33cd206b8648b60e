#include "ui/StatusLine.h"

#include "UtcTest.h"

#include <limits>

namespace {

class StatusText : public CUtcTest {};

TEST_F(StatusText, FirstStepOfADefaultProcess) {
    EXPECT_EQ(FormatStatusText("Step: 1 Signal Generator", 1, 1024, 96000.0, kTestTime),
              "Step: 1 Signal Generator Data Type:1 FFT Size:1024 Sample Rate: 96000  "
              "22:13:20 14 Nov 23");
}

TEST_F(StatusText, RateIsRoundedAndPaddedToSixCharacters) {
    EXPECT_EQ(FormatStatusText("Step: 3 Spectrum Analyzer", 2, 131072, 44099.6, kTestTime),
              "Step: 3 Spectrum Analyzer Data Type:2 FFT Size:131072 Sample Rate: 44100  "
              "22:13:20 14 Nov 23");
    EXPECT_EQ(FormatStatusText("Step: 1 No Modules Selected", 1, 2, 8000.0, kTestTime),
              "Step: 1 No Modules Selected Data Type:1 FFT Size:2 Sample Rate:  8000  "
              "22:13:20 14 Nov 23");
    // Wider numbers are not cut.
    EXPECT_EQ(FormatStatusText("d", 1, 1024, 1234567.0, kTestTime),
              "d Data Type:1 FFT Size:1024 Sample Rate:1234567  22:13:20 14 Nov 23");
}

TEST_F(StatusText, HugeRateDoesNotOverflow) {
    const std::string text =
        FormatStatusText("d", 1, 1024, std::numeric_limits<double>::max(), kTestTime);
    EXPECT_EQ(text.rfind("  22:13:20 14 Nov 23"), text.size() - 20);
    // DBL_MAX has 309 integer digits.
    EXPECT_EQ(text.size(), std::string("d Data Type:1 FFT Size:1024 Sample Rate:").size() + 309 +
                               std::string("  22:13:20 14 Nov 23").size());
}

class StatusStep : public testing::TestWithParam<std::pair<const char*, int>> {};

TEST_P(StatusStep, NumberAfterTheLabel) {
    EXPECT_EQ(StatusStepFromText(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Cases, StatusStep,
                         testing::Values(std::pair{"Step: 1 Signal Generator Data Type:1", 1},
                                         std::pair{"Step: 6 SoundIO", 6}, std::pair{"Step: 12", 12},
                                         std::pair{"Step: 4Oscilloscope", 4},
                                         std::pair{"xx Step: 3 y", 3}, std::pair{"Step:1 a", 0},
                                         std::pair{"Step:  2 a", 0}, std::pair{"Step: -2 a", 0},
                                         std::pair{"Step: x", 0}, std::pair{"Step: ", 0},
                                         std::pair{"", 0}, std::pair{"step: 2", 0},
                                         std::pair{"Step: 99999999999 a", 0}));

struct CColourCase {
    const char* name;
    int textStep;
    int currentStep;
    bool running;
    bool paused;
    bool custom;
    CColour expected;
};

class StatusColourRule : public testing::TestWithParam<CColourCase> {};

constexpr CColour kRed{255, 0, 0};
constexpr CColour kGreen{0, 255, 0};
constexpr CColour kBlue{0, 0, 204};
constexpr CColour kWindowText{17, 34, 51};

TEST_P(StatusColourRule, Table) {
    const CColourCase& c = GetParam();
    const std::string text =
        c.textStep > 0 ? "Step: " + std::to_string(c.textStep) + " Oscilloscope Data Type:1"
                       : std::string("No step here");
    EXPECT_EQ(StatusColour(text, c.currentStep, c.running, c.paused, c.custom, kWindowText),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StatusColourRule,
    testing::Values(CColourCase{"CurrentRunning", 2, 2, true, false, true, kGreen},
                    CColourCase{"CurrentRunningPlain", 2, 2, true, false, false, kGreen},
                    CColourCase{"CurrentPaused", 2, 2, true, true, true, kRed},
                    CColourCase{"CurrentPausedPlain", 2, 2, true, true, false, kRed},
                    CColourCase{"CurrentIdleCustom", 1, 1, false, false, true, kBlue},
                    CColourCase{"CurrentIdlePlain", 1, 1, false, false, false, kWindowText},
                    CColourCase{"OtherRunningCustom", 1, 2, true, false, true, kBlue},
                    CColourCase{"OtherPausedPlain", 1, 2, true, true, false, kWindowText},
                    // After Stop the current step is one past the last and matches no step.
                    CColourCase{"StoppedPastLast", 3, 4, false, false, true, kBlue},
                    CColourCase{"NoStepInText", 0, 0, true, false, true, kBlue}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
