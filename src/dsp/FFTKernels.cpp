// Every loop here runs over contiguous arrays without aliasing, so the compiler can turn it
// into vector code; the AVX2 clones double the width on processors that have it. No fused
// multiply-add: results are the same on every x86-64.
#include "dsp/FFTKernels.h"

#include "dsp/VectorClones.h"

namespace fftkernels {

AURIVO_CLONES
void Radix4Pass(int32_t n, int32_t s, const CRadix4Twiddles& w, const double* __restrict xr,
                const double* __restrict xi, double* __restrict yr, double* __restrict yi) {
    const int32_t m = n / 4;
    if (s == 1) {
        // First pass: one value per sub-transform, so the loop runs along p.
        for (int32_t p = 0; p < m; ++p) {
            const double ar = xr[p], ai = xi[p];
            const double br = xr[p + m], bi = xi[p + m];
            const double cr = xr[p + 2 * m], ci = xi[p + 2 * m];
            const double dr = xr[p + 3 * m], di = xi[p + 3 * m];
            const double apcr = ar + cr, apci = ai + ci;
            const double amcr = ar - cr, amci = ai - ci;
            const double bpdr = br + dr, bpdi = bi + di;
            const double jbmdr = di - bi, jbmdi = br - dr; // i (b - d)
            const double t1r = amcr - jbmdr, t1i = amci - jbmdi;
            const double t2r = apcr - bpdr, t2i = apci - bpdi;
            const double t3r = amcr + jbmdr, t3i = amci + jbmdi;
            yr[4 * p] = apcr + bpdr;
            yi[4 * p] = apci + bpdi;
            yr[4 * p + 1] = w.w1r[p] * t1r - w.w1i[p] * t1i;
            yi[4 * p + 1] = w.w1r[p] * t1i + w.w1i[p] * t1r;
            yr[4 * p + 2] = w.w2r[p] * t2r - w.w2i[p] * t2i;
            yi[4 * p + 2] = w.w2r[p] * t2i + w.w2i[p] * t2r;
            yr[4 * p + 3] = w.w3r[p] * t3r - w.w3i[p] * t3i;
            yi[4 * p + 3] = w.w3r[p] * t3i + w.w3i[p] * t3r;
        }
        return;
    }
    for (int32_t p = 0; p < m; ++p) {
        const double w1r = w.w1r[p], w1i = w.w1i[p];
        const double w2r = w.w2r[p], w2i = w.w2i[p];
        const double w3r = w.w3r[p], w3i = w.w3i[p];
        const double* __restrict ar = xr + s * p;
        const double* __restrict ai = xi + s * p;
        const double* __restrict br = ar + s * m;
        const double* __restrict bi = ai + s * m;
        const double* __restrict cr = br + s * m;
        const double* __restrict ci = bi + s * m;
        const double* __restrict dr = cr + s * m;
        const double* __restrict di = ci + s * m;
        double* __restrict y0r = yr + 4 * s * p;
        double* __restrict y0i = yi + 4 * s * p;
        double* __restrict y1r = y0r + s;
        double* __restrict y1i = y0i + s;
        double* __restrict y2r = y1r + s;
        double* __restrict y2i = y1i + s;
        double* __restrict y3r = y2r + s;
        double* __restrict y3i = y2i + s;
        for (int32_t q = 0; q < s; ++q) {
            const double apcr = ar[q] + cr[q], apci = ai[q] + ci[q];
            const double amcr = ar[q] - cr[q], amci = ai[q] - ci[q];
            const double bpdr = br[q] + dr[q], bpdi = bi[q] + di[q];
            const double jbmdr = di[q] - bi[q], jbmdi = br[q] - dr[q];
            const double t1r = amcr - jbmdr, t1i = amci - jbmdi;
            const double t2r = apcr - bpdr, t2i = apci - bpdi;
            const double t3r = amcr + jbmdr, t3i = amci + jbmdi;
            y0r[q] = apcr + bpdr;
            y0i[q] = apci + bpdi;
            y1r[q] = w1r * t1r - w1i * t1i;
            y1i[q] = w1r * t1i + w1i * t1r;
            y2r[q] = w2r * t2r - w2i * t2i;
            y2i[q] = w2r * t2i + w2i * t2r;
            y3r[q] = w3r * t3r - w3i * t3i;
            y3i[q] = w3r * t3i + w3i * t3r;
        }
    }
}

AURIVO_CLONES
void Radix2Pass(int32_t s, const double* __restrict xr, const double* __restrict xi,
                double* __restrict yr, double* __restrict yi) {
    for (int32_t q = 0; q < s; ++q) {
        const double ar = xr[q], ai = xi[q], br = xr[q + s], bi = xi[q + s];
        yr[q] = ar + br;
        yi[q] = ai + bi;
        yr[q + s] = ar - br;
        yi[q + s] = ai - bi;
    }
}

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
