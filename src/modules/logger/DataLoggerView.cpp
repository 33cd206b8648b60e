// The data logger's refresh: the drawing records and control states from the settings, the
// display mode the log allows, the plots drawn and the readouts around them.

#include "modules/logger/DataLoggerView.h"

#include "base/NumberText.h"
#include "modules/logger/LoggerAxes.h"
#include "plot/DivisionScales.h"

#include <algorithm>
#include <cmath>

AURIVO_IMPLEMENT_DYNAMIC(CDataLoggerView, RUNTIME_CLASS(CDspView));

namespace {
const std::string& Item(const std::vector<std::string>& items, int32_t index) {
    static const std::string none;
    return index >= 0 && size_t(index) < items.size() ? items[size_t(index)] : none;
}
} // namespace

CDataLoggerView::CDataLoggerView() {
    m_axes[1].type = kLogYDegrees;
    m_axes[1].scaleIndex = 0;
    for (size_t i = 0; i < m_axes.size(); ++i) {
        m_axes[i].scales = MakeLoggerYScaleList(m_axes[i].type);
        m_loggerPlot.Record(int(i)).yCode = m_axes[i].type;
    }
    AddControls();
}

void CDataLoggerView::OnInitialUpdate() {
    CDspView::OnInitialUpdate();
    MatchLog();
    MakeFreqScale();
    ShowCurrentParams();
    Invalidate();
}

void CDataLoggerView::MakeFreqScale() {
    const double rate = m_log.SampleRate();
    const int32_t size = m_log.Size();
    m_freqLabels.clear();
    for (int i = 0; i < kFreqPositions; ++i)
        m_freqLabels.push_back(FormatText("%dHz", int(std::lround(i * rate / 64.0))));
    m_startBin = double(m_startPosition) * size / 64.0;
    m_stopBin = double(m_stopPosition) * size / 64.0;
    for (int a = 0; a < 2; ++a) {
        m_loggerPlot.Record(a).firstBin = m_startBin;
        m_loggerPlot.Record(a).lastBin = m_stopBin;
    }
}

void CDataLoggerView::ShowCurrentParams() {
    CDspView::ShowCurrentParams();
    MatchLog();
    const bool time = LoggerIsTimeAxis(m_xAxisType);
    const double rate = m_log.SampleRate();
    const int32_t size = m_log.Size();
    if (m_xAxisTypeChanged) {
        m_xAxisTypeChanged = false;
        m_startPosition = 0;
        m_stopPosition = kFreqPositions - 1;
    }
    const double timePerDivision = ParseDivisionText(Item(TimePerDivisionChoices(), m_timeIndex));
    for (int i = 0; i < 2; ++i) {
        CLoggerChan& r = m_loggerPlot.Record(i);
        r.xCode = m_xAxisType;
        r.sampleRate = rate;
        r.blockSize = size;
        r.verticalPosition = time ? 50.0 : 0.0;
        r.timePerDivision = timePerDivision;
        r.horizontalPosition = m_horizontalPosition;
    }
    if (time) {
        m_startBin = 0.0;
        m_stopBin = size - 1;
        for (int i = 0; i < 2; ++i) {
            m_loggerPlot.Record(i).firstBin = 0.0;
            m_loggerPlot.Record(i).lastBin = 10.0 * timePerDivision * rate;
        }
    } else {
        MakeFreqScale();
    }

    for (int i = 0; i < 2; ++i) {
        CAxisSettings& a = m_axes[size_t(i)];
        CLoggerChan& r = m_loggerPlot.Record(i);
        // A new Y type, chosen or set from text, starts at its default scale.
        if (r.yCode != a.type) {
            r.yCode = a.type;
            a.scales = MakeLoggerYScaleList(a.type);
            a.scaleIndex = LoggerYAxisType(a.type).defaultScale;
        }
        a.scaleIndex = std::clamp(a.scaleIndex, 0, int32_t(a.scales.size()) - 1);
        r.scalePerDivision = ParseDivisionText(Item(a.scales, a.scaleIndex));
        r.reference = a.ref;
    }
    const bool impedance = m_axes[0].type == kLogYImpedance || m_axes[1].type == kLogYImpedance;
    for (int i = 0; i < 2; ++i)
        m_loggerPlot.Record(i).impedanceShown = impedance;
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
    const bool time = LoggerIsTimeAxis(m_xAxisType);
    const std::string plot = FormatText("Plot%d", m_selectedPlot + 1);
    return {
        {0, "Y1 scale", Item(m_axes[0].scales, m_axes[0].scaleIndex), false},
        {0, time ? "T/Div" : "Start",
         time ? Item(TimePerDivisionChoices(), m_timeIndex) : Item(m_freqLabels, m_startPosition)},
        {0, "Stop", time ? std::string() : Item(m_freqLabels, m_stopPosition), !time},
        {0, "Y2 scale", Item(m_axes[1].scales, m_axes[1].scaleIndex), false},
        {0, "Gain " + plot,
         m_log.GainText(m_selectedPlot, ActingChannel(), LoggerIsDecibels(GainAxis().type))},
        {0, "Delay " + plot, m_log.DelayText(m_selectedPlot, ActingChannel())},
        {0, "Title", m_log.Title(), false},
    };
}
