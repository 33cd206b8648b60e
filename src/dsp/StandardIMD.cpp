#include "dsp/StandardIMD.h"

#include "dsp/ToneLobes.h"

#include <cmath>
#include <utility>

namespace {
// Amplitude (up to the window's gain, which every ratio cancels) of the lobe at a position in
// bins; 0 outside the summed half of the spectrum.
double Amplitude(const CToneLobes& lobes, double position, int half) {
    if (!(position > 0.0) || std::lround(position) >= half) return 0.0;
    return std::sqrt(lobes.ToneAt(position).power);
}
} // namespace

double SmpteIMD(const CDSPData& magnitude, int window, double f1, double f2) {
    const CToneLobes lobes(magnitude, window);
    auto [low, high] = lobes.FindPair(f1, f2);
    if (low.position > high.position) std::swap(low, high);
    const int half = magnitude.GetSize() / 2;
    double sum = 0.0;
    for (int n = 1; n <= 3; ++n) {
        const double pair = Amplitude(lobes, high.position - n * low.position, half) +
                            Amplitude(lobes, high.position + n * low.position, half);
        sum += pair * pair;
    }
    return high.power > 0.0 ? std::sqrt(sum / high.power) * 100.0 : 0.0;
}

CDifferenceFrequencyIMD DifferenceFrequencyIMD(const CDSPData& magnitude, int window, double f1,
                                               double f2) {
    const CToneLobes lobes(magnitude, window);
    auto [a, b] = lobes.FindPair(f1, f2);
    if (a.position > b.position) std::swap(a, b);
    const int half = magnitude.GetSize() / 2;
    const double tones = std::sqrt(a.power) + std::sqrt(b.power);
    if (!(tones > 0.0)) return {};
    CDifferenceFrequencyIMD result;
    result.d2 = Amplitude(lobes, b.position - a.position, half) / tones * 100.0;
    result.d3 = (Amplitude(lobes, 2 * a.position - b.position, half) +
                 Amplitude(lobes, 2 * b.position - a.position, half)) /
                tones * 100.0;
    return result;
}
