#pragma once
// Conversions between complex bins and magnitude/phase arrays, written so that the compiler
// vectorises them: an arctangent and a sine/cosine by polynomial after range reduction, as
// accurate as the C library's (about 1e-16 relative), with the library as the fallback for
// values outside their range.

#include <cstdint>

/** magnitude[k] = |re + i im| * scale, degrees[k] = atan2(im, re) * 57.29577951308. */
void PolarFromRect(int32_t count, const double* re, const double* im, double scale,
                   double* magnitude, double* degrees);
/** re[k] = magnitude[k] * scale * cos(phi), im[k] = ... sin(phi), phi = degrees[k] /
 *  57.29577951308. */
void RectFromPolar(int32_t count, const double* magnitude, const double* degrees, double scale,
                   double* re, double* im);

/** Single-sided amplitudes and phases of bins 0..N/2 of the unscaled spectrum of N real
 *  samples (re, im), mirrored into the upper half: magnitude[0] = |X[0]| / N, magnitude[k] =
 *  |X[k]| / (N/2) otherwise; magnitude[N-k] = magnitude[k], degrees[N-k] = -degrees[k]. */
void SpectrumToPolar(int32_t n, const double* re, const double* im, double* magnitude,
                     double* degrees);
/** Bins 0..N/2 of the conjugate-symmetric part (X[k] + conj X[N-k]) / 2 of the N-bin spectrum
 *  with these single-sided amplitudes (scaled back by N for bin 0, N/2 otherwise) and phases;
 *  re and im hold N values, those above N/2 are left as scratch. */
void PolarToSpectrum(int32_t n, const double* magnitude, const double* degrees, double* re,
                     double* im);
