#include "station/ReportCharts.h"

#include "platform/SvgCanvas.h"
#include "station/StationText.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kWidth = 520, kHeight = 250;
// Each kind of mark has a colour of its own, so a reader (or a test of the painted page) tells
// them apart.
constexpr CColour kInk{40, 40, 40}, kGrid{225, 225, 225}, kBar{74, 126, 187},
    kFailureBar{96, 160, 96}, kLimit{208, 48, 48}, kMask{224, 120, 32}, kCurve{90, 140, 200};

enum class EXAxis { linear, log, unlabelled };

/** A picture with a framed plot area, its axes' ranges and tick labels. */
class CChart {
public:
    CChart(double x0, double x1, double y0, double y1, EXAxis axis)
        : m_logX(axis == EXAxis::log), m_x0(m_logX ? std::log10(x0) : x0),
          m_x1(m_logX ? std::log10(x1) : x1), m_y0(y0), m_y1(y1) {
        if (!(m_x1 > m_x0)) m_x1 = m_x0 + 1;
        if (!(m_y1 > m_y0)) m_y1 = m_y0 + 1;
        m_canvas.FillRect({0, 0, kWidth, kHeight}, {255, 255, 255});
        m_canvas.SetFont({11, 400, {}});
        if (axis != EXAxis::unlabelled)
            for (double x : Ticks(x0, x1, m_logX))
                Tick({X(x), m_plot.bottom}, {X(x), m_plot.top}, Label(x), true);
        for (double y : Ticks(y0, y1, false))
            Tick({m_plot.left, Y(y)}, {m_plot.right - 1, Y(y)}, Label(y), false);
        m_canvas.SetPen({kInk, 1});
        m_canvas.SetBrush(std::nullopt);
        m_canvas.Rectangle(m_plot);
    }

    int X(double x) const {
        const double v = m_logX ? std::log10(std::max(x, 1e-30)) : x;
        return m_plot.left + int(std::lround((v - m_x0) / (m_x1 - m_x0) * Width()));
    }
    int Y(double y) const {
        return m_plot.bottom - 1 -
               int(std::lround((y - m_y0) / (m_y1 - m_y0) * (m_plot.bottom - 1 - m_plot.top)));
    }
    ICanvas& Canvas() { return m_canvas; }
    const CRect& Plot() const { return m_plot; }

    /** A polyline through the finite points, broken where a value is missing. */
    void Trace(const std::vector<double>& x, const std::vector<double>& y, CPen pen) {
        m_canvas.PushClip(m_plot);
        m_canvas.SetPen(pen);
        std::vector<CPoint> points;
        for (size_t i = 0; i <= std::min(x.size(), y.size()); ++i) {
            if (i < x.size() && i < y.size() && std::isfinite(x[i]) && std::isfinite(y[i]) &&
                x[i] > 0) {
                points.push_back({X(x[i]), Y(y[i])});
                continue;
            }
            m_canvas.DrawPolyline(points);
            points.clear();
        }
        m_canvas.PopClip();
    }

    std::string Document() const {
        const std::string doc = m_canvas.GetDocument();
        return doc.substr(doc.find("<svg")); // inline in HTML, without the XML declaration
    }

private:
    int Width() const { return m_plot.right - 1 - m_plot.left; }

    static std::string Label(double v) {
        if (std::fabs(v) >= 1000 && std::fabs(v) < 1e6 && std::fmod(v, 1000) == 0)
            return RoundedNumber(v / 1000, 4) + "k";
        return RoundedNumber(std::fabs(v) < 1e-12 ? 0.0 : v, 4);
    }

    /** Round steps of 1, 2 or 5 times a power of ten, or the decades of a log axis. */
    static std::vector<double> Ticks(double from, double to, bool log) {
        std::vector<double> ticks;
        if (log) {
            for (double d = std::pow(10.0, std::ceil(std::log10(from))); d <= to * 1.0001; d *= 10)
                ticks.push_back(d);
            return ticks;
        }
        if (!(to > from)) return {from};
        const double raw = (to - from) / 5, decade = std::pow(10.0, std::floor(std::log10(raw)));
        const double step = decade * (raw / decade < 2 ? 2 : raw / decade < 5 ? 5 : 10);
        for (double t = std::ceil(from / step) * step; t <= to + step * 1e-9; t += step)
            ticks.push_back(t);
        return ticks;
    }

    void Tick(CPoint from, CPoint to, const std::string& label, bool below) {
        m_canvas.SetPen({kGrid, 1});
        m_canvas.DrawLine(from, to);
        const CSize size = m_canvas.GetTextExtent(label);
        m_canvas.DrawText(below ? CPoint{from.x - size.cx / 2, from.y + 4}
                                : CPoint{from.x - size.cx - 4, from.y - size.cy / 2},
                          label, kInk);
    }

    CSvgCanvas m_canvas{kWidth, kHeight};
    CRect m_plot{64, 12, kWidth - 16, kHeight - 30};
    bool m_logX;
    double m_x0, m_x1, m_y0, m_y1;
};

} // namespace

std::string HistogramSvg(const CItemStatistics& item, const std::vector<double>& edges,
                         const std::vector<int64_t>& counts) {
    double from = edges.empty() ? item.least : edges.front();
    double to = edges.empty() ? item.most : edges.back();
    for (const std::optional<double>& limit : {item.lower, item.upper})
        if (limit) {
            from = std::min(from, *limit);
            to = std::max(to, *limit);
        }
    const double pad = (to - from) * 0.05;
    const int64_t most = counts.empty() ? 1 : *std::max_element(counts.begin(), counts.end());
    CChart chart(from - pad, to + pad, 0, double(std::max<int64_t>(most, 1)) * 1.1, EXAxis::linear);
    for (size_t k = 0; k < counts.size() && k + 1 < edges.size(); ++k) {
        // A gap between bars where they are wide enough; at least a pixel where they are not.
        const int left = chart.X(edges[k]), right = chart.X(edges[k + 1]);
        chart.Canvas().FillRect({right - left > 2 ? left + 1 : left, chart.Y(double(counts[k])),
                                 std::max(right, left + 1), chart.Plot().bottom - 1},
                                kBar);
    }
    chart.Canvas().SetPen({kLimit, 2});
    for (const std::optional<double>& limit : {item.lower, item.upper})
        if (limit)
            chart.Canvas().DrawLine({chart.X(*limit), chart.Plot().top},
                                    {chart.X(*limit), chart.Plot().bottom - 1});
    return chart.Document();
}

std::string CurvesSvg(const std::vector<const CCheckedCurve*>& curves) {
    double x0 = INFINITY, x1 = 0, y0 = INFINITY, y1 = -INFINITY;
    const auto reach = [&](const std::vector<double>& x, const std::vector<double>& y) {
        for (size_t i = 0; i < std::min(x.size(), y.size()); ++i)
            if (x[i] > 0 && std::isfinite(x[i]) && std::isfinite(y[i])) {
                x0 = std::min(x0, x[i]);
                x1 = std::max(x1, x[i]);
                y0 = std::min(y0, y[i]);
                y1 = std::max(y1, y[i]);
            }
    };
    for (const CCheckedCurve* c : curves)
        reach(c->measured.x, c->measured.y);
    if (!curves.empty()) {
        reach(curves.back()->measured.x, curves.back()->upper);
        reach(curves.back()->measured.x, curves.back()->lower);
    }
    if (!(x1 > 0)) x0 = 10, x1 = 20000, y0 = 0, y1 = 1;
    const double pad = std::max(y1 - y0, 1.0) * 0.05;
    CChart chart(x0, x1, y0 - pad, y1 + pad, EXAxis::log);
    for (const CCheckedCurve* c : curves)
        chart.Trace(c->measured.x, c->measured.y, {kCurve, 1});
    if (!curves.empty())
        for (const std::vector<double>* mask : {&curves.back()->upper, &curves.back()->lower})
            chart.Trace(curves.back()->measured.x, *mask, {kMask, 2});
    return chart.Document();
}

std::string ParetoSvg(const std::vector<CItemStatistics>& items) {
    std::vector<const CItemStatistics*> failed;
    for (const CItemStatistics& s : items)
        if (s.failures > 0) failed.push_back(&s);
    const double most = failed.empty() ? 1.0 : double(failed.front()->failures);
    CChart chart(0, double(std::max<size_t>(failed.size(), 1)), 0, most * 1.1, EXAxis::unlabelled);
    for (size_t i = 0; i < failed.size(); ++i) {
        const int left = chart.X(double(i)), right = chart.X(double(i + 1));
        chart.Canvas().FillRect({left + (right - left) / 6, chart.Y(double(failed[i]->failures)),
                                 right - (right - left) / 6, chart.Plot().bottom - 1},
                                kFailureBar);
        const std::string name = failed[i]->id.substr(0, size_t(std::max(1, (right - left) / 7)));
        chart.Canvas().DrawText({left + 2, chart.Plot().bottom + 4}, name, kInk);
    }
    return chart.Document();
}
