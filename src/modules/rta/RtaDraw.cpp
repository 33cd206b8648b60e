// The analyser's display: one plot per channel shown, each with the level grid, the bands as
// bars or a line, the held peaks, the run's extremes, the band labels and the overall level.

#include "modules/rta/RtaView.h"

#include "base/NumberText.h"
#include "plot/PlotColours.h"

#include <algorithm>
#include <cmath>

namespace {
// Whether a band's label is drawn: every band that holds an octave frequency (1 kHz times a
// power of two), so finer sets are labelled once an octave.
bool Labelled(const COctaveBand& band) {
    const double octave = std::exp2(std::ceil(std::log2(band.lower / 1000.0)));
    return 1000.0 * octave < band.upper;
}
} // namespace

void CRtaView::DrawChannel(ICanvas& canvas, int channel, const CRect& slice) const {
    const CTextMetrics metrics = canvas.GetTextMetrics();
    const CRect plot{slice.left + 7 * metrics.averageCharWidth, slice.top + 2 * metrics.height,
                     slice.right - 2 * metrics.averageCharWidth, slice.bottom - 2 * metrics.height};
    if (plot.IsRectEmpty()) return;
    const CPlotColours& colours = GetPlotColours();
    canvas.FillRect(plot, colours.background);
    const double step = DecibelsPerDivision();
    const int32_t height = plot.bottom - plot.top;
    const auto y = [&](double level) {
        const double divisions = (m_top - level) / step;
        return plot.top +
               int32_t(std::lround(std::clamp(divisions / kDivisions, 0.0, 1.0) * height));
    };
    // The level grid and its labels.
    canvas.SetPen({colours.grid, 1});
    for (int d = 0; d <= kDivisions; ++d) {
        const int32_t gy = plot.top + height * d / kDivisions;
        canvas.DrawLine({plot.left, gy}, {plot.right, gy});
        const std::string label = FormatText("%g", m_top - d * step);
        canvas.DrawText({slice.left + 2, gy - metrics.height / 2}, label, colours.windowText);
    }
    const std::vector<double> levels = GetLevels(channel);
    const std::vector<COctaveBand>& bands = GetBands();
    const size_t count = std::min(levels.size(), bands.size());
    const std::string title = FormatText("Ch%d  %s  %s/Div", channel + 1, UnitText().c_str(),
                                         FormatText("%g dB", step).c_str());
    canvas.DrawText({plot.left, slice.top + 2}, title, colours.windowText);
    const std::string overall =
        "Overall: " + FormatText("%.2f ", GetOverallLevel(channel)) + UnitText();
    if (count > 0)
        canvas.DrawText({plot.right - canvas.GetTextExtent(overall).cx, slice.top + 2}, overall,
                        colours.windowText);
    if (count == 0) return;
    const double width = double(plot.right - plot.left) / double(count);
    const auto left = [&](size_t b) { return plot.left + int32_t(std::lround(b * width)); };
    const CColour trace = TraceColour(colours, channel);
    std::vector<CPoint> line;
    for (size_t b = 0; b < count; ++b) {
        const int32_t x0 = left(b), x1 = std::max(left(b + 1) - 1, x0 + 1);
        if (std::isnan(levels[b])) {
            // Too narrow for the block: a grey foot, no number.
            canvas.FillRect({x0, plot.bottom - 3, x1, plot.bottom}, colours.grid);
            continue;
        }
        if (m_display == 0)
            canvas.FillRect({x0, y(levels[b]), x1, plot.bottom}, trace);
        else
            line.push_back({(x0 + x1) / 2, y(levels[b])});
        if (Labelled(bands[b])) {
            const std::string label = BandLabel(bands[b].nominal);
            canvas.DrawText({(x0 + x1 - canvas.GetTextExtent(label).cx) / 2, plot.bottom + 2},
                            label, colours.windowText);
        }
    }
    if (line.size() > 1) {
        canvas.SetPen({trace, 2});
        canvas.DrawPolyline(line);
    }
    const auto traceOf = [&](EShown shown, CColour colour) {
        const std::vector<double> held = GetLevels(channel, shown);
        canvas.SetPen({colour, 1});
        for (size_t b = 0; b < std::min(held.size(), count); ++b)
            if (!std::isnan(held[b]))
                canvas.DrawLine({left(b), y(held[b])},
                                {std::max(left(b + 1) - 1, left(b) + 1), y(held[b])});
    };
    if (m_peakHold) traceOf(kShowPeak, colours.marker);
    if (m_showMaxMin) {
        traceOf(kShowMax, colours.selectedTrace);
        traceOf(kShowMin, colours.secondTrace);
    }
}

void CRtaView::OnDraw(ICanvas& canvas, const CRect& rect) {
    const CRect area = GetScreenRect(rect);
    canvas.BeginLayer(area);
    CDspView::OnDraw(canvas, rect);
    canvas.SetFont(canvas.IsPrinting() ? kPlotLargeFont : kPlotSmallFont);
    // The selected channel alone, or every channel read, stacked.
    std::vector<int> shown;
    for (int c = 0; c < std::max(m_channelCount, 1); ++c)
        if (GetSelectedChannel() == 0 || GetSelectedChannel() == c + 1) shown.push_back(c);
    const int32_t height = area.bottom - area.top;
    for (size_t i = 0; i < shown.size(); ++i) {
        const CRect slice{area.left, area.top + height * int32_t(i) / int32_t(shown.size()),
                          area.right, area.top + height * int32_t(i + 1) / int32_t(shown.size())};
        DrawChannel(canvas, shown[i], slice);
    }
    canvas.EndLayer();
}
