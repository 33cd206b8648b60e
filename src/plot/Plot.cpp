#include "plot/Plot.h"

#include <algorithm>

namespace {

bool Contains(const CRect& r, CPoint p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

} // namespace

CPlot::CPlot() = default;
CPlot::~CPlot() = default;

void CPlot::BeginPaint(ICanvas& canvas, const CRect& area, bool lightColours, bool fillBackground) {
    m_colours = lightColours ? LightPlotColours() : CPlotColours{};
    if (fillBackground) canvas.FillRect(area, kApplicationBackground);
}

void CPlot::DrawXDirTicks(ICanvas& canvas, const CRect& rect, int index) const {
    canvas.SetPen({m_colours.grid, 1});
    ::DrawXDirTicks(canvas, rect, m_grid, index);
}

void CPlot::DrawYDirTicks(ICanvas& canvas, const CRect& rect, int index) const {
    canvas.SetPen({m_colours.grid, 1});
    ::DrawYDirTicks(canvas, rect, m_grid, index);
}

void CPlot::SetBarHeights(int controlBar, int statusBar) {
    m_controlBarHeight = std::max(0, controlBar);
    m_statusBarHeight = std::max(0, statusBar);
}

CRect CPlot::Area(const CRect& client) const {
    CRect area = client;
    area.bottom = std::max(area.top, area.bottom - m_controlBarHeight - m_statusBarHeight);
    return area;
}

void CPlot::CreateChannels(int count) {
    if (m_channels) return;
    m_channels = std::make_unique<CChannelList>();
    m_channels->Create(count);
}

CChannel* CPlot::GetChannel(int index) const {
    return m_channels ? m_channels->GetAt(index) : nullptr;
}

void CPlot::SelectChannel(int channel) {
    for (int i = 0; i < 2; ++i)
        if (CChannel* plot = GetChannel(i)) plot->m_selected = channel == i + 1;
}

bool CPlot::UsesPlotChannels() const {
    for (int i = 0; const CChannel* channel = GetChannel(i); ++i)
        if (!channel->m_plotRect.IsRectEmpty()) return true;
    return false;
}

CPlot::EClick CPlot::OnLButtonDown(CPoint point) {
    CPlotMarker* marker = nullptr;
    if (!UsesPlotChannels()) {
        if (Contains(m_plotRect, point)) marker = &m_marker;
    } else {
        for (int i = 0; CChannel* channel = GetChannel(i); ++i)
            if (Contains(channel->m_plotRect, point)) {
                marker = &channel->m_marker;
                break;
            }
    }
    if (!marker) return EClick::Missed;
    marker->point = point;
    marker->pointPending = true;
    marker->on = !marker->on;
    m_capture = marker->on;
    if (!marker->on) return EClick::MarkerOff;
    marker->dragFinished = false;
    return EClick::MarkerOn;
}

bool CPlot::OnMouseMove(CPoint point, bool leftButtonDown) {
    if (!m_capture) return false;
    const auto moveTo = [&](CPlotMarker& marker) {
        marker.point = point;
        marker.pointPending = true;
    };
    if (!UsesPlotChannels()) {
        if (!Contains(m_plotRect, point)) {
            if (leftButtonDown) m_capture = false;
            return false;
        }
        if (!m_marker.on) return false;
        moveTo(m_marker);
        return true;
    }
    bool moved = false;
    for (int i = 0; CChannel* channel = GetChannel(i); ++i) {
        if (channel->m_marker.on && Contains(channel->m_plotRect, point)) {
            moveTo(channel->m_marker);
            moved = true;
        }
    }
    return moved;
}

void CPlot::OnLButtonUp() {
    m_capture = false;
    m_marker.dragFinished = true;
    for (int i = 0; CChannel* channel = GetChannel(i); ++i)
        channel->m_marker.dragFinished = true;
}
