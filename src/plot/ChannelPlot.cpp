// The traces of a plot channel: points by the two mappings, drawn as a line or as bars.
#include "plot/Channel.h"

#include "plot/HLS.h"
#include "plot/PlotValues.h"
#include "plot/TraceThinning.h"

#include <algorithm>
#include <cmath>

namespace {

// Rainbow bars run from red at the left edge through the hues to blue at the right.
constexpr int kRainbowHueSpan = 152;
constexpr int kRainbowLightness = 124;
constexpr int kRainbowSaturation = 240;

} // namespace

bool CChannel::HasArrays(const CTraceArrays& a) const {
    if (a.size <= 0) return false;
    const bool time = m_xCode == EPlotX::Time;
    switch (m_yCode) {
    case EPlotY::Degrees:
        return a.phase;
    case EPlotY::Ohms:
        return a.magnitude && a.phase && a.companionMagnitude && a.companionPhase;
    case EPlotY::DBRelative:
        return a.magnitude && (time ? a.time : a.magnitude);
    default:
        return time ? a.time != nullptr : a.magnitude != nullptr;
    }
}

std::vector<std::vector<CPoint>> CChannel::TracePoints(const CTraceArrays& arrays,
                                                       const CPlotAxis& axis, const CRect& rect,
                                                       const CRect& trace) const {
    std::vector<std::vector<CPoint>> runs(1);
    if (!axis.IsDrawable()) return {};
    // The stop bin may lie beyond the block; the arrays end there.
    const int32_t last = m_xCode == EPlotX::Time ? std::min(m_numUsed, arrays.size) - 1
                                                 : std::min(m_stopBin, arrays.size - 1);
    for (int32_t k = 0; k <= last; ++k) {
        const double x = axis.XOfElement(k);
        const double value = TraceValue(arrays, k);
        // Of the points left of the plot only the last one matters: it starts the line.
        if (x < rect.left) runs.assign(1, {});
        if (std::isnan(value)) {
            if (!runs.back().empty()) runs.emplace_back();
        } else {
            runs.back().push_back(
                {ClampPixel(x, rect.left), ClampPixel(YOfValue(value, trace), rect.bottom)});
        }
        if (x > rect.right) break;
    }
    if (runs.back().empty()) runs.pop_back();
    for (std::vector<CPoint>& run : runs)
        ThinToPixelColumns(run);
    return runs;
}

void CChannel::DrawBars(ICanvas& canvas, const std::vector<CPoint>& points,
                        const CRect& rect) const {
    const bool rainbow = m_plotStyle >= 4;
    const int kind = (m_plotStyle - 1) % 3; // 0 solid, 1 sunken, 2 hollow
    const double width = rect.right - rect.left;
    for (size_t i = 1; i < points.size(); ++i) {
        const CRect bar{std::min(points[i - 1].x, points[i].x), std::min(points[i].y, rect.bottom),
                        std::max(points[i - 1].x, points[i].x), std::max(points[i].y, rect.bottom)};
        if (bar.right == bar.left) continue;
        CColour fill = TraceColour();
        if (rainbow) {
            const int hue = std::max(0, int((bar.left - rect.left) / width * kRainbowHueSpan));
            fill = HLStoRGB(hue, kRainbowLightness, kRainbowSaturation);
        }
        const bool edged = bar.right - bar.left > 2;
        switch (kind) {
        case 0:
            canvas.FillRect(bar, fill);
            if (edged) canvas.Draw3dRect(bar, TraceColour(), m_colours.background);
            break;
        case 1:
            canvas.FillRect(bar, fill);
            if (edged) canvas.DrawSunkenEdge(bar, kEdgeTop | kEdgeRight);
            break;
        default:
            canvas.SetBrush(rainbow ? fill : m_colours.background);
            canvas.Rectangle(bar);
            break;
        }
    }
}

void CChannel::PlotData(ICanvas& canvas) const {
    if (PlotYTraits(m_yCode).layout == EYLayout::Nothing) return;
    canvas.SetFont(canvas.IsPrinting() ? kPlotLargeFont : kPlotSmallFont);
    const CTextMetrics metrics = canvas.GetTextMetrics();
    canvas.SetPen({TraceColour(), canvas.IsPrinting() ? std::max(1, canvas.GetDpiX() / 64) : 1});
    for (int t = 0; t < TraceCount(); ++t) {
        const CTraceArrays arrays = GetTraceArrays(t);
        if (!HasArrays(arrays)) continue;
        const CRect traceRect = GetTraceRect(metrics, t);
        const CRect& rect = m_loggedPlots.empty() ? m_plotRect : traceRect;
        canvas.PushClip(rect);
        for (const std::vector<CPoint>& points :
             TracePoints(arrays, GetXAxis(metrics, t), rect, traceRect)) {
            if (m_plotStyle >= 1 && m_plotStyle <= 6)
                DrawBars(canvas, points, rect);
            else
                canvas.DrawPolyline(points);
        }
        canvas.PopClip();
    }
}
