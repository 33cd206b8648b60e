// The envelope grammar's refusals with their line numbers, the binning of frequencies, and the
// loading of response file lines with their magnitudes shown in dB.
#include "formats/EnvelopeText.h"

#include <gtest/gtest.h>

namespace {

// 48000 samples per second, an FFT of 1024: bins of 46.875 Hz up to bin 512 (24000 Hz).
const EnvelopeText::CBinning kBinning{48000.0, 48000.0 / 1024, 512};

// Each text and the message of its first faulty line (none when it parses).
const std::pair<std::string, std::string> kParseCases[] = {
    {"1000, -6, 0", "No Filter Characteristics In Edit Control"},
    {"1000, -6, 0\r\n2000, -3, 0", ""},
    {";title\r\n*note Hz\r\n1000 -6 0", ""},
    {"0, 0, 0\r\n1000 Hz -6 0", "Non Numeric Value In Frequency Element On Line: 2"},
    {"0, 0, 0\n\n1000\t-6", "Non Numeric Value In Frequency Element On Line: 3"},
    {"0,0,0\r\n24000.1,0,0",
     "Frequency Element out of Response Range On Line 2\r\n0 Hz < Frequency Element < Sample Rate "
     "/ 2"},
    {"-1,0,0\r\n", "Frequency Element out of Response Range On Line 1\r\n0 Hz < "
                   "Frequency Element < Sample Rate / 2"},
    {"0,0,0\r\n24000,0,0", ""},
    {"0, 999.98, 0\r\n10, -1000, 0", "-999.99 dB > Amplitude Element > +999.99 dB On Line: 2"},
    // Without a separator the element repeats the frequency: 5000 dB is out of range.
    {"0,0,0\r\n5000", "-999.99 dB > Amplitude Element > +999.99 dB On Line: 2"},
    {"0 0 99999.99\r\n10 0 -100000", "-99999.99 > Phase Element > +99999.99 On Line: 2"},
};

TEST(EnvelopeParse, GivesTheMessageOfTheFirstFaultyLine) {
    for (const auto& [text, message] : kParseCases) {
        EnvelopeText::CBinSums sums;
        EXPECT_EQ(EnvelopeText::Parse(text, kBinning, sums), message) << text;
    }
}

TEST(EnvelopeParse, SumsEveryPointIntoItsBinAndIgnoresBinsBeyondTheLast) {
    const double w = kBinning.binWidth;
    // Bin 1 takes everything above 0 below 1.5 bins; bin k the half-open interval around k w.
    for (const auto& [frequency, bin] : std::vector<std::pair<double, int>>{{0.0, 0},
                                                                            {1e-9, 1},
                                                                            {1.49 * w, 1},
                                                                            {1.5 * w, 2},
                                                                            {2.49 * w, 2},
                                                                            {2.5 * w, 3},
                                                                            {24000.0, 512},
                                                                            {511.5 * w, 512}})
        EXPECT_EQ(EnvelopeText::BinOf(frequency, kBinning), bin) << frequency;
    EXPECT_EQ(EnvelopeText::BinOf(24000.0, {48000.0, 48000.0 / 2048, 512}), -1);

    EnvelopeText::CBinSums sums;
    ASSERT_EQ(EnvelopeText::Parse("1000, -6, 10\r\n1005,-12,20\r\n\r\n0 3", kBinning, sums), "");
    EXPECT_EQ(sums.dbSum[21], -18.0);
    EXPECT_EQ(sums.dbCount[21], 2.0);
    EXPECT_EQ(sums.phaseSum[21], 30.0);
    EXPECT_EQ(sums.dbSum[0], 3.0); // "0 3": the phase repeats the amplitude
    EXPECT_EQ(sums.phaseSum[0], 3.0);
}

// "\r\n" written through a text-mode stream is CR CR LF on disk; such a text parses as the same
// points, its line numbers unchanged.
TEST(EnvelopeFile, CrCrLfLinesReadAsTheirText) {
    bool tooLong = true;
    EXPECT_EQ(EnvelopeText::FromFile(";t\r\r\n0 0 0\r\r\n\r\r\n10 -6 0\r\r\n", false, tooLong),
              ";t\r\n0 0 0\r\n\r\n10 -6 0\r\n");
    EnvelopeText::CBinSums sums;
    EXPECT_EQ(EnvelopeText::Parse("0 0 0\r\r\n1000 -6 0\r\r\n1000 Hz\r\r\n", kBinning, sums),
              "Non Numeric Value In Frequency Element On Line: 3");
    ASSERT_EQ(EnvelopeText::Parse("0 0 0\r\r\n1000 -6 0\r\r\n", kBinning, sums), "");
    EXPECT_EQ(sums.dbSum[21], -6.0);
}

TEST(EnvelopeFile, ResponseMagnitudesBecomeDecibelsInPlaceAndLongLinesAreCut) {
    bool tooLong = true;
    const std::string rsp = "+1.0000000e+003, +1.0000000e-001, +4.5000000e+001\r\n"
                            ";comment, 0.5, 1\n"
                            "\n"
                            "+2.0000000e+003, +0.0000000e+000, +0.0000000e+000";
    EXPECT_EQ(EnvelopeText::FromFile(rsp, true, tooLong),
              "+1.0000000e+003, -2.0000000E+001, +4.5000000e+001\r\n"
              ";comment, 0.5, 1\r\n"
              "\r\n"
              "+2.0000000e+003, -6.1530531E+003, +0.0000000e+000\r\n");
    EXPECT_FALSE(tooLong);
    // A filter file keeps its numbers; a line of 120 characters becomes lines of 99 and 21.
    const std::string line(120, '1');
    EXPECT_EQ(EnvelopeText::FromFile("1, 0.5, 0\n" + line, false, tooLong),
              "1, 0.5, 0\r\n" + line.substr(0, 99) + "\r\n" + line.substr(99) + "\r\n");
    EXPECT_TRUE(tooLong);
}

} // namespace
