#pragma once
// A card for the tests of waiting: its devices open but never return a buffer.

#include "platform/AudioDevices.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

/** Counts the devices open, and every opening. */
class CStalledCard final : public IAudioSystem {
public:
    struct CDevice final : IWaveDevice {
        explicit CDevice(int& count) : open(++count, count) {}
        ~CDevice() override { --open.second; }
        int AddBuffer(CWaveHeader*) override { return ++queued, kAudioOk; }
        int Start() override { return kAudioOk; }
        int BreakLoop() override { return kAudioOk; }
        int Reset() override { return queued = 0, kAudioOk; }
        int Pending() const override { return queued; }
        std::pair<int, int&> open; // the count at opening, the card's count
        int queued = 0;
    };
    std::vector<CAudioDeviceInfo> GetInputDevices() const override { return {{"Stalled", ""}}; }
    std::vector<CAudioDeviceInfo> GetOutputDevices() const override { return {{"Stalled", ""}}; }
    std::vector<CAudioDeviceInfo> GetMixerDevices() const override { return {}; }
    int QueryFormat(bool, int, const CWaveFormat&) const override { return kAudioOk; }
    int Open(bool, int, const CWaveFormat&, IWaveClient*, CEventPump&,
             std::unique_ptr<IWaveDevice>& device) override {
        device = std::make_unique<CDevice>(open);
        ++opened;
        return kAudioOk;
    }
    std::string GetErrorText(bool, int) const override { return {}; }
    std::string GetMixerSourceName(int) const override { return {}; }
    std::string GetMixerDestinationName(int) const override { return {}; }
    int GetMixerInputLevel(int) const override { return 0; }
    int open = 0, opened = 0;
};
