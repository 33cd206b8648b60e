#include "dsp/PolarConversion.h"

#include "dsp/Complex.h"
#include "dsp/VectorClones.h"

#include <bit>
#include <cmath>

namespace {
const double kPiOver4 = 7.85398163397448309616e-1;
const double kPiOver2 = 1.57079632679489661923;
const double kPi = 3.14159265358979323846;
// pi/2 minus its double: added back where a result is pi/2 or pi minus something.
const double kPiOver2Tail = 6.123233995736765886130e-17;

// atan(t) = t + t z P(z)/Q(z), z = t^2, for |t| <= 0.66 (Cephes' rational approximation).
inline double AtanSmall(double t) {
    const double z = t * t;
    const double p = (((-8.750608600031904122785e-1 * z - 1.615753718733365076637e1) * z -
                       7.500855792314704667340e1) *
                          z -
                      1.228866684490136173410e2) *
                         z -
                     6.485021904942025371773e1;
    const double q = ((((z + 2.485846490142306297962e1) * z + 1.650270098316988542046e2) * z +
                       4.328810604912902668951e2) *
                          z +
                      4.853903996359136964868e2) *
                         z +
                     1.945506571482613964425e2;
    return t + t * (z * p / q);
}

// Squares beyond these lose precision to overflow or underflow; such bins take std::hypot.
const double kLargestSquare = 1e300;
const double kSmallestSquare = 1e-290;
// Angles beyond this lose precision in the three-part reduction; they take std::sin/cos.
const double kLargestAngle = 1e6;
} // namespace

AURIVO_CLONES
void PolarFromRect(int32_t count, const double* __restrict re, const double* __restrict im,
                   double scale, double* __restrict magnitude, double* __restrict degrees) {
    int64_t outOfRange = 0;
    for (int32_t k = 0; k < count; ++k) {
        const double x = re[k];
        const double y = im[k];
        const double ax = std::fabs(x);
        const double ay = std::fabs(y);
        const double square = x * x + y * y;
        outOfRange |=
            static_cast<int64_t>(!(square <= kLargestSquare)) |
            (static_cast<int64_t>(square < kSmallestSquare) & static_cast<int64_t>(ax + ay != 0.0));
        magnitude[k] = std::sqrt(square) * scale;

        // Reduce to 0 <= t <= 1 by swapping around pi/4, then to |t| <= 0.66 around pi/4.
        // Both sides of every choice are computed, so that the choices become selections.
        const bool steep = ay > ax;
        const double lo = steep ? ax : ay;
        const double hi = steep ? ay : ax;
        const bool upper = lo > 0.66 * hi;
        const double difference = lo - hi;
        const double sum = lo + hi;
        const double num = upper ? difference : lo;
        const double den = upper ? sum : (hi == 0.0 ? 1.0 : hi);
        const double small = AtanSmall(num / den);
        const double aroundQuarter = kPiOver4 + (small + 0.5 * kPiOver2Tail);
        const double a1 = upper ? aroundQuarter : small;
        const double swapped = (kPiOver2 - a1) + kPiOver2Tail;
        const double a2 = steep ? swapped : a1;
        const double mirrored = (kPi - a2) + 2.0 * kPiOver2Tail;
        const double a = std::copysign(1.0, x) < 0.0 ? mirrored : a2; // -0.0 too
        degrees[k] = std::copysign(a, y) * kDegreesPerRadian;
    }
    if (outOfRange == 0) return;
    for (int32_t k = 0; k < count; ++k) {
        const double size = std::fabs(re[k]) + std::fabs(im[k]);
        if (!(size <= 1e150 && (size >= 1e-140 || size == 0.0))) {
            magnitude[k] = std::hypot(re[k], im[k]) * scale;
            degrees[k] = std::atan2(im[k], re[k]) * kDegreesPerRadian;
        }
    }
}

AURIVO_CLONES
void RectFromPolar(int32_t count, const double* __restrict magnitude,
                   const double* __restrict degrees, double scale, double* __restrict re,
                   double* __restrict im) {
    // pi/2 in three parts whose products with a quadrant number below 2^20 are exact.
    const double kPart1 = 1.57079625129699707031e0;
    const double kPart2 = 7.54978941586159635336e-8;
    const double kPart3 = 5.39030285815811905290e-15;
    const double kRound = 6755399441055744.0; // 1.5 * 2^52: adding it rounds to an integer
    int64_t outOfRange = 0;
    for (int32_t k = 0; k < count; ++k) {
        const double phi = degrees[k] / kDegreesPerRadian;
        outOfRange |= static_cast<int64_t>(!(std::fabs(phi) <= kLargestAngle));
        const double shifted = phi * (2.0 / kPi) + kRound;
        const uint64_t quadrant = std::bit_cast<uint64_t>(shifted);
        const double q = shifted - kRound;
        const double r = ((phi - q * kPart1) - q * kPart2) - q * kPart3; // |r| <= pi/4
        const double z = r * r;
        const double sine =
            r + r * z *
                    (((((1.58962301576546568060e-10 * z - 2.50507477628578072866e-8) * z +
                        2.75573136213857245213e-6) *
                           z -
                       1.98412698295895385996e-4) *
                          z +
                      8.33333333332211858878e-3) *
                         z -
                     1.66666666666666307295e-1);
        const double cosine =
            1.0 - 0.5 * z +
            z * z *
                (((((-1.13585365213876817300e-11 * z + 2.08757008419747316778e-9) * z -
                    2.75573141792967388112e-7) *
                       z +
                   2.48015872888517045348e-5) *
                      z -
                  1.38888888888730564116e-3) *
                     z +
                 4.16666666666665929218e-2);
        // Quadrant q mod 4: 0 (c, s), 1 (-s, c), 2 (-c, -s), 3 (s, -c).
        const uint64_t swap = 0 - (quadrant & 1);
        const uint64_t cb = std::bit_cast<uint64_t>(cosine);
        const uint64_t sb = std::bit_cast<uint64_t>(sine);
        const uint64_t cosBits = ((cb & ~swap) | (sb & swap)) ^ (((quadrant + 1) & 2) << 62);
        const uint64_t sinBits = ((sb & ~swap) | (cb & swap)) ^ ((quadrant & 2) << 62);
        const double amplitude = magnitude[k] * scale;
        re[k] = amplitude * std::bit_cast<double>(cosBits);
        im[k] = amplitude * std::bit_cast<double>(sinBits);
    }
    if (outOfRange == 0) return;
    for (int32_t k = 0; k < count; ++k) {
        const double phi = degrees[k] / kDegreesPerRadian;
        if (std::fabs(phi) <= kLargestAngle) continue;
        re[k] = magnitude[k] * scale * std::cos(phi);
        im[k] = magnitude[k] * scale * std::sin(phi);
    }
}

void SpectrumToPolar(int32_t n, const double* re, const double* im, double* magnitude,
                     double* degrees) {
    const int32_t half = n / 2;
    PolarFromRect(half + 1, re, im, 2.0 / n, magnitude, degrees);
    magnitude[0] = std::fabs(re[0]) / n;
    magnitude[half] = std::fabs(re[half]) / (n * 0.5);
    for (int32_t k = 1; k < half; ++k) {
        magnitude[n - k] = magnitude[k];
        degrees[n - k] = -degrees[k];
    }
}

void PolarToSpectrum(int32_t n, const double* magnitude, const double* degrees, double* re,
                     double* im) {
    const int32_t half = n / 2;
    RectFromPolar(n, magnitude, degrees, n * 0.5, re, im);
    re[0] *= 2.0;
    im[0] = 0.0;
    im[half] = 0.0;
    for (int32_t k = 1; k < half; ++k) {
        const double r = 0.5 * (re[k] + re[n - k]);
        const double i = 0.5 * (im[k] - im[n - k]);
        re[k] = r;
        im[k] = i;
    }
}
