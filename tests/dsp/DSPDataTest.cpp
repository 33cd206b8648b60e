#include "dsp/DSPData.h"

#include "common/DspTestUtil.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
// An array of the given shape holding 1, 2, 3, ...
void MakeCounting(CDSPData& data, int32_t type, int32_t size, double fs) {
    ASSERT_TRUE(data.Create(type, size, fs));
    for (int32_t i = 0; i < size; ++i)
        data.GetDataPointer()[i] = i + 1.0;
}
} // namespace

TEST(DSPData, FreshObjectHasNoValues) {
    const CDSPData data;
    EXPECT_EQ(data.GetType(), 1);
    EXPECT_EQ(data.GetSize(), 1024);
    EXPECT_EQ(data.GetNumUsed(), 0);
    EXPECT_EQ(data.GetSampleRate(), 96000.0);
    EXPECT_EQ(data.GetDataPointer(), nullptr);
}

TEST(DSPData, CreateBySizeAndTypeResetsSampleRateAndZeroes) {
    CDSPData data;
    MakeCounting(data, 2, 4, 8000.0);
    data.SetNumUsed(4);
    EXPECT_EQ(data.Create(8, 1), 8);
    EXPECT_EQ(data.GetType(), 1);
    EXPECT_EQ(data.GetSize(), 8);
    EXPECT_EQ(data.GetNumUsed(), 0);
    EXPECT_EQ(data.GetSampleRate(), 96000.0);
    EXPECT_EQ(Values(&data), std::vector<double>(8, 0.0));
}

TEST(DSPData, CreateWithInvalidTypeOrSizeYieldsNoValues) {
    CDSPData data;
    MakeCounting(data, 1, 4, 8000.0);
    EXPECT_EQ(data.Create(8, 3), 0);
    EXPECT_EQ(data.GetDataPointer(), nullptr);
    EXPECT_EQ(data.Create(-1, 1), 0);
    EXPECT_EQ(data.GetDataPointer(), nullptr);
}

TEST(DSPData, FullCreateRefusesInvalidTypeAndKeepsOldValues) {
    CDSPData data;
    MakeCounting(data, 1, 4, 8000.0);
    for (int32_t type : {0, 3, -1}) {
        EXPECT_FALSE(data.Create(type, 16, 44100.0));
        EXPECT_FALSE(data.Create(type, 16, 44100.0, "x"));
    }
    EXPECT_EQ(data.GetSize(), 4);
    EXPECT_EQ(data.GetSampleRate(), 8000.0);
    EXPECT_EQ(Values(&data), (std::vector<double>{1, 2, 3, 4}));
}

TEST(DSPData, FullCreateSetsShapeAndDescription) {
    CDSPData data;
    ASSERT_TRUE(data.Create(2, 16, 44100.0, "Step: 1 Signal Generator"));
    EXPECT_EQ(data.GetType(), 2);
    EXPECT_EQ(data.GetSize(), 16);
    EXPECT_EQ(data.GetSampleRate(), 44100.0);
    EXPECT_EQ(data.GetNumUsed(), 0);
    EXPECT_EQ(data.GetDescription(), "Step: 1 Signal Generator");
    EXPECT_EQ(Values(&data), std::vector<double>(16, 0.0));
}

TEST(DSPData, CloneCopiesShapeNeverValues) {
    CDSPData source;
    MakeCounting(source, 2, 6, 22050.0);
    source.SetNumUsed(6);
    CDSPData clone;
    ASSERT_TRUE(clone.Clone(source));
    EXPECT_TRUE(clone.IsEquivalent(source));
    EXPECT_EQ(clone.GetNumUsed(), 0);
    EXPECT_EQ(Values(&clone), std::vector<double>(6, 0.0));
}

TEST(DSPData, CopyTakesValuesAndSampleRate) {
    CDSPData source;
    MakeCounting(source, 1, 4, 22050.0);
    CDSPData target;
    ASSERT_TRUE(target.Create(1, 4, 8000.0));
    ASSERT_TRUE(target.Copy(source));
    EXPECT_EQ(Values(&target), (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(target.GetSampleRate(), 22050.0);
    EXPECT_EQ(target.GetNumUsed(), 4);
}

struct CopyRefusal {
    const char* name;
    int32_t targetType, targetSize;
    bool targetCreated;
};

class DSPDataCopyRefusal : public ::testing::TestWithParam<CopyRefusal> {};

TEST_P(DSPDataCopyRefusal, LeavesTargetUnchanged) {
    const CopyRefusal& c = GetParam();
    CDSPData source;
    MakeCounting(source, 1, 4, 22050.0);
    CDSPData target;
    if (c.targetCreated) {
        ASSERT_TRUE(target.Create(c.targetType, c.targetSize, 8000.0));
    }
    const std::vector<double> before = Values(&target);
    EXPECT_FALSE(target.Copy(source));
    EXPECT_EQ(Values(&target), before);
    EXPECT_EQ(target.GetSampleRate(), c.targetCreated ? 8000.0 : 96000.0);
    EXPECT_EQ(target.GetNumUsed(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Mismatches, DSPDataCopyRefusal,
    ::testing::Values(CopyRefusal{"OtherSize", 1, 8, true}, CopyRefusal{"OtherType", 2, 4, true},
                      // Shape of the source but never created: there is nothing to copy into.
                      CopyRefusal{"NoValues", 1, 4, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DSPData, CopyFromAnArrayWithoutValuesIsRefused) {
    CDSPData source; // size 1024, no values
    CDSPData target;
    ASSERT_TRUE(target.Create(1, 1024, 8000.0));
    EXPECT_FALSE(target.Copy(source));
}

struct ShapeCase {
    const char* name;
    int32_t type, size;
    double fs;
    bool sameType, sameSize, sameRate;
};

class DSPDataComparison : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(DSPDataComparison, ComparesTypeSizeAndExactSampleRate) {
    const ShapeCase& c = GetParam();
    CDSPData a;
    CDSPData b;
    ASSERT_TRUE(a.Create(1, 8, 48000.0));
    ASSERT_TRUE(b.Create(c.type, c.size, c.fs));
    EXPECT_EQ(a.IsType(b), c.sameType);
    EXPECT_EQ(a.IsSize(b), c.sameSize);
    EXPECT_EQ(a.IsSampleRate(b), c.sameRate);
    EXPECT_EQ(a.IsEquivalent(b), c.sameType && c.sameSize && c.sameRate);
}

INSTANTIATE_TEST_SUITE_P(Shapes, DSPDataComparison,
                         ::testing::Values(ShapeCase{"Same", 1, 8, 48000.0, true, true, true},
                                           ShapeCase{"Type", 2, 8, 48000.0, false, true, true},
                                           ShapeCase{"Size", 1, 16, 48000.0, true, false, true},
                                           ShapeCase{"RateByOneUlp", 1, 8, 48000.00000000001, true,
                                                     true, false},
                                           ShapeCase{"All", 2, 4, 44100.0, false, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DSPData, InvertNegatesEveryValue) {
    CDSPData data;
    MakeCounting(data, 1, 3, 8000.0);
    EXPECT_EQ(data.Invert(), 3);
    EXPECT_EQ(Values(&data), (std::vector<double>{-1, -2, -3}));
    EXPECT_EQ(CDSPData().Invert(), 0);
}
