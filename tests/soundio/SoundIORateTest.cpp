// The SoundIO step's rate against the process's: a new step plays and records at the process's
// rate and follows it until a rate is chosen; a rate that differs is named on the status line.
#include "common/ModuleProcess.h"
#include "soundio/SoundIOView.h"

#include <gtest/gtest.h>

namespace {

TEST(SoundIORate, ANewStepTakesTheProcessRateAndAChosenOneThatDiffersSaysSo) {
    CModuleProcess t(CleanModel(0));
    CDspDoc* doc = t.Create({"Signal Generator", "SoundIO"}, 1024, 48000);
    ASSERT_TRUE(doc);
    const auto& step = t.Step<CSoundIOView>(2);
    const auto status = [&step] { return step.UpdateStatusPane(0, CColour{0, 0, 0}).text; };
    EXPECT_EQ(step.GetSampleRate(), 48000);
    EXPECT_EQ(status().find("process rate"), std::string::npos) << status();
    t.SetFFTOptions({{}, 44100});
    EXPECT_EQ(step.GetSampleRate(), 44100);
    // Between two rates of the card's list, the nearer one.
    t.SetFFTOptions({{}, 47000});
    EXPECT_EQ(step.GetSampleRate(), 48000);

    t.Set({"2:rate=44100"});
    t.SetFFTOptions({{}, 48000});
    EXPECT_EQ(step.GetSampleRate(), 44100);
    const std::string warning =
        "Rate 44100 Hz is not the process rate 48000 Hz: frequencies come out scaled by 0.91875";
    EXPECT_TRUE(status().ends_with("  " + warning)) << status();
    const std::string generator = t.Step<CDspView>(1).UpdateStatusPane(0, CColour{}).text;
    EXPECT_EQ(generator.find("process rate"), std::string::npos) << generator;
}

} // namespace
