#include "platform/jack/JackAudio.h"

#include "base/NumberText.h"
#include "platform/EventPump.h"
#include "platform/jack/JackCall.h"
#include "platform/jack/JackClient.h"
#include "platform/jack/JackSamples.h"

#include <algorithm>
#include <deque>
#include <map>

namespace {
// Seconds of sound each ring holds: the input ring bridges a program that is busy elsewhere
// (gapless capture counts what overflows it), the output ring what is played ahead.
constexpr int kRingSeconds = 2;
constexpr const char* kClientName = "aurivo";

/** The ports to connect: the configured ones, our own client's under its real name (the
 *  server renames a second "aurivo"), or else the system's physical ports. */
std::array<std::string, 2> Resolve(jack_client_t* client, std::array<std::string, 2> ports,
                                   bool input) {
    const std::string own = std::string(kClientName) + ":";
    for (std::string& p : ports)
        if (p.rfind(own, 0) == 0) p = jack_get_client_name(client) + (":" + p.substr(own.size()));
    if (!ports[0].empty()) {
        if (ports[1].empty()) ports[1] = ports[0];
        return ports;
    }
    const unsigned long flags = JackPortIsPhysical | (input ? JackPortIsOutput : JackPortIsInput);
    const char** found = jack_get_ports(client, nullptr, JACK_DEFAULT_AUDIO_TYPE, flags);
    for (size_t i = 0; found && found[i] && i < 2; ++i)
        ports[i] = found[i];
    if (ports[1].empty()) ports[1] = ports[0];
    jack_free(found);
    return ports;
}
} // namespace

CJackPorts CJackPorts::Load(const ISettingsStore& settings) {
    CJackPorts ports;
    ports.server = settings.GetString("JACK", "Server", "");
    for (size_t c = 0; c < 2; ++c) {
        ports.inputs[c] = settings.GetString("JACK", "Input" + std::to_string(c + 1), "");
        ports.outputs[c] = settings.GetString("JACK", "Output" + std::to_string(c + 1), "");
    }
    return ports;
}

/** One open direction on our client. Both directions share the client. */
class CJackWaveDevice final : public IWaveDevice, public IEventSource {
public:
    CJackWaveDevice(CJackAudio& audio, std::shared_ptr<CJackClientState> state, bool input,
                    const CWaveFormat& format, IWaveClient* client, CEventPump& pump,
                    std::vector<std::pair<std::string, std::string>> links)
        : m_audio(audio), m_state(std::move(state)), m_input(input), m_format(format),
          m_client(client), m_pump(pump), m_xrunsAtOpen(m_state->xruns.load()),
          m_links(std::move(links)) {
        (input ? audio.m_input : audio.m_output) = this;
        pump.AddSource(this);
    }
    ~CJackWaveDevice() override {
        Reset();
        if (m_input) m_state->capturing.store(false, std::memory_order_release);
        m_pump.RemoveSource(this);
        (m_input ? m_audio.m_input : m_audio.m_output) = nullptr;
        // Only our own connections go: the other direction may share a port with them.
        if (IsGone()) return;
        jack_client_t* c = m_state->client;
        CallWithin(CJackAudio::kAnswerSeconds, [c, links = m_links] {
            for (const auto& [from, to] : links)
                jack_disconnect(c, from.c_str(), to.c_str());
            return true;
        });
    }

    int AddBuffer(CWaveHeader* header) override {
        if (!header || header->data.size() % size_t(m_format.BytesPerFrame()) != 0)
            return kAudioInvalidParam;
        if (IsGone()) return kAudioNotEnabled;
        header->flags &= ~CWaveHeader::kDone;
        header->bytesRecorded = 0;
        // Queued beside an output, a recording starts where the output's next buffer starts.
        if (m_input && m_queue.empty() && m_audio.m_output) {
            m_aligning = true;
            m_startsSeen = m_state->outStarts.load(std::memory_order_acquire);
        }
        m_queue.push_back(header);
        return kAudioOk;
    }
    int Start() override {
        if (m_input && !m_started) {
            // What the ports took in before the recording started is not part of it.
            m_from = m_state->frame.load(std::memory_order_acquire);
            m_state->capturing.store(true, std::memory_order_release);
            m_started = true;
        }
        return kAudioOk;
    }
    int BreakLoop() override {
        m_breakLoop = true;
        return kAudioOk;
    }
    int Reset() override {
        m_queue.clear();
        m_playing.clear();
        m_done = 0;
        m_loop = 0;
        m_breakLoop = false;
        m_pump.Cancel(this);
        if (!m_input) {
            m_state->mark.store(-1, std::memory_order_release);
            m_state->flushOutput.store(true, std::memory_order_release);
        }
        return kAudioOk;
    }
    int Pending() const override { return int(m_queue.size() + m_playing.size()); }
    const std::shared_ptr<CJackClientState>& State() const { return m_state; }
    int64_t GetLostFrames() const override { return m_lost; }
    int GetXruns() const override { return m_state->xruns.load() - m_xrunsAtOpen; }
    std::string GetFailure() const override {
        return IsGone() ? "The JACK server stopped; " + std::string(m_input ? "input" : "output") +
                              " device JACK closed"
                        : std::string();
    }

    void Poll(CEventPump& pump) override {
        if (IsGone()) return;
        if (m_input)
            Record(pump);
        else
            Play(pump);
    }

private:
    bool IsGone() const { return m_state->gone.load(std::memory_order_acquire); }

    /** Moves the input ring's packets into the staging list, counting frames that never
     *  reached the ring. */
    void Drain() {
        jack_ringbuffer_t* ring = m_state->inRing;
        CJackPacket head;
        // The callback writes a packet piece by piece: it is taken only once all of it is in.
        while (jack_ringbuffer_peek(ring, reinterpret_cast<char*>(&head), sizeof head) ==
                   sizeof head &&
               jack_ringbuffer_read_space(ring) >= sizeof head + 2 * head.frames * sizeof(float)) {
            jack_ringbuffer_read_advance(ring, sizeof head);
            if (m_next >= 0 && head.frame > m_next && head.frame > m_from)
                m_lost += head.frame - std::max(m_next, m_from);
            else if (m_next >= 0 && head.frame < m_next)
                m_lost = std::max<int64_t>(0, m_lost - (m_next - head.frame));
            if (m_staged.empty()) m_stagedFrame = head.frame;
            m_next = head.frame + head.frames;
            const size_t at = m_staged.size();
            m_staged.resize(at + 2 * size_t(head.frames));
            jack_ringbuffer_read(ring, reinterpret_cast<char*>(&m_staged[at]),
                                 2 * head.frames * sizeof(float));
        }
    }

    void Record(CEventPump& pump) {
        if (m_queue.empty() || !m_started) return;
        Drain();
        if (m_aligning) {
            if (m_state->outStarts.load(std::memory_order_acquire) == m_startsSeen) {
                m_staged.clear(); // all of it came before the output started
                return;
            }
            m_from = m_state->outStartFrame.load(std::memory_order_relaxed);
            m_aligning = false;
        }
        const int64_t skip =
            std::clamp<int64_t>(m_from - m_stagedFrame, 0, int64_t(m_staged.size() / 2));
        size_t used = 2 * size_t(skip);
        const size_t frameBytes = size_t(m_format.BytesPerFrame());
        while (!m_queue.empty() && used < m_staged.size()) {
            CWaveHeader* h = m_queue.front();
            const size_t total = h->data.size() / frameBytes;
            const size_t n = std::min(total - m_done, (m_staged.size() - used) / 2);
            FloatsToPcm(&m_staged[used], n, m_format, h->data.data() + m_done * frameBytes);
            used += 2 * n;
            m_done += n;
            if (m_done < total) break;
            m_done = 0;
            m_queue.pop_front();
            h->bytesRecorded = uint32_t(h->data.size());
            PostCompletion(pump, this, m_client, h, true);
        }
        m_staged.erase(m_staged.begin(), m_staged.begin() + ptrdiff_t(used));
        m_stagedFrame += int64_t(used / 2);
    }

    void Play(CEventPump& pump) {
        const size_t frameBytes = size_t(m_format.BytesPerFrame());
        while (!m_queue.empty()) {
            CWaveHeader* h = m_queue.front();
            const size_t total = h->data.size() / frameBytes;
            const size_t room = jack_ringbuffer_write_space(m_state->outRing) / (2 * sizeof(float));
            if (room == 0) break;
            if (m_done == 0 && m_loop == 0)
                m_state->mark.store(m_written, std::memory_order_release);
            const size_t n = std::min(total - m_done, room);
            m_floats.resize(2 * n);
            PcmToFloats(h->data.data() + m_done * frameBytes, n, m_format, m_floats.data());
            jack_ringbuffer_write(m_state->outRing, reinterpret_cast<const char*>(m_floats.data()),
                                  2 * n * sizeof(float));
            m_written += int64_t(n);
            m_done += n;
            if (m_done < total) break;
            m_done = 0;
            const bool looped = (h->flags & CWaveHeader::kBeginLoop) != 0;
            if (looped && !m_breakLoop && ++m_loop < h->loops) continue;
            m_loop = 0;
            m_breakLoop = false;
            m_queue.pop_front();
            m_playing.push_back({h, m_written});
        }
        const int64_t consumed = m_state->outConsumed.load(std::memory_order_acquire);
        while (!m_playing.empty() && m_playing.front().second <= consumed) {
            CWaveHeader* h = m_playing.front().first;
            m_playing.pop_front();
            h->bytesRecorded = uint32_t(h->data.size());
            PostCompletion(pump, this, m_client, h, false);
        }
    }

    CJackAudio& m_audio;
    std::shared_ptr<CJackClientState> m_state;
    bool m_input;
    CWaveFormat m_format;
    IWaveClient* m_client;
    CEventPump& m_pump;
    int m_xrunsAtOpen;
    std::vector<std::pair<std::string, std::string>> m_links; // what this device connected
    std::deque<CWaveHeader*> m_queue;
    size_t m_done = 0; // frames of the oldest buffer moved
    bool m_started = false;
    // Input.
    std::vector<float> m_staged; // frames taken from the ring, not yet in a buffer
    int64_t m_stagedFrame = 0;   // the frame number of the first staged frame
    int64_t m_next = -1;         // the frame number the next packet should have
    int64_t m_from = 0;          // frames before this one are not recorded
    int64_t m_lost = 0;
    bool m_aligning = false; // waiting for the output's next start
    uint64_t m_startsSeen = 0;
    // Output.
    std::deque<std::pair<CWaveHeader*, int64_t>> m_playing; // written; done when played to
    std::vector<float> m_floats;
    int64_t m_written = 0; // frames written into the output ring in all
    uint32_t m_loop = 0;
    bool m_breakLoop = false;
};

CJackAudio::CJackAudio(CJackPorts ports) : m_settings(std::move(ports)) {
    Refresh();
}

void CJackAudio::Refresh() {
    m_rate = m_bufferFrames = 0;
    m_ports.clear();
    m_inputs.clear();
    m_outputs.clear();
    std::string why;
    const auto lister = OpenJackClient(m_settings.server, "aurivo-list", 0, kAnswerSeconds, why);
    if (!lister) return;
    jack_client_t* c = lister->client;
    const auto listed = CallWithin(kAnswerSeconds, [c] {
        std::vector<std::pair<std::string, bool>> ports;
        const char** names = jack_get_ports(c, nullptr, JACK_DEFAULT_AUDIO_TYPE, 0);
        for (size_t i = 0; names && names[i]; ++i) {
            jack_port_t* p = jack_port_by_name(c, names[i]);
            if (p && !jack_port_is_mine(c, p))
                ports.emplace_back(names[i], (jack_port_flags(p) & JackPortIsOutput) != 0);
        }
        jack_free(names);
        return std::make_tuple(int(jack_get_sample_rate(c)), int(jack_get_buffer_size(c)), ports);
    });
    if (!listed) return;
    std::tie(m_rate, m_bufferFrames, m_ports) = *listed;
    const std::string server = FormatText("%d Hz, %d frames", m_rate, m_bufferFrames);
    for (const bool input : {true, false}) {
        auto& list = input ? m_inputs : m_outputs;
        const auto& configured = input ? m_settings.inputs : m_settings.outputs;
        list.push_back(
            {kDeviceName, "JACK: " +
                              (configured[0].empty() ? std::string("the system's ports")
                                                     : configured[0] + ", " + configured[1]) +
                              " (" + server + ")"});
        // Each client's ports in pairs, for a choice from the device list.
        std::map<std::string, std::vector<std::string>> byClient;
        for (const auto& [name, produces] : m_ports)
            if (produces == input) byClient[name.substr(0, name.find(':'))].push_back(name);
        for (const auto& [client, names] : byClient)
            for (size_t i = 0; i < names.size(); i += 2) {
                const std::string& second = names[std::min(i + 1, names.size() - 1)];
                list.push_back({std::string(kDeviceName) + ":" + names[i] + "," + second,
                                "JACK ports " + names[i] + " and " + second});
            }
    }
}

CJackAudio::~CJackAudio() = default;

std::array<std::string, 2> CJackAudio::PortsOf(bool input, int index) const {
    if (index == 0) return input ? m_settings.inputs : m_settings.outputs;
    const std::string& name = (input ? m_inputs : m_outputs)[size_t(index)].name;
    const std::string pair = name.substr(std::string(kDeviceName).size() + 1);
    const size_t comma = pair.find(',');
    return {pair.substr(0, comma), pair.substr(comma + 1)};
}

int CJackAudio::Fail(bool input, int code, std::string text) {
    m_lastError[input] = std::move(text);
    return code;
}

int CJackAudio::QueryFormat(bool input, int index, const CWaveFormat& format) const {
    const auto& list = input ? m_inputs : m_outputs;
    if (index < 0 || size_t(index) >= list.size()) return kAudioBadDeviceId;
    const bool bits = format.bitsPerSample == 8 || format.bitsPerSample == 16 ||
                      format.bitsPerSample == 24 || format.bitsPerSample == 32;
    const bool ok =
        format.sampleRate == m_rate && bits && format.channels >= 1 && format.channels <= 2;
    m_lastError[input] =
        ok ? std::string()
           : FormatText("JACK runs at %d Hz, %d-bit %d-channel PCM at %d Hz is not taken", m_rate,
                        format.bitsPerSample, format.channels, format.sampleRate);
    return ok ? kAudioOk : kWaveBadFormat;
}

int CJackAudio::Open(bool input, int index, const CWaveFormat& format, IWaveClient* client,
                     CEventPump& pump, std::unique_ptr<IWaveDevice>& device) {
    if (const int q = QueryFormat(input, index, format); q != kAudioOk) return q;
    if (!client) return kAudioInvalidParam;
    if (input ? m_input : m_output) return kAudioAllocated;
    // Both directions share one client: the first to open starts it.
    CJackWaveDevice* other = input ? m_output : m_input;
    std::shared_ptr<CJackClientState> state = other ? other->State() : nullptr;
    std::string why;
    if (!state)
        state = OpenJackClient(m_settings.server, kClientName, kRingSeconds, kAnswerSeconds, why);
    if (!state) return Fail(input, kAudioNotEnabled, "JACK: " + why);
    if (state->gone.load()) return Fail(input, kAudioNotEnabled, "JACK: the server stopped");
    jack_client_t* c = state->client;
    if (const int rate = int(jack_get_sample_rate(c)); rate != format.sampleRate)
        return Fail(input, kWaveBadFormat,
                    FormatText("JACK now runs at %d Hz, not %d Hz", rate, format.sampleRate));
    const std::array<std::string, 2> ports = Resolve(c, PortsOf(input, index), input);
    std::vector<std::pair<std::string, std::string>> links; // source, destination
    for (size_t i = 0; i < 2; ++i) {
        const std::string& port = ports[i];
        if (port.empty() || !jack_port_by_name(c, port.c_str()))
            return Fail(input, kAudioBadDeviceId,
                        "JACK port " + (port.empty() ? std::string("(none)") : port) +
                            " is gone; choose another device, or set [JACK] " +
                            (input ? "Input" : "Output") + std::to_string(i + 1) +
                            " in the settings file");
        const std::string ours = jack_port_name(input ? state->in[i] : state->out[i]);
        links.push_back(input ? std::make_pair(port, ours) : std::make_pair(ours, port));
        const int r = jack_connect(c, links.back().first.c_str(), links.back().second.c_str());
        if (r != 0 && r != EEXIST) return Fail(input, kAudioError, "JACK: cannot connect " + port);
    }
    device = std::make_unique<CJackWaveDevice>(*this, state, input, format, client, pump,
                                               std::move(links));
    return Fail(input, kAudioOk, {});
}

std::string CJackAudio::GetErrorText(bool input, int code) const {
    return code == kAudioOk ? std::string() : m_lastError[input].substr(0, 256);
}
