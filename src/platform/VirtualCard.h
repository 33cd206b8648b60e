#pragma once
// The virtual loopback sound card: one input, one output and one mixer, always present. What
// is played comes back on capture through the device-under-test model. Buffers complete when
// the event pump polls the card, one buffer (or one repetition of a looped buffer) per
// direction per round, so a run through it is exact and takes no wall time.

#include "platform/AudioDevices.h"
#include "platform/DeviceModel.h"
#include "platform/EventPump.h"

#include <cstdint>

class CVirtualWaveDevice;

class CVirtualCard final : public IAudioSystem, private IEventSource {
public:
    static constexpr const char* kDeviceName = "Virtual Loopback";
    static constexpr const char* kMixerName = "Virtual Loopback Mixer";
    static constexpr const char* kSourceName = "Line";
    static constexpr const char* kDestinationName = "Capture";
    static constexpr int kInputLevel = 49152;

    explicit CVirtualCard(const CDeviceModel& model = {});
    ~CVirtualCard() override;

    std::vector<CAudioDeviceInfo> GetInputDevices() const override;
    std::vector<CAudioDeviceInfo> GetOutputDevices() const override;
    std::vector<CAudioDeviceInfo> GetMixerDevices() const override;
    int QueryFormat(bool input, int index, const CWaveFormat& format) const override;
    int Open(bool input, int index, const CWaveFormat& format, IWaveClient* client,
             CEventPump& pump, std::unique_ptr<IWaveDevice>& device) override;
    std::string GetErrorText(bool input, int code) const override;
    std::string GetMixerSourceName(int mixer) const override;
    std::string GetMixerDestinationName(int mixer) const override;
    int GetMixerInputLevel(int mixer) const override;

    const CDeviceModel& GetModel() const { return m_line.GetModel(); }

    /** A card going wrong, for the tests of what a run makes of it. StopsDelivering: unplugged,
     *  no buffer comes back in either direction. ShortBuffers: each buffer comes back having
     *  taken half its frames, a capture one holding only those (`bytesRecorded`), a playback
     *  one with `bytesRecorded` lowered to the bytes played. */
    enum class EFault { None, StopsDelivering, ShortBuffers };
    void SetFault(EFault fault) { m_fault = fault; }

private:
    friend class CVirtualWaveDevice;
    void Poll(CEventPump& pump) override;

    CDeviceUnderTest m_line;
    int64_t m_outputTime = 0; // next frame the output plays
    int64_t m_inputTime = 0;  // next frame the input records
    CVirtualWaveDevice* m_input = nullptr;
    CVirtualWaveDevice* m_output = nullptr;
    EFault m_fault = EFault::None;
};
