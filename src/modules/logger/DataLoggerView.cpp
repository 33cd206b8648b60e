// The data logger's refresh: the axes and control states from the settings, the display mode
// the log allows, the plots drawn and the readouts around them.

#include "modules/logger/DataLoggerView.h"

#include "base/NumberText.h"
#include "modules/logger/LoggerAxes.h"

AURIVO_IMPLEMENT_DYNAMIC(CDataLoggerView, RUNTIME_CLASS(CDspView));

CDataLoggerView::CDataLoggerView() {
    AddControls();
}

void CDataLoggerView::OnInitialUpdate() {
    CDspView::OnInitialUpdate();
    MatchLog();
    MakeFreqScale();
    ShowCurrentParams();
    Invalidate();
}

void CDataLoggerView::ShowCurrentParams() {
    CDspView::ShowCurrentParams();
    MatchLog();
    ShowScales(m_log.SampleRate(), m_log.Size());
    ShowControls();

    if (!m_log.IsEmpty() && m_mergeFrequency > m_log.List()->GetSampleRate(0, 0) / 2.0) {
        ShowErrorMessage("Merge Frequency Must Be Less Than 1/2 Sample Rate");
        Controls().StateById("mergefreq")->text.clear();
    }
    Invalidate();
}

void CDataLoggerView::ShowControls() {
    // A mode the list stops offering (the plots or the axis changed under it) returns to "Plot"
    // for good; a mode chosen while it is not offered (read from a file or set on the command
    // line before a run) waits for the plots that make it possible.
    const bool offered = GetMode() == m_mode;
    if (!offered && m_offeredMode == m_mode) m_mode = CDataLog::kModePlot;
    m_offeredMode = offered ? m_mode : -1;
    UpdateControls();
}

void CDataLoggerView::SettingsLoaded() {
    m_offeredMode = -1;
    for (int i = 0; i < 2; ++i)
        m_loggerPlot.Record(i).yCode = m_axes[size_t(i)].type;
    ShowControls();
}

std::vector<std::string> CDataLoggerView::OfferedModes() const {
    return m_log.OfferedModes(LoggerIsTimeAxis(m_xAxisType));
}

int32_t CDataLoggerView::GetMode() const {
    return m_log.ShownMode(m_mode, LoggerIsTimeAxis(m_xAxisType));
}

// ---- Drawing --------------------------------------------------------------------------------

std::vector<CLoggerPlot::CTrace> CDataLoggerView::DrawnPlots() {
    std::vector<CLoggerPlot::CTrace> traces;
    const CDSPFFTDataLogList* log = m_log.List();
    if (!log) return traces;
    if (GetMode() == CDataLog::kModePlot) {
        for (int p = 0; p < log->GetCount(); ++p) {
            const CDSPFFTDataList& list = *log->GetAt(p);
            if (list.GetNumUsed(0) > 0 || list.GetNumUsed(1) > 0)
                traces.push_back({&list, LoggerPlotColour(p)});
        }
        return traces;
    }
    // Recomputed every time: gains and delays may have changed since.
    if (const CDSPFFTDataList* combined = m_log.Combine(GetMode(), m_mergeFrequency))
        traces.push_back({combined, LoggerPlotColour(0)});
    return traces;
}

void CDataLoggerView::OnDraw(ICanvas& canvas, const CRect& rect) {
    const CRect area = GetScreenRect(rect);
    canvas.BeginLayer(area);
    CDspView::OnDraw(canvas, rect);
    CLoggerPlot::CScene scene;
    if (!m_log.IsEmpty()) {
        scene.traces = DrawnPlots();
        // The marker reads the selected plot, or the one sum or merge.
        const CDSPFFTDataList* selected = m_log.List()->GetAt(m_selectedPlot);
        for (const CLoggerPlot::CTrace& trace : scene.traces)
            if (GetMode() != CDataLog::kModePlot || trace.plot == selected) {
                scene.marked = trace.plot;
                scene.markedColour = trace.colour;
            }
    }
    scene.xAxisType = m_xAxisType;
    scene.startBin = m_startBin;
    scene.stopBin = m_stopBin;
    scene.horizontalPosition = m_horizontalPosition;
    scene.markerAxis = int(Axis(m_markerAxis));
    scene.markerType = MarkerAxis().type;
    scene.markerRef = MarkerAxis().ref;
    scene.readouts = GetReadoutValues();
    scene.textColour = LoggerPlotColour(m_selectedPlot);
    m_loggerPlot.Draw(canvas, m_plot, area, scene);
    canvas.EndLayer();
}

// ---- Readouts -------------------------------------------------------------------------------

std::vector<CReadoutValue> CDataLoggerView::GetReadoutValues() const {
    const std::string plot = FormatText("Plot%d", m_selectedPlot + 1);
    std::vector<CReadoutValue> readouts = ScaleReadouts();
    readouts.insert(
        readouts.end(),
        {
            {0, "Gain " + plot,
             m_log.GainText(m_selectedPlot, ActingChannel(), LoggerIsDecibels(GainAxis().type))},
            {0, "Delay " + plot, m_log.DelayText(m_selectedPlot, ActingChannel())},
            {0, "Title", m_log.Title(), false},
        });
    return readouts;
}
