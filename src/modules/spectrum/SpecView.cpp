// The analyser's settings: its control bar, the handlers, the refresh of controls from the
// settings, the frequency and Y scale lists, and its part of a process file.

#include "modules/spectrum/SpecView.h"

#include "base/NumberText.h"
#include "plot/DivisionScales.h"
#include "process/DspDoc.h"

#include <algorithm>
#include <array>
#include <cmath>

AURIVO_IMPLEMENT_DYNAMIC(CSpecView, RUNTIME_CLASS(CDspView));

namespace {
// The Ref edits hold at most this many characters.
constexpr size_t kRefTextLength = 15;

CControl Tipped(CControl control, const char* group, const char* tip) {
    control.group = group;
    control.tooltip = tip;
    return control;
}
CControl Combo(const char* id, const char* label, const std::vector<std::string>& items,
               const char* group, const char* tip) {
    return Tipped({id, EControlKind::ComboBox, label, items}, group, tip);
}
CControl Button(const char* id, const char* label, const char* group, const char* tip) {
    return Tipped({id, EControlKind::PushButton, label, {}}, group, tip);
}
CControl NumberEdit(const char* id, const char* label, const char* group, const char* tip) {
    CControl control = Tipped({id, EControlKind::Edit, label, {}}, group, tip);
    control.numeric = true;
    return control;
}
CControl Text(const char* id, const char* label, const char* group, const char* tip) {
    return Tipped({id, EControlKind::ReadOnlyText, label, {}}, group, tip);
}
constexpr const char* kX = "X Axis";
constexpr const char* kY = "Y Axis";
constexpr const char* kFFT = "FFT";
} // namespace

CSpecView::CSpecView() {
    m_yScaleList = MakeYScaleList(SpecPlotY(m_yAxisType));
    m_yScaleLimit = static_cast<int32_t>(m_yScaleList.size()) - 1;

    CControlModel& c = Controls();
    c.Add(Combo("xaxis", "Sel:", SpecXAxisChoices(), kX, "Linear or logarithmic frequency axis"));
    c.Add(Button("startdn", "Dn", kX, "Lower start frequency"));
    c.Add(Text("start", "Start:", kX, "Frequency at the left edge"));
    c.Add(Button("startup", "Up", kX, "Higher start frequency"));
    c.Add(Button("stopdn", "Dn", kX, "Lower stop frequency"));
    c.Add(Text("stop", "Stop:", kX, "Frequency at the right edge"));
    c.Add(Button("stopup", "Up", kX, "Higher stop frequency"));
    c.Add(Combo("yaxis", "Sel:", SpecYAxisChoices(), kY, "What the vertical axis shows"));
    c.Add(Button("scaledn", "Dn", kY, "Finer scale: less per division"));
    c.Add(Text("scale", "", kY, "Scale per division"));
    c.Add(Button("scaleup", "Up", kY, "Coarser scale: more per division"));
    c.Add(Button("fit", "Fit", kY, "The scale that shows the whole trace"));
    c.Add(NumberEdit("ref1", "Ref1:", kY,
                     "Reference: the level or frequency the Y axis is measured against"));
    c.Add(Text("ref1unit", "", kY, "Unit of Ref1"));
    c.Add(NumberEdit("ref2", "Ref2:", kY, "Second reference: the second tone's frequency"));
    c.Add(Text("ref2unit", "", kY, "Unit of Ref2"));
    c.Add(Combo("type", "Type:", SpecFFTTypeChoices(), kFFT, "The transform applied"));
    c.Add(Combo("window", "Wnd:", SpecWindowChoices(), kFFT, "The window applied before it"));
    c.Add(Combo("plot", "Plot:", SpecPlotChoices(), kFFT, "How the trace is drawn"));
    c.Add(Tipped({"freqcal", EControlKind::CheckBox, "Apply Freq Cal:", {}}, kFFT,
                 "Corrects the spectrum with the SoundIO step's frequency calibration"));
    c.Add(Combo("avg", "Avg:", SpecBlockAverageChoices(), kFFT, "Number of blocks averaged"));
    c.Add(Combo("smooth", "Smth:", SpecSmoothingChoices(), kFFT,
                "Width of the smoothing across bins"));
    MakeFreqScale();
    UpdateControls();
}

void CSpecView::OnInitialUpdate() {
    CDspView::OnInitialUpdate();
    CreateChannels();
    MakeFreqScale();
    ShowCurrentParams();
    Invalidate();
}

int CSpecView::BlockSize() const {
    if (m_pDisplayList && m_pDisplayList->GetSize(0) > 0) return m_pDisplayList->GetSize(0);
    return GetDocument() ? GetDocument()->GetSize() : 0;
}

double CSpecView::GetYScale() const {
    return ParseDivisionText(m_yScaleList[static_cast<size_t>(m_yScaleIndex)]);
}

namespace {
// Whether a selection names an item of the list (a combo box with nothing chosen gives -1).
bool IsChoice(int selection, const std::vector<std::string>& items) {
    return selection >= 0 && size_t(selection) < items.size();
}
} // namespace

// ---- Handlers -----------------------------------------------------------------------------

void CSpecView::Refresh() {
    ShowCurrentParams();
    SetModified();
}

void CSpecView::OnSelChangeXAxisSel(int selection) {
    if (!IsChoice(selection, SpecXAxisChoices())) return;
    m_xAxisType = selection;
    m_xAxisTypeChanged = true;
    Refresh();
}

void CSpecView::OnClickedDownXAxisStart() {
    if (m_startPosition > 0) --m_startPosition;
    Refresh();
}

void CSpecView::OnClickedUpXAxisStart() {
    if (m_startPosition < m_startPositionLimit && m_startPosition < m_stopPosition - 1)
        ++m_startPosition;
    Refresh();
}

void CSpecView::OnClickedDownXAxisStop() {
    if (m_stopPosition > m_startPosition + 1) --m_stopPosition;
    Refresh();
}

void CSpecView::OnClickedUpXAxisStop() {
    if (m_stopPosition < m_stopPositionLimit) ++m_stopPosition;
    Refresh();
}

void CSpecView::OnSelChangeYAxisSel(int selection) {
    if (!IsChoice(selection, SpecYAxisChoices())) return;
    m_yAxisType = selection;
    m_yAxisTypeChanged = true;
    m_ref1 = m_ref2 = SpecYAxisType(selection).ref;
    Refresh();
}

void CSpecView::OnClickedDownYAxisScale() {
    if (m_yScaleIndex > 0) --m_yScaleIndex;
    Refresh();
}

void CSpecView::OnClickedUpYAxisScale() {
    if (m_yScaleIndex < m_yScaleLimit) ++m_yScaleIndex;
    Refresh();
}

void CSpecView::OnClickedFitYAxisScale() {
    std::vector<double> scales;
    for (const std::string& text : m_yScaleList)
        scales.push_back(ParseDivisionText(text));
    // The coarser of the channels' fits, so both traces show whole.
    int fit = -1;
    for (int c = 0; const CChannel* channel = GetChannelPointer(c); ++c)
        fit = std::max(fit, channel->FitScale(scales));
    if (fit >= 0) m_yScaleIndex = std::min(fit, m_yScaleLimit);
    Refresh();
}

namespace {
// A Ref edit's text as the reference it asks for; false when it gives no finite number (a
// stored NaN or infinity could never be read back from the process file).
bool RefValue(const std::string& text, double& value) {
    value = ParseDouble(text);
    return std::isfinite(value);
}
} // namespace

bool CSpecView::TakeRefEdit(const char* id, const std::string& text, double& ref) {
    // The edit holds at most 15 characters.
    std::string& shown = Controls().StateById(id)->text;
    shown = text.substr(0, kRefTextLength);
    double value = 0.0;
    if (!RefValue(shown, value)) {
        RefuseControl(std::string(id == std::string("ref1") ? "Ref1" : "Ref2") + ": \"" + shown +
                      "\" is not a finite number");
        UpdateControls();
        return false;
    }
    if (value == ref) return false;
    ref = value;
    return true;
}

void CSpecView::OnChangeYAxisRef1(const std::string& text) {
    if (TakeRefEdit("ref1", text, m_ref1)) Refresh();
}

void CSpecView::OnChangeYAxisRef2(const std::string& text) {
    if (TakeRefEdit("ref2", text, m_ref2)) Refresh();
}

// Takes a choice list selection (ignoring one outside the list) and refreshes.
void CSpecView::SetChoice(int32_t& setting, int selection, const std::vector<std::string>& items) {
    if (!IsChoice(selection, items)) return;
    setting = selection;
    Refresh();
}

void CSpecView::OnSelChangeFFTType(int selection) {
    SetChoice(m_fftType, selection, SpecFFTTypeChoices());
}

void CSpecView::OnSelChangeWindowType(int selection) {
    SetChoice(m_windowType, selection, SpecWindowChoices());
}

void CSpecView::OnSelChangePlotType(int selection) {
    SetChoice(m_plotType, selection, SpecPlotChoices());
}

void CSpecView::OnFrequencyDomainCalApply(bool checked) {
    m_applyFreqCal = checked ? 1 : 0;
    Refresh();
}

void CSpecView::OnSelChangeBlockAvg(int selection) {
    SetChoice(m_blockAverageIndex, selection, SpecBlockAverageChoices());
}

void CSpecView::OnSelChangeUnweightedSmooth(int selection) {
    SetChoice(m_smoothingWidth, selection, SpecSmoothingChoices());
}

bool CSpecView::OnControlChanged(const std::string& id) {
    using Handler = void (*)(CSpecView&, const CControlState&);
    static const std::array<std::pair<const char*, Handler>, 17> kHandlers{{
        {"xaxis", [](CSpecView& v, const CControlState& s) { v.OnSelChangeXAxisSel(s.selection); }},
        {"startdn", [](CSpecView& v, const CControlState&) { v.OnClickedDownXAxisStart(); }},
        {"startup", [](CSpecView& v, const CControlState&) { v.OnClickedUpXAxisStart(); }},
        {"stopdn", [](CSpecView& v, const CControlState&) { v.OnClickedDownXAxisStop(); }},
        {"stopup", [](CSpecView& v, const CControlState&) { v.OnClickedUpXAxisStop(); }},
        {"yaxis", [](CSpecView& v, const CControlState& s) { v.OnSelChangeYAxisSel(s.selection); }},
        {"scaledn", [](CSpecView& v, const CControlState&) { v.OnClickedDownYAxisScale(); }},
        {"scaleup", [](CSpecView& v, const CControlState&) { v.OnClickedUpYAxisScale(); }},
        {"fit", [](CSpecView& v, const CControlState&) { v.OnClickedFitYAxisScale(); }},
        {"ref1", [](CSpecView& v, const CControlState& s) { v.OnChangeYAxisRef1(s.text); }},
        {"ref2", [](CSpecView& v, const CControlState& s) { v.OnChangeYAxisRef2(s.text); }},
        {"type", [](CSpecView& v, const CControlState& s) { v.OnSelChangeFFTType(s.selection); }},
        {"window",
         [](CSpecView& v, const CControlState& s) { v.OnSelChangeWindowType(s.selection); }},
        {"plot", [](CSpecView& v, const CControlState& s) { v.OnSelChangePlotType(s.selection); }},
        {"freqcal",
         [](CSpecView& v, const CControlState& s) { v.OnFrequencyDomainCalApply(s.checked); }},
        {"avg", [](CSpecView& v, const CControlState& s) { v.OnSelChangeBlockAvg(s.selection); }},
        {"smooth",
         [](CSpecView& v, const CControlState& s) { v.OnSelChangeUnweightedSmooth(s.selection); }},
    }};
    for (const auto& [name, handler] : kHandlers) {
        if (id == name) {
            handler(*this, *Controls().StateById(id));
            return !IsControlRefused();
        }
    }
    return true;
}

// ---- Refresh ------------------------------------------------------------------------------

void CSpecView::UpdateControls() {
    CControlModel& c = Controls();
    auto choose = [&](const char* id, int index) {
        const CControl& control = *c.ControlById(id);
        CControlState& state = *c.StateById(id);
        state.selection = index;
        state.text = index >= 0 && size_t(index) < control.items.size()
                         ? control.items[size_t(index)]
                         : std::string();
    };
    choose("xaxis", m_xAxisType);
    choose("yaxis", m_yAxisType);
    choose("type", m_fftType);
    choose("window", m_windowType);
    choose("plot", m_plotType);
    choose("avg", m_blockAverageIndex);
    choose("smooth", m_smoothingWidth);
    c.StateById("freqcal")->checked = m_applyFreqCal != 0;

    auto label = [](const std::vector<std::string>& labels, int position) {
        return position >= 0 && size_t(position) < labels.size() ? labels[size_t(position)]
                                                                 : std::string();
    };
    c.StateById("start")->text = label(m_startLabels, m_startPosition);
    c.StateById("stop")->text = label(m_stopLabels, m_stopPosition);
    c.StateById("scale")->text = m_yScaleList[static_cast<size_t>(m_yScaleIndex)];

    // An edit keeps the user's spelling while it still means the stored reference.
    const CSpecYAxisType& type = SpecYAxisType(m_yAxisType);
    auto ref = [&](const char* id, const char* unitId, double value) {
        CControlState& edit = *c.StateById(id);
        double shown = 0.0;
        if (!RefValue(edit.text, shown) || shown != value) edit.text = FormatText("%3.6G", value);
        edit.enabled = type.refsEnabled;
        c.StateById(unitId)->text = type.unit;
    };
    ref("ref1", "ref1unit", m_ref1);
    ref("ref2", "ref2unit", m_ref2);
}

void CSpecView::ShowCurrentParams() {
    const CDSPFFTDataList* shown = m_pDisplayList.get();
    CDspView::ShowCurrentParams();
    if (m_pDisplayList.get() != shown) m_hasData = false;
    if (m_xAxisTypeChanged) {
        m_startPosition = 0;
        m_stopPosition = kFreqPositions - 1;
        m_xAxisTypeChanged = false;
    }
    MakeFreqScale();
    if (m_yAxisTypeChanged) {
        MakeYAxisTypeControl();
        m_yAxisTypeChanged = false;
    }
    m_yScaleIndex = std::clamp(m_yScaleIndex, 0, m_yScaleLimit);
    const double average = ParseDouble(SpecBlockAverageChoices()[size_t(m_blockAverageIndex)]);
    if (average != m_blockAverageCount) {
        m_blockAverageCount = average;
        m_averageCounter = 1;
    }
    UpdateControls();
    UpdatePlotChannels();
    Invalidate();
}

void CSpecView::UpdatePlotChannels() {
    const CDSPFFTDataList* list = m_pDisplayList.get();
    for (int c = 0; c < 2; ++c) {
        CChannel* channel = GetChannelPointer(c);
        if (!channel) continue;
        const CDSPFFTData* own = list ? list->GetAt(c) : nullptr;
        // Each channel sees the other's spectrum too: the impedance needs both.
        channel->m_arrays = [this, c] {
            return m_pDisplayList && m_hasData ? TraceArraysOf(*m_pDisplayList, c) : CTraceArrays{};
        };
        if (own) {
            channel->m_sampleRate = own->GetSampleRate();
            channel->m_blockSize = own->GetSize();
            channel->m_numUsed = own->GetNumUsed();
        }
        channel->m_xCode = SpecPlotX(m_xAxisType);
        channel->m_startBin = static_cast<int32_t>(m_startBin);
        channel->m_stopBin = static_cast<int32_t>(m_stopBin);
        // With the impedance display the second channel shows the phase beside the magnitude.
        const bool phase = c == 1 && m_yAxisType == kYImpedance;
        channel->m_yCode = SpecPlotY(phase ? kYDegrees : m_yAxisType);
        channel->m_yScale = phase ? 45.0 : GetYScale();
        channel->m_ref1 = m_ref1;
        channel->m_ref2 = m_ref2;
        channel->m_plotStyle = m_plotType;
    }
}

void CSpecView::MakeFreqScale() {
    const double rate = m_pDisplayList ? m_pDisplayList->GetSampleRate(0) : 0.0;
    const double step = rate / 64.0;
    m_startLabels.clear();
    for (int i = 0; i < kFreqPositions; ++i)
        m_startLabels.push_back(FormatText("%iHz", CDSPFFTDataList::DoubleToInt(i * step)));
    m_stopLabels = m_startLabels;
    m_startPositionLimit = kFreqPositions - 1;
    m_stopPositionLimit = kFreqPositions - 1;
    const double size = BlockSize();
    m_startBin = m_startPosition * size / 64.0;
    m_stopBin = m_stopPosition * size / 64.0;
    for (int c = 0; c < 2; ++c) {
        if (CChannel* channel = GetChannelPointer(c)) {
            channel->m_startBin = static_cast<int32_t>(m_startBin);
            channel->m_stopBin = static_cast<int32_t>(m_stopBin);
        }
    }
}

void CSpecView::MakeYAxisTypeControl() {
    m_yScaleList = MakeYScaleList(SpecPlotY(m_yAxisType));
    m_yScaleIndex = SpecYAxisType(m_yAxisType).defaultScale;
    m_yScaleLimit = static_cast<int32_t>(m_yScaleList.size()) - 1;
}

// ---- Settings and process file --------------------------------------------------------------

const CFieldTable<CSpecView>& CSpecView::Fields() {
    using V = CSpecView;
    using F = CSettingField<V>;
    const auto choice = [](const char* id, const char* label, int32_t V::*member,
                           const std::vector<std::string>& (*items)(), const char* message) {
        return F{id,
                 label,
                 EFieldType::Int32,
                 [member](const V& v) { return double(v.*member); },
                 [member](V& v, double x) { v.*member = int32_t(x); },
                 InRange(0, double(items().size()) - 1, message),
                 [items](const V&) { return items(); }};
    };
    const auto position = [](const char* id, const char* label, int32_t V::*member,
                             std::vector<std::string> V::*labels) {
        return F{id,
                 label,
                 EFieldType::Int32,
                 [member](const V& v) { return double(v.*member); },
                 [member](V& v, double x) { v.*member = int32_t(x); },
                 {},
                 [labels](const V& v) { return v.*labels; }};
    };
    const auto number = [](const char* id, const char* label, double V::*member,
                           const char* message) {
        return F{id,
                 label,
                 EFieldType::Double,
                 [member](const V& v) { return v.*member; },
                 [member](V& v, double x) { v.*member = x; },
                 Finite(message)};
    };
    // A reference no run can use is refused by itself; the rest of the file still opens.
    const auto reference = [](const char* id, const char* label, double V::*member) {
        return F{id, label, EFieldType::Double, [member](const V& v) { return v.*member; },
                 [member](V& v, double x) {
                     if (std::isfinite(x)) v.*member = x;
                 }};
    };
    static const CFieldTable<V> table{
        {
            {"xaxis", "X axis", EFieldType::Int32, [](const V& v) { return double(v.m_xAxisType); },
             [](V& v, double x) {
                 v.m_xAxisType = int32_t(x);
                 v.m_xAxisTypeChanged = false;
             },
             InRange(0, double(SpecXAxisChoices().size()) - 1,
                     "Spectrum analyser: X axis type out of range"),
             [](const V&) { return SpecXAxisChoices(); }},
            position("start", "Start", &V::m_startPosition, &V::m_startLabels),
            position("stop", "Stop", &V::m_stopPosition, &V::m_stopLabels),
            number("", "Start bin", &V::m_startBin,
                   "Spectrum analyser: start or stop bin is not a number"),
            number("", "Stop bin", &V::m_stopBin,
                   "Spectrum analyser: start or stop bin is not a number"),
            {"yaxis", "Y axis", EFieldType::Int32, [](const V& v) { return double(v.m_yAxisType); },
             [](V& v, double x) {
                 v.m_yAxisType = int32_t(x);
                 v.m_yAxisTypeChanged = false;
                 v.MakeYAxisTypeControl();
             },
             InRange(0, double(SpecYAxisChoices().size()) - 1,
                     "Spectrum analyser: Y axis type out of range"),
             [](const V&) { return SpecYAxisChoices(); }},
            // The scale index belongs to the list of the stored Y axis type; only a damaged
            // file holds one outside it, and the nearest valid scale is the least surprising
            // reading.
            {"scale",
             "Y scale",
             EFieldType::Int32,
             [](const V& v) { return double(v.m_yScaleIndex); },
             [](V& v, double x) { v.m_yScaleIndex = std::clamp(int32_t(x), 0, v.m_yScaleLimit); },
             {},
             [](const V& v) { return v.m_yScaleList; }},
            reference("ref1", "Ref1", &V::m_ref1),
            reference("ref2", "Ref2", &V::m_ref2),
            choice("type", "FFT type", &V::m_fftType, &SpecFFTTypeChoices,
                   "Spectrum analyser: FFT type out of range"),
            choice("window", "Window", &V::m_windowType, &SpecWindowChoices,
                   "Spectrum analyser: window type out of range"),
            choice("plot", "Plot", &V::m_plotType, &SpecPlotChoices,
                   "Spectrum analyser: plot type out of range"),
            {"freqcal", "Apply Freq Cal", EFieldType::Int32,
             [](const V& v) { return double(v.m_applyFreqCal); },
             [](V& v, double x) { v.m_applyFreqCal = int32_t(x); },
             InRange(0, 1, "Spectrum analyser: frequency calibration flag out of range")},
            choice("avg", "Block average", &V::m_blockAverageIndex, &SpecBlockAverageChoices,
                   "Spectrum analyser: block average out of range"),
            choice("smooth", "Smoothing", &V::m_smoothingWidth, &SpecSmoothingChoices,
                   "Spectrum analyser: smoothing width out of range"),
        },
        [](const std::vector<double>& v) {
            const double start = v[1], stop = v[2];
            return start >= 0 && start < stop && stop < kFreqPositions
                       ? std::string()
                       : std::string("Spectrum analyser: start and stop positions out of range");
        }};
    return table;
}

std::vector<CSettingValue> CSpecView::GetSettings() const {
    auto settings = CDspView::GetSettings();
    const auto mine = Fields().List(*this);
    settings.insert(settings.end(), mine.begin(), mine.end());
    return settings;
}

bool CSpecView::SetSetting(const std::string& id, const std::string& value, std::string& message) {
    if (const auto* field = Fields().Find(id))
        return Fields().SetFromText(*this, *field, value, message);
    return CDspView::SetSetting(id, value, message);
}

void CSpecView::Serialize(CArchive& ar) {
    CDspView::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(CSpecView));
        Fields().Store(ar, *this);
        return;
    }
    if (!ar.Ok()) return;
    ar.ReadClass(RUNTIME_CLASS(CSpecView));
    ar.GetObjectSchema();
    const auto values = Fields().Load(ar);
    if (!values) return;
    Fields().Apply(*this, *values);
    UpdateControls();
}
