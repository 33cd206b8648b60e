#pragma once
// The dual-channel transfer function of averaged cross spectra: the H1 estimate, its
// magnitude-squared coherence, the impulse response and the delay between the channels.

#include "dsp/CrossSpectrum.h"

#include <cstddef>
#include <cstdint>
#include <vector>

/** H per bin (0..N/2) and the coherence of each bin. */
struct CTransferEstimate {
    std::vector<double> re, im;
    /** |Gxy|^2 / (Gxx Gyy), 0..1: the share of the measured power that the reference explains
     *  linearly. */
    std::vector<double> coherence;
    /** Magnitude in dB and phase in degrees (-180..180) of bin k; -inf dB for H = 0. */
    double MagnitudeDb(size_t k) const;
    double PhaseDegrees(size_t k) const;
};

/** H1 = Gxy / Gxx and the coherence of every bin; a bin with no reference or no measured power
 *  gets H = 0 and coherence 0 (nothing there to measure). */
CTransferEstimate EstimateTransfer(const CCrossSpectrum::CSpectra& spectra);

/** The impulse response: the inverse transform of H over 2 (bins - 1) samples. Sample t at or
 *  beyond half the length stands for the lag t - length (a response that leads). */
std::vector<double> ImpulseResponse(const CTransferEstimate& h);

/** Where a response peaks: whole samples (negative when y leads x) and a sub-sample refinement
 *  from a parabola through the peak's magnitude and its neighbours (-0.5..0.5). */
struct CDelayEstimate {
    int32_t samples = 0;
    double fraction = 0.0;
    /** The peak's magnitude over the response's RMS: small when nothing stands out. */
    double prominence = 0.0;
    /** The peak's magnitude over the largest more than kGuard samples from it: near 1 when
     *  the excitation is too narrow to tell one delay from another (a tone repeats every
     *  period). */
    double distinct = 0.0;
    static constexpr int32_t kGuard = 8;
    double Total() const { return samples + fraction; }
};

/** The peak of an impulse response as ImpulseResponse lays it out. */
CDelayEstimate FindImpulseDelay(const std::vector<double>& response);

/** How far y lags x over whole blocks of `count` samples (up to half CFFTPlan::kMaxSize), from
 *  the impulse response of one transform of both blocks zero-padded so that no lag wraps:
 *  finds delays as long as the blocks themselves, which the segments' responses cannot show.
 *  Bins far below the reference's mean power are left out, so band-limited excitation (music)
 *  does not drown the peak in the noise of empty bins. */
CDelayEstimate FindBlockDelay(const double* x, const double* y, int32_t count);

/** Multiplies H by exp(+2 pi i k delay / N): the phase of a response `delay` samples late
 *  becomes that of the same response without the delay. */
void RemoveDelay(CTransferEstimate& h, double delay);
