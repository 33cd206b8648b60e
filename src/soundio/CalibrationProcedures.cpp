// The three calibration procedures: input signal levels, latency and frequency response. Each
// configures the calibration process, saves it, runs it slice by slice (asking the host between
// slices whether "Stop" was pressed) and turns what the steps recorded into the edited record.

#include "soundio/CalibrationSession.h"

#include "base/NumberText.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"
#include "soundio/SoundIOView.h"

#include <cmath>
#include <cstdlib>
#include <utility>

namespace {
constexpr int kGenerator = 1, kSoundIO = 2, kScope = 3, kAnalyser = 4;
constexpr double kInputSeconds = 30.0;
constexpr const char* kChannels[] = {"ch1.", "ch2."};

std::string SettingOf(const CDspView& view, const std::string& id) {
    for (const CSettingValue& s : view.GetSettings())
        if (s.id == id) return s.value;
    return {};
}

void ClearApplyFlags(CCalibration& record) {
    for (int c = 0; c < 2; ++c) {
        record.Level[c].InputLevelCalApply = false;
        record.Latency[c].LatencyCalApply = false;
        record.Freq[c].FreqCalApply = false;
    }
}
} // namespace

bool CCalibrationSession::Run() {
    if (!m_pCalDoc) return false;
    m_pCalDoc->StopProcess();
    const CCalibrationPlan plan = PlanCalibration(*GetEdited());
    if (plan.input && RunInputLevels() == EOutcome::kFailed) return false;
    if (plan.latency && RunLatency() == EOutcome::kFailed) return false;
    if (plan.frequency && RunFrequency() == EOutcome::kFailed) return false;
    return true;
}

void CCalibrationSession::BeginProcedure(const char* status) {
    InUse().ReturnedErrors.clear();
    GetEdited()->ReturnedErrors.clear();
    SetStatus(status);
}

CCalibrationSession::EOutcome CCalibrationSession::Fail(const std::string& status) {
    m_pCalDoc->StopProcess();
    SetStatus(status);
    if (m_host.information) m_host.information(status);
    return EOutcome::kFailed;
}

bool CCalibrationSession::Slice() {
    // While the card is awaited the host keeps its window painted and Stop pressable; a Stop
    // is kept for the procedure's next look.
    return m_loop.Step(*m_pCalDoc, [this] {
        const bool stop = m_host.stopRequested && m_host.stopRequested();
        m_stopPressed = m_stopPressed || stop;
        return stop;
    });
}

bool CCalibrationSession::Stopped() {
    if (!std::exchange(m_stopPressed, false) && (!m_host.stopRequested || !m_host.stopRequested()))
        return false;
    Stop();
    return true;
}

void CCalibrationSession::SaveProcess() {
    std::string error;
    m_pCalDoc->OnSaveDocument(m_path, error);
}

void CCalibrationSession::Set(int step, const std::string& id, const std::string& value) {
    std::string message;
    m_pCalDoc->GetView(size_t(step - 1))->SetControl(id, value, message);
}

void CCalibrationSession::CopySettings(const CDspView* from, int step,
                                       const std::vector<std::string>& ids) {
    if (!from) return;
    for (const std::string& id : ids)
        Set(step, id, SettingOf(*from, id));
}

CDspView* CCalibrationSession::UserStep(const std::string& module) const {
    if (!m_pUserDoc) return nullptr;
    const auto& names = m_pUserDoc->GetStepNames();
    size_t index = 0;
    for (auto name = names.begin(); name != names.end(); ++name, ++index)
        if (*name == module && index < m_pUserDoc->GetViewCount())
            return m_pUserDoc->GetView(index);
    return nullptr;
}

CCalibrationSession::EOutcome CCalibrationSession::RunInputLevels() {
    BeginProcedure("Input Running");
    ClearApplyFlags(InUse());
    const int size = m_pCalDoc->GetSize();
    const double rate = m_pCalDoc->GetSampleRate();
    const CDspView* userGenerator = UserStep("Signal Generator");
    for (const char* ch : kChannels) {
        const std::string c = ch;
        Set(kGenerator, c + "wave", "Sine");
        Set(kGenerator, c + "mode", "Constant");
        if (userGenerator) Set(kGenerator, c + "level", SettingOf(*userGenerator, c + "level"));
        Set(kGenerator, c + "freq", FormatText("%.17g", CalibrationToneFrequency(rate, size)));
    }
    if (m_owner.GetDocument() == m_pUserDoc) {
        CopySettings(&m_owner, kSoundIO,
                     {"in", "out", "mixer", "trigger", "trglev", "offset", "rate", "res", "chan"});
        Set(kSoundIO, "repeat", "0");
        Set(kSoundIO, "mode", "Rec. Only");
    }
    Set(kScope, "ch1.avg", "1");
    Set(kScope, "ch2.avg", "1");
    if (UserStep("Spectrum Analyzer")) {
        Set(kAnalyser, "type", "Off");
        Set(kAnalyser, "avg", "8");
    }
    SaveProcess();
    // One slice with the new settings leaves the generator's block as the current list.
    m_pCalDoc->RunProcess();
    m_loop.Slice();
    m_pCalDoc->StopProcess();
    m_loop.Slice();

    const double blockSeconds = size / rate;
    const int loops = static_cast<int>(kInputSeconds / blockSeconds);
    if (!m_pCalSoundIO->LoopBuffer(loops))
        return Fail("Input Calibration Failed. Could Not Loop Sound Card Buffer.");

    const IClock& clock = m_app.GetClock();
    const std::time_t start = clock.Now();
    if (m_host.progress) m_host.progress(0, int(kInputSeconds));
    m_pCalDoc->RunProcess();
    // The loop ends after 30 seconds, or once the looped playback has finished: a card faster
    // than real time (the virtual card) has nothing more to play by then.
    for (;;) {
        const double elapsed = double(clock.Now() - start);
        if (elapsed >= kInputSeconds || m_pCalSoundIO->GetPendingOutput() == 0) break;
        if (m_host.progress) m_host.progress(int(elapsed), int(kInputSeconds));
        if (!Slice()) break; // the step said why; the levels shown so far stay
        ShowPeakLevels();
        if (Stopped()) return EOutcome::kFailed;
    }
    m_pCalDoc->StopProcess();
    ShowPeakLevels(); // a card faster than real time ends the loop before any was shown
    if (m_host.progress) m_host.progress(int(kInputSeconds), int(kInputSeconds));

    CCalibration& edited = *GetEdited();
    const CCalibrationLevelInput start_levels{edited.Level[0].UserInputLevel,
                                              edited.Level[1].UserInputLevel};
    const std::optional<CCalibrationLevelInput> entered =
        m_host.askLevels ? m_host.askLevels(start_levels) : std::nullopt;
    m_parametersChanged = true;
    if (!entered) {
        SetStatus("Input Calibration Cancelled");
        return EOutcome::kGoOn;
    }
    const double user[2] = {entered->ch1, entered->ch2};
    std::string silent;
    for (int c = 0; c < 2; ++c) {
        const int peak = m_pCalSoundIO->GetPeakLevel(c);
        const std::string fullScale = FullScaleLevelText(user[c], peak, edited.MeasSel);
        // A channel that recorded nothing has no full scale to measure: it keeps its record as
        // it was, so a calibration that cannot hold is never written over a good one.
        if (fullScale.empty()) {
            silent += (silent.empty() ? "Ch" : " And Ch") + std::to_string(c + 1);
            continue;
        }
        CLevelCal& level = edited.Level[c];
        level.UserInputLevel = user[c];
        level.PeakSampleLevel = peak;
        level.FullScaleLevelParams = fullScale;
        level.TriggerLevel = m_pCalSoundIO->GetTriggerLevel();
        level.TriggerOffset = m_pCalSoundIO->GetTriggerOffset();
        level.LevelOutputDeviceName = m_pCalSoundIO->GetOutputDeviceName();
        level.LevelInputDeviceName = m_pCalSoundIO->GetInputDeviceName();
        level.MixerName = m_pCalSoundIO->GetMixerDeviceName();
        level.MixerSource = m_pCalSoundIO->GetSourceName();
        level.Gain = m_pCalSoundIO->GetInputDeviceLevel();
        level.MixerDestination = m_pCalSoundIO->GetDestinationName();
    }
    if (!silent.empty())
        return Fail("Input Calibration Failed. " + silent +
                    " Recorded No Signal. Check The Input Connection And Level.");
    SetStatus("Input Calibration Complete");
    return EOutcome::kGoOn;
}

void CCalibrationSession::ShowPeakLevels() {
    if (m_host.levels)
        m_host.levels(std::abs(m_pCalSoundIO->GetPeakLevel(0)),
                      std::abs(m_pCalSoundIO->GetPeakLevel(1)));
}

CCalibrationSession::EOutcome CCalibrationSession::RunLatency() {
    BeginProcedure("Latency Running");
    InUse().CalSel = "Latency";
    ClearApplyFlags(InUse());
    for (const char* ch : kChannels) {
        const std::string c = ch;
        Set(kGenerator, c + "wave", "Half Square");
        Set(kGenerator, c + "mode", "Constant");
        Set(kGenerator, c + "level", "100");
    }
    if (m_owner.GetDocument() == m_pUserDoc) {
        CopySettings(&m_owner, kSoundIO, {"in", "out", "offset", "repeat", "rate", "res", "chan"});
        Set(kSoundIO, "trigger", "Auto");
        Set(kSoundIO, "mode", "Rec./Play");
    }
    Set(kScope, "ch1.avg", "1");
    Set(kScope, "ch2.avg", "1");
    SaveProcess();
    const int blockMs = int(1000.0 * m_pCalDoc->GetSize() / m_pCalDoc->GetSampleRate());
    if (m_host.progress) m_host.progress(0, 3000);
    m_pCalDoc->RunProcess();
    const int slices = 4 * m_pCalDoc->GetStepCount();
    for (int i = 0; i < slices; ++i) {
        if (!Slice())
            return Fail("Latency Calibration Failed. Could Not Discharge Sound Card Measure Node");
        if (m_host.progress) m_host.progress(std::min(3000, (i + 1) * blockMs), 3000);
        ShowPeakLevels();
        if (Stopped()) return EOutcome::kFailed;
    }
    m_pCalDoc->StopProcess();

    const CWaveHeader* recording = m_pCalSoundIO->GetRecordHeader();
    // Both channels' pulses are found at half their peak: the edge, not the top of its rise.
    const auto delay = [&](int channel) {
        if (!recording) return 0.0;
        return m_pCalSoundIO->GetSIODelay(
            channel, m_pCalSoundIO->ScanForPeakLevel(*recording, channel) / 2.0);
    };
    CCalibration& edited = *GetEdited();
    const auto store = [&](int channel, double seconds) {
        CLatencyCal& latency = edited.Latency[channel];
        latency.LatencyOutputDeviceName = m_pCalSoundIO->GetOutputDeviceName();
        latency.LatencyInputDeviceName = m_pCalSoundIO->GetInputDeviceName();
        latency.LatencyParams = FormatText("%8.8f %4s", seconds, "Sec.");
    };
    const double d1 = delay(0);
    if (d1 <= 0.0) return Fail("Latency Calibration Failed. Could Not Find Pulse");
    store(0, d1);
    const double d2 = delay(1);
    if (d2 <= 0.0) return EOutcome::kGoOn;
    store(1, d2);
    if (m_host.progress) m_host.progress(3000, 3000);
    SetStatus("Latency Calibration Complete");
    m_parametersChanged = true;
    return EOutcome::kGoOn;
}

CCalibrationSession::EOutcome CCalibrationSession::RunFrequency() {
    BeginProcedure("Frequency Running");
    CCalibration& edited = *GetEdited();
    CCalibration& inUse = InUse();
    inUse.CalSel = "Frequency";
    for (int c = 0; c < 2; ++c) {
        inUse.Level[c].InputLevelCalApply = false;
        inUse.Freq[c].FreqCalApply = false;
        // A latency measured just before is the one a "Latency" trigger reads by.
        inUse.Latency[c] = edited.Latency[c];
    }
    const std::string& type = edited.FreqCalTypeSel;
    for (const char* ch : kChannels) {
        const std::string c = ch;
        Set(kGenerator, c + "wave", type == "Pulse" ? "Impulse" : "MLS");
        Set(kGenerator, c + "mode", "Constant");
        Set(kGenerator, c + "level", "100");
    }
    if (m_owner.GetDocument() == m_pUserDoc)
        CopySettings(
            &m_owner, kSoundIO,
            {"in", "out", "trigger", "trglev", "offset", "repeat", "mode", "rate", "res", "chan"});
    // The user's gate selects the part of the impulse response that is used.
    CopySettings(UserStep("Oscilloscope"), kScope,
                 {"ch1.avg", "ch2.avg", "length", "gate", "gatestart", "gatestop"});
    Set(kAnalyser, "type",
        type == "Pulse"         ? "FFT"
        : type == "Cross Corr." ? "XCorr/FFT"
                                : "FHT/FFT");
    Set(kAnalyser, "avg", "1");
    SaveProcess();
    m_pCalDoc->RunProcess();
    const int slices = m_pCalDoc->GetStepCount();
    if (m_host.progress) m_host.progress(0, slices);
    for (int i = 0; i < slices; ++i) {
        if (!Slice())
            return Fail("Frequency Calibration Failed. Could Not Generate Calibration Data");
        if (m_host.progress) m_host.progress(i + 1, slices);
        if (Stopped()) return EOutcome::kFailed;
    }
    m_pCalDoc->StopProcess();

    const CDSPFFTDataList* scope = m_pCalDoc->GetView(kScope - 1)->GetWorkingList();
    const double threshold = m_pCalSoundIO->GetTriggerLevel() / 100.0;
    const auto hasData = [&](int channel) {
        const double* samples =
            scope ? scope->GetAt(channel)->GetTimeObj()->GetDataPointer() : nullptr;
        if (!samples) return false;
        for (int i = 0; i < scope->GetSize(channel); ++i)
            if (std::fabs(samples[i]) > threshold) return true;
        return false;
    };
    const CDSPFFTDataList* display = m_pCalDoc->GetView(kAnalyser - 1)->GetDisplayList();
    CDSPFFTDataList* response = edited.GetFrequencyResponse();
    if (!(scope && scope->GetNumChans() >= 2 && hasData(0) && hasData(1) && display && response))
        return Fail("Frequency Calibration Failed. Could Not Find Time Domain Data");
    response->Fill(*display);
    response->DoIFFT(0);
    response->DoIFFT(1);
    for (int c = 0; c < 2; ++c) {
        edited.Freq[c].FreqOutputDeviceName = m_owner.GetOutputDeviceName();
        edited.Freq[c].FreqInputDeviceName = m_owner.GetInputDeviceName();
        edited.Freq[c].FreqCalParams = type;
    }
    SetStatus("Frequency Calibration Complete");
    m_parametersChanged = true;
    return EOutcome::kGoOn;
}
