// The analyser's plot: the chosen display of every measured channel on one grid, frequency
// logarithmic from the sweep's start to its stop, or time around the impulse response's peak.
#include "modules/sweep/SweepView.h"

#include "base/NumberText.h"
#include "plot/PlotColours.h"

#include <algorithm>
#include <cmath>

namespace {
struct CCurve {
    std::vector<double> x, y; // y NaN: a gap
    CColour colour;
    std::string name;
};

void DrawCurves(ICanvas& canvas, const CRect& plot, const std::vector<CCurve>& curves, bool logX,
                double x0, double x1, double y0, double y1, const CPlotColours& colours,
                const std::string& unit) {
    const auto px = [&](double x) {
        const double u = logX ? std::log(x / x0) / std::log(x1 / x0) : (x - x0) / (x1 - x0);
        return plot.left + int32_t(std::lround(u * (plot.right - plot.left - 1)));
    };
    const auto py = [&](double y) {
        const double u = std::clamp((y - y0) / (y1 - y0), 0.0, 1.0);
        return plot.bottom - 1 - int32_t(std::lround(u * (plot.bottom - plot.top - 1)));
    };
    canvas.SetPen({colours.grid, 1});
    if (logX) {
        for (double decade = std::pow(10.0, std::floor(std::log10(x0))); decade <= x1; decade *= 10)
            for (int m = 1; m <= 9; ++m)
                if (const double x = decade * m; x >= x0 && x <= x1)
                    canvas.DrawLine({px(x), plot.top}, {px(x), plot.bottom - 1});
    }
    for (int i = 0; i <= 10; ++i) {
        const int32_t y = plot.top + (plot.bottom - 1 - plot.top) * i / 10;
        canvas.DrawLine({plot.left, y}, {plot.right - 1, y});
    }
    canvas.SetFont(kPlotSmallFont);
    canvas.DrawText({plot.left, plot.top - canvas.GetTextMetrics().height},
                    FormatText("%.4g .. %.4g %s", y0, y1, unit.c_str()), colours.windowText);
    int legend = 0;
    for (const CCurve& curve : curves) {
        canvas.SetPen({curve.colour, 1});
        std::vector<CPoint> run;
        for (size_t i = 0; i <= curve.x.size(); ++i) {
            if (i == curve.x.size() || std::isnan(curve.y[i])) {
                canvas.DrawPolyline(run);
                run.clear();
                continue;
            }
            run.push_back({px(curve.x[i]), py(curve.y[i])});
        }
        canvas.DrawText({plot.right - 12 * canvas.GetTextMetrics().averageCharWidth,
                         plot.top + 2 + legend++ * canvas.GetTextMetrics().height},
                        curve.name, curve.colour);
    }
}
} // namespace

void CSweepView::OnDraw(ICanvas& canvas, const CRect& rect) {
    const CRect area = GetScreenRect(rect);
    canvas.BeginLayer(area);
    CDspView::OnDraw(canvas, rect);
    canvas.SetFont(kPlotSmallFont);
    const CTextMetrics metrics = canvas.GetTextMetrics();
    const CRect plot{area.left + 4 * metrics.averageCharWidth, area.top + 2 * metrics.height,
                     area.right - 2 * metrics.averageCharWidth, area.bottom - 2 * metrics.height};
    if (plot.IsRectEmpty()) {
        canvas.EndLayer();
        return;
    }
    const CPlotColours& colours = GetPlotColours();
    canvas.FillRect(plot, colours.background);
    std::vector<CCurve> curves;
    const bool time = m_display == kShowImpulse || m_display == kShowImpulseDb;
    const double fs = GetWorkingList() ? GetWorkingList()->GetSampleRate(0) : 1.0;
    for (int c = 1; c <= 2; ++c) {
        const CSweepResponse* r = GetResponse(c);
        if (!r) continue;
        const std::string ch = FormatText("Ch%i ", c);
        const CColour colour = TraceColour(colours, c - 1);
        if (time) {
            CCurve curve{{}, {}, colour, ch + "impulse"};
            for (size_t i = 0; i < r->impulse.size(); ++i) {
                curve.x.push_back(1000.0 * (double(i) - r->impulsePre) / fs);
                const double v = r->impulse[i];
                curve.y.push_back(
                    m_display == kShowImpulse ? v : 20 * std::log10(std::fabs(v) + 1e-30));
            }
            curves.push_back(std::move(curve));
            continue;
        }
        const auto add = [&](const std::string& name, CColour shade, auto value) {
            CCurve curve{r->frequency, {}, shade, ch + name};
            for (size_t i = 0; i < r->frequency.size(); ++i)
                curve.y.push_back(value(i));
            curves.push_back(std::move(curve));
        };
        if (m_display == kShowResponse)
            add("level", colour,
                [&](size_t i) { return 20 * std::log10(std::abs(r->response[i])); });
        else if (m_display == kShowPhase)
            add("phase", colour,
                [&](size_t i) { return std::arg(r->response[i]) * 180 / std::numbers::pi; });
        else if (m_display == kShowGroupDelay)
            add("group delay", colour, [&](size_t i) { return 1000.0 * r->groupDelay[i]; });
        else {
            add("THD", colour, [&](size_t i) { return 20 * std::log10(r->thd[i]); });
            for (int k = 2; k <= CSweepResponse::kMaxOrder; ++k)
                add(FormatText("HD%i", k), TraceColour(colours, c + k),
                    [&, k](size_t i) { return 20 * std::log10(r->harmonic[size_t(k)][i]); });
        }
    }
    // The vertical range: what the curves hold, in whole steps.
    double low = 1e300, high = -1e300;
    for (const CCurve& curve : curves)
        for (double y : curve.y)
            if (std::isfinite(y)) low = std::min(low, y), high = std::max(high, y);
    if (low > high) low = -1, high = 1;
    const double step = m_display == kShowImpulse ? std::max(1e-6, (high - low) / 10) : 10.0;
    low = std::floor(low / step) * step;
    high = std::max(low + step, std::ceil(high / step) * step);
    if (m_display == kShowImpulseDb) low = std::max(low, high - 120.0);
    double x0 = m_start, x1 = m_stop;
    if (time && !curves.empty()) x0 = curves[0].x.front(), x1 = curves[0].x.back();
    const char* units[] = {"dB", "dB re fundamental", "deg", "ms", "", "dB"};
    if (x1 > x0)
        DrawCurves(canvas, plot, curves, !time, x0, x1, low, high, colours,
                   units[std::clamp(m_display, 0, int32_t(kShowCount) - 1)]);
    int32_t y = plot.bottom + 2;
    for (const CReadoutValue& v : GetReadoutValues()) {
        if (v.channel != 1 || y > area.bottom - metrics.height) continue;
        canvas.DrawText({plot.left, y}, v.Text(), colours.marker);
        y += metrics.height;
        break;
    }
    canvas.EndLayer();
}
