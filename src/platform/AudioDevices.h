#pragma once
// Sound devices behind one interface: enumerate input, output and mixer devices, test formats,
// open a device for a format, queue buffers, and learn of completed buffers through messages
// that the event pump dispatches on the user-interface thread. Nothing here blocks.

#include "platform/EventPump.h"
#include "platform/WaveFormat.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

/** A device as listed: the name it is opened by and a longer description. */
struct CAudioDeviceInfo {
    std::string name;
    std::string description;
};

/** Receives a device's completed buffers; called only from the event pump (GUI thread). */
class IWaveClient {
public:
    virtual ~IWaveClient() = default;
    /** An input buffer holds `bytesRecorded` new bytes. */
    virtual void OnWimData(CWaveHeader* header) = 0;
    /** An output buffer has been played (`bytesRecorded` of it). */
    virtual void OnWomDone(CWaveHeader* header) = 0;
};

/** An open input or output device. Reset and destruction drop every queued buffer and every
 *  completion not yet dispatched, so no message names a buffer its owner has freed. */
class IWaveDevice {
public:
    virtual ~IWaveDevice() = default;
    /** Input: queues an empty buffer for recording. Output: queues a filled buffer to play
     *  `loops` times when it carries kBeginLoop and kEndLoop. */
    virtual int AddBuffer(CWaveHeader* header) = 0;
    /** Input: starts recording into the queued buffers. Output: nothing to do. */
    virtual int Start() = 0;
    /** Output: ends a playing loop after its current repetition. */
    virtual int BreakLoop() = 0;
    virtual int Reset() = 0;
    /** Buffers handed over and not yet completed, reset or closed. */
    virtual int Pending() const = 0;

    /** Input: frames of the input stream that reached no buffer since the device opened (the
     *  program did not keep up), so a gap between two buffers is never silent. */
    virtual int64_t GetLostFrames() const { return 0; }
    /** Xruns the sound system reported since the device opened. */
    virtual int GetXruns() const { return 0; }
    /** Why the device stopped working for good (its sound server went away), else empty: a
     *  step waiting for a buffer says so at once instead of waiting for its time limit. */
    virtual std::string GetFailure() const { return {}; }
};

/** Queues the completion of `header` for `client`, dropped if `device` cancels first. */
inline void PostCompletion(CEventPump& pump, const void* device, IWaveClient* client,
                           CWaveHeader* header, bool input) {
    header->flags |= CWaveHeader::kDone;
    pump.Post(device, [client, header, input] {
        if (input)
            client->OnWimData(header);
        else
            client->OnWomDone(header);
    });
}

class IAudioSystem {
public:
    virtual ~IAudioSystem() = default;
    virtual std::vector<CAudioDeviceInfo> GetInputDevices() const = 0;
    virtual std::vector<CAudioDeviceInfo> GetOutputDevices() const = 0;
    virtual std::vector<CAudioDeviceInfo> GetMixerDevices() const = 0;
    /** Reads the devices anew where they come and go (a sound server started after the
     *  program, ports that appeared or vanished); bounded like every call that may wait. */
    virtual void Refresh() {}
    /** kAudioOk when device `index` of that direction can be opened for the format. */
    virtual int QueryFormat(bool input, int index, const CWaveFormat& format) const = 0;
    /** Opens device `index`; completions go to `client` through `pump`. */
    virtual int Open(bool input, int index, const CWaveFormat& format, IWaveClient* client,
                     CEventPump& pump, std::unique_ptr<IWaveDevice>& device) = 0;
    /** The system's own text for a result code (256 characters at most); empty when it has
     *  none, so the caller uses its own. */
    virtual std::string GetErrorText(bool input, int code) const = 0;

    // Mixer of device `mixer`: the selected capture source, the capture destination line and
    // the source's capture level (0..65535). Empty texts and 0 on any failure.
    virtual std::string GetMixerSourceName(int mixer) const = 0;
    virtual std::string GetMixerDestinationName(int mixer) const = 0;
    virtual int GetMixerInputLevel(int mixer) const = 0;
};
