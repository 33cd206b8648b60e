#pragma once
// Sound devices through ALSA (PipeWire and PulseAudio are reached through their ALSA devices).
// Devices open non-blocking; the event pump polls them, so buffers complete on the one thread
// without waiting. Capture and playback of one exchange are linked where ALSA allows, so they
// start on the same frame. Capture runs on between exchanges, and each exchange of a recording
// starts its playback afresh behind a little silence, so a sound server loses none of it.
// Xruns inside queued sound are recovered and counted; a ring that runs dry with nothing queued
// has simply finished. 24-bit and float samples reach a device in their own layout where it
// offers it (S24_3LE, FLOAT_LE), else as 32-bit integers converted on the way. Opening a device
// (for a run, or to test a format) is bounded: a sound server that is stopped or hung blocks ALSA's
// open whatever its flags say, so the open runs on a thread of its own and a device that has not
// answered within kAnswerSeconds is reported as not answering; the thread is left to finish (or
// not) on its own, never joined.

#include "platform/AudioDevices.h"

#include <memory>
#include <string>
#include <vector>

class CAlsaAudio final : public IAudioSystem {
public:
    /** Lists the PCM devices from ALSA's hints ("default", "pipewire", "pulse", "hw:…",
     *  "plughw:…") and the cards' mixers, plus any `extraDevices` (PCM names) first. */
    explicit CAlsaAudio(const std::vector<std::string>& extraDevices = {});
    ~CAlsaAudio() override;

    /** Seconds a device has to open (or to say it cannot) before it counts as not answering;
     *  its call goes on in the background, and the device is not called again until it has
     *  returned. */
    static constexpr int kAnswerSeconds = 2;
    struct CStalls;

    std::vector<CAudioDeviceInfo> GetInputDevices() const override { return m_inputs; }
    std::vector<CAudioDeviceInfo> GetOutputDevices() const override { return m_outputs; }
    std::vector<CAudioDeviceInfo> GetMixerDevices() const override { return m_mixers; }
    int QueryFormat(bool input, int index, const CWaveFormat& format) const override;
    int Open(bool input, int index, const CWaveFormat& format, IWaveClient* client,
             CEventPump& pump, std::unique_ptr<IWaveDevice>& device) override;
    std::string GetErrorText(bool input, int code) const override;
    std::string GetMixerSourceName(int mixer) const override;
    std::string GetMixerDestinationName(int mixer) const override;
    int GetMixerInputLevel(int mixer) const override;

    /** Overruns and underruns recovered since the program started. */
    int GetXrunCount() const { return m_xruns; }

private:
    friend class CAlsaWaveDevice;
    std::vector<CAudioDeviceInfo> m_inputs, m_outputs, m_mixers;
    class CAlsaWaveDevice* m_input = nullptr;
    class CAlsaWaveDevice* m_output = nullptr;
    int m_xruns = 0;
    /** The last failed call of one direction, for its text. */
    struct CLastError {
        std::string device;
        int alsaError = 0;
        bool answered = true; // false: the device did not answer in time
    };
    /** Forgets the direction's last failure: its text would describe another call. */
    int Succeed(bool input) const;
    /** Records a failure and gives its result code. */
    int Fail(bool input, const std::string& device, int alsaError, bool answered) const;
    mutable CLastError m_lastError[2]; // output, input
    std::shared_ptr<CStalls> m_stalls;
};
