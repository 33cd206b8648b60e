#include "plot/ScaleFit.h"

#include <algorithm>
#include <cmath>

namespace {
// Decibel traces are fitted to this many dB below their top: the empty bins of a clean
// spectrum lie hundreds of dB down and would leave the tones a sliver at the top.
constexpr double kDecibelDepth = 100.0;
} // namespace

int FitScaleIndex(const std::vector<double>& values, const std::vector<double>& scales,
                  const CScaleFitAxis& axis) {
    double top = -INFINITY;
    for (double v : values)
        if (std::isfinite(v)) top = std::max(top, v);
    if (scales.empty() || !std::isfinite(top)) return -1;
    double high = 0.0; // the reach the range needs above and below the zero line
    double low = 0.0;
    for (double v : values) {
        if (!std::isfinite(v) || (axis.decibels && v < top - kDecibelDepth)) continue;
        high = std::max(high, v);
        low = std::max(low, -v);
    }
    const double above = axis.divisions * (100.0 - axis.zeroPercent) / 100.0;
    const double below = axis.divisions * axis.zeroPercent / 100.0;
    // A side with no divisions (the zero line at an edge) cannot show anything at any scale.
    for (size_t i = 0; i < scales.size(); ++i)
        if ((above <= 0 || high <= scales[i] * above) && (below <= 0 || low <= scales[i] * below))
            return int(i);
    return int(scales.size()) - 1;
}
