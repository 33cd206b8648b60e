#include "dsp/CurveFilter.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

void CCurveFilter::Design(const std::function<double(double)>& deviationDb, double rate) {
    m_taps.clear();
    m_history.assign(kTaps - 1, 0.0);
    if (!deviationDb) return;
    constexpr int n = kTaps, half = kTaps / 2;
    std::vector<double> gain(half + 1);
    for (int k = 0; k <= half; ++k)
        gain[size_t(k)] = std::pow(10.0, -deviationDb(k * rate / n) / 20.0);
    // The real, even spectrum's inverse transform, centred, under a Hann window.
    m_taps.resize(n);
    for (int t = 0; t < n; ++t) {
        const double centred = t - half;
        double sum = gain[0] + gain[size_t(half)] * std::cos(std::numbers::pi * centred);
        for (int k = 1; k < half; ++k)
            sum += 2.0 * gain[size_t(k)] * std::cos(2.0 * std::numbers::pi * k * centred / n);
        const double window = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * t / n);
        m_taps[size_t(t)] = sum / n * window;
    }
}

void CCurveFilter::Process(const double* in, double* out, size_t count) {
    if (!IsActive()) {
        std::copy(in, in + count, out);
        return;
    }
    std::vector<double> x(m_history);
    x.insert(x.end(), in, in + count);
    const size_t taps = m_taps.size();
    for (size_t i = 0; i < count; ++i) {
        double sum = 0.0;
        const double* newest = &x[i + taps - 1];
        for (size_t j = 0; j < taps; ++j)
            sum += m_taps[j] * newest[-std::ptrdiff_t(j)];
        out[i] = sum;
    }
    m_history.assign(x.end() - std::ptrdiff_t(taps - 1), x.end());
}
