// The analyser's settings: its control bar, the handlers, the refresh of controls from the
// settings, the frequency and Y scale lists, and its part of a process file.

#include "modules/spectrum/SpecView.h"

#include "base/NumberText.h"
#include "process/DspDoc.h"

#include <algorithm>
#include <array>
#include <cmath>

AURIVO_IMPLEMENT_DYNAMIC(CSpecView, RUNTIME_CLASS(CDspView));

namespace {
// The Ref edits hold at most this many characters.
constexpr size_t kRefTextLength = 15;

CControl Combo(const char* id, const char* label, const std::vector<std::string>& items) {
    return {id, EControlKind::ComboBox, label, items};
}
CControl Button(const char* id, const char* label) {
    return {id, EControlKind::PushButton, label, {}};
}
CControl Text(const char* id, const char* label) {
    return {id, EControlKind::ReadOnlyText, label, {}};
}
} // namespace

CSpecView::CSpecView() {
    m_yScaleList = MakeSpecYScaleList(m_yAxisType);
    m_yScaleLimit = static_cast<int32_t>(m_yScaleList.size()) - 1;

    CControlModel& c = Controls();
    c.Add(Combo("xaxis", "Sel:", SpecXAxisChoices()));
    c.Add(Button("startdn", "Dn"));
    c.Add(Text("start", "Start:"));
    c.Add(Button("startup", "Up"));
    c.Add(Button("stopdn", "Dn"));
    c.Add(Text("stop", "Stop:"));
    c.Add(Button("stopup", "Up"));
    c.Add(Combo("yaxis", "Sel:", SpecYAxisChoices()));
    c.Add(Button("scaledn", "Dn"));
    c.Add(Text("scale", ""));
    c.Add(Button("scaleup", "Up"));
    c.Add({"ref1", EControlKind::Edit, "Ref1:", {}});
    c.Add(Text("ref1unit", ""));
    c.Add({"ref2", EControlKind::Edit, "Ref2:", {}});
    c.Add(Text("ref2unit", ""));
    c.Add(Combo("type", "Type:", SpecFFTTypeChoices()));
    c.Add(Combo("window", "Wnd:", SpecWindowChoices()));
    c.Add(Combo("plot", "Plot:", SpecPlotChoices()));
    c.Add({"freqcal", EControlKind::CheckBox, "Apply Freq Cal:", {}});
    c.Add(Combo("avg", "Avg:", SpecBlockAverageChoices()));
    c.Add(Combo("smooth", "Smth:", SpecSmoothingChoices()));
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
    return ParseSpecScaleText(m_yScaleList[static_cast<size_t>(m_yScaleIndex)]);
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
    static const std::array<std::pair<const char*, Handler>, 16> kHandlers{{
        {"xaxis", [](CSpecView& v, const CControlState& s) { v.OnSelChangeXAxisSel(s.selection); }},
        {"startdn", [](CSpecView& v, const CControlState&) { v.OnClickedDownXAxisStart(); }},
        {"startup", [](CSpecView& v, const CControlState&) { v.OnClickedUpXAxisStart(); }},
        {"stopdn", [](CSpecView& v, const CControlState&) { v.OnClickedDownXAxisStop(); }},
        {"stopup", [](CSpecView& v, const CControlState&) { v.OnClickedUpXAxisStop(); }},
        {"yaxis", [](CSpecView& v, const CControlState& s) { v.OnSelChangeYAxisSel(s.selection); }},
        {"scaledn", [](CSpecView& v, const CControlState&) { v.OnClickedDownYAxisScale(); }},
        {"scaleup", [](CSpecView& v, const CControlState&) { v.OnClickedUpYAxisScale(); }},
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
            return true;
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
    CDspView::ShowCurrentParams();
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
        // Each channel sees the other's spectrum too: the impedance needs both.
        const CDSPFFTData* own = list ? list->GetAt(c) : nullptr;
        const CDSPFFTData* other = list ? list->GetAt(1 - c) : nullptr;
        auto values = [](const CDSPData* array) {
            return array ? array->GetDataPointer() : nullptr;
        };
        channel->m_pTime = own ? values(own->GetTimeObj()) : nullptr;
        channel->m_pMagnitude = own ? values(own->GetFreqObj()) : nullptr;
        channel->m_pPhase = own ? values(own->GetPhaseObj()) : nullptr;
        channel->m_pCompanionMagnitude = other ? values(other->GetFreqObj()) : nullptr;
        channel->m_pCompanionPhase = other ? values(other->GetPhaseObj()) : nullptr;
        if (own) {
            channel->m_sampleRate = own->GetSampleRate();
            channel->m_blockSize = own->GetSize();
            channel->m_numUsed = own->GetNumUsed();
        }
        channel->m_xCode = m_xAxisType + 1;
        channel->m_startBin = static_cast<int32_t>(m_startBin);
        channel->m_stopBin = static_cast<int32_t>(m_stopBin);
        // With the impedance display the second channel shows the phase beside the magnitude.
        const bool phase = c == 1 && m_yAxisType == kYImpedance;
        channel->m_yCode = (phase ? kYDegrees : m_yAxisType) + 1;
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
    m_yScaleList = MakeSpecYScaleList(m_yAxisType);
    m_yScaleIndex = SpecYAxisType(m_yAxisType).defaultScale;
    m_yScaleLimit = static_cast<int32_t>(m_yScaleList.size()) - 1;
}

// ---- Settings and process file --------------------------------------------------------------

std::vector<std::pair<std::string, std::string>> CSpecView::GetSettings() const {
    auto settings = CDspView::GetSettings();
    auto item = [](const std::vector<std::string>& items, int index) {
        return items[size_t(index)];
    };
    settings.emplace_back("X axis", item(SpecXAxisChoices(), m_xAxisType));
    settings.emplace_back("Start", item(m_startLabels, m_startPosition));
    settings.emplace_back("Stop", item(m_stopLabels, m_stopPosition));
    settings.emplace_back("Y axis", item(SpecYAxisChoices(), m_yAxisType));
    settings.emplace_back("Y scale", item(m_yScaleList, m_yScaleIndex));
    settings.emplace_back("Ref1", FormatText("%.6G", m_ref1));
    settings.emplace_back("Ref2", FormatText("%.6G", m_ref2));
    settings.emplace_back("FFT type", item(SpecFFTTypeChoices(), m_fftType));
    settings.emplace_back("Window", item(SpecWindowChoices(), m_windowType));
    settings.emplace_back("Plot", item(SpecPlotChoices(), m_plotType));
    settings.emplace_back("Apply Freq Cal", m_applyFreqCal ? "1" : "0");
    settings.emplace_back("Block average", item(SpecBlockAverageChoices(), m_blockAverageIndex));
    settings.emplace_back("Smoothing", item(SpecSmoothingChoices(), m_smoothingWidth));
    return settings;
}

void CSpecView::Serialize(CArchive& ar) {
    CDspView::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(CSpecView));
        ar.WriteInt32(m_xAxisType);
        ar.WriteInt32(m_startPosition);
        ar.WriteInt32(m_stopPosition);
        ar.WriteDouble(m_startBin);
        ar.WriteDouble(m_stopBin);
        ar.WriteInt32(m_yAxisType);
        ar.WriteInt32(m_yScaleIndex);
        ar.WriteDouble(m_ref1);
        ar.WriteDouble(m_ref2);
        ar.WriteInt32(m_fftType);
        ar.WriteInt32(m_windowType);
        ar.WriteInt32(m_plotType);
        ar.WriteInt32(m_applyFreqCal);
        ar.WriteInt32(m_blockAverageIndex);
        ar.WriteInt32(m_smoothingWidth);
        return;
    }
    if (!ar.Ok()) return;
    ar.ReadClass(RUNTIME_CLASS(CSpecView));
    ar.GetObjectSchema();
    const int32_t xAxisType = ar.ReadInt32();
    const int32_t start = ar.ReadInt32();
    const int32_t stop = ar.ReadInt32();
    const double startBin = ar.ReadDouble();
    const double stopBin = ar.ReadDouble();
    const int32_t yAxisType = ar.ReadInt32();
    const int32_t yScaleIndex = ar.ReadInt32();
    const double ref1 = ar.ReadDouble();
    const double ref2 = ar.ReadDouble();
    const int32_t fftType = ar.ReadInt32();
    const int32_t windowType = ar.ReadInt32();
    const int32_t plotType = ar.ReadInt32();
    const int32_t applyFreqCal = ar.ReadInt32();
    const int32_t averageIndex = ar.ReadInt32();
    const int32_t smoothing = ar.ReadInt32();
    if (!ar.Ok()) return;

    auto inList = [](int32_t v, size_t count) { return v >= 0 && size_t(v) < count; };
    if (!inList(xAxisType, SpecXAxisChoices().size()))
        ar.Fail("Spectrum analyser: X axis type out of range");
    else if (!(start >= 0 && start < stop && stop < kFreqPositions))
        ar.Fail("Spectrum analyser: start and stop positions out of range");
    else if (!std::isfinite(startBin) || !std::isfinite(stopBin))
        ar.Fail("Spectrum analyser: start or stop bin is not a number");
    else if (!inList(yAxisType, SpecYAxisChoices().size()))
        ar.Fail("Spectrum analyser: Y axis type out of range");
    else if (!std::isfinite(ref1) || !std::isfinite(ref2))
        ar.Fail("Spectrum analyser: reference value is not a number");
    else if (!inList(fftType, SpecFFTTypeChoices().size()))
        ar.Fail("Spectrum analyser: FFT type out of range");
    else if (!inList(windowType, SpecWindowChoices().size()))
        ar.Fail("Spectrum analyser: window type out of range");
    else if (!inList(plotType, SpecPlotChoices().size()))
        ar.Fail("Spectrum analyser: plot type out of range");
    else if (applyFreqCal != 0 && applyFreqCal != 1)
        ar.Fail("Spectrum analyser: frequency calibration flag out of range");
    else if (!inList(averageIndex, SpecBlockAverageChoices().size()))
        ar.Fail("Spectrum analyser: block average out of range");
    else if (!inList(smoothing, SpecSmoothingChoices().size()))
        ar.Fail("Spectrum analyser: smoothing width out of range");
    if (!ar.Ok()) return;

    m_xAxisType = xAxisType;
    m_xAxisTypeChanged = false;
    m_startPosition = start;
    m_stopPosition = stop;
    m_startBin = startBin;
    m_stopBin = stopBin;
    m_yAxisType = yAxisType;
    m_yAxisTypeChanged = false;
    // The scale index belongs to the list of the stored Y axis type; only a damaged file holds
    // one outside it, and the nearest valid scale is the least surprising reading.
    MakeYAxisTypeControl();
    m_yScaleIndex = std::clamp(yScaleIndex, 0, m_yScaleLimit);
    m_ref1 = ref1;
    m_ref2 = ref2;
    m_fftType = fftType;
    m_windowType = windowType;
    m_plotType = plotType;
    m_applyFreqCal = applyFreqCal;
    m_blockAverageIndex = averageIndex;
    m_smoothingWidth = smoothing;
    UpdateControls();
}
