#pragma once
// Distortion measured on a windowed spectrum. A window spreads every tone over a main lobe a
// few bins wide, wherever the tone falls between bins; a single bin then holds only part of
// the tone and its neighbours hold the rest. Each tone, harmonic or product is therefore read
// as the power summed over its lobe, centred on the strongest bin near its true position.
// Ratios of such sums do not depend on the window's gain.

#include "dsp/DSPData.h"

#include <utility>
#include <vector>

class CToneLobes {
public:
    /** A tone found in the spectrum: its strongest bin, its position in bins refined from the
     *  lobe, and the power summed over the lobe. */
    struct CTone {
        int bin = 0;
        double position = 0.0;
        double power = 0.0;
    };

    /** Main-lobe half-width of a window, in bins. */
    static int LobeHalfWidth(int window);
    /** Half-width around the fundamental left out of THD+N: the main lobe widened to where
     *  the window's side lobes have fallen below the noise a user measures. */
    static int GuardHalfWidth(int window);

    CToneLobes(const CDSPData& magnitude, int window);

    /** The tone near `frequency` (Hz; 0: the strongest bin). */
    CTone FindTone(double frequency) const;
    /** The two tones of an intermodulation pair: near f1 and f2, or, when either is 0, the
     *  strongest bin and the strongest away from its side lobes. */
    std::pair<CTone, CTone> FindPair(double f1, double f2) const;
    /** The tone at `position` bins: the strongest bin within one bin of it, its lobe summed. */
    CTone ToneAt(double position) const;
    /** Frequency of a position in bins. */
    double Frequency(double position) const;

    double HarmonicDistortion(const CTone& fundamental, int harmonic) const;
    /** THD over harmonics 2 to `lastHarmonic` (0: every harmonic below half the block). */
    double THD(const CTone& fundamental, int lastHarmonic = 0) const;
    double THDPlusN(const CTone& fundamental) const;

    /** The bins of harmonics 2 to `lastHarmonic` (0: all), less the fundamental's lobe. */
    std::vector<bool> HarmonicBins(const CTone& fundamental, int lastHarmonic) const;
    /** The bins of everything but the fundamental (its guard width) and DC: what THD+N sums. */
    std::vector<bool> ResidualBins(const CTone& fundamental) const;
    /** Power of the marked bins, each weighted by the square of `gain` at its frequency in Hz
     *  when one is given. */
    double SumMarked(const std::vector<bool>& marks, double (*gain)(double) = nullptr) const;
    /** Intermodulation of the given order (2, 3 or 4) of two tones. */
    double IMD(const CTone& tone1, const CTone& tone2, int order) const;

private:
    /** Bins below half the block that are summed (bins 0 .. N/2 - 1). */
    int Half() const { return static_cast<int>(m_power.size()); }
    /** Marks the bins within `width` of `bin` (clipped to the summed bins). */
    void Mark(std::vector<bool>& marks, int bin, int width, bool value) const;

    std::vector<double> m_power; // squared magnitudes of the summed bins
    double m_binWidth;           // Hz per bin
    int m_lobe;                  // main-lobe half-width in bins
    int m_guard;                 // THD+N half-width around the fundamental
};
