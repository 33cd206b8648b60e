#include "platform/VirtualCard.h"

#include "platform/EventPump.h"
#include "platform/PcmSample.h"
#include "platform/SampleRates.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace {
std::vector<double> PcmAsDoubles(const std::vector<uint8_t>& data, size_t bytes,
                                 const CWaveFormat& f) {
    std::vector<double> out;
    const size_t step = size_t(f.BytesPerSample());
    for (size_t i = 0; i + step <= bytes; i += step) {
        const uint8_t* p = &data[i];
        if (f.isFloat)
            out.push_back(Float32Value(p));
        else if (step == 3)
            out.push_back(Pcm24Value(p));
        else if (step == 2)
            out.push_back(static_cast<int16_t>(p[0] | (p[1] << 8)) / 32768.0);
        else
            out.push_back((p[0] - 128) / 128.0);
    }
    return out;
}

/** The card's converter: each sample to the nearest step of the format, clipped at full scale
 *  (a float sample is the nearest float, unclipped). */
void FromDoubles(const std::vector<double>& samples, std::vector<uint8_t>& data,
                 const CWaveFormat& f) {
    const size_t step = size_t(f.BytesPerSample());
    for (size_t i = 0; i < samples.size(); ++i) {
        uint8_t* p = &data[i * step];
        if (f.isFloat) {
            StoreFloat32(samples[i], p);
        } else if (step == 3) {
            StorePcm24(samples[i], p);
        } else if (step == 1) {
            const double v = std::clamp(std::nearbyint(samples[i] * 128.0), -128.0, 127.0);
            p[0] = static_cast<uint8_t>(static_cast<int>(v) + 128);
        } else {
            const double v = std::clamp(std::nearbyint(samples[i] * 32768.0), -32768.0, 32767.0);
            const auto s = static_cast<uint16_t>(static_cast<int16_t>(v));
            p[0] = static_cast<uint8_t>(s & 0xFF);
            p[1] = static_cast<uint8_t>(s >> 8);
        }
    }
}
} // namespace

/** One open direction of the card. */
class CVirtualWaveDevice final : public IWaveDevice {
public:
    CVirtualWaveDevice(CVirtualCard& card, bool input, const CWaveFormat& format,
                       IWaveClient* client, CEventPump& pump)
        : m_card(card), m_input(input), m_format(format), m_client(client), m_pump(pump) {
        (input ? card.m_input : card.m_output) = this;
        if (input) card.m_line.Reseed();
        pump.AddSource(&card);
    }
    ~CVirtualWaveDevice() override {
        Reset();
        (m_input ? m_card.m_input : m_card.m_output) = nullptr;
        if (!m_card.m_input && !m_card.m_output) m_pump.RemoveSource(&m_card);
    }

    int AddBuffer(CWaveHeader* header) override {
        if (!header || header->data.size() % size_t(m_format.BytesPerFrame()) != 0)
            return kAudioInvalidParam;
        // Output that starts after a silence starts now, not where the last buffer ended.
        if (!m_input && m_queue.empty() && m_card.m_input)
            m_card.m_outputTime = std::max(m_card.m_outputTime, m_card.m_inputTime);
        header->flags &= ~CWaveHeader::kDone;
        m_queue.push_back(header);
        return kAudioOk;
    }
    int Start() override {
        if (m_input && !m_started) m_card.m_inputTime = m_card.m_outputTime;
        m_started = true;
        return kAudioOk;
    }
    int BreakLoop() override {
        m_breakLoop = m_repetitions > 0;
        return kAudioOk;
    }
    int Reset() override {
        m_queue.clear();
        m_repetitions = 0;
        m_breakLoop = false;
        m_started = false;
        m_pump.Cancel(this);
        return kAudioOk;
    }
    int Pending() const override { return static_cast<int>(m_queue.size()); }

    /** Completes the oldest buffer, if any is due. */
    void Poll(CEventPump& pump) {
        if (m_queue.empty() || (m_input && !m_started)) return;
        if (m_card.m_fault == CVirtualCard::EFault::StopsDelivering) return;
        CWaveHeader* header = m_queue.front();
        m_queue.pop_front();
        const bool cut = m_card.m_fault == CVirtualCard::EFault::ShortBuffers;
        const int frames =
            static_cast<int>(header->data.size()) / m_format.BytesPerFrame() / (cut ? 2 : 1);
        const size_t bytes = size_t(frames) * size_t(m_format.BytesPerFrame());
        if (m_input) {
            const std::vector<double> heard =
                m_card.m_line.Record(m_card.m_inputTime, frames, m_format.channels);
            FromDoubles(heard, header->data, m_format);
            header->bytesRecorded = static_cast<uint32_t>(bytes);
            m_card.m_inputTime += frames;
        } else {
            header->bytesRecorded = static_cast<uint32_t>(bytes);
            m_card.m_line.Play(m_card.m_outputTime, PcmAsDoubles(header->data, bytes, m_format),
                               m_format.channels);
            m_card.m_outputTime += frames;
            // A looped buffer plays one repetition per round, as a card in real time does, so
            // a recording started meanwhile hears the loop from where it is.
            const bool loop = (header->flags & CWaveHeader::kBeginLoop) != 0;
            const uint32_t times = loop ? std::max<uint32_t>(header->loops, 1) : 1;
            if (++m_repetitions < times && !m_breakLoop) {
                m_queue.push_front(header);
                return;
            }
            m_repetitions = 0;
            m_breakLoop = false;
        }
        PostCompletion(pump, this, m_client, header, m_input);
    }

private:
    CVirtualCard& m_card;
    bool m_input;
    CWaveFormat m_format;
    IWaveClient* m_client;
    CEventPump& m_pump;
    std::deque<CWaveHeader*> m_queue;
    bool m_started = false;
    uint32_t m_repetitions = 0; // of the looped buffer at the queue's front
    bool m_breakLoop = false;   // it ends after the repetition playing
};

CVirtualCard::CVirtualCard(const CDeviceModel& model) : m_line(model) {}
CVirtualCard::~CVirtualCard() = default;

void CVirtualCard::Poll(CEventPump& pump) {
    // Playback first, so a recording made in the same round hears it.
    if (m_output) m_output->Poll(pump);
    if (m_input) m_input->Poll(pump);
}

std::vector<CAudioDeviceInfo> CVirtualCard::GetInputDevices() const {
    return {{kDeviceName, "Aurivo virtual loopback card, capture side"}};
}
std::vector<CAudioDeviceInfo> CVirtualCard::GetOutputDevices() const {
    return {{kDeviceName, "Aurivo virtual loopback card, playback side"}};
}
std::vector<CAudioDeviceInfo> CVirtualCard::GetMixerDevices() const {
    return {{kMixerName, "Aurivo virtual loopback card mixer"}};
}

int CVirtualCard::QueryFormat(bool, int index, const CWaveFormat& format) const {
    if (index != 0) return kAudioBadDeviceId;
    return IsStandardWaveFormat(format) ? kAudioOk : kWaveBadFormat;
}

int CVirtualCard::Open(bool input, int index, const CWaveFormat& format, IWaveClient* client,
                       CEventPump& pump, std::unique_ptr<IWaveDevice>& device) {
    if (const int r = QueryFormat(input, index, format); r != kAudioOk) return r;
    if (!client) return kAudioInvalidParam;
    if (input ? m_input : m_output) return kAudioAllocated;
    device = std::make_unique<CVirtualWaveDevice>(*this, input, format, client, pump);
    return kAudioOk;
}

std::string CVirtualCard::GetErrorText(bool, int) const {
    return {};
}
std::string CVirtualCard::GetMixerSourceName(int mixer) const {
    return mixer == 0 ? kSourceName : "";
}
std::string CVirtualCard::GetMixerDestinationName(int mixer) const {
    return mixer == 0 ? kDestinationName : "";
}
int CVirtualCard::GetMixerInputLevel(int mixer) const {
    return mixer == 0 ? kInputLevel : 0;
}
