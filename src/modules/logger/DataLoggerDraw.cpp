// The data logger's picture: the grid with both Y axes' labels, the readouts in the selected
// plot's colour, every logged plot (or their sum or merge) and the marker on the selected plot.

#include "modules/logger/DataLoggerView.h"

#include "base/NumberText.h"
#include "modules/logger/LoggerAxes.h"
#include "plot/AxisText.h"
#include "plot/DivisionScales.h"
#include "plot/PlotValues.h"

#include <algorithm>
#include <cmath>

namespace {
const std::string& Item(const std::vector<std::string>& items, int32_t index) {
    static const std::string none;
    return index >= 0 && size_t(index) < items.size() ? items[size_t(index)] : none;
}

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

void CDataLoggerView::UpdateCombined() {
    m_pCombined.reset();
    if (!m_pLog) return;
    if (GetMode() == kModeSum) m_pCombined = m_pLog->ComplexSum();
    if (GetMode() == kModeMerge) m_pCombined = m_pLog->Merge(0, 1, m_mergeFrequency);
}

void CDataLoggerView::PointRecords(const CDSPFFTDataList& plot) {
    const int drawn = LoggerDrawnChannel(m_xAxisType);
    for (int i = 0; i < 2; ++i) {
        CLoggerChan& r = m_axes[size_t(i)].record;
        const CDSPFFTData* a = plot.GetAt(0);
        const CDSPFFTData* b = plot.GetAt(1);
        const auto data = [](const CDSPFFTData* block, int array) -> const double* {
            if (!block || !block->HasArrays()) return nullptr;
            const CDSPData* arrays[3] = {block->GetTimeObj(), block->GetFreqObj(),
                                         block->GetPhaseObj()};
            return arrays[array]->GetDataPointer();
        };
        r.timeA = data(a, 0);
        r.magnitudeA = data(a, 1);
        r.phaseA = data(a, 2);
        r.timeB = data(b, 0);
        r.magnitudeB = data(b, 1);
        r.phaseB = data(b, 2);
        const CDSPFFTData* own = i == 0 ? a : b;
        r.sampleRate = own ? own->GetSampleRate() : plot.GetSampleRate(0);
        r.blockSize = plot.GetSize(0);
        r.numUsed = plot.GetNumUsed(drawn);
        r.gain = plot.GetGain(drawn);
        r.delay = plot.GetDelay(drawn);
    }
}

void CDataLoggerView::PlotData(ICanvas& canvas, const CLoggerChan& record, const CRect& plot,
                               CColour colour) const {
    if (record.yCode == kLogYNone) return;
    canvas.SetPen({colour, 1});
    canvas.DrawPolyline(LoggerTracePoints(record, plot));
}

void CDataLoggerView::DrawDisplay(ICanvas& canvas, const CRect& plot) {
    if (!m_pLog || m_pLog->IsEmpty()) return;
    const int drawn = LoggerDrawnChannel(m_xAxisType);
    const CDSPFFTDataList* marked = nullptr;
    CColour markedColour = LoggerPlotColour(0);
    if (GetMode() == kModePlot) {
        for (int p = 0; p < m_pLog->GetCount(); ++p) {
            const CDSPFFTDataList& list = *m_pLog->GetAt(p);
            if (list.GetNumUsed(0) <= 0 && list.GetNumUsed(1) <= 0) continue;
            PointRecords(list);
            for (const CAxisSettings& a : m_axes)
                PlotData(canvas, a.record, plot, LoggerPlotColour(p));
            if (p == m_selectedPlot) {
                marked = &list;
                markedColour = LoggerPlotColour(p);
            }
        }
    } else {
        // Recomputed at every redraw: gains and delays may have changed since.
        UpdateCombined();
        if (m_pCombined) {
            PointRecords(*m_pCombined);
            for (const CAxisSettings& a : m_axes)
                PlotData(canvas, a.record, plot, LoggerPlotColour(0));
            marked = m_pCombined.get();
        }
    }
    if (!marked || !m_plot.Marker().on) return;
    // The marker reads the drawn channel of the selected plot on the marker axis.
    const CAxisSettings& axis = MarkerAxis();
    const CDSPFFTData* block = marked->GetAt(drawn);
    if (!block || !block->HasArrays()) return;
    CPlotAxis x = CPlotAxis::Across(plot, LoggerAxisKind(m_xAxisType));
    x.sampleRate = block->GetSampleRate();
    x.blockSize = block->GetSize();
    x.startBin = int32_t(m_startBin);
    x.stopBin = std::max(x.startBin + 1, int32_t(m_stopBin));
    x.lowestFrequency = std::max(1.0, LoggerLowestFrequency(m_xAxisType));
    x.timeOffset = m_horizontalPosition;
    x.timePerDivision = axis.record.timePerDivision;
    if (!x.IsDrawable()) return;
    CTraceArrays arrays;
    arrays.time = block->GetTimeObj()->GetDataPointer();
    arrays.magnitude = block->GetFreqObj()->GetDataPointer();
    arrays.phase = block->GetPhaseObj()->GetDataPointer();
    if (const CDSPFFTData* other = marked->GetAt(1 - drawn); other && other->HasArrays()) {
        arrays.companionMagnitude = other->GetFreqObj()->GetDataPointer();
        arrays.companionPhase = other->GetPhaseObj()->GetDataPointer();
    }
    arrays.size = block->GetSize();
    const CReadoutScale scale{static_cast<EPlotY>(axis.type),
                              block->GetGain(),
                              block->GetDelay(),
                              axis.ref,
                              block->GetSampleRate(),
                              LoggerIsTimeAxis(m_xAxisType)};
    PlaceMarker(m_plot.Marker(), x, plot);
    const std::string text =
        x.MarkerText(m_plot.Marker().index) + MarkerValueText(arrays, scale, m_plot.Marker().index);
    DrawMarkerReadout(canvas, plot, m_plot.Marker(), text, markedColour);
}

void CDataLoggerView::DrawGrid(ICanvas& canvas, const CLoggerChan& y1, const CLoggerChan& y2,
                               const CRect& plot) const {
    const int32_t width = plot.right - plot.left, height = plot.bottom - plot.top;
    canvas.SetPen({GetPlotColours().grid, 1});
    const CColour labelColour = GetPlotColours().customText;
    CLabels labels(canvas, labelColour);
    const int32_t lineHeight = canvas.GetTextMetrics().height;
    for (int i = 0; i <= 8; ++i) {
        const int32_t y = plot.top + i * height / 8;
        canvas.DrawLine({plot.left, y}, {plot.right, y});
        const std::string left = YLabel(y1, i), right = YLabel(y2, i);
        labels.Draw(plot.left - 2 - labels.Width(left), y - lineHeight / 2, left);
        labels.Draw(plot.right + 2, y - lineHeight / 2, right);
    }
    const EAxisKind kind = LoggerAxisKind(m_xAxisType);
    if (kind != EAxisKind::log) {
        const double binWidth = y1.blockSize > 0 ? y1.sampleRate / y1.blockSize : 0.0;
        for (int i = 0; i <= 10; ++i) {
            const int32_t x = plot.left + i * width / 10;
            canvas.DrawLine({x, plot.top}, {x, plot.bottom});
            if (kind != EAxisKind::linear) continue;
            const double f = (m_startBin + (m_stopBin - m_startBin) * i / 10.0) * binWidth;
            const std::string text = GetXAxisLinFreqDispText(f);
            labels.Draw(x - labels.Width(text) / 2, plot.bottom + 2, text);
        }
    } else {
        canvas.DrawLine({plot.left, plot.top}, {plot.left, plot.bottom});
        canvas.DrawLine({plot.right, plot.top}, {plot.right, plot.bottom});
        // Lines at 1..9 times each decade inside the axis range; the decades are labelled.
        const double binWidth = y1.blockSize > 0 ? y1.sampleRate / y1.blockSize : 0.0;
        const double fmin =
            m_startBin > 0.0 ? m_startBin * binWidth : LoggerLowestFrequency(m_xAxisType);
        const double fmax = (m_stopBin - 1.0) * binWidth;
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
    }
    // Minor ticks on the middle lines of linear axes; a log axis has them at its left edge.
    if (kind == EAxisKind::log) {
        m_plot.DrawYDirTicks(canvas, plot, 0);
        return;
    }
    m_plot.DrawXDirTicks(canvas, plot, m_plot.Grid().xTickLine);
    m_plot.DrawYDirTicks(canvas, plot, m_plot.Grid().yTickLine);
}

std::string CDataLoggerView::GainText() const {
    const bool decibels = LoggerIsDecibels(GainAxis().type);
    if (!m_pLog || m_pLog->IsEmpty()) return decibels ? "0.00dB" : "1.00";
    const double gain = m_pLog->GetGain(m_selectedPlot, ActingChannel());
    if (gain == 1.0) return decibels ? "0.00dB" : "1.00";
    return decibels ? FormatText("%.3gdB", 20.0 * std::log10(gain)) : FormatText("%.3g", gain);
}

std::string CDataLoggerView::DelayText() const {
    const double delay =
        m_pLog && !m_pLog->IsEmpty() ? m_pLog->GetDelay(m_selectedPlot, ActingChannel()) : 0.0;
    return (std::fabs(delay) < 1e-9 ? std::string("0.00") : FormatText("%.3g", delay)) + " S";
}

std::vector<CReadoutValue> CDataLoggerView::GetReadoutValues() const {
    const bool time = LoggerIsTimeAxis(m_xAxisType);
    const std::string plot = FormatText("Plot%d", m_selectedPlot + 1);
    return {
        {0, "Y1 scale", Item(m_axes[0].scales, m_axes[0].scaleIndex), false},
        {0, time ? "T/Div" : "Start",
         time ? Item(TimePerDivisionChoices(), m_timeIndex) : Item(m_freqLabels, m_startPosition)},
        {0, "Stop", time ? std::string() : Item(m_freqLabels, m_stopPosition), !time},
        {0, "Y2 scale", Item(m_axes[1].scales, m_axes[1].scaleIndex), false},
        {0, "Gain " + plot, GainText()},
        {0, "Delay " + plot, DelayText()},
        {0, "Title", m_title, false},
    };
}

void CDataLoggerView::DrawControlText(ICanvas& canvas, const CRect& plot) const {
    const CColour colour = LoggerPlotColour(m_selectedPlot);
    const auto values = GetReadoutValues();
    const int32_t width = plot.right - plot.left;
    const int32_t lineHeight = canvas.GetTextMetrics().height;
    const auto extent = [&](const std::string& t) { return canvas.GetTextExtent(t).cx; };
    const int32_t top = plot.top - lineHeight - 1;
    const int32_t bottom = plot.bottom - lineHeight - 2;
    const std::string texts[7] = {values[0].Text(), values[1].Text(), values[2].Text(),
                                  values[3].Text(), values[4].Text(), values[5].Text(),
                                  values[6].Text()};
    // The top row centres the start and stop texts on the thirds of the plot, but in a narrow
    // pane they move aside so that no two texts of the row overlap.
    const int32_t gap = extent(" ");
    int32_t x[4] = {plot.left, plot.left + width / 3 - extent(texts[1]) / 2,
                    plot.left + 2 * width / 3 - extent(texts[2]) / 2,
                    plot.right - extent(texts[3])};
    x[1] = std::max(x[1], x[0] + extent(texts[0]) + gap);
    x[2] = std::min(std::max(x[2], x[1] + extent(texts[1]) + gap), x[3] - extent(texts[2]) - gap);
    x[1] = std::min(x[1], x[2] - extent(texts[1]) - gap);
    for (int i = 0; i < 4; ++i)
        canvas.DrawText({x[i], top}, texts[i], colour);
    canvas.DrawText({plot.left + 3, bottom}, texts[4], colour);
    canvas.DrawText({plot.right - 3 - extent(texts[5]), bottom}, texts[5], colour);
    canvas.DrawText({plot.left + (width - extent(texts[6])) / 2, plot.top + 2}, texts[6], colour);
}

void CDataLoggerView::OnDraw(ICanvas& canvas, const CRect& rect) {
    const CRect area = GetScreenRect(rect);
    canvas.BeginLayer(area);
    CDspView::OnDraw(canvas, rect);
    m_plot.SetPlotRect(area.Deflated(m_margins));
    const CRect plot = m_plot.PlotRect();
    if (plot.IsRectEmpty()) {
        canvas.EndLayer();
        return;
    }
    canvas.SetFont(canvas.IsPrinting() ? kPlotLargeFont : kPlotSmallFont);
    canvas.FillRect(plot, GetPlotColours().background);
    DrawGrid(canvas, m_axes[0].record, m_axes[1].record, plot);
    DrawControlText(canvas, plot);
    canvas.PushClip(plot);
    DrawDisplay(canvas, plot);
    canvas.PopClip();
    canvas.EndLayer();
}
