#pragma once
// The frequency weightings of a sound level meter (IEC 61672-1: A, C and Z) as a digital filter
// at any sample rate. The standard defines A and C by analog poles; the low poles become
// bilinear biquads (accurate where those poles act) and a short linear-phase FIR supplies the
// high pole pair and undoes the biquads' frequency warping, so the response follows the
// standard's curve up to the Nyquist frequency. The sound level meter filters with it; the
// analysers that weight spectra take WeightingGain at each bin.

#include <complex>
#include <vector>

enum class EFrequencyWeighting { A, C, Z };

/** The standard's weighting at frequency `f` in Hz as a gain, 1 at 1 kHz. */
double WeightingGain(EFrequencyWeighting weighting, double f);

class CSplWeighting {
public:
    /** Designs the filter for the rate and clears its history. */
    void Design(EFrequencyWeighting weighting, double sampleRate);
    /** Filters one sample. */
    double Process(double x);
    /** Gain of the designed filter at `f` in Hz (magnitude of its frequency response). */
    double Gain(double f) const;

private:
    struct CBiquad {
        double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
        double z1 = 0, z2 = 0;
        double Process(double x);
        std::complex<double> Response(double omega) const;
    };
    /** Gain of the biquads alone at `f`. */
    double SectionsGain(double f) const;

    double m_sampleRate = 48000.0;
    double m_scale = 1.0;
    std::vector<CBiquad> m_sections;
    std::vector<double> m_fir;     // symmetric taps; empty for Z
    std::vector<double> m_history; // the FIR's last inputs, circular
    size_t m_next = 0;
};
