#pragma once
// The PCM format a sound device is opened with, the buffer headers handed to a device, and the
// result codes of device calls. The codes keep the numbering the module's error texts use
// (1..12 system errors, 32..35 wave errors, 1024..1026 mixer errors).

#include <cstdint>
#include <vector>

enum EAudioResult : int {
    kAudioOk = 0,
    kAudioError = 1,
    kAudioBadDeviceId = 2,
    kAudioNotEnabled = 3,
    kAudioAllocated = 4,
    kAudioInvalidHandle = 5,
    kAudioNoDriver = 6,
    kAudioNoMemory = 7,
    kAudioNotSupported = 8,
    kAudioBadErrorNumber = 9,
    kAudioInvalidFlag = 10,
    kAudioInvalidParam = 11,
    kAudioHandleBusy = 12,
    kWaveBadFormat = 32,
    kWaveStillPlaying = 33,
    kWaveUnprepared = 34,
    kWaveSync = 35,
    kMixerInvalidLine = 1024,
    kMixerInvalidControl = 1025,
    kMixerInvalidValue = 1026,
};

/** PCM samples: 8-bit unsigned (silence 128), 16-bit signed little-endian, 24-bit signed packed
 *  in three little-endian bytes, or (isFloat) 32-bit IEEE float little-endian; frames interleave
 *  channel 1 and channel 2. */
struct CWaveFormat {
    int channels = 2;
    int sampleRate = 48000;
    int bitsPerSample = 16;
    bool isFloat = false;

    int BytesPerSample() const { return bitsPerSample / 8; }
    int BytesPerFrame() const { return BytesPerSample() * channels; }
    int AverageBytesPerSecond() const { return sampleRate * BytesPerFrame(); }
    bool operator==(const CWaveFormat&) const = default;
};

/** A buffer handed to a device. Its owner keeps it alive until the device returns it (a
 *  completion) or is reset or closed. The device returns it with `bytesRecorded` set to the
 *  bytes it took: recorded into an input buffer, played from an output one. Fewer than the
 *  buffer holds means the device went wrong. */
struct CWaveHeader {
    static constexpr uint32_t kDone = 1;
    static constexpr uint32_t kBeginLoop = 4;
    static constexpr uint32_t kEndLoop = 8;

    std::vector<uint8_t> data;
    uint32_t bytesRecorded = 0;
    uint32_t flags = 0;
    uint32_t loops = 1;
};
