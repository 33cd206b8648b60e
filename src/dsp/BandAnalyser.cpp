#include "dsp/BandAnalyser.h"

#include "dsp/FFTPlan.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {
// A band sums the bins where its filter passes more than -70 dB (the prototype frequency where
// the response is 1e-7): the class 1 limits ask for 70 dB at most, and the noise power beyond
// is a few millionths of the band's.
constexpr double kReach = 14.68;

// The four-term Blackman-Harris window: its side lobes lie 92 dB down, so a tone outside a
// band leaks into it less than the band's own filter lets through.
double BlackmanHarris(int32_t i, int32_t n) {
    const double a = 2.0 * std::numbers::pi * i / n;
    return 0.35875 - 0.48829 * std::cos(a) + 0.14128 * std::cos(2 * a) - 0.01168 * std::cos(3 * a);
}
} // namespace

bool CBandAnalyser::Design(int fraction, int32_t n, double rate, const GainOf& gain) {
    if (!CFFTPlan::ForSize(n) || !(rate > 0.0)) return false;
    std::vector<COctaveBand> bands = MakeOctaveBands(fraction, kLowestFrequency, rate / 2.0);
    if (bands.empty()) return false;
    m_n = n;
    m_binWidth = rate / n;
    m_bands = std::move(bands);
    m_resolved.clear();
    for (const COctaveBand& band : m_bands)
        m_resolved.push_back((band.upper - band.lower) / m_binWidth >= kMinBinsPerBand);
    m_window.resize(size_t(n));
    m_windowPower = 0.0;
    for (int32_t i = 0; i < n; ++i) {
        m_window[size_t(i)] = BlackmanHarris(i, n);
        m_windowPower += m_window[size_t(i)] * m_window[size_t(i)];
    }
    const size_t bins = size_t(n / 2 + 1);
    m_gain.assign(bins, 1.0);
    m_gain[0] = 0.0; // the overall level is of the signal, not its offset
    if (gain)
        for (size_t k = 1; k < bins; ++k)
            m_gain[k] = gain(double(k) * m_binWidth);
    // The weights of every band, once per design: the block's sums are then plain dot products.
    m_firstBin.clear();
    m_offset.clear();
    m_weights.clear();
    for (size_t b = 0; b < m_bands.size(); ++b) {
        const COctaveBand& band = m_bands[b];
        const double width = band.upper - band.lower;
        const double top = (kReach * width + std::sqrt(kReach * kReach * width * width +
                                                       4.0 * band.centre * band.centre)) /
                           2.0;
        const double bottom = band.centre * band.centre / top;
        const int32_t first = std::max<int32_t>(1, int32_t(std::ceil(bottom / m_binWidth)));
        const int32_t end = std::min<int32_t>(n / 2, int32_t(top / m_binWidth));
        m_firstBin.push_back(first);
        m_offset.push_back(m_weights.size());
        for (int32_t k = first; m_resolved[b] && k <= end; ++k)
            m_weights.push_back(float(BandFilterPower(band, double(k) * m_binWidth)));
    }
    m_offset.push_back(m_weights.size());
    m_re.resize(bins);
    m_im.resize(bins);
    m_power.resize(bins);
    return true;
}

void CBandAnalyser::Analyse(const double* samples, std::vector<double>& bands, double& overall) {
    CFFTPlan::ForSize(m_n)->Forward(samples, m_n, m_window.data(), m_re.data(), m_im.data());
    // Each bin's share of the mean square: a tone's bins add up to its mean square, and so do
    // a noise's (Parseval, with the window's power divided out).
    const double scale = 2.0 / (double(m_n) * m_windowPower);
    for (size_t k = 0; k < m_power.size(); ++k)
        m_power[k] = scale * (m_re[k] * m_re[k] + m_im[k] * m_im[k]);
    m_power.front() /= 2.0; // 0 Hz and half the rate have no mirror image
    m_power.back() /= 2.0;
    Sum(m_power, bands, overall);
}

void CBandAnalyser::Sum(std::vector<double>& power, std::vector<double>& bands,
                        double& overall) const {
    overall = 0.0;
    for (size_t k = 0; k < power.size(); ++k) {
        power[k] *= m_gain[k];
        overall += power[k];
    }
    bands.assign(m_bands.size(), std::numeric_limits<double>::quiet_NaN());
    for (size_t b = 0; b < m_bands.size(); ++b) {
        if (!m_resolved[b]) continue;
        const double* bin = power.data() + m_firstBin[b];
        const float* weight = m_weights.data() + m_offset[b];
        const size_t count = m_offset[b + 1] - m_offset[b];
        double sum = 0.0;
        for (size_t i = 0; i < count; ++i)
            sum += bin[i] * double(weight[i]);
        bands[b] = sum;
    }
}
