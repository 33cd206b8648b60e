// The view's drawing: the plot area, its background, the tick marks and axis texts on the
// view's own grid layout, and the single marker of a view without plot channels.
#include "process/DspView.h"

#include "base/NumberText.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"

#include <algorithm>

void CDspView::OnDraw(ICanvas& canvas, const CRect& rect) {
    const CRect area = GetScreenRect(rect);
    const CDspDoc* doc = GetDocument();
    const bool emptyProcess =
        !doc || doc->GetProcessDesc(this).find("Step: 1 No Modules Selected") != std::string::npos;
    const CDspApp* app = doc ? doc->GetApp() : nullptr;
    const bool bitmaps = app && app->GetSettings().enableCustomBackgroundBitmaps != 0;
    // With background bitmaps on, the host has painted the bitmap already.
    if (emptyProcess || !bitmaps) canvas.FillRect(area, kApplicationBackground);
}

CRect CDspView::GetScreenRect(const CRect& client) const {
    CRect area = client;
    area.bottom = std::max(area.top, area.bottom - m_controlBarHeight - m_statusBarHeight);
    return area;
}

void CDspView::SetBarHeights(int controlBar, int statusBar) {
    m_controlBarHeight = std::max(0, controlBar);
    m_statusBarHeight = std::max(0, statusBar);
}

void CDspView::DrawXDirTicks(ICanvas& canvas, const CRect& rect, int index) const {
    canvas.SetPen({m_plotColours.grid, 1});
    ::DrawXDirTicks(canvas, rect, m_gridLayout, index);
}

void CDspView::DrawYDirTicks(ICanvas& canvas, const CRect& rect, int index) const {
    canvas.SetPen({m_plotColours.grid, 1});
    ::DrawYDirTicks(canvas, rect, m_gridLayout, index);
}

std::string CDspView::DrawMarker(ICanvas& canvas, const CChan& chan) {
    if (!m_plotMarker.on) return {};
    const CPlotAxis axis = chan.GetAxis();
    const bool dragging = !m_plotMarker.dragFinished;
    double frequency = 0.0;
    PlaceMarker(m_plotMarker, axis, chan.markerRect, &frequency);
    std::string text = axis.MarkerText(m_plotMarker.index);
    // While dragging, frequencies are shown to the hertz, on log axes where the mouse is.
    if (dragging && axis.kind == EAxisKind::log) text = FormatText("%5.0f Hz,", frequency);
    if (dragging && axis.kind == EAxisKind::linear)
        text = FormatText("%5.0f Hz, ", m_plotMarker.index * axis.BinWidth());
    const bool b = chan.DrawsChannelB();
    const CTraceArrays arrays{b ? chan.bTime : chan.aTime,   b ? chan.bMagnitude : chan.aMagnitude,
                              b ? chan.bPhase : chan.aPhase, b ? chan.aMagnitude : chan.bMagnitude,
                              b ? chan.aPhase : chan.bPhase, chan.blockSize};
    const CReadoutScale scale{chan.markerYCode, chan.gain,       chan.delay,
                              chan.reference,   chan.sampleRate, axis.kind == EAxisKind::time};
    text += MarkerValueText(arrays, scale, m_plotMarker.index);
    DrawMarkerReadout(canvas, chan.markerRect, m_plotMarker, text, m_plotColours.marker);
    return text;
}
