#pragma once
// One channel of a sound level meter: frequency weighting, exponential time weighting (Fast
// 125 ms, Slow 1 s), the equivalent continuous level over the run and the time-weighted
// level's maximum and minimum, all in dB re 20 uPa.

#include "dsp/FrequencyWeighting.h"

#include <cstddef>

enum class ETimeWeighting { Fast, Slow };

/** Levels in dB SPL; NaN where there is nothing to show yet (no signal, or the minimum and
 *  maximum before the time weighting has settled for seven time constants). */
struct CSplLevels {
    double level = 0; // time-weighted, at the last sample
    double leq = 0;
    double max = 0;
    double min = 0;
};

class CSplChannelMeter {
public:
    static constexpr double kReferencePressure = 20e-6; // Pa

    /** Starts a run: `pascalsPerVolt` turns the channel's volts into sound pressure. */
    void Start(EFrequencyWeighting frequency, ETimeWeighting time, double sampleRate,
               double pascalsPerVolt);
    void Process(const double* volts, size_t count);
    CSplLevels Levels() const;

private:
    CSplWeighting m_weighting;
    double m_pascalsPerVolt = 1.0;
    double m_decay = 0.0;      // the time weighting's factor per sample
    double m_meanSquare = 0.0; // time-weighted, Pa^2
    double m_sum = 0.0;        // of squared weighted pressure, for Leq
    size_t m_samples = 0;
    size_t m_settle = 0;       // samples before the maximum and minimum are taken
    double m_maxSquare = -1.0; // -1: none yet
    double m_minSquare = -1.0;
};
