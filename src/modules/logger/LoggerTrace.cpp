#include "modules/logger/LoggerTrace.h"

#include "modules/logger/LoggerAxes.h"
#include "plot/PlotValues.h"

#include <algorithm>
#include <cmath>

namespace {
// What the dB types draw for a magnitude at or below zero: -200 dB.
constexpr double kFloor = 1e-10;
constexpr double kHalfRoot2 = 0.70710678118654752440;

double DB(double v) {
    return 20.0 * std::log10(v > 0.0 ? v : kFloor);
}

bool TimeAxis(const CLoggerChan& r) {
    return LoggerIsTimeAxis(r.xCode);
}

// The drawn channel's arrays, and the other channel's.
struct CArrays {
    const double* time;
    const double* magnitude;
    const double* phase;
};
CArrays Drawn(const CLoggerChan& r) {
    return LoggerDrawnChannel(r.xCode) == 0 ? CArrays{r.timeA, r.magnitudeA, r.phaseA}
                                            : CArrays{r.timeB, r.magnitudeB, r.phaseB};
}
CArrays Other(const CLoggerChan& r) {
    return LoggerDrawnChannel(r.xCode) == 0 ? CArrays{r.timeB, r.magnitudeB, r.phaseB}
                                            : CArrays{r.timeA, r.magnitudeA, r.phaseA};
}

bool HasArrays(const CLoggerChan& r) {
    const CArrays a = Drawn(r), b = Other(r);
    switch (r.yCode) {
    case kLogYNone:
        return false;
    case kLogYDegrees:
        return (r.impedanceShown ? b.phase : a.phase) != nullptr;
    case kLogYImpedance:
        return a.magnitude && a.phase && b.magnitude && b.phase;
    case kLogYdBRel:
        return a.magnitude && r.magnitudeA && (!TimeAxis(r) || a.time);
    default:
        return TimeAxis(r) ? a.time != nullptr : a.magnitude != nullptr;
    }
}

double BinFrequency(const CLoggerChan& r, int32_t i) {
    return r.blockSize > 0 ? i * r.sampleRate / r.blockSize : 0.0;
}
} // namespace

double LoggerValue(const CLoggerChan& r, int32_t i) {
    const CArrays a = Drawn(r);
    const double v = r.gain * (TimeAxis(r) ? a.time[i] : a.magnitude[i]);
    switch (r.yCode) {
    case kLogYVpk:
        return v;
    case kLogYVrms:
        return v * kHalfRoot2;
    case kLogYdBVpk:
        return DB(v);
    case kLogYdBVrms:
        return DB(v > 0.0 ? v * kHalfRoot2 : 0.0);
    case kLogYdBRel: {
        // Relative to channel 1 at the bin nearest Ref hertz, whichever channel is drawn.
        const double bin = r.sampleRate > 0.0 ? r.reference * r.blockSize / r.sampleRate : 0.0;
        const int32_t k = bin <= 0.0               ? 0
                          : bin >= r.blockSize - 1 ? r.blockSize - 1
                                                   : int32_t(std::lround(bin));
        const double m = r.magnitudeA[k];
        return DB(v > 0.0 ? v : 0.0) - DB(m);
    }
    case kLogYdBVSPL:
        return DB(v) - DB(r.reference / r.blockSize);
    case kLogYDegrees: {
        const double* phase = r.impedanceShown ? Other(r).phase : a.phase;
        return WrapDegrees(phase[i] + 360.0 * BinFrequency(r, i) * r.delay);
    }
    case kLogYImpedance: {
        const CArrays b = Other(r);
        return ImpedanceMagnitude(a.magnitude[i], a.phase[i], b.magnitude[i], b.phase[i],
                                  r.reference);
    }
    default:
        return 0.0;
    }
}

double LoggerX(const CLoggerChan& r, int32_t i, const CRect& plot) {
    const double left = plot.left, width = plot.right - plot.left;
    switch (LoggerAxisKind(r.xCode)) {
    case EAxisKind::time:
        return left + (r.horizontalPosition - 50.0) * width / 100.0 +
               i * width / (10.0 * r.timePerDivision * r.sampleRate);
    case EAxisKind::linear:
        return left + (i - r.firstBin) * width / (r.lastBin - r.firstBin);
    default: {
        const double binWidth = r.blockSize > 0 ? r.sampleRate / r.blockSize : 0.0;
        const double fmin =
            r.firstBin > 0.0 ? r.firstBin * binWidth : LoggerLowestFrequency(r.xCode);
        const double fmax = (r.lastBin - 1.0) * binWidth;
        const double span = std::log10(fmax) - std::log10(fmin);
        return left + width * (std::log10(BinFrequency(r, i)) - std::log10(fmin)) / span;
    }
    }
}

double LoggerY(const CLoggerChan& r, double value, const CRect& plot) {
    const double height = plot.bottom - plot.top;
    const double perDivision = height / 8.0;
    const double scale = r.yCode == kLogYdBVSPL ? 10.0 : r.scalePerDivision;
    const bool centred = LoggerIsDecibels(r.yCode) || r.yCode == kLogYDegrees;
    const double zero =
        centred ? plot.top + height / 2.0 : plot.bottom - r.verticalPosition * height / 100.0;
    return zero - value / scale * perDivision;
}

std::vector<CPoint> LoggerTracePoints(const CLoggerChan& r, const CRect& plot) {
    std::vector<CPoint> points;
    if (r.blockSize < 1 || !HasArrays(r) || plot.IsRectEmpty()) return points;
    const int32_t last =
        TimeAxis(r) ? r.blockSize - 1 : std::min<int32_t>(int32_t(r.lastBin), r.blockSize - 1);
    const auto y = [&](int32_t i) { return ClampPixel(LoggerY(r, LoggerValue(r, i), plot), 0); };
    // Element 0 sits at the origin of the axis: a log axis cannot place 0 Hz.
    const double origin =
        LoggerAxisKind(r.xCode) == EAxisKind::log ? plot.left : LoggerX(r, 0, plot);
    points.push_back({ClampPixel(origin, plot.left), y(0)});
    for (int32_t i = 1; i <= last; ++i) {
        const int32_t x = ClampPixel(LoggerX(r, i, plot), plot.right + 1);
        points.push_back({x, y(i)});
        if (x > plot.right) break;
    }
    return points;
}

std::vector<double> LoggerTraceValues(const CLoggerChan& r) {
    std::vector<double> values;
    if (r.blockSize < 1 || !HasArrays(r)) return values;
    const bool time = TimeAxis(r);
    const int32_t first = time ? 0 : std::max<int32_t>(0, int32_t(r.firstBin));
    const int32_t last =
        time ? r.blockSize - 1 : std::min<int32_t>(int32_t(r.lastBin), r.blockSize - 1);
    for (int32_t i = first; i <= last; ++i)
        values.push_back(LoggerValue(r, i));
    return values;
}
