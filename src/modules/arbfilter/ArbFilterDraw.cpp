// The arbitrary filter's plot: the edited envelope's gain (dB) and phase (degrees) against a
// logarithmic frequency axis, and its text beside the plot while "Edit" is on.

#include "modules/arbfilter/ArbFilterView.h"

#include "base/NumberText.h"
#include "plot/AxisText.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr CColour kGainColour{0, 255, 0};
constexpr CColour kPhaseColour{255, 255, 0};
// The plot's floor: a gain below this is drawn here.
constexpr double kSmallestGain = 2e-09;
constexpr int kDivisions = 8;

double WrapDegrees(double degrees) {
    double wrapped = std::fmod(degrees + 180.0, 360.0);
    if (wrapped < 0.0) wrapped += 360.0;
    return wrapped - 180.0;
}

int Width(const CRect& r) {
    return r.right - r.left;
}
int Height(const CRect& r) {
    return r.bottom - r.top;
}

int Pixel(double value) {
    return int(std::clamp(std::lround(value), -1000000L, 1000000L));
}

} // namespace

double CArbFilterView::DbAxisScale(const CDSPFFTData& response) {
    double largest = 1.58;
    if (response.HasArrays()) {
        const double* gain = response.GetFreqObj()->GetDataPointer();
        for (int32_t k = 0; k < response.GetSize(); ++k) {
            const double m = std::max(std::fabs(gain[k]), kSmallestGain);
            largest = std::max({largest, m, 1.0 / m});
        }
    }
    return 4.0 * std::ceil(20.0 * std::log10(largest) / 4.0) + 4.0;
}

void CArbFilterView::GetEditLayout(const CRect& client, CRect& plot, CRect& text) const {
    plot = GetScreenRect(client);
    text = CRect{plot.right, plot.top, plot.right, plot.bottom};
    if (!m_editShown) return;
    text.left = plot.left + Width(plot) / 2;
    plot.right = text.left;
}

void CArbFilterView::OnDraw(ICanvas& canvas, const CRect& rect) {
    CDspView::OnDraw(canvas, rect);
    CRect area, textArea;
    GetEditLayout(rect, area, textArea);
    canvas.SetFont(kPlotSmallFont);
    const CTextMetrics metrics = canvas.GetTextMetrics();
    const CRect plot{area.left + 7 * metrics.averageCharWidth, area.top + 2 * metrics.height,
                     area.right - 6 * metrics.averageCharWidth, area.bottom - 2 * metrics.height};
    if (Width(plot) > 0 && Height(plot) > 0) DrawPlot(canvas, plot);

    const std::string& title = m_titles[size_t(m_editedEnvelope)];
    canvas.DrawText({area.left + 2, area.top + 2}, title, GetPlotColours().windowText);
    if (IsInverted(m_editedEnvelope))
        canvas.DrawText({area.left + 2, area.top + 2 + metrics.height}, "Inverted",
                        GetPlotColours().windowText);

    if (Width(textArea) <= 0) return;
    // What the host's editor covers on screen; on paper and in pictures the text itself.
    canvas.FillRect(textArea, CColour{255, 255, 255});
    canvas.PushClip(textArea);
    int y = textArea.top + 2;
    for (std::string_view line : EnvelopeText::SplitLines(m_texts[size_t(m_editedEnvelope)])) {
        if (y > textArea.bottom) break;
        canvas.DrawText({textArea.left + 4, y}, line, CColour{0, 0, 0});
        y += metrics.height;
    }
    canvas.PopClip();
}

void CArbFilterView::DrawPlot(ICanvas& canvas, const CRect& plot) const {
    canvas.FillRect(plot, GetPlotColours().background);
    const CDSPFFTData* block = EditedBlock();
    const double fs = block ? block->GetSampleRate() : 0.0;
    const double top = std::log10(fs / 2.0);
    const int32_t n = block ? block->GetSize() : 0;
    const CTextMetrics metrics = canvas.GetTextMetrics();
    const auto x = [&](double f) { return plot.left + Width(plot) * std::log10(f) / top; };

    // Frequency grid: ten lines per decade from 1 Hz, the decades labelled.
    canvas.SetPen({GetPlotColours().grid, 1});
    for (int decade = 0; decade < 5 && top > 0.0; ++decade)
        for (int multiplier = 1; multiplier <= 10; ++multiplier) {
            const double f = std::pow(10.0, decade) * multiplier;
            if (f > fs / 2.0) break;
            const int px = Pixel(x(f));
            canvas.DrawLine({px, plot.top}, {px, plot.bottom});
            if (multiplier == 1)
                canvas.DrawText({px, plot.bottom + 2}, GetXAxisLogFreqDispText(f),
                                GetPlotColours().windowText);
        }

    // dB on the left (symmetric about 0 dB), degrees on the right (45 per division).
    const double scale = block ? DbAxisScale(*block) : 4.0;
    for (int i = 0; i <= kDivisions; ++i) {
        const int py = plot.top + Height(plot) * i / kDivisions;
        canvas.DrawLine({plot.left, py}, {plot.right, py});
        const double db = scale - 2.0 * scale * i / kDivisions;
        const std::string dbText = FormatText("%+.0f", db);
        canvas.DrawText({plot.left - canvas.GetTextExtent(dbText).cx - 2, py - metrics.height / 2},
                        dbText, kGainColour);
        canvas.DrawText({plot.right + 2, py - metrics.height / 2},
                        GetYAxisDegDispText(180.0 - 45.0 * i), kPhaseColour);
    }
    if (!block || !block->HasArrays() || top <= 0.0) return;

    const double* gain = block->GetFreqObj()->GetDataPointer();
    const double* degrees = block->GetPhaseObj()->GetDataPointer();
    std::vector<CPoint> gains, phases;
    for (int32_t k = 1; k <= n / 2 - 2; ++k) {
        const int px = Pixel(x(k * fs / n));
        const double db = 20.0 * std::log10(std::max(std::fabs(gain[k]), kSmallestGain));
        gains.push_back({px, Pixel(plot.top + Height(plot) * (scale - db) / (2.0 * scale))});
        phases.push_back(
            {px, Pixel(plot.top + Height(plot) * (180.0 - WrapDegrees(degrees[k])) / 360.0)});
    }
    canvas.PushClip(plot);
    canvas.SetPen({kGainColour, 1});
    canvas.DrawPolyline(gains);
    canvas.SetPen({kPhaseColour, 1});
    canvas.DrawPolyline(phases);
    canvas.PopClip();
}
