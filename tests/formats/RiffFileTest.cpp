// The RIFF reader against damaged layouts, and the writer's bytes at every step of a save.
#include "formats/RiffFile.h"

#include "common/TempFolder.h"
#include "common/WavBytes.h"

#include <gtest/gtest.h>

namespace {

const std::vector<uint8_t> kSix = {1, 2, 3, 4, 5, 6};
const std::vector<uint8_t> kFmt = FmtBytes(1, 1, 8000, 8);

struct CLayout {
    std::vector<uint8_t> bytes;
    uint32_t id;
    uint32_t size; // what FindChunk gives
    uint8_t first; // the chunk's first data byte
};

// A data chunk of six bytes 1..6 whose stored size says `size`, at the end of the file.
std::vector<uint8_t> DataSized(uint32_t size) {
    return RiffFileBytes({WavChunk("fmt ", kFmt), WavChunk("data", kSix, size)});
}

const CLayout kLayouts[] = {
    {RiffFileBytes({WavChunk("LIST", {9, 9, 9}), WavChunk("data", kSix), WavChunk("fmt ", kFmt)}),
     RiffCode("fmt "), 16, 1},
    {RiffFileBytes({WavChunk("junk", {9, 9, 9}), WavChunk("data", kSix)}), RiffCode("data"), 6, 1},
    {DataSized(1000), RiffCode("data"), 6, 1},
    {DataSized(0), RiffCode("data"), 6, 1},
    {DataSized(0xFFFFFFFF), RiffCode("data"), 6, 1},
    // Size 0 with whole chunks after it (the last one's pad byte may be missing) is empty.
    {RiffFileBytes({WavChunk("fmt ", kFmt), WavChunk("data", {}), WavChunk("LIST", kSix)}),
     RiffCode("data"), 0, 0},
    {Joined(RiffFileBytes({WavChunk("fmt ", kFmt), WavChunk("data", {})}),
            {'i', 'd', '3', ' ', 3, 0, 0, 0, 7, 7, 7}),
     RiffCode("data"), 0, 0},
    // Samples that only start like a chunk header still run to the end.
    {Joined(RiffFileBytes({WavChunk("fmt ", kFmt), WavChunk("data", {})}),
            {'L', 'I', 'S', 'T', 200, 0, 0, 0, 5, 6}),
     RiffCode("data"), 10, 'L'},
    {RiffFileBytes({WavChunk("fmt ", {1, 0, 1, 0}, 16)}), RiffCode("fmt "), 4, 1},
    {RiffFileBytes({WavChunk("fmt ", kFmt)}), RiffCode("data"), 0, 0},
    {Joined(RiffFileBytes({WavChunk("fmt ", kFmt)}), {'d', 'a', 't', 'a', 6}), RiffCode("data"), 0,
     0},
    {RiffFileBytes({WavChunk("junk", {9, 9}, 0xFFFFFFF0), WavChunk("data", kSix)}),
     RiffCode("data"), 0, 0},
};

TEST(RiffRead, FindsTheChunkWithoutTrustingSizes) {
    for (size_t i = 0; i < std::size(kLayouts); ++i) {
        const CLayout& c = kLayouts[i];
        CTempFolder folder;
        PutBytes(folder.File("a.wav"), c.bytes);
        CRiffFile riff;
        ASSERT_EQ(riff.Open(folder.File("a.wav"), ERiffMode::Read, RiffCode("WAVE")), 1) << i;
        EXPECT_EQ(riff.FindChunk(c.id), c.size) << "layout " << i;
        uint8_t first = 0;
        riff.Read(&first, c.size ? 1 : 0);
        EXPECT_EQ(first, c.first) << "layout " << i;
    }
}

TEST(RiffWrite, TheFileIsCompleteAfterEveryFlushAndPaddedAtTheClose) {
    CTempFolder folder;
    const std::string path = folder.File("w.wav");
    CRiffFile riff;
    ASSERT_EQ(riff.Open(path, ERiffMode::Create, RiffCode("WAVE")), 1);
    ASSERT_TRUE(riff.CreateChunk(RiffCode("fmt "), 16));
    ASSERT_EQ(riff.Write(kFmt.data(), kFmt.size()), kFmt.size());
    riff.Ascend();
    ASSERT_TRUE(riff.CreateChunk(RiffCode("data"), 0));
    ASSERT_EQ(riff.Write(kSix.data(), 3), 3u);
    ASSERT_TRUE(riff.Flush());
    std::vector<uint8_t> unpadded =
        RiffFileBytes({WavChunk("fmt ", kFmt), WavChunk("data", {1, 2, 3})});
    unpadded.pop_back();
    unpadded[4] -= 1; // the RIFF size counts no pad byte yet
    EXPECT_EQ(GetBytes(path), unpadded);
    riff.Close();
    EXPECT_EQ(GetBytes(path), RiffFileBytes({WavChunk("fmt ", kFmt), WavChunk("data", {1, 2, 3})}));
}

} // namespace
