// The data logger's part of a process file, laid out field by field from the stored layout (not
// by our writer): the view's record, then the logger's class record and its sixteen settings,
// each whole-number field with a value no other one holds, so that two fields read or written in
// each other's place change what is read or written.
// Read in both layouts to the right values and written back byte for byte; damaged values and
// short records are refused and change nothing.
#include "common/ArchiveBytes.h"
#include "common/CaseName.h"
#include "common/HexBytes.h"

#include "base/Archive.h"
#include "modules/logger/DataLoggerView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace {

struct CLoggerRecord {
    int32_t channel = 2;       // selected channel: "Sel Ch2"
    int32_t xAxis = 7;         // "F2 Lin"
    int32_t timeIndex = 12;    // "10 mS/Div" (1, 2, 5 steps from "1 uS/Div")
    int32_t startPosition = 3; // of the 33 frequency labels
    int32_t horizontal = 40;
    int32_t stopPosition = 20;
    double startBin = 48.0; // 3 x 1024 / 64
    double stopBin = 320.0; // 20 x 1024 / 64
    int32_t y1Type = 8;     // "| Z |"
    int32_t y1Scale = 6;
    double y1Ref = 8.25;
    int32_t y2Type = 5; // "dBRel"
    int32_t y2Scale = 2;
    double y2Ref = 500.0;
    int32_t plot = 4; // "Plot5"
    int32_t mode = 1; // "Sum"
    double mergeFrequency = 2000.5;
};

// "Process0" carries the view's and the logger's class records; the older "Process" neither.
CArchiveBytes Layout(const CLoggerRecord& r, bool legacy) {
    CArchiveBytes b;
    if (!legacy) b.NewClass("CDspView");
    b.I32(r.channel);
    if (!legacy) b.NewClass("CDataLoggerView");
    b.I32(r.xAxis).I32(r.timeIndex).I32(r.startPosition).I32(r.horizontal).I32(r.stopPosition);
    b.F64(r.startBin).F64(r.stopBin);
    b.I32(r.y1Type).I32(r.y1Scale).F64(r.y1Ref);
    b.I32(r.y2Type).I32(r.y2Scale).F64(r.y2Ref);
    b.I32(r.plot).I32(r.mode).F64(r.mergeFrequency);
    return b;
}

// The logger's own settings (a failed read discards the whole process, so the view's channel,
// read first, does not matter then).
std::map<std::string, std::string> Settings(const CDataLoggerView& view) {
    std::map<std::string, std::string> settings;
    for (const CSettingValue& s : view.GetSettings())
        if (!s.id.empty() && s.id != "channel") settings[s.id] = s.value;
    return settings;
}

class DataLoggerArchiveLayout : public testing::TestWithParam<bool> {};

TEST_P(DataLoggerArchiveLayout, ReadsEveryFieldAndWritesThemBack) {
    const bool legacy = GetParam();
    const std::vector<uint8_t> bytes = Layout({}, legacy);
    CArchive in(bytes);
    in.SetLegacy(legacy);
    CDataLoggerView view;
    view.Serialize(in);
    ASSERT_TRUE(in.Ok()) << in.GetError();
    EXPECT_EQ(in.Remaining(), 0u);

    EXPECT_EQ(view.GetSelectedChannel(), 2);
    EXPECT_EQ(view.GetXAxisType(), 7);
    EXPECT_EQ(view.GetStartBin(), 48.0);
    EXPECT_EQ(view.GetStopBin(), 320.0);
    EXPECT_EQ(view.GetSelectedPlot(), 4);
    EXPECT_EQ(view.GetMergeFrequency(), 2000.5);
    EXPECT_EQ(view.GetRecord(0).yCode, 8);
    EXPECT_EQ(view.GetRecord(1).yCode, 5);
    const auto s = Settings(view);
    EXPECT_EQ(s.at("xaxis"), "F2 Lin");
    EXPECT_EQ(s.at("tdiv"), "10 mS/Div");
    EXPECT_EQ(s.at("startpos"), "3");
    EXPECT_EQ(s.at("hpos"), "40");
    EXPECT_EQ(s.at("stoppos"), "20");
    EXPECT_EQ(s.at("y1axis"), "| Z |");
    EXPECT_EQ(s.at("y1scaleindex"), "6");
    EXPECT_EQ(s.at("y1ref"), "8.25");
    EXPECT_EQ(s.at("y2axis"), "dBRel");
    EXPECT_EQ(s.at("y2scaleindex"), "2");
    EXPECT_EQ(s.at("y2ref"), "500");
    EXPECT_EQ(s.at("plot"), "Plot5");
    EXPECT_EQ(s.at("displaymode"), "Sum");
    EXPECT_EQ(s.at("mergefreq"), "2000.5");

    CArchive out;
    out.SetLegacy(legacy);
    view.Serialize(out);
    EXPECT_EQ(HexText(out.GetBuffer()), HexText(bytes));
}

INSTANTIATE_TEST_SUITE_P(Layouts, DataLoggerArchiveLayout, testing::Bool(),
                         [](const auto& info) { return info.param ? "Legacy" : "Current"; });

TEST(DataLoggerArchive, AFreshLoggerWritesItsDefaults) {
    CLoggerRecord defaults;
    defaults.channel = 0;
    defaults.xAxis = 2;
    defaults.timeIndex = 9;
    defaults.startPosition = 0;
    defaults.horizontal = 50;
    defaults.stopPosition = 32;
    defaults.startBin = 1.0;
    defaults.stopBin = 33.0;
    defaults.y1Type = 1;
    defaults.y1Scale = 17;
    defaults.y1Ref = 1.0;
    defaults.y2Type = 7;
    defaults.y2Scale = 0;
    defaults.y2Ref = 1.0;
    defaults.plot = 0;
    defaults.mode = 0;
    defaults.mergeFrequency = 1000.0;
    CDataLoggerView view;
    CArchive out;
    view.Serialize(out);
    EXPECT_EQ(HexText(out.GetBuffer()), HexText(Layout(defaults, false)));
}

// The bar shows what was read at once: on a time axis the start and stop controls are the time
// per division and the position, labelled so.
TEST(DataLoggerArchive, TheBarShowsTheSettingsRead) {
    CLoggerRecord record;
    record.xAxis = 1; // "T2Lin"
    CArchive in(Layout(record, false));
    CDataLoggerView view;
    view.Serialize(in);
    ASSERT_TRUE(in.Ok()) << in.GetError();
    const CControlModel& bar = view.GetControls();
    const auto shown = [&](const char* id) {
        const int i = bar.Find(id);
        return bar.GetControl(size_t(i)).label + bar.GetState(size_t(i)).text;
    };
    EXPECT_EQ(shown("xaxis"), "Sel:T2Lin");
    EXPECT_EQ(shown("start"), "T/Div:10 mS/Div");
    EXPECT_EQ(shown("stop"), "Pos:40");
    EXPECT_EQ(shown("y1axis"), "Sel:| Z |");
    EXPECT_EQ(shown("y2ref"), "Ref:500");
    EXPECT_EQ(shown("plot"), "Sel:Plot5");
    EXPECT_EQ(shown("mergefreq"), "Merge Hz:2000.5");
}

struct CDamage {
    const char* name;
    void (*damage)(CLoggerRecord&);
    const char* message;
};

const CDamage kDamage[] = {
    {"XAxis12", [](CLoggerRecord& r) { r.xAxis = 12; }, "Data logger X axis type out of range"},
    {"TimeIndex19", [](CLoggerRecord& r) { r.timeIndex = 19; },
     "Data logger time/div index out of range"},
    {"StartNotBelowStop", [](CLoggerRecord& r) { r.startPosition = 20; },
     "Data logger start position is not below stop"},
    {"YType9", [](CLoggerRecord& r) { r.y2Type = 9; }, "Data logger Y axis type out of range"},
    {"Plot7", [](CLoggerRecord& r) { r.plot = 6; }, "Data logger plot selection out of range"},
    {"Mode3", [](CLoggerRecord& r) { r.mode = 3; }, "Data logger display mode out of range"},
    {"MergeFrequencyNaN", [](CLoggerRecord& r) { r.mergeFrequency = NAN; },
     "Data logger merge frequency is not a number"},
    {"InfiniteRef", [](CLoggerRecord& r) { r.y1Ref = INFINITY; },
     "Data logger reference is not a number"},
};

class DataLoggerArchiveDamage : public testing::TestWithParam<CDamage> {};

TEST_P(DataLoggerArchiveDamage, IsRefusedAndKeepsTheSettings) {
    CLoggerRecord record;
    GetParam().damage(record);
    CArchive in(Layout(record, false));
    CDataLoggerView view;
    const auto before = Settings(view);
    view.Serialize(in);
    EXPECT_FALSE(in.Ok());
    EXPECT_EQ(in.GetError(), GetParam().message);
    EXPECT_EQ(Settings(view), before);
}

INSTANTIATE_TEST_SUITE_P(Fields, DataLoggerArchiveDamage, testing::ValuesIn(kDamage), CaseName());

TEST(DataLoggerArchive, AShortRecordIsRefusedAndChangesNothing) {
    const std::vector<uint8_t> whole = Layout({}, false);
    for (const size_t cut : {size_t(1), size_t(8), whole.size() - 40}) {
        CArchive in(std::vector<uint8_t>(whole.begin(), whole.end() - long(cut)));
        CDataLoggerView view;
        const auto before = Settings(view);
        view.Serialize(in);
        EXPECT_FALSE(in.Ok()) << cut;
        EXPECT_EQ(Settings(view), before) << cut;
    }
}

} // namespace
