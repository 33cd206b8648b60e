// The analyser's Ref edits: what they keep and what they refuse.
#include "SpecFixture.h"

namespace {

class SpecView : public SpecFixture {
protected:
    void SetUp() override { Make(1024, 48000.0); }
    const CControlState& State(const std::string& id) { return ControlState(Analyser(), id); }
};

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
