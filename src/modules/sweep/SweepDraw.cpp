// The analyser's plot: the chosen display on one grid with labelled axes, frequency logarithmic
// from the sweep's start to its stop, or time in ms around the impulse response's peak. The
// response, phase and group delay show every measured channel; the distortion display shows
// one channel (the selected one, else channel 1): THD and each order where it stands above the
// noise, and the noise floor under them.
#include "modules/sweep/SweepView.h"

#include "base/NumberText.h"
#include "plot/PlotColours.h"

#include <algorithm>
#include <cmath>

namespace {
struct CCurve {
    std::vector<double> x, y; // y NaN or infinite: a gap
    CColour colour;
    std::string name;
};

// THD, then orders 2 to 5, then the noise floor: apart from each other on either theme.
const CColour kOrderColours[] = {{230, 180, 0}, {220, 40, 40},  {40, 170, 40},
                                 {60, 90, 230}, {190, 60, 190}, {128, 128, 128}};

constexpr double kImpulseShownMs = 20.0;

// Whole steps of 1, 2 or 5 times a power of ten that give about `lines` divisions.
double NiceStep(double span, int lines) {
    const double raw = span / lines;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw) return m * power;
    return 10 * power;
}

std::string FrequencyText(double f) {
    return f >= 1000 ? FormatText("%gk", f / 1000) : FormatText("%g", f);
}

class CSweepPlot {
public:
    CSweepPlot(ICanvas& canvas, const CRect& plot, bool logX, double x0, double x1, double y0,
               double y1)
        : m_canvas(canvas), m_plot(plot), m_logX(logX), m_x0(x0), m_x1(x1), m_y0(y0), m_y1(y1) {}

    int32_t X(double x) const {
        const double u =
            m_logX ? std::log(x / m_x0) / std::log(m_x1 / m_x0) : (x - m_x0) / (m_x1 - m_x0);
        return m_plot.left + int32_t(std::lround(u * (m_plot.right - m_plot.left - 1)));
    }
    int32_t Y(double y) const {
        const double u = std::clamp((y - m_y0) / (m_y1 - m_y0), 0.0, 1.0);
        return m_plot.bottom - 1 - int32_t(std::lround(u * (m_plot.bottom - m_plot.top - 1)));
    }

    void Grid(const CPlotColours& colours, double yStep, const std::string& xUnit) const {
        const int32_t h = m_canvas.GetTextMetrics().height;
        m_canvas.SetPen({colours.grid, 1});
        const auto xLine = [&](double x, bool labelled) {
            m_canvas.DrawLine({X(x), m_plot.top}, {X(x), m_plot.bottom - 1});
            if (!labelled) return;
            const std::string text =
                m_logX ? FrequencyText(x) : FormatText("%g", std::fabs(x) < 1e-9 ? 0.0 : x);
            const int32_t w = m_canvas.GetTextExtent(text).cx;
            m_canvas.DrawText({X(x) - w / 2, m_plot.bottom + 2}, text, colours.windowText);
        };
        if (m_logX) {
            for (double decade = std::pow(10.0, std::floor(std::log10(m_x0))); decade <= m_x1;
                 decade *= 10)
                for (int m = 1; m <= 9; ++m)
                    if (const double x = decade * m; x >= m_x0 * 0.999 && x <= m_x1 * 1.001)
                        xLine(x, m == 1 || m == 2 || m == 5);
        } else {
            const double step = NiceStep(m_x1 - m_x0, 10);
            for (double x = std::ceil(m_x0 / step) * step; x <= m_x1; x += step)
                xLine(x, true);
        }
        m_canvas.DrawText({m_plot.right - m_canvas.GetTextExtent(xUnit).cx, m_plot.bottom + 2 + h},
                          xUnit, colours.windowText);
        for (double y = m_y0; y <= m_y1 + yStep / 2; y += yStep) {
            m_canvas.DrawLine({m_plot.left, Y(y)}, {m_plot.right - 1, Y(y)});
            const std::string text = FormatText("%g", std::fabs(y) < yStep / 1e6 ? 0.0 : y);
            m_canvas.DrawText({m_plot.left - m_canvas.GetTextExtent(text).cx - 4, Y(y) - h / 2},
                              text, colours.windowText);
        }
    }

    void Curve(const CCurve& curve) const {
        m_canvas.SetPen({curve.colour, 1});
        std::vector<CPoint> run;
        for (size_t i = 0; i <= curve.x.size(); ++i) {
            if (i == curve.x.size() || !std::isfinite(curve.y[i])) {
                m_canvas.DrawPolyline(run);
                run.clear();
                continue;
            }
            run.push_back({X(curve.x[i]), Y(curve.y[i])});
        }
    }

private:
    ICanvas& m_canvas;
    CRect m_plot;
    bool m_logX;
    double m_x0, m_x1, m_y0, m_y1;
};

double Db(double ratio) {
    return 20.0 * std::log10(ratio);
}
} // namespace

void CSweepView::OnDraw(ICanvas& canvas, const CRect& rect) {
    const CRect area = GetScreenRect(rect);
    canvas.BeginLayer(area);
    CDspView::OnDraw(canvas, rect);
    canvas.SetFont(canvas.IsPrinting() ? kPlotLargeFont : kPlotSmallFont);
    const CTextMetrics metrics = canvas.GetTextMetrics();
    const CRect plot{area.left + 7 * metrics.averageCharWidth, area.top + 2 * metrics.height,
                     area.right - 3 * metrics.averageCharWidth, area.bottom - 3 * metrics.height};
    if (plot.IsRectEmpty()) {
        canvas.EndLayer();
        return;
    }
    const CPlotColours& colours = GetPlotColours();
    canvas.FillRect(plot, colours.background);
    const bool time = m_display == kShowImpulse || m_display == kShowImpulseDb;
    const double fs = GetWorkingList() ? GetWorkingList()->GetSampleRate(0) : 1.0;
    std::vector<CCurve> curves;
    const int shown = GetSelectedChannel() == 2 && GetResponse(2) ? 2 : 1;
    for (int c = 1; c <= 2; ++c) {
        const CSweepResponse* r = GetResponse(c);
        if (!r || (m_display == kShowDistortion && c != shown)) continue;
        const std::string ch = FormatText("Ch%i ", c);
        const CColour colour = TraceColour(colours, c - 1);
        if (time) {
            CCurve curve{{}, {}, colour, ch + "impulse"};
            const std::vector<double> shown =
                m_display == kShowImpulse ? r->impulse : ImpulseEnvelope(r->impulse);
            for (size_t i = 0; i < shown.size(); ++i) {
                curve.x.push_back(1000.0 * (double(i) - r->impulsePre) / fs);
                curve.y.push_back(m_display == kShowImpulse ? shown[i] : Db(shown[i]));
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
        if (m_display == kShowResponse) {
            add("level", colour, [&](size_t i) { return Db(std::abs(r->response[i])); });
        } else if (m_display == kShowPhase) {
            add("phase", colour,
                [&](size_t i) { return std::arg(r->response[i]) * 180 / std::numbers::pi; });
        } else if (m_display == kShowGroupDelay) {
            add("group delay", colour, [&](size_t i) { return 1000.0 * r->groupDelay[i]; });
        } else {
            add("THD", kOrderColours[0], [&](size_t i) { return Db(r->thd[i]); });
            for (int k = 2; k <= CSweepResponse::kMaxOrder; ++k) {
                // An order no higher than the noise it would read alone is not drawn.
                add(FormatText("HD%i", k), kOrderColours[k - 1], [&, k](size_t i) {
                    const double hd = r->harmonic[size_t(k)][i];
                    return hd > 2 * r->harmonicNoise[size_t(k)][i] ? Db(hd) : NAN;
                });
            }
            add("noise", kOrderColours[5], [&](size_t i) { return Db(r->harmonicNoise[2][i]); });
        }
    }
    // The vertical range: what the curves hold, in whole steps.
    double low = 1e300, high = -1e300;
    for (const CCurve& curve : curves)
        for (double y : curve.y)
            if (std::isfinite(y)) low = std::min(low, y), high = std::max(high, y);
    if (low > high) low = -1, high = 1; // nothing to draw yet
    if (m_display == kShowImpulseDb) low = std::max(low, high - 100.0);
    if (m_display == kShowResponse) low = std::min(low, high - 20.0);
    const double step = NiceStep(std::max(high - low, 1e-9), 10);
    low = std::floor(low / step) * step;
    high = std::max(low + step, std::ceil(high / step) * step) + (time ? 0.0 : step);
    double x0 = m_start, x1 = m_stop;
    // The impulse from the gate's start to its end, or to 20 ms after the peak when the gate
    // keeps everything up to the harmonics.
    if (time && !curves.empty())
        x0 = curves[0].x.front(),
        x1 = std::min(curves[0].x.back(), m_gateEnd > 0.0 ? m_gateEnd : kImpulseShownMs);
    const char* units[] = {"dB", "dB re fundamental", "degrees", "ms", "", "dB"};
    canvas.DrawText({plot.left, area.top + metrics.height / 2},
                    DisplayNames()[size_t(std::clamp(m_display, 0, int32_t(kShowCount) - 1))] +
                        "  " + units[std::clamp(m_display, 0, int32_t(kShowCount) - 1)],
                    colours.windowText);
    if (x1 > x0) {
        const CSweepPlot grid(canvas, plot, !time, x0, x1, low, high);
        grid.Grid(colours, step, time ? "ms" : "Hz");
        canvas.PushClip(plot);
        for (const CCurve& curve : curves)
            grid.Curve(curve);
        canvas.PopClip();
    }
    // Legend and readouts inside the plot, top right and top left.
    int32_t y = plot.top + 2;
    for (const CCurve& curve : curves) {
        canvas.DrawText({plot.right - canvas.GetTextExtent(curve.name).cx - 4, y}, curve.name,
                        curve.colour);
        y += metrics.height;
    }
    y = plot.top + 2;
    for (const CReadoutValue& v : GetReadoutValues()) {
        if (v.channel != shown) continue;
        canvas.DrawText({plot.left + 4, y}, v.Text(), colours.marker);
        y += metrics.height;
    }
    canvas.EndLayer();
}
