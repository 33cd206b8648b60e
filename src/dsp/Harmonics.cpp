// Distortion measurements, averaging and smoothing on a single-sided magnitude array.

#include "dsp/DSPData.h"
#include "base/Rounding.h"
#include "dsp/IMDProducts.h"
#include "dsp/RunningAverage.h"
#include "dsp/ToneLobes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

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

double CDSPData::GetHarmonicDistortion(double fundamental, int harmonic, int window) const {
    if (window != 0) {
        const CToneLobes lobes(*this, window);
        return lobes.HarmonicDistortion(lobes.FindTone(fundamental), harmonic);
    }
    int k = 0;
    if (!FundamentalBin(fundamental, k)) return 0.0;
    const int64_t h = static_cast<int64_t>(k) * harmonic;
    if (h < 0 || h >= BinCount()) return 0.0;
    return m_values[static_cast<size_t>(h)] / m_values[k] * 100.0;
}

double CDSPData::GetTHD(double fundamental, int window, int lastHarmonic) const {
    if (window != 0) {
        const CToneLobes lobes(*this, window);
        return lobes.THD(lobes.FindTone(fundamental), lastHarmonic);
    }
    int k = 0;
    if (!FundamentalBin(fundamental, k)) return 0.0;
    const int64_t half = lastHarmonic > 0
                             ? std::min<int64_t>(BinCount() / 2, int64_t{k} * lastHarmonic + 1)
                             : BinCount() / 2;
    const int64_t step = k > 1 ? k : 1;
    double sum = 0.0;
    for (int64_t b = k > 0 ? 2 * int64_t{k} : 1; b < half; b += step)
        sum += m_values[b] * m_values[b];
    return std::sqrt(sum) / m_values[k] * 100.0;
}

double CDSPData::GetTHDPlusN(double fundamental, int window) const {
    if (window != 0) {
        const CToneLobes lobes(*this, window);
        return lobes.THDPlusN(lobes.FindTone(fundamental));
    }
    int k = 0;
    if (!FundamentalBin(fundamental, k)) return 0.0;
    const int half = BinCount() / 2;
    double sum = 0.0;
    for (int b = 0; b < half; ++b)
        if (b != k) sum += m_values[b] * m_values[b];
    return std::sqrt(sum) / m_values[k] * 100.0;
}

double CDSPData::Get2ndOrderIMD(double f1, double f2, int window) const {
    return GetIMD(f1, f2, 2, window);
}
double CDSPData::Get3rdOrderIMD(double f1, double f2, int window) const {
    return GetIMD(f1, f2, 3, window);
}
double CDSPData::Get4thOrderIMD(double f1, double f2, int window) const {
    return GetIMD(f1, f2, 4, window);
}

void CDSPData::IMDToneBins(double& f1, double& f2) const {
    if (f1 != 0.0 && f2 != 0.0) return;
    const int n = BinCount();
    const int b1 = GetMaxHarmonic();
    f1 = b1 * m_sampleRate / n;
    f2 = GetNextHarmonic(b1) * m_sampleRate / n;
}

double CDSPData::GetIMD(double f1, double f2, int order, int window) const {
    const int n = BinCount();
    if (n == 0) return 0.0;
    if (window != 0) {
        const CToneLobes lobes(*this, window);
        const auto [tone1, tone2] = lobes.FindPair(f1, f2);
        return lobes.IMD(tone1, tone2, order);
    }
    IMDToneBins(f1, f2);
    // Bins N/2 and up are never summed; products there land on the clamp bin N/2.
    const int half = n / 2;
    std::vector<bool> marked(static_cast<size_t>(half) + 1, false);
    for (const CIMDProduct& p : IMDProductsOfOrder(order))
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

double CDSPData::GetToneFrequency(double frequency, int window) const {
    const int n = BinCount();
    if (n == 0) return 0.0;
    if (window != 0) {
        const CToneLobes lobes(*this, window);
        return lobes.Frequency(lobes.FindTone(frequency).position);
    }
    const int bin = frequency == 0.0 ? GetMaxHarmonic() : GetHarmonicNumber(frequency);
    return bin * m_sampleRate / n;
}

double CDSPData::GetSecondToneFrequency(double f1, double f2, int window) const {
    const int n = BinCount();
    if (n == 0) return 0.0;
    if (window != 0) {
        const CToneLobes lobes(*this, window);
        return lobes.Frequency(lobes.FindPair(f1, f2).second.position);
    }
    const int bin = f2 == 0.0 ? GetNextHarmonic(GetMaxHarmonic()) : GetHarmonicNumber(f2);
    return bin * m_sampleRate / n;
}

bool CDSPData::HoldsHarmonic(double fundamental, int harmonic) const {
    int k = 0;
    return FundamentalBin(fundamental, k) && k > 0 && harmonic > 0 &&
           int64_t{k} * harmonic < BinCount() / 2;
}

bool CDSPData::HoldsTwoTones(double f1, double f2) const {
    if (BinCount() == 0) return false;
    IMDToneBins(f1, f2);
    return GetHarmonicNumber(f1) != GetHarmonicNumber(f2);
}

double CDSPData::Average(double newValue, double oldAverage, int n, int limit) {
    return CAverageStep::Of(n, limit).Apply(newValue, oldAverage);
}

bool CDSPData::UnweightedSmooth(int halfWidth) {
    if (halfWidth < 0) return false;
    if (halfWidth == 0) return true;
    const int n = BinCount();
    const int w = halfWidth;
    // In place, so the array never moves: the last w + 1 original values each window still
    // needs are kept aside, since their slots are overwritten before the window leaves them.
    std::vector<double> original(static_cast<size_t>(w) + 1);
    for (int i = w; i <= n - w - 1; ++i) {
        double sum = 0.0;
        for (int t = i - w; t <= i + w; ++t)
            sum += t >= w && t < i ? original[size_t(t % (w + 1))] : m_values[size_t(t)];
        original[size_t(i % (w + 1))] = m_values[size_t(i)];
        m_values[size_t(i)] = sum / (2 * w + 1);
    }
    return true;
}
