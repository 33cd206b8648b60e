// The oscilloscope's picture: a 10 x 8 division grid, the readouts that fit, both traces and
// the gate band, drawn off screen and copied in one piece.
#include "modules/scope/OscView.h"

#include "platform/Canvas.h"
#include "plot/PlotColours.h"

#include <algorithm>

namespace {

bool Overlaps(const CRect& a, const CRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Inside(const CRect& inner, const CRect& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

// Inverts the plot's full height between two columns, whichever is further left.
void InvertBand(ICanvas& canvas, const CRect& plot, int32_t a, int32_t b) {
    canvas.InvertRect({std::min(a, b), plot.top, std::max(a, b), plot.bottom});
}

} // namespace

CRect COscView::ReadoutBox(EReadoutPlace place, CSize size, const CRect& plot, int32_t pad) {
    int32_t left = plot.left + pad;
    if (place == EReadoutPlace::TopCentre)
        left = plot.left + (plot.right - plot.left - size.cx) / 2;
    if (place == EReadoutPlace::TopRight || place == EReadoutPlace::BottomRight)
        left = plot.right - pad - size.cx;
    const bool bottom = place == EReadoutPlace::BottomLeft || place == EReadoutPlace::BottomRight;
    const int32_t top = bottom ? plot.bottom - pad - size.cy : plot.top + pad;
    return {left, top, left + size.cx, top + size.cy};
}

void COscView::OnDraw(ICanvas& canvas, const CRect& rect) {
    const CRect area = GetScreenRect(rect);
    canvas.BeginLayer(area);
    CDspView::OnDraw(canvas, rect);
    m_plot.SetPlotRect(area.Deflated(m_margins));
    const CRect& plot = m_plot.PlotRect();
    if (plot.IsRectEmpty()) {
        canvas.EndLayer();
        return;
    }
    canvas.FillRect(plot, GetPlotColours().background);
    DrawGrid(canvas, plot);

    // Readouts, each only where it fits beside those already drawn.
    canvas.SetFont(canvas.IsPrinting() ? kPlotLargeFont : kPlotSmallFont);
    const CTextMetrics metrics = canvas.GetTextMetrics();
    const int32_t pad = std::max(2, metrics.averageCharWidth / 2);
    std::vector<CRect> drawn;
    for (const CReadout& r : MakeReadouts()) {
        const std::string text = r.value.Text();
        const CRect box = ReadoutBox(r.place, canvas.GetTextExtent(text), plot, pad);
        if (!Inside(box, plot) || std::any_of(drawn.begin(), drawn.end(),
                                              [&](const CRect& d) { return Overlaps(d, box); }))
            continue;
        // A channel's readout is in its trace's colour: it doubles as the legend.
        const CColour colour = r.value.channel > 0
                                   ? TraceColour(GetPlotColours(), r.value.channel - 1)
                                   : GetPlotColours().marker;
        canvas.DrawText({box.left, box.top}, text, colour);
        drawn.push_back(box);
    }

    canvas.PushClip(plot);
    DrawDisplay(canvas, plot);
    const int32_t origin = OscTraceOrigin(plot, m_xPosition);
    int32_t from = 0, to = 0;
    if (m_gate.Band(origin, plot.right - plot.left, m_blockLength, from, to))
        InvertBand(canvas, plot, from, to);
    if (m_gate.IsDragging() && m_gate.GetCurrentX() != m_gate.GetPressX())
        InvertBand(canvas, plot, m_gate.GetPressX(), m_gate.GetCurrentX());
    canvas.PopClip();
    canvas.EndLayer();
}

void COscView::DrawGrid(ICanvas& canvas, const CRect& plot) const {
    const int32_t width = plot.right - plot.left;
    const int32_t height = plot.bottom - plot.top;
    const int32_t columns = m_plot.Grid().xDivisions;
    const int32_t rows = m_plot.Grid().yDivisions;
    canvas.SetPen({GetPlotColours().grid, 1});
    for (int32_t i = 0; i <= columns; ++i) {
        const int32_t x = plot.left + i * width / columns;
        canvas.DrawLine({x, plot.top}, {x, plot.bottom});
    }
    for (int32_t i = 0; i <= rows; ++i) {
        const int32_t y = plot.top + i * height / rows;
        canvas.DrawLine({plot.left, y}, {plot.right, y});
    }
    m_plot.DrawXDirTicks(canvas, plot, m_plot.Grid().xTickLine);
    m_plot.DrawYDirTicks(canvas, plot, m_plot.Grid().yTickLine);
}

int32_t COscView::PlotData(ICanvas& canvas, const CYChannel& trace, const CRect& plot) const {
    canvas.DrawPolyline(OscTracePoints(trace, plot, m_xPosition, m_timePerDivision));
    return OscTraceOrigin(plot, m_xPosition);
}

void COscView::DrawDisplay(ICanvas& canvas, const CRect& plot) {
    if (!m_pDisplayList) return;
    for (int c = 0; c < std::min(m_pDisplayList->GetNumChans(), 2); ++c) {
        CChannelSettings& ch = m_channels[size_t(c)];
        ch.trace.samples = m_pDisplayList->GetTimeData(c);
        ch.trace.sampleCount = m_pDisplayList->GetSize(c);
        const double rate = m_pDisplayList->GetSampleRate(c);
        ch.trace.samplePeriod = rate > 0.0 ? 1.0 / rate : 0.0;
        if (ch.displayType == OscDispOff) continue;
        const bool selected = m_selectedChannel == c + 1 && !canvas.IsPrinting();
        canvas.SetPen(
            {selected ? GetPlotColours().selectedTrace : TraceColour(GetPlotColours(), c), 1});
        PlotData(canvas, ch.trace, plot);
    }
}
