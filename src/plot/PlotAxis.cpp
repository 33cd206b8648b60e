#include "plot/PlotAxis.h"

#include "base/NumberText.h"

#include <algorithm>
#include <cmath>

namespace {

// floor(v) as an index in 0..limit; NaN gives 0.
int32_t FloorIndex(double v, int32_t limit) {
    if (!(v > 0.0)) return 0;
    return static_cast<int32_t>(std::min(std::floor(v), double(std::max(0, limit))));
}

} // namespace

CPlotAxis CPlotAxis::Across(const CRect& plot, EAxisKind kind) {
    CPlotAxis axis;
    axis.kind = kind;
    axis.left = plot.left;
    axis.width = plot.right - plot.left;
    return axis;
}

double CPlotAxis::LowFrequency() const {
    return startBin != 0 ? startBin * BinWidth() : lowestFrequency;
}

double CPlotAxis::HighFrequency() const {
    return (stopBin - 1) * BinWidth();
}

bool CPlotAxis::IsDrawable() const {
    if (!(width > 0.0) || !(sampleRate > 0.0) || blockSize <= 0) return false;
    switch (kind) {
    case EAxisKind::time:
        return timePerDivision > 0.0;
    case EAxisKind::linear:
        return stopBin > startBin;
    case EAxisKind::log:
        return LowFrequency() > 0.0 && HighFrequency() > LowFrequency();
    }
    return false;
}

double CPlotAxis::XOfFrequency(double f) const {
    const double low = std::log10(LowFrequency());
    return left + width * (std::log10(f) - low) / (std::log10(HighFrequency()) - low);
}

double CPlotAxis::XOfElement(int32_t k) const {
    switch (kind) {
    case EAxisKind::time:
        return left + width * (timeOffset - 50.0) / 100.0 +
               k * width / (10.0 * timePerDivision * sampleRate);
    case EAxisKind::linear: {
        const double perBin = width / (stopBin - startBin);
        const double origin = left - startBin * perBin;
        return k == 0 ? origin : origin + (k + 1) * perBin;
    }
    case EAxisKind::log:
        return XOfFrequency(k == 0 ? 1.0 : (k + 1) * BinWidth());
    }
    return left;
}

int32_t CPlotAxis::MarkerIndex(int32_t x, double* frequency) const {
    const double dx = x - left;
    switch (kind) {
    case EAxisKind::time: {
        const double position = (dx - width * (timeOffset - 50.0) / 100.0) / width;
        return FloorIndex(position * (timePerDivision * 10.0 * sampleRate), blockSize - 1);
    }
    case EAxisKind::linear:
        return FloorIndex(std::max(0.0, dx) / width * (stopBin - startBin) + startBin,
                          blockSize / 2);
    case EAxisKind::log: {
        const double high = std::log10(std::min(stopBin * BinWidth(), sampleRate / 2.0));
        const double low = std::log10(std::max(startBin * BinWidth(), lowestFrequency));
        const double logWidth = width / (1.0 - low / high);
        const double f = std::pow(10.0, high * (logWidth - width + dx) / logWidth);
        if (frequency) *frequency = f;
        return FloorIndex(f / BinWidth(), blockSize / 2);
    }
    }
    return 0;
}

double CPlotAxis::MarkerX(int32_t index) const {
    switch (kind) {
    case EAxisKind::time:
        return XOfElement(index);
    case EAxisKind::linear:
        return left + width * (index - startBin) / (stopBin - startBin);
    case EAxisKind::log:
        return XOfFrequency((index + 1) * BinWidth());
    }
    return left;
}

std::string CPlotAxis::MarkerText(int32_t index) const {
    switch (kind) {
    case EAxisKind::time:
        return FormatText("%7.7f Sec, ", index / sampleRate);
    case EAxisKind::linear:
        return FormatText("%5.1f Hz, ", index * BinWidth());
    case EAxisKind::log:
        return FormatText("%5.1f Hz,", index * BinWidth());
    }
    return {};
}
