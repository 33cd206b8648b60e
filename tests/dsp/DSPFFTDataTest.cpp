#include "dsp/DSPFFTData.h"

#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <vector>

using V = std::vector<double>;

TEST(DSPFFTData, BlockWithoutArraysReadsZero) {
    CDSPFFTData block;
    EXPECT_EQ(block.GetTimeObj(), nullptr);
    EXPECT_EQ(block.GetType(), 0);
    EXPECT_EQ(block.GetSize(), 0);
    EXPECT_EQ(block.GetNumUsed(), 0);
    EXPECT_EQ(block.GetSampleRate(), 0.0);
    EXPECT_EQ(block.SetSampleRate(8000.0), 0.0);
    const double values[] = {1.0, 2.0};
    EXPECT_EQ(block.Fill(2, values, values, values), 0);
    EXPECT_EQ(block.GetGain(), 1.0);
    EXPECT_EQ(block.GetDelay(), 0.0);
}

TEST(DSPFFTData, FreshTimeBlock) {
    CDSPFFTData block;
    ASSERT_TRUE(block.Create(1, 8, 8000.0, "Step: 2 SoundIO"));
    EXPECT_EQ(block.GetType(), 1);
    EXPECT_EQ(block.GetSize(), 8);
    EXPECT_EQ(block.GetSampleRate(), 8000.0);
    EXPECT_EQ(block.GetProcessDescription(), "Step: 2 SoundIO");
    EXPECT_EQ(Snapshot(block), (CBlockSnapshot{V(8, 0.0), V(8, 1.0), V(8, 0.0)}));
    for (const CDSPData* a : {block.GetTimeObj(), block.GetFreqObj(), block.GetPhaseObj()}) {
        EXPECT_EQ(a->GetType(), 1);
        EXPECT_EQ(a->GetSampleRate(), 8000.0);
    }
}

TEST(DSPFFTData, FreshResponseBlockHoldsMirroredFrequencyAxis) {
    CDSPFFTData block;
    ASSERT_TRUE(block.Create(2, 8, 8000.0));
    EXPECT_EQ(Snapshot(block), (CBlockSnapshot{V{0, 1000, 2000, 3000, 4000, 3000, 2000, 1000},
                                               V(8, 1.0), V(8, 0.0)}));
}

TEST(DSPFFTData, CreateBySizeAndTypeUses96000ForTheArraysOnly) {
    CDSPFFTData block;
    ASSERT_TRUE(block.Create(1, 4, 8000.0));
    EXPECT_EQ(block.Create(8, 2), 24); // three arrays of 8
    EXPECT_EQ(block.GetSampleRate(), 96000.0);
    EXPECT_EQ(Values(block.GetTimeObj()), (V{0, 12000, 24000, 36000, 48000, 36000, 24000, 12000}));
    // The block's own rate stayed at 8000: a block made at 96000 differs in it alone.
    CDSPFFTData other;
    ASSERT_TRUE(other.Create(2, 8, 96000.0));
    EXPECT_TRUE(block.IsSize(other));
    EXPECT_FALSE(block.IsSampleRate(other));
}

TEST(DSPFFTData, InvalidTypeCreatesNothing) {
    CDSPFFTData block;
    ASSERT_TRUE(block.Create(1, 4, 8000.0));
    block.GetTimeObj()->GetDataPointer()[0] = 0.5;
    const CBlockSnapshot before = Snapshot(block);
    EXPECT_EQ(block.Create(8, 3), 0);
    EXPECT_FALSE(block.Create(0, 8, 8000.0));
    EXPECT_FALSE(block.Create(3, 8, 8000.0, "x"));
    EXPECT_FALSE(block.Create(1, -8, 8000.0));
    EXPECT_EQ(Snapshot(block), before);
    EXPECT_EQ(block.GetSize(), 4);
}

TEST(DSPFFTData, CloneGivesFreshBlockOfTheSameShape) {
    CDSPFFTData source;
    MakeBlock(source, 1, 44100.0, {1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12});
    source.SetGain(0.5);
    source.SetDelay(2.0);
    source.SetErrorText("bad file");
    CDSPFFTData clone;
    clone.SetGain(3.0);
    ASSERT_TRUE(clone.Clone(source));
    EXPECT_TRUE(clone.IsEquivalent(source));
    EXPECT_EQ(Snapshot(clone), (CBlockSnapshot{V(4, 0.0), V(4, 1.0), V(4, 0.0)}));
    EXPECT_EQ(clone.GetGain(), 3.0);
    EXPECT_EQ(clone.GetDelay(), 0.0);
    EXPECT_EQ(clone.GetErrorText(), "");

    CDSPFFTData response;
    ASSERT_TRUE(response.Create(2, 4, 400.0));
    ASSERT_TRUE(clone.Clone(response));
    EXPECT_EQ(Values(clone.GetTimeObj()), (V{0, 100, 200, 100}));

    CDSPFFTData empty;
    EXPECT_FALSE(clone.Clone(empty));
    EXPECT_EQ(clone.GetType(), 2);
}

TEST(DSPFFTData, CopyOfTimeBlockTakesAllArraysAndRate) {
    CDSPFFTData source;
    MakeBlock(source, 1, 44100.0, {1, 2}, {3, 4}, {5, 6});
    CDSPFFTData target;
    ASSERT_TRUE(target.Create(1, 2, 8000.0));
    ASSERT_TRUE(target.Copy(source));
    EXPECT_EQ(Snapshot(target), (CBlockSnapshot{V{1, 2}, V{3, 4}, V{5, 6}}));
    EXPECT_TRUE(target.IsEquivalent(source));
}

TEST(DSPFFTData, CopyOfResponseBlockKeepsItsFrequencyAxis) {
    CDSPFFTData source;
    MakeBlock(source, 2, 16000.0, {}, {3, 4, 5, 6}, {7, 8, 9, 10});
    CDSPFFTData target;
    ASSERT_TRUE(target.Create(2, 4, 8000.0));
    ASSERT_TRUE(target.Copy(source));
    EXPECT_EQ(Snapshot(target),
              (CBlockSnapshot{V{0, 2000, 4000, 2000}, V{3, 4, 5, 6}, V{7, 8, 9, 10}}));
    // The axis and its sample rate belong together: all three arrays stay at 8000.
    EXPECT_EQ(target.GetSampleRate(), 8000.0);
    EXPECT_EQ(target.GetFreqObj()->GetSampleRate(), 8000.0);
    EXPECT_EQ(target.GetPhaseObj()->GetSampleRate(), 8000.0);
}

struct BlockShape {
    const char* name;
    int32_t type, size;
};

class DSPFFTDataCopyRefusal : public ::testing::TestWithParam<BlockShape> {};

TEST_P(DSPFFTDataCopyRefusal, LeavesTargetUnchanged) {
    CDSPFFTData source;
    MakeBlock(source, 1, 8000.0, {1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12});
    CDSPFFTData target;
    ASSERT_TRUE(target.Create(GetParam().type, GetParam().size, 8000.0));
    const CBlockSnapshot before = Snapshot(target);
    EXPECT_FALSE(target.Copy(source));
    EXPECT_FALSE(source.Copy(target));
    EXPECT_EQ(Snapshot(target), before);
}

INSTANTIATE_TEST_SUITE_P(Mismatches, DSPFFTDataCopyRefusal,
                         ::testing::Values(BlockShape{"Smaller", 1, 2}, BlockShape{"Larger", 1, 8},
                                           BlockShape{"Response", 2, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DSPFFTData, CopyFromOrIntoBlockWithoutArraysIsRefused) {
    CDSPFFTData empty;
    CDSPFFTData block;
    ASSERT_TRUE(block.Create(1, 4, 8000.0));
    EXPECT_FALSE(block.Copy(empty));
    EXPECT_FALSE(empty.Copy(block));
    EXPECT_EQ(empty.GetTimeObj(), nullptr);
}

struct FillCase {
    const char* name;
    int32_t type;
    int32_t count;
    bool time, magnitude, phase;
    int32_t expectedCount;
    CBlockSnapshot expected;
};

class DSPFFTDataFill : public ::testing::TestWithParam<FillCase> {};

TEST_P(DSPFFTDataFill, CopiesTheGivenSourcesOverCount) {
    const FillCase& c = GetParam();
    const V time{1, 2, 3, 4, 5};
    const V magnitude{11, 12, 13, 14, 15};
    const V phase{21, 22, 23, 24, 25};
    CDSPFFTData block;
    ASSERT_TRUE(block.Create(c.type, 4, 400.0));
    EXPECT_EQ(block.Fill(c.count, c.time ? time.data() : nullptr,
                         c.magnitude ? magnitude.data() : nullptr,
                         c.phase ? phase.data() : nullptr),
              c.expectedCount);
    EXPECT_EQ(Snapshot(block), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, DSPFFTDataFill,
    ::testing::Values(
        FillCase{"AllThree",
                 1,
                 4,
                 true,
                 true,
                 true,
                 4,
                 {V{1, 2, 3, 4}, V{11, 12, 13, 14}, V{21, 22, 23, 24}}},
        FillCase{"FirstTwo",
                 1,
                 2,
                 true,
                 true,
                 true,
                 2,
                 {V{1, 2, 0, 0}, V{11, 12, 1, 1}, V{21, 22, 0, 0}}},
        FillCase{"NullSourcesSkipped",
                 1,
                 4,
                 false,
                 true,
                 false,
                 4,
                 {V(4, 0.0), V{11, 12, 13, 14}, V(4, 0.0)}},
        FillCase{"ResponseIgnoresTime",
                 2,
                 4,
                 true,
                 true,
                 true,
                 4,
                 {V{0, 100, 200, 100}, V{11, 12, 13, 14}, V{21, 22, 23, 24}}},
        // More than the block holds is cut to its size instead of writing past it.
        FillCase{"CountAboveSize",
                 1,
                 5,
                 true,
                 true,
                 true,
                 4,
                 {V{1, 2, 3, 4}, V{11, 12, 13, 14}, V{21, 22, 23, 24}}},
        FillCase{"NegativeCount", 1, -1, true, true, true, 0, {V(4, 0.0), V(4, 1.0), V(4, 0.0)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DSPFFTData, SettersReachAllThreeArrays) {
    CDSPFFTData block;
    ASSERT_TRUE(block.Create(1, 4, 8000.0));
    block.SetNumUsed(3);
    EXPECT_EQ(block.SetSampleRate(44100.0), 44100.0);
    for (const CDSPData* a : {block.GetTimeObj(), block.GetFreqObj(), block.GetPhaseObj()}) {
        EXPECT_EQ(a->GetNumUsed(), 3);
        EXPECT_EQ(a->GetSampleRate(), 44100.0);
    }
    EXPECT_EQ(block.GetNumUsed(), 3);
}

struct EquivalenceCase {
    const char* name;
    int32_t type, size;
    double fs;
    // Recreate the arrays at 96000 with Create(size, type), keeping the block's own rate.
    bool arraysAt96000;
    bool type_, size_, rate, equivalent;
};

class DSPFFTDataEquivalence : public ::testing::TestWithParam<EquivalenceCase> {};

TEST_P(DSPFFTDataEquivalence, ComparesArraysAndTheBlocksOwnFields) {
    const EquivalenceCase& c = GetParam();
    CDSPFFTData a;
    ASSERT_TRUE(a.Create(1, 8, 96000.0));
    CDSPFFTData b;
    ASSERT_TRUE(b.Create(c.type, c.size, c.fs));
    if (c.arraysAt96000) {
        ASSERT_EQ(b.Create(c.size, c.type), 3 * c.size);
    }
    EXPECT_EQ(a.IsType(b), c.type_);
    EXPECT_EQ(a.IsSize(b), c.size_);
    EXPECT_EQ(a.IsSampleRate(b), c.rate);
    EXPECT_EQ(a.IsEquivalent(b), c.equivalent);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, DSPFFTDataEquivalence,
    ::testing::Values(EquivalenceCase{"Same", 1, 8, 96000.0, false, true, true, true, true},
                      EquivalenceCase{"Type", 2, 8, 96000.0, false, false, true, true, false},
                      EquivalenceCase{"Size", 1, 16, 96000.0, false, true, false, true, false},
                      EquivalenceCase{"Rate", 1, 8, 48000.0, false, true, true, false, false},
                      EquivalenceCase{"OnlyBlockRateDiffers", 1, 8, 48000.0, true, true, true,
                                      false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DSPFFTData, BlocksWithoutArraysCompareEqualButNotWithCreatedOnes) {
    CDSPFFTData a;
    CDSPFFTData b;
    EXPECT_TRUE(a.IsEquivalent(b));
    ASSERT_TRUE(b.Create(1, 1024, 96000.0));
    EXPECT_FALSE(a.IsSize(b));
    EXPECT_FALSE(b.IsType(a));
}
