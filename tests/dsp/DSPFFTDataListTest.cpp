#include "dsp/DSPFFTDataList.h"

#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <vector>

using V = std::vector<double>;

TEST(DSPFFTDataList, FreshListIsEmptyWithDefaults) {
    const CDSPFFTDataList list;
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetNumChans(), 0);
    EXPECT_EQ(list.GetSize(), 1024);
    EXPECT_EQ(list.GetSampleRate(), 96000.0);
}

TEST(DSPFFTDataList, CreateBySizeAndTypeSumsBlocksAndStoresNoRate) {
    CDSPFFTDataList list;
    list.SetSampleRate(8000.0); // on the empty list: only the list's own rate
    EXPECT_EQ(list.Create(2, 8, 1), 48);
    EXPECT_EQ(list.GetNumChans(), 2);
    EXPECT_EQ(list.GetSize(), 8);
    EXPECT_EQ(list.GetSampleRate(), 8000.0);
    EXPECT_EQ(list.GetSampleRate(1), 96000.0);
    EXPECT_EQ(list.GetType(1), 1);
}

TEST(DSPFFTDataList, CreateWithRateAndDescription) {
    CDSPFFTDataList list;
    ASSERT_TRUE(list.Create(2, 2, 16, 44100.0, "Step: 3 Spectrum Analyzer"));
    EXPECT_EQ(list.GetNumChans(), 2);
    EXPECT_EQ(list.GetSize(), 16);
    EXPECT_EQ(list.GetSampleRate(), 44100.0);
    EXPECT_EQ(list.GetProcessDescription(), "Step: 3 Spectrum Analyzer");
    for (int ch = 0; ch < 2; ++ch) {
        EXPECT_EQ(list.GetType(ch), 2);
        EXPECT_EQ(list.GetSize(ch), 16);
        EXPECT_EQ(list.GetSampleRate(ch), 44100.0);
        EXPECT_EQ(list.GetAt(ch)->GetProcessDescription(), "Step: 3 Spectrum Analyzer");
    }
}

TEST(DSPFFTDataList, InvalidCreateAppendsNothing) {
    CDSPFFTDataList list;
    EXPECT_EQ(list.Create(2, 8, 3), 0);
    EXPECT_FALSE(list.Create(2, 0, 8, 8000.0));
    EXPECT_FALSE(list.Create(-1, 1, 8, 8000.0, "x"));
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetSize(), 1024);
}

TEST(DSPFFTDataList, CloneCopiesShapesOnly) {
    CDSPFFTDataList source;
    ASSERT_TRUE(source.Create(2, 1, 4, 22050.0));
    source.GetTimeData(1)[2] = 0.75;
    CDSPFFTDataList clone;
    ASSERT_TRUE(clone.Clone(source, "Step: 1 WAV File Open"));
    EXPECT_TRUE(clone.IsEquivalent(source));
    EXPECT_EQ(clone.GetProcessDescription(), "Step: 1 WAV File Open");
    EXPECT_EQ(Values(clone.GetTimeObj(1)), V(4, 0.0));
    EXPECT_EQ(clone.GetSampleRate(), 22050.0);
}

TEST(DSPFFTDataList, MissingChannelsGiveNullOrZeroAndChangeNothing) {
    CDSPFFTDataList list;
    ASSERT_TRUE(list.Create(2, 1, 8, 8000.0));
    for (int ch : {-2, -1, 2, 100}) {
        EXPECT_EQ(list.GetAt(ch), nullptr);
        EXPECT_EQ(list.GetTimeObj(ch), nullptr);
        EXPECT_EQ(list.GetTimeData(ch), nullptr);
        EXPECT_EQ(list.GetFreqData(ch), nullptr);
        EXPECT_EQ(list.GetPhaseObj(ch), nullptr);
        EXPECT_EQ(list.GetSize(ch), 0);
        EXPECT_EQ(list.GetType(ch), 0);
        EXPECT_EQ(list.GetNumUsed(ch), 0);
        EXPECT_EQ(list.GetSampleRate(ch), 0.0);
        EXPECT_FALSE(list.DoFFT(ch, 0));
        EXPECT_FALSE(list.DoIFFT(ch));
    }
    EXPECT_EQ(list.SetGain(2, 0.5), 0.0);
    EXPECT_EQ(list.GetGain(0), 1.0);
    EXPECT_EQ(list.GetGain(1), 1.0);
}

// Gain and delay follow the same channel rules.
struct ChannelValue {
    const char* name;
    double (CDSPFFTDataList::*set)(int, double);
    double (CDSPFFTDataList::*get)(int) const;
};

class DSPFFTDataListChannelValue : public ::testing::TestWithParam<ChannelValue> {};

TEST_P(DSPFFTDataListChannelValue, MinusOneSetsEveryBlockAndReadsTheFirst) {
    const ChannelValue& c = GetParam();
    CDSPFFTDataList list;
    ASSERT_TRUE(list.Create(2, 1, 8, 8000.0));
    EXPECT_EQ((list.*c.set)(-1, 0.5), 0.5);
    EXPECT_EQ((list.*c.get)(0), 0.5);
    EXPECT_EQ((list.*c.get)(1), 0.5);
    EXPECT_EQ((list.*c.set)(1, 0.25), 0.25);
    EXPECT_EQ((list.*c.get)(-1), 0.5);
    EXPECT_EQ((list.*c.get)(1), 0.25);
    EXPECT_EQ((list.*c.set)(5, 9.0), 0.0);
    EXPECT_EQ((list.*c.get)(5), 0.0);
    CDSPFFTDataList empty;
    EXPECT_EQ((empty.*c.set)(-1, 0.5), 0.0);
    EXPECT_EQ((empty.*c.get)(-1), 0.0);
}

INSTANTIATE_TEST_SUITE_P(GainAndDelay, DSPFFTDataListChannelValue,
                         ::testing::Values(ChannelValue{"Gain", &CDSPFFTDataList::SetGain,
                                                        &CDSPFFTDataList::GetGain},
                                           ChannelValue{"Delay", &CDSPFFTDataList::SetDelay,
                                                        &CDSPFFTDataList::GetDelay}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DSPFFTDataList, NumUsedAndSampleRateSetters) {
    CDSPFFTDataList list;
    ASSERT_TRUE(list.Create(2, 1, 8, 8000.0));
    list.SetNumUsed(6);
    list.SetNumUsed(1, 3);
    list.SetNumUsed(7, 1);
    EXPECT_EQ(list.GetNumUsed(0), 6);
    EXPECT_EQ(list.GetNumUsed(1), 3);
    list.SetSampleRate(48000.0);
    EXPECT_EQ(list.GetSampleRate(), 48000.0);
    EXPECT_EQ(list.GetSampleRate(0), 48000.0);
    EXPECT_EQ(list.GetAt(1)->GetPhaseObj()->GetSampleRate(), 48000.0);
}

struct RoundCase {
    double x;
    int expected;
};

class DoubleToInt : public ::testing::TestWithParam<RoundCase> {};

TEST_P(DoubleToInt, RoundsToNearestWithHalvesUp) {
    EXPECT_EQ(CDSPFFTDataList::DoubleToInt(GetParam().x), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, DoubleToInt,
                         ::testing::Values(RoundCase{2.5, 3}, RoundCase{2.4, 2},
                                           RoundCase{-2.5, -2}, RoundCase{-2.6, -3},
                                           RoundCase{-2.4, -2}, RoundCase{0.5, 1},
                                           RoundCase{-0.5, 0}, RoundCase{3.0, 3},
                                           RoundCase{2.5000000000000004, 3},
                                           RoundCase{2.4999999999999996, 2},
                                           RoundCase{1e300, INT_MAX}, RoundCase{-1e300, INT_MIN},
                                           RoundCase{std::numeric_limits<double>::quiet_NaN(), 0}));

TEST(DSPFFTDataList, FillReturnsSumOfCountsTimesPairs) {
    CDSPFFTDataList from;
    ASSERT_TRUE(from.Create(2, 1, 4, 8000.0));
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 4; ++i) {
            from.GetTimeData(ch)[i] = 10 * ch + i;
            from.GetFreqData(ch)[i] = 100 + 10 * ch + i;
            from.GetPhaseData(ch)[i] = 200 + 10 * ch + i;
        }
    CDSPFFTDataList to;
    ASSERT_TRUE(to.Create(2, 1, 4, 8000.0));
    EXPECT_EQ(to.Fill(from), (4 + 4) * 2);
    EXPECT_EQ(Values(to.GetTimeObj(1)), (V{10, 11, 12, 13}));
    EXPECT_EQ(Values(to.GetFreqObj(1)), (V{110, 111, 112, 113}));
    EXPECT_EQ(Values(to.GetPhaseObj(0)), (V{200, 201, 202, 203}));

    CDSPFFTDataList one;
    ASSERT_TRUE(one.Create(1, 2, 4, 400.0));
    EXPECT_EQ(one.Fill(from), 4 * 1);
    // A response block keeps its axis: the time source is not passed to it.
    EXPECT_EQ(Values(one.GetTimeObj(0)), (V{0, 100, 200, 100}));
    EXPECT_EQ(Values(one.GetFreqObj(0)), (V{100, 101, 102, 103}));

    CDSPFFTDataList empty;
    EXPECT_EQ(empty.Fill(from), 0);
    EXPECT_EQ(to.Fill(empty), 0);
}

TEST(DSPFFTDataList, FillFromLargerBlocksStopsAtTheReceiversSize) {
    CDSPFFTDataList from;
    ASSERT_TRUE(from.Create(1, 1, 8, 8000.0));
    from.GetTimeData(0)[3] = 7.0;
    CDSPFFTDataList to;
    ASSERT_TRUE(to.Create(1, 1, 4, 8000.0));
    EXPECT_EQ(to.Fill(from), 4);
    EXPECT_EQ(Values(to.GetTimeObj(0)), (V{0, 0, 0, 7}));
}

TEST(DSPFFTDataList, CopyIsAllOrNothing) {
    CDSPFFTDataList from;
    ASSERT_TRUE(from.Create(2, 1, 4, 8000.0));
    from.GetTimeData(0)[0] = 1.0;
    from.GetTimeData(1)[0] = 2.0;
    CDSPFFTDataList to;
    ASSERT_TRUE(to.Create(2, 1, 4, 8000.0));
    ASSERT_TRUE(to.Copy(from));
    EXPECT_EQ(to.GetTimeData(1)[0], 2.0);

    // Second pair differs in size: the first block must not be copied either.
    CDSPFFTDataList mixed;
    ASSERT_TRUE(mixed.Create(1, 1, 4, 8000.0));
    ASSERT_TRUE(mixed.Create(1, 1, 8, 8000.0));
    EXPECT_FALSE(mixed.Copy(from));
    EXPECT_EQ(mixed.GetTimeData(0)[0], 0.0);
}

struct ListShape {
    const char* name;
    int32_t count, type, size;
    double fs;
    bool sameSize, sameRate, equivalent;
};

class DSPFFTDataListComparison : public ::testing::TestWithParam<ListShape> {};

TEST_P(DSPFFTDataListComparison, PairwiseThenOwnFields) {
    const ListShape& c = GetParam();
    CDSPFFTDataList a;
    ASSERT_TRUE(a.Create(2, 1, 8, 8000.0));
    CDSPFFTDataList b;
    if (c.count > 0) {
        ASSERT_TRUE(b.Create(c.count, c.type, c.size, c.fs));
    }
    EXPECT_EQ(a.IsSize(b), c.sameSize);
    EXPECT_EQ(a.IsSampleRate(b), c.sameRate);
    EXPECT_EQ(a.IsEquivalent(b), c.equivalent);
    EXPECT_EQ(b.IsEquivalent(a), c.equivalent);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, DSPFFTDataListComparison,
    ::testing::Values(ListShape{"Same", 2, 1, 8, 8000.0, true, true, true},
                      ListShape{"Rate", 2, 1, 8, 16000.0, true, false, false},
                      ListShape{"Size", 2, 1, 16, 8000.0, false, true, false},
                      ListShape{"Type", 2, 2, 8, 8000.0, true, true, false},
                      ListShape{"OneChannel", 1, 1, 8, 8000.0, true, true, false},
                      // No pairs to compare: only the lists' own fields decide.
                      ListShape{"Empty", 0, 1, 1024, 96000.0, true, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DSPFFTDataList, DoFFTForwardsToTheChannel) {
    CDSPFFTDataList list;
    ASSERT_TRUE(list.Create(2, 1, 8, 8000.0));
    list.GetTimeData(1)[0] = 1.0;
    ASSERT_TRUE(list.DoFFT(1, CDSPFFTData::WindowNone));
    EXPECT_EQ(list.GetFreqData(1)[0], 0.125);
    EXPECT_EQ(list.GetFreqData(0)[0], 1.0); // channel 1 untouched
    list.GetTimeData(1)[0] = 0.0;
    ASSERT_TRUE(list.DoIFFT(1));
    EXPECT_NEAR(list.GetTimeData(1)[0], 1.0, 1e-15);
}
