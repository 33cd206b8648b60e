// The run loop of a process document: starting, one step per idle slice, pausing, stopping, the
// block lists handed from step to step, and the messages a failing step shows.
#include "common/TestModules.h"

#include "process/DspDoc.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Log = std::vector<std::string>;

class RunLoop : public testing::Test {
protected:
    CModuleProcess t{TestRegistry()};
};

TEST_F(RunLoop, StartsEveryStepThenRunsOneStepPerSliceAndCountsPasses) {
    CDspDoc* doc = NewTestProcess(t, {"Signal Generator", "SoundIO"});
    EXPECT_FALSE(t.Slice()) << "an idle document does nothing";
    ASSERT_TRUE(doc->OnEditRun());
    EXPECT_EQ(CallLog(), (Log{"params1", "params2", "start1", "start2"}));
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(ModuleAt(*doc, i).m_stepSeenAtStart, int(i) + 1);
        EXPECT_TRUE(ModuleAt(*doc, i).m_startingSeen);
    }
    CallLog().clear();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(t.Slice());
    EXPECT_EQ(CallLog(), (Log{"process1", "process2", "process1"}));
    EXPECT_EQ(doc->GetPassCount(), 2);
    EXPECT_EQ(doc->GetCurrentStep(), 2);
    CallLog().clear();
    EXPECT_TRUE(doc->OnEditRun()) << "run while running changes nothing";
    EXPECT_TRUE(CallLog().empty());
    EXPECT_EQ(doc->GetCurrentStep(), 2);
}

TEST_F(RunLoop, PauseOnRecordCountOnePausesAfterEachPass) {
    CDspDoc* doc = NewTestProcess(t, {"Signal Generator", "SoundIO", "Oscilloscope"});
    doc->SetPauseOnRecordCount(1);
    ASSERT_TRUE(doc->OnEditRun());
    CallLog().clear();
    while (t.Slice()) {}
    EXPECT_TRUE(doc->IsPaused());
    EXPECT_FALSE(t.Slice()) << "a paused run does nothing";
    EXPECT_EQ(CallLog(), (Log{"process1", "process2", "process3"}));
    EXPECT_EQ(doc->GetPassCount(), 1);

    CallLog().clear();
    ASSERT_TRUE(doc->OnEditRun());
    EXPECT_TRUE(CallLog().empty()) << "resuming does not start the modules again";
    while (t.Slice()) {}
    EXPECT_EQ(CallLog(), (Log{"process1", "process2", "process3"}));
    EXPECT_TRUE(doc->IsPaused());
}

TEST_F(RunLoop, PauseOnEveryModuleProcessesOneStepPerRun) {
    CDspDoc* doc = NewTestProcess(t, {"Signal Generator", "SoundIO"});
    EXPECT_FALSE(doc->PauseProcess()) << "nothing runs";
    EXPECT_FALSE(doc->IsPaused());
    doc->SetPauseOnEveryModule(true);
    ASSERT_TRUE(doc->OnEditRun());
    CallLog().clear();
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(t.Slice());
        EXPECT_TRUE(doc->IsPaused());
        EXPECT_EQ(doc->GetCurrentStep(), 2 - i % 2) << "the step that runs next";
        EXPECT_FALSE(t.Slice());
        doc->OnEditRun();
    }
    EXPECT_EQ(CallLog(), (Log{"process1", "process2", "process1"}));
    EXPECT_EQ(doc->GetPassCount(), 1);
}

TEST_F(RunLoop, AFailingStepEndsEveryModuleAndShowsItsError) {
    CDspDoc* doc = NewTestProcess(t, {"Signal Generator", "SoundIO", "Oscilloscope"});
    ModuleAt(*doc, 1).m_failAtCall = 1;
    ASSERT_TRUE(doc->OnEditRun());
    CallLog().clear();
    EXPECT_TRUE(t.Slice());
    EXPECT_FALSE(t.Slice());
    EXPECT_EQ(CallLog(), (Log{"process1", "process2", "end1", "end2", "end3"}));
    EXPECT_FALSE(doc->IsRunning());
    EXPECT_EQ(t.Session().GetMessages(),
              (Log{"Error Detected In\r\nStep: 2 SoundIO\r\nTest failure"}));
    ASSERT_TRUE(doc->OnEditRun());
    EXPECT_EQ(doc->GetCurrentStep(), 1);
    // In the calibration document errors are silent but still stop the run.
    doc->SetCalibrationDocument(true);
    ModuleAt(*doc, 1).m_failAtCall = 2;
    EXPECT_EQ(t.Session().Run(2), 0);
    EXPECT_FALSE(doc->IsRunning());
    EXPECT_TRUE(t.Session().GetMessages().empty());
}

// A Stop pressed while a step waits ends the run from inside the step: it stays ended there.
TEST_F(RunLoop, AStopFromInsideAStepEndsTheRunWhereItLeftIt) {
    CDspDoc* doc = NewTestProcess(t, {"Signal Generator", "SoundIO"});
    ModuleAt(*doc, 0).m_stopAtCall = 1;
    ASSERT_TRUE(doc->OnEditRun());
    CallLog().clear();
    EXPECT_FALSE(t.Slice());
    EXPECT_FALSE(doc->IsRunning());
    EXPECT_EQ(doc->GetCurrentStep(), 3);
    EXPECT_EQ(CallLog(), (Log{"process1", "end1", "end2"}));
    EXPECT_TRUE(t.Session().GetMessages().empty());
}

TEST_F(RunLoop, ARefusedStartEndsEveryModuleAndDoesNotRun) {
    CDspDoc* doc = NewTestProcess(t, {"Signal Generator", "SoundIO", "Oscilloscope"});
    ModuleAt(*doc, 1).m_refuseStart = true;
    EXPECT_FALSE(doc->OnEditRun());
    EXPECT_EQ(CallLog(),
              (Log{"params1", "params2", "params3", "start1", "start2", "end1", "end2", "end3"}));
    EXPECT_FALSE(doc->IsRunning());
    EXPECT_FALSE(doc->IsStarting());
    EXPECT_FALSE(t.Slice());
}

TEST_F(RunLoop, StepsHandTheirListsOnAndStepOnePublishesTheReference) {
    CDspDoc* doc = NewTestProcess(t, {"Signal Generator", "SoundIO"});
    ASSERT_TRUE(doc->OnEditRun());
    CTestModuleView& first = ModuleAt(*doc, 0);
    CTestModuleView& second = ModuleAt(*doc, 1);
    EXPECT_EQ(doc->GetReferenceList(), first.GetThirdList());
    t.Slice();
    t.Slice();
    EXPECT_EQ(first.m_inputSeen, first.GetWorkingList())
        << "after ShowCurrentParams step 1 reads its own list";
    EXPECT_EQ(second.m_inputSeen, first.GetWorkingList());
    t.Slice();
    EXPECT_EQ(first.m_inputSeen, second.GetWorkingList())
        << "a new pass reads what the last step left";
    EXPECT_EQ(second.GetWorkingList()->GetProcessDescription(), "Step: 2 SoundIO");
    EXPECT_EQ(doc->GetProcessDesc(doc->GetView(1)), "Step: 2 SoundIO");
}

// A one-step process hands its own list to itself; replacing that list mid-run must not free
// what the document hands on (the sanitizer build reads it).
TEST_F(RunLoop, AModuleReplacingItsListsMidRunLeavesTheHandedOnListIntact) {
    CDspDoc* doc = NewTestProcess(t, {"Signal Generator"});
    CTestModuleView& step = ModuleAt(*doc, 0);
    const int32_t size = step.GetWorkingList()->GetSize(0);
    step.m_reshapeAtCall = 2;
    ASSERT_TRUE(doc->OnEditRun());
    t.Slice();
    t.Slice();
    EXPECT_EQ(step.m_inputSize, size) << "the list handed on before the change";
    t.Slice();
    EXPECT_EQ(step.m_inputSize, size / 2);
    doc->OnEditStop();
}

TEST_F(RunLoop, SettingsRefreshGivesEveryModuleOneUnstartedCycle) {
    CDspDoc* doc = NewTestProcess(t, {"Signal Generator", "SoundIO"});
    doc->ShowCurrentParams();
    EXPECT_EQ(CallLog(), (Log{"end1", "end2", "params1", "params2", "setup1", "setup2", "start1",
                              "start2", "end1", "end2"}));
    EXPECT_FALSE(ModuleAt(*doc, 0).m_startingSeen);
    EXPECT_FALSE(doc->IsRunning());
}

TEST_F(RunLoop, FFTOptionsRebuildBlockListsOnlyWhenSizeOrRateChange) {
    CDspDoc* doc = NewTestProcess(t, {"Signal Generator", "SoundIO"});
    CFFTOptions options;
    doc->FillFFTOptions(options);
    EXPECT_EQ(options.m_resolution, "93.75 Hz");
    const CDSPFFTDataList* before = ModuleAt(*doc, 1).GetWorkingList();
    std::string message;
    options.m_pauseOnRecord = "4";
    ASSERT_TRUE(doc->ApplyFFTOptions(options, message));
    EXPECT_EQ(doc->GetPauseOnRecordCount(), 4);
    EXPECT_EQ(ModuleAt(*doc, 1).GetWorkingList(), before);
    EXPECT_EQ(std::count(CallLog().begin(), CallLog().end(), "params1"), 0);

    options.m_sampleRate = "48000";
    options.m_size = "4096";
    ASSERT_TRUE(doc->ApplyFFTOptions(options, message));
    EXPECT_EQ(ModuleAt(*doc, 1).GetWorkingList()->GetSampleRate(0), 48000.0);
    EXPECT_EQ(doc->GetDocumentList()->GetSampleRate(0), 48000.0);
    EXPECT_EQ(ModuleAt(*doc, 0).GetDisplayList()->GetSize(0), 4096);
    doc->FillFFTOptions(options);
    EXPECT_EQ(options.m_resolution, "11.72 Hz");

    for (const char* size : {"1000", "0", "262144", "x"}) {
        CFFTOptions bad = options;
        bad.m_size = size;
        EXPECT_FALSE(doc->ApplyFFTOptions(bad, message)) << size;
        EXPECT_EQ(message, "FFT size must be a power of two from 2 to 131072");
    }
    options.m_sampleRate = "-5";
    EXPECT_FALSE(doc->ApplyFFTOptions(options, message));
    EXPECT_EQ(doc->GetSize(), 4096);
    EXPECT_EQ(doc->GetSampleRate(), 48000.0);
}

TEST_F(RunLoop, AppIdleDrivesEveryRunningDocument) {
    CDspDoc* a = NewTestProcess(t, {"Signal Generator"});
    CDspDoc* b = NewTestProcess(t, {"SoundIO"});
    EXPECT_FALSE(t.Slice());
    a->OnEditRun();
    b->OnEditRun();
    CallLog().clear();
    EXPECT_TRUE(t.Slice());
    EXPECT_EQ(CallLog(), (Log{"process1", "process1"}));
    a->PauseProcess();
    EXPECT_TRUE(t.Slice());
    b->OnEditStop();
    EXPECT_FALSE(t.Slice());
}

TEST_F(RunLoop, StatusPaneShowsTheStepThatRunsNextInTheRunStateColour) {
    setenv("TZ", "UTC", 1);
    tzset();
    CDspDoc* doc = NewTestProcess(t, {"Signal Generator", "SoundIO"});
    const CColour black{0, 0, 0};
    const CStatusPane idle = doc->GetView(0)->UpdateStatusPane(1700000000, black);
    EXPECT_EQ(idle.text, "Step: 1 Signal Generator Data Type:1 FFT Size:1024 Sample Rate: 96000  "
                         "22:13:20 14 Nov 23");
    EXPECT_EQ(idle.colour, (CColour{0, 0, 204}));
    doc->OnEditRun();
    t.Slice();
    EXPECT_EQ(doc->GetView(1)->UpdateStatusPane(0, black).colour, (CColour{0, 255, 0}));
    EXPECT_EQ(doc->GetView(0)->UpdateStatusPane(0, black).colour, (CColour{0, 0, 204}));
    doc->PauseProcess();
    EXPECT_EQ(doc->GetView(1)->UpdateStatusPane(0, black).colour, (CColour{255, 0, 0}));
}

// A plug-in module: the entry point answers by operation name and logs what the document asks.
struct CPlugInState {
    Log calls;
    bool refuseStart = false;
    bool failProcess = false;
} g_plugIn;

const CModuleClass kPlugInClass{"Tape Echo", []() -> CDspView* { return new CDspView; }};

void* TapeEchoEntry(const char* operation, void* view, void*) {
    static char name[] = "Tape Echo";
    static int token = 1;
    const std::string op = operation;
    if (op == "GetModuleName") return name;
    if (op == "GetRunTimeClass") return const_cast<CModuleClass*>(&kPlugInClass);
    g_plugIn.calls.push_back(op + (view ? "" : " without view"));
    if (op == "StartRun") return g_plugIn.refuseStart ? &token : nullptr;
    if (op == "ProcessData") return g_plugIn.failProcess ? nullptr : &token;
    return nullptr;
}

TEST_F(RunLoop, PlugInStepsAreDrivenThroughTheirEntryPoint) {
    t.App().AddPlugIn({"Tape Echo", &TapeEchoEntry});
    g_plugIn = {};
    CDspDoc* doc = NewTestProcess(t, {"Signal Generator", "Tape Echo"});
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->GetPlugIn(0), nullptr);
    EXPECT_EQ(doc->GetPlugIn(1), &TapeEchoEntry);
    g_plugIn.calls.clear();
    EXPECT_EQ(t.Session().Run(1), 1);
    EXPECT_EQ(g_plugIn.calls, (Log{"ShowCurrentParams", "StartRun", "ProcessData", "EndRun"}));
    g_plugIn.failProcess = true;
    EXPECT_EQ(t.Session().Run(2), 0);
    g_plugIn.refuseStart = true;
    EXPECT_FALSE(doc->OnEditRun());

    t.App().m_plugInsEnabled = false;
    std::string error;
    EXPECT_FALSE(t.App().ResolvePlan({"Tape Echo"}, {"1"}, error));
    EXPECT_EQ(error, "Step 1 uses the module \"Tape Echo\", which is not available");
}

} // namespace
