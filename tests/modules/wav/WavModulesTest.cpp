// The WAV modules in a process: a file played block by block with silence after its span, the
// messages of damaged files, blocks written and appended, and steps stored by another
// installation. The stored layouts are WavArchiveTest's.
#include "common/ArchiveBytes.h"
#include "common/ModuleProcess.h"
#include "common/PatternModules.h"
#include "common/HexBytes.h"
#include "common/TempFolder.h"
#include "common/WavBytes.h"
#include "modules/wav/WavSaveView.h"
#include "modules/wav/WaveFileInView.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

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

// Damaged files and the message each is refused with.
const std::vector<uint8_t> kData = {1, 2, 3, 4};
const std::pair<std::vector<uint8_t>, std::string> kDamaged[] = {
    {{}, "The file is not a valid WAVE file"},
    {{'R', 'I', 'F', 'X', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, "The file is not a valid WAVE file"},
    {RiffFileBytes({WavChunk("data", kData)}, "AVI "), "The file is not a valid WAVE file"},
    {RiffFileBytes({WavChunk("data", kData)}), "The WAVE file has no format information"},
    {RiffFileBytes({WavChunk("fmt ", std::vector<uint8_t>(12, 1))}),
     "The WAVE file format could not be read"},
    {RiffFileBytes({WavChunk("fmt ", FmtBytes(2, 1, 8000, 4)), WavChunk("data", kData)}),
     "The WAVE file is not in PCM format"},
    {RiffFileBytes({WavChunk("fmt ", FmtBytes(1, 3, 8000, 16)), WavChunk("data", kData)}),
     "Invalid Sample Size/Number of Channels"},
    {RiffFileBytes({WavChunk("fmt ", FmtBytes(1, 2, 8000, 16))}), "The WAVE file has no data"},
    {RiffFileBytes({WavChunk("fmt ", FmtBytes(1, 2, 8000, 16)), WavChunk("data", {1, 2, 3})}),
     "The WAVE file has no data"},
    // An empty data chunk is no unfinished one: the chunk after it is not played as samples.
    {RiffFileBytes({WavChunk("fmt ", FmtBytes(1, 2, 8000, 16)), WavChunk("data", {}),
                    WavChunk("LIST", {'I', 'N', 'F', 'O', 'I', 'C', 'M', 'T', 1, 0, 0, 0, 'x'})}),
     "The WAVE file has no data"},
};

// Each is refused with its message and the module keeps no file.
TEST(WavDamaged, IsRefusedWithItsMessageAndTheModuleKeepsNoFile) {
    for (const auto& [bytes, expected] : kDamaged) {
        CTempFolder folder;
        PutBytes(folder.File("bad.wav"), bytes);
        CModuleProcess p;
        ASSERT_TRUE(p.Create({"WAV File Open"}, 4, 48000));
        std::string message;
        EXPECT_FALSE(p.Step(1).SetControl("file", folder.File("bad.wav"), message));
        EXPECT_EQ(message, expected) << HexText(bytes);
        EXPECT_EQ(p.Step<CWaveFileInView>(1).GetFileTitle(), "(No File)");
    }
}

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

// 24 bits round and clip; float keeps what is beyond full scale. Laid out by hand: the 16-byte
// PCM chunk, or the 18-byte one of a float file (format 3, an empty extension). The readouts say
// what was written.
TEST_F(WavSave, WritesHighResolutionFilesInTheirLayout) {
    const std::tuple<const char*, std::vector<uint8_t>, const char*, const char*> cases[] = {
        {"24", FmtBytes(1, 2, 8000, 24), "000080 000080 ffff7f 000000 000040 0000c0 ffff7f 000080",
         "Format: 24 Bit Stereo 8000 Hz|Frames: 4|Size: 24 bytes|"},
        {"32 float", Joined(FmtBytes(3, 2, 8000, 32), HexBytes("0000")),
         "000080bf 000000c0 0000803f 00000000 0000003f 000000bf 00000040 000080bf",
         "Format: 32 Bit Float Stereo 8000 Hz|Frames: 4|Size: 32 bytes|"}};
    for (const auto& [bits, fmt, data, readouts] : cases) {
        p.Step<CPatternSource>(1).m_pass = 0;
        p.Set(2, {"file=" + path, "rate=8000", std::string("bits=") + bits});
        ASSERT_TRUE(p.Pass());
        p.Doc().OnEditStop();
        EXPECT_EQ(GetBytes(path),
                  RiffFileBytes({WavChunk("fmt ", fmt), WavChunk("data", HexBytes(data))}))
            << bits;
        std::string shown;
        for (const CReadoutValue& r : p.Step(2).GetReadoutValues())
            if (r.labelShown) shown += r.Text() + "|";
        EXPECT_EQ(shown, readouts);
    }
}

// Appended to, a float file takes the blocks as floats whatever the lists say, and every sample
// reads back as the float it was stored as.
TEST_F(WavSave, FloatFilesAppendAndReadBackExactly) {
    p.Step<CPatternSource>(1).m_pattern = [](int c, int k, int i) {
        return (c ? -1.0 : 1.0) * (i + 1) / (3.0 * k);
    };
    std::vector<double> written;
    for (const auto& settings : {std::vector<std::string>{"file=" + path, "bits=32 float"},
                                 std::vector<std::string>{"appendmode=On", "bits=16"}}) {
        p.Set(2, settings);
        ASSERT_TRUE(p.Pass());
        p.Doc().OnEditStop();
        for (double x : p.Out(1))
            written.push_back(double(float(x)));
    }
    EXPECT_EQ(p.Step<CWavSaveView>(2).GetFramesWritten(), 8);
    CModuleProcess reader{PatternRegistry()};
    ASSERT_TRUE(reader.Create({"WAV File Open"}, 8, 48000));
    reader.Set(1, {"file=" + path});
    ASSERT_TRUE(reader.Pass());
    EXPECT_EQ(reader.Out(1), written);
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

// Data that another chunk follows cannot grow in place: appending is refused with the reason and
// the file stays as it was, whether the data holds frames or is empty.
TEST_F(WavSave, AppendingToDataOtherChunksFollowIsRefusedAndTheFileKept) {
    for (const std::vector<uint8_t>& data : {std::vector<uint8_t>{10, 20, 30, 40}, {}}) {
        const auto bytes =
            RiffFileBytes({WavChunk("fmt ", FmtBytes(1, 1, 8000, 8)), WavChunk("data", data),
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
}

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

TEST(FrameCount, GroupsDigitsInThrees) {
    for (const auto& [frames, text] : {std::pair<int64_t, const char*>{0, "0"},
                                       {999, "999"},
                                       {1000, "1,000"},
                                       {1001, "1,001"},
                                       {1000000, "1,000,000"},
                                       {1234567, "1,234,567"},
                                       {2000500, "2,000,500"}})
        EXPECT_EQ(CWavSaveView::FrameCountText(frames), text);
}

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

// The step opens whatever its stored format and span say (here a 24-bit six-channel file, and a
// span past the stored frame count); a run reads the file again and plays what it holds of the
// span (channel 1 of each pass), then ends as a played span does.
TEST_F(WavPlay, AStoredStepOpensAndPlaysWhatTheFileHolds) {
    const std::tuple<uint16_t, uint16_t, int32_t, std::vector<std::vector<double>>> cases[] = {
        {24,
         6,
         10,
         {Frames({0, 1000, 2000, 3000}), Frames({4000, 5000, 6000, 7000}),
          Frames({8000, 9000, 0, 0})}},
        {16, 2, 90, {Frames({6000, 7000, 8000, 9000})}}};
    for (const auto& [bits, channels, stop, passes] : cases) {
        const int32_t start = stop == 10 ? 0 : 6;
        CArchive in(StoredWavOpenStep(path, bits, channels, 10, start, stop));
        auto& view = p.Step<CWaveFileInView>(1);
        view.Serialize(in);
        ASSERT_TRUE(in.Ok()) << in.GetError();
        EXPECT_EQ(view.GetStopFrame(), stop);
        for (const auto& expected : passes) {
            ASSERT_TRUE(p.Pass());
            EXPECT_THAT(p.Out(1), Near(expected));
        }
        EXPECT_FALSE(p.Pass());
        EXPECT_THAT(p.TakeMessages(), testing::IsEmpty());
        EXPECT_EQ(view.GetFormat().channels, 2);
        EXPECT_EQ(view.GetFormat().bitsPerSample, 16);
    }
}

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
