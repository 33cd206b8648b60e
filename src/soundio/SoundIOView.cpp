// The sound card step's settings: construction, its control bar and handlers, the refresh of
// derived values, readouts and its part of a process file.

#include "soundio/SoundIOView.h"

#include "base/NumberText.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"
#include "process/StepRate.h"

#include <algorithm>
#include <array>

AURIVO_IMPLEMENT_DYNAMIC(CSoundIOView, RUNTIME_CLASS(CDspView));

namespace {
const std::vector<std::string> kTriggerItems{"Auto", "Manual", "Latency"};
// Radio button position of each trigger mode (Auto, Latency, Manual).
constexpr std::array<int, 3> kTriggerButton{0, 2, 1};
const std::vector<std::string> kModeItems{"Off", "Rec. Only", "Play", "Rec./Play"};
const std::vector<int> kResolutions{8, 16};
const std::vector<int> kChannelCounts{1, 2};

std::vector<std::string> Texts(const std::vector<int>& values) {
    std::vector<std::string> texts;
    for (int v : values)
        texts.push_back(std::to_string(v));
    return texts;
}

std::vector<std::string> Names(const std::vector<CAudioDeviceInfo>& devices) {
    std::vector<std::string> names;
    for (const CAudioDeviceInfo& d : devices)
        names.push_back(d.name);
    return names;
}

template <typename T> T At(const std::vector<T>& list, int32_t index, T fallback) {
    return index >= 0 && size_t(index) < list.size() ? list[size_t(index)] : fallback;
}
} // namespace

const std::vector<int>& CSoundIOView::RepeatSequence() {
    static const std::vector<int> repeats{0, 1, 2, 4, 8, 16, 32};
    return repeats;
}

CSoundIOView::CSoundIOView()
    : m_pCalibration(std::make_unique<CCalibration>(this)),
      m_pScratchCalibration(std::make_unique<CCalibration>(this)) {
    CControlModel& c = Controls();
    const auto add = [&c](CControl control, const char* group, const char* tip,
                          const char* caption = "") {
        control.group = group;
        control.tooltip = tip;
        control.caption = caption;
        c.Add(control);
    };
    constexpr const char* kDevices = "Sound Device Select";
    constexpr const char* kTrigger = "Trigger Parameters";
    constexpr const char* kOptions = "Options";
    add({"in", EControlKind::ComboBox, "In:", {}}, kDevices, "The device recorded from");
    add({"out", EControlKind::ComboBox, "Out:", {}}, kDevices, "The device played to");
    add({"mixer", EControlKind::ComboBox, "Mixer:", {}}, kDevices, "The mixer of the card");
    add({"trglev", EControlKind::Spin, "Trg. Lev:", {}, -100, 100}, kTrigger,
        "Trigger level in percent of full scale");
    add({"offset", EControlKind::Spin, "Offset:", {}, -1000, 1000}, kTrigger,
        "Samples the block starts before or after the trigger");
    add({"ch1lev", EControlKind::ReadOnlyText, "Ch1 Lev:", {}}, kTrigger,
        "Channel 1: last peak level (percent) and its sample");
    add({"ch2lev", EControlKind::ReadOnlyText, "Ch2 Lev:", {}}, kTrigger,
        "Channel 2: last peak level (percent) and its sample");
    add({"trigger", EControlKind::RadioGroup, "Trigger:", kTriggerItems}, kTrigger,
        "How the recorded block is aligned");
    add({"openmixer", EControlKind::PushButton, "Open Mixer", {}}, kOptions,
        "Opens or closes the audio mixer program", "Audio Mixer:");
    add({"calibrate", EControlKind::PushButton, "Calibrate", {}}, kOptions,
        "Opens the calibration dialog", "Calibration:");
    add({"repeat", EControlKind::ComboBox, "Repeat Sequence:", Texts(RepeatSequence())}, kOptions,
        "Times the block is repeated per pass");
    add({"mixerselect", EControlKind::PushButton, "Mixer Select", {}}, kOptions,
        "Chooses the mixer program that Open Mixer starts", "Audio Mixer Select:");
    add({"warnings", EControlKind::CheckBox, "Enable Calibration Warnings", {}}, kOptions,
        "Warns when the devices differ from those calibrated");
    add({"mode", EControlKind::RadioGroup, "I/O Mode:", kModeItems}, "I/O Mode",
        "Record, play, or both");
    add({"rate", EControlKind::ComboBox, "Rate:", {}}, "Format", "Sample rate in hertz");
    add({"res", EControlKind::ComboBox, "Res:", Texts(kResolutions)}, "Format", "Bits per sample");
    add({"chan", EControlKind::ComboBox, "Chan:", Texts(kChannelCounts)}, "Format",
        "Number of channels");
    UpdateControls();
}

CSoundIOView::~CSoundIOView() {
    // Devices first: they drop their queued buffers and undelivered messages.
    m_pWaveIn.reset();
    m_pWaveOut.reset();
}

void CSoundIOView::OnInitialUpdate() {
    CDspView::OnInitialUpdate();
    FillDeviceList();
    ClampDeviceIndices();
    FillSampleRateList();
    ShowCurrentParams();
}

bool CSoundIOView::OnInitialModuleSetup() {
    FillDeviceList();
    if (m_inputs.empty()) {
        ShowErrorMessage("No Wave Input Devices Found In System.");
        return false;
    }
    if (m_outputs.empty()) {
        ShowErrorMessage("No Wave Output Devices Found In System.");
        return false;
    }
    if (m_mixers.empty()) {
        ShowErrorMessage("No Wave Mixer Devices Found In System.");
        return false;
    }
    ResolveMixerExecutable();
    IsCalibrated();
    Invalidate();
    return true;
}

void CSoundIOView::ShowCurrentParams() {
    CDspView::ShowCurrentParams();
    if (m_legacyLoaded) {
        m_triggerMode = m_legacyLatencyFlag ? kLatency : kManual;
        m_legacyLoaded = false;
    }
    ClampDeviceIndices();
    // A mixer program that was closed by its user turns the button back to "Open Mixer"; one
    // a file says was open is only offered again.
    if (HasMixerWindow() && !m_mixerProgram.IsRunning()) m_mixerWindowClass.clear();
    OfferMixerReopen();
    m_inputName = At(Names(m_inputs), m_inputIndex, std::string());
    m_outputName = At(Names(m_outputs), m_outputIndex, std::string());
    m_mixerName = At(Names(m_mixers), m_mixerIndex, std::string());
    // A new step plays and records at the process's rate (the nearest the devices take) until
    // a rate is chosen or read from a process file.
    if (m_rateFollowsProcess && GetDocument() && !m_rateList.empty())
        m_rateIndex = NearestRateIndex(m_rateList, GetDocument()->GetSampleRate());
    if (!m_rateList.empty())
        m_rateIndex = std::clamp(m_rateIndex, 0, static_cast<int32_t>(m_rateList.size()) - 1);
    m_sampleRate = At(m_rateList, m_rateIndex, 5000);
    m_bitsPerSample = At(kResolutions, m_resolutionIndex, 16);
    m_channels = At(kChannelCounts, m_channelsIndex, 2);
    m_repeatCount = At(RepeatSequence(), m_repeatIndex, 0);
    for (CDSPFFTDataList* list : {GetWorkingList(), GetDisplayList(), GetThirdList()})
        if (list) list->SetSampleRate(m_sampleRate);
    UpdateControls();
    // A calibration measured with blocks of another size or rate does not hold for this step's
    // blocks: the record starts afresh, and the checks tell the user the step is uncalibrated.
    // The calibration process takes its owner's shape setting by setting; its records are the
    // session's, which keeps them in the owner's shape.
    if (IsCalibrationProcess()) return;
    const auto fits = [this](const CCalibration& cal) {
        const CDSPFFTDataList* response = cal.GetFrequencyResponse();
        return !GetWorkingList() || (response && response->IsEquivalent(*GetWorkingList()));
    };
    for (CCalibration* cal : {m_pCalibration.get(), m_pScratchCalibration.get()})
        if (!fits(*cal)) cal->InitializeDefaults();
}

void CSoundIOView::UpdateControls() {
    CControlModel& c = Controls();
    auto combo = [&c](const char* id, const std::vector<std::string>& items, int32_t selection) {
        c.ControlById(id)->items = items;
        CControlState* s = c.StateById(id);
        s->selection = selection >= 0 && size_t(selection) < items.size() ? selection : -1;
        s->text = s->selection >= 0 ? items[size_t(s->selection)] : "";
    };
    combo("in", Names(m_inputs), m_inputIndex);
    combo("out", Names(m_outputs), m_outputIndex);
    combo("mixer", Names(m_mixers), m_mixerIndex);
    combo("rate", Texts(m_rateList), m_rateIndex);
    combo("repeat", Texts(RepeatSequence()), m_repeatIndex);
    combo("res", Texts(kResolutions), m_resolutionIndex);
    combo("chan", Texts(kChannelCounts), m_channelsIndex);
    combo("trigger", kTriggerItems, kTriggerButton[size_t(std::clamp(m_triggerMode, 0, 2))]);
    combo("mode", kModeItems, m_ioMode);
    c.StateById("trglev")->text = std::to_string(m_triggerLevel);
    c.StateById("offset")->text = std::to_string(m_triggerOffset);
    for (int ch = 0; ch < 2; ++ch)
        c.StateById(ch == 0 ? "ch1lev" : "ch2lev")->text =
            std::to_string(m_peakLevel[ch]) + " " + std::to_string(m_peakSample[ch]);
    c.StateById("warnings")->checked = m_calibrationWarnings != 0;
    c.StateById("openmixer")->text = HasMixerWindow() ? "Close Mixer" : "Open Mixer";
}

void CSoundIOView::ChangeSetting(void (*apply)(CSoundIOView&, int), int value,
                                 bool recheckCalibration) {
    if (CDspDoc* doc = GetDocument(); doc && (doc->IsRunning() || doc->IsPaused()))
        doc->StopProcess();
    const bool hadFile = !m_pCalibration->GetCalPath().empty();
    const bool held = m_pCalibration->HoldsCalibration();
    apply(*this, value);
    ShowCurrentParams();
    SetModified();
    // A calibration the new rate dropped is reported as well as one whose file may not fit.
    const bool dropped = held && !m_pCalibration->HoldsCalibration();
    if (recheckCalibration && (hadFile || dropped)) IsCalibrated();
}

bool CSoundIOView::OnControlChanged(const std::string& id) {
    const CControlState& s = *Controls().StateById(id);
    using Apply = void (*)(CSoundIOView&, int);
    struct CHandler {
        const char* id;
        Apply apply;
        bool recheck; // device, format and trigger changes may void the calibration
    };
    static const std::array<CHandler, 12> kHandlers{{
        {"in",
         [](CSoundIOView& v, int x) {
             v.m_inputIndex = x;
             v.FillSampleRateList();
         },
         true},
        {"out",
         [](CSoundIOView& v, int x) {
             v.m_outputIndex = x;
             v.FillSampleRateList();
         },
         true},
        {"mixer", [](CSoundIOView& v, int x) { v.m_mixerIndex = x; }, true},
        {"trglev", [](CSoundIOView& v, int x) { v.m_triggerLevel = std::clamp(x, -100, 100); },
         true},
        {"offset", [](CSoundIOView& v, int x) { v.m_triggerOffset = std::clamp(x, -1000, 1000); },
         true},
        {"trigger",
         [](CSoundIOView& v, int x) {
             v.m_triggerMode = x == 0 ? kAuto : x == 1 ? kManual : kLatency;
         },
         false},
        {"repeat", [](CSoundIOView& v, int x) { v.m_repeatIndex = x; }, false},
        {"warnings", [](CSoundIOView& v, int x) { v.m_calibrationWarnings = x; }, false},
        {"mode", [](CSoundIOView& v, int x) { v.m_ioMode = x; }, false},
        {"rate",
         [](CSoundIOView& v, int x) {
             v.m_rateIndex = x;
             v.m_rateFollowsProcess = false;
         },
         true},
        {"res", [](CSoundIOView& v, int x) { v.m_resolutionIndex = x; }, true},
        {"chan", [](CSoundIOView& v, int x) { v.m_channelsIndex = x; }, false},
    }};
    for (const CHandler& h : kHandlers) {
        if (id != h.id) continue;
        int value = s.selection;
        if (id == "trglev" || id == "offset") value = static_cast<int>(ParseDouble(s.text));
        if (id == "warnings") value = s.checked ? 1 : 0;
        ChangeSetting(h.apply, value, h.recheck);
        return true;
    }
    if (id == "calibrate") return OnClickedSIOOptionsCalibration();
    if (id == "openmixer") return OnClickedSIOOptionsMixer();
    if (id == "mixerselect") return OnClickedSIOOptionsMixerSelect();
    return true;
}

std::vector<CReadoutValue> CSoundIOView::GetReadoutValues() const {
    std::vector<CReadoutValue> values;
    for (int c = 0; c < 2; ++c)
        values.push_back({c + 1, FormatText("Ch%d Lev", c + 1),
                          FormatText("%i%% at frame %i", m_peakLevel[c], m_peakSample[c])});
    return values;
}

std::vector<CSettingValue> CSoundIOView::GetSettings() const {
    std::vector<CSettingValue> settings = CDspView::GetSettings();
    const CControlModel& c = GetControls();
    for (const char* id : {"in", "out", "mixer", "mode", "trigger", "trglev", "offset", "repeat",
                           "rate", "res", "chan"}) {
        const int index = c.Find(id);
        if (index < 0) continue;
        settings.push_back({id, CControlModel::DisplayName(c.GetControl(size_t(index)).label),
                            c.GetState(size_t(index)).text});
    }
    settings.push_back(
        {"warnings", "Enable Calibration Warnings", m_calibrationWarnings ? "1" : "0"});
    AppendCalibrationSettings(settings);
    return settings;
}

void CSoundIOView::Serialize(CArchive& ar) {
    CDspView::Serialize(ar);
    const CDSPFFTDataList* response = m_pCalibration->GetFrequencyResponse();
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(CSoundIOView));
        for (int32_t v : {m_inputIndex, m_outputIndex, m_mixerIndex, m_triggerMode, m_triggerLevel,
                          m_triggerOffset})
            ar.WriteInt32(v);
        for (const std::string* t : {&m_mixerDirectory, &m_mixerExecutable, &m_mixerWindowClass})
            ar.WriteString(*t);
        for (int32_t v : {m_repeatIndex, m_calibrationWarnings, m_ioMode, m_rateIndex,
                          m_resolutionIndex, m_channelsIndex})
            ar.WriteInt32(v);
        ar.WriteInt32(response ? response->GetNumChans() : 0);
        ar.WriteInt32(response ? response->GetType(0) : 0);
        ar.WriteInt32(response ? response->GetSize() : 0);
        ar.WriteDouble(response ? response->GetSampleRate() : 0.0);
        m_pCalibration->Serialize(ar);
        return;
    }
    if (!ar.Ok()) return;
    ar.ReadClass(RUNTIME_CLASS(CSoundIOView));
    ar.GetObjectSchema();
    int32_t v[6];
    for (int32_t& x : v)
        x = ar.ReadInt32();
    std::string texts[3];
    for (std::string& t : texts)
        t = ar.ReadString();
    int32_t w[6];
    for (int32_t& x : w)
        x = ar.ReadInt32();
    ar.ReadInt32(); // the response's shape: the record below carries the list itself
    ar.ReadInt32();
    ar.ReadInt32();
    ar.ReadDouble();
    if (!ar.Ok()) return;
    const bool legacy = ar.IsLegacy();
    auto in = [](int32_t x, int32_t lo, int32_t hi) { return x >= lo && x <= hi; };
    if (!(in(v[4], -100, 100) && in(v[5], -1000, 1000)))
        ar.Fail("SoundIO: trigger level or offset out of range");
    else if (!legacy && !in(v[3], 0, 2))
        ar.Fail("SoundIO: trigger mode out of range");
    else if (!(in(w[0], 0, 6) && in(w[1], 0, 1) && in(w[2], 0, 3) && w[3] >= 0 && in(w[4], 0, 1) &&
               in(w[5], 0, 1)))
        ar.Fail("SoundIO: setting out of range");
    if (!ar.Ok()) return;
    m_pCalibration->Serialize(ar);
    if (!ar.Ok()) return;
    m_inputIndex = std::max(v[0], 0);
    m_outputIndex = std::max(v[1], 0);
    m_mixerIndex = std::max(v[2], 0);
    m_legacyLoaded = legacy;
    m_legacyLatencyFlag = legacy && v[3] != 0;
    if (!legacy) m_triggerMode = v[3];
    m_triggerLevel = v[4];
    m_triggerOffset = v[5];
    m_mixerDirectory = texts[0];
    m_mixerExecutable = texts[1];
    m_mixerWindowClass = texts[2];
    m_offerMixerReopen = !m_mixerWindowClass.empty();
    m_repeatIndex = w[0];
    m_calibrationWarnings = w[1];
    m_ioMode = w[2];
    m_rateIndex = w[3];
    m_rateFollowsProcess = false; // a stored rate stays the stored rate
    m_resolutionIndex = w[4];
    m_channelsIndex = w[5];
    UpdateControls();
}

std::string CSoundIOView::GetRunWarning() const {
    const CDspDoc* doc = GetDocument();
    return doc ? RateMismatchWarning(m_sampleRate, doc->GetSampleRate()) : std::string();
}
