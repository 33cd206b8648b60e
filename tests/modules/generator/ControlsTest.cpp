// The channel bars in the module's control model: controls, lists, texts, the numeric-edit
// rule and what each change does to the settings and the run.
#include "GeneratorHarness.h"

namespace {

class GeneratorControls : public testing::Test {
protected:
    CGeneratorHarness h;
    void SetUp() override { h.NewProcess(1024, 96000.0); }
    const CControlState& State(const std::string& id) { return StateOf(h.View(), id); }
};

TEST_F(GeneratorControls, BothBarsListTheirControlsWithLabelsAndChoices) {
    const CControlModel& model = h.View().GetControls();
    const std::vector<std::pair<std::string, std::string>> perChannel{
        {"channel", "Channel:"},       {"wave", "Signal Type:"},    {"freq", "Freq (Hz):"},
        {"level", "Level (%FS):"},     {"mode", "Mode:"},           {"reset", "Reset/Run"},
        {"pulsestart", "Start (s):"},  {"pulsestop", "Stop (s):"},  {"pulseperiod", "Period (s):"},
        {"sweepstart", "Start (Hz):"}, {"sweepstop", "Stop (Hz):"}, {"sweeptime", "Time (s):"}};
    ASSERT_EQ(model.Count(), 2 * perChannel.size());
    for (size_t c = 0; c < 2; ++c)
        for (size_t i = 0; i < perChannel.size(); ++i) {
            const CControl& control = model.GetControl(c * perChannel.size() + i);
            EXPECT_EQ(control.id, "ch" + std::to_string(c + 1) + "." + perChannel[i].first);
            EXPECT_EQ(control.label, perChannel[i].second);
        }
    const CControl& wave = model.GetControl(size_t(model.Find("ch2.wave")));
    EXPECT_EQ(wave.kind, EControlKind::ComboBox);
    EXPECT_EQ(
        wave.items,
        (std::vector<std::string>{
            "Sine",         "Sine180",      "Cosine",        "Cosine180",      "AC Square",
            "AC Square180", "DC+ Square",   "DC+ Square180", "DC- Square",     "DC- Square180",
            "Triangle",     "Triangle180",  "Up Ramp",       "Up Ramp180",     "Down Ramp",
            "Down Ramp180", "AC Pulse",     "AC Pulse180",   "DC+ Pulse",      "DC+ Pulse180",
            "DC- Pulse",    "DC- Pulse180", "White",         "Impulse",        "Impulse180",
            "MLS",          "MLS180",       "Half Square",   "Half Square180", "Clipboard"}));
    EXPECT_EQ(model.GetControl(size_t(model.Find("ch1.mode"))).items,
              (std::vector<std::string>{"Constant", "Const Phs", "Single Cycle", "Single Shot",
                                        "Lin Sweep", "Log10Up Swp", "Log10Dn Swp", "Exp10Up Swp",
                                        "Exp10Dn Swp"}));
    const CControl& level = model.GetControl(size_t(model.Find("ch1.level")));
    EXPECT_EQ(level.kind, EControlKind::Spin);
    EXPECT_EQ(level.minimum, 0);
    EXPECT_EQ(level.maximum, 100);
}

TEST_F(GeneratorControls, NewBarsShowTheirDefaults) {
    const std::vector<std::pair<std::string, std::string>> texts{
        {"ch2.channel", "Channel:2"},      {"ch2.wave", "Sine"},
        {"ch2.freq", "1031.25 "},          {"ch2.level", "100"},
        {"ch2.mode", "Constant"},          {"ch2.reset", "Reset"},
        {"ch2.pulsestart", "0.000000"},    {"ch2.pulsestop", "0.005333"},
        {"ch2.pulseperiod", "0.010666"},   {"ch2.sweepstart", "9025.000000"},
        {"ch2.sweepstop", "13025.000000"}, {"ch2.sweeptime", "0.023220"}};
    for (const auto& [id, text] : texts)
        EXPECT_EQ(State(id).text, text) << id;
    EXPECT_EQ(State("ch2.wave").selection, 0);
    EXPECT_TRUE(State("ch2.reset").enabled);
}

struct CEdit {
    const char* name;
    std::string id;
    std::string text;
    bool accepted;
    double stored; // the field afterwards
    std::string shown;
};

void PrintTo(const CEdit& c, std::ostream* os) {
    *os << c.name;
}

class NumericEdits : public testing::TestWithParam<CEdit> {};

double FieldOf(const CSigGenChanDlgBar& bar, const std::string& id) {
    if (id == "ch1.freq") return bar.m_frequency;
    if (id == "ch1.pulsestart") return bar.m_pulseStart;
    if (id == "ch1.sweepstart") return bar.m_sweepStart;
    return bar.m_sweepTime;
}

TEST_P(NumericEdits, OnlyNumericCharactersAreStored) {
    const CEdit& e = GetParam();
    CGeneratorHarness h;
    h.NewProcess(1024, 96000.0);
    h.doc->SetModifiedFlag(false);
    std::string message;
    EXPECT_EQ(h.View().SetControl(e.id, e.text, message), e.accepted) << message;
    EXPECT_EQ(FieldOf(h.Bar(1), e.id), e.stored);
    EXPECT_EQ(StateOf(h.View(), e.id).text, e.shown);
    if (e.accepted) {
        EXPECT_TRUE(h.sink.Records().empty());
        EXPECT_TRUE(h.doc->IsModified());
    } else {
        ASSERT_EQ(h.sink.Records().size(), 1u);
        EXPECT_EQ(h.sink.Records()[0].message, "Edit control characters must be numeric");
        EXPECT_EQ(h.sink.Records()[0].style, MB_OK);
        EXPECT_FALSE(h.doc->IsModified());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Edits, NumericEdits,
    testing::Values(CEdit{"TwoDigitsAndX", "ch1.freq", "12x", false, 1031.25, "0.0"},
                    CEdit{"FrequencyBeforeASpace", "ch1.freq", "1000 Hz", true, 1000.0, "1000.00 "},
                    CEdit{"CommaEndsTheNumber", "ch1.freq", "1,5", true, 1.0, "1.00    "},
                    CEdit{"Exponent", "ch1.sweepstart", "2E3", true, 2000.0, "2000.000000"},
                    CEdit{"PlusSign", "ch1.sweeptime", "+0.5", true, 0.5, "0.500000"},
                    CEdit{"SpaceInATimeIsNotNumeric", "ch1.pulsestart", "0.001 s", false, 0.0,
                          "0.0"},
                    CEdit{"LetterInATime", "ch1.sweeptime", "1.5s", false, 0.02322, "0.0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GeneratorControls, LevelTakesTheSpinPositionWithinItsRange) {
    h.Set({"ch2.level=55"});
    EXPECT_EQ(h.Bar(2).m_level, 55);
    std::string message;
    EXPECT_FALSE(h.View().SetControl("ch2.level", "101", message));
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(h.Bar(2).m_level, 55);
    EXPECT_EQ(State("ch2.level").text, "55");
}

TEST_F(GeneratorControls, WaveAndModeChangesStopTheRunAndRestartThePhase) {
    for (const char* setting : {"ch1.wave=Cosine", "ch1.mode=Const Phs"}) {
        ASSERT_TRUE(h.doc->OnEditRun());
        h.doc->OnIdle();
        EXPECT_NE(h.Bar(1).m_phase, 0.0);
        h.Set({setting});
        EXPECT_FALSE(h.doc->IsRunning()) << setting;
        EXPECT_EQ(h.Bar(1).m_phase, 0.0) << setting;
    }
    EXPECT_EQ(h.Bar(1).m_waveType, kWaveCosine);
    EXPECT_EQ(h.Bar(1).m_mode, kModeConstPhs);
    EXPECT_EQ(h.Bar(2).m_waveType, kWaveSine) << "the other channel keeps its settings";
}

TEST_F(GeneratorControls, AnEditStopsTheRunOnlyWhenTheValueChanges) {
    ASSERT_TRUE(h.doc->OnEditRun());
    h.Set({"ch1.freq=1031.25"});
    EXPECT_TRUE(h.doc->IsRunning());
    h.Set({"ch1.freq=1000"});
    EXPECT_FALSE(h.doc->IsRunning());
    EXPECT_EQ(h.Bar(1).m_frequency, 1000.0);
}

TEST_F(GeneratorControls, SettingsListEveryBarFieldAndTakeBackWhatTheyList) {
    h.Set({"ch2.wave=MLS180", "ch2.mode=Exp10Up Swp", "ch2.freq=440", "ch2.level=7",
           "ch2.sweepstart=20", "ch2.sweepstop=20000", "ch2.sweeptime=1.5", "ch2.pulsestart=0.1",
           "ch2.pulsestop=0.2", "ch2.pulseperiod=0.4"});
    const auto settings = h.View().GetSettings();
    std::vector<std::string> listed;
    for (const CSettingValue& s : settings)
        listed.push_back(s.id + " (" + s.label + "): " + s.value);
    const std::vector<std::string> ch2(listed.end() - 10, listed.end());
    EXPECT_EQ(
        ch2,
        (std::vector<std::string>{
            "ch2.wave (Ch2 wave): MLS180", "ch2.freq (Ch2 frequency): 440",
            "ch2.mode (Ch2 mode): Exp10Up Swp", "ch2.level (Ch2 level): 7",
            "ch2.sweepstart (Ch2 sweep start): 20", "ch2.sweepstop (Ch2 sweep stop): 20000",
            "ch2.sweeptime (Ch2 sweep time): 1.5", "ch2.pulsestart (Ch2 pulse start): 0.1",
            "ch2.pulsestop (Ch2 pulse stop): 0.2", "ch2.pulseperiod (Ch2 pulse period): 0.4"}));
    EXPECT_EQ(listed.size(), 21u); // the selected channel and ten fields of each bar

    // Every listed id and label takes back the value it lists, leaving every setting as it was.
    for (const CSettingValue& s : settings) {
        for (const std::string& name : {s.id, s.label}) {
            std::string message;
            EXPECT_TRUE(h.View().SetControl(name, s.value, message)) << name << ": " << message;
        }
    }
    std::vector<std::string> again;
    for (const CSettingValue& s : h.View().GetSettings())
        again.push_back(s.id + " (" + s.label + "): " + s.value);
    EXPECT_EQ(again, listed);
}

} // namespace
