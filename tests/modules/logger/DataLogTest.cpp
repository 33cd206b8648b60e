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

enum class EOp { SaveFRD, CopyFRD, SaveZMA, CopyZMA, SaveLog, Cut, CutSum, CopyMerge };
struct CRefusal {
    const char* name;
    EOp op;
    int plots;   // in the log
    int channel; // -1 for all
    CDataLog::CAxes axes;
    std::string message;
};
const CDataLog::CAxes kVolts{kLogYVpk, 0.5, {kLogYVpk, kLogYDegrees}, {0.5, 1.0}, {}};
const CDataLog::CAxes kSPL{kLogYdBVSPL, 0.5, {kLogYdBVSPL, kLogYDegrees}, {0.5, 1.0}, {}};
const CDataLog::CAxes kSPLAt1{kLogYdBVSPL, 1.0, {kLogYdBVSPL, kLogYDegrees}, {1.0, 1.0}, {}};
const CDataLog::CAxes kZAt10{kLogYImpedance, 10.0, {kLogYImpedance, kLogYDegrees}, {10, 1}, {}};
const CRefusal kRefusals[] = {
    {"SaveFRDOfVolts", EOp::SaveFRD, 1, 0, kVolts, Refusal(kNotSPL, "to save to *.FRD file")},
    {"CopyFRDOfVolts", EOp::CopyFRD, 1, 0, kVolts, Refusal(kNotSPL, " to copy in FRD format")},
    {"SaveFRDOfAll", EOp::SaveFRD, 1, -1, kSPL, Refusal(kAllChannels, "to save to *.FRD file")},
    {"CopyFRDOfAll", EOp::CopyFRD, 1, -1, kSPL, Refusal(kAllChannels, "t to copy in FRD format")},
    {"SaveFRDAt1", EOp::SaveFRD, 1, 0, kSPLAt1, Refusal(kAtOne, "save to *.FRD file")},
    {"CopyFRDAt1", EOp::CopyFRD, 1, 0, kSPLAt1, Refusal(kAtOne, "copy in FRD format")},
    {"SaveZMAAt10", EOp::SaveZMA, 1, 0, kZAt10, Refusal(kNoZMA, "save to *.ZMA file")},
    {"CopyZMAAt10", EOp::CopyZMA, 1, 0, kZAt10, Refusal(kNoZMA, "copy in ZMA format")},
    {"SaveNoPlot", EOp::SaveLog, 0, 0, {}, "No plots to save"},
    {"CutOfAPlotNotLogged",
     EOp::Cut,
     1,
     0,
     {},
     "Plot Selection: 4\r\nHas No Plot Data Available To Cut To Clipboard"},
    {"CutOfNoSum", EOp::CutSum, 1, -1, {}, "No Sum Data Available To Cut To Clipboard"},
    {"CopyOfNoMerge", EOp::CopyMerge, 1, 0, {}, "No Merged Data Available To Copy To Clipboard"},
};
class DataLogRefusals : public testing::TestWithParam<CRefusal> {};

TEST_P(DataLogRefusals, NameTheReasonAndChangeNothing) {
    const CRefusal& c = GetParam();
    CTempFolder folder;
    CDataLog log;
    Fill(log, c.plots);
    CMemoryClipboard clipboard;
    clipboard.SetText("before");
    const auto act = [&]() -> std::string {
        switch (c.op) {
        case EOp::SaveFRD:
            return log.SavePlot(0, c.channel, folder.File("p.frd"), 1, c.axes);
        case EOp::CopyFRD:
            return log.CopyFRD(0, c.channel, c.axes, &clipboard);
        case EOp::SaveZMA:
            return log.SavePlot(0, c.channel, folder.File("p.zma"), 2, c.axes);
        case EOp::CopyZMA:
            return log.CopyZMA(0, c.axes, &clipboard);
        case EOp::SaveLog:
            return log.SaveDataLog(folder.File("p.dlg"));
        case EOp::Cut:
            return log.ClipPlot(3, c.channel, true, &clipboard).message;
        case EOp::CutSum:
            return log.ClipCombined(CDataLog::kModeSum, 1e3, c.channel, true, &clipboard).message;
        case EOp::CopyMerge:
            return log.ClipCombined(CDataLog::kModeMerge, 1e3, c.channel, false, &clipboard)
                .message;
        }
        return "no operation";
    };
    EXPECT_EQ(act(), c.message);
    EXPECT_EQ(log.List()->GetCount(), c.plots);
    EXPECT_EQ(clipboard.GetText(), "before");
    EXPECT_TRUE(folder.Entries().empty());
}
INSTANTIATE_TEST_SUITE_P(Operations, DataLogRefusals, testing::ValuesIn(kRefusals), CaseName());

// A damaged data log file leaves the log and its title as they were and says where it is
// damaged; a whole one replaces both.
TEST(DataLogFiles, AFailedOpenKeepsTheLogAndItsTitle) {
    CTempFolder folder;
    CDataLog log;
    Fill(log, 3);
    log.SetTitle("Three");
    ASSERT_EQ(log.SaveDataLog(folder.File("three.dlg")), "");
    const std::string whole = GetFile(folder.File("three.dlg"));
    PutFile(folder.File("cut.dlg"), whole.substr(0, whole.size() / 2));
    log.Clear();
    Fill(log, 1);
    EXPECT_TRUE(
        log.OpenDataLog(folder.File("cut.dlg")).starts_with("Unable to open file.\r\nPlot 2 of 3"));
    EXPECT_EQ(log.List()->GetCount(), 1);
    EXPECT_EQ(log.Title(), " ");
    EXPECT_EQ(log.OpenDataLog(folder.File("three.dlg")), "");
    EXPECT_EQ(log.List()->GetCount(), 3);
    EXPECT_EQ(log.Title(), "Three");
}

} // namespace
