// The rainbow colour wheel against known colours and against the textbook conversion in
// floating point.
#include "plot/HLS.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

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

// Integer steps on a 240 scale lose at most about two 255ths; the primaries are exact and the
// hue wraps at 240.
TEST(HLS, AgreesWithTheFloatingPointFormulaWithinTwoLevels) {
    EXPECT_EQ(HLStoRGB(0, 120, 240), (CColour{255, 0, 0}));
    EXPECT_EQ(HLStoRGB(80, 120, 240), (CColour{0, 255, 0}));
    EXPECT_EQ(HLStoRGB(240, 120, 240), (CColour{255, 0, 0}));
    EXPECT_EQ(HLStoRGB(0, 124, 240), (CColour{255, 9, 9}));
    for (int hue = 0; hue < 240; hue += 7)
        for (int lightness = 0; lightness <= 240; lightness += 12)
            for (int saturation = 0; saturation <= 240; saturation += 24) {
                const CColour got = HLStoRGB(hue, lightness, saturation);
                const CColour want = Reference(hue, lightness, saturation);
                const auto near = [](int a, int b) { return std::abs(a - b) <= 2; };
                ASSERT_TRUE(near(got.r, want.r) && near(got.g, want.g) && near(got.b, want.b))
                    << hue << "," << lightness << "," << saturation;
            }
}

} // namespace
