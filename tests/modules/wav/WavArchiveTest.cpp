// The WAV modules' parts of a process file, laid out field by field from the stored layout (not
// by our writer): the view's record, the module's class record and its fields. Read in both
// layouts to the right values and written back byte for byte.
#include "common/ArchiveBytes.h"
#include "common/HexBytes.h"
#include "common/SettingById.h"

#include "base/Archive.h"
#include "modules/wav/WavSaveView.h"
#include "modules/wav/WaveFileInView.h"

#include <gtest/gtest.h>

namespace {

// "Process0" carries the view's and the module's class records; the older "Process" neither.
CArchiveBytes Frame(const char* module, bool legacy) {
    CArchiveBytes b;
    if (!legacy) b.NewClass("CDspView");
    b.I32(1); // "Sel Ch1"
    if (!legacy) b.NewClass(module);
    return b;
}

class WavArchiveLayout : public testing::TestWithParam<bool> {};

// File title, file path, bits per sample (16 bits), rate, channels (16 bits), total frames,
// selection made, start and stop frame.
TEST_P(WavArchiveLayout, WavFileOpenReadsEveryFieldAndWritesThemBack) {
    const bool legacy = GetParam();
    CArchiveBytes b = Frame("CWaveFileInView", legacy);
    b.Text("take two.wav").Text("/data/take two.wav");
    b.U16(16).I32(22050).U16(2);
    b.I32(10).I32(1).I32(2).I32(7);
    CArchive in(b.Get());
    in.SetLegacy(legacy);
    CWaveFileInView view;
    view.Serialize(in);
    ASSERT_TRUE(in.Ok()) << in.GetError();
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_EQ(view.GetSelectedChannel(), 1);
    EXPECT_EQ(view.GetFileTitle(), "take two.wav");
    EXPECT_EQ(view.GetFilePath(), "/data/take two.wav");
    EXPECT_EQ(view.GetFormat().bitsPerSample, 16);
    EXPECT_EQ(view.GetFormat().sampleRate, 22050);
    EXPECT_EQ(view.GetFormat().channels, 2);
    EXPECT_EQ(view.GetTotalFrames(), 10);
    EXPECT_TRUE(view.IsSelectionMade());
    EXPECT_EQ(view.GetStartFrame(), 2);
    EXPECT_EQ(view.GetStopFrame(), 7);

    CArchive out;
    out.SetLegacy(legacy);
    view.Serialize(out);
    EXPECT_EQ(HexText(out.GetBuffer()), HexText(b.Get()));
}

// File path, file title, then the sample rate, resolution and channel list positions and the
// append flag. Three of them are on/off choices, so two records between them hold each pair
// apart: a pair read or written in each other's place changes one record or the other.
struct CSaveRecord {
    const char* name;
    int32_t rate, resolution, channels, append;
    int sampleRate, bits, channelCount;
};

const CSaveRecord kSaveRecords[] = {
    {"Stereo8Bit", 9, 0, 1, 1, 44100, 8, 2},
    {"Mono16Bit", 3, 1, 0, 1, 11025, 16, 1},
};

class WavSaveArchiveLayout : public testing::TestWithParam<std::tuple<bool, CSaveRecord>> {};

TEST_P(WavSaveArchiveLayout, ReadsEveryFieldAndWritesThemBack) {
    const auto& [legacy, r] = GetParam();
    CArchiveBytes b = Frame("CWavSaveView", legacy);
    b.Text("/data/out.wav").Text("out.wav");
    b.I32(r.rate).I32(r.resolution).I32(r.channels).I32(r.append);
    CArchive in(b.Get());
    in.SetLegacy(legacy);
    CWavSaveView view;
    view.Serialize(in);
    ASSERT_TRUE(in.Ok()) << in.GetError();
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_EQ(view.GetFilePath(), "/data/out.wav");
    EXPECT_EQ(view.GetFileTitle(), "out.wav");
    EXPECT_EQ(view.GetSampleRate(), r.sampleRate);
    EXPECT_EQ(view.GetBitsPerSample(), r.bits);
    EXPECT_EQ(view.GetChannels(), r.channelCount);
    EXPECT_EQ(SettingById(view, "appendmode"), r.append ? "On" : "Off");

    CArchive out;
    out.SetLegacy(legacy);
    view.Serialize(out);
    EXPECT_EQ(HexText(out.GetBuffer()), HexText(b.Get()));
}

INSTANTIATE_TEST_SUITE_P(Records, WavSaveArchiveLayout,
                         testing::Combine(testing::Bool(), testing::ValuesIn(kSaveRecords)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) ? "Legacy" : "Current") +
                                    std::get<1>(info.param).name;
                         });

INSTANTIATE_TEST_SUITE_P(Layouts, WavArchiveLayout, testing::Bool(),
                         [](const auto& info) { return info.param ? "Legacy" : "Current"; });

} // namespace
