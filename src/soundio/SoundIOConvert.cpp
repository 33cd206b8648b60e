// Conversions between sample blocks and PCM, and the scans of a recording: peak level, peak
// sample, trigger, latency and where the block starts.

#include "base/NumberText.h"
#include "process/DspDoc.h"
#include "soundio/SoundIOView.h"

#include <cmath>
#include <cstdlib>

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

/** Sample `channel` of frame `frame` as a raw value: the byte (8-bit) or the signed short. A
 *  channel the format does not have reads as silence. */
int RawSample(const CWaveHeader& h, int frame, int channel, int bits, int channels) {
    const int bytes = bits / 8;
    if (channel < 0 || channel >= channels) return bits == 8 ? 128 : 0;
    const size_t at = (size_t(frame) * size_t(channels) + size_t(channel)) * size_t(bytes);
    if (bits == 8) return h.data[at];
    return static_cast<int16_t>(h.data[at] | (h.data[at + 1] << 8));
}

/** Frames a scan looks at: the recorded bytes, never beyond the buffer. */
int ScanFrames(const CWaveHeader& h, int bytesPerFrame) {
    if (bytesPerFrame <= 0) return 0;
    const size_t bytes = std::min<size_t>(h.bytesRecorded, h.data.size());
    return static_cast<int>(bytes / size_t(bytesPerFrame));
}

/** First frame whose sample passes threshold `t` (above it when t is above silence, below it
 *  when below, the first frame when equal). */
std::optional<int> FirstCrossing(const CWaveHeader& h, int channel, double t, int bits,
                                 int channels) {
    const int n = ScanFrames(h, bits / 8 * channels);
    const double silence = bits == 8 ? 128.0 : 0.0;
    for (int k = 0; k < n; ++k) {
        const int s = RawSample(h, k, channel, bits, channels);
        if (t > silence ? s > t : t < silence ? s < t : true) return k;
    }
    return std::nullopt;
}
} // namespace

size_t CSoundIOView::BlockBytes() const {
    return static_cast<size_t>(double(m_bitsPerSample / 8) * m_channels * m_blockSize);
}

size_t CSoundIOView::ConvertDoubletoRIFF(std::vector<uint8_t>& buffer) const {
    const CDSPFFTDataList* list = GetDocument() ? GetDocument()->GetCurrentList() : nullptr;
    if (!list || !(m_bitsPerSample == 8 || m_bitsPerSample == 16) ||
        !(m_channels == 1 || m_channels == 2))
        return 0;
    const int frames = static_cast<int>(m_blockSize);
    const double* source[2] = {nullptr, nullptr};
    int available[2] = {0, 0};
    for (int c = 0; c < m_channels && c < list->GetNumChans(); ++c) {
        const CDSPData* time = list->GetAt(c)->GetTimeObj();
        source[c] = time ? time->GetDataPointer() : nullptr;
        available[c] = time ? time->GetSize() : 0;
    }
    const int bytes = m_bitsPerSample / 8;
    size_t at = 0;
    // Never past the buffer, whatever its size.
    auto put = [&](double x) {
        if (at + size_t(bytes) > buffer.size()) return;
        if (bytes == 1) {
            buffer[at] = ToByte(x);
        } else {
            const auto s = static_cast<uint16_t>(ToShort(x));
            buffer[at] = static_cast<uint8_t>(s & 0xFF);
            buffer[at + 1] = static_cast<uint8_t>(s >> 8);
        }
        at += size_t(bytes);
    };
    for (int r = 0; r <= m_repeatCount; ++r) {
        if (m_ioMode == kRecordPlay)
            for (int i = 0; i < kLeadInFrames * m_channels; ++i)
                put(0.0); // silence in both resolutions
        for (int i = 0; i < frames; ++i)
            for (int c = 0; c < m_channels; ++c)
                put(source[c] && i < available[c] ? source[c][i] : 0.0);
    }
    return std::min(at, buffer.size());
}

void CSoundIOView::ConvertRIFFtoDouble(const CWaveHeader& header, long position,
                                       CDSPFFTDataList* list) {
    if (!list) list = m_pWorkingList.get();
    if (!list) return;
    double gain[2] = {1.0, 1.0};
    for (int c = 0; c < 2 && m_pCalibration; ++c)
        if (m_pCalibration->Level[c].InputLevelCalApply)
            gain[c] = ParseDouble(m_pCalibration->Level[c].FullScaleLevelParams);
    const int f = BytesPerFrame();
    const long recorded =
        static_cast<long>(std::min<size_t>(header.bytesRecorded, header.data.size()));
    const int frames = static_cast<int>(m_blockSize);
    for (int c = 0; c < std::min(2, list->GetNumChans()); ++c) {
        double* to = list->GetTimeData(c);
        if (!to) continue;
        const int n = std::min(frames, list->GetSize(c));
        for (int i = 0; i < n; ++i) {
            const long at = position + long(i) * f;
            double v = 0.0;
            if (c < m_channels && at >= 0 && at + f <= recorded) {
                const int s =
                    RawSample(header, static_cast<int>(at / f), c, m_bitsPerSample, m_channels);
                v = m_bitsPerSample == 8 ? (s - 128) / 127.0 : s * 3.0517578125e-05;
                v *= gain[c];
            }
            to[i] = v;
        }
        list->SetNumUsed(c, n);
    }
}

void CSoundIOView::ConvertRIFFtoZero() {
    if (!m_pWorkingList) return;
    for (int c = 0; c < m_pWorkingList->GetNumChans(); ++c)
        if (double* to = m_pWorkingList->GetTimeData(c))
            std::fill(to, to + m_pWorkingList->GetSize(c), 0.0);
}

int CSoundIOView::ScanForPeakLevel(const CWaveHeader& header, int channel) const {
    const int n = ScanFrames(header, BytesPerFrame());
    double peak = 0.0;
    for (int k = 0; k < n; ++k) {
        const int s = RawSample(header, k, channel, m_bitsPerSample, m_channels);
        const double v = m_bitsPerSample == 8 ? (s - 128) / 127.0 * 100.0 : s / 32767.0 * 100.0;
        if (std::fabs(v) > std::fabs(peak)) peak = v;
    }
    return static_cast<int>(peak);
}

int CSoundIOView::ScanForPeakSample(const CWaveHeader& header, int channel) const {
    const int n = ScanFrames(header, BytesPerFrame());
    if (channel < 0 || channel >= m_channels) return 0;
    int best = 0;
    double peak = -1.0;
    for (int k = 0; k < n; ++k) {
        const int s = RawSample(header, k, channel, m_bitsPerSample, m_channels);
        const double v = std::fabs(m_bitsPerSample == 8 ? (s - 128) / 127.0 : s / 32767.0);
        if (v > peak) {
            peak = v;
            best = k + 1;
        }
    }
    return best;
}

std::optional<long> CSoundIOView::ScanForTrigger(const CWaveHeader& header, int channel,
                                                 double fraction) const {
    const double t = m_bitsPerSample == 8 ? 127.0 * fraction + 127.0 : 32767.0 * fraction;
    const std::optional<int> k = FirstCrossing(header, channel, t, m_bitsPerSample, m_channels);
    if (!k) return std::nullopt;
    return long(*k) * BytesPerFrame();
}

double CSoundIOView::GetSIODelay(int channel, double level) const {
    if (!m_pRecordPlayIn || m_sampleRate <= 0) return 0.0;
    const double t = m_bitsPerSample == 8 ? level / 100.0 * 127.0 + 127.0 : level / 100.0 * 32767.0;
    const std::optional<int> k =
        FirstCrossing(*m_pRecordPlayIn, channel, t, m_bitsPerSample, m_channels);
    return k ? double(*k) / m_sampleRate : 0.0;
}

int CSoundIOView::FindReadPosition(long& position) {
    const CWaveHeader& h = *m_pRecordPlayIn;
    const long f = BytesPerFrame();
    const long l = kLeadInFrames * f + static_cast<long>(BlockBytes());
    const long r = l * m_repeatCount;
    const long o = long(m_triggerOffset) * f;
    auto autoTrigger = [&] { return ScanForTrigger(h, 0, ScanForPeakLevel(h, 0) / 200.0); };
    auto noData = [this] {
        ShowErrorMessage("No data in record buffer");
        return kNoTrigger;
    };
    const bool latencyCalibration = IsCalibrationProcess() && m_pCalibration->CalSel == "Latency";
    if (m_triggerMode == kLatency && !latencyCalibration) {
        // The calibrated latency is where the played block starts in the recording; the offset
        // then moves the block as it does from a found trigger, so all three trigger modes put
        // the played block's start at the same index.
        position = LatencyFrames() * f + r + o;
        return kFound;
    }
    if (latencyCalibration) {
        const std::optional<long> trigger = autoTrigger();
        if (!trigger) return kKeepBlock; // no message: the calibration decides
        position = *trigger + r + o;
        return kFound;
    }
    const std::optional<long> trigger =
        m_triggerMode == kManual ? ScanForTrigger(h, 0, m_triggerLevel / 100.0) : autoTrigger();
    if (!trigger) return noData();
    // The calibration process reads a manual trigger's own repetition.
    const bool ownRepetition = IsCalibrationProcess() && m_triggerMode == kManual;
    position = *trigger + (ownRepetition ? 0 : r) + o;
    return kFound;
}

long CSoundIOView::LatencyFrames() const {
    // The latency was measured in whole frames and is stored with eight decimals: the nearest
    // frame is the measured one (truncating 0.00633333 s at 48 kHz gives 303 of 304 frames).
    const double latency = ParseDouble(m_pCalibration->Latency[0].LatencyParams);
    const double frames = std::round(double(m_sampleRate) * latency);
    // Far beyond any recording, a typed value only has to stay a number of frames.
    return frames > 0.0 ? static_cast<long>(std::min(frames, 1e9)) : 0;
}
