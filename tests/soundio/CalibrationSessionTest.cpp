// The calibration session: its rules, the refusals of a missing or misbuilt calibration process,
// and the three procedures end to end on the virtual card, measured against the card's model.
#include "common/ModuleProcess.h"
#include "soundio/SoundIOView.h"
#include "common/CaseName.h"
#include "common/TempFolder.h"

#include "base/NumberText.h"
#include "platform/FileDialog.h"
#include "soundio/CalibrationSession.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <filesystem>
#include <numbers>

namespace {

namespace fs = std::filesystem;

// The tone lies on the bin nearest 200 Hz, or one bin spacing above 200 Hz; a full scale is
// the voltage of a sample of one (no recorded level gives none, not "inf"); the procedures run
// are the selected ones and those whose group reported errors.
TEST(Calibration, ToneFullScaleAndPlanFollowTheirRules) {
    const std::tuple<double, int, double> tones[] = {
        {48000, 1024, 187.5}, {44100, 1024, 172.265625}, {48000, 64, 750.0}};
    for (const auto& [rate, size, tone] : tones)
        EXPECT_DOUBLE_EQ(CalibrationToneFrequency(rate, size), tone) << rate << " " << size;
    const std::tuple<double, int, const char*, const char*> levels[] = {
        {1.0, 50, "Vpeak", "2.0000 Vpk"},
        {1.0, 50, "Vrms", "2.8284 Vrms"},
        {0.5, -25, "Vpeak", "2.0000 Vpk"},
        {1.0, 0, "Vpeak", ""}};
    for (const auto& [user, peak, measure, text] : levels)
        EXPECT_EQ(FullScaleLevelText(user, peak, measure), text) << user << " " << peak;
    struct CPlanCase {
        const char *select, *errors;
        bool input, latency, frequency;
    };
    const CPlanCase plans[] = {
        {"Auto", "", false, true, true},
        {"Input", "", true, false, false},
        {"Latency", "", false, true, false},
        {"Frequency", "", false, false, true},
        {"Latency", "x Input Signal Levels Calibration Group y", true, true, false},
        {"Input", "Frequency Response Calibration Group", true, false, true}};
    for (const CPlanCase& c : plans) {
        CCalibration record;
        record.CalSel = c.select;
        record.ReturnedErrors = c.errors;
        const CCalibrationPlan plan = PlanCalibration(record);
        EXPECT_EQ(std::tuple(plan.input, plan.latency, plan.frequency),
                  std::tuple(c.input, c.latency, c.frequency))
            << c.select << " " << c.errors;
    }
}

/** A user's process with a SoundIO step on the virtual card, and a folder that holds the
 *  calibration process the session is to find. */
struct CCalibrationBench {
    CTempFolder folder;
    CModuleProcess t;
    CDspDoc* user = nullptr;
    CSoundIOView* owner = nullptr;

    explicit CCalibrationBench(const CDeviceModel& model = {},
                               const std::vector<std::string>& steps = {"Signal Generator",
                                                                        "SoundIO"},
                               const std::vector<std::string>& settings = {})
        : t(model) {
        user = t.Create(steps, 1024, 48000);
        std::vector<std::string> all{"2:mode=Rec./Play", "2:rate=48000"};
        all.insert(all.end(), settings.begin(), settings.end());
        t.Set(all);
        owner = &t.Step<CSoundIOView>(2);
        fs::copy_file(fs::path(AURIVO_SOURCE_DIR) / "data" / CCalibrationSession::kFileName,
                      folder.File(CCalibrationSession::kFileName));
    }
    /** A host whose every slice takes a second of the test's clock, answering the level
     *  question with `levels`. */
    CCalibrationHost TickingHost(CCalibrationLevelInput levels) {
        CCalibrationHost host;
        host.stopRequested = [this] {
            t.Clock().Advance(1);
            return false;
        };
        host.askLevels = [levels](const CCalibrationLevelInput&) { return levels; };
        return host;
    }
    /** Replaces the calibration process by one of these steps. */
    void WriteCalibrationProcess(const std::vector<std::string>& steps) {
        CDspDoc* doc = t.Create(steps, 1024, 48000);
        ASSERT_TRUE(t.Save(folder.File(CCalibrationSession::kFileName)));
        t.App().CloseDocument(doc);
    }
};

TEST(CalibrationSession, OpenRefusesAMissingOrMisbuiltProcess) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{}, "No such file or directory\ncalibration.process"}, // no calibration process at all
        {{"Signal Generator", "Signal Generator", "Oscilloscope", "Spectrum Analyzer"},
         "'%s' Step:2 is not a SoundIO module.\n Reconfigure '%s' to have SoundIO module at "
         "Step:2"},
        {{"Signal Generator", "SoundIO", "Oscilloscope"},
         "'%s' Step:4 is not a Spectrum Analyser module.\n Reconfigure '%s' to have Spectrum "
         "Analyser module at Step:4"}};
    for (const auto& [steps, message] : cases) {
        CCalibrationBench bench;
        if (steps.empty())
            fs::remove(bench.folder.File(CCalibrationSession::kFileName));
        else
            bench.WriteCalibrationProcess(steps);
        bench.t.TakeShown();
        const std::string path = bench.folder.File(CCalibrationSession::kFileName);
        CCalibrationSession session(bench.t.App(), *bench.owner);
        EXPECT_FALSE(session.Open({bench.folder.Path()}));
        const std::string expected = FormatText(message, path.c_str(), path.c_str());
        EXPECT_EQ(bench.t.TakeShown(), std::vector<std::string>{expected});
        // Nothing of the calibration process stays open.
        EXPECT_EQ(bench.t.App().GetDocuments().size(), 1u) << expected;
        EXPECT_EQ(session.GetEdited(), nullptr) << expected;
    }
}

// The model's response to a full-scale impulse at frequency f: the polynomial turns 1.0 into
// 1 + c2 + c3 + ..., then the filter and the gain.
double ModelImpulseResponse(const CDeviceModel& model, double f, double rate) {
    double shaped = 1.0;
    for (double c : model.harmonics)
        shaped += c;
    std::complex<double> h = 0.0;
    for (size_t k = 0; k < model.response.size(); ++k)
        h += model.response[k] * std::polar(1.0, -2.0 * std::numbers::pi * f * double(k) / rate);
    return shaped * model.gain * std::abs(h);
}

// The step's trigger is what the frequency procedure reads by: "Auto" finds the pulse's edge,
// "Latency" takes the latency the procedure before has just measured; both put the edge where
// the offset says.
class CalibrationAuto : public ::testing::TestWithParam<const char*> {};

TEST_P(CalibrationAuto, MeasuresTheModelsLatencyAndResponseAndOKHandsThemOver) {
    const CDeviceModel model; // the settings file's default device
    CCalibrationBench bench(model, {"Signal Generator", "SoundIO"},
                            {std::string("2:trigger=") + GetParam()});
    CCalibrationSession session(bench.t.App(), *bench.owner);
    ASSERT_TRUE(session.Open({bench.folder.Path()})) << testing::PrintToString(bench.t.TakeShown());
    ASSERT_EQ(session.GetEdited()->CalSel, "Auto");
    EXPECT_TRUE(session.Run()) << session.GetStatus();
    EXPECT_EQ(session.GetStatus(), "Frequency Calibration Complete");
    EXPECT_TRUE(session.IsParametersChanged());

    const CCalibration& edited = *session.GetEdited();
    // The pulse's edge lies the lead-in gap and the card's latency after the recording starts,
    // on both channels.
    const double latency = (CSoundIOView::kLeadInFrames + model.latency) / 48000.0;
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(edited.Latency[c].LatencyParams, FormatText("%8.8f Sec.", latency)) << c;
        EXPECT_EQ(edited.Latency[c].LatencyInputDeviceName, CVirtualCard::kDeviceName);
        EXPECT_EQ(edited.Freq[c].FreqCalParams, "Pulse");
    }

    // Single-sided amplitudes of the recorded impulse response against the model, every bin
    // between DC and half the sample rate.
    CDSPFFTDataList& response = *edited.GetFrequencyResponse();
    const int n = response.GetSize(0);
    ASSERT_EQ(n, 1024);
    double worst = 0.0;
    for (int c = 0; c < 2; ++c) {
        const double* magnitude = response.GetFreqData(c);
        for (int k = 1; k < n / 2; ++k) {
            const double truth = ModelImpulseResponse(model, k * 48000.0 / n, 48000.0);
            worst = std::max(worst, std::fabs(20.0 * std::log10(magnitude[k] * n / 2 / truth)));
        }
    }
    EXPECT_LT(worst, 0.1);
    // The inverse transform gives the impulse response back: the filter's taps through the
    // shaping and the gain, where the trigger offset put the edge.
    const double* time = response.GetTimeData(0);
    const int edge = -bench.owner->GetTriggerOffset();
    for (size_t k = 0; k < model.response.size(); ++k)
        EXPECT_NEAR(time[edge + int(k)], 1.015 * model.gain * model.response[k], 2e-3) << k;
    EXPECT_NEAR(time[edge - 1], 0.0, 2e-3);

    const std::string params = edited.Latency[0].LatencyParams;
    session.Accept();
    CCalibration& owned = *bench.owner->GetCalibration();
    EXPECT_EQ(owned.Latency[0].LatencyParams, params);
    EXPECT_EQ(owned.GetOwner(), bench.owner);
    EXPECT_EQ(bench.t.App().GetDocuments().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Calibration, CalibrationAuto, ::testing::Values("Auto", "Latency"),
                         [](const auto& info) { return std::string(info.param); });

TEST(CalibrationSession, StopBetweenSlicesAbortsTheRunAndKeepsTheOwnersRecord) {
    CCalibrationBench bench;
    int asked = 0;
    CCalibrationHost host;
    host.stopRequested = [&] { return ++asked == 3; };
    CCalibrationSession session(bench.t.App(), *bench.owner, host);
    ASSERT_TRUE(session.Open({bench.folder.Path()}));
    // The session marks the process it opened, and only that one.
    EXPECT_TRUE(session.GetCalibrationDocument()->IsCalibrationDocument());
    EXPECT_FALSE(bench.owner->GetDocument()->IsCalibrationDocument());
    EXPECT_FALSE(session.Run());
    EXPECT_EQ(session.GetStatus(), "Aborted");
    EXPECT_EQ(asked, 3);
    EXPECT_FALSE(session.GetCalibrationDocument()->IsRunning());
    // Nothing was measured: the frequency procedure never ran.
    const CCalibration& edited = *session.GetEdited();
    EXPECT_EQ(edited.Latency[0], CLatencyCal{});
    EXPECT_EQ(edited.Freq[0], CFreqCal{});
    session.Cancel();
    EXPECT_EQ(bench.owner->GetCalibration()->Latency[0], CLatencyCal{});
    EXPECT_EQ(bench.t.App().GetDocuments().size(), 1u);
}

TEST(CalibrationSession, OKOffersBothSavesAndWritesTheUsersProcessWithTheNewRecord) {
    CCalibrationBench bench;
    const std::string processPath = bench.folder.File("user.process");
    ASSERT_TRUE(bench.t.Save(processPath));
    bench.user->SetPathName(processPath);
    CCalibrationSession session(bench.t.App(), *bench.owner);
    ASSERT_TRUE(session.Open({bench.folder.Path()}));
    session.GetEdited()->CalSel = "Latency";
    ASSERT_TRUE(session.Run());
    const std::string latency = session.GetEdited()->Latency[0].LatencyParams;
    bench.t.TakeShown();
    bench.t.Sink().QueueAnswer(IDNO);  // no calibration file
    bench.t.Sink().QueueAnswer(IDYES); // but the process file
    session.OK();
    EXPECT_EQ(
        bench.t.TakeShown(),
        (std::vector<std::string>{"Calibration Parameter Has Changed \r\nSave To Calibration File?",
                                  "Calibration Parameter Has Changed.\r\nSave To Process File?"}));
    EXPECT_EQ(bench.owner->GetCalibration()->Latency[0].LatencyParams, latency);
    EXPECT_EQ(bench.owner->GetCalibration()->ProcessName, processPath);
    // The saved process carries the new record.
    CModuleProcess reader;
    ASSERT_TRUE(reader.Open(processPath));
    EXPECT_EQ(reader.Step<CSoundIOView>(2).GetCalibration()->Latency[0].LatencyParams, latency);
}

// A response measured in blocks of 1024 at 48 kHz does not hold for blocks of another size or
// rate: after such a change the step is uncalibrated, says so, and its process saves and opens
// again.
struct CShapeChange {
    const char* name;
    int size;
    const char* rate; // the SoundIO step's rate
    bool warnings;
};

class CalibrationShape : public ::testing::TestWithParam<CShapeChange> {};

TEST_P(CalibrationShape, AChangeLeavesTheStepUncalibratedAndItsProcessOpens) {
    CCalibrationBench bench({}, {"Signal Generator", "SoundIO"},
                            {std::string("2:warnings=") + (GetParam().warnings ? "1" : "0")});
    CCalibrationSession session(bench.t.App(), *bench.owner);
    ASSERT_TRUE(session.Open({bench.folder.Path()}));
    ASSERT_TRUE(session.Run()) << session.GetStatus();
    session.Accept();
    CCalibration& record = *bench.owner->GetCalibration();
    ASSERT_EQ(record.Freq[0].FreqCalParams, "Pulse");
    record.Freq[0].FreqCalApply = record.Freq[1].FreqCalApply = true;
    const std::string path = bench.folder.File("user.process");
    bench.user->SetPathName(path);
    bench.t.TakeShown();

    bench.t.SetFFTOptions({GetParam().size, {}});
    bench.t.Set({std::string("2:rate=") + GetParam().rate});
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(record.Freq[c], CFreqCal{}) << c;
        EXPECT_EQ(record.Latency[c], CLatencyCal{}) << c;
    }
    EXPECT_EQ(record.GetFrequencyResponse()->GetSize(0), GetParam().size);
    // What an analyser asks before it divides a response out.
    EXPECT_FALSE(record.IsFrequencyCalibrationValid(bench.owner));
    const std::vector<std::string> shown = bench.t.TakeShown();
    ASSERT_EQ(shown.size(), GetParam().warnings ? 1u : 0u) << testing::PrintToString(shown);
    if (GetParam().warnings) {
        EXPECT_TRUE(shown[0].starts_with("SoundIO Module Step:2.\n")) << shown[0];
        EXPECT_TRUE(shown[0].ends_with("Please Perform Full Calibration.")) << shown[0];
    }

    ASSERT_TRUE(bench.t.Save(path));
    CModuleProcess reader;
    ASSERT_TRUE(reader.Open(path));
    const CCalibration& read = *reader.Step<CSoundIOView>(2).GetCalibration();
    EXPECT_EQ(read.Freq[0], CFreqCal{});
    EXPECT_EQ(read.GetFrequencyResponse()->GetSize(0), GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(Calibration, CalibrationShape,
                         ::testing::Values(CShapeChange{"fftSizeWarned", 2048, "48000", true},
                                           CShapeChange{"sampleRate", 1024, "44100", false}),
                         CaseName());

// The calibration process runs at the owner's rate, 44.1 kHz here, while its own file says
// 48 kHz: taking the owner's settings one by one must not drop the results the input
// procedure does not measure.
TEST(CalibrationSession, AnInputCalibrationAtTheOwnersRateKeepsTheOtherResults) {
    CCalibrationBench bench(CleanModel(240, 0.502), {"Signal Generator", "SoundIO"},
                            {"1:ch1.level=80", "1:ch2.level=80", "2:rate=44100"});
    CLatencyCal latency;
    latency.LatencyOutputDeviceName = latency.LatencyInputDeviceName = CVirtualCard::kDeviceName;
    latency.LatencyParams = "0.00689342 Sec.";
    for (CLatencyCal& l : bench.owner->GetCalibration()->Latency)
        l = latency;
    CCalibrationSession session(bench.t.App(), *bench.owner, bench.TickingHost({0.6, 0.6}));
    ASSERT_TRUE(session.Open({bench.folder.Path()}));
    session.GetEdited()->CalSel = "Input";
    EXPECT_TRUE(session.Run()) << session.GetStatus();
    const CCalibration& edited = *session.GetEdited();
    EXPECT_EQ(edited.Level[0].FullScaleLevelParams, "1.5000 Vpk");
    EXPECT_EQ(edited.Latency[0], latency);
    EXPECT_EQ(edited.Latency[1], latency);
    EXPECT_EQ(edited.GetFrequencyResponse()->GetSampleRate(0), 44100.0);
}

// "Save" for a record without a file proposes a name from the process title (up to its first
// punctuation other than '_') and the step, beside the process file.
TEST(CalibrationSession, SaveProposesANameFromTheProcessAndTheStep) {
    struct CAskingDialog : IFileDialog {
        std::vector<std::string> proposed;
        std::optional<std::string> answer;
        std::optional<std::string> AskSavePath(const std::string&, const std::string& initial,
                                               const std::string&, const std::string&) override {
            proposed.push_back(initial);
            return answer;
        }
    } dialog;
    CCalibrationBench bench;
    bench.t.App().SetFileDialog(&dialog);
    CCalibrationSession session(bench.t.App(), *bench.owner);
    ASSERT_TRUE(session.Open({bench.folder.Path()}));
    // An untitled process: its title, no folder.
    EXPECT_EQ(ProposedCalibrationPath(*bench.owner),
              bench.user->GetTitle() + "_SoundIO_Step_2.calibration");
    bench.user->SetPathName(bench.folder.File("my_bench-1khz.v2.process"));
    const std::string proposed = bench.folder.File("my_bench_SoundIO_Step_2.calibration");
    EXPECT_FALSE(session.SaveFile()); // cancelled: nothing is written or named
    EXPECT_EQ(dialog.proposed, std::vector<std::string>{proposed});
    EXPECT_EQ(session.GetEdited()->GetCalPath(), "");
    EXPECT_FALSE(fs::exists(proposed));
    dialog.answer = proposed;
    EXPECT_TRUE(session.SaveFile());
    EXPECT_EQ(session.GetEdited()->GetCalPath(), proposed);
    EXPECT_TRUE(fs::exists(proposed));
    // A record with a file proposes its own.
    EXPECT_TRUE(session.SaveFile());
    EXPECT_EQ(dialog.proposed.back(), proposed);
    bench.t.App().SetFileDialog(nullptr);
}

// A level calibration with meters that read 2 V and 5 V at full scale on the two inputs, then
// a tone through the card read in volts by the analyser: each channel by its own factor.
// Steps: generator, SoundIO, analyser.
TEST(CalibrationSession, LevelCalibrationMakesTheAnalyserReadEachInputsVoltage) {
    constexpr double kVoltsAtFullScale[2] = {2.0, 5.0};
    constexpr double kGain = 0.502;
    const double levels[2] = {80, 60}; // recorded peaks 40.16 % and 30.12 % of full scale
    CCalibrationBench bench(CleanModel(240, kGain),
                            {"Signal Generator", "SoundIO", "Spectrum Analyzer"},
                            {"1:ch1.level=80", "1:ch2.level=60", "3:window=None"});
    int slices = 0;
    CCalibrationLevelInput asked{-1.0, -1.0};
    CCalibrationHost host;
    // Every slice takes a second of the test's clock.
    host.stopRequested = [&] {
        ++slices;
        bench.t.Clock().Advance(1);
        return false;
    };
    host.askLevels = [&](const CCalibrationLevelInput& shown) {
        asked = shown;
        return CCalibrationLevelInput{kVoltsAtFullScale[0] * levels[0] / 100 * kGain,
                                      kVoltsAtFullScale[1] * levels[1] / 100 * kGain};
    };
    CCalibrationSession session(bench.t.App(), *bench.owner, host);
    ASSERT_TRUE(session.Open({bench.folder.Path()}));
    session.GetEdited()->CalSel = "Input";
    EXPECT_TRUE(session.Run()) << session.GetStatus();
    EXPECT_EQ(session.GetStatus(), "Input Calibration Complete");
    EXPECT_EQ(slices, 30);
    EXPECT_EQ(asked.ch1, 1.0); // the record's levels are offered first
    const CCalibration& edited = *session.GetEdited();
    EXPECT_EQ(edited.Level[0].PeakSampleLevel, 40);
    EXPECT_EQ(edited.Level[1].PeakSampleLevel, 30);
    // 2 V x 0.8 x 0.502 read at 40 %, 5 V x 0.6 x 0.502 at 30 %.
    EXPECT_EQ(edited.Level[0].FullScaleLevelParams, "2.0080 Vpk");
    EXPECT_EQ(edited.Level[1].FullScaleLevelParams, "5.0200 Vpk");
    EXPECT_EQ(edited.Level[0].MixerSource, CVirtualCard::kSourceName);
    EXPECT_EQ(edited.Level[0].Gain, CVirtualCard::kInputLevel);
    session.Accept();

    // A 1031.25 Hz tone (bin 22) at half scale now reads as volts at the card's input.
    CCalibration& owned = *bench.owner->GetCalibration();
    owned.Level[0].InputLevelCalApply = owned.Level[1].InputLevelCalApply = true;
    bench.t.Set({"1:ch1.level=50", "1:ch2.level=50", "1:ch1.freq=1031.25", "1:ch2.freq=1031.25"});
    ASSERT_TRUE(bench.t.Run(2)) << testing::PrintToString(bench.t.TakeShown());
    const CDSPFFTDataList& shown = *bench.user->GetView(2)->GetDisplayList();
    // The calibration reads whole percent: 40.1 % counts as 40 (30.2 as 30), 0.25 % (0.7 %) high.
    for (int c = 0; c < 2; ++c) {
        const double volts = kVoltsAtFullScale[c] * 0.5 * kGain;
        EXPECT_NEAR(shown.GetAt(c)->GetFreqObj()->GetDataPointer()[22], volts, volts * 0.008) << c;
    }
}

// A channel that records nothing (its generator at 0 %) cannot be calibrated: the procedure
// fails naming it and its record stays as it was, while the other channel takes its new level.
TEST(CalibrationSession, ASilentChannelFailsTheInputProcedureAndKeepsItsRecord) {
    // A recorded peak of 40.16 %, read as 40 (a gain of exactly 0.5 would land on the edge).
    CCalibrationBench bench(CleanModel(240, 0.502), {"Signal Generator", "SoundIO"},
                            {"1:ch1.level=80", "1:ch2.level=0"});
    CLevelCal before;
    before.FullScaleLevelParams = "3.0000 Vpk";
    before.PeakSampleLevel = 33;
    before.UserInputLevel = 0.99;
    before.LevelInputDeviceName = "an earlier card";
    before.InputLevelCalApply = true;
    bench.owner->GetCalibration()->Level[1] = before;
    std::vector<std::string> shown;
    CCalibrationHost host = bench.TickingHost({0.6, 0.7});
    host.information = [&](const std::string& text) { shown.push_back(text); };
    CCalibrationSession session(bench.t.App(), *bench.owner, host);
    ASSERT_TRUE(session.Open({bench.folder.Path()}));
    session.GetEdited()->CalSel = "Input";
    EXPECT_FALSE(session.Run());
    const std::string failure = "Input Calibration Failed. Ch2 Recorded No Signal. Check The "
                                "Input Connection And Level.";
    EXPECT_EQ(session.GetStatus(), failure);
    EXPECT_EQ(shown, std::vector<std::string>{failure});
    const CCalibration& edited = *session.GetEdited();
    EXPECT_EQ(edited.Level[1], before);
    // Channel 1: 40 % of full scale read as 0.6 V.
    EXPECT_EQ(edited.Level[0].PeakSampleLevel, 40);
    EXPECT_EQ(edited.Level[0].FullScaleLevelParams, "1.5000 Vpk");
    EXPECT_EQ(edited.Level[0].UserInputLevel, 0.6);
}

} // namespace
