#include "dsp/FrequencyWeighting.h"

#include <cmath>
#include <numbers>

namespace {
// The standard's pole frequencies in Hz.
constexpr double kF1 = 20.598997;
constexpr double kF2 = 107.65265;
constexpr double kF3 = 737.86223;
constexpr double kF4 = 12194.217;
// Taps of the FIR on each side of its centre: the correction it makes is smooth, so its
// impulse response has died away long before this.
constexpr int kFirHalfLength = 48;
// Points on the frequency grid the FIR is sampled from.
constexpr int kGridPoints = 4096;

constexpr double kPi = std::numbers::pi;

double RawGain(EFrequencyWeighting weighting, double f) {
    const double f2 = f * f;
    const double high = kF4 * kF4 / (f2 + kF4 * kF4);
    const double low = f2 / (f2 + kF1 * kF1);
    switch (weighting) {
    case EFrequencyWeighting::A:
        return high * low * f2 / std::sqrt((f2 + kF2 * kF2) * (f2 + kF3 * kF3));
    case EFrequencyWeighting::C:
        return high * low;
    case EFrequencyWeighting::Z:
        break;
    }
    return 1.0;
}
} // namespace

double WeightingGain(EFrequencyWeighting weighting, double f) {
    return RawGain(weighting, f) / RawGain(weighting, 1000.0);
}

double CSplWeighting::CBiquad::Process(double x) {
    const double y = b0 * x + z1;
    z1 = b1 * x - a1 * y + z2;
    z2 = b2 * x - a2 * y;
    return y;
}

std::complex<double> CSplWeighting::CBiquad::Response(double omega) const {
    const std::complex<double> z1inv = std::polar(1.0, -omega), z2inv = z1inv * z1inv;
    return (b0 + b1 * z1inv + b2 * z2inv) / (1.0 + a1 * z1inv + a2 * z2inv);
}

double CSplWeighting::SectionsGain(double f) const {
    double gain = 1.0;
    for (const CBiquad& s : m_sections)
        gain *= std::abs(s.Response(2.0 * kPi * f / m_sampleRate));
    return gain;
}

void CSplWeighting::Design(EFrequencyWeighting weighting, double sampleRate) {
    m_sampleRate = sampleRate;
    m_sections.clear();
    m_fir.clear();
    m_history.clear();
    m_next = 0;
    m_scale = 1.0;
    if (weighting == EFrequencyWeighting::Z) return;

    // s^2 / (s^2 + a s + b) through the bilinear transform s = k (1 - z^-1) / (1 + z^-1).
    const double k = 2.0 * sampleRate;
    const auto highPass = [k](double a, double b) {
        const double a0 = k * k + a * k + b;
        CBiquad s;
        s.b0 = k * k / a0;
        s.b1 = -2.0 * k * k / a0;
        s.b2 = k * k / a0;
        s.a1 = (2.0 * b - 2.0 * k * k) / a0;
        s.a2 = (k * k - a * k + b) / a0;
        return s;
    };
    const double w1 = 2.0 * kPi * kF1, w2 = 2.0 * kPi * kF2, w3 = 2.0 * kPi * kF3;
    m_sections.push_back(highPass(2.0 * w1, w1 * w1));
    if (weighting == EFrequencyWeighting::A) m_sections.push_back(highPass(w2 + w3, w2 * w3));

    // The FIR's target: what the biquads leave to be done, sampled from 0 to Nyquist.
    const double nyquist = sampleRate / 2.0;
    std::vector<double> target(kGridPoints + 1);
    for (int i = 0; i <= kGridPoints; ++i) {
        // The biquads' gain at 0 Hz is 0; the correction there is taken from just above.
        const double f = std::max(i, 1) * nyquist / kGridPoints;
        target[size_t(i)] = RawGain(weighting, f) / SectionsGain(f);
    }
    // Zero-phase taps by the inverse cosine transform, Hann-windowed, delayed to be causal.
    m_fir.assign(2 * kFirHalfLength + 1, 0.0);
    for (int n = 0; n <= kFirHalfLength; ++n) {
        double sum = target[0] + target[kGridPoints] * std::cos(kPi * n);
        for (int i = 1; i < kGridPoints; ++i)
            sum += 2.0 * target[size_t(i)] * std::cos(kPi * i * n / kGridPoints);
        const double window = 0.5 + 0.5 * std::cos(kPi * n / (kFirHalfLength + 1));
        const double tap = window * sum / (2.0 * kGridPoints);
        m_fir[size_t(kFirHalfLength + n)] = tap;
        m_fir[size_t(kFirHalfLength - n)] = tap;
    }
    m_history.assign(m_fir.size(), 0.0);
    m_scale = 1.0 / Gain(1000.0);
}

double CSplWeighting::Process(double x) {
    if (m_fir.empty()) return x;
    for (CBiquad& s : m_sections)
        x = s.Process(x);
    m_history[m_next] = x;
    double y = 0.0;
    size_t j = m_next;
    for (double tap : m_fir) {
        y += tap * m_history[j];
        j = j == 0 ? m_history.size() - 1 : j - 1;
    }
    m_next = (m_next + 1) % m_history.size();
    return m_scale * y;
}

double CSplWeighting::Gain(double f) const {
    if (m_fir.empty()) return 1.0;
    std::complex<double> fir = 0.0;
    const double omega = 2.0 * kPi * f / m_sampleRate;
    for (size_t n = 0; n < m_fir.size(); ++n)
        fir += m_fir[n] * std::polar(1.0, -omega * double(n));
    return m_scale * SectionsGain(f) * std::abs(fir);
}
