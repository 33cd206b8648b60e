// The log apart from any view: a plot's gain and delay stepped to their limits, the refusals
// of the file and clipboard operations with the message the user reads, and a damaged data log
// file that leaves the log as it was.
#include "common/CaseName.h"
#include "common/TempFolder.h"
#include "common/TextFileUtil.h"

#include "modules/logger/DataLog.h"
#include "modules/logger/LoggerAxes.h"
#include "platform/Clipboard.h"

#include <gtest/gtest.h>

namespace {

// A log holding `plots` plots of 2 channels of 64 samples at 6400 Hz.
void Fill(CDataLog& log, int plots) {
    log.Match({2, CDSPData::kTimeBlock, 64, 6400.0, "Step: 2 DataLogger"});
    CDSPFFTDataLogList shape;
    const auto blocks = shape.CreateEx(2, CDSPData::kTimeBlock, 64, 6400.0, "");
    for (int i = 0; i < plots; ++i)
        ASSERT_TRUE(log.Append(*blocks, 1000, 512).ok);
}

struct CStepCase {
    const char* name;
    bool gain, up;
    double start;    // set just inside the limit
    double expected; // after two steps, the second refused
    const char* message;
};
const CStepCase kSteps[] = {
    {"GainDownStopsAtTheLowLimit", true, false, 0.005, 0.00001, "Gain must be greater than 1e-005"},
    {"GainUpStopsAtTheHighLimit", true, true, 9999.995, 10000.0, "Gain must be less than 10000"},
    {"DelayDownStopsAtMinus10ms", false, false, -0.00995, -0.01,
     "Delay must be greater than -0.01 Seconds (-10.87 Feet of Travel Time)"},
    {"DelayUpStopsAtPlus10ms", false, true, 0.00995, 0.01,
     "Delay must be less than 0.01 Seconds (10.87 Feet of Travel Time)"},
};
class DataLogSteps : public testing::TestWithParam<CStepCase> {};

TEST_P(DataLogSteps, StopAtTheLimitWithTheMessage) {
    const CStepCase& c = GetParam();
    CDataLog log;
    Fill(log, 1);
    CDSPFFTDataLogList& list = *log.List();
    c.gain ? list.SetGain(0, -1, c.start) : list.SetDelay(0, -1, c.start);
    const auto step = [&] {
        return c.gain ? log.StepGain(0, -1, c.up) : log.StepDelay(0, -1, c.up);
    };
    EXPECT_EQ(step(), "");
    EXPECT_EQ(step(), c.message);
    EXPECT_NEAR(c.gain ? list.GetGain(0, 1) : list.GetDelay(0, 1), c.expected, 1e-12);
}
INSTANTIATE_TEST_SUITE_P(Limits, DataLogSteps, testing::ValuesIn(kSteps), CaseName());

// The FRD and ZMA refusals of a save and of a copy, which word them apart.
std::string Refusal(const char* format, const char* purpose) {
    char text[512];
    std::snprintf(text, sizeof text, format, purpose);
    return text;
}
constexpr const char* kNotSPL = "Selected axis Y scale must be dBVSPL in order %s\n Right Click "
                                "and select a Marker Yaxis (Marker YAxis1 or Marker YAxis2) whose "
                                "Y scale is dBVSPL";
constexpr const char* kAllChannels = "A single channel must be selected in order %s\n Right "
                                     "Click and select a Channel (Sel Ch1 or Sel Ch2) whose Y "
                                     "scale is dBVSPL";
constexpr const char* kAtOne = "Selected axis reference level must be valid (not equal to 1) in "
                               "order to %s";
constexpr const char* kNoZMA = "YAXIS1 scale must be |Z| with a reference level != 10.\n YAXIS2 "
                               "scale must be Degrees in order to %s";

struct CRefusal {
    const char* name;
    int channel; // -1 for all
    CDataLog::CAxes axes;
    bool zma;
    std::string save, copy;
};
const CDataLog::CAxes kVolts{kLogYVpk, 0.5, {kLogYVpk, kLogYDegrees}, {0.5, 1.0}, {}};
const CDataLog::CAxes kSPL{kLogYdBVSPL, 0.5, {kLogYdBVSPL, kLogYDegrees}, {0.5, 1.0}, {}};
const CDataLog::CAxes kSPLAt1{kLogYdBVSPL, 1.0, {kLogYdBVSPL, kLogYDegrees}, {1.0, 1.0}, {}};
const CDataLog::CAxes kZAt10{kLogYImpedance, 10.0, {kLogYImpedance, kLogYDegrees}, {10, 1}, {}};
const CRefusal kRefusals[] = {
    {"FRDOfVolts", 0, kVolts, false, Refusal(kNotSPL, "to save to *.FRD file"),
     Refusal(kNotSPL, " to copy in FRD format")},
    {"FRDOfBothChannels", -1, kSPL, false, Refusal(kAllChannels, "to save to *.FRD file"),
     Refusal(kAllChannels, "t to copy in FRD format")},
    {"FRDAtReference1", 0, kSPLAt1, false, Refusal(kAtOne, "save to *.FRD file"),
     Refusal(kAtOne, "copy in FRD format")},
    {"ZMAAtReference10", 0, kZAt10, true, Refusal(kNoZMA, "save to *.ZMA file"),
     Refusal(kNoZMA, "copy in ZMA format")},
};
class DataLogRefusals : public testing::TestWithParam<CRefusal> {};

TEST_P(DataLogRefusals, NameTheReasonAndWriteNothing) {
    const CRefusal& c = GetParam();
    CTempFolder folder;
    CDataLog log;
    Fill(log, 1);
    CMemoryClipboard clipboard;
    EXPECT_EQ(log.SavePlot(0, c.channel, folder.File("p"), c.zma ? 2 : 1, c.axes), c.save);
    EXPECT_EQ(c.zma ? log.CopyZMA(0, c.axes, &clipboard)
                    : log.CopyFRD(0, c.channel, c.axes, &clipboard),
              c.copy);
    EXPECT_EQ(clipboard.GetText(), std::nullopt);
    EXPECT_TRUE(folder.Entries().empty());
}
INSTANTIATE_TEST_SUITE_P(Formats, DataLogRefusals, testing::ValuesIn(kRefusals), CaseName());

TEST(DataLogRefusals, OfAMissingPlotSumOrMergeChangeNothing) {
    CDataLog log;
    Fill(log, 1);
    CMemoryClipboard clipboard;
    EXPECT_EQ(log.ClipPlot(3, 0, true, &clipboard).message,
              "Plot Selection: 4\r\nHas No Plot Data Available To Cut To Clipboard");
    EXPECT_EQ(log.ClipCombined(CDataLog::kModeSum, 1e3, -1, true, &clipboard).message,
              "No Sum Data Available To Cut To Clipboard");
    EXPECT_EQ(log.ClipCombined(CDataLog::kModeMerge, 1e3, 0, false, &clipboard).message,
              "No Merged Data Available To Copy To Clipboard");
    EXPECT_EQ(log.List()->GetCount(), 1);
    EXPECT_EQ(clipboard.GetText(), std::nullopt);
    log.Clear();
    EXPECT_EQ(log.SaveDataLog("p.dlg"), "No plots to save");
}

// A damaged data log file leaves the log and its title as they were and says where it is
// damaged.
TEST(DataLogFiles, AFailedOpenKeepsTheLogAndItsTitle) {
    CTempFolder folder;
    CDataLog log;
    Fill(log, 3);
    ASSERT_EQ(log.SaveDataLog(folder.File("three.dlg")), "");
    const std::string whole = GetFile(folder.File("three.dlg"));
    PutFile(folder.File("cut.dlg"), whole.substr(0, whole.size() / 2));
    log.Remove(0);
    log.SetTitle("Mine");
    EXPECT_TRUE(
        log.OpenDataLog(folder.File("cut.dlg")).starts_with("Unable to open file.\r\nPlot 2 of 3"));
    EXPECT_EQ(log.List()->GetCount(), 2);
    EXPECT_EQ(log.Title(), "Mine");
}

} // namespace
