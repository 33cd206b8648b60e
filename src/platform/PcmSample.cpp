#include "platform/PcmSample.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
constexpr double kScale24 = 8388608.0;    // 2^23
constexpr double kScale32 = 2147483648.0; // 2^31
} // namespace

void StorePcm24(double x, uint8_t* p) {
    const double code =
        std::isnan(x) ? 0.0 : std::clamp(std::nearbyint(x * kScale24), -kScale24, kScale24 - 1.0);
    const auto v = static_cast<uint32_t>(static_cast<int32_t>(code));
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
}

double Pcm24Value(const uint8_t* p) {
    // Shifted into the top of 32 bits, so the sign comes along.
    const auto v = int32_t(uint32_t(p[0]) << 8 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 24);
    return v / (256.0 * kScale24);
}

void StoreFloat32(double x, uint8_t* p) {
    const float f = std::isnan(x) ? 0.0f : static_cast<float>(x);
    uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(bits >> (8 * i));
}

double Float32Value(const uint8_t* p) {
    const uint32_t bits =
        uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    float f = 0.0f;
    std::memcpy(&f, &bits, sizeof f);
    return std::isfinite(f) ? double(f) : 0.0;
}

bool HasWideSamples(const CWaveFormat& format) {
    return format.isFloat ? format.bitsPerSample == 32 : format.bitsPerSample == 24;
}

void WidenSamples(const uint8_t* from, size_t samples, const CWaveFormat& format, uint8_t* to) {
    for (size_t i = 0; i < samples; ++i, to += 4) {
        if (format.isFloat) {
            const double x = Float32Value(from + 4 * i);
            const auto v = static_cast<uint32_t>(static_cast<int32_t>(
                std::clamp(std::nearbyint(x * kScale32), -kScale32, kScale32 - 1.0)));
            for (int b = 0; b < 4; ++b)
                to[b] = uint8_t(v >> (8 * b));
        } else {
            to[0] = 0;
            std::memcpy(to + 1, from + 3 * i, 3);
        }
    }
}

void NarrowSamples(const uint8_t* from, size_t samples, const CWaveFormat& format, uint8_t* to) {
    for (size_t i = 0; i < samples; ++i, from += 4) {
        if (format.isFloat) {
            const auto v = int32_t(uint32_t(from[0]) | uint32_t(from[1]) << 8 |
                                   uint32_t(from[2]) << 16 | uint32_t(from[3]) << 24);
            StoreFloat32(v / kScale32, to + 4 * i);
        } else {
            std::memcpy(to + 3 * i, from + 1, 3);
        }
    }
}
