// The analyser's controls and settings driven through a real document: defaults, the frequency
// labels, the start/stop rules, the Y axis choices with their references, the Ref edits, the
// block average count and the right-button menu.
#include "SpecTestProcess.h"

#include "base/NumberText.h"
#include "modules/BuiltInModules.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Items = std::vector<std::string>;

const CControlState& State(const CDspView& view, const std::string& id) {
    const int index = view.GetControls().Find(id);
    EXPECT_GE(index, 0) << id;
    return view.GetControls().GetState(size_t(index));
}

const CControl& Control(const CDspView& view, const std::string& id) {
    const int index = view.GetControls().Find(id);
    EXPECT_GE(index, 0) << id;
    return view.GetControls().GetControl(size_t(index));
}

// The settings as the labels and values `info` lists.
std::vector<std::pair<std::string, std::string>> Listed(const CDspView& view) {
    std::vector<std::pair<std::string, std::string>> listed;
    for (const CSettingValue& s : view.GetSettings())
        listed.emplace_back(s.label, s.value);
    return listed;
}

std::string Setting(const CDspView& view, const std::string& name) {
    for (const CSettingValue& s : view.GetSettings())
        if (s.label == name) return s.value;
    ADD_FAILURE() << "no setting " << name;
    return {};
}

class SpecView : public testing::Test {
protected:
    CSpecTestApp t;
    CDspDoc* doc = nullptr;

    void SetUp() override {
        doc = t.NewProcess({"Signal Generator", "Spectrum Analyzer"}, 1024, 48000.0);
        ASSERT_NE(doc, nullptr);
    }
    CSpecView& Analyser() { return StepAs<CSpecView>(*doc, 1); }
    void Set(const std::string& id, const std::string& value = "") {
        std::string message;
        ASSERT_TRUE(Analyser().SetControl(id, value, message)) << id << ": " << message;
    }
    void Press(const std::string& id, int times) {
        for (int i = 0; i < times; ++i)
            Set(id);
    }
};

TEST_F(SpecView, IsRegisteredAsABuiltInModule) {
    const CModuleClass* c = GetBuiltInModules().Find("Spectrum Analyzer");
    ASSERT_NE(c, nullptr);
    std::unique_ptr<CDspView> view(c->m_pfnCreate());
    EXPECT_NE(dynamic_cast<CSpecView*>(view.get()), nullptr);
    EXPECT_STREQ(view->GetRuntimeClass()->m_lpszClassName, "CSpecView");
}

TEST_F(SpecView, StartsWithTheDocumentedSettings) {
    const std::vector<std::pair<std::string, std::string>> expected{{"Selected channel", "0"},
                                                                    {"X axis", "Lin."},
                                                                    {"Start", "0Hz"},
                                                                    {"Stop", "24000Hz"},
                                                                    {"Y axis", "Vpk."},
                                                                    {"Y scale", "500 mVpk/Div"},
                                                                    {"Ref1", "1"},
                                                                    {"Ref2", "1"},
                                                                    {"FFT type", "FFT"},
                                                                    {"Window", "None"},
                                                                    {"Plot", "Line"},
                                                                    {"Apply Freq Cal", "0"},
                                                                    {"Block average", "1"},
                                                                    {"Smoothing", "0"}};
    EXPECT_EQ(Listed(Analyser()), expected);
    EXPECT_EQ(Analyser().GetYScaleIndex(), 17);
    EXPECT_DOUBLE_EQ(Analyser().GetYScale(), 0.5);
    EXPECT_EQ(Analyser().GetBlockAverageCount(), 1.0);
    EXPECT_EQ(Analyser().GetAverageCounter(), 1);
    EXPECT_EQ(State(Analyser(), "ref1").text, "  1");
    EXPECT_EQ(State(Analyser(), "ref1unit").text, "Hz");
    EXPECT_EQ(State(Analyser(), "scale").text, "500 mVpk/Div");
    EXPECT_EQ(State(Analyser(), "type").selection, 1);
}

TEST_F(SpecView, ControlBarHasTheDocumentedLabelsAndItems) {
    EXPECT_EQ(Control(Analyser(), "xaxis").label, "Sel:");
    EXPECT_EQ(Control(Analyser(), "xaxis").items, SpecXAxisChoices());
    EXPECT_EQ(Control(Analyser(), "yaxis").label, "Sel:");
    EXPECT_EQ(Control(Analyser(), "yaxis").items, SpecYAxisChoices());
    EXPECT_EQ(Control(Analyser(), "Type:").items, SpecFFTTypeChoices());
    EXPECT_EQ(Control(Analyser(), "Wnd:").items, SpecWindowChoices());
    EXPECT_EQ(Control(Analyser(), "Plot:").items, SpecPlotChoices());
    EXPECT_EQ(Control(Analyser(), "Avg:").items, SpecBlockAverageChoices());
    EXPECT_EQ(Control(Analyser(), "Smth:").items, SpecSmoothingChoices());
    EXPECT_EQ(Control(Analyser(), "Apply Freq Cal:").kind, EControlKind::CheckBox);
    EXPECT_EQ(Control(Analyser(), "Ref1:").kind, EControlKind::Edit);
    EXPECT_EQ(Control(Analyser(), "Ref2:").kind, EControlKind::Edit);
    for (const char* id : {"startdn", "stopdn", "scaledn"})
        EXPECT_EQ(Control(Analyser(), id).label, "Dn");
    for (const char* id : {"startup", "stopup", "scaleup"})
        EXPECT_EQ(Control(Analyser(), id).label, "Up");
    // The same label on two controls is ambiguous by label; ids tell them apart.
    std::string message;
    EXPECT_FALSE(Analyser().SetControl("Sel:", "Lin.", message));
    EXPECT_NE(message.find("xaxis"), std::string::npos);
}

// The 33 labels step by a 64th of the sample rate, rounded to the nearest hertz, halves up.
class SpecFreqLabels : public testing::TestWithParam<int> {};

TEST_P(SpecFreqLabels, StepByA64thOfTheSampleRate) {
    CSpecTestApp t;
    const int rate = GetParam();
    CDspDoc* doc = t.NewProcess({"Signal Generator", "Spectrum Analyzer"}, 256, rate);
    ASSERT_NE(doc, nullptr);
    const CSpecView& analyser = StepAs<CSpecView>(*doc, 1);
    ASSERT_EQ(analyser.GetStartLabels().size(), 33u);
    EXPECT_EQ(analyser.GetStopLabels(), analyser.GetStartLabels());
    for (int i = 0; i <= 32; ++i) {
        const long hz = std::lround(std::floor(i * (rate / 64.0) + 0.5));
        EXPECT_EQ(analyser.GetStartLabels()[size_t(i)], std::to_string(hz) + "Hz") << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, SpecFreqLabels, testing::Values(48000, 44100, 11025, 96, 32));

TEST_F(SpecView, FreqLabelsAt48kHz) {
    const Items& labels = Analyser().GetStartLabels();
    EXPECT_EQ(labels[0], "0Hz");
    EXPECT_EQ(labels[1], "750Hz");
    EXPECT_EQ(labels[32], "24000Hz");
    EXPECT_EQ(State(Analyser(), "start").text, "0Hz");
    EXPECT_EQ(State(Analyser(), "stop").text, "24000Hz");
}

TEST_F(SpecView, StartAndStopNeverCross) {
    Press("startup", 40);
    EXPECT_EQ(Analyser().GetStartPosition(), 31);
    EXPECT_EQ(Analyser().GetStopPosition(), 32);
    Press("stopdn", 5);
    EXPECT_EQ(Analyser().GetStopPosition(), 32);
    Press("startdn", 40);
    EXPECT_EQ(Analyser().GetStartPosition(), 0);
    Press("stopdn", 40);
    EXPECT_EQ(Analyser().GetStopPosition(), 1);
    Press("startup", 3);
    EXPECT_EQ(Analyser().GetStartPosition(), 0);
    Press("stopup", 40);
    EXPECT_EQ(Analyser().GetStopPosition(), 32);
}

TEST_F(SpecView, PositionsGiveTheBinsAndLabels) {
    Press("startup", 2);
    Press("stopdn", 16);
    EXPECT_EQ(Analyser().GetStartBin(), 2 * 1024 / 64.0);
    EXPECT_EQ(Analyser().GetStopBin(), 16 * 1024 / 64.0);
    EXPECT_EQ(State(Analyser(), "start").text, "1500Hz");
    EXPECT_EQ(State(Analyser(), "stop").text, "12000Hz");
    EXPECT_EQ(Setting(Analyser(), "Start"), "1500Hz");
}

TEST_F(SpecView, ANewXAxisChoiceResetsStartAndStop) {
    Press("startup", 3);
    Press("stopdn", 4);
    Set("xaxis", "Log10.");
    EXPECT_EQ(Analyser().GetXAxisType(), kXLog10);
    EXPECT_EQ(Analyser().GetStartPosition(), 0);
    EXPECT_EQ(Analyser().GetStopPosition(), 32);
    EXPECT_TRUE(doc->IsModified());
}

struct CYSelectCase {
    std::string item;
    double ref;
    std::string refText;
    std::string unit;
    bool refsEnabled;
    std::string scale;
};

class SpecYSelect : public SpecView, public testing::WithParamInterface<CYSelectCase> {};

TEST_P(SpecYSelect, SetsReferencesUnitAndScaleList) {
    const CYSelectCase& c = GetParam();
    Set("ref1", "123");
    Set("ref2", "456");
    Set("yaxis", c.item);
    EXPECT_EQ(Analyser().GetRef1(), c.ref);
    EXPECT_EQ(Analyser().GetRef2(), c.ref);
    EXPECT_EQ(State(Analyser(), "ref1").text, c.refText);
    EXPECT_EQ(State(Analyser(), "ref2").text, c.refText);
    EXPECT_EQ(State(Analyser(), "ref1unit").text, c.unit);
    EXPECT_EQ(State(Analyser(), "ref2unit").text, c.unit);
    EXPECT_EQ(State(Analyser(), "ref1").enabled, c.refsEnabled);
    EXPECT_EQ(State(Analyser(), "ref2").enabled, c.refsEnabled);
    EXPECT_EQ(State(Analyser(), "scale").text, c.scale);
    EXPECT_EQ(Setting(Analyser(), "Y scale"), c.scale);
}

INSTANTIATE_TEST_SUITE_P(
    Types, SpecYSelect,
    testing::Values(CYSelectCase{"dBVSPL", 1.0, "  1", "V", true, "10dBVpkSPL/Div"},
                    CYSelectCase{"| Z |", 10.0, " 10", "Ohm", true, " 5.0ohms/Div"},
                    CYSelectCase{"Degrees", 1.0, "  1", "", false, "45\u00B0/Div"},
                    CYSelectCase{"THDVpk", 0.0, "  0", "Hz", true, "500 mVpk/Div"},
                    CYSelectCase{"dBRel", 1000.0, "1000", "Hz", true, " 1.0dB/Div"}));

TEST_F(SpecView, RefEditsRefuseInputForDegrees) {
    Set("yaxis", "Degrees");
    std::string message;
    EXPECT_FALSE(Analyser().SetControl("Ref1:", "5", message));
    EXPECT_EQ(Analyser().GetRef1(), 1.0);
}

TEST_F(SpecView, ScaleStaysInsideItsList) {
    Press("scaleup", 30);
    EXPECT_EQ(Analyser().GetYScaleIndex(), 21);
    EXPECT_EQ(State(Analyser(), "scale").text, "10 Vpk/Div");
    Press("scaledn", 30);
    EXPECT_EQ(Analyser().GetYScaleIndex(), 0);
    EXPECT_DOUBLE_EQ(Analyser().GetYScale(), 1e-6);
    Set("yaxis", "dBVSPL");
    Press("scaleup", 2);
    EXPECT_EQ(Analyser().GetYScaleIndex(), 0);
}

TEST_F(SpecView, RefEditKeepsTheUsersSpellingWhileItMeansTheReference) {
    Set("ref1", "1e3");
    EXPECT_EQ(Analyser().GetRef1(), 1000.0);
    EXPECT_EQ(State(Analyser(), "ref1").text, "1e3");
    // Only the first 15 characters count.
    Set("ref1", "1234567890123456");
    EXPECT_EQ(Analyser().GetRef1(), 123456789012345.0);
    EXPECT_EQ(State(Analyser(), "ref1").text, "123456789012345");
    // A text without a finite number (too large reads as an infinity) is refused with the
    // reason, and the edit shows the reference again.
    Set("ref2", "2500");
    for (const char* bad : {"nan", "inf", "1e999", "-1e999"}) {
        std::string message;
        EXPECT_FALSE(Analyser().SetControl("ref2", bad, message)) << bad;
        EXPECT_EQ(message, "Ref2: \"" + std::string(bad) + "\" is not a finite number");
        EXPECT_EQ(Analyser().GetRef2(), 2500.0);
        EXPECT_EQ(State(Analyser(), "ref2").text, "2500");
    }
}

TEST_F(SpecView, ANewAverageCountResetsTheCounter) {
    Set("avg", "4");
    EXPECT_EQ(Analyser().GetBlockAverageCount(), 4.0);
    EXPECT_EQ(Analyser().GetBlockAverageIndex(), 2);
    EXPECT_EQ(Setting(Analyser(), "Block average"), "4");
}

TEST_F(SpecView, ChoicesAreStoredAsListPositions) {
    Set("Type:", "FHT/FFT");
    Set("Wnd:", "Blackman");
    Set("Plot:", "Sunk Multi");
    Set("Smth:", "7");
    Set("Apply Freq Cal:", "1");
    EXPECT_EQ(Analyser().GetFFTType(), kFHTFFT);
    EXPECT_EQ(Analyser().GetWindowType(), 5);
    EXPECT_EQ(Analyser().GetPlotType(), 6);
    EXPECT_EQ(Analyser().GetSmoothingWidth(), 7);
    EXPECT_TRUE(Analyser().GetApplyFreqCal());
    EXPECT_TRUE(State(Analyser(), "freqcal").checked);
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(SpecView, HandlersIgnoreSelectionsOutsideTheirLists) {
    const auto before = Analyser().GetSettings();
    Analyser().OnSelChangeXAxisSel(5);
    Analyser().OnSelChangeYAxisSel(-1);
    Analyser().OnSelChangeFFTType(6);
    Analyser().OnSelChangeWindowType(6);
    Analyser().OnSelChangePlotType(7);
    Analyser().OnSelChangeBlockAvg(13);
    Analyser().OnSelChangeUnweightedSmooth(33);
    EXPECT_EQ(Analyser().GetSettings(), before);
}

TEST_F(SpecView, ContextMenuListsTheAnalysersCommands) {
    Items texts;
    for (const CMenuEntry& e : Analyser().GetContextMenu())
        if (!e.id.empty()) texts.push_back(e.text);
    EXPECT_EQ(texts, (Items{"Sel Ch1", "Sel Ch2", "Sel All", "Cu&t", "&Copy", "Copy FRDdBSPL",
                            "Copy ZMA", "&Paste", "&Stop", "P&ause", "&Run", "&Process...",
                            "&FFT...", "&Print...", "Print Pre&view"}));

    auto checked = [&](const std::string& id) {
        for (const CMenuEntry& e : Analyser().GetContextMenu())
            if (e.id == id) return e.checked;
        ADD_FAILURE() << id;
        return false;
    };
    EXPECT_TRUE(checked("selall"));
    EXPECT_TRUE(Analyser().OnContextCommand("selch2"));
    EXPECT_EQ(Analyser().GetSelectedChannel(), 2);
    EXPECT_TRUE(checked("selch2"));
    EXPECT_FALSE(checked("selall"));
    EXPECT_TRUE(Analyser().OnContextCommand("run"));
    EXPECT_TRUE(doc->IsRunning());
    EXPECT_TRUE(Analyser().OnContextCommand("stop"));
    EXPECT_FALSE(doc->IsRunning());
    // The process editor, the FFT options and printing are the host's.
    EXPECT_FALSE(Analyser().OnContextCommand("fft"));
    EXPECT_FALSE(Analyser().OnContextCommand("print"));
}

} // namespace
