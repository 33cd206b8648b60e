#pragma once
// The noise an analyser reads beside a tone, from a windowed single-sided spectrum: the residual
// (everything but the fundamental and DC, what THD+N sums), its rms level, the signal-to-noise
// ratio against the noise alone (the residual less the harmonics THD counts) and SINAD (signal
// plus noise and distortion against noise and distortion). A weighting, when asked, weights the
// residual and the noise but not the tone, as weighted noise figures are quoted.

#include "dsp/DSPData.h"

struct CToneNoise {
    double residualRms = 0.0; // the spectrum's unit (volts), rms
    double noiseRms = 0.0;    // the residual less the counted harmonics, rms
    double snrDb = 0.0;       // fundamental over noise; +inf when there is no noise
    double sinadDb = 0.0;     // (fundamental + residual) over residual; +inf likewise
    /** What a harmonic made of the (unweighted) noise alone reads, in percent of the tone: a
     *  harmonic reading about as little is the noise under its lobe, not a measurement. */
    double floorPercent = 0.0;
};

struct CToneNoiseOptions {
    int window = 0;            // the window the spectrum was taken with
    double fundamental = 0.0;  // Hz; 0: the strongest bin
    int lastHarmonic = 0;      // harmonics 2 .. this count as distortion (0: all)
    bool aWeighted = false;    // A-weight the residual and the noise
    double noiseBandwidth = 1; // the window's equivalent noise bandwidth, in bins
    double toneGain = 1.0;     // what a tone of amplitude 1 reads at its peak bin
};

CToneNoise ReadToneNoise(const CDSPData& magnitude, const CToneNoiseOptions& options);
