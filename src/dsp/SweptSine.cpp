#include "dsp/SweptSine.h"

#include "base/NumberText.h"

#include <cmath>
#include <numbers>

namespace {
constexpr double kPi = std::numbers::pi;
// The fade in covers the first half octave, the fade out the last twelfth of an octave: the
// lowest frequencies need a few cycles to start without a click, while near the stop frequency
// the sweep moves fast and a short fade suffices. Both stay outside the octave above the start
// and below the stop frequency, where the response is to be exact.
constexpr double kFadeInOctaves = 0.5;
constexpr double kFadeOutOctaves = 1.0 / 12.0;

// f1 L rounded to a whole number of cycles, at least one.
double RoundedRate(double start, double stop, double seconds) {
    const double cycles = std::round(start * seconds / std::log(stop / start));
    return std::max(cycles, 1.0) / start;
}
} // namespace

std::string CSweptSine::Refusal(double start, double stop, double seconds, double fs,
                                int32_t blockSize) {
    if (!(fs > 0.0)) return "Sweep: the sample rate is not set";
    if (!(start > 0.0)) return FormatText("Sweep: start frequency %.15g Hz must be above 0", start);
    if (!(start < stop))
        return FormatText("Sweep: start frequency %.15g Hz must lie below the stop frequency "
                          "%.15g Hz",
                          start, stop);
    if (stop > fs / 2)
        return FormatText("Sweep: stop frequency %.15g Hz lies above half the sample rate "
                          "(%.15g Hz)",
                          stop, fs / 2);
    if (!(seconds > 0.0) || !std::isfinite(seconds))
        return FormatText("Sweep: time %.15g s must be above 0", seconds);
    // A request too short for one cycle of the start frequency at the rate would round up.
    const bool wholeCycle = std::round(start * seconds / std::log(stop / start)) >= 1.0;
    const double samples =
        wholeCycle ? std::floor(RoundedRate(start, stop, seconds) * std::log(stop / start) * fs) + 1
                   : std::floor(seconds * fs);
    if (samples < kMinSamples)
        return FormatText("Sweep: %.0f samples are too short to separate the harmonics; use at "
                          "least %i (%.6g s)",
                          samples, kMinSamples, kMinSamples / fs);
    if (samples > blockSize)
        return FormatText("Sweep: %.0f samples do not fit the block of %i samples; shorten the "
                          "time or enlarge the block",
                          samples, blockSize);
    return {};
}

CSweptSine::CSweptSine(double start, double stop, double seconds, double fs)
    : m_start(start), m_stop(stop), m_fs(fs), m_rate(RoundedRate(start, stop, seconds)),
      m_duration(m_rate * std::log(stop / start)),
      m_fadeIn(m_rate * std::log(2.0) * kFadeInOctaves),
      m_fadeOut(m_rate * std::log(2.0) * kFadeOutOctaves),
      m_samples(static_cast<int32_t>(std::floor(m_duration * fs)) + 1) {}

double CSweptSine::HarmonicAdvance(int k) const {
    return m_rate * std::log(double(k));
}

double CSweptSine::Value(double t) const {
    if (t < 0.0 || t > m_duration) return 0.0;
    double fade = 1.0;
    if (t < m_fadeIn) fade = 0.5 * (1.0 - std::cos(kPi * t / m_fadeIn));
    const double left = m_duration - t;
    if (left < m_fadeOut) fade *= 0.5 * (1.0 - std::cos(kPi * left / m_fadeOut));
    // f1 L is whole, so the phase may lose its whole cycles before the sine: the argument
    // stays small and the sweep exact to the last sample of a long sweep.
    const double cycles = m_start * m_rate * std::expm1(t / m_rate);
    return fade * std::sin(2.0 * kPi * (cycles - std::floor(cycles)));
}

void CSweptSine::Fill(std::span<double> out, double level) const {
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = level * Value(double(i) / m_fs);
}

std::complex<double> CSweptSine::Inverse(double f) const {
    const double phase = 2.0 * kPi * f * m_rate * (1.0 - std::log(f / m_start)) - kPi / 4.0;
    return std::polar(2.0 * std::sqrt(f / m_rate) / m_fs, -phase);
}
