#pragma once
// One plot channel: what a module draws for one signal channel (a grid with labelled axes, the
// trace of one array of the channel's block, an optional marker with its readout), filled in
// by the module before every paint. Nothing of it is stored; the module rebuilds it.
//
// What the axes show is in PlotCodes.h. Plot styles: 0 line, 1 solid bars, 2 sunken bars,
// 3 hollow bars, 4..6 the same bars in rainbow colours.

#include "platform/Canvas.h"
#include "plot/PlotAxis.h"
#include "plot/PlotCodes.h"
#include "plot/PlotColours.h"
#include "plot/PlotGrid.h"
#include "plot/PlotMarker.h"
#include "base/RuntimeClass.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CDSPFFTDataList;

/** The arrays of channel `channel` of `list` with its companion (the other of the first two
 *  channels, when it holds as many values); empty when the list has no such channel. */
CTraceArrays TraceArraysOf(const CDSPFFTDataList& list, int channel);

class CChannel : public CObject {
    AURIVO_DECLARE_SERIAL(CChannel)
public:
    /** Looks the channel's own arrays and its companion's (impedance) up each time they are
     *  read: a module replaces or resizes its blocks between paints, so the channel never keeps
     *  a pointer into them. Empty: nothing to draw. */
    std::function<CTraceArrays()> m_arrays;
    /** 0-based position in its list: which channel of a logged plot it draws. */
    int32_t m_index = 0;
    double m_sampleRate = 96000.0;
    int32_t m_blockSize = 1024;
    int32_t m_numUsed = 1024;
    /** Time display: offset in percent of the width and seconds per division. */
    double m_timeOffset = 0.0;
    double m_timePerDivision = 1.0;
    EPlotX m_xCode = EPlotX::Time;
    int32_t m_startBin = 1;
    int32_t m_stopBin = 1024;
    /** Linear displays: the zero line's height above the bottom in percent of the height. */
    double m_yOffset = 0.0;
    /** Units per division; for the 3-D display the level at the top. */
    double m_yScale = 1.0;
    EPlotY m_yCode = EPlotY::None;
    /** The 3-D display: the level at the bottom. */
    double m_bottomLevel = -100.0;
    double m_depthTimePerDivision = 1.0;
    double m_ref1 = 1.0;
    double m_ref2 = 1.0;
    int32_t m_plotStyle = 0;
    /** Factor and phase delay applied in marker readouts. */
    double m_gain = 1.0;
    double m_delay = 0.0;
    int32_t m_plotCount = 1;
    /** When not empty, the 3-D display draws its traces from these plots (not owned). */
    std::vector<const CDSPFFTDataList*> m_loggedPlots;
    CRect m_plotRect;
    /** Where the plot's labels may go (the module's part of the picture); empty: anywhere. */
    CRect m_labelBounds;
    CGridLayout m_grid;
    int32_t m_depthDivisions = 8;
    bool m_selected = false;
    CPlotMarker m_marker;
    CPlotColours m_colours;
    /** Labels in the custom text colour (the application's setting), else the window's. */
    bool m_customTextColour = true;

    /** The horizontal axis of trace `trace` (its own rectangle in the 3-D display). */
    CPlotAxis GetXAxis(const CTextMetrics& metrics, int trace = 0) const;
    /** The rectangle trace `trace` of the 3-D display is drawn in. */
    CRect GetTraceRect(const CTextMetrics& metrics, int trace) const;
    /** The value drawn for element k by Y code (magnitudes in volts peak); NaN where the
     *  element is NaN, which marks "no value here" (the trace has a gap). */
    double TraceValue(const CTraceArrays& arrays, int32_t k) const;
    /** y of value v. Y code 11 maps the levels from the top to the bottom level onto the
     *  trace's rectangle `trace`. */
    double YOfValue(double v, const CRect& trace) const;
    /** The arrays of trace `trace`: a logged plot's, or the channel's own. */
    CTraceArrays GetTraceArrays(int trace) const;

    /** Grid lines, labels and tick marks for the axis codes. */
    void DrawGrid(ICanvas& canvas) const;
    void DrawXDirTicks(ICanvas& canvas, int index) const;
    void DrawYDirTicks(ICanvas& canvas, int index) const;
    /** Every trace in the plot style, clipped to its rectangle. */
    void PlotData(ICanvas& canvas) const;
    /** Places and draws the marker (when on) and returns its readout; empty when off. */
    std::string DrawMarker(ICanvas& canvas);

    /** The index of the scale per division, of `scales` (ascending), that shows the traces
     *  whole: the smallest whose range holds every value drawn between the start and stop
     *  bins (for the decibel axes centred on 0 dB, every value within 100 dB of the highest,
     *  so a floor of empty bins does not squash the trace); the last when none does. -1 when
     *  the Y axis has no scale to choose (sound pressure, degrees, 3-D) or nothing is drawn. */
    int FitScale(const std::vector<double>& scales) const;

    /** A plot channel stores nothing. */
    void Serialize(CArchive&) override {}

private:
    /** The horizontal axis across the plot rectangle (the 3-D display's as one linear axis). */
    CPlotAxis GetPlainAxis() const;
    /** Trace points (element 0 first), trimmed to what reaches the plot, as runs of points
     *  between the elements that have no value. */
    std::vector<std::vector<CPoint>> TracePoints(const CTraceArrays& arrays, const CPlotAxis& axis,
                                                 const CRect& rect, const CRect& trace) const;
    void DrawBars(ICanvas& canvas, const std::vector<CPoint>& points, const CRect& rect) const;
    void DrawGrid3D(ICanvas& canvas, const CTextMetrics& metrics) const;
    CPen GridPen(const ICanvas& canvas) const;
    CColour LabelColour() const;
    CColour TraceColour() const { return m_selected ? m_colours.selectedTrace : m_colours.trace; }
    int TraceCount() const;
    /** Whether the arrays hold what the axis codes draw. */
    bool HasArrays(const CTraceArrays& arrays) const;
};
