// The oscilloscope module driven through a real application and document: its controls and
// their enabled states, per-channel block averaging, the gate and what later steps receive.
#include "ScopeTestProcess.h"

#include "platform/RecordingCanvas.h"
#include "modules/BuiltInModules.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Settings = std::vector<std::pair<std::string, std::string>>;
using Lines = std::vector<std::string>;

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

const CControlState& State(const CDspView& view, const std::string& id) {
    const int index = view.GetControls().Find(id);
    EXPECT_GE(index, 0) << id;
    return view.GetControls().GetState(size_t(index));
}

class OscView : public testing::Test {
protected:
    CScopeTestApp t;
    CDspDoc* doc = nullptr;

    // Source, oscilloscope, sink; 16 samples at 1600 per second (a 10 ms block).
    void SetUp() override {
        doc = t.NewProcess({"Signal Generator", "Oscilloscope", "SoundIO"});
        ASSERT_NE(doc, nullptr);
        CFFTOptions options;
        doc->FillFFTOptions(options);
        options.m_size = "16";
        options.m_sampleRate = "1600";
        std::string message;
        ASSERT_TRUE(doc->ApplyFFTOptions(options, message)) << message;
    }
    CScopeTestSource& Source() { return StepAs<CScopeTestSource>(*doc, 0); }
    COscView& Scope() { return StepAs<COscView>(*doc, 1); }
    CScopeTestSink& Sink() { return StepAs<CScopeTestSink>(*doc, 2); }
    // Paints the oscilloscope into a view rectangle, which fixes the plot the mouse refers to.
    void Paint(const CRect& view) {
        CRecordingCanvas canvas;
        Scope().OnDraw(canvas, view);
    }

    void Set(const std::string& id, const std::string& value = "") {
        std::string message;
        ASSERT_TRUE(Scope().SetControl(id, value, message)) << id << ": " << message;
    }
    // Runs whole passes (three slices each) after starting when needed.
    void RunPasses(int passes) {
        if (!doc->IsRunning()) {
            ASSERT_TRUE(doc->OnEditRun());
        }
        for (int i = 0; i < 3 * passes; ++i)
            ASSERT_EQ(doc->OnIdle(), 1);
    }
};

TEST_F(OscView, IsRegisteredAsABuiltInModule) {
    const CModuleClass* c = GetBuiltInModules().Find("Oscilloscope");
    ASSERT_NE(c, nullptr);
    std::unique_ptr<CDspView> view(c->m_pfnCreate());
    EXPECT_TRUE(view->IsKindOf(RUNTIME_CLASS(COscView)));
}

TEST_F(OscView, StartsWithTheDefaultSettings) {
    EXPECT_EQ(Listed(Scope()), (Settings{{"Selected channel", "0"},
                                         {"Ch1 V/Div", "500 mVpk/Div"},
                                         {"Ch1 Pos", "75"},
                                         {"Ch1 Disp", "Alg"},
                                         {"Ch1 Avg", "1"},
                                         {"Ch2 V/Div", "500 mVpk/Div"},
                                         {"Ch2 Pos", "25"},
                                         {"Ch2 Disp", "Alg"},
                                         {"Ch2 Avg", "1"},
                                         {"T/Div", "1 mS/Div"},
                                         {"X Pos", "50"},
                                         {"Block length", "16"},
                                         {"Gate", "Off"},
                                         {"Left marker", "0"},
                                         {"Right marker", "0"},
                                         {"Gate start", "0"},
                                         {"Gate stop", "1024"}}));
    EXPECT_EQ(Scope().GetReadouts(), (Lines{"Ch1: 500 mVpk/Div", "Ch2: 500 mVpk/Div", "1 mS/Div"}));
    EXPECT_DOUBLE_EQ(Scope().GetTrace(0).voltsPerDivision, 0.5);
    EXPECT_EQ(Scope().GetTrace(0).verticalPosition, 75);
    EXPECT_EQ(Scope().GetTrace(1).verticalPosition, 25);
    EXPECT_DOUBLE_EQ(Scope().GetTimePerDivision(), 0.001);
    EXPECT_EQ(State(Scope(), "ch1.avg").text, "1");
    EXPECT_EQ(State(Scope(), "ch1.disp").text, "Alg");
}

// Per channel: the display type cycles Off -> Gnd -> Alg -> Dig -> Off, and each type decides
// the label, the trace flags and which buttons work.
struct CDisplayStep {
    const char* type;
    const char* label;
    int ground, digital;
    bool voltsEnabled, positionEnabled;
};

class OscDisplayType : public OscView, public testing::WithParamInterface<int> {};

TEST_P(OscDisplayType, CyclesAndEnablesTheButtonsOfItsChannel) {
    const int c = GetParam();
    const std::string ch = "ch" + std::to_string(c + 1);
    const std::string readoutPrefix = "Ch" + std::to_string(c + 1) + ": ";
    const CDisplayStep steps[] = {{"Dig", "500 mVpk/Div", 0, 1, true, true},
                                  {"Off", "Off", 0, 1, false, false},
                                  {"Gnd", "Gnd", 1, 1, false, true},
                                  {"Alg", "500 mVpk/Div", 0, 0, true, true},
                                  {"Dig", "500 mVpk/Div", 0, 1, true, true}};
    for (const CDisplayStep& s : steps) {
        SCOPED_TRACE(s.type);
        doc->SetModifiedFlag(false);
        Set(ch + ".disp");
        EXPECT_TRUE(doc->IsModified());
        EXPECT_EQ(Setting(Scope(), "Ch" + std::to_string(c + 1) + " Disp"), s.type);
        EXPECT_EQ(State(Scope(), ch + ".disp").text, s.type);
        EXPECT_EQ(Scope().GetChannelLabel(c), s.label);
        EXPECT_EQ(Scope().GetReadouts()[size_t(c)], readoutPrefix + s.label);
        EXPECT_EQ(Scope().GetTrace(c).ground, s.ground);
        EXPECT_EQ(Scope().GetTrace(c).digital, s.digital);
        for (const char* button : {".vdivdown", ".vdivup"})
            EXPECT_EQ(State(Scope(), ch + button).enabled, s.voltsEnabled) << button;
        for (const char* button : {".posdown", ".posup"})
            EXPECT_EQ(State(Scope(), ch + button).enabled, s.positionEnabled) << button;
        // The other channel's buttons are untouched.
        const std::string other = c == 0 ? "ch2" : "ch1";
        EXPECT_TRUE(State(Scope(), other + ".vdivup").enabled);
    }
}

TEST_P(OscDisplayType, DisabledButtonsRefuseAndChangeNothing) {
    const std::string ch = "ch" + std::to_string(GetParam() + 1);
    Set(ch + ".disp"); // Dig
    Set(ch + ".disp"); // Off
    std::string message;
    EXPECT_FALSE(Scope().SetControl(ch + ".vdivup", "", message));
    EXPECT_EQ(message, "'Up' is disabled");
    EXPECT_FALSE(Scope().SetControl(ch + ".posdown", "", message));
    EXPECT_EQ(Scope().GetVoltsIndex(GetParam()), 17);
    EXPECT_EQ(Scope().GetPosition(GetParam()), GetParam() == 0 ? 75 : 25);
}

INSTANTIATE_TEST_SUITE_P(Channels, OscDisplayType, testing::Values(0, 1));

// Every stepping pair stops at both ends of its range.
struct CStepCase {
    const char* down;
    const char* up;
    int32_t (*value)(const COscView&);
    int32_t start, maximum;
    const char* setting;
    const char* lowest;
    const char* highest;
};

class OscStepping : public OscView, public testing::WithParamInterface<CStepCase> {};

TEST_P(OscStepping, StopsAtBothEnds) {
    const CStepCase& s = GetParam();
    EXPECT_EQ(s.value(Scope()), s.start);
    for (int32_t i = 0; i <= s.maximum + 1; ++i)
        Set(s.down);
    EXPECT_EQ(s.value(Scope()), 0);
    EXPECT_EQ(Setting(Scope(), s.setting), s.lowest);
    Set(s.up);
    EXPECT_EQ(s.value(Scope()), 1);
    for (int32_t i = 0; i <= s.maximum + 1; ++i)
        Set(s.up);
    EXPECT_EQ(s.value(Scope()), s.maximum);
    EXPECT_EQ(Setting(Scope(), s.setting), s.highest);
    EXPECT_TRUE(doc->IsModified());
}

INSTANTIATE_TEST_SUITE_P(
    Controls, OscStepping,
    testing::Values(
        CStepCase{"ch1.vdivdown", "ch1.vdivup",
                  [](const COscView& v) { return v.GetVoltsIndex(0); }, 17, 21, "Ch1 V/Div",
                  "1 uVpk/Div", "10 Vpk/Div"},
        CStepCase{"ch2.vdivdown", "ch2.vdivup",
                  [](const COscView& v) { return v.GetVoltsIndex(1); }, 17, 21, "Ch2 V/Div",
                  "1 uVpk/Div", "10 Vpk/Div"},
        CStepCase{"ch1.posdown", "ch1.posup", [](const COscView& v) { return v.GetPosition(0); },
                  75, 100, "Ch1 Pos", "0", "100"},
        CStepCase{"ch2.posdown", "ch2.posup", [](const COscView& v) { return v.GetPosition(1); },
                  25, 100, "Ch2 Pos", "0", "100"},
        CStepCase{"tdivdown", "tdivup", [](const COscView& v) { return v.GetTimeIndex(); }, 9, 18,
                  "T/Div", "1 uS/Div", "1 S/Div"},
        CStepCase{"xposdown", "xposup", [](const COscView& v) { return v.GetXPosition(); }, 50, 100,
                  "X Pos", "0", "100"}));

TEST_F(OscView, StepsReachTheTracesAndReadouts) {
    Set("ch2.vdivdown");
    EXPECT_DOUBLE_EQ(Scope().GetTrace(1).voltsPerDivision, 0.2);
    EXPECT_EQ(Scope().GetReadouts()[1], "Ch2: 200 mVpk/Div");
    Set("ch1.posup");
    EXPECT_EQ(Scope().GetTrace(0).verticalPosition, 76);
    Set("tdivup");
    EXPECT_DOUBLE_EQ(Scope().GetTimePerDivision(), 0.002);
    EXPECT_EQ(Scope().GetReadouts()[2], "2 mS/Div");
}

// The running average with N = 4 after k blocks, written out with its divisors: block 1
// replaces, block 2 moves half way, block 3 a quarter, and from block 4 on (n reaches N) a
// quarter again.
double ExpectedAverage(const std::vector<double>& inputs) {
    const double divisors[] = {1.0, 2.0, 4.0, 4.0, 4.0, 4.0};
    double average = 0.0;
    for (size_t k = 0; k < inputs.size(); ++k)
        average += (inputs[k] - average) / divisors[k];
    return average;
}

TEST_F(OscView, AveragesEachChannelOverItsOwnCount) {
    Set("ch1.avg", "4");
    const auto input = [this](int c, int k, int i) { return Source().m_pattern(c, k, i); };
    for (int k = 1; k <= 5; ++k) {
        RunPasses(1);
        SCOPED_TRACE(k);
        const std::vector<double> shown = TimeSamples(*Scope().GetDisplayList(), 0);
        for (int i = 0; i < 16; ++i) {
            std::vector<double> inputs;
            for (int j = 1; j <= k; ++j)
                inputs.push_back(input(0, j, i));
            EXPECT_NEAR(shown[size_t(i)], ExpectedAverage(inputs), 1e-12) << i;
            EXPECT_EQ(Sink().m_received[0][size_t(i)], shown[size_t(i)]);
            // Channel 2 averages over 1 block: each block replaces the last.
            EXPECT_EQ(Sink().m_received[1][size_t(i)], input(1, k, i));
        }
        EXPECT_EQ(Scope().GetAverageCounter(0), k + 1);
        EXPECT_EQ(Scope().GetAverageCounter(1), 1) << "a count of 1 never counts";
        EXPECT_EQ(Scope().GetReadouts(),
                  (Lines{"Ch1: 500 mVpk/Div", "Ch2: 500 mVpk/Div", "1 mS/Div",
                         "Ch1 Avg: " + std::to_string(k) + " / 4"}));
    }
}

TEST_F(OscView, TheSecondChannelAveragesIndependently) {
    Set("ch2.avg", "2");
    Source().m_pattern = [](int c, int k, int) { return c == 0 ? 0.0 : (k == 1 ? 8.0 : 2.0); };
    RunPasses(3);
    // Channel 2: 8, then 8 + (2 - 8) / 2 = 5, then n = 3 >= N = 2: 5 + (2 - 5) / 2 = 3.5.
    EXPECT_DOUBLE_EQ(Sink().m_received[1][0], 3.5);
    EXPECT_EQ(Scope().GetReadouts().back(), "Ch2 Avg: 3 / 2");
    EXPECT_EQ(Scope().GetReadouts().size(), 4u);
}

TEST_F(OscView, ChangingTheCountRestartsTheAverage) {
    Set("ch1.avg", "4");
    RunPasses(3);
    ASSERT_EQ(Scope().GetAverageCounter(0), 4);
    Set("ch1.avg", "8");
    EXPECT_EQ(Scope().GetAverageCounter(0), 1);
    EXPECT_EQ(Scope().GetReadouts().back(), "Ch1 Avg: 0 / 8");
    RunPasses(1);
    EXPECT_EQ(Sink().m_received[0][3], Source().m_pattern(0, 4, 3)) << "the next block replaces";
    Set("ch1.avg", "8");
    EXPECT_EQ(Scope().GetAverageCounter(0), 2) << "choosing the same count keeps counting";
}

TEST_F(OscView, EveryRunStartsFromZeroedListsAndAFreshCount) {
    Set("ch1.avg", "16");
    RunPasses(2);
    ASSERT_TRUE(doc->OnEditStop());
    ASSERT_TRUE(doc->OnEditRun());
    EXPECT_EQ(Scope().GetAverageCounter(0), 1);
    for (const CDSPFFTDataList* list : {Scope().GetWorkingList(), Scope().GetDisplayList()})
        for (int c = 0; c < 2; ++c)
            EXPECT_EQ(TimeSamples(*list, c), std::vector<double>(16, 0.0));
    RunPasses(1);
    EXPECT_EQ(Sink().m_received[0][5], Source().m_pattern(0, 3, 5));
}

// ---- Gate -----------------------------------------------------------------------------------

// A 210 x 110 view: the plot is (5, 5) - (205, 105), 200 pixels wide, and at 1 ms/div the
// 10 ms block spans it exactly, so column x shows sample (x - 5) * 0.08.
constexpr CRect kView{0, 0, 210, 110};

TEST_F(OscView, TheGateZeroesWhatIsHandedOnButTheDisplayKeepsEverySample) {
    Paint(kView);
    doc->SetModifiedFlag(false);
    Scope().OnLButtonDown({55, 50});
    Scope().OnMouseMove({80, 60}, true);
    Scope().OnLButtonUp({105, 60});
    ASSERT_TRUE(Scope().GetGate().IsOn());
    EXPECT_DOUBLE_EQ(Scope().GetGate().GetStart(), 4.0);
    EXPECT_DOUBLE_EQ(Scope().GetGate().GetStop(), 8.0);
    EXPECT_DOUBLE_EQ(Scope().GetGate().GetLeftMarker(), 4.0);
    EXPECT_DOUBLE_EQ(Scope().GetGate().GetRightMarker(), 8.0);
    EXPECT_TRUE(doc->IsModified());

    Set("ch2.avg", "2");
    RunPasses(2);
    for (int c = 0; c < 2; ++c) {
        const std::vector<double> shown = TimeSamples(*Scope().GetDisplayList(), c);
        for (int i = 0; i < 16; ++i) {
            const double v = shown[size_t(i)];
            const double expected =
                c == 0 ? Source().m_pattern(0, 2, i)
                       : (Source().m_pattern(1, 1, i) + Source().m_pattern(1, 2, i)) / 2;
            EXPECT_DOUBLE_EQ(v, expected) << c << "," << i;
            EXPECT_EQ(Sink().m_received[size_t(c)][size_t(i)], i >= 4 && i <= 8 ? v : 0.0)
                << c << "," << i;
        }
    }
}

TEST_F(OscView, PressingInThePlotStopsTheRunAndForgetsTheGate) {
    Paint(kView);
    Scope().OnLButtonDown({55, 50});
    Scope().OnLButtonUp({105, 50});
    RunPasses(1);
    Scope().OnLButtonDown({100, 50});
    EXPECT_FALSE(doc->IsRunning());
    EXPECT_FALSE(Scope().GetGate().IsOn());
    Scope().OnLButtonUp({100, 50});
    EXPECT_FALSE(Scope().GetGate().IsOn()) << "a click sets no gate";
    EXPECT_EQ(Scope().GetGate().GetStop(), 16.0);
    RunPasses(1);
    EXPECT_EQ(Sink().m_received[0][0], Source().m_pattern(0, 2, 0));
}

TEST_F(OscView, DragsThatMissTheBlockGateTheWholeBlock) {
    Paint(kView);
    // At 5 ms/div the block ends at x = 45.
    for (int i = 0; i < 2; ++i)
        Set("tdivup");
    ASSERT_EQ(Scope().GetReadouts()[2], "5 mS/Div");
    Scope().OnLButtonDown({100, 50});
    Scope().OnLButtonUp({150, 50});
    EXPECT_TRUE(Scope().GetGate().IsOn());
    EXPECT_EQ(Scope().GetGate().GetStart(), 0.0);
    EXPECT_EQ(Scope().GetGate().GetStop(), 16.0);

    // With the trace moved to start at x = 105, a drag left of it misses the block too.
    for (int i = 0; i < 50; ++i)
        Set("xposup");
    Scope().OnLButtonDown({20, 50});
    Scope().OnLButtonUp({60, 50});
    EXPECT_TRUE(Scope().GetGate().IsOn());
    EXPECT_EQ(Scope().GetGate().GetStart(), 0.0);
    EXPECT_EQ(Scope().GetGate().GetStop(), 16.0);
    RunPasses(1);
    EXPECT_EQ(Sink().m_received[0][15], Source().m_pattern(0, 1, 15));
}

TEST_F(OscView, TheMouseActsOnlyInsideThePlot) {
    Paint(kView);
    ASSERT_TRUE(doc->OnEditRun());
    Scope().OnLButtonDown({3, 50}); // in the margin
    EXPECT_TRUE(doc->IsRunning());
    EXPECT_FALSE(Scope().GetGate().IsDragging());

    // Leaving the plot during a drag ends it without a window.
    Scope().OnLButtonDown({55, 50});
    EXPECT_FALSE(doc->IsRunning());
    Scope().OnMouseMove({207, 50}, true);
    EXPECT_FALSE(Scope().GetGate().IsDragging());
    Scope().OnLButtonUp({105, 50});
    EXPECT_FALSE(Scope().GetGate().IsOn());

    // So does a move without the button (its release went elsewhere).
    Scope().OnLButtonDown({55, 50});
    Scope().OnMouseMove({70, 50}, false);
    EXPECT_FALSE(Scope().GetGate().IsDragging());

    // Releasing outside the plot sets nothing either.
    Scope().OnLButtonDown({55, 50});
    Scope().OnLButtonUp({55, 108});
    EXPECT_FALSE(Scope().GetGate().IsOn());
}

TEST(OscViewAlone, IgnoresTheMouseWithoutABlock) {
    COscView view;
    CRecordingCanvas canvas;
    view.OnDraw(canvas, kView);
    EXPECT_EQ(view.GetBlockLength(), 0.0);
    view.OnLButtonDown({55, 50});
    EXPECT_FALSE(view.GetGate().IsDragging());
}

} // namespace
