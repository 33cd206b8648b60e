// Every loop here runs over contiguous arrays without aliasing, so the compiler can turn it
// into vector code; the AVX2 clones double the width on processors that have it. No fused
// multiply-add: results are the same on every x86-64.
#include "dsp/FFTKernels.h"

#include "dsp/VectorClones.h"

namespace fftkernels {

AURIVO_CLONES
void PackReal(int32_t m, const double* __restrict x, const double* __restrict weight,
              double* __restrict zr, double* __restrict zi) {
    if (weight == nullptr) {
        for (int32_t k = 0; k < m; ++k) {
            zr[k] = x[2 * k];
            zi[k] = x[2 * k + 1];
        }
        return;
    }
    for (int32_t k = 0; k < m; ++k) {
        zr[k] = weight[2 * k] * x[2 * k];
        zi[k] = weight[2 * k + 1] * x[2 * k + 1];
    }
}

AURIVO_CLONES
void UnpackReal(int32_t m, const double* __restrict zr, const double* __restrict zi,
                double* __restrict x) {
    for (int32_t k = 0; k < m; ++k) {
        x[2 * k] = zr[k];
        x[2 * k + 1] = zi[k];
    }
}

AURIVO_CLONES
void SplitSpectrum(int32_t m, const double* __restrict zr, const double* __restrict zi,
                   const double* __restrict wr, const double* __restrict wi, double* __restrict re,
                   double* __restrict im) {
    re[0] = zr[0] + zi[0];
    im[0] = 0.0;
    re[m] = zr[0] - zi[0];
    im[m] = 0.0;
    // Bin k of the even samples is (Z[k] + conj Z[m-k]) / 2, of the odd ones
    // (Z[k] - conj Z[m-k]) / 2i; the odd ones are delayed by one sample of the long transform.
    for (int32_t k = 1; k < m; ++k) {
        const int32_t j = m - k;
        const double er = 0.5 * (zr[k] + zr[j]);
        const double ei = 0.5 * (zi[k] - zi[j]);
        const double orr = 0.5 * (zi[k] + zi[j]);
        const double oi = 0.5 * (zr[j] - zr[k]);
        re[k] = er + (wr[k] * orr - wi[k] * oi);
        im[k] = ei + (wr[k] * oi + wi[k] * orr);
    }
}

AURIVO_CLONES
void JoinSpectrum(int32_t m, const double* __restrict re, const double* __restrict im,
                  const double* __restrict wr, const double* __restrict wi, double scale,
                  double* __restrict zr, double* __restrict zi) {
    zr[0] = scale * (re[0] + re[m]);
    zi[0] = scale * (re[0] - re[m]);
    for (int32_t k = 1; k < m; ++k) {
        const int32_t j = m - k;
        const double er = re[k] + re[j];
        const double ei = im[k] - im[j];
        const double dr = re[k] - re[j];
        const double di = im[k] + im[j];
        // The odd samples' bins lose their one-sample delay: times conj(w).
        const double orr = dr * wr[k] + di * wi[k];
        const double oi = di * wr[k] - dr * wi[k];
        zr[k] = scale * (er - oi);
        zi[k] = scale * (ei + orr);
    }
}

AURIVO_CLONES
void MultiplySpectra(int32_t count, double* __restrict ar, double* __restrict ai,
                     const double* __restrict br, const double* __restrict bi) {
    for (int32_t k = 0; k < count; ++k) {
        const double r = ar[k] * br[k] - ai[k] * bi[k];
        const double i = ar[k] * bi[k] + ai[k] * br[k];
        ar[k] = r;
        ai[k] = i;
    }
}

} // namespace fftkernels
