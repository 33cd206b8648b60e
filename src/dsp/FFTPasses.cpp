// The passes of the complex FFT, written once over a value type: four doubles along the
// stride, or plain doubles where the stride is shorter than a vector. The loops over the points
// of a butterfly are unrolled, so that every point stays a named value the compiler can keep
// in a register rather than an element of an array in memory. Sixteen
// points per butterfly halve the sweeps over the arrays against radix 4, and the sweeps are
// what costs once the arrays outgrow the first-level cache. No fused multiply-add: the same
// results on every x86-64.
#include "dsp/FFTKernels.h"

#include "dsp/FourDoubles.h"
#include "dsp/VectorClones.h"

namespace fftkernels {
namespace {

using fftkernels::kChunk;
using fftkernels::Padded;
using fourdoubles::Broadcast;
using fourdoubles::Load;
using fourdoubles::Store;
using fourdoubles::V;

template <class T> struct CComplex { T r, i; };

template <class T> [[gnu::always_inline]] inline CComplex<T> Times(CComplex<T> a, T wr, T wi) {
    return {a.r * wr - a.i * wi, a.r * wi + a.i * wr};
}
// Times e^(-i pi / 4), e^(-i pi / 2) and e^(-3i pi / 4).
template <class T> [[gnu::always_inline]] inline CComplex<T> TimesW8(CComplex<T> a) {
    const T h = Broadcast<T>(0.70710678118654752440);
    return {h * (a.r + a.i), h * (a.i - a.r)};
}
template <class T> [[gnu::always_inline]] inline CComplex<T> TimesMinusI(CComplex<T> a) {
    return {a.i, -a.r};
}
template <class T> [[gnu::always_inline]] inline CComplex<T> TimesW8Cubed(CComplex<T> a) {
    const T h = Broadcast<T>(0.70710678118654752440);
    return {h * (a.i - a.r), -h * (a.r + a.i)};
}

// Two- and four-point forward DFTs in place.
template <class T> [[gnu::always_inline]] inline void Dft2(CComplex<T>& a, CComplex<T>& b) {
    const CComplex<T> s{a.r + b.r, a.i + b.i};
    b = {a.r - b.r, a.i - b.i};
    a = s;
}
template <class T>
[[gnu::always_inline]] inline void Dft4(CComplex<T>& a, CComplex<T>& b, CComplex<T>& c,
                                        CComplex<T>& d) {
    const CComplex<T> apc{a.r + c.r, a.i + c.i}, amc{a.r - c.r, a.i - c.i};
    const CComplex<T> bpd{b.r + d.r, b.i + d.i}, bmd{b.r - d.r, b.i - d.i};
    a = {apc.r + bpd.r, apc.i + bpd.i};
    c = {apc.r - bpd.r, apc.i - bpd.i};
    b = {amc.r + bmd.i, amc.i - bmd.r}; // (a - c) - i (b - d)
    d = {amc.r - bmd.i, amc.i + bmd.r};
}

// Eight-point forward DFT in place as two by four: x[a + 2b] -> X[c + 4d] at x[2c + d].
template <class T> [[gnu::always_inline]] inline void Dft8(CComplex<T> x[8]) {
    Dft4(x[0], x[2], x[4], x[6]);
    Dft4(x[1], x[3], x[5], x[7]);
    x[3] = TimesW8(x[3]);
    x[5] = TimesMinusI(x[5]);
    x[7] = TimesW8Cubed(x[7]);
#pragma GCC unroll 16
    for (int c = 0; c < 4; ++c)
        Dft2(x[2 * c], x[2 * c + 1]);
}

// Sixteen-point forward DFT in place as four by four: x[a + 4b] -> X[c + 4d] at x[4c + d].
template <class T> [[gnu::always_inline]] inline void Dft16(CComplex<T> x[16]) {
#pragma GCC unroll 16
    for (int a = 0; a < 4; ++a)
        Dft4(x[a], x[a + 4], x[a + 8], x[a + 12]);
    // Row a, column c (at x[a + 4c]) times e^(-2 pi i a c / 16).
    const T c1 = Broadcast<T>(0.92387953251128675613), s1 = Broadcast<T>(0.38268343236508977173);
    x[5] = Times(x[5], c1, -s1);   // ac = 1
    x[9] = TimesW8(x[9]);          // ac = 2
    x[13] = Times(x[13], s1, -c1); // ac = 3
    x[6] = TimesW8(x[6]);
    x[10] = TimesMinusI(x[10]);  // ac = 4
    x[14] = TimesW8Cubed(x[14]); // ac = 6
    x[7] = Times(x[7], s1, -c1);
    x[11] = TimesW8Cubed(x[11]);
    x[15] = Times(x[15], -c1, s1); // ac = 9
// Column c now runs down x[4c .. 4c + 3].
#pragma GCC unroll 16
    for (int c = 0; c < 4; ++c)
        Dft4(x[4 * c], x[4 * c + 1], x[4 * c + 2], x[4 * c + 3]);
}

// Where Dft16 and Dft8 leave output r.
constexpr int kSlot16[16] = {0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15};
constexpr int kSlot8[8] = {0, 2, 4, 6, 1, 3, 5, 7};

// Rows of the 4 x 4 block (a, b, c, d) as columns.
[[gnu::always_inline]] inline void Transpose(V& a, V& b, V& c, V& d) {
    const V t0 = __builtin_shufflevector(a, b, 0, 4, 2, 6);
    const V t1 = __builtin_shufflevector(a, b, 1, 5, 3, 7);
    const V t2 = __builtin_shufflevector(c, d, 0, 4, 2, 6);
    const V t3 = __builtin_shufflevector(c, d, 1, 5, 3, 7);
    a = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
    b = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
    c = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
    d = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
}

// The twiddled radix-16 pass along the stride, T values at a time. The sixteen input rows are
// T/16 values apart, a whole number of chunks once the arrays are padded; the stride runs in
// pieces that end at chunk boundaries.
template <class T>
[[gnu::always_inline]] inline void Radix16AlongStride(int32_t m, int32_t s, int32_t pad,
                                                      const double* w, const double* xr,
                                                      const double* xi, double* yr, double* yi) {
    constexpr int32_t step = fourdoubles::kLanes<T>;
    const int32_t in = Padded(s * m, pad);
    int32_t out[16];
    for (int r = 0; r < 16; ++r)
        out[r] = Padded(s * r, pad);
    const int32_t run = s < kChunk ? s : kChunk;
    for (int32_t p = 0; p < m; ++p) {
        const double* t = w + 30 * (p & ~3) + (p & 3);
        for (int32_t q0 = 0; q0 < s; q0 += run) {
            const int32_t from = Padded(q0 + s * p, pad);
            const int32_t to = Padded(q0 + s * 16 * p, pad);
            for (int32_t q = 0; q < run; q += step) {
                CComplex<T> x[16];
#pragma GCC unroll 16
                for (int l = 0; l < 16; ++l)
                    x[l] = {Load<T>(xr + from + q + l * in), Load<T>(xi + from + q + l * in)};
                Dft16(x);
                Store(yr + to + q, x[0].r);
                Store(yi + to + q, x[0].i);
#pragma GCC unroll 16
                for (int r = 1; r < 16; ++r) {
                    const CComplex<T> y = Times(x[kSlot16[r]], Broadcast<T>(t[8 * (r - 1)]),
                                                Broadcast<T>(t[8 * (r - 1) + 4]));
                    Store(yr + to + q + out[r], y.r);
                    Store(yi + to + q + out[r], y.i);
                }
            }
        }
    }
}

// e^(-2 pi i k / 32), k = 0..15.
constexpr double kW32[16][2] = {
    {1.0, 0.0},
    {0.98078528040323044913, -0.19509032201612826785},
    {0.92387953251128675613, -0.38268343236508977173},
    {0.83146961230254523708, -0.55557023301960222474},
    {0.70710678118654752440, -0.70710678118654752440},
    {0.55557023301960222474, -0.83146961230254523708},
    {0.38268343236508977173, -0.92387953251128675613},
    {0.19509032201612826785, -0.98078528040323044913},
    {0.0, -1.0},
    {-0.19509032201612826785, -0.98078528040323044913},
    {-0.38268343236508977173, -0.92387953251128675613},
    {-0.55557023301960222474, -0.83146961230254523708},
    {-0.70710678118654752440, -0.70710678118654752440},
    {-0.83146961230254523708, -0.55557023301960222474},
    {-0.92387953251128675613, -0.38268343236508977173},
    {-0.98078528040323044913, -0.19509032201612826785},
};

// The closing pass: one sub-transform of R points at stride s, untwiddled. Thirty-two points
// are the DFTs of the sixteen even and the sixteen odd ones, joined by one radix-2 step.
template <class T, int R>
[[gnu::always_inline]] inline void ClosingAlongStride(int32_t s, int32_t pad, const double* xr,
                                                      const double* xi, double* yr, double* yi) {
    constexpr int32_t step = fourdoubles::kLanes<T>;
    int32_t row[R];
    for (int l = 0; l < R; ++l)
        row[l] = Padded(s * l, pad);
    const int32_t run = s < kChunk ? s : kChunk;
    for (int32_t q0 = 0; q0 < s; q0 += run) {
        const int32_t at = Padded(q0, pad);
        for (int32_t q = at; q < at + run; q += step) {
            const auto load = [&](int l) -> CComplex<T> {
                return {Load<T>(xr + q + row[l]), Load<T>(xi + q + row[l])};
            };
            const auto store = [&](int r, CComplex<T> y) {
                Store(yr + q + row[r], y.r);
                Store(yi + q + row[r], y.i);
            };
            if constexpr (R == 32) {
                CComplex<T> even[16], odd[16];
#pragma GCC unroll 16
                for (int l = 0; l < 16; ++l)
                    even[l] = load(2 * l);
                Dft16(even);
#pragma GCC unroll 16
                for (int l = 0; l < 16; ++l)
                    odd[l] = load(2 * l + 1);
                Dft16(odd);
#pragma GCC unroll 16
                for (int k = 0; k < 16; ++k) {
                    const CComplex<T> e = even[kSlot16[k]];
                    const CComplex<T> o = k == 0 ? odd[0]
                                                 : Times(odd[kSlot16[k]], Broadcast<T>(kW32[k][0]),
                                                         Broadcast<T>(kW32[k][1]));
                    store(k, {e.r + o.r, e.i + o.i});
                    store(k + 16, {e.r - o.r, e.i - o.i});
                }
            } else {
                CComplex<T> x[R];
#pragma GCC unroll 16
                for (int l = 0; l < R; ++l)
                    x[l] = load(l);
                if constexpr (R == 2) Dft2(x[0], x[1]);
                if constexpr (R == 4) Dft4(x[0], x[1], x[2], x[3]);
                if constexpr (R == 8) Dft8(x);
                if constexpr (R == 16) Dft16(x);
#pragma GCC unroll 16
                for (int r = 0; r < R; ++r)
                    store(r, x[R == 16 ? kSlot16[r] : R == 8 ? kSlot8[r] : r]);
            }
        }
    }
}

template <int R>
[[gnu::always_inline]] inline void Closing(int32_t s, int32_t pad, const double* xr,
                                           const double* xi, double* yr, double* yi) {
    if (s % 4 == 0)
        ClosingAlongStride<V, R>(s, pad, xr, xi, yr, yi);
    else
        ClosingAlongStride<double, R>(s, pad, xr, xi, yr, yi);
}

} // namespace

AURIVO_CLONES
void Radix16Pass(int32_t n, int32_t s, int32_t pad, const double* __restrict w,
                 const double* __restrict xr, const double* __restrict xi, double* __restrict yr,
                 double* __restrict yi) {
    const int32_t m = n / 16;
    if (s % 4 == 0) {
        Radix16AlongStride<V>(m, s, pad, w, xr, xi, yr, yi);
        return;
    }
    const int32_t in = Padded(m, pad);
    // The first pass, one value per sub-transform: four neighbouring p share a vector, and
    // each output block of 4 x 16 values is written as rows of the transposed registers.
    for (int32_t p = 0; p < m; p += 4) {
        const int32_t from = Padded(p, pad);
        const int32_t to = Padded(16 * p, pad);
        CComplex<V> x[16];
#pragma GCC unroll 16
        for (int l = 0; l < 16; ++l)
            x[l] = {Load<V>(xr + from + l * in), Load<V>(xi + from + l * in)};
        Dft16(x);
        const double* t = w + 30 * p;
        CComplex<V> y[16];
        y[0] = x[0];
#pragma GCC unroll 16
        for (int r = 1; r < 16; ++r)
            y[r] = Times(x[kSlot16[r]], Load<V>(t + 8 * (r - 1)), Load<V>(t + 8 * (r - 1) + 4));
#pragma GCC unroll 16
        for (int r = 0; r < 16; r += 4) {
            Transpose(y[r].r, y[r + 1].r, y[r + 2].r, y[r + 3].r);
            Transpose(y[r].i, y[r + 1].i, y[r + 2].i, y[r + 3].i);
#pragma GCC unroll 16
            for (int j = 0; j < 4; ++j) {
                Store(yr + to + 16 * j + r, y[r + j].r);
                Store(yi + to + 16 * j + r, y[r + j].i);
            }
        }
    }
}

AURIVO_CLONES
void ClosingPass(int radix, int32_t s, int32_t pad, const double* __restrict xr,
                 const double* __restrict xi, double* __restrict yr, double* __restrict yi) {
    switch (radix) {
    case 2:
        Closing<2>(s, pad, xr, xi, yr, yi);
        break;
    case 4:
        Closing<4>(s, pad, xr, xi, yr, yi);
        break;
    case 8:
        Closing<8>(s, pad, xr, xi, yr, yi);
        break;
    case 16:
        Closing<16>(s, pad, xr, xi, yr, yi);
        break;
    default:
        Closing<32>(s, pad, xr, xi, yr, yi);
        break;
    }
}

} // namespace fftkernels
