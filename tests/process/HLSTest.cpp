// The rainbow colour wheel against known colours and against the textbook conversion in
// floating point.
#include "process/HLS.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

struct CColourCase {
    int hue, lightness, saturation;
    CColour expected;
};

class HLSKnownColours : public testing::TestWithParam<CColourCase> {};

TEST_P(HLSKnownColours, Convert) {
    const auto& c = GetParam();
    EXPECT_EQ(HLStoRGB(c.hue, c.lightness, c.saturation), c.expected)
        << c.hue << "," << c.lightness << "," << c.saturation;
}

INSTANTIATE_TEST_SUITE_P(Wheel, HLSKnownColours,
                         testing::Values(CColourCase{0, 120, 240, {255, 0, 0}},
                                         CColourCase{80, 120, 240, {0, 255, 0}},
                                         CColourCase{160, 120, 240, {0, 0, 255}},
                                         CColourCase{40, 120, 240, {255, 255, 0}},
                                         CColourCase{120, 120, 240, {0, 255, 255}},
                                         CColourCase{200, 120, 240, {255, 0, 255}},
                                         CColourCase{240, 120, 240, {255, 0, 0}}, // the hue wraps
                                         CColourCase{77, 120, 0, {127, 127, 127}},
                                         CColourCase{0, 240, 0, {255, 255, 255}},
                                         CColourCase{0, 0, 240, {0, 0, 0}},
                                         CColourCase{0, 124, 240, {255, 9, 9}}));

// The usual HSL formula on 0..1, scaled to 0..255.
CColour Reference(int hue, int lightness, int saturation) {
    const double h = hue / 240.0, l = lightness / 240.0, s = saturation / 240.0;
    const auto channel = [&](double t) {
        const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
        const double p = 2 * l - q;
        t -= std::floor(t);
        double v = p;
        if (t < 1.0 / 6)
            v = p + (q - p) * 6 * t;
        else if (t < 0.5)
            v = q;
        else if (t < 2.0 / 3)
            v = p + (q - p) * (2.0 / 3 - t) * 6;
        return static_cast<uint8_t>(std::lround(v * 255));
    };
    return {channel(h + 1.0 / 3), channel(h), channel(h - 1.0 / 3)};
}

TEST(HLS, AgreesWithTheFloatingPointFormulaWithinTwoLevels) {
    // Integer steps on a 240 scale lose at most about two 255ths.
    for (int hue = 0; hue < 240; hue += 7)
        for (int lightness = 0; lightness <= 240; lightness += 12)
            for (int saturation = 0; saturation <= 240; saturation += 24) {
                const CColour got = HLStoRGB(hue, lightness, saturation);
                const CColour want = Reference(hue, lightness, saturation);
                ASSERT_LE(std::abs(got.r - want.r), 2)
                    << hue << "," << lightness << "," << saturation;
                ASSERT_LE(std::abs(got.g - want.g), 2)
                    << hue << "," << lightness << "," << saturation;
                ASSERT_LE(std::abs(got.b - want.b), 2)
                    << hue << "," << lightness << "," << saturation;
            }
}

TEST(HLS, HueToRGBWrapsAndRoundsInItsFourSegments) {
    EXPECT_EQ(HueToRGB(0, 240, 20), 120);   // rising: (240 × 20 + 20) ÷ 40
    EXPECT_EQ(HueToRGB(0, 240, 100), 240);  // plateau
    EXPECT_EQ(HueToRGB(0, 240, 140), 120);  // falling: (240 × 20 + 20) ÷ 40
    EXPECT_EQ(HueToRGB(0, 240, 200), 0);    // floor
    EXPECT_EQ(HueToRGB(0, 240, -220), 120); // -220 wraps to 20
    EXPECT_EQ(HueToRGB(0, 240, 260), 120);  // 260 wraps to 20
}

} // namespace
