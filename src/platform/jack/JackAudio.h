#pragma once
// Sound through a JACK server, and through PipeWire's JACK interface, which serves the same
// client unchanged. One client of ours ("aurivo") registers two input and two output ports and
// connects them to the ports the user picks: the server's system ports unless the settings
// file's [JACK] section names others (Input1, Input2, Output1, Output2, and Server for a server
// of another name), or a device "JACK:a,b" of the lists names a pair. The server sets the rate
// and the buffer size; a format of another rate does not open.
//
// The real-time callback neither locks nor allocates: it trades samples with the event pump's
// polls through lock-free ring buffers. Input goes into the ring in packets stamped with their
// frame number, so the polling side sees any frames the ring had no room for and counts them as
// lost. Output is taken from the ring as it comes; the first frame of every buffer is marked,
// and an input buffer queued beside an output starts at the frame where that output starts, so
// a recording holds the played block at the same place in every exchange. Every call that may
// wait on the server runs on a thread of its own and is given up after kAnswerSeconds; a
// server that goes away fails the open devices with a message at once.

#include "platform/AudioDevices.h"
#include "platform/SettingsStore.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

/** The ports our client connects to, and the server it talks to. */
struct CJackPorts {
    std::string server; // empty: the default server (JACK_DEFAULT_SERVER, else "default")
    std::array<std::string, 2> inputs;  // sources of our two input ports; empty: the system's
    std::array<std::string, 2> outputs; // destinations of our two output ports

    /** The [JACK] section of the settings file. */
    static CJackPorts Load(const ISettingsStore& settings);
};

class CJackAudio final : public IAudioSystem {
public:
    static constexpr int kAnswerSeconds = 2;
    static constexpr const char* kDeviceName = "JACK";

    /** Lists the server's ports (see Refresh). */
    explicit CJackAudio(CJackPorts ports = {});
    ~CJackAudio() override;

    bool IsServerRunning() const { return m_rate > 0; }
    int GetSampleRate() const { return m_rate; }
    int GetBufferSize() const { return m_bufferFrames; }
    /** The server's ports as listed: "client:port", and whether each one produces sound. */
    const std::vector<std::pair<std::string, bool>>& GetPorts() const { return m_ports; }

    std::vector<CAudioDeviceInfo> GetInputDevices() const override { return m_inputs; }
    std::vector<CAudioDeviceInfo> GetOutputDevices() const override { return m_outputs; }
    std::vector<CAudioDeviceInfo> GetMixerDevices() const override { return {}; }
    /** Asks the server (within the answer time) for its rate, buffer size and ports; without
     *  a server the lists are empty. Open devices keep their connections. */
    void Refresh() override;
    int QueryFormat(bool input, int index, const CWaveFormat& format) const override;
    int Open(bool input, int index, const CWaveFormat& format, IWaveClient* client,
             CEventPump& pump, std::unique_ptr<IWaveDevice>& device) override;
    std::string GetErrorText(bool input, int code) const override;
    std::string GetMixerSourceName(int) const override { return {}; }
    std::string GetMixerDestinationName(int) const override { return {}; }
    int GetMixerInputLevel(int) const override { return 0; }

private:
    friend class CJackWaveDevice;
    /** The two ports device `index` of that direction connects to. */
    std::array<std::string, 2> PortsOf(bool input, int index) const;
    /** Keeps the text of a call's result for GetErrorText; returns `code`. */
    int Fail(bool input, int code, std::string text);

    CJackPorts m_settings;
    int m_rate = 0;
    int m_bufferFrames = 0;
    std::vector<std::pair<std::string, bool>> m_ports;
    std::vector<CAudioDeviceInfo> m_inputs, m_outputs;
    mutable std::string m_lastError[2]; // output, input
    class CJackWaveDevice* m_input = nullptr;
    class CJackWaveDevice* m_output = nullptr;
};
