#pragma once
// The data logger's plot: the grid with both Y axes' labels, the readouts in the selected plot's
// colour, the logged plots (or their sum or merge) as traces and the marker on the selected
// plot. It draws inside the view's plot (plot/Plot.h), which keeps the marker, the mouse and the
// colours; the module hands it, per drawing, the plots and what its settings say about the axes.

#include "dsp/DSPFFTDataList.h"
#include "modules/logger/LoggerTrace.h"
#include "plot/Plot.h"
#include "process/Readout.h"

#include <array>
#include <vector>

class CLoggerPlot {
public:
    /** A plot drawn, in its colour. */
    struct CTrace {
        const CDSPFFTDataList* plot;
        CColour colour;
    };
    /** What one drawing shows besides the records' axes. */
    struct CScene {
        std::vector<CTrace> traces;
        /** The plot the marker reads (null for none), and its colour. */
        const CDSPFFTDataList* marked = nullptr;
        CColour markedColour{};
        int xAxisType = 2;
        double startBin = 1.0, stopBin = 33.0;
        int32_t horizontalPosition = 50;
        /** The marker's Y axis (0 or 1) with its type and reference. */
        int markerAxis = 0;
        int markerType = 1;
        double markerRef = 1.0;
        /** Scale, start, stop and Y2 scale above the plot, gain and delay below, the title. */
        std::vector<CReadoutValue> readouts;
        CColour textColour{};
    };

    /** The drawing record of Y axis 0 or 1. */
    CLoggerChan& Record(int axis) { return m_records[axis == 1 ? 1 : 0]; }
    const CLoggerChan& Record(int axis) const { return m_records[axis == 1 ? 1 : 0]; }

    /** Draws in `area` of the view's plot, whose plot rectangle it sets. */
    void Draw(ICanvas& canvas, CPlot& plot, const CRect& area, const CScene& scene);
    /** The values of axis `axis` the traces of these plots hold in the visible range. */
    std::vector<double> TraceValues(int axis, const std::vector<CTrace>& traces, int xAxisType);

private:
    /** Points both records at a plot's arrays with its gain and delay. */
    void PointRecords(const CDSPFFTDataList& plot, int xAxisType);
    void DrawGrid(ICanvas& canvas, const CPlot& plot, const CRect& rect, const CScene& scene) const;
    void DrawTexts(ICanvas& canvas, const CRect& rect, const CScene& scene) const;
    void DrawTraces(ICanvas& canvas, const CRect& rect, const CScene& scene);
    void DrawMarker(ICanvas& canvas, CPlot& plot, const CRect& rect, const CScene& scene) const;

    std::array<CLoggerChan, 2> m_records;
    /** Plot margins inside the plot area: left, top, right, bottom. */
    CRect m_margins{35, 15, 38, 20};
};
