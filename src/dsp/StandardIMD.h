#pragma once
// Intermodulation by the two standard two-tone methods, read from a windowed spectrum.
//
// SMPTE/DIN: a low tone (60 Hz) and a high one (7 kHz) at 4:1. The nonlinearity modulates the
// high tone's amplitude by the low one, which puts sidebands at f2 +- n f1. The two sidebands of
// one order are the coherent halves of one component of the envelope, so they add in amplitude;
// the orders add in power: sqrt(sum over n = 1..3 of (A(f2 - n f1) + A(f2 + n f1))^2) / A(f2),
// the rms of the envelope's variation against the carrier that a demodulating meter reads.
//
// CCIF/IEC difference frequency: two tones of equal level close together high in the band
// (19 and 20 kHz). The second-order product is the difference tone f2 - f1, the third-order ones
// are 2 f1 - f2 and 2 f2 - f1; each order against the sum of the two tones' amplitudes.

#include "dsp/DSPData.h"

struct CDifferenceFrequencyIMD {
    double d2 = 0.0; // percent
    double d3 = 0.0; // percent
};

/** SMPTE/DIN IMD in percent of the tones near f1 and f2 (Hz; 0 for either: the strongest two);
 *  the lower of the two found is the modulating tone. */
double SmpteIMD(const CDSPData& magnitude, int window, double f1, double f2);

/** CCIF/IEC difference-frequency IMD of the tones near f1 and f2 (0: the strongest two). */
CDifferenceFrequencyIMD DifferenceFrequencyIMD(const CDSPData& magnitude, int window, double f1,
                                               double f2);
