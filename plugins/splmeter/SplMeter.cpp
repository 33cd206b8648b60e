#include "SplMeter.h"

#include <cmath>
#include <limits>

namespace {
double Decibels(double meanSquare) {
    if (meanSquare < 0) return std::numeric_limits<double>::quiet_NaN();
    const double p0 = CSplChannelMeter::kReferencePressure;
    return 10.0 * std::log10(meanSquare / (p0 * p0));
}
} // namespace

void CSplChannelMeter::Start(EFrequencyWeighting frequency, ETimeWeighting time, double sampleRate,
                             double pascalsPerVolt) {
    m_weighting.Design(frequency, sampleRate);
    m_pascalsPerVolt = pascalsPerVolt;
    const double tau = time == ETimeWeighting::Fast ? 0.125 : 1.0;
    m_decay = std::exp(-1.0 / (tau * sampleRate));
    // Seven time constants bring a level that starts from silence within 0.004 dB of a steady
    // one: the rise at the start is no minimum of the sound.
    m_settle = size_t(std::ceil(7.0 * tau * sampleRate));
    m_meanSquare = 0.0;
    m_sum = 0.0;
    m_samples = 0;
    m_maxSquare = -1.0;
    m_minSquare = -1.0;
}

void CSplChannelMeter::Process(const double* volts, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const double p = m_weighting.Process(volts[i] * m_pascalsPerVolt);
        const double square = p * p;
        m_meanSquare = square + m_decay * (m_meanSquare - square);
        m_sum += square;
        if (++m_samples < m_settle) continue;
        if (m_maxSquare < 0 || m_meanSquare > m_maxSquare) m_maxSquare = m_meanSquare;
        if (m_minSquare < 0 || m_meanSquare < m_minSquare) m_minSquare = m_meanSquare;
    }
}

CSplLevels CSplChannelMeter::Levels() const {
    if (m_samples == 0) {
        const double none = std::numeric_limits<double>::quiet_NaN();
        return {none, none, none, none};
    }
    return {Decibels(m_meanSquare), Decibels(m_sum / double(m_samples)), Decibels(m_maxSquare),
            Decibels(m_minSquare)};
}
