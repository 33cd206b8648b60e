// PCM conversions at their bounds, peak level and sample, and the trigger threshold rules on
// hand-made recordings.
#include "common/ModuleProcess.h"
#include "soundio/SoundIOView.h"
#include "common/DspTestUtil.h"
#include "common/HexBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <tuple>

namespace {

using Bytes = std::vector<uint8_t>;

// A SoundIO step alone, with the block size 4 and the given format, whose current block list
// channel 1 holds `values` (channel 2 their negatives).
class Convert : public ::testing::Test {
protected:
    CSoundIOView& Make(const std::string& res, const std::string& chan,
                       const std::vector<double>& values = {}) {
        CDspDoc* doc = t.Create({"SoundIO"}, int(std::max<size_t>(4, values.size())), 8000);
        t.Set({"1:res=" + res, "1:chan=" + chan, "1:mode=Play"});
        CSoundIOView& sio = t.Step<CSoundIOView>(1);
        EXPECT_EQ(sio.StartRun(), 1);
        CDSPFFTDataList* list = doc->GetDocumentList();
        for (size_t i = 0; i < values.size(); ++i) {
            list->GetTimeData(0)[i] = values[i];
            list->GetTimeData(1)[i] = -values[i];
        }
        // The document keeps its own list; the current-list pointer does not own it here.
        doc->SetCurrentList(std::shared_ptr<CDSPFFTDataList>(std::shared_ptr<void>(), list));
        return sio;
    }
    static CWaveHeader Recording(const Bytes& bytes) {
        return {.data = bytes, .bytesRecorded = uint32_t(bytes.size())};
    }
    CModuleProcess t;
};

// Played as trunc(x * 32767) clipped at full scale, or 127 x + 128 in 8 bits; recorded as
// s / 32768 or (s - 128) / 127, mono leaving channel 2 at zero.
TEST_F(Convert, BlocksArePlayedClippedAndTruncatedAndRecordingsScaled) {
    Bytes pcm(16, 0xEE), mono(8, 0xEE);
    EXPECT_EQ(Make("16", "2", {1.0, 1.5, 0.5, -1.0}).ConvertDoubletoRIFF(pcm), 16u);
    EXPECT_EQ(pcm, (Bytes{0xFF, 0x7F, 0x01, 0x80, 0xFF, 0x7F, 0x01, 0x80, 0xFF, 0x3F, 0x01, 0xC0,
                          0x01, 0x80, 0xFF, 0x7F}));
    EXPECT_EQ(Make("8", "1", {1.0, -1.0, -2.0, 0.5}).ConvertDoubletoRIFF(mono), 4u);
    EXPECT_EQ(mono, (Bytes{255, 1, 0, 191, 0xEE, 0xEE, 0xEE, 0xEE}));

    CSoundIOView& sio = Make("16", "1");
    const CWaveHeader h = Recording({0x00, 0x80, 0xFF, 0x7F, 0x00, 0x40, 0x01, 0x00});
    sio.ConvertRIFFtoDouble(h, 0);
    const CDSPFFTDataList& out = *sio.GetWorkingList();
    EXPECT_EQ(Values(out.GetAt(0)->GetTimeObj()),
              (std::vector<double>{-1.0, 32767.0 / 32768.0, 0.5, 1.0 / 32768.0}));
    EXPECT_EQ(Values(out.GetAt(1)->GetTimeObj()), (std::vector<double>{0, 0, 0, 0}));
    EXPECT_EQ(sio.ScanForPeakLevel(h, 0), -100);
    EXPECT_EQ(sio.ScanForPeakSample(h, 0), 1);
    EXPECT_EQ(sio.ScanForPeakLevel(h, 1), 0);
    EXPECT_EQ(sio.ScanForPeakSample(h, 1), 0);
    // A calibrated full-scale level scales the samples of its channel.
    sio.GetCalibration()->Level[0].FullScaleLevelParams = "2.0 Vpk";
    sio.GetCalibration()->Level[0].InputLevelCalApply = true;
    sio.ConvertRIFFtoDouble(h, 4);
    EXPECT_EQ(Values(out.GetAt(0)->GetTimeObj()), (std::vector<double>{1.0, 1.0 / 16384, 0, 0}));

    CSoundIOView& eight = Make("8", "2");
    eight.ConvertRIFFtoDouble(Recording({128, 255, 1, 128, 191, 128, 128, 0}), 0);
    EXPECT_EQ(Values(eight.GetWorkingList()->GetAt(0)->GetTimeObj()),
              (std::vector<double>{0, -1, 63.0 / 127, 0}));
    EXPECT_EQ(Values(eight.GetWorkingList()->GetAt(1)->GetTimeObj()),
              (std::vector<double>{1, 0, 0, -128.0 / 127}));
}

// 24-bit: round(x * 2^23) clipped, read as s / 2^23; float: the nearest float clipped at full
// scale, read as it is. Both channels of a stereo frame, the second the negative of the first.
TEST_F(Convert, HighResolutionBlocksArePlayedRoundedAndClippedAndReadBack) {
    const std::tuple<const char*, std::vector<double>, const char*, std::vector<double>> cases[] = {
        {"24",
         {1.0, 0.5, 1e-7, -1.5},
         "ffff7f 000080 000040 0000c0 010000 ffffff 000080 ffff7f",
         {8388607.0 / 8388608, 0.5, 1.0 / 8388608, -1.0}},
        {"32 float",
         {1.5, 0.1, -0.25, -2.0},
         "0000803f 000080bf cdcccc3d cdccccbd 000080be 0000803e 000080bf 0000803f",
         {1.0, double(0.1f), -0.25, -1.0}}};
    for (const auto& [res, played, bytes, read] : cases) {
        CSoundIOView& sio = Make(res, "2", played);
        Bytes pcm(HexBytes(bytes).size() + 4, 0xEE);
        EXPECT_EQ(sio.ConvertDoubletoRIFF(pcm), pcm.size() - 4) << res;
        EXPECT_EQ(Bytes(pcm.begin(), pcm.end() - 4), HexBytes(bytes)) << res;
        sio.ConvertRIFFtoDouble(Recording(pcm), 0);
        EXPECT_EQ(Values(sio.GetWorkingList()->GetAt(0)->GetTimeObj()), read) << res;
        EXPECT_EQ(sio.ScanForPeakLevel(Recording(pcm), 0), res == std::string("24") ? -100 : 100);
        EXPECT_EQ(sio.ScanForPeakSample(Recording(pcm), 1), 1) << res;
    }
}

// 8-bit: threshold 127 * fraction + 127, at level 0 the first sample below it; 16-bit: threshold
// 32767 * fraction, at level 0 the first frame.
TEST_F(Convert, TriggerFindsTheFirstSampleBeyondTheThreshold) {
    const std::tuple<const char*, Bytes, double, long> cases[] = {
        {"8", {128, 127, 126, 200}, 0.0, 2},
        {"8", {128, 190, 191, 120}, 0.5, 2},
        {"8", {128, 64, 63, 200}, -0.5, 2},
        {"8", {128, 128}, 0.9, -1},
        {"16", {0x00, 0x00, 0x10, 0x00}, 0.0, 0},
        {"16", {0xFF, 0x3F, 0x01, 0x40}, 0.5, 2},
        {"16", {0x01, 0xC0, 0x00, 0xC0}, -0.5, 2},
        {"24", HexBytes("ffff3f 000040"), 0.5, 3},
        {"32 float", HexBytes("0000003f 0200003f"), 0.5, 4}};
    for (const auto& [res, mono, fraction, expected] : cases)
        EXPECT_EQ(Make(res, "1").ScanForTrigger(Recording(mono), 0, fraction).value_or(-1),
                  expected)
            << res << " bits at " << fraction;
}

// A sine played and recorded through the virtual card, whose converter adds noise of 1e-7 RMS
// (-140 dBFS) behind a gain of 0.5. What is left of the recording once the sine is fitted is the
// floor: the noise, plus the quantisation of playing through the gain (q^2/12 for rounding;
// truncation towards zero adds a square wave of q/2, of which the fit takes the fundamental),
// plus that of recording: q^2/12 where the noise dithers it (0.8 steps RMS at 24 bits), but at
// 16 bits half the played codes land halfway between two after the gain, off by q/2: q^2/8. A
// float's rounding lies near -160 dBFS, below the bounds.
TEST_F(Convert, LoopNoiseFloorIsTheConvertersNoiseAndTheResolutionsQuantisation) {
    constexpr double kPi = std::numbers::pi;
    constexpr int n = 16384, cycles = 1001; // whole cycles, no sample value repeating
    constexpr double gain = 0.5, noise = 1e-7, amplitude = 0.5;
    constexpr double q16 = 1.0 / 32768, q24 = 1.0 / 8388608;
    const double truncated = q16 * q16 * (1.0 / 12 + (1.0 - 8.0 / (kPi * kPi)) / 4);
    const std::tuple<const char*, double> cases[] = {
        {"16", gain * gain * truncated + q16 * q16 / 8 + noise * noise},
        {"24", (gain * gain + 1.0) * q24 * q24 / 12 + noise * noise},
        {"32 float", noise * noise}};
    std::vector<double> sine(n);
    for (int i = 0; i < n; ++i)
        sine[size_t(i)] = amplitude * std::sin(2 * kPi * cycles * i / n);
    for (const auto& [res, variance] : cases) {
        CSoundIOView& sio = Make(res, "1", sine);
        CWaveHeader out{.data = Bytes(size_t(n) * size_t(sio.GetBitsPerSample() / 8))};
        ASSERT_EQ(sio.ConvertDoubletoRIFF(out.data), out.data.size());
        CDeviceModel model = CleanModel(0, gain);
        model.noise = noise;
        CVirtualCard card(model);
        CEventPump pump;
        struct : IWaveClient {
            void OnWimData(CWaveHeader*) override {}
            void OnWomDone(CWaveHeader*) override {}
        } client;
        const CWaveFormat format{1, 8000, sio.GetBitsPerSample(), res == std::string("32 float")};
        CWaveHeader in{.data = Bytes(out.data.size())};
        std::unique_ptr<IWaveDevice> input, output;
        ASSERT_EQ(card.Open(true, 0, format, &client, pump, input), kAudioOk);
        ASSERT_EQ(card.Open(false, 0, format, &client, pump, output), kAudioOk);
        input->AddBuffer(&in), input->Start(), output->AddBuffer(&out);
        pump.DispatchPending(0);
        ASSERT_EQ(in.bytesRecorded, in.data.size());
        sio.ConvertRIFFtoDouble(in, 0);
        const std::vector<double> heard = Values(sio.GetWorkingList()->GetAt(0)->GetTimeObj());
        // Over whole cycles sine and cosine are orthogonal: their projections are the fit. What
        // the fit leaves is summed apart, as it is some 1e-13 of the recording's energy.
        double a = 0, b = 0, residual = 0;
        for (int i = 0; i < n; ++i) {
            const double h = heard[size_t(i)], phase = 2 * kPi * cycles * i / n;
            a += h * std::sin(phase) * 2 / n, b += h * std::cos(phase) * 2 / n;
        }
        for (int i = 0; i < n; ++i) {
            const double phase = 2 * kPi * cycles * i / n;
            residual +=
                std::pow(heard[size_t(i)] - a * std::sin(phase) - b * std::cos(phase), 2) / n;
        }
        const double floor = 10 * std::log10(residual), expected = 10 * std::log10(variance);
        // 16384 samples estimate a variance within about 1 % (0.05 dB).
        EXPECT_NEAR(floor, expected, 0.2) << res << " bits";
        RecordProperty(std::string("floor_dBFS_") + res, std::to_string(floor));
    }
}

} // namespace
