// The data logger's plot: the layout inside the plot area, the traces of the logged plots, the
// readouts around them and the marker on the selected plot.

#include "modules/logger/LoggerPlot.h"

#include "modules/logger/LoggerAxes.h"
#include "plot/PlotValues.h"

#include <algorithm>

void CLoggerPlot::Draw(ICanvas& canvas, CPlot& plot, const CRect& area, const CScene& scene) {
    plot.SetPlotRect(area.Deflated(m_margins));
    const CRect rect = plot.PlotRect();
    if (rect.IsRectEmpty()) return;
    canvas.SetFont(canvas.IsPrinting() ? kPlotLargeFont : kPlotSmallFont);
    canvas.FillRect(rect, plot.Colours().background);
    DrawGrid(canvas, plot, rect, scene);
    DrawTexts(canvas, rect, scene);
    canvas.PushClip(rect);
    DrawTraces(canvas, rect, scene);
    DrawMarker(canvas, plot, rect, scene);
    canvas.PopClip();
}

std::vector<double> CLoggerPlot::TraceValues(int axis, const std::vector<CTrace>& traces,
                                             int xAxisType) {
    std::vector<double> values;
    for (const CTrace& trace : traces) {
        PointRecords(*trace.plot, xAxisType);
        const std::vector<double> plot = LoggerTraceValues(Record(axis));
        values.insert(values.end(), plot.begin(), plot.end());
    }
    return values;
}

void CLoggerPlot::PointRecords(const CDSPFFTDataList& plot, int xAxisType) {
    const int drawn = LoggerDrawnChannel(xAxisType);
    for (int i = 0; i < 2; ++i) {
        CLoggerChan& r = m_records[size_t(i)];
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

void CLoggerPlot::DrawTraces(ICanvas& canvas, const CRect& rect, const CScene& scene) {
    for (const CTrace& trace : scene.traces) {
        PointRecords(*trace.plot, scene.xAxisType);
        for (const CLoggerChan& record : m_records) {
            if (record.yCode == kLogYNone) continue;
            canvas.SetPen({trace.colour, 1});
            canvas.DrawPolyline(LoggerTracePoints(record, rect));
        }
    }
}

void CLoggerPlot::DrawMarker(ICanvas& canvas, CPlot& plot, const CRect& rect,
                             const CScene& scene) const {
    if (!scene.marked || !plot.Marker().on) return;
    // The marker reads the drawn channel of the selected plot on the marker axis.
    const int drawn = LoggerDrawnChannel(scene.xAxisType);
    const CDSPFFTData* block = scene.marked->GetAt(drawn);
    if (!block || !block->HasArrays()) return;
    CPlotAxis x = CPlotAxis::Across(rect, LoggerAxisKind(scene.xAxisType));
    x.sampleRate = block->GetSampleRate();
    x.blockSize = block->GetSize();
    x.startBin = int32_t(scene.startBin);
    x.stopBin = std::max(x.startBin + 1, int32_t(scene.stopBin));
    x.lowestFrequency = std::max(1.0, LoggerLowestFrequency(scene.xAxisType));
    x.timeOffset = scene.horizontalPosition;
    x.timePerDivision = Record(scene.markerAxis).timePerDivision;
    if (!x.IsDrawable()) return;
    CTraceArrays arrays;
    arrays.time = block->GetTimeObj()->GetDataPointer();
    arrays.magnitude = block->GetFreqObj()->GetDataPointer();
    arrays.phase = block->GetPhaseObj()->GetDataPointer();
    if (const CDSPFFTData* other = scene.marked->GetAt(1 - drawn); other && other->HasArrays()) {
        arrays.companionMagnitude = other->GetFreqObj()->GetDataPointer();
        arrays.companionPhase = other->GetPhaseObj()->GetDataPointer();
    }
    arrays.size = block->GetSize();
    const CReadoutScale scale{static_cast<EPlotY>(scene.markerType),
                              block->GetGain(),
                              block->GetDelay(),
                              scene.markerRef,
                              block->GetSampleRate(),
                              LoggerIsTimeAxis(scene.xAxisType)};
    PlaceMarker(plot.Marker(), x, rect);
    const std::string text =
        x.MarkerText(plot.Marker().index) + MarkerValueText(arrays, scale, plot.Marker().index);
    DrawMarkerReadout(canvas, rect, plot.Marker(), text, scene.markedColour);
}

void CLoggerPlot::DrawTexts(ICanvas& canvas, const CRect& plot, const CScene& scene) const {
    const CColour colour = scene.textColour;
    const int32_t width = plot.right - plot.left;
    const int32_t lineHeight = canvas.GetTextMetrics().height;
    const auto extent = [&](const std::string& t) { return canvas.GetTextExtent(t).cx; };
    const int32_t top = plot.top - lineHeight - 1;
    const int32_t bottom = plot.bottom - lineHeight - 2;
    std::string texts[7];
    for (size_t i = 0; i < 7 && i < scene.readouts.size(); ++i)
        texts[i] = scene.readouts[i].Text();
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
