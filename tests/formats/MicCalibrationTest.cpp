// Microphone calibration files: the lines microphones ship with, the curve between and beyond
// its points, and every bad file refused with its line named and the previous curve kept.

#include "formats/MicCalibration.h"

#include "common/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

namespace {

TEST(MicCalibration, ReadsTheShippedLayoutAndInterpolatesOnALogAxis) {
    const std::string text = "\"Sens Factor =-1.378dB, SERNO: 7001234\"\r\n"
                             "* measured 2024\r\n"
                             "\r\n"
                             "# freq dB phase\r\n"
                             "100\t0\t12.5\r\n"
                             "1000, 3.0, 0\r\n"
                             "  10000  -1 \r\n";
    CMicCalibration curve;
    std::string message;
    ASSERT_TRUE(ParseMicCalibration(text, "mic.txt", curve, message)) << message;
    EXPECT_TRUE(curve.hasSensitivity);
    EXPECT_DOUBLE_EQ(curve.sensitivity, -1.378);
    EXPECT_EQ(curve.frequencies, (std::vector<double>{100, 1000, 10000}));
    EXPECT_EQ(curve.decibels, (std::vector<double>{0, 3, -1}));
    // Halfway between 100 Hz and 1 kHz on a log axis is 316.23 Hz; outside, the ends hold.
    EXPECT_NEAR(curve.At(std::sqrt(100.0 * 1000.0)), 1.5, 1e-12);
    EXPECT_NEAR(curve.At(1000.0 * std::pow(10.0, 0.25)), 2.0, 1e-12);
    EXPECT_DOUBLE_EQ(curve.At(1000.0), 3.0);
    EXPECT_DOUBLE_EQ(curve.At(5.0), 0.0);
    EXPECT_DOUBLE_EQ(curve.At(40000.0), -1.0);
    EXPECT_DOUBLE_EQ(CMicCalibration{}.At(1000.0), 0.0);

    CMicCalibration again;
    ASSERT_TRUE(ParseMicCalibration(MicCalibrationText(curve), "copy", again, message));
    EXPECT_EQ(again, curve);
}

// Every bad file is refused naming its line, and the curve before it stays.
TEST(MicCalibration, RefusesNamingTheLineAndKeepingThePreviousCurve) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "mic.txt: no frequency and level lines"},
        {"* only a comment\n\n", "mic.txt: no frequency and level lines"},
        {"100 1\nfreq level\n", "mic.txt line 2: \"freq level\" is not a frequency and a level"},
        {"100\n", "mic.txt line 1: \"100\" is not a frequency and a level"},
        {"100 1x\n", "mic.txt line 1: \"100 1x\" is not a frequency and a level"},
        {"0 1\n", "mic.txt line 1: frequency 0 Hz is not positive"},
        {"-20 1\n", "mic.txt line 1: frequency -20 Hz is not positive"},
        {"20 0\n100 61\n", "mic.txt line 2: 61 dB is beyond the +-60 dB a microphone deviates"},
        {"20 0\n1000 1\n500 2\n", "mic.txt line 3: frequencies must rise (500 Hz after 1000 Hz)"},
        {"20 0\n\n1000 1\n1000 2\n",
         "mic.txt line 4: frequencies must rise (1000 Hz after 1000 Hz)"},
        {"\"Sens Factor =abc dB\"\n20 0\n",
         "mic.txt line 1: the sensitivity factor is not a level in dB"},
        {std::string(kMaxMicCalibrationBytes + 1, '1'),
         "mic.txt: 1048577 bytes is too long for a microphone calibration file"}};
    for (const auto& [text, expected] : cases) {
        CMicCalibration curve;
        curve.frequencies = {20, 20000};
        curve.decibels = {1, 2};
        const CMicCalibration before = curve;
        std::string message;
        EXPECT_FALSE(ParseMicCalibration(text, "mic.txt", curve, message));
        EXPECT_EQ(message, expected);
        EXPECT_EQ(curve, before);
    }
}

TEST(MicCalibration, LoadsAFileAndRefusesATenMegabyteOne) {
    CTempFolder folder;
    const std::string good = folder.File("mic.txt"), huge = folder.File("huge.txt");
    std::ofstream(good) << "20 -0.5\n1000 0\n20000 2.5\n";
    std::ofstream(huge) << std::string(10 << 20, '\n');
    CMicCalibration curve;
    std::string message;
    ASSERT_TRUE(LoadMicCalibration(good, curve, message)) << message;
    EXPECT_EQ(curve.decibels, (std::vector<double>{-0.5, 0, 2.5}));
    EXPECT_FALSE(LoadMicCalibration(huge, curve, message));
    EXPECT_NE(message.find(huge), std::string::npos) << message;
    EXPECT_FALSE(LoadMicCalibration(folder.File("absent.txt"), curve, message));
    EXPECT_NE(message.find("absent.txt"), std::string::npos) << message;
    EXPECT_EQ(curve.decibels, (std::vector<double>{-0.5, 0, 2.5}));
}

} // namespace
