// The view's side of its plot: the theme and background of a paint, plot channels in the
// document's shape, and the mouse, whose marker clicks stop the run and repaint.
#include "process/DspView.h"

#include "process/DspApp.h"
#include "process/DspDoc.h"

void CDspView::OnDraw(ICanvas& canvas, const CRect& rect) {
    const CDspDoc* doc = GetDocument();
    const bool emptyProcess =
        !doc || doc->GetProcessDesc(this).find("Step: 1 No Modules Selected") != std::string::npos;
    const CDspApp* app = doc ? doc->GetApp() : nullptr;
    const bool bitmaps = app && app->GetSettings().enableCustomBackgroundBitmaps != 0;
    // The theme in force when the view paints; modules draw after this with these colours.
    // With background bitmaps on, the host has painted the bitmap already.
    m_plot.BeginPaint(canvas, GetScreenRect(rect), app && app->GetSettings().lightPlots,
                      emptyProcess || !bitmaps);
}

void CDspView::CreateChannels() {
    m_plot.CreateChannels(GetDocument() ? GetDocument()->GetNumChans() : 2);
}

void CDspView::OnLButtonDown(CPoint point) {
    const CPlot::EClick click = m_plot.OnLButtonDown(point);
    if (click == CPlot::EClick::Missed) return;
    if (click == CPlot::EClick::MarkerOn) StopProcess();
    Invalidate();
}

void CDspView::OnMouseMove(CPoint point, bool leftButtonDown) {
    if (m_plot.OnMouseMove(point, leftButtonDown)) Invalidate();
}

void CDspView::OnLButtonUp(CPoint) {
    m_plot.OnLButtonUp();
    Invalidate();
}
