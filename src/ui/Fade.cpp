#include "ui/Fade.h"

namespace {

constexpr int kFullOpacity = 255;
constexpr int kOpacityStep = 5;

} // namespace

int FadeTimerPeriod(int fadeTimeMs) {
    return fadeTimeMs > 0 ? fadeTimeMs / (kFullOpacity / kOpacityStep) : 0;
}

int NextFadeOpacity(int opacity, long elapsedSeconds, int fadeTimeMs) {
    const long limitSeconds = 4L * fadeTimeMs / 1000;
    if (opacity >= kOpacityStep && elapsedSeconds < limitSeconds) return opacity - kOpacityStep;
    return -1;
}
