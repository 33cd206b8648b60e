// "SoundIO" end to end on the virtual card: where Record+Play finds the block for each trigger
// rule and repeat count, the played block returned, the model's latency and distortion
// measured by the analyser, and a card that never completes a buffer.
#include "SoundIOTestProcess.h"
#include "base/NumberText.h"
#include "modules/spectrum/SpecView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

namespace {

constexpr int kLatency = 37;

struct CReadCase {
    const char* trigger;
    int repeatIndex; // 0 or 2 repetitions: list positions 0 and 2
    int repeats;
};

class ReadPosition : public ::testing::TestWithParam<CReadCase> {};

TEST_P(ReadPosition, FollowsTheTriggerRuleIntoTheLastRepetition) {
    CSoundIOTestApp t(CleanModel(kLatency));
    CDspDoc* doc = t.NewProcess({"Signal Generator", "SoundIO"}, 256, 48000);
    ASSERT_NE(doc, nullptr);
    t.Set(*doc, {"1:ch1.wave=Impulse", "1:ch1.level=80", "1:ch2.wave=Impulse", "1:ch2.level=40",
                 "2:mode=Rec./Play", "2:rate=48000", "2:offset=-5", "2:trglev=30",
                 std::string("2:trigger=") + GetParam().trigger,
                 "2:repeat=" + std::to_string(GetParam().repeatIndex)});
    auto& sio = StepAs<CSoundIOView>(*doc, 1);
    // 100.5 frames: Latency mode uses whole frames below the calibrated delay.
    sio.GetCalibration()->Latency[0].LatencyParams = "0.00209375 Sec.";
    ASSERT_TRUE(t.Run(*doc, 1)) << ::testing::PrintToString(t.TakeMessages());

    const long frame = 4; // 16-bit stereo
    const long repetition = (CSoundIOView::kLeadInFrames + 256) * frame;
    const long before = repetition * GetParam().repeats;
    const long offset = -5 * frame;
    const long impulse = (CSoundIOView::kLeadInFrames + kLatency) * frame;
    const bool latency = std::string(GetParam().trigger) == "Latency";
    EXPECT_EQ(sio.GetReadPosition(), latency ? 400 + before - offset : impulse + before + offset);
    if (!latency) {
        // The impulse of the last repetition, five frames into the block (played as
        // trunc(x * 32767), recorded as s / 32768).
        const CDSPFFTDataList& out = *doc->GetCurrentList();
        EXPECT_NEAR(out.GetAt(0)->GetTimeObj()->GetDataPointer()[5], 0.8, 2.0 / 32768);
        EXPECT_NEAR(out.GetAt(1)->GetTimeObj()->GetDataPointer()[5], 0.4, 2.0 / 32768);
        EXPECT_EQ(out.GetAt(0)->GetTimeObj()->GetDataPointer()[4], 0.0);
    }
}

INSTANTIATE_TEST_SUITE_P(SoundIO, ReadPosition,
                         ::testing::Values(CReadCase{"Auto", 0, 0}, CReadCase{"Auto", 2, 2},
                                           CReadCase{"Manual", 0, 0}, CReadCase{"Manual", 2, 2},
                                           CReadCase{"Latency", 0, 0}, CReadCase{"Latency", 2, 2}));

TEST(SoundIO, RecordPlayWithAutoTriggerReturnsThePlayedBlock) {
    CSoundIOTestApp t(CleanModel(kLatency));
    CDspDoc* doc = t.NewProcess({"Signal Generator", "Signal Generator", "SoundIO"}, 512, 48000);
    ASSERT_NE(doc, nullptr);
    // A leading impulse above sines of whole cycles per block (10 and 30 bins of 93.75 Hz): every
    // block starts at phase 0 and its first sample is its peak.
    t.Set(*doc, {"1:ch1.wave=Impulse", "1:ch1.level=50", "1:ch2.level=0", "2:ch1.wave=Sine",
                 "2:ch1.freq=937.5", "2:ch1.level=40", "2:ch2.wave=Sine", "2:ch2.freq=2812.5",
                 "2:ch2.level=70", "3:mode=Rec./Play", "3:rate=48000", "3:offset=0"});
    ASSERT_TRUE(t.Run(*doc, 3));
    const CDSPFFTDataList& played = *doc->GetView(1)->GetWorkingList();
    const CDSPFFTDataList& recorded = *doc->GetCurrentList();
    // 16-bit: played as trunc(x * 32767), recorded as s / 32768.
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 512; ++i)
            EXPECT_NEAR(recorded.GetAt(c)->GetTimeObj()->GetDataPointer()[i],
                        played.GetAt(c)->GetTimeObj()->GetDataPointer()[i], 2.0 / 32768)
                << c << " " << i;
}

// The analyser's THD of a sine through the model, against the closed form of the model: a
// polynomial x + c2 x^2 + c3 x^3 turns A cos into harmonics c2 A^2 / 2 and c3 A^3 / 4 (and adds
// 3 c3 A^3 / 4 to the fundamental), each then scaled by the filter's gain at its frequency.
TEST(SoundIO, AnalyserMeasuresTheModelsTHDAndTheCardItsLatency) {
    CDeviceModel model;
    model.harmonics = {0.03, 0.02};
    CSoundIOTestApp t(model);
    CDspDoc* doc = t.NewProcess({"Signal Generator", "SoundIO", "Spectrum Analyzer"}, 4096, 32000);
    ASSERT_NE(doc, nullptr);
    // A cosine's first sample is its peak: the Auto trigger finds the block's first sample.
    t.Set(*doc, {"1:ch1.wave=Cosine", "1:ch1.freq=1000", "1:ch1.level=80", "2:mode=Rec./Play",
                 "2:rate=32000", "2:offset=0", "3:yaxis=THDVpk", "3:window=Hanning"});
    auto& sio = StepAs<CSoundIOView>(*doc, 1);
    ASSERT_TRUE(t.Run(*doc, 2)) << ::testing::PrintToString(t.TakeMessages());

    auto response = [&](double f) {
        std::complex<double> h = 0.0;
        for (size_t k = 0; k < model.response.size(); ++k)
            h += model.response[k] *
                 std::polar(1.0, -2.0 * std::numbers::pi * f * double(k) / 32000.0);
        return std::abs(h);
    };
    const double a = 0.8, c2 = model.harmonics[0], c3 = model.harmonics[1];
    const double h1 = (a + 0.75 * c3 * a * a * a) * response(1000);
    const double h2 = 0.5 * c2 * a * a * response(2000);
    const double h3 = 0.25 * c3 * a * a * a * response(3000);
    const double expected = std::hypot(h2, h3) / h1 * 100.0;

    const std::vector<std::string> readouts = doc->GetView(2)->GetReadouts();
    double measured = 0.0;
    for (const std::string& line : readouts)
        if (line.rfind("THD:", 0) == 0) {
            measured = ParseDouble(line.substr(4));
            break;
        }
    EXPECT_NEAR(measured, expected, expected * 1e-3) << ::testing::PrintToString(readouts);

    // The first sample of the recording above 10 % lies the lead-in plus the model's latency
    // after its start, and the block was read from there.
    EXPECT_DOUBLE_EQ(sio.GetSIODelay(0, 10.0) * 32000.0,
                     CSoundIOView::kLeadInFrames + model.latency);
    EXPECT_EQ(sio.GetReadPosition(), (CSoundIOView::kLeadInFrames + model.latency) * 4);
}

// A card whose devices open but never return a buffer.
class CStalledCard final : public IAudioSystem {
public:
    struct CDevice final : IWaveDevice {
        int AddBuffer(CWaveHeader*) override {
            ++queued;
            return kAudioOk;
        }
        int Start() override { return kAudioOk; }
        int BreakLoop() override { return kAudioOk; }
        int Reset() override {
            queued = 0;
            return kAudioOk;
        }
        int Pending() const override { return queued; }
        int queued = 0;
    };
    std::vector<CAudioDeviceInfo> GetInputDevices() const override { return {{"Stalled", ""}}; }
    std::vector<CAudioDeviceInfo> GetOutputDevices() const override { return {{"Stalled", ""}}; }
    std::vector<CAudioDeviceInfo> GetMixerDevices() const override { return {}; }
    int QueryFormat(bool, int, const CWaveFormat&) const override { return kAudioOk; }
    int Open(bool, int, const CWaveFormat&, IWaveClient*, CEventPump&,
             std::unique_ptr<IWaveDevice>& device) override {
        device = std::make_unique<CDevice>();
        return kAudioOk;
    }
    std::string GetErrorText(bool, int) const override { return {}; }
    std::string GetMixerSourceName(int) const override { return {}; }
    std::string GetMixerDestinationName(int) const override { return {}; }
    int GetMixerInputLevel(int) const override { return 0; }
};

class StalledCard : public ::testing::TestWithParam<const char*> {};

TEST_P(StalledCard, FailsThePassNamingTheDeviceWithinTheLimit) {
    CSoundIOTestApp t;
    CStalledCard stalled;
    t.UseCard(&stalled);
    double now = 0.0;
    t.Pump().SetTimeSource([&now] { return now += 0.25; });
    CDspDoc* doc = t.NewProcess({"Signal Generator", "SoundIO"}, 1024, 48000);
    ASSERT_NE(doc, nullptr);
    t.Set(*doc, {std::string("2:mode=") + GetParam(), "2:rate=48000"});
    EXPECT_FALSE(t.Run(*doc, 1));
    const std::vector<std::string> messages = t.TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Step: 2 SoundIO\r\nStalled "), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("No Buffer Returned Within"), std::string::npos);
    // Block (21 ms) or exchange (0.42 s) plus the two seconds of grace, at a quarter second
    // per pump round.
    EXPECT_LT(now, 3.0);
    auto& sio = StepAs<CSoundIOView>(*doc, 1);
    EXPECT_FALSE(sio.IsInputOpen());
    EXPECT_FALSE(sio.IsOutputOpen());
}

INSTANTIATE_TEST_SUITE_P(SoundIO, StalledCard, ::testing::Values("Rec. Only", "Rec./Play"));

TEST(SoundIO, StopPressedWhileWaitingEndsThePassQuietlyAndClosesTheDevices) {
    CSoundIOTestApp t;
    CStalledCard stalled;
    t.UseCard(&stalled);
    CDspDoc* doc = t.NewProcess({"Signal Generator", "SoundIO"}, 1024, 48000);
    ASSERT_NE(doc, nullptr);
    t.Set(*doc, {"2:mode=Rec./Play"});
    t.Pump().SetHostEvents([doc] { doc->OnEditStop(); });
    EXPECT_FALSE(t.Run(*doc, 1));
    EXPECT_TRUE(t.TakeMessages().empty());
    auto& sio = StepAs<CSoundIOView>(*doc, 1);
    EXPECT_FALSE(sio.IsInputOpen());
    EXPECT_EQ(sio.GetPendingInput(), 0);
    EXPECT_EQ(sio.GetPendingOutput(), 0);
    // The next run starts afresh.
    t.Pump().SetHostEvents(nullptr);
    t.UseCard(&t.card);
    EXPECT_TRUE(t.Run(*doc, 1));
}

TEST(SoundIO, RecordOnlyDeliversOneQueuedBlockPerPass) {
    CSoundIOTestApp t(CleanModel(0));
    CDspDoc* doc = t.NewProcess({"SoundIO"}, 256, 8000);
    ASSERT_NE(doc, nullptr);
    t.Set(*doc, {"1:mode=Rec. Only", "1:rate=8000", "1:chan=1", "1:res=8"});
    ASSERT_TRUE(t.Run(*doc, 3));
    const CDSPFFTDataList& out = *doc->GetCurrentList();
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(out.GetAt(0)->GetTimeObj()->GetDataPointer()[i], 0.0);
        EXPECT_EQ(out.GetAt(1)->GetTimeObj()->GetDataPointer()[i], 0.0); // mono: channel 2 is 0
    }
}

} // namespace

namespace {

// The analyser divides out the frequency response of the SoundIO step before it when asked,
// and refuses a run whose calibration is incomplete.
TEST(SoundIO, AnalyserAppliesTheFrequencyCalibrationOfTheStepBefore) {
    CSoundIOTestApp t(CleanModel(kLatency));
    CDspDoc* doc = t.NewProcess({"Signal Generator", "SoundIO", "Spectrum Analyzer"}, 1024, 48000);
    ASSERT_NE(doc, nullptr);
    t.Set(*doc, {"1:ch1.wave=Cosine", "1:ch1.freq=1500", "1:ch1.level=50", "2:mode=Rec./Play",
                 "2:rate=48000", "2:offset=0", "3:freqcal=1"});
    EXPECT_FALSE(t.Run(*doc, 1));
    const std::vector<std::string> refused = t.TakeMessages();
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0], "Error Detected In\r\nStep: 3 Spectrum Analyzer\r\nSpectrum Analyser "
                          "Apply Frequency Calibration is Checked.\r\n SoundIO "
                          "Module Step:2 Calibration is Invalid\r\nCh1 Output Sound Card Is Not "
                          "Specified in '" +
                              doc->GetTitle() +
                              "' Frequency Response Calibration "
                              "Group.\r\n");

    auto& sio = StepAs<CSoundIOView>(*doc, 1);
    CCalibration& cal = *sio.GetCalibration();
    for (CFreqCal& f : cal.Freq) {
        f.FreqOutputDeviceName = f.FreqInputDeviceName = CVirtualCard::kDeviceName;
        f.FreqCalParams = "Pulse";
    }
    // A response of 4 on channel 1 only, applied: channel 1 reads a quarter, channel 2 as is.
    CDSPFFTDataList& response = *cal.GetFrequencyResponse();
    for (int c = 0; c < 2; ++c)
        std::fill(response.GetFreqData(c), response.GetFreqData(c) + response.GetSize(c),
                  c == 0 ? 4.0 : 1.0);
    cal.Freq[0].FreqCalApply = true;
    t.Set(*doc, {"1:ch2.wave=Cosine", "1:ch2.freq=1500", "1:ch2.level=50"});
    ASSERT_TRUE(t.Run(*doc, 1)) << ::testing::PrintToString(t.TakeMessages());
    const CDSPFFTDataList& spectrum = *doc->GetView(2)->GetDisplayList();
    const int bin = 32; // 1500 Hz of 48000 / 1024
    const double ch1 = spectrum.GetAt(0)->GetFreqObj()->GetDataPointer()[bin];
    const double ch2 = spectrum.GetAt(1)->GetFreqObj()->GetDataPointer()[bin];
    EXPECT_GT(ch2, 0.4); // the tone is there
    EXPECT_NEAR(ch1 / ch2, 0.25, 1e-12);
}

} // namespace
