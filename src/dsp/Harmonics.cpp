// Distortion measurements, averaging and smoothing on a single-sided magnitude array.

#include "dsp/DSPData.h"
#include "base/Rounding.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace {
// An intermodulation product frequency a*f1 + b*f2.
struct CProduct {
    int a;
    int b;
};

constexpr std::array<CProduct, 4> k2ndOrderProducts{{{1, 1}, {1, -1}, {2, 0}, {0, 2}}};
constexpr std::array<CProduct, 6> k3rdOrderProducts{
    {{0, 3}, {1, 2}, {1, -2}, {2, 1}, {2, -1}, {3, 0}}};
constexpr std::array<CProduct, 8> k4thOrderProducts{
    {{0, 4}, {1, 3}, {1, -3}, {2, 2}, {2, -2}, {3, 1}, {3, -1}, {4, 0}}};

std::span<const CProduct> ProductsOfOrder(int order) {
    switch (order) {
    case 2:
        return k2ndOrderProducts;
    case 3:
        return k3rdOrderProducts;
    default:
        return k4thOrderProducts;
    }
}
} // namespace

int CDSPData::GetMaxHarmonic() const {
    return GetNextHarmonic(-1);
}

int CDSPData::GetNextHarmonic(int excludedBin) const {
    // Starts above zero so that an all-zero spectrum reports bin 0; ties keep the lower bin.
    int best = 0;
    double bestValue = std::numeric_limits<double>::min();
    const int half = BinCount() / 2;
    for (int k = 0; k < half; ++k) {
        if (k != excludedBin && m_values[k] > bestValue) {
            best = k;
            bestValue = m_values[k];
        }
    }
    return best;
}

int CDSPData::GetHarmonicNumber(double frequency) const {
    const int n = BinCount();
    if (n == 0) return 0;
    double x = frequency / (m_sampleRate / n);
    if (x >= n / 2) x = n / 2;
    if (!(x > 0.0)) x = 0.0; // also catches NaN
    return static_cast<int>(RoundHalfUp(x));
}

bool CDSPData::FundamentalBin(double frequency, int& bin) const {
    const int n = BinCount();
    if (n == 0) return false;
    if (frequency == 0.0) {
        bin = GetMaxHarmonic();
        return true;
    }
    const double x = RoundHalfUp(frequency / (m_sampleRate / n));
    if (!(x >= 0.0 && x < n)) return false;
    bin = static_cast<int>(x);
    return true;
}

double CDSPData::GetHarmonicDistortion(double fundamental, int harmonic) const {
    int k = 0;
    if (!FundamentalBin(fundamental, k)) return 0.0;
    const int64_t h = static_cast<int64_t>(k) * harmonic;
    if (h < 0 || h >= BinCount()) return 0.0;
    return m_values[static_cast<size_t>(h)] / m_values[k] * 100.0;
}

double CDSPData::GetTHD(double fundamental) const {
    int k = 0;
    if (!FundamentalBin(fundamental, k)) return 0.0;
    const int64_t half = BinCount() / 2;
    const int64_t step = k > 1 ? k : 1;
    double sum = 0.0;
    for (int64_t b = k > 0 ? 2 * int64_t{k} : 1; b < half; b += step)
        sum += m_values[b] * m_values[b];
    return std::sqrt(sum) / m_values[k] * 100.0;
}

double CDSPData::GetTHDPlusN(double fundamental) const {
    int k = 0;
    if (!FundamentalBin(fundamental, k)) return 0.0;
    const int half = BinCount() / 2;
    double sum = 0.0;
    for (int b = 0; b < half; ++b)
        if (b != k) sum += m_values[b] * m_values[b];
    return std::sqrt(sum) / m_values[k] * 100.0;
}

double CDSPData::Get2ndOrderIMD(double f1, double f2) const {
    return GetIMD(f1, f2, 2);
}
double CDSPData::Get3rdOrderIMD(double f1, double f2) const {
    return GetIMD(f1, f2, 3);
}
double CDSPData::Get4thOrderIMD(double f1, double f2) const {
    return GetIMD(f1, f2, 4);
}

double CDSPData::GetIMD(double f1, double f2, int order) const {
    const int n = BinCount();
    if (n == 0) return 0.0;
    if (f1 == 0.0 || f2 == 0.0) {
        const int b1 = GetMaxHarmonic();
        f1 = b1 * m_sampleRate / n;
        f2 = GetNextHarmonic(b1) * m_sampleRate / n;
    }
    // Bins N/2 and up are never summed; products there land on the clamp bin N/2.
    const int half = n / 2;
    std::vector<bool> marked(static_cast<size_t>(half) + 1, false);
    for (const CProduct& p : ProductsOfOrder(order))
        marked[GetHarmonicNumber(std::fabs(p.a * f1 + p.b * f2))] = true;
    const int bin1 = GetHarmonicNumber(f1);
    const int bin2 = GetHarmonicNumber(f2);
    marked[bin1] = false;
    marked[bin2] = false;
    double sum = 0.0;
    for (int b = 0; b < half; ++b)
        if (marked[b]) sum += m_values[b] * m_values[b];
    const double a1 = m_values[bin1];
    const double a2 = m_values[bin2];
    return std::sqrt(sum) / std::sqrt(a1 * a1 + a2 * a2) * 100.0;
}

double CDSPData::Average(double newValue, double oldAverage, int n, int limit) {
    if (n == 1) return newValue;
    const double d = newValue - oldAverage;
    if (n > 1 && n < limit) {
        // Divisor 2^j grows by one power of two each time n passes ln 2 * 2^j.
        const int j = static_cast<int>(std::trunc(1.44269 * std::log(n / std::log(2.0))));
        return oldAverage + d / std::ldexp(1.0, j);
    }
    // A limit below 1 leaves nothing to average over (and must not divide by zero).
    if (limit < 1) return newValue;
    return oldAverage + d / limit;
}

bool CDSPData::UnweightedSmooth(int halfWidth) {
    if (halfWidth < 0) return false;
    if (halfWidth == 0) return true;
    const int n = BinCount();
    const int w = halfWidth;
    std::vector<double> smoothed(m_values);
    for (int i = w; i <= n - w - 1; ++i) {
        double sum = 0.0;
        for (int t = i - w; t <= i + w; ++t)
            sum += m_values[t];
        smoothed[i] = sum / (2 * w + 1);
    }
    m_values = std::move(smoothed);
    return true;
}
