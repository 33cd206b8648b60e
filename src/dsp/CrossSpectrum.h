#pragma once
// The auto and cross spectra of a reference signal x (what was sent) and a measured signal y
// (what came back), Welch-averaged over overlapping windowed segments of each pass and averaged
// across passes: what a dual-channel transfer function (H1 = Gxy / Gxx) and its coherence are
// computed from. Averaging the spectra, not the transfer functions, is what lets uncorrelated
// noise and distortion average out of Gxy while they stay in Gyy, so coherence can show them.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

/** How passes combine into the averaged spectra. */
enum class ESpectrumAveraging {
    kPasses,      // the mean of the last N passes (a moving window; the first passes ramp up)
    kExponential, // a running average with a time constant of N passes
    kInfinite,    // every pass since the last reset
};

class CCrossSpectrum {
public:
    /** The four spectra of one bin range, in squared transform units (bins 0..N/2). */
    struct CSpectra {
        std::vector<double> xx, yy, xyRe, xyIm; // Gxx, Gyy and Gxy = conj(X) Y
        void Assign(size_t bins, double value);
    };

    /** Segment length (a power of two from 16 to CFFTPlan::kMaxSize), window choice (one of
     *  CDSPFFTData's window ids) and overlap (fraction of a segment, 0 to 0.95). Clears the
     *  averages; false, leaving the spectrum as it was, for a length or overlap out of range. */
    bool Configure(int32_t segment, int window, double overlap);
    /** Sets the averaging; `count` (N) is at least 1. Keeps what is averaged so far (a window
     *  of N passes narrowed keeps its last N). */
    void SetAveraging(ESpectrumAveraging mode, int count);
    /** Forgets every pass. */
    void Reset();

    /** Adds one pass whose x and y hold `count` samples each, aligned (the caller has removed
     *  the delay it wants removed). Returns the number of segments the pass held; 0, adding
     *  nothing, when count is shorter than one segment. */
    int AddPass(const double* x, const double* y, int32_t count);

    int32_t SegmentSize() const { return m_segment; }
    int32_t Bins() const { return m_segment / 2 + 1; }
    /** Passes in the average (at most N for kPasses). */
    int Passes() const { return m_passes; }
    /** Segments in the average: with one, coherence is 1 whatever the signals. */
    int64_t Segments() const { return m_segments; }
    const CSpectra& Averaged() const { return m_average; }

private:
    /** One pass's Welch mean over its segments into `pass`; the number of segments. */
    int WelchPass(const double* x, const double* y, int32_t count, CSpectra& pass) const;
    void Combine(CSpectra pass, int segments);
    /** The window's sums afresh from the passes it holds. */
    void SumWindow();
    /** The average and pass count of the window from its sums. */
    void AverageWindow();

    int32_t m_segment = 4096;
    int m_window = 3; // Hanning
    double m_overlap = 0.5;
    ESpectrumAveraging m_mode = ESpectrumAveraging::kInfinite;
    int m_count = 16;
    CSpectra m_average;
    int m_passes = 0;
    int64_t m_segments = 0;
    /** For kPasses: the last N passes and their segment counts, oldest first; the sum of
     *  each weighed by its segments; passes that left the window since it was summed afresh. */
    std::deque<std::pair<CSpectra, int>> m_recent;
    CSpectra m_sum;
    int m_turnover = 0;
};
