// The sound card step's settings: construction, its control bar and handlers, the refresh of
// derived values, readouts and its part of a process file.

#include "soundio/SoundIOView.h"

#include "base/NumberText.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"
#include "platform/SampleRates.h"
#include "process/StepRate.h"

#include <algorithm>
#include <array>
#include <utility>

AURIVO_IMPLEMENT_DYNAMIC(CSoundIOView, RUNTIME_CLASS(CDspView));

namespace {
const std::vector<std::string> kTriggerItems{"Auto", "Manual", "Latency"};
const std::vector<std::string> kTriggerByMode{"Auto", "Latency", "Manual"};
// Radio button position of each trigger mode (Auto, Latency, Manual).
constexpr std::array<int, 3> kTriggerButton{0, 2, 1};
const std::vector<std::string> kModeItems{"Off", "Rec. Only", "Play", "Rec./Play"};
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
    AddControls();
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
    // JACK devices named by a process file just read: their place in the list is today's.
    for (const bool input : {false, true})
        SelectDevice(input, std::exchange(m_storedJackDevice[input], {}));
    ClampDeviceIndices();
    // A mixer program that was closed by its user turns the button back to "Open Mixer"; one
    // a file says was open is only offered again.
    if (m_mixerProgram.GetProcessId() != 0 && !m_mixerProgram.IsRunning()) {
        m_mixerProgram.Close();
        m_mixerWindowClass.clear();
    }
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
    const CSampleResolution resolution = At(SampleResolutions(), m_resolutionIndex, {});
    m_bitsPerSample = resolution.bits;
    m_floatSamples = resolution.isFloat;
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

std::vector<CReadoutValue> CSoundIOView::GetReadoutValues() const {
    std::vector<CReadoutValue> values;
    for (int c = 0; c < 2; ++c)
        values.push_back({c + 1, FormatText("Ch%d Lev", c + 1),
                          FormatText("%i%% at frame %i", m_peakLevel[c], m_peakSample[c])});
    return values;
}

const CSettingRows<CSoundIOView>& CSoundIOView::SettingRows() {
    using V = CSoundIOView;
    using R = CSettingRow<V>;
    using Apply = void (*)(V&, int);
    constexpr const char* kDevices = "Sound Device Select";
    constexpr const char* kTrigger = "Trigger Parameters";
    constexpr const char* kOptions = "Options";
    constexpr const char* kFormat = "Format";
    const std::string kTriggerRange = "SoundIO: trigger level or offset out of range";
    const std::string kOutOfRange = "SoundIO: setting out of range";
    // A user's change goes through ChangeSetting, which stops the run first and refreshes the
    // step itself; device, format and trigger changes may void the calibration.
    const auto chosen = [](Apply apply, bool recheck) {
        return [=](V& v, CRowChange& c) {
            v.ChangeSetting(apply, c.state.selection, recheck);
            return false;
        };
    };
    const auto typed = [](Apply apply) {
        return [=](V& v, CRowChange& c) {
            v.ChangeSetting(apply, static_cast<int>(ParseDouble(c.state.text)), true);
            return false;
        };
    };
    const auto device = [&](const char* id, const char* bar, const char* listed, const char* tip,
                            int32_t V::*index, std::vector<CAudioDeviceInfo> V::*devices, int place,
                            Apply apply) {
        return R::Combo(id, bar, kDevices, tip)
            .Access(
                EFieldType::Int32, [=](const V& v) { return double(v.*index); },
                // A negative index from a file stands for the first device.
                [=](V& v, double x) { v.*index = std::max(int32_t(x), 0); })
            .Items([=](const V& v) { return Names(v.*devices); })
            .Listed(listed)
            .Places(place, place)
            .OnChange(chosen(apply, true));
    };
    // The calibrated response's shape, for other readers: the record after it holds the list.
    const auto shape = [](EFieldType type, double (*of)(const CDSPFFTDataList&)) {
        return R::Stored("").Access(
            type,
            [=](const V& v) {
                const CDSPFFTDataList* response = v.m_pCalibration->GetFrequencyResponse();
                return response ? of(*response) : 0.0;
            },
            [](V&, double) {});
    };
    const auto choices = [](std::vector<std::string> items) {
        return [items = std::move(items)](const V&) { return items; };
    };
    const auto kMaxRepeat = int(RepeatSequence().size()) - 1;
    // The JACK device of each direction by name, kept only when one is chosen.
    const auto jack = [](const char* id, bool input) {
        return R::Stored(id)
            .AccessText(
                [input](const V& v) { return v.JackDeviceName(input); },
                [input](V& v, const std::string& name) { v.m_storedJackDevice[input] = name; })
            .Optional();
    };

    // Stored order; the bar and the listing order them by their places.
    static const CSettingRows<V> rows{{
        device("in", "In:", "In", "The device recorded from", &V::m_inputIndex, &V::m_inputs, 0,
               [](V& v, int x) {
                   v.m_inputIndex = x;
                   v.FillSampleRateList();
               }),
        device("out", "Out:", "Out", "The device played to", &V::m_outputIndex, &V::m_outputs, 1,
               [](V& v, int x) {
                   v.m_outputIndex = x;
                   v.FillSampleRateList();
               }),
        device("mixer", "Mixer:", "Mixer", "The mixer of the card", &V::m_mixerIndex, &V::m_mixers,
               2, [](V& v, int x) { v.m_mixerIndex = x; }),
        jack("injack", true),
        jack("outjack", false),
        // Stored as the mode; the bar shows the modes as Auto, Manual, Latency.
        R::Radio("trigger", "Trigger:", kTrigger, "How the recorded block is aligned")
            .Access(
                EFieldType::Int32, [](const V& v) { return double(v.m_triggerMode); },
                [](V& v, double x) {
                    v.m_triggerMode = int32_t(x);
                    v.m_legacyLoaded = false;
                })
            .Check(InRange(0, 2, "SoundIO: trigger mode out of range"))
            .Items(choices(kTriggerByMode))
            .Show([](const V& v, CControl& control, CControlState& state) {
                control.items = kTriggerItems;
                state.selection = kTriggerButton[size_t(std::clamp(v.m_triggerMode, 0, 2))];
                state.text = kTriggerItems[size_t(state.selection)];
            })
            .OnChange(chosen(
                [](V& v, int x) { v.m_triggerMode = x == 0   ? kAuto
                                                    : x == 1 ? kManual
                                                             : kLatency; },
                false))
            // The older layout stores whether the latency trigger was on; the refresh turns it
            // into the mode (ShowCurrentParams).
            .InLegacy(R::Stored("trigger").Access(
                EFieldType::Int32, [](const V& v) { return double(v.m_triggerMode); },
                [](V& v, double x) {
                    v.m_legacyLoaded = true;
                    v.m_legacyLatencyFlag = x != 0;
                }))
            .Listed("Trigger")
            .Places(7, 4),
        R::Control(ERowKind::Spin, "trglev", "Trg. Lev:", kTrigger,
                   "Trigger level in percent of full scale")
            .Bind(&V::m_triggerLevel)
            .Range(-100, 100)
            .Check(InRange(-100, 100, kTriggerRange))
            .Listed("Trg. Lev")
            .Places(3, 5)
            .OnChange(typed([](V& v, int x) { v.m_triggerLevel = std::clamp(x, -100, 100); })),
        R::Control(ERowKind::Spin, "offset", "Offset:", kTrigger,
                   "Samples the block starts before or after the trigger")
            .Bind(&V::m_triggerOffset)
            .Range(-1000, 1000)
            .Check(InRange(-1000, 1000, kTriggerRange))
            .Listed("Offset")
            .Places(4, 6)
            .OnChange(typed([](V& v, int x) { v.m_triggerOffset = std::clamp(x, -1000, 1000); })),
        R::Stored("").Bind(&V::m_mixerDirectory),
        R::Stored("").Bind(&V::m_mixerExecutable),
        R::Stored("").Bind(&V::m_mixerWindowClass),
        R::Combo("repeat", "Repeat Sequence:", kOptions, "Times the block is repeated per pass")
            .Bind(&V::m_repeatIndex)
            .Items(choices(Texts(RepeatSequence())))
            .Check(InRange(0, kMaxRepeat, kOutOfRange))
            .Listed("Repeat Sequence")
            .Places(10, 7)
            .OnChange(chosen([](V& v, int x) { v.m_repeatIndex = x; }, false)),
        R::Control(ERowKind::CheckBox, "warnings", "Enable Calibration Warnings", kOptions,
                   "Warns when the devices differ from those calibrated")
            .Bind(&V::m_calibrationWarnings)
            .Check(InRange(0, 1, kOutOfRange))
            .Listed("Enable Calibration Warnings")
            .Places(12, 11)
            .OnChange([](V& v, CRowChange& c) {
                v.ChangeSetting([](V& w, int x) { w.m_calibrationWarnings = x; },
                                c.state.checked ? 1 : 0, false);
                return false;
            }),
        R::Radio("mode", "I/O Mode:", "I/O Mode", "Record, play, or both")
            .Bind(&V::m_ioMode)
            .Items(choices(kModeItems))
            .Check(InRange(0, 3, kOutOfRange))
            .Listed("I/O Mode")
            .Places(13, 3)
            .OnChange(chosen([](V& v, int x) { v.m_ioMode = x; }, false)),
        // Not stored: the step's record keeps the layout processes were saved in.
        [&] {
            R row = R::Control(ERowKind::CheckBox, "gapless", "Gapless", kOptions,
                               "Record Only hands on every sample of the input, in order, and "
                               "counts any it loses")
                        .Bind(&V::m_gapless)
                        .Check(InRange(0, 1, kOutOfRange))
                        .Places(17, -1)
                        .OnChange([](V& v, CRowChange& c) {
                            v.ChangeSetting([](V& w, int x) { w.m_gapless = x; },
                                            c.state.checked ? 1 : 0, false);
                            return false;
                        });
            row.type = EFieldType::None;
            return row;
        }(),
        R::Combo("rate", "Rate:", kFormat, "Sample rate in hertz")
            .Bind(&V::m_rateIndex)
            .Items([](const V& v) { return Texts(v.m_rateList); })
            .Check(InRange(0, INT32_MAX, kOutOfRange))
            .Listed("Rate")
            .Places(14, 8)
            .OnChange(chosen(
                [](V& v, int x) {
                    v.m_rateIndex = x;
                    v.m_rateFollowsProcess = false;
                },
                true)),
        R::Combo("res", "Res:", kFormat, "Bits per sample")
            .Bind(&V::m_resolutionIndex)
            .Items(choices(SampleResolutionTexts()))
            .Check(InRange(0, int32_t(SampleResolutions().size()) - 1, kOutOfRange))
            .Listed("Res")
            .Places(15, 9)
            .OnChange(chosen([](V& v, int x) { v.m_resolutionIndex = x; }, true)),
        R::Combo("chan", "Chan:", kFormat, "Number of channels")
            .Bind(&V::m_channelsIndex)
            .Items(choices(Texts(kChannelCounts)))
            .Check(InRange(0, 1, kOutOfRange))
            .Listed("Chan")
            .Places(16, 10)
            .OnChange(chosen([](V& v, int x) { v.m_channelsIndex = x; }, false)),
        shape(EFieldType::Int32, [](const CDSPFFTDataList& r) { return double(r.GetNumChans()); }),
        shape(EFieldType::Int32, [](const CDSPFFTDataList& r) { return double(r.GetType(0)); }),
        shape(EFieldType::Int32, [](const CDSPFFTDataList& r) { return double(r.GetSize()); }),
        shape(EFieldType::Double, [](const CDSPFFTDataList& r) { return r.GetSampleRate(); }),
        // Controls that store nothing.
        R::Text("ch1lev", "Ch1 Lev:", kTrigger,
                "Channel 1: last peak level (percent) and its sample")
            .Shown([](const V& v) { return v.PeakText(0); })
            .Places(5, -1),
        R::Text("ch2lev", "Ch2 Lev:", kTrigger,
                "Channel 2: last peak level (percent) and its sample")
            .Shown([](const V& v) { return v.PeakText(1); })
            .Places(6, -1),
        R::Button("openmixer", "Open Mixer", kOptions, "Opens or closes the audio mixer program")
            .Caption("Audio Mixer:")
            .Show([](const V& v, CControl&, CControlState& state) {
                state.text = v.HasMixerWindow() ? "Close Mixer" : "Open Mixer";
            })
            .OnChange([](V& v) {
                v.OnClickedSIOOptionsMixer();
                return false; // the command refreshes what it changed
            })
            .Places(8, -1),
        R::Button("calibrate", "Calibrate", kOptions, "Opens the calibration dialog")
            .Caption("Calibration:")
            .OnChange([](V& v) {
                v.OnClickedSIOOptionsCalibration();
                return false; // the command refreshes what it changed
            })
            .Places(9, -1),
        R::Button("mixerselect", "Mixer Select", kOptions,
                  "Chooses the mixer program that Open Mixer starts")
            .Caption("Audio Mixer Select:")
            .OnChange([](V& v) {
                v.OnClickedSIOOptionsMixerSelect();
                return false; // the command refreshes what it changed
            })
            .Places(11, -1),
    }};
    return rows;
}

const ISettingRows* CSoundIOView::Rows() const {
    return &SettingRows();
}

std::vector<CRowSet> CSoundIOView::RowSets() const {
    return {{&SettingRows(), const_cast<CSoundIOView*>(this)},
            {&ApplyFlagRows(), m_pCalibration.get()}};
}

std::string CSoundIOView::PeakText(int channel) const {
    return std::to_string(m_peakLevel[channel]) + " " + std::to_string(m_peakSample[channel]);
}

void CSoundIOView::SettingsLoaded() {
    m_offerMixerReopen = !m_mixerWindowClass.empty();
    m_rateFollowsProcess = false; // a stored rate stays the stored rate
    CDspView::SettingsLoaded();
}

void CSoundIOView::Serialize(CArchive& ar) {
    CDspView::Serialize(ar);
    if (ar.IsStoring() || ar.Ok()) m_pCalibration->Serialize(ar);
}

std::string CSoundIOView::GetRunWarning() const {
    const CDspDoc* doc = GetDocument();
    std::string warning = doc ? RateMismatchWarning(m_sampleRate, doc->GetSampleRate()) : "";
    const auto add = [&warning](const std::string& text) {
        warning += (warning.empty() ? "" : "; ") + text;
    };
    const int xruns = std::max(m_xruns, CurrentXruns(true));
    if (xruns > 0) add(std::to_string(xruns) + (xruns == 1 ? " xrun" : " xruns"));
    if (const int64_t lost = GetLostSamples(); lost > 0)
        add(std::to_string(lost) + (lost == 1 ? " sample lost" : " samples lost"));
    return warning;
}

int CSoundIOView::CurrentXruns(bool output) const {
    // Both directions of one sound system see the same xruns: the larger count is the run's.
    return std::max(m_pWaveIn ? m_pWaveIn->GetXruns() : 0,
                    output && m_pWaveOut ? m_pWaveOut->GetXruns() : 0);
}

int64_t CSoundIOView::GetLostSamples() const {
    return m_droppedSamples + (m_pWaveIn ? m_pWaveIn->GetLostFrames() : 0);
}
