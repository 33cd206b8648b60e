// Sample blocks and their arrays: shapes made, copied, filled and compared; refusals change
// nothing.
#include "dsp/DSPFFTData.h"

#include "common/CaseName.h"
#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using V = std::vector<double>;

TEST(DSPData, CreateCloneAndCopy) {
    CDSPData data;
    ASSERT_TRUE(data.Create(2, 4, 8000.0, "Step: 1 Signal Generator"));
    std::copy_n(V{1, 2, 3, 4}.begin(), 4, data.GetDataPointer());
    EXPECT_EQ(data.GetDescription(), "Step: 1 Signal Generator");
    CDSPData clone;
    ASSERT_TRUE(clone.Clone(data));
    EXPECT_TRUE(clone.IsEquivalent(data));
    EXPECT_EQ(Values(&clone), V(4, 0.0)) << "a clone takes the shape, never the values";
    EXPECT_FALSE(data.Create(3, 16, 44100.0)) << "no type 3";
    EXPECT_EQ(Values(&data), (V{1, 2, 3, 4})) << "a refused Create keeps the old values";

    CDSPData target, other, empty;
    ASSERT_TRUE(target.Create(2, 4, 44100.0));
    ASSERT_TRUE(target.Copy(data));
    EXPECT_EQ(Values(&target), (V{1, 2, 3, 4}));
    EXPECT_EQ(target.GetSampleRate(), 8000.0);
    ASSERT_TRUE(other.Create(1, 4, 8000.0));
    EXPECT_FALSE(other.Copy(data)) << "another type";
    EXPECT_FALSE(empty.Copy(data)) << "nothing to copy into";
    EXPECT_FALSE(target.Copy(empty)) << "nothing to copy from";
    EXPECT_EQ(Values(&other), V(4, 0.0));
    EXPECT_EQ(data.Create(8, 1), 8) << "by size and type: zeroes at 96000";
    EXPECT_EQ(data.GetSampleRate(), 96000.0);
    EXPECT_EQ(data.Invert(), 8);
}

TEST(DSPFFTData, FreshBlocksAndTheResponseAxis) {
    CDSPFFTData block;
    EXPECT_EQ(block.GetSampleRate(), 0.0);
    EXPECT_EQ(block.Fill(1, V{1}.data(), V{1}.data(), V{1}.data()), 0) << "no arrays yet";
    ASSERT_TRUE(block.Create(1, 4, 8000.0, "Step: 2 SoundIO"));
    EXPECT_EQ(Snapshot(block), (CBlockSnapshot{V(4, 0.0), V(4, 1.0), V(4, 0.0)}));
    EXPECT_EQ(block.GetPhaseObj()->GetSampleRate(), 8000.0);
    EXPECT_EQ(block.GetProcessDescription(), "Step: 2 SoundIO");
    ASSERT_TRUE(block.Create(2, 8, 8000.0));
    EXPECT_EQ(Values(block.GetTimeObj()), (V{0, 1000, 2000, 3000, 4000, 3000, 2000, 1000}));

    // By size and type the arrays are made at 96000 while the block keeps its own rate.
    EXPECT_EQ(block.Create(8, 2), 24);
    EXPECT_EQ(Values(block.GetTimeObj()), (V{0, 12000, 24000, 36000, 48000, 36000, 24000, 12000}));
    EXPECT_EQ(block.GetBlockSampleRate(), 8000.0);

    const CBlockSnapshot before = Snapshot(block);
    EXPECT_EQ(block.Create(8, 3), 0);
    EXPECT_FALSE(block.Create(0, 8, 8000.0));
    EXPECT_FALSE(block.Create(1, -8, 8000.0));
    EXPECT_EQ(Snapshot(block), before);
}

TEST(DSPFFTData, CloneAndCopy) {
    CDSPFFTData source, clone, target, response, axis, empty;
    MakeBlock(source, 1, 44100.0, {1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12});
    source.SetGain(0.5);
    source.SetErrorText("bad file");
    ASSERT_TRUE(clone.Clone(source));
    EXPECT_TRUE(clone.IsEquivalent(source));
    EXPECT_EQ(Snapshot(clone), (CBlockSnapshot{V(4, 0.0), V(4, 1.0), V(4, 0.0)}));
    EXPECT_EQ(clone.GetGain(), 1.0);
    EXPECT_EQ(clone.GetErrorText(), "");
    EXPECT_FALSE(clone.Clone(empty));

    ASSERT_TRUE(target.Create(1, 4, 8000.0));
    ASSERT_TRUE(target.Copy(source));
    EXPECT_EQ(Snapshot(target), Snapshot(source));
    EXPECT_TRUE(target.IsEquivalent(source));

    // A response block keeps its frequency axis and the rate that goes with it.
    MakeBlock(response, 2, 16000.0, {}, {3, 4, 5, 6}, {7, 8, 9, 10});
    ASSERT_TRUE(axis.Create(2, 4, 8000.0));
    ASSERT_TRUE(axis.Copy(response));
    EXPECT_EQ(Snapshot(axis),
              (CBlockSnapshot{V{0, 2000, 4000, 2000}, V{3, 4, 5, 6}, V{7, 8, 9, 10}}));
    EXPECT_EQ(axis.GetFreqObj()->GetSampleRate(), 8000.0);

    for (CDSPFFTData* other : {&response, &empty}) {
        const CBlockSnapshot before = Snapshot(target);
        EXPECT_FALSE(target.CanCopy(*other));
        EXPECT_FALSE(target.Copy(*other));
        EXPECT_FALSE(other->Copy(target));
        EXPECT_EQ(Snapshot(target), before);
    }
}

struct FillCase {
    std::string name;
    int32_t type;
    int32_t count;
    bool time;
    int32_t expectedCount;
    CBlockSnapshot expected;
};

class DSPFFTDataFill : public ::testing::TestWithParam<FillCase> {};

TEST_P(DSPFFTDataFill, CopiesTheGivenSourcesOverCount) {
    const FillCase& c = GetParam();
    CDSPFFTData block;
    ASSERT_TRUE(block.Create(c.type, 4, 400.0));
    EXPECT_EQ(block.Fill(c.count, c.time ? V{1, 2, 3, 4, 5}.data() : nullptr,
                         V{11, 12, 13, 14, 15}.data(), V{21, 22, 23, 24, 25}.data()),
              c.expectedCount);
    EXPECT_EQ(Snapshot(block), c.expected);
}

// More than the block holds is cut to its size instead of writing past it.
INSTANTIATE_TEST_SUITE_P(
    Counts, DSPFFTDataFill,
    ::testing::Values(
        FillCase{"FirstTwo", 1, 2, true, 2, {V{1, 2, 0, 0}, V{11, 12, 1, 1}, V{21, 22, 0, 0}}},
        FillCase{
            "NullSourceSkipped", 1, 4, false, 4, {V(4, 0.0), V{11, 12, 13, 14}, V{21, 22, 23, 24}}},
        FillCase{"ResponseIgnoresTime",
                 2,
                 4,
                 true,
                 4,
                 {V{0, 100, 200, 100}, V{11, 12, 13, 14}, V{21, 22, 23, 24}}},
        FillCase{
            "CountAboveSize", 1, 5, true, 4, {V{1, 2, 3, 4}, V{11, 12, 13, 14}, V{21, 22, 23, 24}}},
        FillCase{"NegativeCount", 1, -1, true, 0, {V(4, 0.0), V(4, 1.0), V(4, 0.0)}}),
    CaseName());

struct EquivalenceCase {
    std::string name;
    int32_t type, size;
    double fs;
    bool
        arraysAt96000; // remade with Create(size, type): arrays at 96000, the block's own rate kept
    bool type_, size_, rate;
};

class DSPFFTDataEquivalence : public ::testing::TestWithParam<EquivalenceCase> {};

TEST_P(DSPFFTDataEquivalence, ComparesArraysAndTheBlocksOwnRate) {
    const EquivalenceCase& c = GetParam();
    CDSPFFTData a, b;
    ASSERT_TRUE(a.Create(1, 8, 96000.0));
    ASSERT_TRUE(b.Create(c.type, c.size, c.fs));
    if (c.arraysAt96000) {
        ASSERT_EQ(b.Create(c.size, c.type), 3 * c.size);
    }
    EXPECT_EQ(a.IsType(b), c.type_);
    EXPECT_EQ(a.IsSize(b), c.size_);
    EXPECT_EQ(a.IsSampleRate(b), c.rate);
    EXPECT_EQ(a.IsEquivalent(b), c.type_ && c.size_ && c.rate);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, DSPFFTDataEquivalence,
    ::testing::Values(
        EquivalenceCase{"Same", 1, 8, 96000.0, false, true, true, true},
        EquivalenceCase{"Type", 2, 8, 96000.0, false, false, true, true},
        EquivalenceCase{"Size", 1, 16, 96000.0, false, true, false, true},
        EquivalenceCase{"RateByOneUlp", 1, 8, 96000.00000000001, false, true, true, false},
        EquivalenceCase{"OnlyBlockRateDiffers", 1, 8, 48000.0, true, true, true, false}),
    CaseName());

} // namespace
