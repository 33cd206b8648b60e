// The `fmt ` chunk's kinds and the sample conversions both ways, against hand-worked values.
#include "formats/WavFormat.h"

#include "common/CaseName.h"
#include "common/HexBytes.h"
#include "common/WavBytes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// WAVE_FORMAT_EXTENSIBLE: the plain 16 bytes, cbSize 22, valid bits, channel mask, sub-format.
std::vector<uint8_t> Extensible(uint16_t subFormat, uint16_t channels, uint16_t bits,
                                const char* guidTail = "0000 0000 1000 8000 00aa 0038 9b71") {
    std::vector<uint8_t> fmt = FmtBytes(0xFFFE, channels, 48000, bits);
    for (const auto& part : {HexBytes("1600"), LittleEndian(bits, 2), LittleEndian(3, 4),
                             LittleEndian(subFormat, 2), HexBytes(guidTail)})
        fmt = Joined(fmt, part);
    return fmt;
}

struct CDecode {
    std::string name;
    std::vector<uint8_t> fmt;
    std::vector<uint8_t> sample; // channel 1 of a frame
    double value;
};

const CDecode kDecodes[] = {
    {"U8Lowest", FmtBytes(1, 1, 8000, 8), {0x00}, -128.0 / 127},
    {"S24Negative", FmtBytes(1, 2, 8000, 24), {0x00, 0x00, 0xC0}, -0.5},
    {"Float32Infinite", FmtBytes(3, 1, 8000, 32), {0x00, 0x00, 0x80, 0x7F}, 0.0},
    {"ExtensibleFloat", Extensible(3, 1, 32), {0x00, 0x00, 0x00, 0x3F}, 0.5},
    {"TwentyBitsIn24", FmtBytes(1, 1, 8000, 20, 3), {0x00, 0x00, 0x80}, -1.0},
};

class WavDecode : public testing::TestWithParam<CDecode> {};

TEST_P(WavDecode, ReadsTheFormatAndScalesTheSample) {
    CWavFormat format;
    ASSERT_EQ(ParseWavFmt(GetParam().fmt.data(), GetParam().fmt.size(), format), EWavFmtStatus::Ok);
    EXPECT_EQ(format.BytesPerSample(), int(GetParam().sample.size()));
    EXPECT_DOUBLE_EQ(WavSampleValue(GetParam().sample.data(), format), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Samples, WavDecode, testing::ValuesIn(kDecodes), CaseName());

struct CRefusal {
    std::string name;
    std::vector<uint8_t> fmt;
    EWavFmtStatus status;
};

const CRefusal kRefusals[] = {
    {"ExtensibleCut", FmtBytes(0xFFFE, 2, 8000, 16), EWavFmtStatus::Short},
    {"RateZero", FmtBytes(1, 2, 0, 16), EWavFmtStatus::Short},
    {"ExtensibleOtherGuid", Extensible(1, 2, 16, "0000 0000 1000 8000 00aa 0038 9b72"),
     EWavFmtStatus::NotPcm},
    {"AlignNotWhole", FmtBytes(1, 2, 8000, 16, 3), EWavFmtStatus::Unsupported},
    {"Float16", FmtBytes(3, 1, 8000, 16), EWavFmtStatus::Unsupported},
    {"BitsPastContainer", FmtBytes(1, 1, 8000, 24, 2), EWavFmtStatus::Unsupported},
};

class WavFmtRefusal : public testing::TestWithParam<CRefusal> {};

TEST_P(WavFmtRefusal, SaysWhatIsWrong) {
    CWavFormat format;
    EXPECT_EQ(ParseWavFmt(GetParam().fmt.data(), GetParam().fmt.size(), format), GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(Chunks, WavFmtRefusal, testing::ValuesIn(kRefusals), CaseName());

TEST(WavStore, ClipsToFullScaleAndTruncatesTowardsZero) {
    // x, 8-bit byte, 16-bit value: -1.0 gives 1 and -32767, 8-bit is 128 + trunc(127 x).
    const struct {
        double x;
        int u8;
        int s16;
    } cases[] = {{-1.0, 1, -32767}, {1.0, 255, 32767},  {-1.5, 0, -32767}, {1.5, 255, 32767},
                 {0.5, 191, 16383}, {-0.5, 64, -16383}, {0.0, 128, 0},     {NAN, 128, 0}};
    for (const auto& c : cases) {
        uint8_t b[2] = {};
        EXPECT_EQ(StoreWavSample(c.x, 8, b), 1u);
        EXPECT_EQ(b[0], c.u8) << c.x;
        EXPECT_EQ(StoreWavSample(c.x, 16, b), 2u);
        EXPECT_EQ(int16_t(b[0] | b[1] << 8), c.s16) << c.x;
    }
    uint8_t b[3] = {7, 7, 7};
    EXPECT_EQ(StoreWavSample(0.5, 24, b), 0u);
    EXPECT_EQ(b[0], 7);
}

} // namespace
