// The `fmt ` chunk's kinds and the sample conversions both ways, against hand-worked values.
#include "formats/WavFormat.h"

#include "common/HexBytes.h"
#include "common/WavBytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <tuple>

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

// The format read and channel 1 of a frame scaled: unsigned 8 bits, signed 24, a float (an
// infinite one reads 0), the extensible float and 20 valid bits in a 24-bit container.
TEST(WavFormat, DecodesTheFormatAndScalesTheSample) {
    const std::tuple<std::vector<uint8_t>, std::vector<uint8_t>, double> cases[] = {
        {FmtBytes(1, 1, 8000, 8), {0x00}, -128.0 / 127},
        {FmtBytes(1, 2, 8000, 24), {0x00, 0x00, 0xC0}, -0.5},
        {FmtBytes(3, 1, 8000, 32), {0x00, 0x00, 0x80, 0x7F}, 0.0},
        {Extensible(3, 1, 32), {0x00, 0x00, 0x00, 0x3F}, 0.5},
        {FmtBytes(1, 1, 8000, 20, 3), {0x00, 0x00, 0x80}, -1.0}};
    for (const auto& [fmt, sample, value] : cases) {
        CWavFormat format;
        ASSERT_EQ(ParseWavFmt(fmt.data(), fmt.size(), format), EWavFmtStatus::Ok) << value;
        EXPECT_EQ(format.BytesPerSample(), int(sample.size()));
        EXPECT_DOUBLE_EQ(WavSampleValue(sample.data(), format), value);
    }
}

// What no reader can play says what is wrong with it.
TEST(WavFormat, RefusesSayingWhatIsWrong) {
    const std::pair<std::vector<uint8_t>, EWavFmtStatus> cases[] = {
        {FmtBytes(0xFFFE, 2, 8000, 16), EWavFmtStatus::Short}, // extensible cut short
        {FmtBytes(1, 2, 0, 16), EWavFmtStatus::Short},
        {Extensible(1, 2, 16, "0000 0000 1000 8000 00aa 0038 9b72"), EWavFmtStatus::NotPcm},
        {FmtBytes(1, 2, 8000, 16, 3), EWavFmtStatus::Unsupported},
        {FmtBytes(3, 1, 8000, 16), EWavFmtStatus::Unsupported},
        {FmtBytes(1, 1, 8000, 24, 2), EWavFmtStatus::Unsupported}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        CWavFormat format;
        EXPECT_EQ(ParseWavFmt(cases[i].first.data(), cases[i].first.size(), format),
                  cases[i].second)
            << i;
    }
}

// 8 and 16 bits truncate towards zero, 24 bits round; all three clip at full scale, floats keep
// what is beyond it. -1.0 gives 1 and -32767 but the most negative 24-bit code.
TEST(WavStore, ClipsIntegersToFullScaleAndKeepsFloats) {
    const struct {
        double x;
        int u8, s16, s24;
        float f;
    } cases[] = {{-1.0, 1, -32767, -8388608, -1.0f},
                 {1.0, 255, 32767, 8388607, 1.0f},
                 {-1.5, 0, -32767, -8388608, -1.5f},
                 {1.5, 255, 32767, 8388607, 1.5f},
                 {0.5, 191, 16383, 4194304, 0.5f},
                 {-0.5, 64, -16383, -4194304, -0.5f},
                 {0.0, 128, 0, 0, 0.0f},
                 {NAN, 128, 0, 0, 0.0f},
                 {1e-7, 128, 0, 1, 1e-7f},
                 {-0.7e-7, 127, 0, -1, -0.7e-7f}};
    const auto pcm = [](int bits) { return CWavFormat{kWavFormatPcm, 1, 8000, bits}; };
    for (const auto& c : cases) {
        uint8_t b[4] = {};
        EXPECT_EQ(StoreWavSample(c.x, pcm(8), b), 1u);
        EXPECT_EQ(b[0], c.u8) << c.x;
        EXPECT_EQ(StoreWavSample(c.x, pcm(16), b), 2u);
        EXPECT_EQ(int16_t(b[0] | b[1] << 8), c.s16) << c.x;
        EXPECT_EQ(StoreWavSample(c.x, pcm(24), b), 3u);
        EXPECT_EQ(int32_t(uint32_t(b[0]) << 8 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 24) / 256,
                  c.s24)
            << c.x;
        EXPECT_EQ(StoreWavSample(c.x, {kWavFormatFloat, 1, 8000, 32, true}, b), 4u);
        float f = 0;
        std::memcpy(&f, b, 4);
        EXPECT_EQ(f, c.f) << c.x;
    }
    uint8_t b[4] = {7, 7, 7, 7};
    EXPECT_EQ(StoreWavSample(0.5, pcm(32), b), 0u);
    EXPECT_EQ(StoreWavSample(0.5, {kWavFormatFloat, 1, 8000, 64, true}, b), 0u);
    EXPECT_EQ(b[0], 7);
}

} // namespace
