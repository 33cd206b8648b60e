// PCM conversions at their bounds, peak level and sample, and the trigger threshold rules on
// hand-made recordings.
#include "SoundIOTestProcess.h"
#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A SoundIO step alone, with the block size 4 and the given format, whose current block list
// channel 1 holds `values` (channel 2 their negatives).
class Convert : public ::testing::Test {
protected:
    CSoundIOView& Make(const std::string& res, const std::string& chan,
                       const std::vector<double>& values, const std::string& mode = "Play",
                       const std::string& repeat = "0") {
        doc = t.NewProcess({"SoundIO"}, 4, 8000);
        t.Set(*doc, {"1:res=" + res, "1:chan=" + chan, "1:mode=" + mode, "1:repeat=" + repeat});
        CSoundIOView& sio = StepAs<CSoundIOView>(*doc, 0);
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
    static CWaveHeader Recording(const std::vector<uint8_t>& bytes) {
        CWaveHeader h;
        h.data = bytes;
        h.bytesRecorded = uint32_t(bytes.size());
        return h;
    }
    CSoundIOTestApp t;
    CDspDoc* doc = nullptr;
};

// Played as trunc(x * 32767) clipped at full scale, or 127 x + 128 in 8 bits.
TEST_F(Convert, PlayedBlocksClipAtFullScaleAndTruncate) {
    std::vector<uint8_t> pcm(16, 0xEE);
    EXPECT_EQ(Make("16", "2", {1.0, 1.5, 0.5, -1.0}).ConvertDoubletoRIFF(pcm), 16u);
    EXPECT_EQ(pcm, (std::vector<uint8_t>{0xFF, 0x7F, 0x01, 0x80, 0xFF, 0x7F, 0x01, 0x80, 0xFF, 0x3F,
                                         0x01, 0xC0, 0x01, 0x80, 0xFF, 0x7F}));
    std::vector<uint8_t> mono(8, 0xEE);
    EXPECT_EQ(Make("8", "1", {1.0, -1.0, -2.0, 0.5}).ConvertDoubletoRIFF(mono), 4u);
    EXPECT_EQ(mono, (std::vector<uint8_t>{255, 1, 0, 191, 0xEE, 0xEE, 0xEE, 0xEE}));
    // In Record+Play every repetition follows its own silent lead-in.
    std::vector<uint8_t> repeated(3 * (64 + 4) + 5, 7);
    CSoundIOView& sio = Make("8", "1", {0.5, 0.5, 0.5, 0.5}, "Rec./Play", "2");
    EXPECT_EQ(sio.ConvertDoubletoRIFF(repeated), 3u * 68u);
    for (size_t k = 0; k < repeated.size(); ++k)
        EXPECT_EQ(repeated[k], k >= 204 ? 7 : k % 68 < 64 ? 128 : 191) << k;
}

TEST_F(Convert, RecordingsScaleByOneOver32768OrOver127AndMonoLeavesChannelTwoZero) {
    CSoundIOView& sio = Make("16", "1", {});
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

    CSoundIOView& eight = Make("8", "2", {});
    const CWaveHeader silence = Recording(std::vector<uint8_t>(8, 128));
    eight.ConvertRIFFtoDouble(silence, 0);
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(eight.ScanForPeakLevel(silence, c), 0);
        EXPECT_EQ(Values(eight.GetWorkingList()->GetAt(c)->GetTimeObj()),
                  (std::vector<double>{0, 0, 0, 0}));
    }
}

// 8-bit: threshold 127 * fraction + 127, at level 0 the first sample below it; 16-bit: threshold
// 32767 * fraction, at level 0 the first frame.
TEST_F(Convert, TriggerFindsTheFirstSampleBeyondTheThreshold) {
    const struct {
        const char* res;
        std::vector<uint8_t> samples; // mono
        double fraction;
        long expected; // byte position, -1 for none
    } cases[] = {{"8", {128, 127, 126, 200}, 0.0, 2},      {"8", {128, 190, 191, 120}, 0.5, 2},
                 {"8", {128, 64, 63, 200}, -0.5, 2},       {"8", {128, 128}, 0.9, -1},
                 {"16", {0x00, 0x00, 0x10, 0x00}, 0.0, 0}, {"16", {0xFF, 0x3F, 0x01, 0x40}, 0.5, 2},
                 {"16", {0x01, 0xC0, 0x00, 0xC0}, -0.5, 2}};
    for (const auto& c : cases) {
        const std::optional<long> found =
            Make(c.res, "1", {}).ScanForTrigger(Recording(c.samples), 0, c.fraction);
        EXPECT_EQ(found.value_or(-1), c.expected) << c.res << " bits at " << c.fraction;
    }
}

} // namespace
