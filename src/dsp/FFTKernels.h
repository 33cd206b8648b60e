#pragma once
// The loops of the real-input FFT on split (real, imaginary) arrays. They are compiled with
// the vectoriser's full cost model and, where the processor has it, in an AVX2 variant.

#include <cstdint>

namespace fftkernels {

/** One Stockham radix-16 decimation-in-frequency pass: sub-transforms of length n (at least
 *  32) at stride s, from x to y (n * s complex values), s = 1 or a multiple of 4. w holds w^(p r),
 * r = 1..15, w = e^(-2 pi i/n), for p in blocks of four: 30 * 4 doubles per block, the four p's
 * real parts of w^(p r) at 8 (r - 1) + j and their imaginary parts at 8 (r - 1) + 4 + j. */
void Radix16Pass(int32_t n, int32_t s, const double* w, const double* xr, const double* xi,
                 double* yr, double* yi);
/** The last pass: one untwiddled DFT of `radix` points (2, 4, 8 or 16) at stride s, s = 1 or
 *  a multiple of 4. */
void ClosingPass(int radix, int32_t s, const double* xr, const double* xi, double* yr, double* yi);

/** Even samples (times their weights) into zr, odd ones into zi, m pairs; x holds count
 *  samples (at most 2m), the rest are zeros; weight may be null. */
void PackReal(int32_t m, const double* x, int32_t count, const double* weight, double* zr,
              double* zi);
/** Even values from zr and odd ones from zi back into count samples. */
void UnpackReal(const double* zr, const double* zi, double* x, int32_t count);

/** Spectrum bins 0..m of 2m real samples from the m-point transform z of their packed pairs;
 *  wr + i wi = e^(-2 pi i k / 2m). */
void SplitSpectrum(int32_t m, const double* zr, const double* zi, const double* wr,
                   const double* wi, double* re, double* im);
/** The inverse of SplitSpectrum times `scale`: the packed m-point spectrum whose inverse
 *  transform gives the even and odd samples. Imaginary parts of bins 0 and m are ignored. */
void JoinSpectrum(int32_t m, const double* re, const double* im, const double* wr, const double* wi,
                  double scale, double* zr, double* zi);

/** Pointwise complex product a * b into a, count values. */
void MultiplySpectra(int32_t count, double* ar, double* ai, const double* br, const double* bi);

} // namespace fftkernels
