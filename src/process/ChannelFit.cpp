// The Y scale that shows a channel's traces whole, for the "Fit" command.
#include "process/Channel.h"

#include <algorithm>
#include <cmath>

namespace {
// Decibel traces are fitted to this many dB below their top: the empty bins of a clean
// spectrum lie hundreds of dB down and would leave the tones a sliver at the top.
constexpr double kDecibelDepth = 100.0;
} // namespace

int CChannel::FitScale(const std::vector<double>& scales) const {
    const EYLayout layout = PlotYTraits(m_yCode).layout;
    if (scales.empty() || (layout != EYLayout::FromBottom && layout != EYLayout::CentredDecibels))
        return -1;
    std::vector<double> values;
    for (int t = 0; t < TraceCount(); ++t) {
        const CTraceArrays arrays = GetTraceArrays(t);
        if (!HasArrays(arrays)) continue;
        const bool time = m_xCode == EPlotX::Time;
        const int32_t first = time ? 0 : std::max(0, m_startBin);
        const int32_t last =
            time ? std::min(m_numUsed, arrays.size) - 1 : std::min(m_stopBin, arrays.size - 1);
        for (int32_t k = first; k <= last; ++k) {
            const double v = TraceValue(arrays, k);
            if (std::isfinite(v)) values.push_back(v);
        }
    }
    if (values.empty()) return -1;

    const double divisions = std::max(1, m_grid.yDivisions);
    double need = 0.0; // the largest value the range must reach, in scale units
    double perScale = divisions;
    if (layout == EYLayout::FromBottom) {
        need = *std::max_element(values.begin(), values.end());
        perScale = divisions * (1.0 - m_yOffset / 100.0);
    } else {
        const double top = *std::max_element(values.begin(), values.end());
        for (double v : values)
            if (v >= top - kDecibelDepth) need = std::max(need, std::fabs(v));
        perScale = divisions / 2.0;
    }
    for (size_t i = 0; i < scales.size(); ++i)
        if (need <= scales[i] * perScale) return int(i);
    return int(scales.size()) - 1;
}
