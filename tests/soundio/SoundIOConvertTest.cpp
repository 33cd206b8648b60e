// PCM conversions at their bounds, peak level and sample, and the trigger threshold rules on
// hand-made recordings.
#include "SoundIOTestProcess.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A SoundIO step alone, with the block size 4 and the given format, whose current block list
// channel 1 holds `values` (channel 2 their negatives).
class Convert : public ::testing::Test {
protected:
    void Make(const std::string& res, const std::string& chan, const std::vector<double>& values,
              const std::string& mode = "Play", const std::string& repeat = "0") {
        doc = t.NewProcess({"SoundIO"}, 4, 8000);
        ASSERT_NE(doc, nullptr);
        t.Set(*doc, {"1:res=" + res, "1:chan=" + chan, "1:mode=" + mode, "1:repeat=" + repeat});
        sio = &StepAs<CSoundIOView>(*doc, 0);
        ASSERT_EQ(sio->StartRun(), 1);
        CDSPFFTDataList* list = doc->GetDocumentList();
        for (size_t i = 0; i < values.size(); ++i) {
            list->GetTimeData(0)[i] = values[i];
            list->GetTimeData(1)[i] = -values[i];
        }
        // The document keeps its own list; the current-list pointer does not own it here.
        doc->SetCurrentList(std::shared_ptr<CDSPFFTDataList>(std::shared_ptr<void>(), list));
    }
    CSoundIOTestApp t;
    CDspDoc* doc = nullptr;
    CSoundIOView* sio = nullptr;
};

TEST_F(Convert, SixteenBitClipsAtFullScaleAndTruncates) {
    Make("16", "2", {1.0, 1.5, 0.5, -1.0});
    std::vector<uint8_t> pcm(16, 0xEE);
    EXPECT_EQ(sio->ConvertDoubletoRIFF(pcm), 16u);
    auto at = [&](int k) { return int16_t(pcm[2 * k] | (pcm[2 * k + 1] << 8)); };
    const std::vector<int16_t> expected{32767, -32767, 32767, -32767, 16383, -16383, -32767, 32767};
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(at(k), expected[size_t(k)]) << k;
}

TEST_F(Convert, EightBitMonoWritesChannelOneOnly) {
    Make("8", "1", {1.0, -1.0, -2.0, 0.5});
    std::vector<uint8_t> pcm(8, 0xEE);
    EXPECT_EQ(sio->ConvertDoubletoRIFF(pcm), 4u);
    EXPECT_EQ(pcm, (std::vector<uint8_t>{255, 1, 0, 191, 0xEE, 0xEE, 0xEE, 0xEE}));
}

TEST_F(Convert, RepetitionsInRecordPlayEachFollowTheSilentLeadIn) {
    Make("8", "1", {0.5, 0.5, 0.5, 0.5}, "Rec./Play", "2");
    std::vector<uint8_t> pcm(3 * (64 + 4) + 5, 7);
    EXPECT_EQ(sio->ConvertDoubletoRIFF(pcm), 3u * 68u);
    for (size_t k = 0; k < pcm.size(); ++k)
        EXPECT_EQ(pcm[k], k >= 204 ? 7 : k % 68 < 64 ? 128 : 191) << k;
}

TEST_F(Convert, RecordingsScaleByOneOver32768OrOver127AndMonoLeavesChannelTwoZero) {
    Make("16", "1", {});
    CWaveHeader h;
    h.data = {0x00, 0x80, 0xFF, 0x7F, 0x00, 0x40, 0x01, 0x00};
    h.bytesRecorded = 8;
    sio->ConvertRIFFtoDouble(h, 0);
    const CDSPFFTDataList& out = *sio->GetWorkingList();
    EXPECT_EQ(out.GetAt(0)->GetTimeObj()->GetDataPointer()[0], -1.0);
    EXPECT_EQ(out.GetAt(0)->GetTimeObj()->GetDataPointer()[1], 32767.0 / 32768.0);
    EXPECT_EQ(out.GetAt(0)->GetTimeObj()->GetDataPointer()[2], 0.5);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(out.GetAt(1)->GetTimeObj()->GetDataPointer()[i], 0.0);
    EXPECT_EQ(sio->ScanForPeakLevel(h, 0), -100);
    EXPECT_EQ(sio->ScanForPeakSample(h, 0), 1);
    EXPECT_EQ(sio->ScanForPeakLevel(h, 1), 0);
    EXPECT_EQ(sio->ScanForPeakSample(h, 1), 0);

    // A calibrated full-scale level scales the samples of its channel.
    sio->GetCalibration()->Level[0].FullScaleLevelParams = "2.0 Vpk";
    sio->GetCalibration()->Level[0].InputLevelCalApply = true;
    sio->ConvertRIFFtoDouble(h, 4);
    EXPECT_EQ(out.GetAt(0)->GetTimeObj()->GetDataPointer()[0], 1.0);
    EXPECT_EQ(out.GetAt(0)->GetTimeObj()->GetDataPointer()[2], 0.0); // beyond the recording
}

TEST_F(Convert, EightBitSilenceIsZeroAtPeakZero) {
    Make("8", "2", {});
    CWaveHeader h;
    h.data.assign(8, 128);
    h.bytesRecorded = 8;
    sio->ConvertRIFFtoDouble(h, 0);
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(sio->ScanForPeakLevel(h, c), 0);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(sio->GetWorkingList()->GetAt(c)->GetTimeObj()->GetDataPointer()[i], 0.0);
    }
}

struct CTriggerCase {
    const char* res;
    std::vector<uint8_t> samples; // mono
    double fraction;
    long expected; // byte position, -1 for none
};

class Trigger : public Convert, public ::testing::WithParamInterface<CTriggerCase> {};

TEST_P(Trigger, FindsTheFirstSampleBeyondTheThreshold) {
    Make(GetParam().res, "1", {});
    CWaveHeader h;
    h.data = GetParam().samples;
    h.bytesRecorded = static_cast<uint32_t>(h.data.size());
    const std::optional<long> found = sio->ScanForTrigger(h, 0, GetParam().fraction);
    EXPECT_EQ(found.value_or(-1), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    SoundIO, Trigger,
    ::testing::Values(
        // 8-bit: threshold 127 * fraction + 127; at level 0 (127) the first sample below it.
        CTriggerCase{"8", {128, 127, 126, 200}, 0.0, 2},
        CTriggerCase{"8", {128, 190, 191, 120}, 0.5, 2},
        CTriggerCase{"8", {128, 64, 63, 200}, -0.5, 2}, CTriggerCase{"8", {128, 128}, 0.9, -1},
        // 16-bit: threshold 32767 * fraction; at level 0 the first frame.
        CTriggerCase{"16", {0x00, 0x00, 0x10, 0x00}, 0.0, 0},
        CTriggerCase{"16", {0xFF, 0x3F, 0x01, 0x40}, 0.5, 2},
        CTriggerCase{"16", {0x01, 0xC0, 0x00, 0xC0}, -0.5, 2}));

} // namespace
