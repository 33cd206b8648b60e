// The overview of a WAV file: one frame per pixel column for each channel in its own band, the
// file's readouts, and the span to play inverted; dragging across it chooses the span.
#include "modules/wav/WaveFileInView.h"

#include "platform/Canvas.h"
#include "plot/PlotColours.h"

#include <algorithm>

std::vector<std::pair<double, double>> CWaveFileInView::ReadOverview(int32_t width) {
    if (width <= 0 || m_filePath.empty()) return {};
    if (m_overview.size() == size_t(width)) return m_overview;
    CRiffFile riff;
    CWavFormat format;
    int32_t frames = 0;
    if (!ReadHeader(riff, format, frames).empty()) return {};
    const uint64_t data = riff.GetChunk().dataOffset;
    const uint64_t bytesPerFrame = uint64_t(format.BytesPerFrame());
    std::vector<uint8_t> frame(bytesPerFrame);
    m_overview.assign(size_t(width), {0.0, 0.0});
    for (int32_t c = 0; c < width; ++c) {
        // The column's byte offset, rounded up to the next whole frame.
        const auto offset = uint64_t(double(frames) / width * c * double(bytesPerFrame));
        const uint64_t index =
            std::min<uint64_t>((offset + bytesPerFrame - 1) / bytesPerFrame, uint64_t(frames - 1));
        riff.Seek(data + index * bytesPerFrame);
        if (riff.Read(frame.data(), frame.size()) != frame.size()) break;
        m_overview[size_t(c)] = {
            WavSampleValue(frame.data(), format),
            format.channels == 2 ? WavSampleValue(frame.data() + format.BytesPerSample(), format)
                                 : 0.0};
    }
    return m_overview;
}

void CWaveFileInView::OnDraw(ICanvas& canvas, const CRect& rect) {
    const CRect area = GetScreenRect(rect);
    canvas.BeginLayer(area);
    CDspView::OnDraw(canvas, rect);
    m_plot.SetPlotRect(area.Deflated(m_margins));
    const CRect plot = m_plot.PlotRect();
    if (plot.IsRectEmpty()) {
        canvas.EndLayer();
        return;
    }
    canvas.FillRect(plot, GetPlotColours().background);
    const int32_t width = plot.right - plot.left;
    const int bands = m_format.channels == 2 ? 2 : 1;
    const int32_t bandHeight = (plot.bottom - plot.top) / bands;
    const auto overview = ReadOverview(width);
    for (int b = 0; b < bands; ++b) {
        const int32_t top = plot.top + b * bandHeight;
        const int32_t middle = top + bandHeight / 2;
        canvas.SetPen({GetPlotColours().grid, 1});
        canvas.DrawLine({plot.left, middle}, {plot.right, middle});
        if (b > 0) canvas.DrawLine({plot.left, top}, {plot.right, top});
        if (overview.empty()) continue;
        std::vector<CPoint> points;
        for (int32_t c = 0; c < width; ++c) {
            const double v = b == 0 ? overview[size_t(c)].first : overview[size_t(c)].second;
            const double clipped = std::clamp(v, -1.0, 1.0);
            points.push_back({plot.left + c, middle - int32_t(clipped * (bandHeight / 2 - 1))});
        }
        const bool selected = m_selectedChannel == b + 1 && !canvas.IsPrinting();
        canvas.SetPen({selected ? GetPlotColours().selectedTrace : GetPlotColours().trace, 1});
        canvas.DrawPolyline(points);
    }

    canvas.SetFont(canvas.IsPrinting() ? kPlotLargeFont : kPlotSmallFont);
    const int32_t lineHeight = canvas.GetTextMetrics().height;
    int32_t y = plot.top + 2;
    canvas.PushClip(plot);
    for (const CReadoutValue& readout : GetReadoutValues()) {
        canvas.DrawText({plot.left + 4, y}, readout.Text(), GetPlotColours().marker);
        y += lineHeight;
    }
    const auto column = [&](int32_t frame) {
        return plot.left + int32_t(int64_t(frame) * width / std::max(m_totalFrames, 1));
    };
    if (m_selectionMade)
        canvas.InvertRect({column(m_startFrame), plot.top, column(m_stopFrame), plot.bottom});
    if (m_dragging && m_currentX != m_pressX)
        canvas.InvertRect({std::min(m_pressX, m_currentX), plot.top, std::max(m_pressX, m_currentX),
                           plot.bottom});
    canvas.PopClip();
    canvas.EndLayer();
}

int32_t CWaveFileInView::FrameAtX(int32_t x) const {
    const CRect& plot = m_plot.PlotRect();
    return int32_t(double(x - plot.left) / (plot.right - plot.left) * m_totalFrames);
}

void CWaveFileInView::OnLButtonDown(CPoint point) {
    const CRect& plot = m_plot.PlotRect();
    if (point.x < plot.left || point.x >= plot.right || point.y < plot.top ||
        point.y >= plot.bottom || m_totalFrames == 0)
        return;
    StopProcess();
    m_startFrame = 0;
    m_stopFrame = m_totalFrames;
    m_selectionMade = 0;
    m_dragging = true;
    m_pressX = m_currentX = point.x;
    Changed();
}

void CWaveFileInView::OnMouseMove(CPoint point, bool leftButtonDown) {
    if (!m_dragging || !leftButtonDown) return;
    m_currentX = std::clamp(point.x, m_plot.PlotRect().left, m_plot.PlotRect().right);
    Invalidate();
}

void CWaveFileInView::OnLButtonUp(CPoint point) {
    if (!m_dragging) return;
    m_dragging = false;
    m_currentX = std::clamp(point.x, m_plot.PlotRect().left, m_plot.PlotRect().right);
    if (m_currentX != m_pressX) {
        m_selectionMade = 1;
        m_startFrame = FrameAtX(std::min(m_pressX, m_currentX));
        m_stopFrame = FrameAtX(std::max(m_pressX, m_currentX));
    }
    Changed();
}
