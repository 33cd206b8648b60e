#pragma once
// The `fmt ` chunk of a WAVE file and the sample conversions both ways. Reading takes integer
// PCM of 8 to 32 bits and IEEE float of 32 or 64 bits, plain or as WAVE_FORMAT_EXTENSIBLE;
// writing makes 8, 16 or 24-bit PCM with the classic 16-byte chunk and 32-bit float with the
// 18-byte one.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CRiffFile;

constexpr uint16_t kWavFormatPcm = 1;
constexpr uint16_t kWavFormatFloat = 3;
constexpr uint16_t kWavFormatExtensible = 0xFFFE;

/** A file's sample layout; bits are the container's (block alignment / channels × 8). */
struct CWavFormat {
    uint16_t formatTag = kWavFormatPcm; // as stored
    int channels = 1;
    int sampleRate = 44100;
    int bitsPerSample = 8;
    bool isFloat = false;

    int BytesPerSample() const { return bitsPerSample / 8; }
    int BytesPerFrame() const { return BytesPerSample() * channels; }
};

enum class EWavFmtStatus {
    Ok,
    Short,       // shorter than its kind needs, or a sample rate no process can have
    NotPcm,      // neither PCM nor float
    Unsupported, // more than two channels or a sample size we do not convert
};

/** Reads a `fmt ` chunk of `size` bytes. */
EWavFmtStatus ParseWavFmt(const uint8_t* bytes, size_t size, CWavFormat& format);

/** The `fmt ` chunk for writing `format`: 16 bytes for PCM; 18 for float, whose format is not
 *  PCM and so carries the (empty) extension size. */
std::vector<uint8_t> WavFmtBytes(const CWavFormat& format);

/** A whole WAVE file of 32-bit IEEE float samples (`interleaved`, `channels` to a frame), with
 *  the `fmt ` chunk of a non-PCM format and its `fact` chunk, as readers of float files expect.
 *  Values beyond full scale are kept: an impulse response may have a gain above one. */
std::vector<uint8_t> FloatWavFileBytes(const std::vector<double>& interleaved, int channels,
                                       int sampleRate);

/** One sample of the format at `p`, in full-scale units (8-bit: (b − 128) / 127, the rest by
 *  the container's full scale). A float that is not finite reads as 0. */
double WavSampleValue(const uint8_t* p, const CWavFormat& format);

/** Stores one sample in the format: 8 or 16-bit PCM truncated and clipped to full scale (−1.0
 *  gives 1 and −32767), 24-bit PCM rounded and clipped, 32-bit float as it is. The bytes
 *  stored, 0 for any other format. A NaN stores silence. */
size_t StoreWavSample(double x, const CWavFormat& format, uint8_t* p);

/** Reads the `fmt ` chunk of a WAVE file open in `riff` and ascends out of it: empty with
 *  `format` filled, else the message that names what is wrong ("The WAVE file has no format
 *  information", "... format could not be read", "... is not in PCM format", "Invalid Sample
 *  Size/Number of Channels"). */
std::string ReadWavFormat(CRiffFile& riff, CWavFormat& format);
