// Marker dragging on plain points: a click in a plot toggles its marker, a drag moves it, the
// release places it by its index. Views that draw through plot channels keep one marker per
// channel; the others keep the single marker of the view's plot rectangle.
#include "process/DspView.h"

#include "process/DspDoc.h"

namespace {

bool Contains(const CRect& r, CPoint p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

} // namespace

CChannel* CDspView::GetChannelPointer(int index) const {
    return m_pChannels ? m_pChannels->GetAt(index) : nullptr;
}

void CDspView::CreateChannels() {
    if (m_pChannels) return;
    m_pChannels = std::make_unique<CChannelList>();
    m_pChannels->Create(GetDocument() ? GetDocument()->GetNumChans() : 2);
}

bool CDspView::UsesPlotChannels() const {
    for (int i = 0; const CChannel* channel = GetChannelPointer(i); ++i)
        if (!channel->m_plotRect.IsRectEmpty()) return true;
    return false;
}

void CDspView::OnLButtonDown(CPoint point) {
    const auto toggle = [&](CPlotMarker& marker) {
        marker.point = point;
        marker.pointPending = true;
        marker.on = !marker.on;
        if (marker.on) {
            StopProcess();
            m_capture = true;
            marker.dragFinished = false;
        } else {
            m_capture = false;
        }
        Invalidate();
    };
    if (!UsesPlotChannels()) {
        if (Contains(m_plotRect, point)) toggle(m_plotMarker);
        return;
    }
    for (int i = 0; CChannel* channel = GetChannelPointer(i); ++i) {
        if (Contains(channel->m_plotRect, point)) {
            toggle(channel->m_marker);
            return;
        }
    }
}

void CDspView::OnMouseMove(CPoint point, bool leftButtonDown) {
    if (!m_capture) return;
    if (!UsesPlotChannels()) {
        if (!Contains(m_plotRect, point)) {
            if (leftButtonDown) m_capture = false;
            return;
        }
        if (!m_plotMarker.on) return;
        m_plotMarker.point = point;
        m_plotMarker.pointPending = true;
        Invalidate();
        return;
    }
    for (int i = 0; CChannel* channel = GetChannelPointer(i); ++i) {
        if (channel->m_marker.on && Contains(channel->m_plotRect, point)) {
            channel->m_marker.point = point;
            channel->m_marker.pointPending = true;
            Invalidate();
        }
    }
}

void CDspView::OnLButtonUp(CPoint) {
    m_capture = false;
    m_plotMarker.dragFinished = true;
    for (int i = 0; CChannel* channel = GetChannelPointer(i); ++i)
        channel->m_marker.dragFinished = true;
    Invalidate();
}
