#pragma once
// From a recorded synchronized swept sine to its linear and harmonic impulse responses and the
// response and distortion curves they give. The block holding the recording is taken as one
// period of a periodic excitation (the sweep then its silent tail, repeated), so deconvolution
// is circular: the linear response lies at the delay, and harmonic k's response at the delay
// less the sweep's advance L ln k, wrapped to the block's end.

#include "dsp/OctaveSmoothing.h"
#include "dsp/SweptSine.h"

#include <array>
#include <complex>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

/** The gate on the linear impulse response, in seconds from its peak. */
struct CSweepGate {
    enum class EShape : int { Rect = 0, Tukey, Hann, Count };
    double start = -0.001; // before the peak: negative
    double end = 0.0;      // after the peak; 0 or less: up to where the harmonics begin
    EShape shape = EShape::Tukey;
};
/** The window shapes as users name them. */
const std::vector<std::string>& SweepGateShapeNames();

/** The circular deconvolution of a recording of n samples (n a power of two no shorter than the
 *  sweep) by the sweep's analytic inverse, between the start and stop frequencies, tapered
 *  inside each end: the impulse response, time 0 at the sweep's first sample. The inverse's
 *  n/2 + 1 bins are made once, so a block costs a forward and an inverse transform. */
class CSweepDeconvolver {
public:
    CSweepDeconvolver(const CSweptSine& sweep, int32_t n);
    /** Writes the impulse response of `recorded` into the n samples of `impulse`, which may be
     *  `recorded` itself. */
    void operator()(std::span<const double> recorded, std::span<double> impulse) const;

private:
    int32_t m_n;
    std::vector<double> m_re, m_im; // the tapered inverse
};

/** The same for a single recording. */
std::vector<double> DeconvolveSweep(std::span<const double> recorded, const CSweptSine& sweep);

/** The weight the deconvolution gives frequency `f`: 1 inside the band, a cosine taper over the
 *  third octave inside each end, 0 outside. */
double SweepBandWeight(const CSweptSine& sweep, double f);

/** Where the response is to be trusted: from the top of the low taper to the bottom of the
 *  high one. */
struct CSweepBand {
    double low;
    double high;
};
CSweepBand SweepFullBand(const CSweptSine& sweep);

/** Sample index of the largest magnitude of `h`. */
int32_t PeakIndex(std::span<const double> h);

/** The envelope of an impulse response: the magnitude of its analytic signal, h and its Hilbert
 *  transform in quadrature. Drawn in dB it shows how the response decays, where |h| itself
 *  falls to nothing at every zero crossing. */
std::vector<double> ImpulseEnvelope(std::span<const double> h);

/** The analysis of one recorded channel. */
struct CSweepResponse {
    static constexpr int kMaxOrder = 5;

    int32_t delay = 0;             // samples from the sweep's start to the linear peak
    std::vector<double> impulse;   // the linear response, gated, from the peak - pre samples
    int32_t impulsePre = 0;        // samples of `impulse` before the peak
    std::vector<double> frequency; // Hz, log spaced
    std::vector<std::complex<double>> response; // H1 with the delay removed
    std::array<std::vector<double>, kMaxOrder + 1>
        harmonic;            // [k]: |Hk(kf)| / |H1(f)|, NaN where k f lies outside the band
    std::vector<double> thd; // root sum of squares of the orders there are
    /** [k]: what noise alone reads as harmonic k, |N(kf)| / |H1(f)|, from a stretch of the
     *  deconvolved block between the linear response and the harmonics', which holds noise
     *  only when the linear response has decayed there. NaN where harmonic[k] is. */
    std::array<std::vector<double>, kMaxOrder + 1> harmonicNoise;
    std::vector<double> groupDelay; // seconds, delay removed
};

/** Points per octave of the result's frequency grid. */
constexpr int kSweepPointsPerOctave = 48;

/** What deconvolving the played sweep itself and gating it as the response is gated gives at
 *  bins 0 .. n/2 of an n-point block: the band weight with the ripple the fades and the gate
 *  leave. The linear response is divided by it, so none of them leaves a trace in it. */
std::vector<std::complex<double>> SweepCorrection(const CSweptSine& sweep, int32_t n,
                                                  const CSweepGate& gate);

/** Analyses one channel's deconvolved block `impulse` (from CSweepDeconvolver), gated as
 *  given, with the sweep's correction (SweepCorrection for the block's size), into `out`; the
 *  response's magnitude smoothed as chosen, its phase not. `out` keeps its arrays' memory, so
 *  a run that passes the same result each block allocates nothing after the first. */
void AnalyseSweep(std::span<const double> impulse, std::span<const std::complex<double>> correction,
                  const CSweptSine& sweep, const CSweepGate& gate, EOctaveSmoothing smoothing,
                  CSweepResponse& out);

/** Group delay in seconds from the slope of the phase of `response` at `frequency` (NaN at the
 *  ends and next to a point without a response), into `delay`. */
void SweepGroupDelay(std::span<const double> frequency,
                     std::span<const std::complex<double>> response, std::vector<double>& delay);

/** The complex DFT of `x` (n a power of two) at bins 0 .. n/2. */
std::vector<std::complex<double>> RealSpectrum(std::span<const double> x);
