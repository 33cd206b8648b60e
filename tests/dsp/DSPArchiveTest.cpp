// Stored layouts of the sample block classes, compared with byte layouts built by hand.

#include "dsp/Complex.h"
#include "dsp/DSPFFTDataList.h"
#include "base/Archive.h"

#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using V = std::vector<double>;

namespace {
// Little-endian archive bytes written field by field.
class CBytes {
public:
    CBytes& U16(uint16_t v) { return Raw(&v, 2); }
    CBytes& I32(int32_t v) { return Raw(&v, 4); }
    CBytes& F64(double v) { return Raw(&v, 8); }
    CBytes& Text(const std::string& s) {
        const auto n = static_cast<uint8_t>(s.size()); // short texts: one-byte length
        Raw(&n, 1);
        return Raw(s.data(), s.size());
    }
    CBytes& NewClass(const std::string& name) {
        U16(0xFFFF).U16(0).U16(static_cast<uint16_t>(name.size()));
        return Raw(name.data(), name.size());
    }
    CBytes& ClassRef(uint16_t index) { return U16(static_cast<uint16_t>(0x8000 | index)); }
    CBytes& ArrayFields(int32_t type, double fs, const V& values) {
        I32(type).I32(static_cast<int32_t>(values.size())).F64(fs);
        for (double v : values)
            F64(v);
        return *this;
    }
    const std::vector<uint8_t>& Get() const { return m_bytes; }

private:
    CBytes& Raw(const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        m_bytes.insert(m_bytes.end(), b, b + n);
        return *this;
    }
    std::vector<uint8_t> m_bytes;
};

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

std::vector<uint8_t> Store(CObject& object, bool legacy) {
    CArchive ar;
    ar.SetLegacy(legacy);
    object.Serialize(ar);
    EXPECT_TRUE(ar.Ok()) << ar.GetError();
    return ar.GetBuffer();
}

bool Load(CObject& object, std::vector<uint8_t> bytes, bool legacy) {
    CArchive ar(std::move(bytes));
    ar.SetLegacy(legacy);
    object.Serialize(ar);
    return ar.Ok() && ar.Remaining() == 0;
}

// Block fields after its own class record (or none): header, three arrays, error text.
// Array class record: a new one at `arrayClass`, or back-references to it when `known`.
void BlockBody(CBytes& b, bool legacy, uint16_t arrayClass, bool known, double gain, double delay,
               const V& time, const V& magnitude, const V& phase, const std::string& error) {
    b.I32(1).I32(2).F64(8000.0).F64(gain).F64(delay);
    bool first = !known;
    for (const V* values : {&time, &magnitude, &phase}) {
        if (first)
            b.NewClass("CDSPData");
        else
            b.ClassRef(arrayClass);
        first = false;
        if (!legacy) b.ClassRef(arrayClass); // the array's own record, after the reference's
        b.ArrayFields(1, 8000.0, *values);
    }
    b.Text(error);
}
} // namespace

TEST(DSPArchive, BlockLayout) {
    CDSPFFTData block;
    MakeSmallBlock(block);
    CBytes expected;
    expected.NewClass("CDSPFFTData"); // index 1; the first array's class takes index 2
    BlockBody(expected, false, 2, false, 0.5, 0.125, kTime, kMagnitude, kPhase, "bad");
    EXPECT_EQ(Store(block, false), expected.Get());
}

TEST(DSPArchive, BlockLayoutLegacy) {
    CDSPFFTData block;
    MakeSmallBlock(block);
    CBytes expected; // no class record of its own; references keep theirs (class index 1)
    BlockBody(expected, true, 1, false, 0.5, 0.125, kTime, kMagnitude, kPhase, "bad");
    EXPECT_EQ(Store(block, true), expected.Get());
}

TEST(DSPArchive, ListLayout) {
    CDSPFFTDataList list;
    MakeSmallList(list);
    CBytes expected;
    // Indices: list class 1, block class 2, block 3, array class 4, arrays 5-7, block 8, ...
    expected.NewClass("CDSPFFTDataList").I32(1).I32(2).F64(8000.0).I32(2).U16(2);
    expected.NewClass("CDSPFFTData").ClassRef(2);
    BlockBody(expected, false, 4, false, 1.0, -3.0, kTime, kMagnitude, kPhase, "");
    expected.ClassRef(2).ClassRef(2);
    BlockBody(expected, false, 4, true, 0.5, 0.0, kPhase, kTime, kMagnitude, "");
    EXPECT_EQ(Store(list, false), expected.Get());
}

TEST(DSPArchive, ListLayoutLegacy) {
    CDSPFFTDataList list;
    MakeSmallList(list);
    CBytes expected;
    expected.I32(1).I32(2).F64(8000.0).I32(2).U16(2);
    expected.NewClass("CDSPFFTData"); // class 1, block 2, array class 3
    BlockBody(expected, true, 3, false, 1.0, -3.0, kTime, kMagnitude, kPhase, "");
    expected.ClassRef(1);
    BlockBody(expected, true, 3, true, 0.5, 0.0, kPhase, kTime, kMagnitude, "");
    EXPECT_EQ(Store(list, true), expected.Get());
}

TEST(DSPArchive, EmptyListWritesZeroShape) {
    CDSPFFTDataList list;
    CBytes expected;
    expected.NewClass("CDSPFFTDataList").I32(0).I32(0).F64(0.0).I32(0).U16(0);
    EXPECT_EQ(Store(list, false), expected.Get());
    CDSPFFTDataList loaded;
    EXPECT_TRUE(Load(loaded, expected.Get(), false));
    EXPECT_TRUE(loaded.IsEmpty());
}

TEST(DSPArchive, ComplexLayoutAndRoundTrip) {
    CComplex c(1.25, -7.5);
    CBytes expected;
    expected.NewClass("CComplex").F64(1.25).F64(-7.5);
    EXPECT_EQ(Store(c, false), expected.Get());
    CComplex loaded;
    ASSERT_TRUE(Load(loaded, expected.Get(), false));
    EXPECT_EQ(loaded.GetReal(), 1.25);
    EXPECT_EQ(loaded.GetImag(), -7.5);
}

class DSPArchiveRoundTrip : public ::testing::TestWithParam<bool> {};

TEST_P(DSPArchiveRoundTrip, ListComesBackWhole) {
    const bool legacy = GetParam();
    CDSPFFTDataList list;
    MakeSmallList(list);
    list.GetAt(1)->SetErrorText("Unable to open file");
    CDSPFFTDataList loaded;
    ASSERT_TRUE(Load(loaded, Store(list, legacy), legacy));
    ASSERT_EQ(loaded.GetNumChans(), 2);
    EXPECT_TRUE(loaded.IsEquivalent(list));
    for (int ch = 0; ch < 2; ++ch) {
        EXPECT_EQ(Snapshot(*loaded.GetAt(ch)), Snapshot(*list.GetAt(ch)));
        EXPECT_EQ(loaded.GetGain(ch), list.GetGain(ch));
        EXPECT_EQ(loaded.GetDelay(ch), list.GetDelay(ch));
        EXPECT_EQ(loaded.GetAt(ch)->GetErrorText(), list.GetAt(ch)->GetErrorText());
    }
    // The loaded blocks transform like the originals.
    EXPECT_TRUE(loaded.DoFFT(0, CDSPFFTData::WindowHanning));
}

TEST_P(DSPArchiveRoundTrip, ResponseBlockKeepsItsAxis) {
    const bool legacy = GetParam();
    CDSPFFTData block;
    MakeBlock(block, 2, 400.0, {}, {1, 2, 3, 4}, {5, 6, 7, 8});
    CDSPFFTData loaded;
    ASSERT_TRUE(Load(loaded, Store(block, legacy), legacy));
    EXPECT_EQ(loaded.GetType(), 2);
    EXPECT_EQ(loaded.GetSampleRate(), 400.0);
    EXPECT_EQ(Snapshot(loaded), Snapshot(block));
}

TEST_P(DSPArchiveRoundTrip, EveryTruncationFailsCleanly) {
    const bool legacy = GetParam();
    CDSPFFTDataList list;
    MakeSmallList(list);
    const std::vector<uint8_t> bytes = Store(list, legacy);
    for (size_t n = 0; n < bytes.size(); ++n) {
        CArchive ar(std::vector<uint8_t>(bytes.begin(), bytes.begin() + n));
        ar.SetLegacy(legacy);
        CDSPFFTDataList loaded;
        loaded.Serialize(ar);
        ASSERT_FALSE(ar.Ok()) << "prefix of " << n << " bytes";
        EXPECT_TRUE(loaded.IsEmpty()) << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, DSPArchiveRoundTrip, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Legacy" : "Current"; });

TEST(DSPArchive, EveryTruncationOfABlockLeavesItUnchanged) {
    CDSPFFTData block;
    MakeSmallBlock(block);
    const std::vector<uint8_t> bytes = Store(block, false);
    for (size_t n = 0; n < bytes.size(); ++n) {
        CArchive ar(std::vector<uint8_t>(bytes.begin(), bytes.begin() + n));
        CDSPFFTData target;
        ASSERT_TRUE(target.Create(1, 4, 1000.0));
        target.Serialize(ar);
        ASSERT_FALSE(ar.Ok()) << n;
        EXPECT_EQ(target.GetSize(), 4) << n;
        EXPECT_EQ(target.GetSampleRate(), 1000.0) << n;
        EXPECT_EQ(target.GetGain(), 1.0) << n;
    }
}

namespace {
struct CorruptBlock {
    const char* name;
    int32_t timeType = 1;
    int32_t timeSize = 2;  // as declared
    int timeValues = 2;    // as written
    int32_t phaseSize = 2; // declared and written
    bool nullPhase = false;
    const char* arrayClass = "CDSPData";
};

std::vector<uint8_t> CorruptBlockBytes(const CorruptBlock& c) {
    CBytes b;
    b.NewClass("CDSPFFTData").I32(1).I32(2).F64(8000.0).F64(1.0).F64(0.0);
    b.NewClass(c.arrayClass).ClassRef(2).I32(c.timeType).I32(c.timeSize).F64(8000.0);
    for (int i = 0; i < c.timeValues; ++i)
        b.F64(0.5);
    b.ClassRef(2).ClassRef(2).ArrayFields(1, 8000.0, V(2, 1.0));
    if (c.nullPhase)
        b.U16(0);
    else
        b.ClassRef(2).ClassRef(2).ArrayFields(1, 8000.0, V(c.phaseSize, 0.0));
    b.Text("");
    return b.Get();
}
} // namespace

class DSPArchiveCorruptBlock : public ::testing::TestWithParam<CorruptBlock> {};

TEST_P(DSPArchiveCorruptBlock, FailsAndLeavesTheBlockAlone) {
    CDSPFFTData block;
    MakeSmallBlock(block);
    const CBlockSnapshot before = Snapshot(block);
    CArchive ar(CorruptBlockBytes(GetParam()));
    block.Serialize(ar);
    EXPECT_FALSE(ar.Ok());
    EXPECT_FALSE(ar.GetError().empty());
    EXPECT_EQ(Snapshot(block), before);
    EXPECT_EQ(block.GetGain(), 0.5);
    EXPECT_EQ(block.GetErrorText(), "bad");
}

INSTANTIATE_TEST_SUITE_P(
    Fields, DSPArchiveCorruptBlock,
    ::testing::Values(CorruptBlock{.name = "ArrayTypeThree", .timeType = 3},
                      CorruptBlock{.name = "ArrayTypeZero", .timeType = 0},
                      CorruptBlock{.name = "NegativeSize", .timeSize = -1, .timeValues = 0},
                      CorruptBlock{.name = "SizeAboveLimit", .timeSize = 262145, .timeValues = 0},
                      CorruptBlock{.name = "SizeBeyondTheData", .timeSize = 100000},
                      CorruptBlock{.name = "ArraysOfDifferentSizes", .phaseSize = 3},
                      CorruptBlock{.name = "NullArray", .nullPhase = true},
                      CorruptBlock{.name = "WrongClass", .arrayClass = "CComplex"},
                      CorruptBlock{.name = "UnknownClass", .arrayClass = "CNoSuchData"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DSPArchive, CorruptBlockBytesAreValidWhenNothingIsCorrupted) {
    // Guards the corruption cases above: without a fault the same bytes load.
    CDSPFFTData block;
    CArchive ar(CorruptBlockBytes(CorruptBlock{.name = "None"}));
    block.Serialize(ar);
    EXPECT_TRUE(ar.Ok()) << ar.GetError();
    EXPECT_EQ(Values(block.GetTimeObj()), V(2, 0.5));
}

TEST(DSPArchive, ChannelCountMustMatchTheBlocks) {
    CDSPFFTDataList list;
    MakeSmallList(list);
    std::vector<uint8_t> bytes = Store(list, false);
    // The channel count follows the class record (2 + 2 + 2 + 15 bytes) and three fields.
    const size_t at = 21 + 4 + 4 + 8;
    const int32_t three = 3;
    std::memcpy(bytes.data() + at, &three, 4);
    CDSPFFTDataList loaded;
    EXPECT_FALSE(Load(loaded, bytes, false));
    EXPECT_TRUE(loaded.IsEmpty());
}

TEST(DSPArchive, BlockWithoutArraysCannotBeLoaded) {
    CDSPFFTData empty;
    CBytes expected;
    expected.NewClass("CDSPFFTData").I32(0).I32(0).F64(0.0).F64(1.0).F64(0.0);
    expected.U16(0).U16(0).U16(0).Text("");
    EXPECT_EQ(Store(empty, false), expected.Get());
    CDSPFFTData loaded;
    EXPECT_FALSE(Load(loaded, expected.Get(), false));
    EXPECT_EQ(loaded.GetTimeObj(), nullptr);
}

TEST(DSPArchive, ArrayIsRecreatedWithTheLoadedShape) {
    CBytes bytes;
    bytes.NewClass("CDSPData").ArrayFields(2, 400.0, {3.0, 4.0});
    CDSPData data;
    ASSERT_TRUE(data.Create(1, 5, 8000.0));
    ASSERT_TRUE(Load(data, bytes.Get(), false));
    EXPECT_EQ(data.GetType(), 2);
    EXPECT_EQ(data.GetSize(), 2);
    EXPECT_EQ(data.GetSampleRate(), 400.0);
    EXPECT_EQ(Values(&data), (V{3.0, 4.0}));
}

TEST(DSPArchive, ArrayWithoutValuesIsStoredAsZerosOfItsSize) {
    CDSPData data; // size 1024, never created
    const std::vector<uint8_t> bytes = Store(data, false);
    CBytes expected;
    expected.NewClass("CDSPData").ArrayFields(1, 96000.0, V(1024, 0.0));
    EXPECT_EQ(bytes, expected.Get());
}

class DSPArchiveArraySize : public ::testing::TestWithParam<int32_t> {};

// Complete records on both sides of the limit: only the size decides.
TEST_P(DSPArchiveArraySize, LoadsUpTo262144Values) {
    const int32_t size = GetParam();
    CBytes bytes;
    bytes.NewClass("CDSPData").ArrayFields(1, 96000.0, V(size, 0.25));
    CDSPData data;
    const bool loaded = Load(data, bytes.Get(), false);
    EXPECT_EQ(loaded, size <= 262144);
    EXPECT_EQ(Values(&data), loaded ? V(size, 0.25) : V{});
}

INSTANTIATE_TEST_SUITE_P(Sizes, DSPArchiveArraySize, ::testing::Values(0, 262144, 262145));
