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

// The control's state afterwards, then the message of a refusal (none when it is taken).
struct CSetCase {
    const char* name;
    const char* control;
    const char* value;
    CControlState state;
    const char* message;
};

// A list of numbers takes numbers as items only: "3" is no index there, "#3" is; "hanning" is
// an item of its own, so the exact match wins over the case-blind one.
const CSetCase kSets[] = {
    {"ComboCaseBlind", "Window:", "TAPRECT", {"TapRect", 1, true, false}, ""},
    {"ComboExactBeforeCaseBlind", "window", "hanning", {"hanning", 3, true, false}, ""},
    {"NumberListRefusesIndex",
     "size",
     "3",
     {"2", 0, true, false},
     "'3' is not an item of 'FFT Size': 2, 4, 8, 16, 32 (or #index)"},
    {"NumberListExplicitIndex", "size", "#3", {"16", 3, true, false}, ""},
    {"ComboBadItem",
     "window",
     "Blackman",
     {"None", 0, true, false},
     "'Blackman' is not an item of 'Window': None, TapRect, Hanning, hanning (or #index)"},
    {"RadioByText", "I/O Mode", "rec./play", {"Rec./Play", 3, true, false}, ""},
    {"CheckOn", "freqcal", "on", {"", -1, true, true}, ""},
    {"CheckBad",
     "freqcal",
     "maybe",
     {"", -1, true, false},
     "'maybe' is not a value for 'Apply Freq Cal': use 1, 0, true, false, on or off"},
    {"SpinAbove",
     "trglev",
     "101",
     {"0", -1, true, false},
     "'101' is outside -100 to 100 for 'Trg. Lev'"},
    {"ReadOnly", "Ch1 Lev", "3", {"12.5", -1, true, false}, "'Ch1 Lev' is read-only"},
    {"Disabled", "mode", "Sum", {"Plot", 0, false, false}, "'Mode' is disabled"},
    {"NoSuchControl", "x", "1", {}, "No control 'x'"},
    {"Ambiguous", "Sel:", "Log", {}, "'Sel:' names more than one control: xsel, ysel"}};

TEST(ControlSet, ChangesOnlyTheNamedControl) {
    for (const CSetCase& c : kSets) {
        CControlModel bar = MakeBar();
        const std::vector<CControlState> before = States(bar);
        std::string message = "stale";
        const int target = bar.Find(c.control);
        const std::string id = bar.SetFromText(c.control, c.value, message);
        EXPECT_EQ(id, *c.message ? "" : bar.GetControl(size_t(target)).id) << c.name;
        EXPECT_EQ(message, c.message) << c.name;
        const std::vector<CControlState> after = States(bar);
        for (size_t i = 0; i < after.size(); ++i)
            EXPECT_EQ(after[i], int(i) == target ? c.state : before[i])
                << c.name << ": " << bar.GetControl(i).id;
    }
}

} // namespace
