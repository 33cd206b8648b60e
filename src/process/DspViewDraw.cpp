// The view's drawing: the plot area, its background and the tick marks on the view's own grid
// layout.
#include "process/DspView.h"

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
    // The theme in force when the view paints; modules draw after this with these colours.
    m_plotColours = app && app->GetSettings().lightPlots ? LightPlotColours() : CPlotColours{};
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
