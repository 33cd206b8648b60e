// The SoundIO step's part of a process file against bytes built by hand from its layout, in both
// layouts: the step's settings, the response's shape, the calibration record (texts, ints and
// doubles in field order, the frequency type after the latency fields) and the response list as
// an archived object. Each record gives its fields values of their own (two records between
// them separate the three on/off fields), so a reader that swapped two fields reads a wrong
// value, and a writer that swapped them writes other bytes. The older layout's trigger field
// is a latency flag: it is read as the trigger mode it stands for, and written as that mode.
#include "common/ModuleProcess.h"
#include "soundio/SoundIOView.h"
#include "base/Archive.h"
#include "common/ArchiveBytes.h"
#include "common/CaseName.h"
#include "common/HexBytes.h"
#include "platform/SampleRates.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 4;
constexpr int kProcessRate = 48000;

/** A card of eight devices of each kind, so that every stored device index names a device. */
class CListedCard final : public IAudioSystem {
public:
    std::vector<CAudioDeviceInfo> GetInputDevices() const override { return Named("In"); }
    std::vector<CAudioDeviceInfo> GetOutputDevices() const override { return Named("Out"); }
    std::vector<CAudioDeviceInfo> GetMixerDevices() const override { return Named("Mixer"); }
    int QueryFormat(bool, int, const CWaveFormat& format) const override {
        return IsStandardWaveFormat(format) ? kAudioOk : kWaveBadFormat;
    }
    int Open(bool, int, const CWaveFormat&, IWaveClient*, CEventPump&,
             std::unique_ptr<IWaveDevice>&) override {
        return kAudioBadDeviceId;
    }
    std::string GetErrorText(bool, int) const override { return {}; }
    std::string GetMixerSourceName(int) const override { return {}; }
    std::string GetMixerDestinationName(int) const override { return {}; }
    int GetMixerInputLevel(int) const override { return 0; }

private:
    static std::vector<CAudioDeviceInfo> Named(const std::string& kind) {
        std::vector<CAudioDeviceInfo> devices;
        for (int i = 1; i <= 8; ++i)
            devices.push_back({kind + " " + std::to_string(i), ""});
        return devices;
    }
};

/** The step's own fields in stored order, and what the step lists for them once read. */
struct CStepRecord {
    const char* name;
    int32_t in, out, mixer;
    int32_t trigger; // the trigger mode; in the older layout `latencyFlag` takes its place
    int32_t latencyFlag;
    int32_t level, offset;
    const char *directory, *executable, *windowClass;
    int32_t repeat, warnings, mode, rate, resolution, channels;
    double sampleRate; // of the rate index: the calibrated response is recorded at it
    std::map<std::string, std::string> listed; // `trigger` is the current layout's
    std::string legacyTrigger;                 // as listed after the older layout
    int32_t legacyMode;                        // written back for the latency flag
};

// clang-format off
const CStepRecord kRecords[] = {
    {"RecordPlayManual", 5, 6, 7, CSoundIOView::kManual, 0, 100, -1000, "/opt/mixer", "mixer-gui",
     "", 4, 1, CSoundIOView::kRecordPlay, 9, 0, 1, 44100.0,
     {{"in", "In 6"}, {"out", "Out 7"}, {"mixer", "Mixer 8"}, {"mode", "Rec./Play"},
      {"trigger", "Manual"}, {"trglev", "100"}, {"offset", "-1000"}, {"repeat", "8"},
      {"rate", "44100"}, {"res", "8"}, {"chan", "2"}, {"warnings", "1"}, {"channel", "2"}},
     "Manual", CSoundIOView::kManual},
    {"PlayLatency", 1, 0, 3, CSoundIOView::kLatency, 5, -100, 1000, "/usr/local/bin", "amixer",
     "amixer-window", 6, 0, CSoundIOView::kPlayOnly, 13, 1, 1, 176400.0,
     {{"in", "In 2"}, {"out", "Out 1"}, {"mixer", "Mixer 4"}, {"mode", "Play"},
      {"trigger", "Latency"}, {"trglev", "-100"}, {"offset", "1000"}, {"repeat", "32"},
      {"rate", "176400"}, {"res", "16"}, {"chan", "2"}, {"warnings", "0"}, {"channel", "2"}},
     "Latency", CSoundIOView::kLatency},
};
// clang-format on

// The response list's values, channel by channel: time, magnitude, phase.
const std::vector<double> kValues[2][3] = {
    {{0.5, -0.25, 0.125, 0.0}, {1.0, 2.0, 3.0, 4.0}, {10.0, -20.0, 30.0, -40.0}},
    {{-0.5, 0.25, 0.0, 0.75}, {5.0, 6.0, 7.0, 8.0}, {-1.0, 1.0, -2.0, 2.0}}};

// The level fields of one channel, each different from the other channel's.
void LevelBytes(CArchiveBytes& b, int c) {
    const std::string ch = "Ch" + std::to_string(c + 1);
    b.Text(c == 0 ? "2.5000 Vpk" : "0.7500 Vrms")
        .I32(47 + c)
        .F64(0.5 + c)
        .I32(11 + c)
        .I32(-21 - c)
        .Text(ch + " level out")
        .Text(ch + " level in")
        .Text(ch + " mixer")
        .Text(ch + " source")
        .I32(49152 + c)
        .Text(ch + " destination")
        .I32(1 - c);
}

/** The step's stored part: view, settings, shape, record and response, with `trigger` in the
 *  trigger field. */
std::vector<uint8_t> StepBytes(const CStepRecord& r, bool legacy, int32_t trigger) {
    CRecordLayout l(legacy);
    CArchiveBytes& b = l.b;
    l.Class("CDspView");
    b.I32(2);
    l.Class("CSoundIOView");
    b.I32(r.in).I32(r.out).I32(r.mixer).I32(trigger).I32(r.level).I32(r.offset);
    b.Text(r.directory).Text(r.executable).Text(r.windowClass);
    b.I32(r.repeat).I32(r.warnings).I32(r.mode).I32(r.rate).I32(r.resolution).I32(r.channels);
    const double rate = r.sampleRate;
    b.I32(2).I32(1).I32(kSize).F64(rate); // the response's shape
    l.Class("CCalibration");
    b.Text("/home/u/thd.process").Text("/home/u/card.calibration").Text("Latency").Text("Vrms");
    LevelBytes(b, 0);
    LevelBytes(b, 1);
    for (int c = 0; c < 2; ++c) {
        const std::string ch = "Ch" + std::to_string(c + 1);
        b.Text(ch + " latency out").Text(ch + " latency in");
        b.Text(c == 0 ? "0.00633333 Sec." : "0.00635417 Sec.").I32(c);
    }
    b.Text("MLS");
    for (int c = 0; c < 2; ++c) {
        const std::string ch = "Ch" + std::to_string(c + 1);
        b.Text(ch + " freq out").Text(ch + " freq in").Text(ch + " MLS 4").I32(1 - c);
    }
    b.Text("an earlier error");
    // The response: a list object with its header, then its blocks as an object list.
    uint16_t listClass = 0, blockClass = 0, dataClass = 0;
    l.Object("CDSPFFTDataList", listClass);
    b.I32(1).I32(kSize).F64(rate).I32(2).U16(2);
    for (int c = 0; c < 2; ++c) {
        l.Object("CDSPFFTData", blockClass);
        b.I32(1).I32(kSize).F64(rate).F64(1.0).F64(0.0);
        for (int a = 0; a < 3; ++a) {
            l.Object("CDSPData", dataClass);
            b.I32(1).I32(kSize).F64(rate);
            for (double v : kValues[c][a])
                b.F64(v);
        }
        b.Text(c == 0 ? "" : "ch2 text");
    }
    return b.Get();
}

void PrintTo(const CStepRecord& r, std::ostream* os) {
    *os << r.name;
}

std::map<std::string, std::string> Listed(const CSoundIOView& step) {
    std::map<std::string, std::string> listed;
    for (const CSettingValue& s : step.GetSettings())
        listed[s.id] = s.value;
    return listed;
}

void ExpectCalibrationRead(const CCalibration& r) {
    using Texts = std::vector<std::string>;
    EXPECT_EQ(
        (Texts{r.ProcessName, r.PathName, r.CalSel, r.MeasSel, r.FreqCalTypeSel, r.ReturnedErrors}),
        (Texts{"/home/u/thd.process", "/home/u/card.calibration", "Latency", "Vrms", "MLS",
               "an earlier error"}));
    for (int c = 0; c < 2; ++c) {
        const std::string ch = "Ch" + std::to_string(c + 1);
        EXPECT_EQ(r.Level[c],
                  (CLevelCal{c == 0 ? "2.5000 Vpk" : "0.7500 Vrms", 47 + c, 0.5 + c, 11 + c,
                             -21 - c, ch + " level out", ch + " level in", ch + " mixer",
                             ch + " source", 49152 + c, ch + " destination", c == 0}))
            << c;
        EXPECT_EQ(r.Latency[c],
                  (CLatencyCal{ch + " latency out", ch + " latency in",
                               c == 0 ? "0.00633333 Sec." : "0.00635417 Sec.", c == 1}))
            << c;
        EXPECT_EQ(r.Freq[c], (CFreqCal{ch + " freq out", ch + " freq in", ch + " MLS 4", c == 0}))
            << c;
    }
    CDSPFFTDataList& response = *r.GetFrequencyResponse();
    ASSERT_EQ(response.GetNumChans(), 2);
    for (int c = 0; c < 2; ++c) {
        const double* arrays[3] = {response.GetTimeData(c), response.GetFreqData(c),
                                   response.GetPhaseData(c)};
        for (int a = 0; a < 3; ++a)
            EXPECT_EQ(std::vector<double>(arrays[a], arrays[a] + kSize), kValues[c][a]) << c << a;
    }
}

class SoundIOArchive : public testing::Test {
protected:
    void SetUp() override {
        t.UseCard(&card);
        doc = t.Create({"SoundIO"}, kSize, kProcessRate);
        ASSERT_NE(doc, nullptr);
    }
    CSoundIOView& Step() { return t.Step<CSoundIOView>(1); }

    CListedCard card; // outlives the application that uses it
    CModuleProcess t;
    CDspDoc* doc = nullptr;
};

class SoundIOArchiveLayout : public SoundIOArchive,
                             public testing::WithParamInterface<std::tuple<bool, CStepRecord>> {};

TEST_P(SoundIOArchiveLayout, ReadsEveryFieldAndWritesThemBack) {
    const auto& [legacy, r] = GetParam();
    CArchive in(StepBytes(r, legacy, legacy ? r.latencyFlag : r.trigger));
    in.SetLegacy(legacy);
    Step().Serialize(in);
    ASSERT_TRUE(in.Ok()) << in.GetError();
    EXPECT_EQ(in.Remaining(), 0u);
    // As opening a file does: the refresh turns the older layout's flag into its mode.
    Step().ShowCurrentParams();

    std::map<std::string, std::string> expected = r.listed;
    if (legacy) expected["trigger"] = r.legacyTrigger;
    std::map<std::string, std::string> listed = Listed(Step());
    for (const auto& [id, value] : expected)
        EXPECT_EQ(listed[id], value) << id;
    // What the run uses: the rate of the index, and the mode the older flag stands for.
    EXPECT_EQ(Step().GetSampleRate(), r.sampleRate);
    EXPECT_EQ(Step().GetTriggerMode(), legacy ? r.legacyMode : r.trigger);
    ExpectCalibrationRead(*Step().GetCalibration());

    CArchive out;
    out.SetLegacy(legacy);
    Step().Serialize(out);
    ASSERT_TRUE(out.Ok()) << out.GetError();
    EXPECT_EQ(HexText(out.GetBuffer()),
              HexText(StepBytes(r, legacy, legacy ? r.legacyMode : r.trigger)));
}

INSTANTIATE_TEST_SUITE_P(Records, SoundIOArchiveLayout,
                         testing::Combine(testing::Bool(), testing::ValuesIn(kRecords)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) ? "Legacy" : "Current") +
                                    std::get<1>(info.param).name;
                         });

struct CDamage {
    const char* name;
    void (*damage)(CStepRecord&);
    bool legacy;
    const char* message;
};

const char* const kTriggerRange = "SoundIO: trigger level or offset out of range";
const char* const kSettingRange = "SoundIO: setting out of range";

const CDamage kDamages[] = {
    {"LevelAbove100", [](CStepRecord& r) { r.level = 101; }, false, kTriggerRange},
    {"LevelBelowMinus100", [](CStepRecord& r) { r.level = -101; }, false, kTriggerRange},
    {"OffsetAbove1000", [](CStepRecord& r) { r.offset = 1001; }, false, kTriggerRange},
    {"OffsetBelowMinus1000", [](CStepRecord& r) { r.offset = -1001; }, true, kTriggerRange},
    {"TriggerMode3", [](CStepRecord& r) { r.trigger = 3; }, false,
     "SoundIO: trigger mode out of range"},
    {"TriggerModeNegative", [](CStepRecord& r) { r.trigger = -1; }, false,
     "SoundIO: trigger mode out of range"},
    {"Repeat7", [](CStepRecord& r) { r.repeat = 7; }, false, kSettingRange},
    {"RepeatNegative", [](CStepRecord& r) { r.repeat = -1; }, true, kSettingRange},
    {"Warnings2", [](CStepRecord& r) { r.warnings = 2; }, false, kSettingRange},
    {"Mode4", [](CStepRecord& r) { r.mode = 4; }, false, kSettingRange},
    {"RateNegative", [](CStepRecord& r) { r.rate = -1; }, false, kSettingRange},
    {"Resolution4", [](CStepRecord& r) { r.resolution = 4; }, false, kSettingRange},
    {"Channels2", [](CStepRecord& r) { r.channels = 2; }, true, kSettingRange},
};

class SoundIOArchiveDamage : public SoundIOArchive, public testing::WithParamInterface<CDamage> {};

TEST_P(SoundIOArchiveDamage, IsRefusedAndKeepsTheSettings) {
    CStepRecord r = kRecords[0];
    GetParam().damage(r);
    const auto before = Listed(Step());
    const std::string calibration = Step().GetCalibration()->PathName;
    CArchive in(StepBytes(r, GetParam().legacy, GetParam().legacy ? r.latencyFlag : r.trigger));
    in.SetLegacy(GetParam().legacy);
    Step().Serialize(in);
    EXPECT_EQ(in.GetError(), GetParam().message);
    auto after = Listed(Step());
    after["channel"] = before.at("channel"); // the view's own record is read first
    EXPECT_EQ(after, before);
    EXPECT_EQ(Step().GetCalibration()->PathName, calibration);
}

INSTANTIATE_TEST_SUITE_P(Fields, SoundIOArchiveDamage, testing::ValuesIn(kDamages), CaseName());

// The older layout's trigger field is a flag, not a mode: any value is taken.
TEST_F(SoundIOArchive, TheOlderLayoutsLatencyFlagTakesAnyValue) {
    for (const int32_t flag : {3, -1, 0}) {
        CArchive in(StepBytes(kRecords[1], true, flag));
        in.SetLegacy(true);
        Step().Serialize(in);
        ASSERT_TRUE(in.Ok()) << flag << ": " << in.GetError();
        Step().ShowCurrentParams();
        EXPECT_EQ(Step().GetTriggerMode(), flag ? CSoundIOView::kLatency : CSoundIOView::kManual)
            << flag;
    }
}

} // namespace
