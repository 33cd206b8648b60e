#include "ui/StatusLine.h"

#include "UtcTest.h"

namespace {

class StatusText : public CUtcTest {};

// The rate is rounded and padded to six characters; wider numbers are not cut.
TEST_F(StatusText, NamesTheStepDataTypeSizeRateAndTime) {
    EXPECT_EQ(FormatStatusText("Step: 3 Spectrum Analyzer", 2, 131072, 44099.6, kTestTime),
              "Step: 3 Spectrum Analyzer Data Type:2 FFT Size:131072 Sample Rate: 44100  "
              "22:13:20 14 Nov 23");
    EXPECT_EQ(FormatStatusText("Step: 1 No Modules Selected", 1, 2, 8000.0, kTestTime),
              "Step: 1 No Modules Selected Data Type:1 FFT Size:2 Sample Rate:  8000  "
              "22:13:20 14 Nov 23");
    EXPECT_EQ(FormatStatusText("d", 1, 1024, 1234567.0, kTestTime),
              "d Data Type:1 FFT Size:1024 Sample Rate:1234567  22:13:20 14 Nov 23");
}

TEST(StatusStep, IsTheNumberAfterTheLabel) {
    const std::pair<const char*, int> cases[] = {{"Step: 1 Signal Generator Data Type:1", 1},
                                                 {"Step: 12", 12},
                                                 {"Step: 4Oscilloscope", 4},
                                                 {"xx Step: 3 y", 3},
                                                 {"Step:1 a", 0},
                                                 {"Step:  2 a", 0},
                                                 {"Step: -2 a", 0},
                                                 {"Step: x", 0},
                                                 {"", 0},
                                                 {"step: 2", 0},
                                                 {"Step: 99999999999 a", 0}};
    for (const auto& [text, step] : cases)
        EXPECT_EQ(StatusStepFromText(text), step) << text;
}

// After Stop the current step is one past the last and matches no step.
TEST(StatusColourRule, GreenRunningRedPausedOnTheCurrentStepElseBlueOrTheText) {
    constexpr CColour kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 204}, kText{17, 34, 51};
    struct CColourCase {
        int textStep, currentStep;
        bool running, paused, custom;
        CColour expected;
    };
    const CColourCase cases[] = {
        {2, 2, true, false, false, kGreen}, {2, 2, true, true, true, kRed},
        {1, 1, false, false, false, kText}, {1, 2, true, false, true, kBlue},
        {3, 4, false, false, true, kBlue},  {0, 0, true, false, true, kBlue}};
    for (const CColourCase& c : cases) {
        const std::string text =
            c.textStep > 0 ? "Step: " + std::to_string(c.textStep) + " Oscilloscope Data Type:1"
                           : std::string("No step here");
        EXPECT_EQ(StatusColour(text, c.currentStep, c.running, c.paused, c.custom, kText),
                  c.expected)
            << text << " at " << c.currentStep << (c.running ? " running" : "")
            << (c.paused ? " paused" : "") << (c.custom ? " custom" : "");
    }
}

} // namespace
