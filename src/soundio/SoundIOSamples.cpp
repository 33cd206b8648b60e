// PCM frames to and from sample blocks, the exchanged buffers' sizes and the scans of a
// recording.

#include "soundio/SoundIOSamples.h"

#include "dsp/DSPFFTDataList.h"
#include "platform/PcmSample.h"
#include "platform/WaveFormat.h"

#include <algorithm>
#include <cmath>

namespace {
uint8_t ToByte(double x) {
    if (x > 1.0) return 255;
    if (x < -1.0) return 0;
    if (std::isnan(x)) return 128;
    return static_cast<uint8_t>(static_cast<unsigned>(x * 127.0 + 128.0) & 0xFF);
}

int16_t ToShort(double x) {
    if (x > 1.0) return 32767;
    if (x < -1.0) return -32767;
    if (std::isnan(x)) return 0;
    return static_cast<int16_t>(static_cast<int>(x * 32767.0));
}

/** Sample `channel` of frame `frame` as a raw value: the byte (8-bit), the signed integer (16
 *  and 24-bit) or the float. A channel the format does not have reads as silence. */
double RawSample(const CWaveHeader& h, int frame, int channel, const CSoundIOSamples& f) {
    const int bytes = f.bits / 8;
    if (channel < 0 || channel >= f.channels) return f.bits == 8 ? 128 : 0;
    const size_t at = (size_t(frame) * size_t(f.channels) + size_t(channel)) * size_t(bytes);
    const uint8_t* p = &h.data[at];
    if (f.isFloat) return Float32Value(p);
    if (bytes == 3) return Pcm24Value(p) * 8388608.0;
    if (bytes == 1) return *p;
    return static_cast<int16_t>(p[0] | (p[1] << 8));
}

/** Frames a scan looks at: the recorded bytes, never beyond the buffer. */
int ScanFrames(const CWaveHeader& h, int bytesPerFrame) {
    if (bytesPerFrame <= 0) return 0;
    const size_t bytes = std::min<size_t>(h.bytesRecorded, h.data.size());
    return static_cast<int>(bytes / size_t(bytesPerFrame));
}

/** First frame whose sample passes threshold `t` (above it when t is above silence, below it
 *  when below, the first frame when equal). */
std::optional<int> FirstCrossing(const CWaveHeader& h, int channel, double t,
                                 const CSoundIOSamples& f) {
    const int n = ScanFrames(h, f.BytesPerFrame());
    const double silence = f.bits == 8 ? 128.0 : 0.0;
    for (int k = 0; k < n; ++k) {
        const double s = RawSample(h, k, channel, f);
        if (t > silence ? s > t : t < silence ? s < t : true) return k;
    }
    return std::nullopt;
}
} // namespace

bool CSoundIOSamples::IsSupported() const {
    const bool resolution = isFloat ? bits == 32 : bits == 8 || bits == 16 || bits == 24;
    return resolution && (channels == 1 || channels == 2);
}

double CSoundIOSamples::FullScale() const {
    if (isFloat) return 1.0;
    return bits == 8 ? 127.0 : bits == 24 ? 8388607.0 : 32767.0;
}

size_t CSoundIOSamples::BlockBytes() const {
    return static_cast<size_t>(double(bits / 8) * channels * blockFrames);
}

size_t CSoundIOSamples::RecordPlayBytes(int sampleRate) const {
    const size_t f = size_t(BytesPerFrame());
    size_t s = size_t(double(sampleRate) * 0.4 * (bits / 8) * channels) +
               size_t(double(repeatCount + 1) * (bits / 8) * channels * blockFrames);
    // Every repetition's lead-in must fit too, which 0.4 s does not hold at low rates with many
    // repetitions.
    s = std::max(s, size_t(repeatCount + 1) * (kLeadInFrames * f + BlockBytes()));
    return s - s % f;
}

size_t CSoundIOSamples::PlayBytes() const {
    const auto s = size_t(double(bits / 8) * (repeatCount + 1) * channels * blockFrames);
    return s - s % size_t(BytesPerFrame());
}

size_t CSoundIOSamples::LoopBytes() const {
    return BlockBytes() - BlockBytes() % size_t(BytesPerFrame());
}

size_t CSoundIOSamples::Write(const CDSPFFTDataList* list, std::vector<uint8_t>& buffer) const {
    if (!list || !IsSupported()) return 0;
    const int frames = static_cast<int>(blockFrames);
    const double* source[2] = {nullptr, nullptr};
    int available[2] = {0, 0};
    for (int c = 0; c < channels && c < list->GetNumChans(); ++c) {
        const CDSPData* time = list->GetAt(c)->GetTimeObj();
        source[c] = time ? time->GetDataPointer() : nullptr;
        available[c] = time ? time->GetSize() : 0;
    }
    const int bytes = bits / 8;
    size_t at = 0;
    // Never past the buffer, whatever its size.
    auto put = [&](double x) {
        if (at + size_t(bytes) > buffer.size()) return;
        if (isFloat) {
            // A converter ends at full scale, whatever the samples' format.
            StoreFloat32(std::isnan(x) ? 0.0 : std::clamp(x, -1.0, 1.0), &buffer[at]);
        } else if (bytes == 3) {
            StorePcm24(x, &buffer[at]);
        } else if (bytes == 1) {
            buffer[at] = ToByte(x);
        } else {
            const auto s = static_cast<uint16_t>(ToShort(x));
            buffer[at] = static_cast<uint8_t>(s & 0xFF);
            buffer[at + 1] = static_cast<uint8_t>(s >> 8);
        }
        at += size_t(bytes);
    };
    for (int r = 0; r <= repeatCount; ++r) {
        if (leadIn)
            for (int i = 0; i < kLeadInFrames * channels; ++i)
                put(0.0); // silence in every resolution
        for (int i = 0; i < frames; ++i)
            for (int c = 0; c < channels; ++c)
                put(source[c] && i < available[c] ? source[c][i] : 0.0);
    }
    return std::min(at, buffer.size());
}

void CSoundIOSamples::Read(const CWaveHeader& header, long position, const double (&gain)[2],
                           CDSPFFTDataList& list) const {
    const int f = BytesPerFrame();
    const long recorded =
        static_cast<long>(std::min<size_t>(header.bytesRecorded, header.data.size()));
    const int frames = static_cast<int>(blockFrames);
    for (int c = 0; c < std::min(2, list.GetNumChans()); ++c) {
        double* to = list.GetTimeData(c);
        if (!to) continue;
        const int n = std::min(frames, list.GetSize(c));
        for (int i = 0; i < n; ++i) {
            const long at = position + long(i) * f;
            double v = 0.0;
            if (c < channels && at >= 0 && at + f <= recorded) {
                const double s = RawSample(header, static_cast<int>(at / f), c, *this);
                v = bits == 8 ? (s - 128) / 127.0 : s * ReadScale();
                v *= gain[c];
            }
            to[i] = v;
        }
        list.SetNumUsed(c, n);
    }
}

void CSoundIOSamples::Silence(CDSPFFTDataList& list) {
    for (int c = 0; c < list.GetNumChans(); ++c)
        if (double* to = list.GetTimeData(c)) std::fill(to, to + list.GetSize(c), 0.0);
}

int CSoundIOSamples::PeakLevel(const CWaveHeader& header, int channel) const {
    const int n = ScanFrames(header, BytesPerFrame());
    double peak = 0.0;
    for (int k = 0; k < n; ++k) {
        const double s = RawSample(header, k, channel, *this);
        const double v = bits == 8 ? (s - 128) / 127.0 * 100.0 : s / FullScale() * 100.0;
        if (std::fabs(v) > std::fabs(peak)) peak = v;
    }
    return static_cast<int>(peak);
}

int CSoundIOSamples::PeakSample(const CWaveHeader& header, int channel) const {
    const int n = ScanFrames(header, BytesPerFrame());
    if (channel < 0 || channel >= channels) return 0;
    int best = 0;
    double peak = -1.0;
    for (int k = 0; k < n; ++k) {
        const double s = RawSample(header, k, channel, *this);
        const double v = std::fabs(bits == 8 ? (s - 128) / 127.0 : s / FullScale());
        if (v > peak) {
            peak = v;
            best = k + 1;
        }
    }
    return best;
}

std::optional<long> CSoundIOSamples::Trigger(const CWaveHeader& header, int channel,
                                             double fraction) const {
    const double t = bits == 8 ? 127.0 * fraction + 127.0 : FullScale() * fraction;
    const std::optional<int> k = FirstCrossing(header, channel, t, *this);
    if (!k) return std::nullopt;
    return long(*k) * BytesPerFrame();
}

double CSoundIOSamples::Delay(const CWaveHeader& header, int channel, double level,
                              int sampleRate) const {
    if (sampleRate <= 0) return 0.0;
    const double t = bits == 8 ? level / 100.0 * 127.0 + 127.0 : level / 100.0 * FullScale();
    const std::optional<int> k = FirstCrossing(header, channel, t, *this);
    return k ? double(*k) / sampleRate : 0.0;
}

CSoundIOSamples::CReadPosition CSoundIOSamples::ReadPosition(const CWaveHeader& h,
                                                             const CTriggerSettings& t) const {
    const long f = BytesPerFrame();
    const long l = kLeadInFrames * f + static_cast<long>(BlockBytes());
    const long r = l * repeatCount;
    const long o = long(t.offset) * f;
    auto autoTrigger = [&] { return Trigger(h, 0, PeakLevel(h, 0) / 200.0); };
    if (t.mode == kLatency && !t.latencyCalibration) {
        // The calibrated latency is where the played block starts in the recording; the offset
        // then moves the block as it does from a found trigger, so all three trigger modes put
        // the played block's start at the same index.
        return {kFound, t.latencyFrames * f + r + o};
    }
    if (t.latencyCalibration) {
        const std::optional<long> trigger = autoTrigger();
        if (!trigger) return {kKeepBlock}; // the calibration decides
        return {kFound, *trigger + r + o};
    }
    const std::optional<long> trigger =
        t.mode == kManual ? Trigger(h, 0, t.level / 100.0) : autoTrigger();
    if (!trigger) return {kNoTrigger};
    // The calibration process reads a manual trigger's own repetition.
    const bool ownRepetition = t.calibrationProcess && t.mode == kManual;
    return {kFound, *trigger + (ownRepetition ? 0 : r) + o};
}

long CSoundIOSamples::LatencyFrames(int sampleRate, double latencySeconds) {
    // The latency was measured in whole frames and is stored with eight decimals: the nearest
    // frame is the measured one (truncating 0.00633333 s at 48 kHz gives 303 of 304 frames).
    const double frames = std::round(double(sampleRate) * latencySeconds);
    // Far beyond any recording, a typed value only has to stay a number of frames.
    return frames > 0.0 ? static_cast<long>(std::min(frames, 1e9)) : 0;
}
