// PCM conversions at their bounds, peak level and sample, and the trigger threshold rules on
// hand-made recordings.
#include "common/ModuleProcess.h"
#include "soundio/SoundIOView.h"
#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Bytes = std::vector<uint8_t>;

// A SoundIO step alone, with the block size 4 and the given format, whose current block list
// channel 1 holds `values` (channel 2 their negatives).
class Convert : public ::testing::Test {
protected:
    CSoundIOView& Make(const std::string& res, const std::string& chan,
                       const std::vector<double>& values = {}) {
        CDspDoc* doc = t.Create({"SoundIO"}, 4, 8000);
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

// 8-bit: threshold 127 * fraction + 127, at level 0 the first sample below it; 16-bit: threshold
// 32767 * fraction, at level 0 the first frame.
TEST_F(Convert, TriggerFindsTheFirstSampleBeyondTheThreshold) {
    const std::tuple<const char*, Bytes, double, long> cases[] = {
        {"8", {128, 127, 126, 200}, 0.0, 2},      {"8", {128, 190, 191, 120}, 0.5, 2},
        {"8", {128, 64, 63, 200}, -0.5, 2},       {"8", {128, 128}, 0.9, -1},
        {"16", {0x00, 0x00, 0x10, 0x00}, 0.0, 0}, {"16", {0xFF, 0x3F, 0x01, 0x40}, 0.5, 2},
        {"16", {0x01, 0xC0, 0x00, 0xC0}, -0.5, 2}};
    for (const auto& [res, mono, fraction, expected] : cases)
        EXPECT_EQ(Make(res, "1").ScanForTrigger(Recording(mono), 0, fraction).value_or(-1),
                  expected)
            << res << " bits at " << fraction;
}

} // namespace
