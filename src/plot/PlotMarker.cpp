#include "plot/PlotMarker.h"

#include "plot/AxisText.h"
#include "base/NumberText.h"
#include "plot/PlotValues.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSqrt2 = 1.4142135623730951;

} // namespace

std::string MarkerValueText(const CTraceArrays& arrays, const CReadoutScale& scale, int32_t index) {
    if (arrays.size <= 0) return {};
    const int32_t n = arrays.size;
    const int32_t i = std::clamp(index, 0, n - 1);
    if (scale.yCode == EPlotY::Degrees) {
        if (!arrays.phase) return {};
        const double shift = 360.0 * scale.delay * scale.sampleRate / (2.0 * n);
        return GetFormattedDegText(WrapDegrees(arrays.phase[i] + shift));
    }
    if (scale.yCode == EPlotY::Ohms) {
        if (!arrays.magnitude || !arrays.phase || !arrays.companionMagnitude ||
            !arrays.companionPhase)
            return {};
        // The delay shifts both phases alike, which leaves the ratio of the two unchanged.
        return GetFormattedOhmsText(ImpedanceMagnitude(arrays.magnitude[i], arrays.phase[i],
                                                       arrays.companionMagnitude[i],
                                                       arrays.companionPhase[i], scale.ref1));
    }
    const double* values = scale.timeAxis ? arrays.time : arrays.magnitude;
    if (!values) return {};
    const double m = values[i] * scale.gain;
    switch (scale.yCode) {
    case EPlotY::VoltsRms:
        return GetFormattedVoltsText(m / kSqrt2) + "rms";
    case EPlotY::DBVPeak:
        return GetFormatteddBText(Decibels(m)) + "pk";
    case EPlotY::DBVRms:
        return GetFormatteddBText(Decibels(m / kSqrt2)) + "rms";
    case EPlotY::DBRelative: {
        if (!arrays.magnitude) return {};
        const double bin = std::floor(scale.ref1 / (scale.sampleRate / n));
        const int32_t r = bin > 0.0 ? int32_t(std::min(bin, double(n - 1))) : 0;
        return GetFormatteddBText(Decibels(m / arrays.magnitude[r]));
    }
    case EPlotY::DBSPL:
        return GetFormatteddBText(Decibels(m / (scale.ref1 / n)) + 94.0);
    case EPlotY::Ratio:
        return FormatText("%.3f", m);
    default:
        return GetFormattedVoltsText(m) + "pk ";
    }
}

void PlaceMarker(CPlotMarker& marker, const CPlotAxis& axis, const CRect& plot, double* frequency) {
    if (marker.dragFinished && !marker.pointPending) {
        marker.x = ClampPixel(axis.MarkerX(marker.index), plot.left);
        return;
    }
    marker.index = axis.MarkerIndex(marker.point.x, frequency);
    marker.pointPending = false;
    const double height = double(marker.point.y - plot.top) / (plot.bottom - plot.top);
    marker.height = std::isnan(height) ? 0.0 : std::clamp(height, 0.0, 1.0);
    marker.x = marker.point.x;
}

void DrawMarkerReadout(ICanvas& canvas, const CRect& plot, const CPlotMarker& marker,
                       const std::string& text, CColour colour) {
    if (plot.IsRectEmpty()) return;
    canvas.PushClip(plot);
    canvas.SetPen({colour, 1});
    canvas.DrawLine({marker.x, plot.top}, {marker.x, plot.bottom - 1});
    const CSize extent = canvas.GetTextExtent(text);
    const int32_t centre = plot.left + (plot.right - plot.left) / 2;
    const int32_t x = marker.x < centre ? marker.x + 5 : marker.x - 5 - extent.cx;
    const double markerY = plot.top + marker.height * (plot.bottom - plot.top);
    const int32_t y = std::clamp(ClampPixel(markerY - extent.cy / 2.0, plot.top), plot.top,
                                 std::max(plot.top, plot.bottom - extent.cy));
    canvas.DrawText({x, y}, text, colour);
    canvas.PopClip();
}
