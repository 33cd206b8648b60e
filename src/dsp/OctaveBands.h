#pragma once
// Fractional-octave bands in the base-10 system of IEC 61260-1: the octave ratio is
// G = 10^(3/10), midband frequencies are 1 kHz times powers of G^(1/b) (shifted by half a band
// for even b, so that no band straddles 1 kHz), and a band's edges lie half a band either side
// of its midband frequency on a log axis. Frequencies in Hz.

#include <string>
#include <vector>

/** The octave ratio of the base-10 system. */
double OctaveRatio();

struct COctaveBand {
    double centre = 0.0;  // exact midband frequency
    double lower = 0.0;   // lower edge
    double upper = 0.0;   // upper edge
    double nominal = 0.0; // the rounded frequency the band is named by
};

/** Bands of 1/`fraction` octave (1, 3, 6, 12, 24 or 48) from the band that holds `lowest` up to
 *  the last whose upper edge is not above `highest`; empty for another fraction. */
std::vector<COctaveBand> MakeOctaveBands(int fraction, double lowest, double highest);

/** The nominal frequency as a label: "31.5", "1k", "12.5k". */
std::string BandLabel(double nominal);

/** Power response of the band's filter at `f`: a sixth-order Butterworth band-pass (third order
 *  low-pass prototype), 1 at the midband frequency, one half at the edges, geometrically
 *  symmetric. Its shape relative to the band is the same for every fraction, and it lies inside
 *  the class 1 attenuation limits of IEC 61260-1. */
double BandFilterPower(const COctaveBand& band, double f);
