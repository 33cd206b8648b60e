// Device and mixer lists, the sample rates the selected devices accept, and the texts of
// device errors.

#include "base/NumberText.h"
#include "platform/SampleRates.h"
#include "soundio/SoundIOView.h"

#include <algorithm>

namespace {
// JACK's devices: "JACK" connects to the ports of the settings file, "JACK:a,b" to a pair.
constexpr const char* kJack = "JACK";

bool IsJackDevice(const std::string& name) {
    return name == kJack || name.rfind(std::string(kJack) + ":", 0) == 0;
}
} // namespace

void CSoundIOView::FillDeviceList() {
    if (IAudioSystem* audio = Audio()) {
        audio->Refresh();
        m_inputs = audio->GetInputDevices();
        m_outputs = audio->GetOutputDevices();
        m_mixers = audio->GetMixerDevices();
    } else {
        m_inputs.clear();
        m_outputs.clear();
        m_mixers.clear();
    }
    SelectDevice(true, m_inputName);
    SelectDevice(false, m_outputName);
}

void CSoundIOView::SelectDevice(bool input, const std::string& name) {
    const std::vector<CAudioDeviceInfo>& list = input ? m_inputs : m_outputs;
    int32_t& index = input ? m_inputIndex : m_outputIndex;
    if (name.empty()) return;
    if (const int found = FindDevice(list, name); size_t(found) < list.size()) {
        index = found;
        return;
    }
    if (!IsJackDevice(name)) return; // other devices keep their stored place
    const int configured = FindDevice(list, kJack);
    const bool server = size_t(configured) < list.size();
    std::string gone = "no JACK server runs";
    if (name != kJack) {
        std::string ports = name.substr(std::string(kJack).size() + 1);
        if (const size_t comma = ports.find(','); comma != std::string::npos)
            ports.replace(comma, 1, " and ");
        gone = "JACK ports " + ports + (server ? " are gone" : " are gone: " + gone);
    }
    std::string instead = "the JACK ports of the settings file (the system's if it names none)";
    if (server) {
        index = configured;
    } else {
        ClampDeviceIndices();
        instead = list.empty() ? "no device" : "device " + list[size_t(index)].name;
    }
    ShowErrorMessage(gone + (input ? "; recording from " : "; playing to ") + instead + " instead");
}

std::string CSoundIOView::JackDeviceName(bool input) const {
    const std::vector<CAudioDeviceInfo>& list = input ? m_inputs : m_outputs;
    const int32_t index = input ? m_inputIndex : m_outputIndex;
    if (index < 0 || size_t(index) >= list.size()) return {};
    return IsJackDevice(list[size_t(index)].name) ? list[size_t(index)].name : std::string();
}

void CSoundIOView::ClampDeviceIndices() {
    auto clamp = [](int32_t& index, size_t count) {
        if (index > static_cast<int32_t>(count) - 1) index = count > 0 ? int32_t(count) - 1 : 0;
        if (index < 0) index = 0;
    };
    clamp(m_inputIndex, m_inputs.size());
    clamp(m_outputIndex, m_outputs.size());
    clamp(m_mixerIndex, m_mixers.size());
}

void CSoundIOView::FillSampleRateList() {
    m_rateList.clear();
    IAudioSystem* audio = Audio();
    if (!audio) return;
    m_rateList = AcceptedSampleRates(*audio, m_inputIndex, m_outputIndex);
    if (!m_rateList.empty() || m_inputs.empty() || m_outputs.empty()) return;
    // Neither device opens at any rate: say why (a sound server stopped or not answering, a
    // device gone), naming the device. Asking again is quick: a device that did not answer
    // is not called until its first call has returned.
    const CWaveFormat probe{2, 48000, 16};
    for (const bool input : {true, false}) {
        const int code = audio->QueryFormat(input, input ? m_inputIndex : m_outputIndex, probe);
        if (code != kAudioOk && !audio->GetErrorText(input, code).empty()) {
            SoundIOError(code, input ? kInputDevice : kOutputDevice);
            return;
        }
    }
}

std::string CSoundIOView::GetSourceName() const {
    const IAudioSystem* audio = Audio();
    return audio && !m_mixers.empty() ? audio->GetMixerSourceName(m_mixerIndex) : "";
}

std::string CSoundIOView::GetDestinationName() const {
    const IAudioSystem* audio = Audio();
    return audio && !m_mixers.empty() ? audio->GetMixerDestinationName(m_mixerIndex) : "";
}

int CSoundIOView::GetInputDeviceLevel() const {
    const IAudioSystem* audio = Audio();
    return audio && !m_mixers.empty() ? audio->GetMixerInputLevel(m_mixerIndex) : 0;
}

std::string CSoundIOView::SoundIOErrorText(int code, EDevice device) const {
    if (code == kAudioOk) return {};
    // The device layer's own reason names the device and what went wrong; an unspecified
    // error (a sound server that refused the connection) has one too.
    const IAudioSystem* audio = Audio();
    if (audio && ((code >= 1 && code <= 12) || (code >= 32 && code <= 35))) {
        if (std::string text = audio->GetErrorText(false, code);
            device != kInputDevice && !text.empty())
            return FormatText("%s Output Device\r\n%s", m_outputName.c_str(),
                              text.substr(0, 256).c_str());
        if (std::string text = audio->GetErrorText(true, code);
            device != kOutputDevice && !text.empty())
            return FormatText("%s Input Device\r\n%s", m_inputName.c_str(),
                              text.substr(0, 256).c_str());
    }
    switch (code) {
    case 1:
        return "System Unspecified Error";
    case 2:
        return "System Device ID Out Of Range";
    case 3:
        return "System Device Driver Failed Enable";
    case 4:
        return "System Device Already Allocated";
    case 5:
        return "System Device Handle Is Invalid";
    case 6:
        return "System No Device Driver Present";
    case 7:
        return "System Memory Allocation Error";
    case 8:
        return "System Function Isn't Supported";
    case 9:
        return "System Error Value Out Of Range";
    case 10:
        return "System Invalid Flag Passed";
    case 11:
        return "System Invalid Parameter Passed";
    case 12:
        return "System Device Handle In Use";
    case 32:
        return "Wave Format Unsupported";
    case 33:
        return "Wave Device In Use";
    case 34:
        return "Wave Header Not Prepared";
    case 35:
        return "Wave Device Is Synchronous";
    case 1024:
        return FormatText("%s Mixer\r\nThe audio line reference is invalid", m_mixerName.c_str());
    case 1025:
        return FormatText("%s Mixer\r\nThe control reference is invalid", m_mixerName.c_str());
    case 1026:
        return FormatText("%s Mixer\r\nThe value specified for the mixer control\r\nis not within "
                          "the limits for the control",
                          m_mixerName.c_str());
    default:
        return "Unknown Error";
    }
}

bool CSoundIOView::SoundIOError(int code, EDevice device) {
    if (code == kAudioOk) return true;
    ShowErrorMessage(SoundIOErrorText(code, device));
    return false;
}
