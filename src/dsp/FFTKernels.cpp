// The real-input steps around the complex transform. The loops over contiguous arrays are left
// to the vectoriser; the pairwise split and join, which run up and down the arrays at once,
// are written in four-double vectors. No fused multiply-add: results are the same on every
// x86-64.
#include "dsp/FFTKernels.h"

#include "dsp/FourDoubles.h"
#include "dsp/VectorClones.h"

#include <algorithm>

namespace fftkernels {

AURIVO_CLONES
void PackReal(int32_t m, const double* __restrict x, int32_t count, const double* __restrict weight,
              int32_t pad, double* __restrict zr, double* __restrict zi) {
    const int32_t pairs = count / 2;
    // Chunk by chunk: zr + shift and zi + shift are indexed like unpadded arrays within one.
    for (int32_t c = 0; c < m; c += kChunk) {
        const int32_t shift = Padded(c, pad) - c;
        double* __restrict r = zr + shift;
        double* __restrict i = zi + shift;
        const int32_t end = std::min(m, c + kChunk);
        const int32_t filled = std::clamp(pairs, c, end);
        if (weight == nullptr) {
            for (int32_t k = c; k < filled; ++k) {
                r[k] = x[2 * k];
                i[k] = x[2 * k + 1];
            }
        } else {
            for (int32_t k = c; k < filled; ++k) {
                r[k] = weight[2 * k] * x[2 * k];
                i[k] = weight[2 * k + 1] * x[2 * k + 1];
            }
        }
        for (int32_t k = filled; k < end; ++k) {
            r[k] = 0.0;
            i[k] = 0.0;
        }
    }
    if (count % 2 != 0)
        zr[Padded(pairs, pad)] =
            weight == nullptr ? x[count - 1] : weight[count - 1] * x[count - 1];
}

AURIVO_CLONES
void UnpackReal(const double* __restrict zr, const double* __restrict zi, int32_t pad,
                double* __restrict x, int32_t count) {
    const int32_t pairs = count / 2;
    for (int32_t c = 0; c < pairs; c += kChunk) {
        const int32_t shift = Padded(c, pad) - c;
        const double* __restrict r = zr + shift;
        const double* __restrict i = zi + shift;
        const int32_t end = std::min(pairs, c + kChunk);
        for (int32_t k = c; k < end; ++k) {
            x[2 * k] = r[k];
            x[2 * k + 1] = i[k];
        }
    }
    if (count % 2 != 0) x[count - 1] = zr[Padded(pairs, pad)];
}

namespace {
using fourdoubles::Broadcast;
using fourdoubles::Load;
using fourdoubles::Reverse;
using fourdoubles::Store;
using fourdoubles::V;

// Bin k of the even samples is (Z[k] + conj Z[m-k]) / 2, of the odd ones
// (Z[k] - conj Z[m-k]) / 2i; the odd ones are delayed by one sample of the long transform.
// Bins k and m - k come from the same two values, and the delay of m - k is -conj of k's, so
// each pair is done at once: every value and twiddle factor is read once. The values at
// k.. run up, those at j = m - k.. down (loaded from j - lanes + 1 and reversed).
template <class T>
[[gnu::always_inline]] inline void SplitPair(int32_t k, int32_t j, int32_t pad, const double* zr,
                                             const double* zi, const double* wr, const double* wi,
                                             double* re, double* im) {
    constexpr int32_t back = fourdoubles::kLanes<T> - 1;
    const int32_t kz = Padded(k, pad), jz = Padded(j - back, pad);
    const T half = Broadcast<T>(0.5);
    const T zrk = Load<T>(zr + kz), zik = Load<T>(zi + kz);
    const T zrj = Reverse(Load<T>(zr + jz)), zij = Reverse(Load<T>(zi + jz));
    const T wrk = Load<T>(wr + k), wik = Load<T>(wi + k);
    const T er = half * (zrk + zrj);
    const T ei = half * (zik - zij);
    const T orr = half * (zik + zij);
    const T oi = half * (zrj - zrk);
    const T dr = wrk * orr - wik * oi;
    const T di = wrk * oi + wik * orr;
    Store(re + k, er + dr);
    Store(im + k, ei + di);
    Store(re + j - back, Reverse(er - dr));
    Store(im + j - back, Reverse(di - ei));
}

// The inverse of SplitPair times scale; the odd samples' bins lose their delay: times conj(w).
template <class T>
[[gnu::always_inline]] inline void JoinPair(int32_t k, int32_t j, const double* re,
                                            const double* im, const double* wr, const double* wi,
                                            double scale, int32_t pad, double* zr, double* zi) {
    constexpr int32_t back = fourdoubles::kLanes<T> - 1;
    const int32_t kz = Padded(k, pad), jz = Padded(j - back, pad);
    const T s = Broadcast<T>(scale);
    const T rek = Load<T>(re + k), imk = Load<T>(im + k);
    const T rej = Reverse(Load<T>(re + j - back)), imj = Reverse(Load<T>(im + j - back));
    const T wrk = Load<T>(wr + k), wik = Load<T>(wi + k);
    const T er = rek + rej;
    const T ei = imk - imj;
    const T dr = rek - rej;
    const T di = imk + imj;
    const T orr = dr * wrk + di * wik;
    const T oi = di * wrk - dr * wik;
    Store(zr + kz, s * (er - oi));
    Store(zi + kz, s * (ei + orr));
    Store(zr + jz, Reverse(s * (er + oi)));
    Store(zi + jz, Reverse(s * (orr - ei)));
}
// Whether the vectors at k.. and at m - k - 3.. lie within one chunk each.
inline bool VectorsFit(int32_t k, int32_t m) {
    return k % kChunk <= kChunk - 4 && (m - k - 3) % kChunk <= kChunk - 4;
}
} // namespace

AURIVO_CLONES
void SplitSpectrum(int32_t m, int32_t pad, const double* __restrict zr, const double* __restrict zi,
                   const double* __restrict wr, const double* __restrict wi, double* __restrict re,
                   double* __restrict im) {
    const double zr0 = zr[0], zi0 = zi[0];
    re[0] = zr0 + zi0;
    im[0] = 0.0;
    re[m] = zr0 - zi0;
    im[m] = 0.0;
    // Four pairs at a time while the blocks at k and m - k neither meet nor straddle a gap.
    for (int32_t k = 1; k <= m / 2;) {
        if (k + 4 <= m / 2 && VectorsFit(k, m)) {
            SplitPair<V>(k, m - k, pad, zr, zi, wr, wi, re, im);
            k += 4;
        } else {
            SplitPair<double>(k, m - k, pad, zr, zi, wr, wi, re, im);
            ++k;
        }
    }
}

AURIVO_CLONES
void JoinSpectrum(int32_t m, const double* __restrict re, const double* __restrict im,
                  const double* __restrict wr, const double* __restrict wi, double scale,
                  int32_t pad, double* __restrict zr, double* __restrict zi) {
    zr[0] = scale * (re[0] + re[m]);
    zi[0] = scale * (re[0] - re[m]);
    for (int32_t k = 1; k <= m / 2;) {
        if (k + 4 <= m / 2 && VectorsFit(k, m)) {
            JoinPair<V>(k, m - k, re, im, wr, wi, scale, pad, zr, zi);
            k += 4;
        } else {
            JoinPair<double>(k, m - k, re, im, wr, wi, scale, pad, zr, zi);
            ++k;
        }
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
