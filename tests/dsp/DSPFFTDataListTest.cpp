// Channel lists: blocks made, filled and copied in step; a channel without a block gives null
// or zero and changes nothing.
#include "dsp/DSPFFTDataList.h"

#include "common/CaseName.h"
#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <vector>

namespace {

using V = std::vector<double>;

TEST(DSPFFTDataList, CreateAndCloneAppendWholeBlocksOrNothing) {
    CDSPFFTDataList list, clone;
    EXPECT_EQ(list.Create(2, 8, 3), 0);
    EXPECT_FALSE(list.Create(-1, 1, 8, 8000.0, "x"));
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.Create(1, 8, 1), 24);
    ASSERT_TRUE(list.Create(1, 2, 4, 22050.0, "Step: 3 Spectrum Analyzer"));
    EXPECT_EQ(list.GetNumChans(), 2);
    EXPECT_EQ(list.GetSampleRate(0), 96000.0);
    EXPECT_EQ(list.GetType(1), 2);
    EXPECT_EQ(list.GetAt(1)->GetProcessDescription(), "Step: 3 Spectrum Analyzer");
    ASSERT_TRUE(clone.Clone(list, "Step: 1 WAV File Open"));
    EXPECT_EQ(clone.GetSize(1), 4);
    EXPECT_EQ(clone.GetSampleRate(1), 22050.0);
    EXPECT_EQ(clone.GetProcessDescription(), "Step: 1 WAV File Open");
}

TEST(DSPFFTDataList, MissingChannelsGiveNullOrZeroAndChangeNothing) {
    CDSPFFTDataList list, empty;
    ASSERT_TRUE(list.Create(2, 1, 8, 8000.0));
    for (int ch : {-2, 2}) {
        EXPECT_EQ(list.GetAt(ch), nullptr);
        EXPECT_EQ(list.GetTimeData(ch), nullptr);
        EXPECT_EQ(list.GetFreqData(ch), nullptr);
        EXPECT_EQ(list.GetPhaseObj(ch), nullptr);
        EXPECT_EQ(list.GetSize(ch), 0);
        EXPECT_EQ(list.GetNumUsed(ch), 0);
        EXPECT_EQ(list.GetSampleRate(ch), 0.0);
        EXPECT_FALSE(list.DoFFT(ch, 0));
        EXPECT_FALSE(list.DoIFFT(ch));
    }
    // Channel -1 sets every block and reads the first.
    EXPECT_EQ(list.SetGain(-1, 0.5), 0.5);
    EXPECT_EQ(list.SetGain(1, 0.25), 0.25);
    EXPECT_EQ(list.GetGain(-1), 0.5);
    EXPECT_EQ(list.SetDelay(-1, 2.0), 2.0);
    EXPECT_EQ(list.GetDelay(1), 2.0);
    EXPECT_EQ(list.SetGain(5, 9.0), 0.0);
    EXPECT_EQ(list.GetGain(1), 0.25);
    EXPECT_EQ(empty.SetDelay(-1, 0.5), 0.0);
    list.SetNumUsed(6);
    list.SetNumUsed(1, 3);
    list.SetSampleRate(48000.0);
    EXPECT_EQ(list.GetNumUsed(0), 6);
    EXPECT_EQ(list.GetNumUsed(1), 3);
    EXPECT_EQ(list.GetAt(1)->GetPhaseObj()->GetSampleRate(), 48000.0);
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
    EXPECT_EQ(Values(response.GetFreqObj(0)), (V{100, 101, 102, 103}));
    EXPECT_EQ(empty.Fill(from), 0);

    ASSERT_TRUE(mixed.Create(1, 1, 8, 8000.0));
    ASSERT_TRUE(mixed.Create(1, 1, 4, 8000.0));
    EXPECT_FALSE(mixed.Copy(from)) << "the second pair differs in size";
    EXPECT_EQ(mixed.GetTimeData(0)[1], 0.0) << "so the first is not copied either";
    ASSERT_TRUE(copy.Create(2, 1, 8, 8000.0));
    ASSERT_TRUE(copy.Copy(from));
    EXPECT_EQ(copy.GetTimeData(1)[7], 17.0);
}

struct ListShape {
    std::string name;
    int32_t count, type, size;
    double fs;
    bool sameSize, sameRate, equivalent;
};

class DSPFFTDataListComparison : public ::testing::TestWithParam<ListShape> {};

TEST_P(DSPFFTDataListComparison, PairwiseThenOwnFields) {
    const ListShape& c = GetParam();
    CDSPFFTDataList a, b;
    ASSERT_TRUE(a.Create(2, 1, 8, 8000.0));
    if (c.count > 0) {
        ASSERT_TRUE(b.Create(c.count, c.type, c.size, c.fs));
    }
    EXPECT_EQ(a.IsSize(b), c.sameSize);
    EXPECT_EQ(a.IsSampleRate(b), c.sameRate);
    EXPECT_EQ(a.IsEquivalent(b), c.equivalent);
    EXPECT_EQ(b.IsEquivalent(a), c.equivalent);
}

// No pairs to compare: only the lists' own fields decide.
INSTANTIATE_TEST_SUITE_P(
    Variants, DSPFFTDataListComparison,
    ::testing::Values(ListShape{"Same", 2, 1, 8, 8000.0, true, true, true},
                      ListShape{"Rate", 2, 1, 8, 16000.0, true, false, false},
                      ListShape{"Size", 2, 1, 16, 8000.0, false, true, false},
                      ListShape{"Type", 2, 2, 8, 8000.0, true, true, false},
                      ListShape{"OneChannel", 1, 1, 8, 8000.0, true, true, false},
                      ListShape{"Empty", 0, 1, 1024, 96000.0, true, false, false}),
    CaseName());

struct RoundCase {
    std::string name;
    double x;
    int expected;
};

class DoubleToInt : public ::testing::TestWithParam<RoundCase> {};

TEST_P(DoubleToInt, RoundsToNearestWithHalvesUp) {
    EXPECT_EQ(CDSPFFTDataList::DoubleToInt(GetParam().x), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DoubleToInt,
    ::testing::Values(RoundCase{"HalfUp", 2.5, 3}, RoundCase{"Below", 2.4, 2},
                      RoundCase{"NegativeHalfUp", -2.5, -2}, RoundCase{"NegativeBelow", -2.6, -3},
                      RoundCase{"JustAboveHalf", 2.5000000000000004, 3},
                      RoundCase{"JustBelowHalf", 2.4999999999999996, 2},
                      RoundCase{"Huge", 1e300, INT_MAX}, RoundCase{"HugeNegative", -1e300, INT_MIN},
                      RoundCase{"NaN", std::numeric_limits<double>::quiet_NaN(), 0}),
    CaseName());

} // namespace
