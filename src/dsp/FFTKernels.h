#pragma once
// The loops of the real-input FFT on split (real, imaginary) arrays, in a baseline x86-64 and
// an AVX2 variant chosen when the program loads.

#include <cstdint>

namespace fftkernels {

// A pass reads or writes sixteen streams a power of two apart; from 4 KiB apart on they all
// fall into the same set of the first-level cache, more than it has ways, and lines are
// evicted before the next vector of the same line is read. So the arrays of the complex
// transform leave `pad` doubles (a cache line, or nothing for short arrays) after every
// kChunk values, which puts the streams into different sets. A vector of four at an index
// divisible by four never straddles a gap.
constexpr int32_t kChunk = 512;
/** Where value i of a padded array lies. */
constexpr int32_t Padded(int32_t i, int32_t pad) {
    return i + static_cast<int32_t>(static_cast<uint32_t>(i) / kChunk) * pad;
}
/** The padding for arrays of m values: short ones fit the cache without. */
constexpr int32_t PaddingFor(int32_t m) {
    return m >= 8192 ? 8 : 0;
}

/** One Stockham radix-16 decimation-in-frequency pass: sub-transforms of length n (at least
 *  64) at stride s (1 or a multiple of 4), from x to y (n * s complex values in padded arrays).
 *  w holds w^(p r), r = 1..15, w = e^(-2 pi i/n), for p in blocks of four: 120 doubles per
 *  block, the four p's real parts of w^(p r) at 8 (r - 1) + j, their imaginary parts at
 *  8 (r - 1) + 4 + j. */
void Radix16Pass(int32_t n, int32_t s, int32_t pad, const double* w, const double* xr,
                 const double* xi, double* yr, double* yi);
/** The last pass: one untwiddled DFT of `radix` points (2, 4, 8, 16 or 32) at stride s, s = 1 or
 *  a multiple of 4. */
void ClosingPass(int radix, int32_t s, int32_t pad, const double* xr, const double* xi, double* yr,
                 double* yi);

/** Even samples (times their weights) into zr, odd ones into zi, m pairs (padded arrays); x
 *  holds count samples (at most 2m), the rest are zeros; weight may be null. */
void PackReal(int32_t m, const double* x, int32_t count, const double* weight, int32_t pad,
              double* zr, double* zi);
/** Even values from zr and odd ones from zi (padded arrays) back into count samples. */
void UnpackReal(const double* zr, const double* zi, int32_t pad, double* x, int32_t count);

/** Spectrum bins 0..m of 2m real samples from the m-point transform z (padded arrays) of their
 *  packed pairs; wr + i wi = e^(-2 pi i k / 2m). */
void SplitSpectrum(int32_t m, int32_t pad, const double* zr, const double* zi, const double* wr,
                   const double* wi, double* re, double* im);
/** The inverse of SplitSpectrum times `scale`: the packed m-point spectrum whose inverse
 *  transform gives the even and odd samples. Imaginary parts of bins 0 and m are ignored. */
void JoinSpectrum(int32_t m, const double* re, const double* im, const double* wr, const double* wi,
                  double scale, int32_t pad, double* zr, double* zi);

/** Pointwise complex product a * b into a, count values. */
void MultiplySpectra(int32_t count, double* ar, double* ai, const double* br, const double* bi);

} // namespace fftkernels
