#include "platform/jack/JackSamples.h"

#include "platform/PcmSample.h"

#include <algorithm>
#include <cmath>

namespace {
// 8-bit samples are unsigned around 128; wider ones are signed little-endian, or JACK's own
// 32-bit floats passed as they are.
double FullScale(int bits) {
    return std::ldexp(1.0, bits - 1);
}

void Put(uint8_t* p, const CWaveFormat& f, float v) {
    if (f.isFloat) return StoreFloat32(double(v), p);
    const int bits = f.bitsPerSample;
    const double scale = FullScale(bits);
    const auto s = int64_t(std::clamp(std::nearbyint(double(v) * scale), -scale, scale - 1));
    if (bits == 8) {
        *p = uint8_t(s + 128);
        return;
    }
    for (int b = 0; b < bits / 8; ++b)
        p[b] = uint8_t((uint64_t(s) >> (8 * b)) & 0xFF);
}

float Get(const uint8_t* p, const CWaveFormat& f) {
    if (f.isFloat) return float(Float32Value(p));
    const int bits = f.bitsPerSample;
    if (bits == 8) return float((int(*p) - 128) / 128.0);
    uint64_t u = 0;
    for (int b = 0; b < bits / 8; ++b)
        u |= uint64_t(p[b]) << (8 * b);
    const int shift = 64 - bits; // sign-extends the top bit
    return float(double(int64_t(u << shift) >> shift) / FullScale(bits));
}
} // namespace

void FloatsToPcm(const float* stereo, size_t frames, const CWaveFormat& f, uint8_t* pcm) {
    const int bytes = f.BytesPerSample();
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < f.channels; ++c)
            Put(pcm + (i * size_t(f.channels) + size_t(c)) * size_t(bytes), f,
                stereo[2 * i + size_t(c)]);
}

void PcmToFloats(const uint8_t* pcm, size_t frames, const CWaveFormat& f, float* stereo) {
    const int bytes = f.BytesPerSample();
    for (size_t i = 0; i < frames; ++i) {
        stereo[2 * i + 1] = 0.0f;
        for (int c = 0; c < f.channels; ++c)
            stereo[2 * i + size_t(c)] =
                Get(pcm + (i * size_t(f.channels) + size_t(c)) * size_t(bytes), f);
    }
}
