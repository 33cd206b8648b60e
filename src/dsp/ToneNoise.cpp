#include "dsp/ToneNoise.h"

#include "dsp/FrequencyWeighting.h"
#include "dsp/ToneLobes.h"

#include <cmath>
#include <limits>

namespace {
double AWeighting(double f) {
    return WeightingGain(EFrequencyWeighting::A, f);
}
double RatioDb(double numerator, double denominator) {
    return denominator > 0.0 ? 10.0 * std::log10(numerator / denominator)
                             : std::numeric_limits<double>::infinity();
}
} // namespace

CToneNoise ReadToneNoise(const CDSPData& magnitude, const CToneNoiseOptions& options) {
    const CToneLobes lobes(magnitude, options.window);
    const CToneLobes::CTone tone = lobes.FindTone(options.fundamental);
    double (*weight)(double) = options.aWeighted ? &AWeighting : nullptr;
    std::vector<bool> noise = lobes.ResidualBins(tone);
    const double residual = lobes.SumMarked(noise, weight);
    const std::vector<bool> harmonics = lobes.HarmonicBins(tone, options.lastHarmonic);
    for (size_t b = 0; b < noise.size(); ++b)
        noise[b] = noise[b] && !harmonics[b];
    const double noisePower = lobes.SumMarked(noise, weight);
    size_t noiseBins = 0;
    for (bool b : noise)
        noiseBins += b;
    // A harmonic is read as one bin without a window, else as its lobe.
    const int harmonicBins =
        options.window != 0 ? 2 * CToneLobes::LobeHalfWidth(options.window) + 1 : 1;
    const double perBin = noiseBins ? lobes.SumMarked(noise) / double(noiseBins) : 0.0;

    // A tone of amplitude A sums to A^2 times the noise bandwidth over its lobe, and has an rms
    // of A / sqrt(2); noise spread over bins sums the same way.
    const double toRms = 1.0 / (std::sqrt(2.0 * options.noiseBandwidth) * options.toneGain);
    CToneNoise result;
    result.residualRms = std::sqrt(residual) * toRms;
    result.noiseRms = std::sqrt(noisePower) * toRms;
    result.snrDb = RatioDb(tone.power, noisePower);
    result.sinadDb = RatioDb(tone.power + residual, residual);
    result.floorPercent =
        tone.power > 0.0 ? std::sqrt(harmonicBins * perBin / tone.power) * 100.0 : 0.0;
    return result;
}
