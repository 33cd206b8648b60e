#pragma once
// Several device layers listed as one: the devices of the first, then of the second, and so
// on. The host puts the virtual loopback card first, so it is always there and always first.

#include "platform/AudioDevices.h"

#include <memory>
#include <vector>

class CAudioSystems final : public IAudioSystem {
public:
    /** The layers are not owned and must outlive this list. */
    void Add(IAudioSystem* system) { m_systems.push_back(system); }
    /** Adds a layer this list owns. */
    void Own(std::unique_ptr<IAudioSystem> system) {
        Add(system.get());
        m_owned.push_back(std::move(system));
    }

    std::vector<CAudioDeviceInfo> GetInputDevices() const override;
    std::vector<CAudioDeviceInfo> GetOutputDevices() const override;
    std::vector<CAudioDeviceInfo> GetMixerDevices() const override;
    void Refresh() override;
    int QueryFormat(bool input, int index, const CWaveFormat& format) const override;
    int Open(bool input, int index, const CWaveFormat& format, IWaveClient* client,
             CEventPump& pump, std::unique_ptr<IWaveDevice>& device) override;
    std::string GetErrorText(bool input, int code) const override;
    std::string GetMixerSourceName(int mixer) const override;
    std::string GetMixerDestinationName(int mixer) const override;
    int GetMixerInputLevel(int mixer) const override;

private:
    enum class EKind { Input, Output, Mixer };
    /** The layer that holds device `index` of that kind, and its index there; null if none. */
    IAudioSystem* Locate(EKind kind, int& index) const;

    std::vector<IAudioSystem*> m_systems;
    std::vector<std::unique_ptr<IAudioSystem>> m_owned;
    mutable const IAudioSystem* m_lastOpened = nullptr;
};
