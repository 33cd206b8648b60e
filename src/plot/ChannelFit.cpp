// The Y scale that shows a channel's traces whole, for the "Fit" command.
#include "plot/Channel.h"
#include "plot/ScaleFit.h"

#include <algorithm>
#include <cmath>

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
    CScaleFitAxis axis;
    axis.divisions = std::max(1, m_grid.yDivisions);
    axis.zeroPercent = layout == EYLayout::FromBottom ? m_yOffset : 50.0;
    axis.decibels = layout == EYLayout::CentredDecibels;
    return FitScaleIndex(values, scales, axis);
}
