#include "ui/ControlModel.h"

#include <gtest/gtest.h>

namespace {

// A bar with one control of every kind, shaped like the analysers' and sound card's bars.
CControlModel MakeBar() {
    CControlModel bar;
    bar.Add(
        {"window", EControlKind::ComboBox, "&Window:", {"None", "TapRect", "Hanning", "hanning"}},
        {"None", 0, true, false});
    bar.Add({"xsel", EControlKind::ComboBox, "Sel:", {"Lin", "Log"}}, {"Lin", 0, true, false});
    bar.Add({"ysel", EControlKind::ComboBox, "Sel:", {"dBV", "V"}}, {"dBV", 0, true, false});
    bar.Add({"size", EControlKind::ComboBox, "FFT Size:", {"2", "4", "8", "16", "32"}},
            {"2", 0, true, false});
    bar.Add({"freqcal", EControlKind::CheckBox, "Apply Freq Cal:", {}}, {});
    bar.Add({"trglev", EControlKind::Spin, "Trg. Lev:", {}, -100, 100}, {"0", -1, true, false});
    bar.Add({"title", EControlKind::Edit, "T&itle:", {}}, {"old", -1, true, false});
    bar.Add({"save", EControlKind::PushButton, "&Save", {}}, {});
    bar.Add({"ch1lev", EControlKind::ReadOnlyText, "Ch1 Lev:", {}}, {"12.5", -1, true, false});
    bar.Add(
        {"iomode", EControlKind::RadioGroup, "I/O Mode", {"Off", "Rec. Only", "Play", "Rec./Play"}},
        {"Off", 0, true, false});
    bar.Add({"mode", EControlKind::ComboBox, "Mode", {"Plot", "Sum"}}, {"Plot", 0, false, false});
    return bar;
}

std::vector<CControlState> States(const CControlModel& bar) {
    std::vector<CControlState> states;
    for (size_t i = 0; i < bar.Count(); ++i)
        states.push_back(bar.GetState(i));
    return states;
}

TEST(ControlModel, AddRefusesEmptyAndDuplicateIds) {
    CControlModel bar = MakeBar();
    const size_t count = bar.Count();
    EXPECT_FALSE(bar.Add({"window", EControlKind::Edit, "Other", {}}));
    EXPECT_FALSE(bar.Add({"", EControlKind::Edit, "Nameless", {}}));
    EXPECT_EQ(bar.Count(), count);
    EXPECT_TRUE(bar.Add({"extra", EControlKind::Edit, "Extra", {}}));
    EXPECT_EQ(bar.GetControl(count).id, "extra");
}

class ControlFind : public testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(ControlFind, ByIdOrNormalisedLabel) {
    const CControlModel bar = MakeBar();
    const int index = bar.Find(GetParam().first);
    if (GetParam().second == nullptr) {
        EXPECT_EQ(index, -1);
    } else {
        ASSERT_GE(index, 0);
        EXPECT_EQ(bar.GetControl(static_cast<size_t>(index)).id, GetParam().second);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ControlFind,
                         testing::Values(std::pair<const char*, const char*>{"window", "window"},
                                         std::pair<const char*, const char*>{"WINDOW", "window"},
                                         std::pair<const char*, const char*>{"Window", "window"},
                                         std::pair<const char*, const char*>{"&Window:", "window"},
                                         std::pair<const char*, const char*>{"window:", "window"},
                                         std::pair<const char*, const char*>{"title", "title"},
                                         std::pair<const char*, const char*>{"Title", "title"},
                                         std::pair<const char*, const char*>{"fft size", "size"},
                                         std::pair<const char*, const char*>{"Trg. Lev", "trglev"},
                                         std::pair<const char*, const char*>{"i/o mode", "iomode"},
                                         std::pair<const char*, const char*>{"xsel", "xsel"},
                                         // Two controls are labelled "Sel:".
                                         std::pair<const char*, const char*>{"Sel", nullptr},
                                         std::pair<const char*, const char*>{"Win", nullptr},
                                         std::pair<const char*, const char*>{"", nullptr},
                                         std::pair<const char*, const char*>{":", nullptr}));

struct CSetCase {
    const char* name;
    const char* control;
    const char* value;
    const char* id;      // expected result; empty on refusal
    const char* message; // expected message on refusal
    CControlState state; // expected state of the control afterwards
};

class ControlSet : public testing::TestWithParam<CSetCase> {};

TEST_P(ControlSet, ChangesOnlyTheNamedControl) {
    CControlModel bar = MakeBar();
    const std::vector<CControlState> before = States(bar);
    std::string message = "stale";
    const std::string id = bar.SetFromText(GetParam().control, GetParam().value, message);
    EXPECT_EQ(id, GetParam().id);
    EXPECT_EQ(message, GetParam().message);

    const int target = bar.Find(GetParam().control);
    const std::vector<CControlState> after = States(bar);
    for (size_t i = 0; i < after.size(); ++i) {
        if (static_cast<int>(i) == target)
            EXPECT_EQ(after[i], GetParam().state) << bar.GetControl(i).id;
        else
            EXPECT_EQ(after[i], before[i]) << bar.GetControl(i).id;
    }
}

const CControlState kWindowNone{"None", 0, true, false};

INSTANTIATE_TEST_SUITE_P(
    Cases, ControlSet,
    testing::Values(
        CSetCase{"ComboExact", "window", "Hanning", "window", "", {"Hanning", 2, true, false}},
        // "hanning" is an item of its own, so the exact match wins over the case-blind one.
        CSetCase{"ComboExactBeforeCaseBlind",
                 "window",
                 "hanning",
                 "window",
                 "",
                 {"hanning", 3, true, false}},
        CSetCase{"ComboCaseBlind", "Window:", "TAPRECT", "window", "", {"TapRect", 1, true, false}},
        CSetCase{"ComboIndex", "window", "1", "window", "", {"TapRect", 1, true, false}},
        CSetCase{"ComboItemBeforeIndex", "size", "4", "size", "", {"4", 1, true, false}},
        // A list of numbers takes numbers as items only: "3" is no index there, "#3" is.
        CSetCase{"NumberListRefusesIndex",
                 "size",
                 "3",
                 "",
                 "'3' is not an item of 'FFT Size': 2, 4, 8, 16, 32 (or #index)",
                 {"2", 0, true, false}},
        CSetCase{"NumberListExplicitIndex", "size", "#3", "size", "", {"16", 3, true, false}},
        CSetCase{"ExplicitIndexOutOfRange", "window", "#4", "",
                 "'#4' is not an item of 'Window': None, TapRect, Hanning, hanning (or #index)",
                 kWindowNone},
        CSetCase{
            "ComboBadItem", "window", "Blackman", "",
            "'Blackman' is not an item of 'Window': None, TapRect, Hanning, hanning (or #index)",
            kWindowNone},
        CSetCase{"ComboIndexOutOfRange", "window", "4", "",
                 "'4' is not an item of 'Window': None, TapRect, Hanning, hanning (or #index)",
                 kWindowNone},
        CSetCase{"ComboNegativeIndex", "window", "-1", "",
                 "'-1' is not an item of 'Window': None, TapRect, Hanning, hanning (or #index)",
                 kWindowNone},
        CSetCase{
            "RadioByText", "I/O Mode", "rec./play", "iomode", "", {"Rec./Play", 3, true, false}},
        CSetCase{"RadioByIndex", "iomode", "2", "iomode", "", {"Play", 2, true, false}},
        CSetCase{"CheckOn", "freqcal", "on", "freqcal", "", {"", -1, true, true}},
        CSetCase{"CheckTrue", "Apply Freq Cal", "TRUE", "freqcal", "", {"", -1, true, true}},
        CSetCase{"CheckOne", "freqcal", "1", "freqcal", "", {"", -1, true, true}},
        CSetCase{"CheckOff", "freqcal", "off", "freqcal", "", {"", -1, true, false}},
        CSetCase{"CheckBad",
                 "freqcal",
                 "maybe",
                 "",
                 "'maybe' is not a value for 'Apply Freq Cal': use 1, 0, true, false, on or off",
                 {"", -1, true, false}},
        CSetCase{"SpinInRange", "trglev", " -100 ", "trglev", "", {"-100", -1, true, false}},
        CSetCase{"SpinPlus", "trglev", "+7", "trglev", "", {"7", -1, true, false}},
        CSetCase{"SpinAbove",
                 "trglev",
                 "101",
                 "",
                 "'101' is outside -100 to 100 for 'Trg. Lev'",
                 {"0", -1, true, false}},
        CSetCase{"SpinNotNumber",
                 "trglev",
                 "5x",
                 "",
                 "'5x' is not a whole number for 'Trg. Lev'",
                 {"0", -1, true, false}},
        CSetCase{"EditTakesText",
                 "Title",
                 " any text: ok ",
                 "title",
                 "",
                 {" any text: ok ", -1, true, false}},
        CSetCase{"EditEmpty", "title", "", "title", "", {"", -1, true, false}},
        CSetCase{"ButtonPress", "save", "", "save", "", {"", -1, true, false}},
        CSetCase{
            "ReadOnly", "Ch1 Lev", "3", "", "'Ch1 Lev' is read-only", {"12.5", -1, true, false}},
        CSetCase{"Disabled", "mode", "Sum", "", "'Mode' is disabled", {"Plot", 0, false, false}},
        CSetCase{"NoSuchControl", "x", "1", "", "No control 'x'", {}},
        CSetCase{
            "Ambiguous", "Sel:", "Log", "", "'Sel:' names more than one control: xsel, ysel", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ControlModel, OwnerChangesStateAndItemsById) {
    CControlModel bar = MakeBar();
    ASSERT_NE(bar.StateById("mode"), nullptr);
    bar.StateById("mode")->enabled = true;
    bar.ControlById("mode")->items.push_back("Merge");
    std::string message;
    EXPECT_EQ(bar.SetFromText("Mode", "merge", message), "mode") << message;
    EXPECT_EQ(bar.GetState(static_cast<size_t>(bar.Find("mode"))).selection, 2);
    EXPECT_EQ(bar.StateById("nothing"), nullptr);
    EXPECT_EQ(bar.ControlById("Mode"), nullptr);
}

TEST(ControlModel, DisplayNameDropsMnemonicAndColon) {
    EXPECT_EQ(CControlModel::DisplayName("&Window:"), "Window");
    EXPECT_EQ(CControlModel::DisplayName("Trg. Lev: "), "Trg. Lev");
    EXPECT_EQ(CControlModel::DisplayName("I/O Mode"), "I/O Mode");
    EXPECT_EQ(CControlModel::DisplayName("a:b:"), "a:b");
}

TEST(ControlModel, NamelessControlIsNamedByIdInMessages) {
    CControlModel bar;
    bar.Add({"gain", EControlKind::Spin, "", {}, 0, 10});
    std::string message;
    EXPECT_EQ(bar.SetFromText("gain", "11", message), "");
    EXPECT_EQ(message, "'11' is outside 0 to 10 for 'gain'");
}

} // namespace
