// The channel bars in the module's control model: the numeric-edit rule, the level's range and
// what a change does to the run.
#include "Generator.h"
#include "common/CaseName.h"

namespace {

using Items = std::vector<std::string>;

struct CEdit {
    const char* name;
    std::string id, text;
    bool accepted;
    double stored; // the field afterwards
    std::string shown;
};

class NumericEdits : public testing::TestWithParam<CEdit> {};

TEST_P(NumericEdits, OnlyNumericCharactersAreStored) {
    const CEdit& e = GetParam();
    CModuleProcess p;
    MakeGenerators(p, 1024, 96000.0);
    p.Doc().SetModifiedFlag(false);
    std::string message;
    EXPECT_EQ(p.Step(1).SetControl(e.id, e.text, message), e.accepted) << message;
    const CSigGenChanDlgBar& bar = Bar(p, 1);
    const double field = e.id == "ch1.freq"         ? bar.m_frequency
                         : e.id == "ch1.pulsestart" ? bar.m_pulseStart
                         : e.id == "ch1.sweepstart" ? bar.m_sweepStart
                                                    : bar.m_sweepTime;
    EXPECT_EQ(field, e.stored);
    EXPECT_EQ(ControlState(p.Step(1), e.id).text, e.shown);
    EXPECT_EQ(p.Doc().IsModified(), e.accepted);
    EXPECT_EQ(p.TakeMessages(),
              e.accepted ? Items{} : Items{"Edit control characters must be numeric"});
}

INSTANTIATE_TEST_SUITE_P(
    Edits, NumericEdits,
    testing::Values(CEdit{"TwoDigitsAndX", "ch1.freq", "12x", false, 1031.25, "0.0"},
                    CEdit{"FrequencyBeforeASpace", "ch1.freq", "1000 Hz", true, 1000.0, "1000.00 "},
                    CEdit{"CommaEndsTheNumber", "ch1.freq", "1,5", true, 1.0, "1.00    "},
                    CEdit{"Exponent", "ch1.sweepstart", "2E3", true, 2000.0, "2000.000000"},
                    CEdit{"SpaceInATime", "ch1.pulsestart", "0.001 s", false, 0.0, "0.0"},
                    CEdit{"LetterInATime", "ch1.sweeptime", "1.5s", false, 0.02322, "0.0"}),
    CaseName());

// Each channel's bar as the desktop shows it: the wave, then the run button, then the pulse and
// the sweep parameters, which the stored record keeps in another order, and last the crest
// factor of pink noise.
TEST(GeneratorBar, ShowsEachChannelsControlsInTheDesktopsOrder) {
    CModuleProcess p;
    MakeGenerators(p, 64, 6400.0);
    std::vector<std::string> ids;
    for (size_t i = 0; i < p.Step(1).GetControls().Count(); ++i)
        ids.push_back(p.Step(1).GetControls().GetControl(i).id);
    Items expected;
    for (const char* channel : {"ch1.", "ch2."})
        for (const char* id :
             {"channel", "wave", "freq", "level", "mode", "reset", "pulsestart", "pulsestop",
              "pulseperiod", "sweepstart", "sweepstop", "sweeptime", "crest"})
            expected.push_back(std::string(channel) + id);
    EXPECT_EQ(ids, expected);
}

} // namespace
