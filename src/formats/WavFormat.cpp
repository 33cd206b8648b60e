#include "formats/WavFormat.h"

#include "formats/RiffFile.h"
#include "platform/PcmSample.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The sub-format GUIDs of WAVE_FORMAT_EXTENSIBLE are the plain format tag followed by these.
constexpr uint8_t kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                   0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr size_t kPlainSize = 16;
constexpr size_t kExtensibleSize = 40;
constexpr int kMaxSampleRate = 10000000;

uint16_t U16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

} // namespace

EWavFmtStatus ParseWavFmt(const uint8_t* bytes, size_t size, CWavFormat& format) {
    if (size < kPlainSize) return EWavFmtStatus::Short;
    const uint16_t tag = U16(bytes);
    uint16_t kind = tag;
    if (tag == kWavFormatExtensible) {
        if (size < kExtensibleSize) return EWavFmtStatus::Short;
        if (std::memcmp(bytes + 26, kGuidTail, sizeof kGuidTail) != 0) return EWavFmtStatus::NotPcm;
        kind = U16(bytes + 24);
    }
    if (kind != kWavFormatPcm && kind != kWavFormatFloat) return EWavFmtStatus::NotPcm;
    const int channels = U16(bytes + 2);
    const uint32_t rate = U32(bytes + 4);
    const int align = U16(bytes + 12);
    const int bits = U16(bytes + 14);
    if (rate == 0 || rate > uint32_t(kMaxSampleRate)) return EWavFmtStatus::Short;
    if (channels < 1 || channels > 2 || align % channels != 0) return EWavFmtStatus::Unsupported;
    const int bytesPerSample = align / channels;
    const bool isFloat = kind == kWavFormatFloat;
    const bool sizeOk = isFloat ? bytesPerSample == 4 || bytesPerSample == 8
                                : bytesPerSample >= 1 && bytesPerSample <= 4;
    if (!sizeOk || bits < 1 || bits > bytesPerSample * 8) return EWavFmtStatus::Unsupported;
    format = {tag, channels, int(rate), bytesPerSample * 8, isFloat};
    return EWavFmtStatus::Ok;
}

std::vector<uint8_t> WavFmtBytes(const CWavFormat& format) {
    const auto align = uint32_t(format.BytesPerFrame());
    const uint32_t fields[] = {format.isFloat ? kWavFormatFloat : kWavFormatPcm,
                               uint32_t(format.channels),
                               uint32_t(format.sampleRate),
                               align * uint32_t(format.sampleRate),
                               align,
                               uint32_t(format.bitsPerSample),
                               0};
    const int widths[] = {2, 2, 4, 4, 2, 2, 2};
    std::vector<uint8_t> bytes;
    for (size_t f = 0; f < std::size(fields) - (format.isFloat ? 0 : 1); ++f)
        for (int i = 0; i < widths[f]; ++i)
            bytes.push_back(uint8_t(fields[f] >> (8 * i)));
    return bytes;
}

std::vector<uint8_t> FloatWavFileBytes(const std::vector<double>& interleaved, int channels,
                                       int sampleRate) {
    std::vector<uint8_t> bytes;
    const auto put = [&bytes](uint32_t value, int width) {
        for (int i = 0; i < width; ++i)
            bytes.push_back(uint8_t(value >> (8 * i)));
    };
    const auto tag = [&put](const char* id) {
        put(uint32_t(uint8_t(id[0])) | uint32_t(uint8_t(id[1])) << 8 |
                uint32_t(uint8_t(id[2])) << 16 | uint32_t(uint8_t(id[3])) << 24,
            4);
    };
    const CWavFormat format{kWavFormatFloat, channels, sampleRate, 32, true};
    const uint32_t frames = uint32_t(interleaved.size() / size_t(channels));
    const uint32_t data = frames * uint32_t(format.BytesPerFrame());
    const std::vector<uint8_t> fmt = WavFmtBytes(format);
    bytes.reserve(58 + data);
    tag("RIFF");
    put(4 + (8 + 18) + (8 + 4) + (8 + data), 4);
    tag("WAVE");
    tag("fmt ");
    put(uint32_t(fmt.size()), 4);
    bytes.insert(bytes.end(), fmt.begin(), fmt.end());
    tag("fact");
    put(4, 4);
    put(frames, 4);
    tag("data");
    put(data, 4);
    bytes.resize(bytes.size() + data);
    uint8_t* p = bytes.data() + bytes.size() - data;
    for (size_t i = 0; i < size_t(frames) * size_t(channels); ++i)
        p += StoreWavSample(interleaved[i], format, p);
    return bytes;
}

double WavSampleValue(const uint8_t* p, const CWavFormat& format) {
    if (format.isFloat) {
        if (format.bitsPerSample == 32) return Float32Value(p);
        double value = 0.0;
        std::memcpy(&value, p, sizeof value); // little-endian on every machine we build for
        return std::isfinite(value) ? value : 0.0;
    }
    switch (format.BytesPerSample()) {
    case 1:
        return (int(p[0]) - 128) / 127.0;
    case 2:
        return int16_t(U16(p)) * 3.0517578125e-05;
    case 3:
        return Pcm24Value(p);
    case 4:
        return int32_t(U32(p)) / 2147483648.0;
    default:
        return 0.0;
    }
}

size_t StoreWavSample(double x, const CWavFormat& format, uint8_t* p) {
    if (format.isFloat) {
        if (format.bitsPerSample != 32) return 0;
        StoreFloat32(x, p);
        return 4;
    }
    if (format.bitsPerSample == 24) {
        StorePcm24(x, p);
        return 3;
    }
    const int bitsPerSample = format.bitsPerSample;
    if (bitsPerSample == 8) {
        p[0] = std::isnan(x) ? 128
               : x > 1.0     ? 255
               : x < -1.0    ? 0
                             : uint8_t(unsigned(x * 127.0 + 128.0) & 0xFF);
        return 1;
    }
    if (bitsPerSample == 16) {
        const int16_t v = std::isnan(x) ? 0
                          : x > 1.0     ? 32767
                          : x < -1.0    ? -32767
                                        : int16_t(x * 32767.0);
        p[0] = uint8_t(v & 0xFF);
        p[1] = uint8_t((v >> 8) & 0xFF);
        return 2;
    }
    return 0;
}

std::string ReadWavFormat(CRiffFile& riff, CWavFormat& format) {
    const uint32_t size = riff.FindChunk(RiffCode("fmt "));
    if (riff.GetChunk().id != RiffCode("fmt ")) return "The WAVE file has no format information";
    uint8_t bytes[kExtensibleSize] = {};
    const size_t read = riff.Read(bytes, std::min<size_t>(size, sizeof bytes));
    riff.Ascend();
    switch (ParseWavFmt(bytes, read, format)) {
    case EWavFmtStatus::Ok:
        return {};
    case EWavFmtStatus::Short:
        return "The WAVE file format could not be read";
    case EWavFmtStatus::NotPcm:
        return "The WAVE file is not in PCM format";
    case EWavFmtStatus::Unsupported:
        break;
    }
    return "Invalid Sample Size/Number of Channels";
}
