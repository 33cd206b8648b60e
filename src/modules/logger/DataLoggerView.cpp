// The data logger's settings: its control bar and handlers, the refresh of controls and drawing
// records from the settings, the run, and its part of a process file.

#include "modules/logger/DataLoggerView.h"

#include "base/NumberText.h"
#include "modules/logger/LoggerAxes.h"
#include "plot/DivisionScales.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"
#include "plot/ScaleFit.h"

#include <algorithm>
#include <array>
#include <cmath>

AURIVO_IMPLEMENT_DYNAMIC(CDataLoggerView, RUNTIME_CLASS(CDspView));

namespace {
constexpr size_t kRefTextLength = 15;
constexpr const char* kAxisIds[2] = {"y1", "y2"};

std::string Id(int axis, const char* suffix) {
    return std::string(kAxisIds[axis == 1 ? 1 : 0]) + suffix;
}

CControl Make(std::string id, EControlKind kind, const char* label, const char* group,
              const char* tooltip, std::vector<std::string> items = {}) {
    CControl c{std::move(id), kind, label, std::move(items)};
    c.numeric = kind == EControlKind::Edit;
    c.group = group;
    c.tooltip = tooltip;
    return c;
}

std::vector<std::string> PlotChoices() {
    std::vector<std::string> items;
    for (int i = 1; i <= CDataLoggerView::kPlotChoices; ++i)
        items.push_back(FormatText("Plot%d", i));
    return items;
}

const std::vector<std::string>& ModeTexts() {
    static const std::vector<std::string> items{"Plot", "Sum", "Merge"};
    return items;
}

const std::string& Item(const std::vector<std::string>& items, int32_t index) {
    static const std::string none;
    return index >= 0 && size_t(index) < items.size() ? items[size_t(index)] : none;
}

bool IsChoice(int selection, size_t count) {
    return selection >= 0 && size_t(selection) < count;
}
} // namespace

CDataLoggerView::CDataLoggerView() {
    m_axes[1].type = kLogYDegrees;
    m_axes[1].scaleIndex = 0;
    for (CAxisSettings& axis : m_axes)
        axis.scales = MakeLoggerYScaleList(axis.type);
    m_axes[0].record.yCode = m_axes[0].type;
    m_axes[1].record.yCode = m_axes[1].type;

    using K = EControlKind;
    CControlModel& c = Controls();
    const char* x = "XAxis:";
    c.Add(Make("xaxis", K::ComboBox, "Sel:", x, "What the X axis shows and which channel",
               LoggerXAxisChoices()));
    c.Add(Make("startdn", K::PushButton, "Dn", x, "Lower start frequency, or shorter time/div"));
    c.Add(Make("start", K::ReadOnlyText, "Start:", x, "Start frequency, or time per division"));
    c.Add(Make("startup", K::PushButton, "Up", x, "Higher start frequency, or longer time/div"));
    c.Add(Make("stopdn", K::PushButton, "Dn", x, "Lower stop frequency, or move left"));
    c.Add(Make("stop", K::ReadOnlyText, "Stop:", x, "Stop frequency, or horizontal position"));
    c.Add(Make("stopup", K::PushButton, "Up", x, "Higher stop frequency, or move right"));
    for (int a = 0; a < 2; ++a) {
        const char* group = a == 0 ? "YAxis1:" : "YAxis2:";
        c.Add(Make(Id(a, "axis"), K::ComboBox, "Sel:", group, "What this Y axis shows",
                   LoggerYAxisChoices()));
        c.Add(Make(Id(a, "scaledn"), K::PushButton, "Dn", group, "Finer scale"));
        c.Add(Make(Id(a, "scale"), K::ReadOnlyText, "Scale:", group, "Units per division"));
        c.Add(Make(Id(a, "scaleup"), K::PushButton, "Up", group, "Coarser scale"));
        c.Add(Make(Id(a, "fit"), K::PushButton, "Fit", group,
                   "The finest scale that shows every drawn plot whole"));
        c.Add(Make(Id(a, "ref"), K::Edit, "Ref:", group,
                   "dBRel: frequency in Hz; dBVSPL: volts at the reference level; | Z |: "
                   "reference resistance in ohms"));
        c.Add(Make(Id(a, "unit"), K::ReadOnlyText, "", group, "Unit of the reference"));
    }
    const char* adj = "Plot Adj:";
    c.Add(Make("plot", K::ComboBox, "Sel:", adj, "The plot the adjustments and files act on",
               PlotChoices()));
    // Each pair is its own small group, so the bar shows what it steps ("Gain ◀ ▶").
    c.Add(Make("gaindn", K::PushButton, "Dn", "Gain", "Lower the selected plot's gain by 0.01"));
    c.Add(Make("gainup", K::PushButton, "Up", "Gain", "Raise the selected plot's gain by 0.01"));
    c.Add(Make("delaydn", K::PushButton, "Dn", "Delay", "Delay the selected plot 0.1 ms less"));
    c.Add(Make("delayup", K::PushButton, "Up", "Delay", "Delay the selected plot 0.1 ms more"));
    const char* mode = "Mode";
    c.Add(Make("mode", K::ComboBox, "Mode", mode,
               "Plot: every plot; Sum: the complex sum of all plots; Merge: plot 1 below the "
               "merge frequency, plot 2 above it",
               {"Plot"}));
    c.Add(Make("mergefreq", K::Edit, "Merge Hz:", mode, "Crossover frequency of the merge, Hz"));
    const char* log = "Log";
    c.Add(Make("new", K::PushButton, "New", log, "Remove the selected plot from the log"));
    c.Add(Make("newall", K::PushButton, "New All", log, "Remove every plot from the log"));
    c.Add(Make("openplot", K::PushButton, "Open Plot", log,
               "Read a plot file into the selected plot"));
    c.Add(Make("opendlg", K::PushButton, "Open Dlg", log, "Replace the log by a data log file"));
    c.Add(Make("title", K::PushButton, "Title", log, "Edit the log's title"));
    c.Add(Make("saveplt", K::PushButton, "Save Plt", log,
               "Save the selected plot as a plot, FRD, ZMA or CSV file"));
    c.Add(Make("savedlg", K::PushButton, "Save Dlg", log, "Save the whole log as a data log file"));
    c.Add(Make("ifft", K::PushButton, "IFFT", log,
               "Transform the selected plot back into the time domain"));
    m_freqLabels.assign(kFreqPositions, "");
    UpdateControls();
}

// ---- Handlers -------------------------------------------------------------------------------

void CDataLoggerView::Changed() {
    ShowCurrentParams();
    SetModified();
}

void CDataLoggerView::OnSelChangeXAxisSel(int selection) {
    if (!IsChoice(selection, LoggerXAxisChoices().size())) return;
    m_xAxisType = selection;
    m_xAxisTypeChanged = true;
    Changed();
}

void CDataLoggerView::OnClickedDownXAxisStart() {
    if (LoggerIsTimeAxis(m_xAxisType)) {
        if (m_timeIndex > 0) --m_timeIndex;
    } else if (m_startPosition > 0) {
        --m_startPosition;
    }
    Changed();
}

void CDataLoggerView::OnClickedUpXAxisStart() {
    if (LoggerIsTimeAxis(m_xAxisType)) {
        if (m_timeIndex < kMaxTimeIndex) ++m_timeIndex;
    } else if (m_startPosition < kFreqPositions - 1 && m_startPosition < m_stopPosition - 1) {
        ++m_startPosition;
    }
    Changed();
}

void CDataLoggerView::OnClickedDownXAxisStop() {
    if (LoggerIsTimeAxis(m_xAxisType)) {
        if (m_horizontalPosition > 0) --m_horizontalPosition;
    } else if (m_stopPosition > m_startPosition + 1) {
        --m_stopPosition;
    }
    Changed();
}

void CDataLoggerView::OnClickedUpXAxisStop() {
    if (LoggerIsTimeAxis(m_xAxisType)) {
        if (m_horizontalPosition < kMaxPosition) ++m_horizontalPosition;
    } else if (m_stopPosition < kFreqPositions - 1) {
        ++m_stopPosition;
    }
    Changed();
}

void CDataLoggerView::OnSelChangeYAxisSel(int axis, int selection) {
    if (!IsChoice(selection, LoggerYAxisChoices().size())) return;
    CAxisSettings& a = m_axes[Axis(axis)];
    a.type = selection;
    a.ref = LoggerYAxisType(selection).ref;
    Changed();
}

void CDataLoggerView::OnClickedDownYAxisScale(int axis) {
    CAxisSettings& a = m_axes[Axis(axis)];
    if (a.scaleIndex > 0) --a.scaleIndex;
    Changed();
}

void CDataLoggerView::OnClickedFitYAxisScale(int axis) {
    CAxisSettings& a = m_axes[Axis(axis)];
    if (!m_pLog || a.type == kLogYNone || a.type == kLogYdBVSPL) return;
    // The plots as drawn: every plot holding data, or the one sum or merge.
    std::vector<const CDSPFFTDataList*> drawn;
    if (GetMode() == kModePlot) {
        for (int p = 0; p < m_pLog->GetCount(); ++p) {
            const CDSPFFTDataList& list = *m_pLog->GetAt(p);
            if (list.GetNumUsed(0) > 0 || list.GetNumUsed(1) > 0) drawn.push_back(&list);
        }
    } else {
        UpdateCombined();
        if (m_pCombined) drawn.push_back(m_pCombined.get());
    }
    std::vector<double> values;
    for (const CDSPFFTDataList* list : drawn) {
        PointRecords(*list);
        const std::vector<double> plot = LoggerTraceValues(a.record);
        values.insert(values.end(), plot.begin(), plot.end());
    }
    std::vector<double> scales;
    for (const std::string& text : a.scales)
        scales.push_back(ParseDivisionText(text));
    const bool decibels = LoggerIsDecibels(a.type);
    const bool centred = decibels || a.type == kLogYDegrees;
    const int fit =
        FitScaleIndex(values, scales, {8, centred ? 50.0 : a.record.verticalPosition, decibels});
    if (fit >= 0) a.scaleIndex = fit;
    Changed();
}

void CDataLoggerView::OnClickedUpYAxisScale(int axis) {
    CAxisSettings& a = m_axes[Axis(axis)];
    if (a.scaleIndex < int32_t(a.scales.size()) - 1) ++a.scaleIndex;
    Changed();
}

void CDataLoggerView::OnChangeYAxisRef(int axis, const std::string& text) {
    CAxisSettings& a = m_axes[Axis(axis)];
    std::string& shown = Controls().StateById(Id(int(Axis(axis)), "ref"))->text;
    shown = text.substr(0, kRefTextLength);
    const double value = ParseDouble(shown);
    if (!std::isfinite(value)) {
        RefuseControl("Ref: \"" + shown + "\" is not a finite number");
        UpdateControls();
        return;
    }
    if (value == a.ref) return;
    a.ref = value;
    a.record.reference = value;
    Changed();
}

void CDataLoggerView::OnSelChangePlotSel(int selection) {
    if (!IsChoice(selection, kPlotChoices)) return;
    m_selectedPlot = selection;
    Changed();
}

void CDataLoggerView::OnClickedDownGain() {
    if (!m_pLog || m_pLog->IsEmpty()) return;
    const double gain = m_pLog->GetGain(m_selectedPlot, ActingChannel());
    if (gain > kMinGain)
        // Held at the limit, so the gain never reaches zero or turns negative.
        m_pLog->SetGain(m_selectedPlot, ActingChannel(), std::max(gain - kGainStep, kMinGain));
    else
        ShowErrorMessage("Gain must be greater than " + FormatText("%.10g", kMinGain));
    Changed();
}

void CDataLoggerView::OnClickedUpGain() {
    if (!m_pLog || m_pLog->IsEmpty()) return;
    const double gain = m_pLog->GetGain(m_selectedPlot, ActingChannel());
    if (gain < kMaxGain)
        m_pLog->SetGain(m_selectedPlot, ActingChannel(), std::min(gain + kGainStep, kMaxGain));
    else
        ShowErrorMessage("Gain must be less than " + FormatText("%.10g", kMaxGain));
    Changed();
}

namespace {
std::string DelayMessage(const char* lead, double delay) {
    return lead + FormatText("%.10g", delay) + " Seconds (" +
           FormatText("%.10g", delay * CDataLoggerView::kFeetPerSecond) + " Feet of Travel Time)";
}
} // namespace

void CDataLoggerView::OnClickedDownDelay() {
    if (!m_pLog || m_pLog->IsEmpty()) return;
    const double delay = m_pLog->GetDelay(m_selectedPlot, ActingChannel());
    if (delay > kMinDelay)
        m_pLog->SetDelay(m_selectedPlot, ActingChannel(), std::max(delay - kDelayStep, kMinDelay));
    else
        ShowErrorMessage(DelayMessage("Delay must be greater than ", delay));
    Changed();
}

void CDataLoggerView::OnClickedUpDelay() {
    if (!m_pLog || m_pLog->IsEmpty()) return;
    const double delay = m_pLog->GetDelay(m_selectedPlot, ActingChannel());
    if (delay < kMaxDelay)
        m_pLog->SetDelay(m_selectedPlot, ActingChannel(), std::min(delay + kDelayStep, kMaxDelay));
    else
        ShowErrorMessage(DelayMessage("Delay must be less than ", delay));
    Changed();
}

std::vector<std::string> CDataLoggerView::OnUpdatePlotTypeSel() const {
    std::vector<std::string> items{"Plot"};
    if (m_pLog && m_pLog->GetCount() >= 2) items.push_back("Sum");
    if (m_pLog && m_pLog->GetNumUsed(0, 0) > 0 && m_pLog->GetNumUsed(1, 0) > 0 &&
        !LoggerIsTimeAxis(m_xAxisType))
        items.push_back("Merge");
    return items;
}

void CDataLoggerView::OnSelChangePlotTypeSel(int selection) {
    const std::vector<std::string> offered = OnUpdatePlotTypeSel();
    if (!IsChoice(selection, offered.size())) return;
    const auto it = std::find(ModeTexts().begin(), ModeTexts().end(), offered[size_t(selection)]);
    m_mode = int32_t(it - ModeTexts().begin());
    Changed();
}

void CDataLoggerView::OnChangeMergeFrequency(const std::string& text) {
    CControlState& edit = *Controls().StateById("mergefreq");
    for (const char ch : text)
        if (!std::isdigit(static_cast<unsigned char>(ch)) &&
            std::string_view("Ee+-.,").find(ch) == std::string_view::npos) {
            ShowErrorMessage("Edit control characters must be numeric");
            edit.text = "0.0";
            RefuseControl("Edit control characters must be numeric");
            return;
        }
    const double value = ParseDouble(text);
    if (!std::isfinite(value) || value == m_mergeFrequency) return;
    m_mergeFrequency = value;
    Changed();
}

int32_t CDataLoggerView::GetMode() const {
    // A mode the list does not offer now draws as "Plot"; a choice read from a file applies once
    // the log allows it (a process opened with "Merge" shows it after two passes).
    const std::vector<std::string> offered = OnUpdatePlotTypeSel();
    const std::string& mode = Item(ModeTexts(), m_mode);
    return std::find(offered.begin(), offered.end(), mode) != offered.end() ? m_mode : kModePlot;
}

void CDataLoggerView::OnClickedNew() {
    if (m_pLog && !m_pLog->IsEmpty()) m_pLog->RemoveAt(m_selectedPlot);
    Changed();
}

void CDataLoggerView::OnClickedNewAll() {
    if (m_pLog) m_pLog->RemoveAll();
    m_title = " ";
    Changed();
}

void CDataLoggerView::OnSelMarkerYAxis(int axis) {
    m_markerAxis = int32_t(Axis(axis));
    Invalidate();
}

bool CDataLoggerView::OnControlChanged(const std::string& id) {
    const CControlState& s = *Controls().StateById(id);
    using Handler = void (*)(CDataLoggerView&, const CControlState&);
    using V = CDataLoggerView;
    static const std::array<std::pair<const char*, Handler>, 30> kHandlers{{
        {"xaxis", [](V& v, const CControlState& s) { v.OnSelChangeXAxisSel(s.selection); }},
        {"startdn", [](V& v, const CControlState&) { v.OnClickedDownXAxisStart(); }},
        {"startup", [](V& v, const CControlState&) { v.OnClickedUpXAxisStart(); }},
        {"stopdn", [](V& v, const CControlState&) { v.OnClickedDownXAxisStop(); }},
        {"stopup", [](V& v, const CControlState&) { v.OnClickedUpXAxisStop(); }},
        {"y1axis", [](V& v, const CControlState& s) { v.OnSelChangeYAxisSel(0, s.selection); }},
        {"y1scaledn", [](V& v, const CControlState&) { v.OnClickedDownYAxisScale(0); }},
        {"y1scaleup", [](V& v, const CControlState&) { v.OnClickedUpYAxisScale(0); }},
        {"y1fit", [](V& v, const CControlState&) { v.OnClickedFitYAxisScale(0); }},
        {"y1ref", [](V& v, const CControlState& s) { v.OnChangeYAxisRef(0, s.text); }},
        {"y2axis", [](V& v, const CControlState& s) { v.OnSelChangeYAxisSel(1, s.selection); }},
        {"y2scaledn", [](V& v, const CControlState&) { v.OnClickedDownYAxisScale(1); }},
        {"y2scaleup", [](V& v, const CControlState&) { v.OnClickedUpYAxisScale(1); }},
        {"y2fit", [](V& v, const CControlState&) { v.OnClickedFitYAxisScale(1); }},
        {"y2ref", [](V& v, const CControlState& s) { v.OnChangeYAxisRef(1, s.text); }},
        {"plot", [](V& v, const CControlState& s) { v.OnSelChangePlotSel(s.selection); }},
        {"gaindn", [](V& v, const CControlState&) { v.OnClickedDownGain(); }},
        {"gainup", [](V& v, const CControlState&) { v.OnClickedUpGain(); }},
        {"delaydn", [](V& v, const CControlState&) { v.OnClickedDownDelay(); }},
        {"delayup", [](V& v, const CControlState&) { v.OnClickedUpDelay(); }},
        {"mode", [](V& v, const CControlState& s) { v.OnSelChangePlotTypeSel(s.selection); }},
        {"mergefreq", [](V& v, const CControlState& s) { v.OnChangeMergeFrequency(s.text); }},
        {"new", [](V& v, const CControlState&) { v.OnClickedNew(); }},
        {"newall", [](V& v, const CControlState&) { v.OnClickedNewAll(); }},
        {"openplot", [](V& v, const CControlState&) { v.OnClickedOpenPlot(); }},
        {"opendlg", [](V& v, const CControlState&) { v.OnClickedOpenDatalog(); }},
        {"title", [](V& v, const CControlState&) { v.OnClickedTitle(); }},
        {"saveplt", [](V& v, const CControlState&) { v.OnClickedSavePlot(); }},
        {"savedlg", [](V& v, const CControlState&) { v.OnClickedSaveDatalog(); }},
        {"ifft", [](V& v, const CControlState&) { v.OnClickedDoIFFT(); }},
    }};
    for (const auto& [name, handler] : kHandlers)
        if (id == name) {
            handler(*this, s);
            return !IsControlRefused();
        }
    return true;
}

// ---- Refresh --------------------------------------------------------------------------------

CDataLoggerView::CProcessShape CDataLoggerView::ProcessShape() const {
    const CDspDoc* doc = GetDocument();
    if (!doc) return {};
    return {doc->GetNumChans(), doc->GetType(), doc->GetSize(), doc->GetSampleRate(),
            doc->GetProcessDesc(this)};
}

void CDataLoggerView::MatchLog() {
    const CProcessShape process = ProcessShape();
    if (process.size <= 0) return;
    if (m_pLog && process == m_logProcess) return;
    // A new FFT size, sample rate or step position: the plots logged no longer fit. The blocks
    // themselves may come at another rate (a WAV file's), which the first pass gives the log.
    auto log = std::make_unique<CDSPFFTDataLogList>();
    if (!log->CreateEx(process.channels, process.type, process.size, process.sampleRate,
                       process.description))
        return;
    m_pLog = std::move(log);
    m_logProcess = process;
    m_pCombined.reset();
}

bool CDataLoggerView::LogTakes(const CDSPFFTDataList& blocks) {
    const CDSPFFTData* first = blocks.GetAt(0);
    if (!first) return false;
    const bool same =
        blocks.GetNumChans() == m_pLog->GetChannels() && first->GetType() == m_pLog->GetType() &&
        first->GetSize() == m_pLog->GetSize() && first->GetSampleRate() == m_pLog->GetSampleRate();
    if (same) return true;
    if (m_pLog->IsEmpty()) {
        m_pLog->SetShape(blocks.GetNumChans(), first->GetType(), first->GetSize(),
                         first->GetSampleRate(), 1);
        MakeFreqScale();
        return true;
    }
    // Logging on would mix shapes that no data log file can hold; clearing would lose them.
    ShowErrorMessage(FormatText(
        "The blocks reaching this step (%d channels of %d elements at %s samp/sec) differ from "
        "the %d plots in the log (%d channels of %d elements at %s samp/sec).\r\nSave the log "
        "with \"Save Dlg\", then clear it with \"New All\" to log the new blocks.",
        blocks.GetNumChans(), first->GetSize(), FormatText("%.10g", first->GetSampleRate()).c_str(),
        m_pLog->GetCount(), m_pLog->GetChannels(), m_pLog->GetSize(),
        FormatText("%.10g", m_pLog->GetSampleRate()).c_str()));
    return false;
}

void CDataLoggerView::MakeFreqScale() {
    const double rate = m_pLog ? m_pLog->GetSampleRate() : 96000.0;
    const int32_t size = m_pLog ? m_pLog->GetSize() : 1024;
    m_freqLabels.clear();
    for (int i = 0; i < kFreqPositions; ++i)
        m_freqLabels.push_back(FormatText("%dHz", int(std::lround(i * rate / 64.0))));
    m_startBin = double(m_startPosition) * size / 64.0;
    m_stopBin = double(m_stopPosition) * size / 64.0;
    for (CAxisSettings& a : m_axes) {
        a.record.firstBin = m_startBin;
        a.record.lastBin = m_stopBin;
    }
}

void CDataLoggerView::SetAxisLabels() {
    const bool time = LoggerIsTimeAxis(m_xAxisType);
    Controls().ControlById("start")->label = time ? "T/Div:" : "Start:";
    Controls().ControlById("stop")->label = time ? "Pos:" : "Stop:";
}

void CDataLoggerView::ShowCurrentParams() {
    CDspView::ShowCurrentParams();
    MatchLog();
    const bool time = LoggerIsTimeAxis(m_xAxisType);
    const double rate = m_pLog ? m_pLog->GetSampleRate() : 96000.0;
    const int32_t size = m_pLog ? m_pLog->GetSize() : 1024;
    if (m_xAxisTypeChanged) {
        m_xAxisTypeChanged = false;
        m_startPosition = 0;
        m_stopPosition = kFreqPositions - 1;
    }
    const double timePerDivision = ParseDivisionText(Item(TimePerDivisionChoices(), m_timeIndex));
    for (CAxisSettings& a : m_axes) {
        CLoggerChan& r = a.record;
        r.xCode = m_xAxisType;
        r.sampleRate = rate;
        r.blockSize = size;
        r.verticalPosition = time ? 50.0 : 0.0;
        r.timePerDivision = timePerDivision;
        r.horizontalPosition = m_horizontalPosition;
    }
    SetAxisLabels();
    if (time) {
        m_startBin = 0.0;
        m_stopBin = size - 1;
        for (CAxisSettings& a : m_axes) {
            a.record.firstBin = 0.0;
            a.record.lastBin = 10.0 * timePerDivision * rate;
        }
    } else {
        MakeFreqScale();
    }

    for (int i = 0; i < 2; ++i) {
        CAxisSettings& a = m_axes[size_t(i)];
        if (a.record.yCode != a.type) {
            a.record.yCode = a.type;
            a.scales = MakeLoggerYScaleList(a.type);
            a.scaleIndex = LoggerYAxisType(a.type).defaultScale;
        }
        a.scaleIndex = std::clamp(a.scaleIndex, 0, int32_t(a.scales.size()) - 1);
        a.record.scalePerDivision = ParseDivisionText(Item(a.scales, a.scaleIndex));
        a.record.reference = a.ref;
    }
    const bool impedance = m_axes[0].type == kLogYImpedance || m_axes[1].type == kLogYImpedance;
    for (CAxisSettings& a : m_axes)
        a.record.impedanceShown = impedance;
    UpdateControls();

    if (m_pLog && !m_pLog->IsEmpty() && m_mergeFrequency > m_pLog->GetSampleRate(0, 0) / 2.0) {
        ShowErrorMessage("Merge Frequency Must Be Less Than 1/2 Sample Rate");
        Controls().StateById("mergefreq")->text.clear();
    }
    Invalidate();
}

void CDataLoggerView::UpdateControls() {
    CControlModel& c = Controls();
    auto choose = [&](const std::string& id, int index) {
        CControlState& state = *c.StateById(id);
        state.selection = index;
        state.text = Item(c.ControlById(id)->items, index);
    };
    choose("xaxis", m_xAxisType);
    choose("plot", m_selectedPlot);
    const bool time = LoggerIsTimeAxis(m_xAxisType);
    c.StateById("start")->text =
        time ? Item(TimePerDivisionChoices(), m_timeIndex) : Item(m_freqLabels, m_startPosition);
    c.StateById("stop")->text =
        time ? FormatText("%d", m_horizontalPosition) : Item(m_freqLabels, m_stopPosition);
    for (int i = 0; i < 2; ++i) {
        const CAxisSettings& a = m_axes[size_t(i)];
        const CLoggerYAxisType& type = LoggerYAxisType(a.type);
        choose(Id(i, "axis"), a.type);
        c.StateById(Id(i, "scale"))->text = Item(a.scales, a.scaleIndex);
        c.StateById(Id(i, "scaledn"))->enabled = a.type != kLogYNone;
        c.StateById(Id(i, "scaleup"))->enabled = a.type != kLogYNone;
        // dB SPL is drawn at a fixed 10 dB per division: there is no scale to fit.
        c.StateById(Id(i, "fit"))->enabled = a.type != kLogYNone && a.type != kLogYdBVSPL;
        CControlState& ref = *c.StateById(Id(i, "ref"));
        if (ParseDouble(ref.text) != a.ref || ref.text.empty())
            ref.text = FormatText("%3.6G", a.ref);
        ref.enabled = type.refEnabled;
        c.StateById(Id(i, "unit"))->text = type.unit;
    }
    // A mode the list stops offering (the plots or the axis changed under it) returns to "Plot"
    // for good; a mode chosen while it is not offered (read from a file or set on the command
    // line before a run) waits for the plots that make it possible.
    const bool offered = GetMode() == m_mode;
    if (!offered && m_offeredMode == m_mode) m_mode = kModePlot;
    m_offeredMode = offered ? m_mode : -1;
    CControl& mode = *c.ControlById("mode");
    mode.items = OnUpdatePlotTypeSel();
    const std::string& modeText = Item(ModeTexts(), GetMode());
    const auto it = std::find(mode.items.begin(), mode.items.end(), modeText);
    choose("mode", int(it - mode.items.begin()));
    c.StateById("mergefreq")->text = FormatText("%3.6G", m_mergeFrequency);
}

void CDataLoggerView::OnInitialUpdate() {
    CDspView::OnInitialUpdate();
    MatchLog();
    MakeFreqScale();
    ShowCurrentParams();
    Invalidate();
}

// ---- Run ------------------------------------------------------------------------------------

int CDataLoggerView::StartRun() {
    for (CAxisSettings& a : m_axes) {
        CLoggerChan& r = a.record;
        CDSPFFTDataList* list = m_pWorkingList.get();
        r.timeA = list ? list->GetTimeData(0) : nullptr;
        r.magnitudeA = list ? list->GetFreqData(0) : nullptr;
        r.phaseA = list ? list->GetPhaseData(0) : nullptr;
        r.timeB = list ? list->GetTimeData(1) : nullptr;
        r.magnitudeB = list ? list->GetFreqData(1) : nullptr;
        r.phaseB = list ? list->GetPhaseData(1) : nullptr;
    }
    if (!LoggerIsTimeAxis(m_xAxisType)) MakeFreqScale();
    return 1;
}

int64_t CDataLoggerView::MaxPlots() const {
    const CDspApp* app = GetDocument() ? GetDocument()->GetApp() : nullptr;
    return app ? app->GetSettings().dataLogMaxPlots : CAppSettings{}.dataLogMaxPlots;
}

int64_t CDataLoggerView::MaxBytes() const {
    const CDspApp* app = GetDocument() ? GetDocument()->GetApp() : nullptr;
    const int megabytes =
        app ? app->GetSettings().dataLogMaxMegabytes : CAppSettings{}.dataLogMaxMegabytes;
    return int64_t(megabytes) << 20;
}

int CDataLoggerView::ProcessData() {
    CDspDoc* doc = GetDocument();
    const CDSPFFTDataList* input = doc ? doc->GetCurrentList() : nullptr;
    if (!input) input = m_pWorkingList.get();
    if (!input) {
        ShowErrorMessage("System Memory Allocation Error");
        return 0;
    }
    MatchLog();
    if (!m_pLog) {
        ShowErrorMessage("System Memory Allocation Error");
        return 0;
    }
    if (!LogTakes(*input)) return 0;
    // Every pass adds a plot; a long run at a large block size would otherwise take all memory.
    const int64_t plots = m_pLog->GetCount() + 1;
    const int64_t bytes = plots * m_pLog->BytesPerPlot();
    if (plots > MaxPlots() || bytes > MaxBytes()) {
        ShowErrorMessage(FormatText(
            "The data log is full: it holds %d plots, the most it may hold (settings "
            "DataLogMaxPlots %lld and DataLogMaxMegabytes %lld).\r\nSave it with \"Save Dlg\", "
            "then clear it with \"New All\" to log more.",
            m_pLog->GetCount(), static_cast<long long>(MaxPlots()),
            static_cast<long long>(MaxBytes() >> 20)));
        return 0;
    }
    if (m_pLog->AddTail(*input) == 0) {
        ShowErrorMessage("System Memory Allocation Error");
        return 0;
    }
    // The copy holds every value of each block.
    CDSPFFTDataList& plot = *m_pLog->GetAt(m_pLog->GetCount() - 1);
    for (int c = 0; c < plot.GetNumChans(); ++c)
        plot.SetNumUsed(c, plot.GetSize(c));
    UpdateControls();
    Invalidate();
    return 1;
}

// ---- Settings and archive -------------------------------------------------------------------

const CFieldTable<CDataLoggerView>& CDataLoggerView::Fields() {
    using V = CDataLoggerView;
    using F = CSettingField<V>;
    using List = std::vector<std::string> (*)(const V&);
    const auto whole = [](const char* id, const char* label, int32_t V::*member, int32_t maximum,
                          const char* message, List items) {
        F f{id,
            label,
            EFieldType::Int32,
            [=](const V& v) { return double(v.*member); },
            [=](V& v, double x) { v.*member = int32_t(x); },
            InRange(0, maximum, message)};
        if (items) f.items = items;
        return f;
    };
    const auto real = [](const char* id, const char* label, double V::*member,
                         const char* message) {
        return F{id,
                 label,
                 EFieldType::Double,
                 [=](const V& v) { return v.*member; },
                 [=](V& v, double x) { v.*member = x; },
                 Finite(message)};
    };
    const auto axis = [](int a, bool scale, int32_t maximum, const char* message, List items) {
        return F{Id(a, scale ? "scaleindex" : "axis"),
                 FormatText("Y%d %s", a + 1, scale ? "Scale" : "Sel"),
                 EFieldType::Int32,
                 [=](const V& v) {
                     const CAxisSettings& s = v.m_axes[size_t(a)];
                     return double(scale ? s.scaleIndex : s.type);
                 },
                 [=](V& v, double x) {
                     CAxisSettings& s = v.m_axes[size_t(a)];
                     (scale ? s.scaleIndex : s.type) = int32_t(x);
                     if (!scale) s.scales = MakeLoggerYScaleList(s.type);
                 },
                 InRange(0, maximum, message),
                 items};
    };
    const auto ref = [](int a) {
        return F{Id(a, "ref"),
                 FormatText("Y%d Ref", a + 1),
                 EFieldType::Double,
                 [=](const V& v) { return v.m_axes[size_t(a)].ref; },
                 [=](V& v, double x) { v.m_axes[size_t(a)].ref = x; },
                 Finite("Data logger reference is not a number")};
    };
    std::vector<F> fields{
        whole("xaxis", "X Sel", &V::m_xAxisType, kLogXAxisCount - 1,
              "Data logger X axis type out of range",
              [](const V&) { return LoggerXAxisChoices(); }),
        whole("tdiv", "Time/div", &V::m_timeIndex, kMaxTimeIndex,
              "Data logger time/div index out of range",
              [](const V&) { return TimePerDivisionChoices(); }),
        whole("startpos", "Start position", &V::m_startPosition, kFreqPositions - 1,
              "Data logger start position out of range", nullptr),
        whole("hpos", "Horizontal position", &V::m_horizontalPosition, kMaxPosition,
              "Data logger horizontal position out of range", nullptr),
        whole("stoppos", "Stop position", &V::m_stopPosition, kFreqPositions - 1,
              "Data logger stop position out of range", nullptr),
        real("", "", &V::m_startBin, "Data logger start bin is not a number"),
        real("", "", &V::m_stopBin, "Data logger stop bin is not a number"),
    };
    for (int a = 0; a < 2; ++a) {
        fields.push_back(axis(a, false, kLogYAxisCount - 1, "Data logger Y axis type out of range",
                              [](const V&) { return LoggerYAxisChoices(); }));
        // The scale list depends on the type, so the index is checked when it is applied.
        fields.push_back(axis(a, true, 21, "Data logger Y scale index out of range", nullptr));
        fields.push_back(ref(a));
    }
    fields.push_back(whole("plot", "Plot", &V::m_selectedPlot, kPlotChoices - 1,
                           "Data logger plot selection out of range",
                           [](const V&) { return PlotChoices(); }));
    fields.push_back(whole("displaymode", "Display mode", &V::m_mode, kModeMerge,
                           "Data logger display mode out of range",
                           [](const V&) { return ModeTexts(); }));
    fields.push_back(real("mergefreq", "Merge Hz", &V::m_mergeFrequency,
                          "Data logger merge frequency is not a number"));
    // Start must stay below stop, as the buttons keep it.
    static const CFieldTable<V> table{std::move(fields), [](const std::vector<double>& v) {
                                          return v[2] < v[4] ? std::string()
                                                             : std::string("Data logger start "
                                                                           "position is not "
                                                                           "below stop");
                                      }};
    return table;
}

const ISettingRows* CDataLoggerView::Rows() const {
    // A new Y type set from text differs from its record's code, so the refresh gives it its
    // default scale.
    return &Fields();
}

void CDataLoggerView::SettingsLoaded() {
    m_offeredMode = -1;
    for (CAxisSettings& a : m_axes)
        a.record.yCode = a.type;
    UpdateControls();
}
