#include "modules/scope/OscTrace.h"

#include <cmath>
#include <limits>

int32_t OscPixel(double v) {
    constexpr double lo = std::numeric_limits<int32_t>::min();
    constexpr double hi = std::numeric_limits<int32_t>::max();
    if (std::isnan(v)) return 0;
    if (v <= lo) return std::numeric_limits<int32_t>::min();
    if (v >= hi) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(v);
}

int32_t OscTraceOrigin(const CRect& plot, int32_t horizontalPosition) {
    const int64_t width = int64_t(plot.right) - plot.left;
    return static_cast<int32_t>(plot.left + (int64_t(horizontalPosition) - 50) * width / 100);
}

int32_t OscZeroLine(const CRect& plot, int32_t verticalPosition) {
    const int64_t height = int64_t(plot.bottom) - plot.top;
    return static_cast<int32_t>(plot.top + (100 - int64_t(verticalPosition)) * height / 100);
}

std::vector<CPoint> OscTracePoints(const CYChannel& trace, const CRect& plot,
                                   int32_t horizontalPosition, double timePerDivision) {
    const double width = double(plot.right) - plot.left;
    const double height = double(plot.bottom) - plot.top;
    const int32_t x0 = OscTraceOrigin(plot, horizontalPosition);
    const int32_t y0 = OscZeroLine(plot, trace.verticalPosition);
    if (trace.ground || trace.sampleCount < 2 || !trace.samples)
        return {{x0, y0}, {OscPixel(double(x0) + width), y0}};

    const double pixelsPerVolt = -height / (kOscVerticalDivisions * trace.voltsPerDivision);
    const double pixelsPerSample = trace.samplePeriod / timePerDivision * width / 10.0;
    const auto x = [&](int32_t i) { return OscPixel(x0 + i * pixelsPerSample); };
    const auto y = [&](int32_t i) {
        const double v = std::isnan(trace.samples[i]) ? 0.0 : trace.samples[i];
        return OscPixel(y0 + v * pixelsPerVolt);
    };

    std::vector<CPoint> points{{x(0), y(0)}};
    for (int32_t i = 1; i < trace.sampleCount && points.back().x <= plot.right; ++i) {
        const CPoint next{x(i), y(i)};
        if (trace.digital) {
            points.push_back({next.x, points.back().y});
            if (next.y != points.back().y) points.push_back(next);
        } else {
            points.push_back(next);
        }
    }
    return points;
}
