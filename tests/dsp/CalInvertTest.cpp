// Calibration by a response block and inversion of blocks.
#include "dsp/DSPFFTData.h"

#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

using V = std::vector<double>;

TEST(DoCal, WithoutReferenceDividesTheResponseOut) {
    CDSPFFTData block, calibration;
    MakeBlock(block, 1, 8000.0, {1, 2, 3, 4}, {2, 4, 6, 8}, {0, 10, 20, -170});
    MakeBlock(calibration, 2, 8000.0, {}, V(4, 2.0), V(4, 10.0));
    EXPECT_TRUE(block.DoCal(calibration, 0.0));
    EXPECT_EQ(Snapshot(block), (CBlockSnapshot{V{1, 2, 3, 4}, V{1, 2, 3, 4}, V{-10, 0, 10, -180}}));
}

// 8 bins at 8000 samples per second (1000 Hz per bin), calibration gains 1, 2, ..., 8: the result
// is normalised to the bin the reference frequency truncates to.
TEST(DoCal, ReferenceNormalisesToTheTruncatedBin) {
    for (const auto& [frequency, bin] :
         {std::pair{1000.0, 1}, {2900.0, 2}, {999.0, 0}, {7999.0, 7}}) {
        CDSPFFTData block, calibration;
        MakeBlock(block, 1, 8000.0, {}, V(8, 12.0), V(8, 5.0));
        MakeBlock(calibration, 2, 8000.0, {}, {1, 2, 3, 4, 5, 6, 7, 8}, V(8, 1.0));
        EXPECT_TRUE(block.DoCal(calibration, frequency));
        for (int k = 0; k < 8; ++k) {
            EXPECT_DOUBLE_EQ(block.GetFreqObj()->GetDataPointer()[k], 12.0 * (bin + 1) / (k + 1))
                << frequency;
            EXPECT_EQ(block.GetPhaseObj()->GetDataPointer()[k], 4.0);
        }
    }
}

TEST(DoCal, RefusesMismatchedCalibrationAndReferenceOutsideIt) {
    CDSPFFTData block, shorter, calibration;
    MakeBlock(block, 1, 8000.0, {}, V(8, 12.0), V(8, 5.0));
    const CBlockSnapshot before = Snapshot(block);
    ASSERT_TRUE(shorter.Create(2, 4, 8000.0));
    ASSERT_TRUE(calibration.Create(2, 8, 8000.0));
    EXPECT_FALSE(block.DoCal(shorter, 0.0));
    EXPECT_FALSE(block.DoCal(CDSPFFTData(), 0.0));
    EXPECT_FALSE(block.DoCal(calibration, 8000.0)); // bin 8 of 0..7
    EXPECT_FALSE(block.DoCal(calibration, -1.0));
    EXPECT_FALSE(block.DoCal(calibration, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(Snapshot(block), before);
}

TEST(Invert, NegatesSamplesAndInvertsGainsOfTheSingleSidedHalfOrEveryResponseBin) {
    CDSPFFTData block, response;
    MakeBlock(block, 1, 8000.0, {1, -2, 3, 0, 5, 6, 7, 8}, {2, 4, 0.5, 8, 10, 3, 3, 3},
              {10, -20, 30, 0, 50, 60, 70, 80});
    EXPECT_EQ(block.Invert(), 8);
    EXPECT_EQ(Snapshot(block),
              (CBlockSnapshot{V{-1, 2, -3, 0, -5, -6, -7, -8}, V{0.5, 0.25, 2, 0.125, 0.1, 3, 3, 3},
                              V{-10, 20, -30, 0, -50, -60, -70, -80}}));
    MakeBlock(response, 2, 400.0, {}, {2, 4, 0.5, 8}, {10, -20, 30, 0});
    EXPECT_EQ(response.Invert(), 4);
    EXPECT_EQ(Snapshot(response),
              (CBlockSnapshot{V{0, 100, 200, 100}, V{0.5, 0.25, 2, 0.125}, V{-10, 20, -30, 0}}));
    EXPECT_EQ(CDSPFFTData().Invert(), 0);
}

} // namespace
