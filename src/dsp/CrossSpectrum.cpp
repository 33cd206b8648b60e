#include "dsp/CrossSpectrum.h"

#include "dsp/FFTPlan.h"
#include "dsp/WindowTable.h"

#include <algorithm>
#include <array>
#include <utility>
#include <cmath>

void CCrossSpectrum::CSpectra::Assign(size_t bins, double value) {
    for (std::vector<double>* v : {&xx, &yy, &xyRe, &xyIm})
        v->assign(bins, value);
}

bool CCrossSpectrum::Configure(int32_t segment, int window, double overlap) {
    if (segment < 16 || !CFFTPlan::ForSize(segment) || !(overlap >= 0.0 && overlap <= 0.95))
        return false;
    m_segment = segment;
    m_window = window;
    m_overlap = overlap;
    Reset();
    return true;
}

void CCrossSpectrum::SetAveraging(ESpectrumAveraging mode, int count) {
    m_mode = mode;
    m_count = std::max(count, 1);
    if (m_recent.size() <= size_t(m_count)) return;
    while (m_recent.size() > size_t(m_count))
        m_recent.pop_front();
    SumWindow();
    if (m_mode == ESpectrumAveraging::kPasses) AverageWindow();
}

void CCrossSpectrum::Reset() {
    m_average.Assign(size_t(Bins()), 0.0);
    m_sum.Assign(size_t(Bins()), 0.0);
    m_passes = 0;
    m_segments = 0;
    m_turnover = 0;
    m_recent.clear();
}

int CCrossSpectrum::WelchPass(const double* x, const double* y, int32_t count,
                              CSpectra& pass) const {
    const CFFTPlan* plan = CFFTPlan::ForSize(m_segment);
    const double* w = WindowTable(m_window, m_segment);
    const int32_t bins = Bins();
    // Segments start a hop apart and the last one ends inside the pass; a hop of at least one
    // sample keeps an overlap near 1 from looping forever.
    const int32_t hop = std::max<int32_t>(1, int32_t(std::lround(m_segment * (1.0 - m_overlap))));
    pass.Assign(size_t(bins), 0.0);
    thread_local std::vector<double> xr, xi, yr, yi;
    xr.resize(size_t(bins));
    xi.resize(size_t(bins));
    yr.resize(size_t(bins));
    yi.resize(size_t(bins));
    int segments = 0;
    for (int32_t start = 0; start + m_segment <= count; start += hop, ++segments) {
        plan->Forward(x + start, m_segment, w, xr.data(), xi.data());
        plan->Forward(y + start, m_segment, w, yr.data(), yi.data());
        for (int32_t k = 0; k < bins; ++k) {
            pass.xx[k] += xr[k] * xr[k] + xi[k] * xi[k];
            pass.yy[k] += yr[k] * yr[k] + yi[k] * yi[k];
            pass.xyRe[k] += xr[k] * yr[k] + xi[k] * yi[k];
            pass.xyIm[k] += xr[k] * yi[k] - xi[k] * yr[k];
        }
    }
    if (segments > 0)
        for (std::vector<double>* v : {&pass.xx, &pass.yy, &pass.xyRe, &pass.xyIm})
            for (double& s : *v)
                s /= segments;
    return segments;
}

int CCrossSpectrum::AddPass(const double* x, const double* y, int32_t count) {
    CSpectra pass;
    const int segments = WelchPass(x, y, count, pass);
    if (segments > 0) Combine(std::move(pass), segments);
    return segments;
}

namespace {
std::array<std::vector<double>*, 4> Fields(CCrossSpectrum::CSpectra& s) {
    return {&s.xx, &s.yy, &s.xyRe, &s.xyIm};
}
std::array<const std::vector<double>*, 4> Fields(const CCrossSpectrum::CSpectra& s) {
    return {&s.xx, &s.yy, &s.xyRe, &s.xyIm};
}
/** to += factor * from, field by field. */
void AddScaled(CCrossSpectrum::CSpectra& to, const CCrossSpectrum::CSpectra& from, double factor) {
    const auto dst = Fields(to);
    const auto src = Fields(from);
    for (size_t f = 0; f < 4; ++f)
        for (size_t k = 0; k < dst[f]->size(); ++k)
            (*dst[f])[k] += factor * (*src[f])[k];
}
} // namespace

void CCrossSpectrum::SumWindow() {
    m_sum.Assign(size_t(Bins()), 0.0);
    m_segments = 0;
    for (const auto& [spectra, n] : m_recent) {
        AddScaled(m_sum, spectra, n);
        m_segments += n;
    }
    m_turnover = 0;
}

void CCrossSpectrum::AverageWindow() {
    const auto avg = Fields(m_average);
    const auto sum = Fields(std::as_const(m_sum));
    for (size_t f = 0; f < 4; ++f)
        for (size_t k = 0; k < avg[f]->size(); ++k)
            (*avg[f])[k] = m_segments > 0 ? (*sum[f])[k] / double(m_segments) : 0.0;
    m_passes = int(m_recent.size());
}

void CCrossSpectrum::Combine(CSpectra pass, int segments) {
    const auto avg = Fields(m_average);
    if (m_mode == ESpectrumAveraging::kPasses) {
        // Running sums of the passes in the window, each weighed by its segments: the pass in
        // added, the pass out taken off. Summed afresh each time the window has turned over, so
        // that the rounding of passes long gone does not build up.
        AddScaled(m_sum, pass, segments);
        m_segments += segments;
        m_recent.emplace_back(std::move(pass), segments);
        while (m_recent.size() > size_t(m_count)) {
            AddScaled(m_sum, m_recent.front().first, -m_recent.front().second);
            m_segments -= m_recent.front().second;
            m_recent.pop_front();
            ++m_turnover;
        }
        if (m_turnover >= m_count) SumWindow();
        AverageWindow();
        return;
    }
    // Infinite: each pass weighs by its segments. Exponential: the same until N passes are in,
    // so the start is not biased towards the first pass, then a fixed weight of 1/N.
    ++m_passes;
    m_segments += segments;
    const double weight = m_mode == ESpectrumAveraging::kExponential && m_passes > m_count
                              ? 1.0 / m_count
                              : double(segments) / double(m_segments);
    const auto src = Fields(std::as_const(pass));
    for (size_t f = 0; f < 4; ++f)
        for (size_t k = 0; k < avg[f]->size(); ++k)
            (*avg[f])[k] += weight * ((*src[f])[k] - (*avg[f])[k]);
}
