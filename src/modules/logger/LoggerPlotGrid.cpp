// The data logger's grid: eight Y divisions labelled for both Y axes, and ten linear X divisions
// or the lines of each decade of a log axis, with the frequency labels.

#include "modules/logger/LoggerPlot.h"

#include "modules/logger/LoggerAxes.h"
#include "plot/AxisText.h"
#include "plot/PlotValues.h"

#include <cmath>

namespace {
// The Y label of grid line i (0 at the top) of a record's axis.
std::string YLabel(const CLoggerChan& r, int i) {
    const double d = r.yCode == kLogYdBVSPL ? 10.0 : r.scalePerDivision;
    const bool centred = LoggerIsDecibels(r.yCode) || r.yCode == kLogYDegrees;
    const double v = centred ? (4 - i) * d : (8 - i - r.verticalPosition * 8.0 / 100.0) * d;
    switch (r.yCode) {
    case kLogYNone:
        return {};
    case kLogYDegrees:
        return GetYAxisDegDispText(v);
    case kLogYImpedance:
        return GetYAxisOhmsDispText(v, d);
    default:
        return LoggerIsDecibels(r.yCode) ? GetYAxisdBDispText(v, d) : GetYAxisVoltsDispText(v, d);
    }
}

// A text at a point unless it would overlap one drawn before.
class CLabels {
public:
    explicit CLabels(ICanvas& canvas, CColour colour) : m_canvas(canvas), m_colour(colour) {}
    void Draw(int32_t x, int32_t y, const std::string& text) {
        const CSize size = m_canvas.GetTextExtent(text);
        const CRect box{x, y, x + size.cx, y + size.cy};
        for (const CRect& d : m_drawn)
            if (box.left < d.right && d.left < box.right && box.top < d.bottom &&
                d.top < box.bottom)
                return;
        m_canvas.DrawText({x, y}, text, m_colour);
        m_drawn.push_back(box);
    }
    int32_t Width(const std::string& text) const { return m_canvas.GetTextExtent(text).cx; }

private:
    ICanvas& m_canvas;
    CColour m_colour;
    std::vector<CRect> m_drawn;
};
} // namespace

void CLoggerPlot::DrawGrid(ICanvas& canvas, const CPlot& grid, const CRect& plot,
                           const CScene& scene) const {
    const CLoggerChan& y1 = m_records[0];
    const CLoggerChan& y2 = m_records[1];
    const int32_t width = plot.right - plot.left, height = plot.bottom - plot.top;
    canvas.SetPen({grid.Colours().grid, 1});
    CLabels labels(canvas, grid.Colours().customText);
    const int32_t lineHeight = canvas.GetTextMetrics().height;
    for (int i = 0; i <= 8; ++i) {
        const int32_t y = plot.top + i * height / 8;
        canvas.DrawLine({plot.left, y}, {plot.right, y});
        const std::string left = YLabel(y1, i), right = YLabel(y2, i);
        labels.Draw(plot.left - 2 - labels.Width(left), y - lineHeight / 2, left);
        labels.Draw(plot.right + 2, y - lineHeight / 2, right);
    }
    const EAxisKind kind = LoggerAxisKind(scene.xAxisType);
    const double binWidth = y1.blockSize > 0 ? y1.sampleRate / y1.blockSize : 0.0;
    if (kind != EAxisKind::log) {
        for (int i = 0; i <= 10; ++i) {
            const int32_t x = plot.left + i * width / 10;
            canvas.DrawLine({x, plot.top}, {x, plot.bottom});
            if (kind != EAxisKind::linear) continue;
            const double f =
                (scene.startBin + (scene.stopBin - scene.startBin) * i / 10.0) * binWidth;
            const std::string text = GetXAxisLinFreqDispText(f);
            labels.Draw(x - labels.Width(text) / 2, plot.bottom + 2, text);
        }
        // Minor ticks on the middle lines of linear axes.
        grid.DrawXDirTicks(canvas, plot, grid.Grid().xTickLine);
        grid.DrawYDirTicks(canvas, plot, grid.Grid().yTickLine);
        return;
    }
    canvas.DrawLine({plot.left, plot.top}, {plot.left, plot.bottom});
    canvas.DrawLine({plot.right, plot.top}, {plot.right, plot.bottom});
    // Lines at 1..9 times each decade inside the axis range; the decades are labelled.
    const double fmin =
        scene.startBin > 0.0 ? scene.startBin * binWidth : LoggerLowestFrequency(scene.xAxisType);
    const double fmax = (scene.stopBin - 1.0) * binWidth;
    const double span = std::log10(fmax) - std::log10(fmin);
    for (double decade = 1.0; decade <= 1e5 && span > 0.0; decade *= 10.0)
        for (int m = 1; m <= 9; ++m) {
            const double f = decade * m;
            if (f < fmin || f > fmax) continue;
            const int32_t x = ClampPixel(
                plot.left + width * (std::log10(f) - std::log10(fmin)) / span, plot.left);
            canvas.DrawLine({x, plot.top}, {x, plot.bottom});
            if (m != 1) continue;
            const std::string text = GetXAxisLogFreqDispText(f);
            labels.Draw(x - labels.Width(text) / 2, plot.bottom + 2, text);
        }
    // A log axis has its minor ticks at its left edge.
    grid.DrawYDirTicks(canvas, plot, 0);
}
