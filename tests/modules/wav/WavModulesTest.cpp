// The WAV modules in a process: a file played block by block with silence after its span, the
// messages of damaged files, blocks written and appended, the span dragged on the overview,
// and steps stored by another installation. The stored layouts are WavArchiveTest's.
#include "common/ArchiveBytes.h"
#include "common/CaseName.h"
#include "common/ModuleProcess.h"
#include "common/PatternModules.h"
#include "common/HexBytes.h"
#include "common/TempFolder.h"
#include "common/WavBytes.h"
#include "platform/RecordingCanvas.h"
#include "modules/wav/WavSaveView.h"
#include "modules/wav/WaveFileInView.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Frame k of a 16-bit stereo file holds 1000 k on channel 1 and -1000 k on channel 2.
std::vector<uint8_t> TenFrames16() {
    std::vector<uint8_t> data;
    for (int k = 0; k < 10; ++k)
        for (int v : {1000 * k, -1000 * k}) {
            const auto b = LittleEndian(uint32_t(v), 2);
            data.insert(data.end(), b.begin(), b.end());
        }
    return RiffFileBytes({WavChunk("fmt ", FmtBytes(1, 2, 22050, 16)), WavChunk("data", data)});
}

std::vector<double> Frames(std::initializer_list<int> values) {
    std::vector<double> out;
    for (int v : values)
        out.push_back(v * 3.0517578125e-05);
    return out;
}

struct WavPlay : testing::Test {
    CTempFolder folder;
    CModuleProcess p{PatternRegistry()};
    std::string path = folder.File("ten.wav");
    void SetUp() override {
        PutBytes(path, TenFrames16());
        ASSERT_TRUE(p.Create({"WAV File Open"}, 4, 48000));
        p.Set(1, {"file=" + path});
    }
};

TEST_F(WavPlay, TenFramesInBlocksOfFourGiveFourFourAndTwoPaddedThenTheRunEnds) {
    EXPECT_EQ(p.Step<CWaveFileInView>(1).GetFileTitle(), "ten.wav");
    ASSERT_TRUE(p.Pass());
    EXPECT_THAT(p.Out(1), Near(Frames({0, 1000, 2000, 3000})));
    EXPECT_THAT(p.Out(2), Near(Frames({0, -1000, -2000, -3000})));
    EXPECT_EQ(p.Doc().GetCurrentList()->GetSampleRate(0), 22050.0);
    ASSERT_TRUE(p.Pass());
    EXPECT_THAT(p.Out(1), Near(Frames({4000, 5000, 6000, 7000})));
    ASSERT_TRUE(p.Pass());
    EXPECT_THAT(p.Out(2), Near(Frames({-8000, -9000, 0, 0})));
    EXPECT_FALSE(p.Pass());
    EXPECT_FALSE(p.Doc().IsRunning());
    EXPECT_THAT(p.TakeMessages(), testing::IsEmpty());
}

TEST_F(WavPlay, ASpanShorterThanABlockPlaysOnceFollowedBySilence) {
    p.Set(1, {"stop=6", "start=3"});
    ASSERT_TRUE(p.Pass());
    EXPECT_THAT(p.Out(1), Near(Frames({3000, 4000, 5000, 0})));
    EXPECT_FALSE(p.Pass());
}

TEST_F(WavPlay, DraggingAcrossTheOverviewChoosesTheSpanAndAPressResetsIt) {
    auto& view = p.Step<CWaveFileInView>(1);
    CRecordingCanvas canvas;
    view.OnDraw(canvas, {0, 0, 210, 110}); // the plot: x from 5 to 205, 200 pixels
    view.OnLButtonDown({125, 50});
    view.OnMouseMove({300, 50}, true); // past the plot: held at its edge
    view.OnLButtonUp({45, 50});        // leftwards: 40 and 120 pixels in, frames 2 and 6
    EXPECT_TRUE(view.IsSelectionMade());
    EXPECT_EQ(view.GetStartFrame(), 2);
    EXPECT_EQ(view.GetStopFrame(), 6);
    view.OnLButtonDown({60, 50});
    view.OnLButtonUp({60, 50});
    EXPECT_FALSE(view.IsSelectionMade());
    EXPECT_EQ(view.GetStopFrame(), 10);
    // The overview reads one frame per column: column 100 of 200 is frame 5.
    EXPECT_NEAR(view.ReadOverview(200)[100].second, -5000 * 3.0517578125e-05, 1e-12);
}

// A file gone since it was chosen is named as missing, and kept: its drive may come back. One
// that is no WAVE file any more is forgotten.
TEST_F(WavPlay, AFileGoneSinceItWasChosenStopsTheRunSayingItIsMissing) {
    std::filesystem::remove(path);
    for (int attempt = 1; attempt <= 2; ++attempt) {
        EXPECT_FALSE(p.Pass());
        EXPECT_THAT(p.TakeMessages(),
                    testing::ElementsAre("The WAVE file " + path + " does not exist"));
        EXPECT_EQ(p.Step<CWaveFileInView>(1).GetFilePath(), path);
    }
    PutBytes(path, {'n', 'o'});
    EXPECT_FALSE(p.Pass());
    EXPECT_THAT(p.TakeMessages(), testing::ElementsAre("The file is not a valid WAVE file"));
    EXPECT_EQ(p.Step<CWaveFileInView>(1).GetFilePath(), "");
    EXPECT_FALSE(p.Pass());
    EXPECT_THAT(p.TakeMessages(), testing::ElementsAre("No PCM file selected"));
}

TEST_F(WavPlay, ChoosingAMissingFileOrAFolderSaysSo) {
    std::string message;
    EXPECT_FALSE(p.Step(1).SetControl("file", folder.File("none.wav"), message));
    EXPECT_EQ(message, "The WAVE file " + folder.File("none.wav") + " does not exist");
    EXPECT_FALSE(p.Step(1).SetControl("file", folder.Path(), message));
    EXPECT_EQ(message, folder.Path() + " is a folder, not a WAVE file");
    EXPECT_EQ(p.Step<CWaveFileInView>(1).GetFilePath(), path);
}

struct CDamaged {
    std::string name;
    std::vector<uint8_t> bytes;
    std::string message;
};

const std::vector<uint8_t> kData = {1, 2, 3, 4};
const CDamaged kDamaged[] = {
    {"Empty", {}, "The file is not a valid WAVE file"},
    {"NotRiff",
     {'R', 'I', 'F', 'X', 4, 0, 0, 0, 'W', 'A', 'V', 'E'},
     "The file is not a valid WAVE file"},
    {"OtherForm", RiffFileBytes({WavChunk("data", kData)}, "AVI "),
     "The file is not a valid WAVE file"},
    {"NoFormat", RiffFileBytes({WavChunk("data", kData)}),
     "The WAVE file has no format information"},
    {"ShortFormat", RiffFileBytes({WavChunk("fmt ", std::vector<uint8_t>(12, 1))}),
     "The WAVE file format could not be read"},
    {"Adpcm", RiffFileBytes({WavChunk("fmt ", FmtBytes(2, 1, 8000, 4)), WavChunk("data", kData)}),
     "The WAVE file is not in PCM format"},
    {"ThreeChannels",
     RiffFileBytes({WavChunk("fmt ", FmtBytes(1, 3, 8000, 16)), WavChunk("data", kData)}),
     "Invalid Sample Size/Number of Channels"},
    {"NoData", RiffFileBytes({WavChunk("fmt ", FmtBytes(1, 2, 8000, 16))}),
     "The WAVE file has no data"},
    {"LessThanAFrame",
     RiffFileBytes({WavChunk("fmt ", FmtBytes(1, 2, 8000, 16)), WavChunk("data", {1, 2, 3})}),
     "The WAVE file has no data"},
    // An empty data chunk is no unfinished one: the chunk after it is not played as samples.
    {"EmptyDataBeforeAnotherChunk",
     RiffFileBytes({WavChunk("fmt ", FmtBytes(1, 2, 8000, 16)), WavChunk("data", {}),
                    WavChunk("LIST", {'I', 'N', 'F', 'O', 'I', 'C', 'M', 'T', 1, 0, 0, 0, 'x'})}),
     "The WAVE file has no data"},
};

class WavDamaged : public testing::TestWithParam<CDamaged> {};

TEST_P(WavDamaged, IsRefusedWithItsMessageAndTheModuleKeepsNoFile) {
    CTempFolder folder;
    PutBytes(folder.File("bad.wav"), GetParam().bytes);
    CModuleProcess p;
    ASSERT_TRUE(p.Create({"WAV File Open"}, 4, 48000));
    std::string message;
    EXPECT_FALSE(p.Step(1).SetControl("file", folder.File("bad.wav"), message));
    EXPECT_EQ(message, GetParam().message);
    EXPECT_EQ(p.Step<CWaveFileInView>(1).GetFileTitle(), "(No File)");
}

INSTANTIATE_TEST_SUITE_P(Files, WavDamaged, testing::ValuesIn(kDamaged), CaseName());

struct WavSave : testing::Test {
    CTempFolder folder;
    CModuleProcess p{PatternRegistry()};
    std::string path = folder.File("out.wav");
    void SetUp() override {
        ASSERT_TRUE(p.Create({"Signal Generator", "WAV File Save"}, 4, 48000));
        // Channel 1: -1.0, 1.0, 0.5, 2.0; channel 2: -2.0, 0, -0.5, -1.0 (pass 1).
        p.Step<CPatternSource>(1).m_pattern = [](int c, int k, int i) {
            const double v[2][4] = {{-1.0, 1.0, 0.5, 2.0}, {-2.0, 0.0, -0.5, -1.0}};
            return v[c][i] / k;
        };
    }
};

TEST_F(WavSave, WritesEachBlockClippedAndHandsItOn) {
    p.Set(2, {"file=" + path, "rate=8000", "bits=16"});
    ASSERT_TRUE(p.Pass());
    EXPECT_THAT(p.Out(1), Near({-1.0, 1.0, 0.5, 2.0}));
    p.Doc().OnEditStop();
    EXPECT_EQ(GetBytes(path), RiffFileBytes({WavChunk("fmt ", FmtBytes(1, 2, 8000, 16)),
                                             WavChunk("data", HexBytes("0180 0180 ff7f 0000 "
                                                                       "ff3f 01c0 ff7f 0180"))}));
    EXPECT_EQ(ControlState(p.Step(2), "frames").text, "4");
}

TEST_F(WavSave, AppendingTakesTheFilesOwnFormatWhateverTheLists) {
    // 8-bit stereo with block alignment 2, two frames and a byte of a third one cut short (with
    // its pad byte); the lists say 16-bit mono.
    PutBytes(path, RiffFileBytes({WavChunk("fmt ", FmtBytes(1, 2, 11025, 8, 2)),
                                  WavChunk("data", {10, 20, 30, 40, 50})}));
    p.Set(2, {"file=" + path, "appendmode=On", "bits=16", "channels=1"});
    ASSERT_TRUE(p.Pass());
    ASSERT_TRUE(p.Pass());
    p.Doc().OnEditStop();
    EXPECT_EQ(p.Step<CWavSaveView>(2).GetFramesWritten(), 10);
    // Pass 1 as above, pass 2 halved: 8-bit is 128 + trunc(127 x), clipped to 0 and 255.
    EXPECT_EQ(GetBytes(path),
              RiffFileBytes({WavChunk("fmt ", FmtBytes(1, 2, 11025, 8, 2)),
                             WavChunk("data", HexBytes("0a 14 1e 28  01 00 ff 80 bf 40 ff 01"
                                                       "40 01 bf 80 9f 60 ff 40"))}));
}

struct CTrailedCase {
    std::string name;
    std::vector<uint8_t> data; // the data chunk's bytes, followed by a LIST chunk
};

class WavAppendTrailed : public WavSave, public testing::WithParamInterface<CTrailedCase> {};

// Data that another chunk follows cannot grow in place: appending is refused with the reason and
// the file stays as it was, whether the data holds frames or is empty.
TEST_P(WavAppendTrailed, IsRefusedAndTheFileKept) {
    const auto bytes =
        RiffFileBytes({WavChunk("fmt ", FmtBytes(1, 1, 8000, 8)), WavChunk("data", GetParam().data),
                       WavChunk("LIST", {'I', 'N', 'F', 'O'})});
    PutBytes(path, bytes);
    p.Set(2, {"file=" + path, "appendmode=On"});
    EXPECT_FALSE(p.Pass());
    EXPECT_THAT(
        p.TakeMessages(),
        testing::ElementsAre(
            "The WAVE file has other chunks after its data; appending would overwrite them"));
    EXPECT_EQ(GetBytes(path), bytes);
}

INSTANTIATE_TEST_SUITE_P(Files, WavAppendTrailed,
                         testing::Values(CTrailedCase{"Frames", {10, 20, 30, 40}},
                                         CTrailedCase{"Empty", {}}),
                         CaseName());

TEST_F(WavSave, NewCreatesTheFileAtOnceAndResetEmptiesWhatARunWrote) {
    auto& view = p.Step<CWavSaveView>(2);
    const auto empty =
        RiffFileBytes({WavChunk("fmt ", FmtBytes(1, 2, 48000, 16)), WavChunk("data", {})});
    ASSERT_TRUE(view.ChooseFile(path, false));
    EXPECT_EQ(GetBytes(path), empty);
    ASSERT_TRUE(p.Pass());
    p.Doc().OnEditStop();
    EXPECT_EQ(GetBytes(path).size(), empty.size() + 16);
    view.OnClickedReset();
    EXPECT_EQ(GetBytes(path), empty);
    EXPECT_EQ(view.GetFramesWritten(), 0);
    view.OnClickedClose();
    EXPECT_EQ(view.GetFileTitle(), "(No File Opened)");
}

// A new step writes at the process's rate (the nearest in its list) and follows it until a rate
// is chosen; a stored rate stays what it was, byte for byte, and a rate that differs from the
// process's is named.
TEST_F(WavSave, ANewStepWritesAtTheProcessRateAndAStoredOneStays) {
    auto& view = p.Step<CWavSaveView>(2);
    const auto status = [&view] { return view.UpdateStatusPane(0, CColour{}).text; };
    EXPECT_EQ(view.GetSampleRate(), 48000);
    EXPECT_EQ(status().find("process rate"), std::string::npos) << status();
    p.SetFFTOptions({{}, 50000});
    EXPECT_EQ(view.GetSampleRate(), 48000);
    EXPECT_TRUE(status().ends_with(
        "  Rate 48000 Hz is not the process rate 50000 Hz: frequencies come out scaled by 0.96"))
        << status();

    CArchiveBytes f;
    f.NewClass("CDspView").I32(0).NewClass("CWavSaveView").Text("").Text("(No File Opened)");
    f.I32(0).I32(1).I32(1).I32(0); // 5000 Hz, 16 bits, stereo, no appending
    CArchive in(f.Get());
    view.Serialize(in);
    ASSERT_TRUE(in.Ok()) << in.GetError();
    p.Doc().ShowCurrentParams();
    EXPECT_EQ(view.GetSampleRate(), 5000);
    EXPECT_TRUE(status().ends_with(
        "  Rate 5000 Hz is not the process rate 50000 Hz: frequencies come out scaled by 0.1"))
        << status();
    CArchive out;
    view.Serialize(out);
    EXPECT_EQ(out.GetBuffer(), f.Get());
    p.Set(2, {"rate=8000"});
    p.SetFFTOptions({{}, 50000});
    EXPECT_EQ(view.GetSampleRate(), 8000);
}

TEST_F(WavSave, ARunWithoutAFileIsRefused) {
    EXPECT_FALSE(p.Pass());
    EXPECT_THAT(p.TakeMessages(), testing::ElementsAre("No Output WAV File Selected"));
}

struct CCount {
    std::string name;
    int64_t frames;
    std::string text;
};

class FrameCount : public testing::TestWithParam<CCount> {};

TEST_P(FrameCount, GroupsDigitsInThrees) {
    EXPECT_EQ(CWavSaveView::FrameCountText(GetParam().frames), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Counts, FrameCount,
                         testing::Values(CCount{"Zero", 0, "0"}, CCount{"OneGroup", 999, "999"},
                                         CCount{"Thousand", 1000, "1,000"},
                                         CCount{"OneAfter", 1001, "1,001"},
                                         CCount{"Million", 1000000, "1,000,000"},
                                         CCount{"Mixed", 1234567, "1,234,567"},
                                         CCount{"ZeroMiddle", 2000500, "2,000,500"}),
                         CaseName());

// A "WAV File Open" step as another installation may store it: the file's format and frame
// count as they were when it was chosen (here a 24-bit six-channel file), and a span that may
// reach past the stored frame count (a file that has shrunk and was chosen again, say).
std::vector<uint8_t> StoredWavOpenStep(const std::string& path, uint16_t bits, uint16_t channels,
                                       int32_t total, int32_t start, int32_t stop) {
    CArchiveBytes f;
    f.NewClass("CDspView").I32(0).NewClass("CWaveFileInView");
    f.Text("ten.wav").Text(path).U16(bits).I32(48000).U16(channels);
    return f.I32(total).I32(1).I32(start).I32(stop);
}

struct CStoredCase {
    std::string name;
    uint16_t bits, channels;
    int32_t total, start, stop;
    std::vector<std::vector<double>> passes; // channel 1 of each pass that plays
};

class WavStoredStep : public WavPlay, public testing::WithParamInterface<CStoredCase> {};

// The step opens whatever its stored format and span say; a run reads the file again and plays
// what it holds of the span, then ends as a played span does.
TEST_P(WavStoredStep, OpensAndPlaysWhatTheFileHolds) {
    const CStoredCase& c = GetParam();
    CArchive in(StoredWavOpenStep(path, c.bits, c.channels, c.total, c.start, c.stop));
    auto& view = p.Step<CWaveFileInView>(1);
    view.Serialize(in);
    ASSERT_TRUE(in.Ok()) << in.GetError();
    EXPECT_EQ(view.GetStopFrame(), c.stop);
    for (const auto& expected : c.passes) {
        ASSERT_TRUE(p.Pass());
        EXPECT_THAT(p.Out(1), Near(expected));
    }
    EXPECT_FALSE(p.Pass());
    EXPECT_THAT(p.TakeMessages(), testing::IsEmpty());
    EXPECT_EQ(view.GetFormat().channels, 2);
    EXPECT_EQ(view.GetFormat().bitsPerSample, 16);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, WavStoredStep,
    testing::Values(CStoredCase{"OtherFormat",
                                24,
                                6,
                                10,
                                0,
                                10,
                                {Frames({0, 1000, 2000, 3000}), Frames({4000, 5000, 6000, 7000}),
                                 Frames({8000, 9000, 0, 0})}},
                    CStoredCase{
                        "SpanPastTheEnd", 16, 2, 10, 6, 90, {Frames({6000, 7000, 8000, 9000})}}),
    CaseName());

// A file the module cannot play, named by a stored step, says so when the run starts.
TEST_F(WavPlay, AStoredStepWhoseFileHasThreeChannelsFailsWhenItRuns) {
    PutBytes(path, RiffFileBytes({WavChunk("fmt ", FmtBytes(1, 3, 8000, 16)),
                                  WavChunk("data", std::vector<uint8_t>(60, 0))}));
    CArchive in(StoredWavOpenStep(path, 16, 3, 10, 0, 10));
    p.Step(1).Serialize(in);
    ASSERT_TRUE(in.Ok()) << in.GetError();
    EXPECT_FALSE(p.Pass());
    EXPECT_THAT(p.TakeMessages(), testing::ElementsAre("Invalid Sample Size/Number of Channels"));
}

} // namespace
