#pragma once
// The PCM of a SoundIO exchange, apart from any view or device: a block of samples written as
// 8, 16 or 24-bit or float frames, a recording read back into a block, the sizes of the buffers
// exchanged, and the scans of a recording (peak level, peak sample, trigger, delay, where the
// played block starts). Everything it needs comes in as values; it shows nothing and opens nothing.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class CDSPFFTDataList;
struct CWaveHeader;

struct CSoundIOSamples {
    enum ETrigger { kAuto = 0, kLatency = 1, kManual = 2 };
    /** Silent frames played before every repetition in Record+Play. */
    static constexpr int kLeadInFrames = 64;

    int bits = 16;
    int channels = 2;
    /** Frames of one block (the document's block size). */
    double blockFrames = 0.0;
    int repeatCount = 0;
    /** Record+Play: each repetition starts after kLeadInFrames of silence. */
    bool leadIn = false;
    /** 32-bit float samples (bits is 32). */
    bool isFloat = false;

    /** 8, 16 or 24-bit integers or 32-bit float, one or two channels. */
    bool IsSupported() const;
    /** A full-scale sample in the raw units the scans compare (a float's is 1.0). */
    double FullScale() const;
    /** A recorded sample's raw value to full-scale units: 1/32768 at 16 bits. */
    double ReadScale() const { return isFloat ? 1.0 : 1.0 / (FullScale() + 1.0); }
    int BytesPerFrame() const { return bits / 8 * channels; }
    /** Bytes of one block of frames. */
    size_t BlockBytes() const;
    /** The byte a buffer of silence holds. */
    uint8_t SilenceByte() const { return bits == 8 ? 128 : 0; }
    /** The Record+Play buffers: 0.4 s beyond the repetitions, each with its lead-in. */
    size_t RecordPlayBytes(int sampleRate) const;
    /** The Play Only buffer: every repetition, in whole frames. */
    size_t PlayBytes() const;
    /** The looped tone's buffer: one block in whole frames. */
    size_t LoopBytes() const;

    /** Writes `list`'s block (repeatCount + 1 times, each after the lead-in when it has one)
     *  into `buffer` from its start, never past its end; returns the bytes written. Nothing for
     *  no list or a format that is not supported. 8 and 16-bit samples are truncated, 24-bit
     *  ones rounded; all are clipped at full scale. */
    size_t Write(const CDSPFFTDataList* list, std::vector<uint8_t>& buffer) const;
    /** Reads one block of frames from byte `position` of `header` into `list`, channel c scaled
     *  by gain[c]; frames outside the recorded data read as 0.0. */
    void Read(const CWaveHeader& header, long position, const double (&gain)[2],
              CDSPFFTDataList& list) const;
    /** Sets every sample of `list` to 0.0. */
    static void Silence(CDSPFFTDataList& list);

    /** The signed peak of a channel, in whole % of full scale. */
    int PeakLevel(const CWaveHeader& header, int channel) const;
    /** The 1-based frame of a channel's peak; 0 for none. */
    int PeakSample(const CWaveHeader& header, int channel) const;
    /** Byte position of the first frame beyond `fraction` of full scale, if any. */
    std::optional<long> Trigger(const CWaveHeader& header, int channel, double fraction) const;
    /** Seconds to the first sample beyond `level` percent; 0.0 when none. */
    double Delay(const CWaveHeader& header, int channel, double level, int sampleRate) const;

    /** What decides where the played block starts in a Record+Play recording. */
    struct CTriggerSettings {
        int mode = kAuto;
        int level = 10;
        int offset = -20;
        /** The calibrated latency in frames, read in kLatency mode. */
        long latencyFrames = 0;
        /** Reading for the calibration process, and its latency calibration. */
        bool calibrationProcess = false;
        bool latencyCalibration = false;
    };
    /** kFound with its byte position, kNoTrigger when the recording holds nothing beyond the
     *  trigger, or kKeepBlock (a latency calibration without trigger keeps the block). */
    enum EReadPosition { kNoTrigger = 0, kFound = 1, kKeepBlock = 2 };
    struct CReadPosition {
        EReadPosition found = kNoTrigger;
        long position = 0;
    };
    CReadPosition ReadPosition(const CWaveHeader& recording, const CTriggerSettings& t) const;
    /** A latency in seconds as whole frames at `sampleRate` (0 when none or negative). */
    static long LatencyFrames(int sampleRate, double latencySeconds);
};
