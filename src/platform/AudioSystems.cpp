#include "platform/AudioSystems.h"

namespace {
template <typename Get>
std::vector<CAudioDeviceInfo> Join(const std::vector<IAudioSystem*>& all, Get get) {
    std::vector<CAudioDeviceInfo> devices;
    for (const IAudioSystem* s : all) {
        const std::vector<CAudioDeviceInfo> some = get(*s);
        devices.insert(devices.end(), some.begin(), some.end());
    }
    return devices;
}
} // namespace

std::vector<CAudioDeviceInfo> CAudioSystems::GetInputDevices() const {
    return Join(m_systems, [](const IAudioSystem& s) { return s.GetInputDevices(); });
}
std::vector<CAudioDeviceInfo> CAudioSystems::GetOutputDevices() const {
    return Join(m_systems, [](const IAudioSystem& s) { return s.GetOutputDevices(); });
}
std::vector<CAudioDeviceInfo> CAudioSystems::GetMixerDevices() const {
    return Join(m_systems, [](const IAudioSystem& s) { return s.GetMixerDevices(); });
}

void CAudioSystems::Refresh() {
    for (IAudioSystem* s : m_systems)
        s->Refresh();
}

IAudioSystem* CAudioSystems::Locate(EKind kind, int& index) const {
    if (index < 0) return nullptr;
    for (IAudioSystem* s : m_systems) {
        const int count = static_cast<int>(kind == EKind::Input    ? s->GetInputDevices().size()
                                           : kind == EKind::Output ? s->GetOutputDevices().size()
                                                                   : s->GetMixerDevices().size());
        if (index < count) return s;
        index -= count;
    }
    return nullptr;
}

int CAudioSystems::QueryFormat(bool input, int index, const CWaveFormat& format) const {
    IAudioSystem* s = Locate(input ? EKind::Input : EKind::Output, index);
    if (!s) return kAudioBadDeviceId;
    m_lastOpened = s; // the system that can tell why the format did not open
    return s->QueryFormat(input, index, format);
}

int CAudioSystems::Open(bool input, int index, const CWaveFormat& format, IWaveClient* client,
                        CEventPump& pump, std::unique_ptr<IWaveDevice>& device) {
    IAudioSystem* s = Locate(input ? EKind::Input : EKind::Output, index);
    if (!s) return kAudioBadDeviceId;
    m_lastOpened = s;
    return s->Open(input, index, format, client, pump, device);
}

std::string CAudioSystems::GetErrorText(bool input, int code) const {
    return m_lastOpened ? m_lastOpened->GetErrorText(input, code) : std::string();
}

std::string CAudioSystems::GetMixerSourceName(int mixer) const {
    const IAudioSystem* s = Locate(EKind::Mixer, mixer);
    return s ? s->GetMixerSourceName(mixer) : "";
}
std::string CAudioSystems::GetMixerDestinationName(int mixer) const {
    const IAudioSystem* s = Locate(EKind::Mixer, mixer);
    return s ? s->GetMixerDestinationName(mixer) : "";
}
int CAudioSystems::GetMixerInputLevel(int mixer) const {
    const IAudioSystem* s = Locate(EKind::Mixer, mixer);
    return s ? s->GetMixerInputLevel(mixer) : 0;
}
