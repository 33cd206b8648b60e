// The SoundIO step's rate against the process's: a new step plays and records at the process's
// rate and follows it until a rate is chosen; a rate that differs is named on the status line.
#include "SoundIOTestProcess.h"

#include "process/FFTOptsDlg.h"

#include <gtest/gtest.h>

namespace {

void SetProcessRate(CDspDoc& doc, int rate) {
    CFFTOptions options;
    doc.FillFFTOptions(options);
    options.m_sampleRate = std::to_string(rate);
    std::string message;
    ASSERT_TRUE(doc.ApplyFFTOptions(options, message)) << message;
}

TEST(SoundIORate, ANewStepTakesTheProcessRateAndAChosenOneThatDiffersSaysSo) {
    CSoundIOTestApp t(CleanModel(0));
    CDspDoc* doc = t.NewProcess({"Signal Generator", "SoundIO"}, 1024, 48000);
    ASSERT_TRUE(doc);
    const auto& step = StepAs<CSoundIOView>(*doc, 1);
    const auto status = [&step] { return step.UpdateStatusPane(0, CColour{0, 0, 0}).text; };
    EXPECT_EQ(step.GetSampleRate(), 48000);
    EXPECT_EQ(status().find("process rate"), std::string::npos) << status();
    SetProcessRate(*doc, 44100);
    EXPECT_EQ(step.GetSampleRate(), 44100);
    // Between two rates of the card's list, the nearer one.
    SetProcessRate(*doc, 47000);
    EXPECT_EQ(step.GetSampleRate(), 48000);

    t.Set(*doc, {"2:rate=44100"});
    SetProcessRate(*doc, 48000);
    EXPECT_EQ(step.GetSampleRate(), 44100);
    const std::string warning =
        "Rate 44100 Hz is not the process rate 48000 Hz: frequencies come out scaled by 0.91875";
    EXPECT_TRUE(status().ends_with("  " + warning)) << status();
    const std::string generator = StepAs<CDspView>(*doc, 0).UpdateStatusPane(0, CColour{}).text;
    EXPECT_EQ(generator.find("process rate"), std::string::npos) << generator;
}

} // namespace
