// The log of plots: the complex sum and the merge at a crossover, checked against what the
// signals are (equal plots add, opposite ones cancel; a merge takes each plot's own bins), and
// which block lists a log still fits. Plots are 8 bins of 100 Hz (800 samples per second).
#include "common/ArchiveBytes.h"

#include "base/Archive.h"
#include "dsp/DSPFFTDataLogList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A two-channel plot whose magnitudes are `m` (+ 1 on channel 2) and phases `p`.
void AddPlot(CDSPFFTDataLogList& log, double m, double p, double gain = 1.0, double delay = 0.0) {
    CDSPFFTDataList list;
    ASSERT_TRUE(list.Create(2, 1, 8, 800.0, "Step: 2 DataLogger"));
    for (int c = 0; c < 2; ++c) {
        std::vector<double> time(8, m), magnitude(8, m + c), phase(8, p);
        list.GetAt(c)->Fill(8, time.data(), magnitude.data(), phase.data());
    }
    ASSERT_GT(log.AddTail(list), 0);
    log.GetAt(log.GetCount() - 1)->SetNumUsed(8); // as the logger marks a logged block
    log.SetGain(log.GetCount() - 1, -1, gain);
    log.SetDelay(log.GetCount() - 1, -1, delay);
}

TEST(DataLogList, SumOfEqualPlotsDoublesAndOfOppositePlotsCancels) {
    CDSPFFTDataLogList equal;
    AddPlot(equal, 0.5, 30.0);
    EXPECT_EQ(equal.ComplexSum(), nullptr); // one plot has no sum
    AddPlot(equal, 0.5, 30.0);
    const auto sum = equal.ComplexSum();
    ASSERT_NE(sum, nullptr);
    for (int i = 0; i < 8; ++i) {
        EXPECT_NEAR(sum->GetFreqData(0)[i], 1.0, 1e-12);
        EXPECT_NEAR(sum->GetFreqData(1)[i], 3.0, 1e-12);
        EXPECT_NEAR(sum->GetPhaseData(0)[i], 30.0, 1e-9);
        EXPECT_DOUBLE_EQ(sum->GetTimeData(0)[i], 1.0);
    }
    // A plot at gain 2 in antiphase with one twice its level cancels it; delays are not applied.
    CDSPFFTDataLogList opposite;
    AddPlot(opposite, 1.0, 45.0, 1.0, 0.003);
    AddPlot(opposite, 0.5, -135.0, 2.0);
    const auto cancelled = opposite.ComplexSum();
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(cancelled->GetFreqData(0)[i], 0.0, 1e-12);
}

// A merge takes plot A below the crossover bin and plot B from it on, with gains and delay phases:
// at 0 Hz B everywhere, at a crossover A under the nearest bin, at and above half the rate the
// upper half.
TEST(DataLogList, MergeSplitsAtTheCrossoverBinWithGainsAndDelayPhases) {
    for (const auto& [frequency, firstB] :
         {std::pair{0.0, 0}, {250.0, 3}, {400.0, 4}, {5000.0, 4}}) {
        CDSPFFTDataLogList log;
        AddPlot(log, 1.0, 10.0, 2.0);         // A: 2 V after gain
        AddPlot(log, 3.0, -20.0, 1.0, 0.001); // B: delay 1 ms = 360 x 0.001 x 800 / 16 = 18 degrees
        EXPECT_EQ(log.Merge(0, 2, 100.0), nullptr);
        const auto merged = log.Merge(0, 1, frequency);
        ASSERT_NE(merged, nullptr);
        for (int i = 0; i < 8; ++i) {
            const bool b = i >= firstB;
            EXPECT_DOUBLE_EQ(merged->GetFreqData(0)[i], b ? 3.0 : 2.0) << frequency << " " << i;
            EXPECT_NEAR(merged->GetPhaseData(1)[i], b ? -2.0 : 10.0, 1e-12)
                << frequency << " " << i;
        }
    }
}

// A logged plot is its own copy of every value of the blocks, in their shape, without their
// gain; a response block keeps the frequency axis in its time array.
TEST(DataLogList, LogsACopyOfEveryValue) {
    for (int32_t type : {1, 2}) {
        CDSPFFTDataList list;
        ASSERT_TRUE(list.Create(2, type, 8, 800.0));
        for (int c = 0; c < 2; ++c) {
            for (int i = 0; i < 8; ++i) {
                list.GetTimeData(c)[i] = 10 * c + i;
                list.GetFreqData(c)[i] = 0.5 * i - c;
                list.GetPhaseData(c)[i] = 7.0 * i + c;
            }
            list.GetAt(c)->SetGain(3.0);
        }
        CDSPFFTDataLogList log;
        ASSERT_EQ(log.AddTail(list), 2 * 16);
        for (int c = 0; c < 2; ++c) {
            list.GetFreqData(c)[4] = -99.0; // the source changes; the plot does not
            ASSERT_EQ(log.GetSize(0, c), 8);
            EXPECT_DOUBLE_EQ(log.GetSampleRate(0, c), 800.0);
            EXPECT_DOUBLE_EQ(log.GetGain(0, c), 1.0);
            for (int i = 0; i < 8; ++i) {
                const double time = type == 1 ? 10 * c + i : 100.0 * (i <= 4 ? i : 8 - i);
                EXPECT_DOUBLE_EQ(log.GetTimeData(0, c)[i], time) << type << " " << c << " " << i;
                EXPECT_DOUBLE_EQ(log.GetFreqData(0, c)[i], 0.5 * i - c);
                EXPECT_DOUBLE_EQ(log.GetPhaseData(0, c)[i], 7.0 * i + c);
            }
        }
    }
}

TEST(DataLogList, FitsBlockListsOfItsShapeAndDescriptionOnly) {
    CDSPFFTDataLogList log;
    ASSERT_NE(log.CreateEx(2, 1, 8, 800.0, "Step: 2 DataLogger"), nullptr);
    CDSPFFTDataList same, other, elsewhere;
    ASSERT_TRUE(same.Create(2, 1, 8, 800.0, "Step: 2 DataLogger"));
    ASSERT_TRUE(other.Create(2, 1, 16, 800.0, "Step: 2 DataLogger"));
    ASSERT_TRUE(elsewhere.Create(2, 1, 8, 800.0, "Step: 3 DataLogger"));
    EXPECT_TRUE(log.IsEquivalent(same)); // empty, of the same shape
    AddPlot(log, 1.0, 0.0);
    EXPECT_TRUE(log.IsEquivalent(same));
    EXPECT_FALSE(log.IsEquivalent(other));
    EXPECT_FALSE(log.IsEquivalent(elsewhere));
    EXPECT_EQ(log.BytesPerPlot(), 2 * 3 * 8 * 8);
}

TEST(DataLogList, ArchiveHoldsItsClassRecordThenThePlots) {
    CDSPFFTDataLogList log;
    AddPlot(log, 0.5, 30.0);
    AddPlot(log, 1.5, -60.0, 2.0);
    CArchive out;
    log.Serialize(out);
    ASSERT_TRUE(out.Ok()) << out.GetError();
    const std::vector<uint8_t> bytes = out.GetBuffer();
    const std::vector<uint8_t> head = CArchiveBytes().NewClass("CDSPFFTDataLogList").Get();
    ASSERT_GT(bytes.size(), head.size());
    EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));

    CDSPFFTDataLogList back;
    CArchive in(bytes);
    back.Serialize(in);
    ASSERT_TRUE(in.Ok()) << in.GetError();
    EXPECT_EQ(in.Remaining(), 0u);
    ASSERT_EQ(back.GetCount(), 2);
    EXPECT_DOUBLE_EQ(back.GetFreqData(1, 1)[3], 2.5);
    EXPECT_DOUBLE_EQ(back.GetPhaseData(1, 0)[2], -60.0);
    EXPECT_DOUBLE_EQ(back.GetGain(1, 0), 2.0);
}

} // namespace
