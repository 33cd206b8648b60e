// "SoundIO" end to end on the virtual card: where Record+Play finds the block for each trigger
// rule and repeat count, the model's latency and distortion measured by the analyser, the
// frequency calibration applied (a card that never completes a buffer: PendingStepTest.cpp).
#include "common/ModuleProcess.h"
#include "soundio/SoundIOView.h"
#include "base/NumberText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace {

constexpr int kLatency = 37;

double Sample(const CDSPFFTDataList& list, int channel, int i) {
    return list.GetAt(channel)->GetTimeObj()->GetDataPointer()[i];
}

// For every trigger rule, with and without repeats, the played block's start lies offset frames
// into the block.
TEST(SoundIO, ReadPositionPutsThePlayedBlocksStartOffsetFramesIntoTheBlock) {
    for (const char* trigger : {"Auto", "Manual", "Latency"})
        for (const int repeats : {0, 2}) {
            SCOPED_TRACE(testing::Message() << trigger << ", " << repeats << " repeats");
            CModuleProcess t(CleanModel(kLatency));
            CDspDoc* doc = t.Create({"Signal Generator", "SoundIO"}, 256, 48000);
            ASSERT_NE(doc, nullptr);
            t.Set({"1:ch1.wave=Impulse", "1:ch1.level=80", "1:ch2.wave=Impulse", "1:ch2.level=40",
                   "2:mode=Rec./Play", "2:rate=48000", "2:offset=-5", "2:trglev=30",
                   std::string("2:trigger=") + trigger, "2:repeat=" + std::to_string(repeats)});
            auto& sio = t.Step<CSoundIOView>(2);
            // The latency as the calibration stores it: the lead-in and the card's latency,
            // eight decimals of a second (101 frames read back as 101.00016).
            sio.GetCalibration()->Latency[0].LatencyParams =
                FormatText("%8.8f Sec.", (CSoundIOView::kLeadInFrames + kLatency) / 48000.0);
            ASSERT_TRUE(t.Run(1)) << ::testing::PrintToString(t.TakeShown());

            const long frame = 4; // 16-bit stereo
            const long before = (CSoundIOView::kLeadInFrames + 256) * frame * repeats;
            const long impulse = (CSoundIOView::kLeadInFrames + kLatency) * frame;
            EXPECT_EQ(sio.GetReadPosition(), impulse + before - 5 * frame);
            // The impulse of the last repetition, five frames into the block (played as
            // trunc(x * 32767), recorded as s / 32768).
            const CDSPFFTDataList& out = *doc->GetCurrentList();
            EXPECT_NEAR(Sample(out, 0, 5), 0.8, 2.0 / 32768);
            EXPECT_NEAR(Sample(out, 1, 5), 0.4, 2.0 / 32768);
            EXPECT_EQ(Sample(out, 0, 4), 0.0);
        }
}

// A card that doubles what it plays drives an 80 % sine to 160 %: the recording holds the
// 16-bit limits where the sine lies beyond them and the peak readouts show full scale; a level
// calibration scales the clipped block, it cannot restore the lost peaks.
TEST(SoundIO, ARecordingDrivenPastFullScaleIsClippedAndReadsFullScale) {
    CModuleProcess t(CleanModel(kLatency, 2.0));
    CDspDoc* doc = t.Create({"Signal Generator", "SoundIO"}, 1024, 48000);
    ASSERT_NE(doc, nullptr);
    // 8 cycles of 46.875 Hz bins per block, channel 2 at 40 % (80 % recorded) stays inside.
    t.Set({"1:ch1.wave=Sine", "1:ch1.freq=375", "1:ch1.level=80", "1:ch2.wave=Sine",
           "1:ch2.freq=375", "1:ch2.level=40", "2:mode=Rec./Play", "2:rate=48000", "2:offset=0",
           "2:trigger=Latency"});
    auto& sio = t.Step<CSoundIOView>(2);
    sio.GetCalibration()->Latency[0].LatencyParams =
        FormatText("%8.8f Sec.", (CSoundIOView::kLeadInFrames + kLatency) / 48000.0);
    CCalibration& cal = *sio.GetCalibration();
    cal.Level[0].FullScaleLevelParams = "3.0 Vpk";
    for (bool applied : {false, true}) {
        cal.Level[0].InputLevelCalApply = applied;
        ASSERT_TRUE(t.Run(1)) << ::testing::PrintToString(t.TakeShown());
        const double volts = applied ? 3.0 : 1.0;
        const CDSPFFTDataList& out = *doc->GetCurrentList();
        int beyond = 0, held = 0;
        for (int i = 0; i < 1024; ++i) {
            const double x = Sample(out, 0, i) / volts;
            ASSERT_GE(x, -1.0) << i;
            ASSERT_LE(x, 32767.0 / 32768) << i;
            // Where the doubled sine lies beyond full scale the recording holds the limit.
            const double wanted = 1.6 * std::sin(2 * std::numbers::pi * 375 * i / 48000.0);
            beyond += std::fabs(wanted) > 1.0;
            held += x == 32767.0 / 32768 || x == -1.0;
            if (std::fabs(wanted) > 1.0) {
                EXPECT_EQ(x, wanted > 0 ? 32767.0 / 32768 : -1.0) << i;
            }
        }
        // 57 % of the block, 1 - 2 asin(1 / 1.6) / pi, and nothing else.
        EXPECT_EQ(held, beyond);
        EXPECT_NEAR(beyond / 1024.0, 1 - 2 * std::asin(1 / 1.6) / std::numbers::pi, 0.01);
        EXPECT_NEAR(Sample(out, 1, 32), 0.8, 1e-3) << "channel 2 is not clipped";
        // -32768 reads -100.003 %, shown as -100; channel 2's 80 % as 79 or 80.
        EXPECT_EQ(sio.GetPeakLevel(0), -100);
        EXPECT_NEAR(std::abs(sio.GetPeakLevel(1)), 80, 1);
    }
}

// The analyser's THD of a sine through the model, against the closed form of the model: a
// polynomial x + c2 x^2 + c3 x^3 turns A cos into harmonics c2 A^2 / 2 and c3 A^3 / 4 (and adds
// 3 c3 A^3 / 4 to the fundamental), each then scaled by the filter's gain at its frequency.
TEST(SoundIO, AnalyserMeasuresTheModelsTHDAndTheCardItsLatency) {
    CDeviceModel model;
    model.harmonics = {0.03, 0.02};
    CModuleProcess t(model);
    CDspDoc* doc = t.Create({"Signal Generator", "SoundIO", "Spectrum Analyzer"}, 4096, 32000);
    ASSERT_NE(doc, nullptr);
    // A cosine's first sample is its peak: the Auto trigger finds the block's first sample.
    t.Set({"1:ch1.wave=Cosine", "1:ch1.freq=1000", "1:ch1.level=80", "2:mode=Rec./Play",
           "2:rate=32000", "2:offset=0", "3:yaxis=THDVpk", "3:window=Hanning"});
    ASSERT_TRUE(t.Run(2)) << ::testing::PrintToString(t.TakeShown());

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
    const auto thd = std::find_if(readouts.begin(), readouts.end(),
                                  [](const std::string& r) { return r.starts_with("THD:"); });
    ASSERT_NE(thd, readouts.end()) << ::testing::PrintToString(readouts);
    EXPECT_NEAR(ParseDouble(thd->substr(4)), expected, expected * 1e-3);

    // The first sample of the recording above 10 % lies the lead-in plus the model's latency
    // after its start, and the block was read from there.
    auto& sio = t.Step<CSoundIOView>(2);
    EXPECT_DOUBLE_EQ(sio.GetSIODelay(0, 10.0) * 32000.0,
                     CSoundIOView::kLeadInFrames + model.latency);
    EXPECT_EQ(sio.GetReadPosition(), (CSoundIOView::kLeadInFrames + model.latency) * 4);
}

// The analyser divides out the frequency response of the SoundIO step before it when asked,
// and refuses a run whose calibration is incomplete.
TEST(SoundIO, AnalyserAppliesTheFrequencyCalibrationOfTheStepBefore) {
    CModuleProcess t(CleanModel(kLatency));
    CDspDoc* doc = t.Create({"Signal Generator", "SoundIO", "Spectrum Analyzer"}, 1024, 48000);
    ASSERT_NE(doc, nullptr);
    t.Set({"1:ch1.wave=Cosine", "1:ch1.freq=1500", "1:ch1.level=50", "1:ch2.wave=Cosine",
           "1:ch2.freq=1500", "1:ch2.level=50", "2:mode=Rec./Play", "2:rate=48000", "2:offset=0",
           "3:freqcal=1"});
    EXPECT_FALSE(t.Run(1));
    EXPECT_EQ(t.TakeShown(),
              std::vector<std::string>{
                  "Error Detected In\r\nStep: 3 Spectrum Analyzer\r\nSpectrum Analyser Apply "
                  "Frequency Calibration is Checked.\r\n SoundIO Module Step:2 Calibration is "
                  "Invalid\r\nCh1 Output Sound Card Is Not Specified in '" +
                  doc->GetTitle() + "' Frequency Response Calibration Group.\r\n"});

    CCalibration& cal = *t.Step<CSoundIOView>(2).GetCalibration();
    for (CFreqCal& f : cal.Freq) {
        f.FreqOutputDeviceName = f.FreqInputDeviceName = CVirtualCard::kDeviceName;
        f.FreqCalParams = "Pulse";
    }
    // A response of 4 on channel 1 only, applied: channel 1 reads a quarter, channel 2 as is.
    CDSPFFTDataList& response = *cal.GetFrequencyResponse();
    std::fill_n(response.GetFreqData(0), response.GetSize(0), 4.0);
    cal.Freq[0].FreqCalApply = true;
    ASSERT_TRUE(t.Run(1)) << ::testing::PrintToString(t.TakeShown());
    const CDSPFFTDataList& spectrum = *doc->GetView(2)->GetDisplayList();
    const int bin = 32; // 1500 Hz of 48000 / 1024
    const double ch1 = spectrum.GetAt(0)->GetFreqObj()->GetDataPointer()[bin];
    const double ch2 = spectrum.GetAt(1)->GetFreqObj()->GetDataPointer()[bin];
    EXPECT_GT(ch2, 0.4); // the tone is there
    EXPECT_NEAR(ch1 / ch2, 0.25, 1e-12);
}

// The analyser measures what a recording hands on: every recorded sample is signal.
TEST(SoundIO, ARecordOnlyBlockIsMeasuredByTheAnalyser) {
    CDeviceModel model = CleanModel(0);
    model.noise = 0.01;
    CModuleProcess t(model);
    CDspDoc* doc = t.Create({"SoundIO", "Spectrum Analyzer"}, 1024, 48000);
    ASSERT_NE(doc, nullptr);
    t.Set({"1:mode=Rec. Only", "1:rate=48000", "2:yaxis=THDVpk", "2:ref1=1000"});
    ASSERT_TRUE(t.Run(2)) << ::testing::PrintToString(t.TakeShown());
    const auto readouts = doc->GetView(1)->GetReadoutValues();
    int measured = 0;
    for (const CReadoutValue& r : readouts)
        if (r.label == "THD+N") {
            EXPECT_NE(r.Text(), "THD+N: - %");
            ++measured;
        }
    EXPECT_EQ(measured, 2) << "both channels";
}

} // namespace
