// A SoundIO step that waits for its card answers "pending" and is asked again on the next slice;
// nothing waits inside a step, so every command the user may give meanwhile (Close, Quit, a
// process change, new FFT options, Stop) runs between slices and finds the step at rest. Under
// the sanitizers these catch a view freed under a step that is still running.

#include "common/ModuleProcess.h"
#include "soundio/SoundIOView.h"
#include "StalledCard.h"

#include "process/ProcessSelectDlg.h"

#include <gtest/gtest.h>

namespace {

// A generator feeding a SoundIO step in `mode` on the stalled card, left waiting in step 2
// (Play keeps two buffers ahead, so it waits from its third pass on).
CDspDoc* WaitingProcess(CModuleProcess& t, const char* mode) {
    CDspDoc* doc = t.Create({"Signal Generator", "SoundIO"}, 1024, 48000);
    if (!doc) return nullptr;
    t.Set({std::string("2:mode=") + mode, "2:rate=48000"});
    if (!doc->OnEditRun()) return nullptr;
    for (int slice = 0; slice < 8 && !doc->IsStepPending(); ++slice)
        t.Loop().Slice();
    return doc->IsStepPending() ? doc : nullptr;
}

// Each I/O mode on the stalled card.
class PendingStep : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override { t.UseCard(&stalled); }
    CStalledCard stalled; // outlives the documents whose devices it counts
    CModuleProcess t;
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

    t.App().CloseDocument(doc);
    EXPECT_TRUE(t.Loop().Slice()) << "the other document still waits";
    EXPECT_TRUE(other->IsStepPending());
    t.App().CloseDocument(other);
    EXPECT_FALSE(t.Loop().Slice()) << "nothing is left to run";
    EXPECT_EQ(stalled.open, 0) << "every device is closed with its document";
    EXPECT_TRUE(t.TakeShown().empty());
}

TEST_P(PendingStep, AProcessChangeOrNewFFTOptionsWhileTheCardIsAwaitedEndTheRunCleanly) {
    CDspDoc* doc = WaitingProcess(t, mode);
    ASSERT_NE(doc, nullptr);
    CDspDoc* edited = t.App().OnChangeProcessFlow(doc, [](CProcessSelectDlg& dlg) {
        std::string error;
        return dlg.AppendModule("Oscilloscope", error) && dlg.OnOK(error);
    });
    ASSERT_NE(edited, nullptr);
    EXPECT_FALSE(edited->IsRunning());
    EXPECT_FALSE(edited->IsStepPending());
    EXPECT_EQ(edited->GetStepCount(), 3);
    EXPECT_EQ(stalled.open, 0) << "the replaced document's devices are closed";
    t.Loop().Slice();

    // New FFT options end the run and leave the step ready for a new one.
    CDspDoc* again = WaitingProcess(t, mode);
    ASSERT_NE(again, nullptr);
    t.SetFFTOptions({2048, {}});
    EXPECT_FALSE(again->IsRunning());
    EXPECT_FALSE(again->IsStepPending());
    EXPECT_EQ(stalled.open, 0);
    t.UseCard(nullptr);
    EXPECT_TRUE(t.Run(2)) << ::testing::PrintToString(t.TakeShown());
    EXPECT_EQ(again->GetCurrentList()->GetSize(0), 2048);
}

// Stop pressed while the step waits ends the pass without a message; the next run starts afresh.
TEST_P(PendingStep, StopWhileTheCardIsAwaitedEndsThePassQuietly) {
    CDspDoc* doc = WaitingProcess(t, mode);
    ASSERT_NE(doc, nullptr);
    const int passes = doc->GetPassCount();
    doc->OnEditStop();
    EXPECT_FALSE(doc->IsStepPending());
    EXPECT_TRUE(t.TakeShown().empty());
    EXPECT_EQ(stalled.open, 0) << "the devices are closed";
    EXPECT_EQ(doc->GetPassCount(), passes) << "the stopped pass is not counted as done";
    t.UseCard(nullptr);
    EXPECT_TRUE(t.Run(1)) << ::testing::PrintToString(t.TakeShown());
}

// The xruns and lost input the devices report show in the status line; a device that failed
// for good (its server went away) ends the wait at once with its reason, time limit or not.
TEST_P(PendingStep, ADevicesCountsShowAndItsFailureEndsTheWaitAtOnce) {
    CDspDoc* doc = WaitingProcess(t, mode);
    ASSERT_NE(doc, nullptr);
    stalled.xruns = 2;
    stalled.lostFrames = 1;
    const bool records = std::string(mode) != "Play";
    EXPECT_EQ(t.Step(2).GetRunWarning(), records ? "2 xruns; 1 sample lost" : "2 xruns");
    stalled.failure = "The server stopped";
    t.Loop().Slice();
    EXPECT_FALSE(doc->IsRunning());
    EXPECT_EQ(t.TakeShown(), std::vector<std::string>{
                                 "Error Detected In\r\nStep: 2 SoundIO\r\nThe server stopped"});
    // The run's counts stay with the step after its devices closed.
    EXPECT_EQ(stalled.open, 0);
    EXPECT_EQ(t.Step(2).GetRunWarning(), records ? "2 xruns; 1 sample lost" : "2 xruns");
}

INSTANTIATE_TEST_SUITE_P(Modes, PendingStep, testing::Values("Rec. Only", "Play", "Rec./Play"));

TEST(PendingStepRun, AStepIsAskedAgainUntilItsBufferComesAndOnlyThenTheRunMovesOn) {
    CModuleProcess t(CleanModel(40));
    CDspDoc* doc = t.Create({"Signal Generator", "SoundIO", "Oscilloscope"}, 1024, 48000);
    ASSERT_NE(doc, nullptr);
    t.Set({"2:mode=Rec./Play", "2:rate=48000"});
    ASSERT_TRUE(doc->OnEditRun());
    int slices = 0;
    int pending = 0;
    while (doc->GetPassCount() == 1 && doc->IsRunning() && slices < 50) {
        EXPECT_TRUE(t.Loop().Slice());
        ++slices;
        if (doc->IsStepPending()) {
            ++pending;
            EXPECT_EQ(doc->GetCurrentStep(), 2) << "only the waiting step is asked again";
        }
    }
    EXPECT_EQ(doc->GetPassCount(), 2) << ::testing::PrintToString(t.TakeShown());
    // The first pass primes both directions with a silent exchange, then exchanges the block:
    // each is handed over in one slice and completed in the next.
    EXPECT_EQ(pending, 2);
    EXPECT_EQ(slices, 3 + pending);
}

// A card that never completes a buffer fails the pass within the limit: the block (21 ms) or the
// exchange (0.42 s) plus two seconds of grace, a quarter second a round. Record+Play waits for
// both directions; the message names the one still owing its buffer, not always the input.
TEST(PendingStepRun, AStalledCardFailsThePassInTimeNamingTheDirectionStillOwingItsBuffer) {
    const std::tuple<const char*, bool, bool, const char*> cases[] = {
        {"Rec. Only", false, false, "Stalled Input Device"},
        {"Rec./Play", true, false, "Stalled Output Device"},
        {"Rec./Play", false, true, "Stalled Input Device"}};
    for (const auto& [mode, inputAnswers, outputAnswers, owing] : cases) {
        SCOPED_TRACE(std::string(mode) + (inputAnswers ? ", input answers" : "") +
                     (outputAnswers ? ", output answers" : ""));
        CStalledCard card;
        card.inputAnswers = inputAnswers;
        card.outputAnswers = outputAnswers;
        CModuleProcess t;
        t.UseCard(&card);
        double now = 0.0;
        t.Audio().GetEventPump().SetTimeSource([&now] { return now += 0.25; });
        ASSERT_NE(t.Create({"Signal Generator", "SoundIO"}, 1024, 48000), nullptr);
        t.Set({std::string("2:mode=") + mode, "2:rate=48000"});
        EXPECT_FALSE(t.Run(1));
        const std::vector<std::string> messages = t.TakeShown();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find(std::string("Step: 2 SoundIO\r\n") + owing +
                                   "\r\nNo Buffer Returned Within"),
                  std::string::npos)
            << messages[0];
        EXPECT_LT(now, 3.0);
        EXPECT_EQ(card.opened, std::string(mode) == "Rec. Only" ? 1 : 2);
        EXPECT_EQ(card.open, 0) << "the devices are closed";
        t.Audio().GetEventPump().SetTimeSource(nullptr);
    }
}

} // namespace

namespace {
// Each application reaches only the devices its host handed it: a card stalled in one leaves a
// run in another untouched (one program-wide set of devices would hand both the stalled card).
TEST(AppServices, TwoApplicationsNeverShareTheirSoundDevices) {
    CStalledCard stalled;
    CModuleProcess waiting;
    CModuleProcess running;
    waiting.UseCard(&stalled);
    ASSERT_NE(WaitingProcess(waiting, "Rec./Play"), nullptr);
    CDspDoc* doc = running.Create({"Signal Generator", "SoundIO"}, 1024, 48000);
    ASSERT_NE(doc, nullptr);
    running.Set({"2:mode=Rec./Play", "2:rate=48000"});
    EXPECT_TRUE(running.Run(3));
    EXPECT_EQ(doc->GetPassCount(), 4);
    EXPECT_TRUE(running.TakeShown().empty());
    EXPECT_GT(stalled.open, 0) << "the other application's devices are on the stalled card";
}
} // namespace
