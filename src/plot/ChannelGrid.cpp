// The grid of a plot channel: division lines, their labels (skipping those that would crowd
// the previous one), the tick marks, and the box of the 3-D display.
#include "plot/Channel.h"

#include "plot/AxisText.h"
#include "plot/PlotValues.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <cstdlib>
#include <vector>

namespace {

// Axis labels beside the plot are drawn without a box, so none hides the grid; those inside
// the 3-D box sit on the plot's background so the lines behind them do not cross the text. A
// label that would crowd one already drawn is left out. Labels stay within `bounds` along their
// axis: the volts labels within the plot's height, so the lowest cannot meet the first
// frequency label at the origin; the frequency labels within the room the plot has, so the
// last one is not cut at the picture's edge.
class CLabeller {
public:
    CLabeller(ICanvas& canvas, CColour text, std::optional<CColour> background,
              CRect bounds = {INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2})
        : m_canvas(canvas), m_text(text), m_background(background), m_bounds(bounds),
          m_gap(canvas.GetTextMetrics().maxCharWidth) {}

    /** A label centred under column x with its top at y, unless it comes within a character
     *  of a label drawn before. */
    void Below(double x, int32_t y, const std::string& text) {
        const CSize extent = m_canvas.GetTextExtent(text);
        const int32_t left =
            Within(ClampPixel(x - extent.cx / 2.0, 0), m_bounds.left, m_bounds.right - extent.cx);
        const CRect box{left, y, left + extent.cx, y + extent.cy};
        for (const CRect& drawn : m_drawn)
            if (box.left <= drawn.right + m_gap && drawn.left <= box.right + m_gap &&
                box.top < drawn.bottom && drawn.top < box.bottom)
                return;
        Draw(box, text);
    }
    /** A label ending at column `right`, centred on row y, unless that row is within a
     *  character of the row of a label drawn before. */
    void LeftOf(int32_t right, double y, const std::string& text) {
        const int32_t row = ClampPixel(y, 0);
        for (const int32_t drawn : m_rows)
            if (std::abs(row - drawn) <= m_gap) return;
        const CSize extent = m_canvas.GetTextExtent(text);
        const int32_t top = Within(row - extent.cy / 2, m_bounds.top, m_bounds.bottom - extent.cy);
        Draw({right - extent.cx, top, right, top + extent.cy}, text);
        m_rows.push_back(row);
    }

private:
    static int32_t Within(int32_t v, int32_t low, int32_t high) {
        return std::max(low, std::min(v, high));
    }
    void Draw(const CRect& box, const std::string& text) {
        if (m_background) m_canvas.FillRect(box, *m_background);
        m_canvas.DrawText({box.left, box.top}, text, m_text);
        m_drawn.push_back(box);
    }

    ICanvas& m_canvas;
    CColour m_text;
    std::optional<CColour> m_background;
    CRect m_bounds;
    int32_t m_gap;
    std::vector<CRect> m_drawn;
    std::vector<int32_t> m_rows;
};

void Line(ICanvas& canvas, double x1, double y1, double x2, double y2) {
    canvas.DrawLine({ClampPixel(x1, 0), ClampPixel(y1, 0)}, {ClampPixel(x2, 0), ClampPixel(y2, 0)});
}

} // namespace

CPen CChannel::GridPen(const ICanvas& canvas) const {
    if (canvas.IsPrinting()) return {{0, 0, 0}, std::max(1, canvas.GetDpiX() / 64)};
    return {m_colours.grid, 1};
}

CColour CChannel::LabelColour() const {
    return m_customTextColour ? m_colours.customText : m_colours.windowText;
}

void CChannel::DrawXDirTicks(ICanvas& canvas, int index) const {
    ::DrawXDirTicks(canvas, m_plotRect, m_grid, index);
}

void CChannel::DrawYDirTicks(ICanvas& canvas, int index) const {
    ::DrawYDirTicks(canvas, m_plotRect, m_grid, index);
}

void CChannel::DrawGrid(ICanvas& canvas) const {
    if (m_plotRect.IsRectEmpty()) return;
    canvas.SetFont(canvas.IsPrinting() ? kPlotLargeFont : kPlotSmallFont);
    canvas.SetPen(GridPen(canvas));
    const CTextMetrics metrics = canvas.GetTextMetrics();
    if (m_xCode == EPlotX::Depth || m_yCode == EPlotY::Depth) {
        DrawGrid3D(canvas, metrics);
        return;
    }
    const double left = m_plotRect.left, top = m_plotRect.top;
    const double right = m_plotRect.right, bottom = m_plotRect.bottom;
    const double width = right - left, height = bottom - top;
    const int xDivs = m_grid.xDivisions, yDivs = m_grid.yDivisions;
    const double binWidth = m_sampleRate / m_blockSize;

    CLabeller xLabels(canvas, LabelColour(), std::nullopt,
                      {INT_MIN / 2, INT_MIN / 2,
                       m_labelBounds.IsRectEmpty() ? INT_MAX / 2 : m_labelBounds.right,
                       INT_MAX / 2});
    const bool logX = PlotXTraits(m_xCode).kind == EAxisKind::log;
    if ((m_xCode == EPlotX::Time || m_xCode == EPlotX::LinearFrequency) && xDivs > 0) {
        for (int i = 0; i <= xDivs; ++i) {
            const double x = left + i * width / xDivs;
            Line(canvas, x, top, x, bottom);
            if (m_xCode == EPlotX::LinearFrequency) {
                const double f =
                    m_startBin * binWidth + (m_stopBin - m_startBin) * binWidth * i / xDivs;
                xLabels.Below(x, m_plotRect.bottom + 2, GetXAxisLinFreqDispText(f));
            }
        }
    } else if (logX) {
        const CPlotAxis axis = GetPlainAxis();
        const int32_t tick = std::max(2, metrics.height / 3);
        // The decades (10 Hz, 100 Hz, 1 kHz, ...) are labelled first; the lines between them
        // only where their labels still fit.
        for (const bool decades : {true, false}) {
            double previous = 0.0;
            for (double decade = 1.0; decade <= 1e4 && axis.IsDrawable(); decade *= 10.0) {
                for (int multiplier = 1; multiplier <= 10; ++multiplier) {
                    const double f = decade * multiplier;
                    const double x = axis.XOfFrequency(f);
                    // 10 × one decade is 1 × the next: one line for both.
                    if (f == previous || x < left || x > right) continue;
                    previous = f;
                    if ((multiplier == 1 || multiplier == 10) != decades) continue;
                    Line(canvas, x, top, x, bottom);
                    Line(canvas, x, bottom, x, bottom + tick);
                    xLabels.Below(x, m_plotRect.bottom + tick + 1, GetXAxisLogFreqDispText(f));
                }
            }
        }
    }

    const CPlotYTraits& yAxis = PlotYTraits(m_yCode);
    if (yAxis.layout != EYLayout::Nothing && yAxis.layout != EYLayout::Depth && yDivs > 0) {
        CLabeller yLabels(canvas, LabelColour(), std::nullopt,
                          {INT_MIN / 2, m_plotRect.top, INT_MAX / 2, m_plotRect.bottom});
        const int32_t labelRight = m_plotRect.left - metrics.averageCharWidth / 2;
        const double d = m_yScale;
        for (int i = 0; i <= yDivs; ++i) {
            const double y = top + i * height / yDivs;
            Line(canvas, left, y, right, y);
            std::string text;
            switch (yAxis.labels) {
            case EYLabels::Decibels:
                text = GetYAxisdBDispText((yDivs / 2.0 - i) * d, d);
                break;
            case EYLabels::SoundPressure:
                text = GetYAxisSPLDispText(130.0 - d * i, d);
                break;
            case EYLabels::Degrees:
                text = GetYAxisDegDispText((yDivs / 2.0 - i) * d);
                break;
            case EYLabels::Ohms:
                text = GetYAxisOhmsDispText((yDivs - i) * d, d);
                break;
            case EYLabels::Ratio:
                text = GetYAxisRatioDispText((yDivs - i) * d, d);
                break;
            case EYLabels::Volts:
                text = GetYAxisVoltsDispText((yDivs - i) * d, d);
                break;
            }
            yLabels.LeftOf(labelRight, y, text);
        }
    }

    if (m_xCode == EPlotX::LinearFrequency) {
        const CLinearTicks& ticks = yAxis.linearTicks;
        if (ticks.x >= 0) DrawXDirTicks(canvas, ticks.x);
        if (ticks.y >= 0) DrawYDirTicks(canvas, ticks.y);
        if (ticks.y2 >= 0) DrawYDirTicks(canvas, ticks.y2);
    } else if (logX) {
        DrawYDirTicks(canvas, 0);
    }
}

void CChannel::DrawGrid3D(ICanvas& canvas, const CTextMetrics& metrics) const {
    // The box: a back wall where trace 0 stands and a floor that runs forward (down and to the
    // left) by one third of the room the labels leave, as the traces do.
    const double depthX =
        ((m_plotRect.right - m_plotRect.left) - 12.0 * metrics.averageCharWidth) / 3.0;
    const double depthY = ((m_plotRect.bottom - m_plotRect.top) - 4.0 * metrics.height) / 3.0;
    const CRect back = GetTraceRect(metrics, 0);
    const CPlotAxis axis = GetXAxis(metrics, 0);
    const double axisRight = axis.left + axis.width;
    const double floor = back.bottom;
    // White labels on the plot's own background, inside the box's frame.
    const CColour text = m_colours.depthText;

    if (m_xCode == EPlotX::Depth && m_grid.xDivisions > 0) {
        CLabeller labels(canvas, text, m_colours.background);
        const double binWidth = m_sampleRate / m_blockSize;
        for (int i = 0; i <= m_grid.xDivisions; ++i) {
            const double x = axis.left + i * axis.width / m_grid.xDivisions;
            Line(canvas, x, floor, x - depthX, floor + depthY);
            const double f =
                m_startBin * binWidth + (m_stopBin - m_startBin) * binWidth * i / m_grid.xDivisions;
            labels.Below(x - depthX, ClampPixel(floor + depthY + 2, 0), GetXAxisLinFreqDispText(f));
        }
    }
    if (m_yCode != EPlotY::Depth) return;
    if (m_grid.yDivisions > 0) {
        CLabeller labels(canvas, text, m_colours.background);
        const double span = m_bottomLevel - m_yScale;
        for (int i = 0; i <= m_grid.yDivisions; ++i) {
            const double level = m_yScale + span * i / m_grid.yDivisions;
            const double y = YOfValue(level, back);
            Line(canvas, axis.left, y, axisRight, y);
            Line(canvas, axis.left, y, axis.left - depthX, y + depthY);
            labels.LeftOf(ClampPixel(axis.left - depthX - metrics.averageCharWidth / 2.0, 0),
                          y + depthY, GetYAxis3DLevelDispText(level, span));
        }
    }
    if (m_depthDivisions > 0) {
        CLabeller labels(canvas, text, m_colours.background);
        for (int j = 0; j <= m_depthDivisions; ++j) {
            const double dx = j * depthX / m_depthDivisions, dy = j * depthY / m_depthDivisions;
            Line(canvas, axis.left - dx, floor + dy, axisRight - dx, floor + dy);
            const std::string label =
                GetZAxisLinTimeDispText(j * m_depthTimePerDivision, m_depthTimePerDivision);
            const CSize extent = canvas.GetTextExtent(label);
            labels.LeftOf(ClampPixel(axisRight - dx + metrics.averageCharWidth / 2.0, 0) +
                              extent.cx,
                          floor + dy, label);
        }
    }
}
