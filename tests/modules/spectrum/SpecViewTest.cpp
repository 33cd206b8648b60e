// The analyser's controls: the frequency labels, the start/stop rules, the Y axis choices with
// their references, the Ref edits, the scale list and the right-button menu.
#include "SpecFixture.h"
#include "common/CaseName.h"

namespace {

using Items = std::vector<std::string>;

class SpecView : public SpecFixture {
protected:
    void SetUp() override { Make(1024, 48000.0); }
    const CControlState& State(const std::string& id) { return ControlState(Analyser(), id); }
    void Press(const std::string& id, int times) {
        for (int i = 0; i < times; ++i)
            Set({id});
    }
};

TEST_F(SpecView, StartAndStopNeverCrossAndGiveTheBins) {
    const std::pair<const char*, int> presses[] = {{"startup", 40}, {"stopdn", 5},  {"startdn", 40},
                                                   {"stopdn", 40},  {"startup", 3}, {"stopup", 40}};
    const std::pair<int, int> positions[] = {{31, 32}, {31, 32}, {0, 32}, {0, 1}, {0, 1}, {0, 32}};
    for (size_t i = 0; i < 6; ++i) {
        Press(presses[i].first, presses[i].second);
        EXPECT_EQ(Analyser().GetStartPosition(), positions[i].first) << i;
        EXPECT_EQ(Analyser().GetStopPosition(), positions[i].second) << i;
    }
    Press("startup", 2);
    Press("stopdn", 16);
    EXPECT_EQ(Analyser().GetStartBin(), 2 * 1024 / 64.0);
    EXPECT_EQ(Analyser().GetStopBin(), 16 * 1024 / 64.0);
    EXPECT_EQ(State("start").text, "1500Hz");
    EXPECT_EQ(State("stop").text, "12000Hz");
    EXPECT_EQ(SettingOf(Analyser(), "Start"), "1500Hz");
    // A new X axis choice resets both.
    Set({"xaxis=Log10."});
    EXPECT_EQ(Analyser().GetStartPosition(), 0);
    EXPECT_EQ(Analyser().GetStopPosition(), 32);
}

struct CYSelectCase {
    const char* name;
    std::string item;
    double ref;
    std::string refText, unit;
    bool refsEnabled;
    std::string scale;
};

class SpecYSelect : public SpecView, public testing::WithParamInterface<CYSelectCase> {};

TEST_P(SpecYSelect, SetsReferencesUnitAndScaleList) {
    const CYSelectCase& c = GetParam();
    Set({"ref1=123", "ref2=456", "yaxis=" + c.item});
    EXPECT_EQ(Analyser().GetRef1(), c.ref);
    EXPECT_EQ(Analyser().GetRef2(), c.ref);
    for (const char* ref : {"ref1", "ref2"}) {
        EXPECT_EQ(State(ref).text, c.refText);
        EXPECT_EQ(State(ref + std::string("unit")).text, c.unit);
        EXPECT_EQ(State(ref).enabled, c.refsEnabled);
    }
    EXPECT_EQ(State("scale").text, c.scale);
    EXPECT_EQ(SettingOf(Analyser(), "Y scale"), c.scale);
    std::string message;
    EXPECT_EQ(Analyser().SetControl("Ref1:", "5", message), c.refsEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Types, SpecYSelect,
    testing::Values(CYSelectCase{"SPL", "dBVSPL", 1.0, "  1", "V", true, "10dBVpkSPL/Div"},
                    CYSelectCase{"Impedance", "| Z |", 10.0, " 10", "Ohm", true, " 5.0ohms/Div"},
                    CYSelectCase{"THD", "THDVpk", 0.0, "  0", "Hz", true, "500 mVpk/Div"},
                    CYSelectCase{"Degrees", "Degrees", 1.0, "  1", "", false, "45\u00B0/Div"}),
    CaseName());

// The edit keeps the user's spelling (its first 15 characters) while it means the reference; a
// text without a finite number is refused with the reason and the edit shows the reference.
TEST_F(SpecView, RefEditKeepsTheUsersSpellingWhileItMeansTheReference) {
    Set({"ref1=1000.00000000001"});
    EXPECT_EQ(Analyser().GetRef1(), 1000.0);
    EXPECT_EQ(State("ref1").text, "1000.0000000000");
    Set({"ref2=2500"});
    for (const char* bad : {"nan", "inf", "1e999", "-1e999"}) {
        std::string message;
        EXPECT_FALSE(Analyser().SetControl("ref2", bad, message)) << bad;
        EXPECT_EQ(message, "Ref2: \"" + std::string(bad) + "\" is not a finite number");
        EXPECT_EQ(Analyser().GetRef2(), 2500.0);
        EXPECT_EQ(State("ref2").text, "2500");
    }
}

} // namespace
