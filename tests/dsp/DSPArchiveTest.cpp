// Stored layouts of the sample block classes, compared with byte layouts built by hand.

#include "dsp/DSPFFTDataList.h"
#include "base/Archive.h"

#include "common/ArchiveBytes.h"
#include "common/CaseName.h"
#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using V = std::vector<double>;
using Bytes = std::vector<uint8_t>;

const V kTime{0.25, -0.5};
const V kMagnitude{1.5, 2.0};
const V kPhase{10.0, -20.0};

void MakeSmallBlock(CDSPFFTData& block) {
    MakeBlock(block, 1, 8000.0, kTime, kMagnitude, kPhase);
    block.SetGain(0.5);
    block.SetDelay(0.125);
    block.SetErrorText("bad");
}

void MakeSmallList(CDSPFFTDataList& list) {
    ASSERT_TRUE(list.Create(2, 1, 2, 8000.0));
    list.GetAt(0)->Fill(2, kTime.data(), kMagnitude.data(), kPhase.data());
    list.GetAt(1)->Fill(2, kPhase.data(), kTime.data(), kMagnitude.data());
    list.SetGain(1, 0.5);
    list.SetDelay(0, -3.0);
}

Bytes Store(CObject& object, bool legacy) {
    CArchive ar;
    ar.SetLegacy(legacy);
    object.Serialize(ar);
    EXPECT_TRUE(ar.Ok()) << ar.GetError();
    return ar.GetBuffer();
}

bool Load(CObject& object, Bytes bytes, bool legacy) {
    CArchive ar(std::move(bytes));
    ar.SetLegacy(legacy);
    object.Serialize(ar);
    return ar.Ok() && ar.Remaining() == 0;
}

// Block fields after its own class record (or none): header, three arrays, error text.
// Array class record: a new one at `arrayClass`, or back-references to it when `known`.
void BlockBody(CArchiveBytes& b, bool legacy, uint16_t arrayClass, bool known, double gain,
               double delay, const V& time, const V& magnitude, const V& phase,
               const std::string& error) {
    b.I32(1).I32(2).F64(8000.0).F64(gain).F64(delay);
    bool first = !known;
    for (const V* values : {&time, &magnitude, &phase}) {
        if (first)
            b.NewClass("CDSPData");
        else
            b.ClassRef(arrayClass);
        first = false;
        if (!legacy) b.ClassRef(arrayClass); // the array's own record, after the reference's
        b.I32(1).I32(int32_t(values->size())).F64(8000.0);
        for (double v : *values)
            b.F64(v);
    }
    b.Text(error);
}

TEST(DSPArchive, BlockLayouts) {
    CDSPFFTData block;
    MakeSmallBlock(block);
    CArchiveBytes current;
    current.NewClass("CDSPFFTData"); // index 1; the first array's class takes index 2
    BlockBody(current, false, 2, false, 0.5, 0.125, kTime, kMagnitude, kPhase, "bad");
    EXPECT_EQ(Store(block, false), current.Get());
    CArchiveBytes legacy; // no class record of its own; references keep theirs (class index 1)
    BlockBody(legacy, true, 1, false, 0.5, 0.125, kTime, kMagnitude, kPhase, "bad");
    EXPECT_EQ(Store(block, true), legacy.Get());
}

TEST(DSPArchive, ListLayouts) {
    CDSPFFTDataList list;
    MakeSmallList(list);
    CArchiveBytes current;
    // Indices: list class 1, block class 2, block 3, array class 4, arrays 5-7, block 8, ...
    current.NewClass("CDSPFFTDataList").I32(1).I32(2).F64(8000.0).I32(2).U16(2);
    current.NewClass("CDSPFFTData").ClassRef(2);
    BlockBody(current, false, 4, false, 1.0, -3.0, kTime, kMagnitude, kPhase, "");
    current.ClassRef(2).ClassRef(2);
    BlockBody(current, false, 4, true, 0.5, 0.0, kPhase, kTime, kMagnitude, "");
    EXPECT_EQ(Store(list, false), current.Get());

    CArchiveBytes legacy;
    legacy.I32(1).I32(2).F64(8000.0).I32(2).U16(2);
    legacy.NewClass("CDSPFFTData"); // class 1, block 2, array class 3
    BlockBody(legacy, true, 3, false, 1.0, -3.0, kTime, kMagnitude, kPhase, "");
    legacy.ClassRef(1);
    BlockBody(legacy, true, 3, true, 0.5, 0.0, kPhase, kTime, kMagnitude, "");
    EXPECT_EQ(Store(list, true), legacy.Get());
}

class DSPArchiveRoundTrip : public ::testing::TestWithParam<bool> {};

TEST_P(DSPArchiveRoundTrip, ListAndResponseBlockComeBackWhole) {
    const bool legacy = GetParam();
    CDSPFFTDataList list, loaded;
    MakeSmallList(list);
    list.GetAt(1)->SetErrorText("Unable to open file");
    ASSERT_TRUE(Load(loaded, Store(list, legacy), legacy));
    ASSERT_EQ(loaded.GetNumChans(), 2);
    EXPECT_TRUE(loaded.IsEquivalent(list));
    for (int ch = 0; ch < 2; ++ch) {
        EXPECT_EQ(Snapshot(*loaded.GetAt(ch)), Snapshot(*list.GetAt(ch)));
        EXPECT_EQ(loaded.GetGain(ch), list.GetGain(ch));
        EXPECT_EQ(loaded.GetDelay(ch), list.GetDelay(ch));
        EXPECT_EQ(loaded.GetAt(ch)->GetErrorText(), list.GetAt(ch)->GetErrorText());
    }
    CDSPFFTData response, back;
    MakeBlock(response, 2, 400.0, {}, {1, 2, 3, 4}, {5, 6, 7, 8});
    ASSERT_TRUE(back.Create(1, 8, 8000.0));
    ASSERT_TRUE(Load(back, Store(response, legacy), legacy));
    EXPECT_EQ(back.GetSampleRate(), 400.0);
    EXPECT_EQ(Snapshot(back), Snapshot(response));
}

TEST_P(DSPArchiveRoundTrip, EveryTruncationFailsAndLeavesTheTargetAlone) {
    const bool legacy = GetParam();
    CDSPFFTDataList list;
    MakeSmallList(list);
    const Bytes bytes = Store(list, legacy);
    for (size_t n = 0; n < bytes.size(); ++n) {
        CDSPFFTDataList loaded;
        ASSERT_FALSE(Load(loaded, Bytes(bytes.begin(), bytes.begin() + long(n)), legacy)) << n;
        EXPECT_TRUE(loaded.IsEmpty()) << n;
    }
    CDSPFFTData block;
    MakeSmallBlock(block);
    const Bytes blockBytes = Store(block, legacy);
    for (size_t n = 0; n < blockBytes.size(); ++n) {
        CDSPFFTData target;
        ASSERT_TRUE(target.Create(1, 4, 1000.0));
        ASSERT_FALSE(Load(target, Bytes(blockBytes.begin(), blockBytes.begin() + long(n)), legacy));
        EXPECT_EQ(target.GetSize(), 4) << n;
        EXPECT_EQ(target.GetGain(), 1.0) << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, DSPArchiveRoundTrip, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Legacy" : "Current"; });

struct CorruptBlock {
    std::string name;
    int32_t timeType = 1;
    int32_t timeSize = 2;  // as declared
    int timeValues = 2;    // as written
    int32_t phaseSize = 2; // declared and written
    bool nullPhase = false;
    const char* arrayClass = "CDSPData";
};

Bytes CorruptBlockBytes(const CorruptBlock& c) {
    CArchiveBytes b;
    b.NewClass("CDSPFFTData").I32(1).I32(2).F64(8000.0).F64(1.0).F64(0.0);
    b.NewClass(c.arrayClass).ClassRef(2).I32(c.timeType).I32(c.timeSize).F64(8000.0);
    for (int i = 0; i < c.timeValues; ++i)
        b.F64(0.5);
    b.ClassRef(2).ClassRef(2).I32(1).I32(2).F64(8000.0).F64(1.0).F64(1.0);
    if (c.nullPhase)
        b.U16(0);
    else
        b.ClassRef(2).ClassRef(2).I32(1).I32(c.phaseSize).F64(8000.0);
    for (int i = 0; i < (c.nullPhase ? 0 : c.phaseSize); ++i)
        b.F64(0.0);
    return b.Text("");
}

class DSPArchiveCorruptBlock : public ::testing::TestWithParam<CorruptBlock> {};

// "None" guards the others: without a fault the same bytes load.
TEST_P(DSPArchiveCorruptBlock, FailsAndLeavesTheBlockAlone) {
    CDSPFFTData block;
    MakeSmallBlock(block);
    const CBlockSnapshot before = Snapshot(block);
    const bool ok = Load(block, CorruptBlockBytes(GetParam()), false);
    EXPECT_EQ(ok, GetParam().name == "None");
    if (ok) return;
    EXPECT_EQ(Snapshot(block), before);
    EXPECT_EQ(block.GetErrorText(), "bad");
}

INSTANTIATE_TEST_SUITE_P(
    Fields, DSPArchiveCorruptBlock,
    ::testing::Values(CorruptBlock{.name = "None"},
                      CorruptBlock{.name = "ArrayTypeThree", .timeType = 3},
                      CorruptBlock{.name = "SizeAboveLimit", .timeSize = 262145, .timeValues = 0},
                      CorruptBlock{.name = "SizeBeyondTheData", .timeSize = 100000},
                      CorruptBlock{.name = "ArraysOfDifferentSizes", .phaseSize = 3},
                      CorruptBlock{.name = "NullArray", .nullPhase = true},
                      CorruptBlock{.name = "WrongClass", .arrayClass = "CComplex"},
                      CorruptBlock{.name = "UnknownClass", .arrayClass = "CNoSuchData"}),
    CaseName());

TEST(DSPArchive, ChannelCountMustMatchTheBlocks) {
    CDSPFFTDataList list, loaded;
    MakeSmallList(list);
    Bytes bytes = Store(list, false);
    // The channel count follows the class record (2 + 2 + 2 + 15 bytes) and three fields.
    const int32_t three = 3;
    std::memcpy(bytes.data() + 21 + 4 + 4 + 8, &three, 4);
    EXPECT_FALSE(Load(loaded, bytes, false));
    EXPECT_TRUE(loaded.IsEmpty());
}

} // namespace
