#include "dsp/DSPFFTData.h"

#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using V = std::vector<double>;

TEST(DoCal, WithoutReferenceDividesTheResponseOut) {
    CDSPFFTData block;
    MakeBlock(block, 1, 8000.0, {1, 2, 3, 4}, {2, 4, 6, 8}, {0, 10, 20, -170});
    CDSPFFTData calibration;
    MakeBlock(calibration, 2, 8000.0, {}, V(4, 2.0), V(4, 10.0));
    EXPECT_TRUE(block.DoCal(calibration, 0.0));
    EXPECT_EQ(Snapshot(block), (CBlockSnapshot{V{1, 2, 3, 4}, V{1, 2, 3, 4}, V{-10, 0, 10, -180}}));
}

struct ReferenceCase {
    double frequency;
    int bin; // the calibration bin the result is normalised to
};

class DoCalReference : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(DoCalReference, NormalisesToTheTruncatedBin) {
    // 8 bins at 8000 samples per second: 1000 Hz per bin; calibration gains 1, 2, ..., 8.
    CDSPFFTData block;
    MakeBlock(block, 1, 8000.0, {}, V(8, 12.0), V(8, 5.0));
    CDSPFFTData calibration;
    MakeBlock(calibration, 2, 8000.0, {}, {1, 2, 3, 4, 5, 6, 7, 8}, V(8, 1.0));
    EXPECT_TRUE(block.DoCal(calibration, GetParam().frequency));
    const double reference = GetParam().bin + 1.0;
    for (int k = 0; k < 8; ++k) {
        EXPECT_DOUBLE_EQ(block.GetFreqObj()->GetDataPointer()[k], 12.0 * reference / (k + 1));
        EXPECT_EQ(block.GetPhaseObj()->GetDataPointer()[k], 4.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Frequencies, DoCalReference,
                         ::testing::Values(ReferenceCase{1000.0, 1}, ReferenceCase{2900.0, 2},
                                           ReferenceCase{2500.0, 2}, ReferenceCase{999.0, 0},
                                           ReferenceCase{7999.0, 7}));

TEST(DoCal, RefusesMismatchedCalibrationAndReferenceOutsideIt) {
    CDSPFFTData block;
    MakeBlock(block, 1, 8000.0, {}, V(8, 12.0), V(8, 5.0));
    const CBlockSnapshot before = Snapshot(block);
    CDSPFFTData shorter;
    ASSERT_TRUE(shorter.Create(2, 4, 8000.0));
    CDSPFFTData calibration;
    ASSERT_TRUE(calibration.Create(2, 8, 8000.0));
    EXPECT_FALSE(block.DoCal(shorter, 0.0));
    EXPECT_FALSE(block.DoCal(CDSPFFTData(), 0.0));
    EXPECT_FALSE(block.DoCal(calibration, 8000.0)); // bin 8 of 0..7
    EXPECT_FALSE(block.DoCal(calibration, -1.0));
    EXPECT_FALSE(block.DoCal(calibration, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(Snapshot(block), before);
}

TEST(Invert, TimeBlockNegatesSamplesAndInvertsTheSingleSidedHalf) {
    CDSPFFTData block;
    MakeBlock(block, 1, 8000.0, {1, -2, 3, 0, 5, 6, 7, 8}, {2, 4, 0.5, 8, 10, 3, 3, 3},
              {10, -20, 30, 0, 50, 60, 70, 80});
    EXPECT_EQ(block.Invert(), 8);
    EXPECT_EQ(Snapshot(block),
              (CBlockSnapshot{V{-1, 2, -3, 0, -5, -6, -7, -8}, V{0.5, 0.25, 2, 0.125, 0.1, 3, 3, 3},
                              V{-10, 20, -30, 0, -50, -60, -70, -80}}));
}

TEST(Invert, TwiceRestoresATimeBlock) {
    CDSPFFTData block;
    MakeBlock(block, 1, 8000.0, {0.1, -0.2, 0.3, 0.4}, {0.3, 0.7, 1.9, 5.0}, {1, 2, 3, 4});
    const CBlockSnapshot before = Snapshot(block);
    block.Invert();
    block.Invert();
    const CBlockSnapshot after = Snapshot(block);
    EXPECT_EQ(after.time, before.time);
    EXPECT_EQ(after.phase, before.phase);
    for (int k = 0; k < 4; ++k)
        EXPECT_DOUBLE_EQ(after.magnitude[k], before.magnitude[k]);
}

TEST(Invert, ResponseBlockInvertsEveryGainAndKeepsTheAxis) {
    CDSPFFTData block;
    MakeBlock(block, 2, 400.0, {}, {2, 4, 0.5, 8}, {10, -20, 30, 0});
    EXPECT_EQ(block.Invert(), 4);
    EXPECT_EQ(Snapshot(block),
              (CBlockSnapshot{V{0, 100, 200, 100}, V{0.5, 0.25, 2, 0.125}, V{-10, 20, -30, 0}}));
}

TEST(Invert, BlockWithoutArraysOrValuesIsHarmless) {
    EXPECT_EQ(CDSPFFTData().Invert(), 0);
    CDSPFFTData empty;
    ASSERT_TRUE(empty.Create(1, 0, 8000.0));
    EXPECT_EQ(empty.Invert(), 0);
}
