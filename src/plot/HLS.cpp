#include "plot/HLS.h"

#include <algorithm>

namespace {
constexpr int kScale = 240;

uint8_t Channel(int value) {
    return static_cast<uint8_t>(std::clamp((value * 255 + kScale / 2) / kScale, 0, 255));
}

// One colour channel (0..240 scale) of a hue between the two magnitudes m1 and m2; the hue is
// wrapped into 0..240 first.
int HueToRGB(int m1, int m2, int hue) {
    hue %= kScale;
    if (hue < 0) hue += kScale;
    if (hue < kScale / 6) return m1 + ((m2 - m1) * hue + kScale / 12) / (kScale / 6);
    if (hue < kScale / 2) return m2;
    if (hue < kScale * 2 / 3)
        return m1 + ((m2 - m1) * (kScale * 2 / 3 - hue) + kScale / 12) / (kScale / 6);
    return m1;
}
} // namespace

CColour HLStoRGB(int hue, int lightness, int saturation) {
    if (saturation == 0) {
        const auto grey = static_cast<uint8_t>(std::clamp(lightness * 255 / kScale, 0, 255));
        return {grey, grey, grey};
    }
    const int m2 = lightness <= kScale / 2
                       ? (lightness * (kScale + saturation) + kScale / 2) / kScale
                       : lightness + saturation - (lightness * saturation + kScale / 2) / kScale;
    const int m1 = 2 * lightness - m2;
    return {Channel(HueToRGB(m1, m2, hue + kScale / 3)), Channel(HueToRGB(m1, m2, hue)),
            Channel(HueToRGB(m1, m2, hue - kScale / 3))};
}
