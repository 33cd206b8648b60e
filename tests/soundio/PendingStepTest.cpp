// A SoundIO step that waits for its card answers "pending" and is asked again on the next slice;
// nothing waits inside a step, so every command the user may give meanwhile (Close, Quit, a
// process change, new FFT options, Stop) runs between slices and finds the step at rest. Under
// the sanitizers these catch a view freed under a step that is still running.

#include "SoundIOTestProcess.h"
#include "StalledCard.h"

#include "process/ProcessSelectDlg.h"

#include <gtest/gtest.h>

namespace {

// A generator feeding a SoundIO step in `mode` on the stalled card, left waiting in step 2
// (Play keeps two buffers ahead, so it waits from its third pass on).
CDspDoc* WaitingProcess(CSoundIOTestApp& t, const char* mode) {
    CDspDoc* doc = t.NewProcess({"Signal Generator", "SoundIO"}, 1024, 48000);
    if (!doc) return nullptr;
    t.Set(*doc, {std::string("2:mode=") + mode, "2:rate=48000"});
    if (!doc->OnEditRun()) return nullptr;
    for (int slice = 0; slice < 8 && !doc->IsStepPending(); ++slice)
        t.loop.Slice();
    return doc->IsStepPending() ? doc : nullptr;
}

// Each I/O mode on the stalled card.
class PendingStep : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override { t.UseCard(&stalled); }
    CStalledCard stalled; // outlives the documents whose devices it counts
    CSoundIOTestApp t;
    const char* mode = GetParam();
};

TEST_P(PendingStep, ClosingTheDocumentOrQuittingWhileTheCardIsAwaitedClosesItsDevices) {
    CDspDoc* doc = WaitingProcess(t, mode);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetCurrentStep(), 2);
    EXPECT_GT(stalled.open, 0);
    // A second document waiting too: "Quit" closes both, one after the other.
    CDspDoc* other = WaitingProcess(t, mode);
    ASSERT_NE(other, nullptr);

    t.app.CloseDocument(doc);
    EXPECT_TRUE(t.loop.Slice()) << "the other document still waits";
    EXPECT_TRUE(other->IsStepPending());
    t.app.CloseDocument(other);
    EXPECT_FALSE(t.loop.Slice()) << "nothing is left to run";
    EXPECT_EQ(stalled.open, 0) << "every device is closed with its document";
    EXPECT_TRUE(t.TakeMessages().empty());
}

TEST_P(PendingStep, AProcessChangeOrNewFFTOptionsWhileTheCardIsAwaitedEndTheRunCleanly) {
    CDspDoc* doc = WaitingProcess(t, mode);
    ASSERT_NE(doc, nullptr);
    CDspDoc* edited = t.app.OnChangeProcessFlow(doc, [](CProcessSelectDlg& dlg) {
        std::string error;
        return dlg.AppendModule("Oscilloscope", error) && dlg.OnOK(error);
    });
    ASSERT_NE(edited, nullptr);
    EXPECT_FALSE(edited->IsRunning());
    EXPECT_FALSE(edited->IsStepPending());
    EXPECT_EQ(edited->GetStepCount(), 3);
    EXPECT_EQ(stalled.open, 0) << "the replaced document's devices are closed";
    t.loop.Slice();

    // New FFT options end the run and leave the step ready for a new one.
    CDspDoc* again = WaitingProcess(t, mode);
    ASSERT_NE(again, nullptr);
    CFFTOptions options;
    again->FillFFTOptions(options);
    options.m_size = "2048";
    std::string message;
    ASSERT_TRUE(again->ApplyFFTOptions(options, message)) << message;
    EXPECT_FALSE(again->IsRunning());
    EXPECT_FALSE(again->IsStepPending());
    EXPECT_EQ(stalled.open, 0);
    t.UseCard(&t.card);
    EXPECT_TRUE(t.Run(*again, 2)) << ::testing::PrintToString(t.TakeMessages());
    EXPECT_EQ(again->GetCurrentList()->GetSize(0), 2048);
}

INSTANTIATE_TEST_SUITE_P(Modes, PendingStep, testing::Values("Rec. Only", "Play", "Rec./Play"));

TEST(PendingStepRun, AStepIsAskedAgainUntilItsBufferComesAndOnlyThenTheRunMovesOn) {
    CSoundIOTestApp t(CleanModel(40));
    CDspDoc* doc = t.NewProcess({"Signal Generator", "SoundIO", "Oscilloscope"}, 1024, 48000);
    ASSERT_NE(doc, nullptr);
    t.Set(*doc, {"2:mode=Rec./Play", "2:rate=48000"});
    ASSERT_TRUE(doc->OnEditRun());
    int slices = 0;
    int pending = 0;
    while (doc->GetPassCount() == 1 && doc->IsRunning() && slices < 50) {
        EXPECT_TRUE(t.loop.Slice());
        ++slices;
        if (doc->IsStepPending()) {
            ++pending;
            EXPECT_EQ(doc->GetCurrentStep(), 2) << "only the waiting step is asked again";
        }
    }
    EXPECT_EQ(doc->GetPassCount(), 2) << ::testing::PrintToString(t.TakeMessages());
    // The first pass primes both directions with a silent exchange, then exchanges the block:
    // each is handed over in one slice and completed in the next.
    EXPECT_EQ(pending, 2);
    EXPECT_EQ(slices, 3 + pending);
}

// Record+Play waits for both directions; when one never returns its buffer the message names
// that one, not always the input.
TEST(PendingStepRun, ARecordPlayTimeOutNamesTheDirectionStillOwingItsBuffer) {
    for (const bool inputAnswers : {true, false}) {
        SCOPED_TRACE(inputAnswers ? "output stalls" : "input stalls");
        CStalledCard card;
        card.inputAnswers = inputAnswers;
        card.outputAnswers = !inputAnswers;
        CSoundIOTestApp t;
        t.UseCard(&card);
        double now = 0.0;
        t.Pump().SetTimeSource([&now] { return now += 0.25; });
        CDspDoc* doc = t.NewProcess({"Signal Generator", "SoundIO"}, 1024, 48000);
        ASSERT_NE(doc, nullptr);
        t.Set(*doc, {"2:mode=Rec./Play", "2:rate=48000"});
        EXPECT_FALSE(t.Run(*doc, 1));
        const std::vector<std::string> messages = t.TakeMessages();
        ASSERT_EQ(messages.size(), 1u);
        const std::string owing = inputAnswers ? "Stalled Output Device" : "Stalled Input Device";
        EXPECT_NE(messages[0].find(owing + "\r\nNo Buffer Returned Within"), std::string::npos)
            << messages[0];
        t.Pump().SetTimeSource(nullptr);
    }
}

} // namespace
