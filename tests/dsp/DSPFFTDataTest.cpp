// Sample blocks, their arrays and channel lists: shapes made, copied, filled and compared;
// refusals change nothing, and a channel without a block gives null or zero.
#include "dsp/DSPFFTDataList.h"

#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <tuple>
#include <vector>

namespace {

using V = std::vector<double>;

TEST(DSPFFTData, CreateCloneAndTheResponseAxis) {
    CDSPFFTData block, clone, empty;
    EXPECT_EQ(block.Fill(1, V{1}.data(), V{1}.data(), V{1}.data()), 0) << "no arrays yet";
    ASSERT_TRUE(block.Create(2, 8, 8000.0, "Step: 2 SoundIO"));
    EXPECT_EQ(Snapshot(block), (CBlockSnapshot{V{0, 1000, 2000, 3000, 4000, 3000, 2000, 1000},
                                               V(8, 1.0), V(8, 0.0)}));
    EXPECT_EQ(block.GetPhaseObj()->GetSampleRate(), 8000.0);
    EXPECT_EQ(block.GetProcessDescription(), "Step: 2 SoundIO");
    block.SetGain(0.5);
    block.GetFreqObj()->GetDataPointer()[1] = 3.0;
    ASSERT_TRUE(clone.Clone(block));
    EXPECT_EQ(Values(clone.GetFreqObj()), V(8, 1.0)) << "a clone takes the shape, never the values";
    EXPECT_EQ(clone.GetGain(), 1.0);
    EXPECT_FALSE(clone.Clone(empty));
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

TEST(DSPFFTData, CopyTakesValuesOfTheSameShapeAndAResponseKeepsItsAxis) {
    CDSPFFTData source, target, response, axis, empty;
    MakeBlock(source, 1, 44100.0, {1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12});
    ASSERT_TRUE(target.Create(1, 4, 8000.0));
    ASSERT_TRUE(target.Copy(source));
    EXPECT_EQ(Snapshot(target), Snapshot(source));
    EXPECT_TRUE(target.IsEquivalent(source));
    MakeBlock(response, 2, 16000.0, {}, {3, 4, 5, 6}, {7, 8, 9, 10});
    ASSERT_TRUE(axis.Create(2, 4, 8000.0));
    ASSERT_TRUE(axis.Copy(response));
    EXPECT_EQ(Snapshot(axis),
              (CBlockSnapshot{V{0, 2000, 4000, 2000}, V{3, 4, 5, 6}, V{7, 8, 9, 10}}));
    EXPECT_EQ(axis.GetFreqObj()->GetSampleRate(), 8000.0);
    for (CDSPFFTData* other : {&response, &empty}) {
        EXPECT_FALSE(target.CanCopy(*other));
        EXPECT_FALSE(target.Copy(*other));
        EXPECT_FALSE(other->Copy(target));
    }
    EXPECT_EQ(Snapshot(target), Snapshot(source));
}

// Fill copies the given sources over count (more than the block holds is cut to its size instead
// of writing past it); a null source is skipped and a response block keeps its frequency axis.
TEST(DSPFFTData, FillCopiesTheGivenSourcesOverCount) {
    const std::tuple<int32_t, int32_t, bool, int32_t, CBlockSnapshot> cases[] = {
        {1, 2, true, 2, {V{1, 2, 0, 0}, V{11, 12, 1, 1}, V{21, 22, 0, 0}}},
        {1, 4, false, 4, {V(4, 0.0), V{11, 12, 13, 14}, V{21, 22, 23, 24}}},
        {2, 4, true, 4, {V{0, 100, 200, 100}, V{11, 12, 13, 14}, V{21, 22, 23, 24}}},
        {1, 5, true, 4, {V{1, 2, 3, 4}, V{11, 12, 13, 14}, V{21, 22, 23, 24}}},
        {1, -1, true, 0, {V(4, 0.0), V(4, 1.0), V(4, 0.0)}}};
    for (const auto& [type, count, time, expectedCount, expected] : cases) {
        CDSPFFTData block;
        ASSERT_TRUE(block.Create(type, 4, 400.0));
        EXPECT_EQ(block.Fill(count, time ? V{1, 2, 3, 4, 5}.data() : nullptr,
                             V{11, 12, 13, 14, 15}.data(), V{21, 22, 23, 24, 25}.data()),
                  expectedCount);
        EXPECT_EQ(Snapshot(block), expected) << type << " " << count;
    }
}

TEST(DSPFFTDataList, MissingChannelsGiveNullOrZeroAndMinusOneMeansEvery) {
    CDSPFFTDataList list, clone;
    EXPECT_EQ(list.Create(2, 8, 3), 0);
    EXPECT_TRUE(list.IsEmpty());
    ASSERT_TRUE(list.Create(2, 1, 8, 8000.0));
    for (int ch : {-2, 2}) {
        EXPECT_EQ(list.GetAt(ch), nullptr);
        EXPECT_EQ(list.GetTimeData(ch), nullptr);
        EXPECT_EQ(list.GetSize(ch), 0);
        EXPECT_EQ(list.GetSampleRate(ch), 0.0);
        EXPECT_FALSE(list.DoFFT(ch, 0));
    }
    EXPECT_EQ(list.SetGain(-1, 0.5), 0.5);
    EXPECT_EQ(list.SetGain(1, 0.25), 0.25);
    EXPECT_EQ(list.GetGain(-1), 0.5);
    EXPECT_EQ(list.SetDelay(-1, 2.0), 2.0);
    EXPECT_EQ(list.GetDelay(1), 2.0);
    EXPECT_EQ(list.SetGain(5, 9.0), 0.0);
    list.SetSampleRate(48000.0);
    EXPECT_EQ(list.GetAt(1)->GetPhaseObj()->GetSampleRate(), 48000.0);
    ASSERT_TRUE(clone.Clone(list, "Step: 1 WAV File Open"));
    EXPECT_EQ(clone.GetProcessDescription(), "Step: 1 WAV File Open");
    EXPECT_TRUE(clone.IsEquivalent(list));
}

TEST(DSPFFTDataList, FillCountsAndCopyIsAllOrNothing) {
    CDSPFFTDataList from, to, response, copy, mixed, empty;
    ASSERT_TRUE(from.Create(2, 1, 8, 8000.0));
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 8; ++i) {
            from.GetTimeData(ch)[i] = 10 * ch + i;
            from.GetFreqData(ch)[i] = 100 + 10 * ch + i;
        }
    ASSERT_TRUE(to.Create(2, 1, 8, 8000.0));
    EXPECT_EQ(to.Fill(from), (8 + 8) * 2);
    EXPECT_EQ(Values(to.GetFreqObj(1)), Values(from.GetFreqObj(1)));
    ASSERT_TRUE(response.Create(1, 2, 4, 400.0));
    EXPECT_EQ(response.Fill(from), 4) << "stops at the receiver's size";
    EXPECT_EQ(Values(response.GetTimeObj(0)), (V{0, 100, 200, 100})) << "the axis stays";
    EXPECT_EQ(empty.Fill(from), 0);
    ASSERT_TRUE(mixed.Create(1, 1, 8, 8000.0));
    ASSERT_TRUE(mixed.Create(1, 1, 4, 8000.0));
    EXPECT_FALSE(mixed.Copy(from)) << "the second pair differs in size";
    EXPECT_EQ(mixed.GetTimeData(0)[1], 0.0) << "so the first is not copied either";
    EXPECT_FALSE(from.IsEquivalent(mixed));
    ASSERT_TRUE(copy.Create(2, 1, 8, 8000.0));
    ASSERT_TRUE(copy.Copy(from));
    EXPECT_EQ(copy.GetTimeData(1)[7], 17.0);
    EXPECT_FALSE(from.IsEquivalent(empty)) << "no pairs: the lists' own fields decide";
}

// To nearest with halves up; beyond the range the extremes, and NaN zero.
TEST(DoubleToInt, RoundsToNearestWithHalvesUp) {
    const std::pair<double, int> cases[] = {{2.5, 3},
                                            {-2.5, -2},
                                            {-2.6, -3},
                                            {2.4999999999999996, 2},
                                            {1e300, INT_MAX},
                                            {-1e300, INT_MIN},
                                            {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const auto& [x, expected] : cases)
        EXPECT_EQ(CDSPFFTDataList::DoubleToInt(x), expected) << x;
}

} // namespace
