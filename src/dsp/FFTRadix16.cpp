// The radix-16 pass, written with the compiler's generic vectors of four doubles: one AVX2
// register each in the AVX2 clone, two SSE2 registers in the baseline one. Sixteen points per
// butterfly halve the sweeps over the arrays against radix 4, and the sweeps are what costs
// once the arrays outgrow the first-level cache. No fused multiply-add: the same results on
// every x86-64.
#include "dsp/FFTKernels.h"

#include "dsp/VectorClones.h"

// Every helper taking or returning a vector is inlined, so no call passes one in registers
// whose layout would differ between the clones.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace fftkernels {
namespace {

using V = double __attribute__((vector_size(32)));
using Mask = long long __attribute__((vector_size(32)));

struct CComplex {
    V r, i;
};

[[gnu::always_inline]] inline V Load(const double* p) {
    V v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}
[[gnu::always_inline]] inline void Store(double* p, V v) {
    __builtin_memcpy(p, &v, sizeof v);
}
[[gnu::always_inline]] inline V Broadcast(double x) {
    return V{x, x, x, x};
}
[[gnu::always_inline]] inline CComplex Times(CComplex a, V wr, V wi) {
    return {a.r * wr - a.i * wi, a.r * wi + a.i * wr};
}

// Four-point forward DFT of (a, b, c, d) in place.
[[gnu::always_inline]] inline void Dft4(CComplex& a, CComplex& b, CComplex& c, CComplex& d) {
    const CComplex apc{a.r + c.r, a.i + c.i}, amc{a.r - c.r, a.i - c.i};
    const CComplex bpd{b.r + d.r, b.i + d.i}, bmd{b.r - d.r, b.i - d.i};
    a = {apc.r + bpd.r, apc.i + bpd.i};
    c = {apc.r - bpd.r, apc.i - bpd.i};
    b = {amc.r + bmd.i, amc.i - bmd.r}; // (a - c) - i (b - d)
    d = {amc.r - bmd.i, amc.i + bmd.r};
}

// e^(-2 pi i k / 16) for k = 1, 3 and the cosine of pi/4.
const double kCos1 = 0.92387953251128675613;
const double kSin1 = 0.38268343236508977173;
const double kHalfRoot2 = 0.70710678118654752440;

// Sixteen-point forward DFT in place as four by four: x[a + 4b] -> X[c + 4d].
[[gnu::always_inline]] inline void Dft16(CComplex x[16]) {
    for (int a = 0; a < 4; ++a)
        Dft4(x[a], x[a + 4], x[a + 8], x[a + 12]);
    // Row a, column c (at x[a + 4c]) times e^(-2 pi i a c / 16).
    const V c1 = Broadcast(kCos1), s1 = Broadcast(kSin1), h = Broadcast(kHalfRoot2);
    x[5] = Times(x[5], c1, -s1);                                  // ac = 1
    x[9] = {h * (x[9].r + x[9].i), h * (x[9].i - x[9].r)};        // ac = 2
    x[13] = Times(x[13], s1, -c1);                                // ac = 3
    x[6] = {h * (x[6].r + x[6].i), h * (x[6].i - x[6].r)};        // ac = 2
    x[10] = {x[10].i, -x[10].r};                                  // ac = 4
    x[14] = {h * (x[14].i - x[14].r), -h * (x[14].r + x[14].i)};  // ac = 6
    x[7] = Times(x[7], s1, -c1);                                  // ac = 3
    x[11] = {h * (x[11].i - x[11].r), -h * (x[11].r + x[11].i)};  // ac = 6
    x[15] = Times(x[15], -c1, s1);                                // ac = 9
    // Column c now runs down x[4c .. 4c + 3]; its DFT gives X[c + 4d] at x[4c + d].
    for (int c = 0; c < 4; ++c)
        Dft4(x[4 * c], x[4 * c + 1], x[4 * c + 2], x[4 * c + 3]);
}

// Rows of the 4 x 4 block (a, b, c, d) as columns.
[[gnu::always_inline]] inline void Transpose(V& a, V& b, V& c, V& d) {
    const V t0 = __builtin_shuffle(a, b, Mask{0, 4, 2, 6});
    const V t1 = __builtin_shuffle(a, b, Mask{1, 5, 3, 7});
    const V t2 = __builtin_shuffle(c, d, Mask{0, 4, 2, 6});
    const V t3 = __builtin_shuffle(c, d, Mask{1, 5, 3, 7});
    a = __builtin_shuffle(t0, t2, Mask{0, 1, 4, 5});
    b = __builtin_shuffle(t1, t3, Mask{0, 1, 4, 5});
    c = __builtin_shuffle(t0, t2, Mask{2, 3, 6, 7});
    d = __builtin_shuffle(t1, t3, Mask{2, 3, 6, 7});
}

} // namespace

AURIVO_CLONES
void Radix16Pass(int32_t n, int32_t s, const double* w, const double* xr, const double* xi,
                 double* yr, double* yi) {
    const int32_t m = n / 16;
    // Dft16 leaves X[c + 4d] at x[4c + d]; kSlot lists the slots in output order.
    constexpr int kSlot[16] = {0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15};
    if (s == 1) {
        // One value per sub-transform: four neighbouring p share a vector, and each output
        // block of 4 x 16 values is written as rows of the transposed registers.
        for (int32_t p = 0; p < m; p += 4) {
            CComplex x[16];
            for (int l = 0; l < 16; ++l)
                x[l] = {Load(xr + p + l * m), Load(xi + p + l * m)};
            Dft16(x);
            const double* t = w + 30 * p;
            CComplex y[16];
            y[0] = x[0];
            for (int r = 1; r < 16; ++r)
                y[r] = Times(x[kSlot[r]], Load(t + 8 * (r - 1)), Load(t + 8 * (r - 1) + 4));
            for (int r = 0; r < 16; r += 4) {
                Transpose(y[r].r, y[r + 1].r, y[r + 2].r, y[r + 3].r);
                Transpose(y[r].i, y[r + 1].i, y[r + 2].i, y[r + 3].i);
                for (int j = 0; j < 4; ++j) {
                    Store(yr + 16 * (p + j) + r, y[r + j].r);
                    Store(yi + 16 * (p + j) + r, y[r + j].i);
                }
            }
        }
        return;
    }
    for (int32_t p = 0; p < m; ++p) {
        const double* t = w + 30 * (p & ~3) + (p & 3);
        for (int32_t q = 0; q < s; q += 4) {
            CComplex x[16];
            for (int l = 0; l < 16; ++l)
                x[l] = {Load(xr + q + s * (p + l * m)), Load(xi + q + s * (p + l * m))};
            Dft16(x);
            double* yr0 = yr + q + s * 16 * p;
            double* yi0 = yi + q + s * 16 * p;
            Store(yr0, x[0].r);
            Store(yi0, x[0].i);
            for (int r = 1; r < 16; ++r) {
                const CComplex y = Times(x[kSlot[r]], Broadcast(t[8 * (r - 1)]),
                                         Broadcast(t[8 * (r - 1) + 4]));
                Store(yr0 + s * r, y.r);
                Store(yi0 + s * r, y.i);
            }
        }
    }
}

} // namespace fftkernels
