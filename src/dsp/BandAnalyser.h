#pragma once
// Fractional-octave band levels of a block, from the power of its FFT bins. Each band sums the
// bins weighted by its filter's power response (OctaveBands.h) and by a per-bin gain (frequency
// weighting, microphone correction), so a band's shape through the window is the filter's,
// slightly widened by the window's main lobe. One transform serves every band of the block,
// which keeps a 1/48-octave analysis of a long block far cheaper than a bank of filters; in
// return a band needs enough bins: narrower bands are marked unresolved instead of read.

#include "dsp/OctaveBands.h"

#include <cstdint>
#include <functional>
#include <vector>

class CBandAnalyser {
public:
    /** The narrowest band, in bins, whose shape through the window keeps inside the class 1
     *  limits (the window's main lobe is 8 bins wide; a band of 8 bins holds it). */
    static constexpr double kMinBinsPerBand = 8.0;
    /** The lowest band analysed holds this frequency, in Hz. */
    static constexpr double kLowestFrequency = 10.0;

    /** Power gain at a frequency in Hz. */
    using GainOf = std::function<double(double)>;

    /** Prepares the bands of 1/`fraction` octave from 10 Hz to half the rate for blocks of `n`
     *  samples (a power of two) at `rate` per second, with the per-bin power gain `gain` (null:
     *  1). False, and nothing prepared, for another fraction or size. */
    bool Design(int fraction, int32_t n, double rate, const GainOf& gain = {});

    const std::vector<COctaveBand>& Bands() const { return m_bands; }
    /** True when the band holds enough bins to be read. */
    bool IsResolved(size_t band) const { return m_resolved[band]; }
    int32_t Size() const { return m_n; }

    /** Mean square of each band (NaN for an unresolved band) and of the whole weighted
     *  spectrum above 0 Hz, in the samples' unit squared, from the block's n samples. */
    void Analyse(const double* samples, std::vector<double>& bands, double& overall);

private:
    /** The band sums of a power spectrum (bins 0..n/2, each bin's share of the mean square),
     *  which it weights by the per-bin gain. */
    void Sum(std::vector<double>& power, std::vector<double>& bands, double& overall) const;

    int32_t m_n = 0;
    double m_binWidth = 0.0;
    std::vector<COctaveBand> m_bands;
    std::vector<bool> m_resolved;
    std::vector<double> m_window;
    double m_windowPower = 0.0; // sum of the squared weights
    std::vector<double> m_gain; // per bin
    // Each band's filter weights from its first bin on; a band's weights start at its offset
    // and end at the next band's.
    std::vector<int32_t> m_firstBin;
    std::vector<size_t> m_offset;
    std::vector<float> m_weights;
    std::vector<double> m_re, m_im, m_power;
};
