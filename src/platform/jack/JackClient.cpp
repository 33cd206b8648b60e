#include "platform/jack/JackClient.h"

#include "platform/jack/JackCall.h"

#include <algorithm>
#include <cstring>

namespace {
// Frames moved through the stack per copy: the callback never allocates.
constexpr jack_nframes_t kChunk = 64;

void WriteInput(CJackClientState& s, jack_nframes_t n, int64_t frame) {
    const size_t bytes = sizeof(CJackPacket) + size_t(n) * 2 * sizeof(float);
    // A full ring drops the whole cycle; the polling side sees the gap in the frame numbers.
    if (jack_ringbuffer_write_space(s.inRing) < bytes) return;
    const CJackPacket head{frame, n, 0};
    jack_ringbuffer_write(s.inRing, reinterpret_cast<const char*>(&head), sizeof head);
    const auto* left = static_cast<const float*>(jack_port_get_buffer(s.in[0], n));
    const auto* right = static_cast<const float*>(jack_port_get_buffer(s.in[1], n));
    float chunk[2 * kChunk];
    for (jack_nframes_t at = 0; at < n; at += kChunk) {
        const jack_nframes_t m = std::min(kChunk, n - at);
        for (jack_nframes_t i = 0; i < m; ++i) {
            chunk[2 * i] = left[at + i];
            chunk[2 * i + 1] = right[at + i];
        }
        jack_ringbuffer_write(s.inRing, reinterpret_cast<const char*>(chunk),
                              m * 2 * sizeof(float));
    }
}

void ReadOutput(CJackClientState& s, jack_nframes_t n, int64_t frame) {
    auto* left = static_cast<float*>(jack_port_get_buffer(s.out[0], n));
    auto* right = static_cast<float*>(jack_port_get_buffer(s.out[1], n));
    if (s.flushOutput.load(std::memory_order_acquire)) {
        const size_t held = jack_ringbuffer_read_space(s.outRing) / (2 * sizeof(float));
        jack_ringbuffer_read_advance(s.outRing, held * 2 * sizeof(float));
        s.outConsumed.fetch_add(int64_t(held), std::memory_order_release);
        s.flushOutput.store(false, std::memory_order_release);
    }
    const int64_t first = s.outConsumed.load(std::memory_order_relaxed);
    const auto held = jack_nframes_t(
        std::min<size_t>(n, jack_ringbuffer_read_space(s.outRing) / (2 * sizeof(float))));
    float chunk[2 * kChunk];
    for (jack_nframes_t at = 0; at < held; at += kChunk) {
        const jack_nframes_t m = std::min(kChunk, held - at);
        jack_ringbuffer_read(s.outRing, reinterpret_cast<char*>(chunk), m * 2 * sizeof(float));
        for (jack_nframes_t i = 0; i < m; ++i) {
            left[at + i] = chunk[2 * i];
            right[at + i] = chunk[2 * i + 1];
        }
    }
    std::fill(left + held, left + n, 0.0f);
    std::fill(right + held, right + n, 0.0f);
    // A buffer's first frame played in this cycle: its frame number is published before the
    // input of this cycle enters the ring, so the polling side never sees one without the other.
    const int64_t mark = s.mark.load(std::memory_order_acquire);
    if (mark >= first && mark < first + int64_t(held)) {
        s.outStartFrame.store(frame + (mark - first), std::memory_order_relaxed);
        s.outStarts.fetch_add(1, std::memory_order_release);
    }
    s.outConsumed.store(first + int64_t(held), std::memory_order_release);
}

int Process(jack_nframes_t n, void* arg) {
    auto& s = *static_cast<CJackClientState*>(arg);
    // The server's clock, widened to 64 bits, numbers the frames: a cycle the server ran without
    // us (we were late) moves it on all the same, so the input shows those frames as lost. A
    // callback that runs late may read the next cycle's time; the next packet then overlaps the
    // last, which the polling side takes as frames that were not lost after all.
    const int64_t before = s.frame.load(std::memory_order_relaxed);
    const int64_t frame = before + int32_t(jack_last_frame_time(s.client) - jack_nframes_t(before));
    ReadOutput(s, n, frame);
    if (s.capturing.load(std::memory_order_acquire)) WriteInput(s, n, frame);
    s.frame.store(frame + n, std::memory_order_release);
    return 0;
}

int CountXrun(void* arg) {
    static_cast<CJackClientState*>(arg)->xruns.fetch_add(1, std::memory_order_relaxed);
    return 0;
}

void ServerGone(void* arg) {
    static_cast<CJackClientState*>(arg)->gone.store(true, std::memory_order_release);
}

void ServerGoneWhy(jack_status_t, const char*, void* arg) {
    ServerGone(arg);
}

std::string Named(const std::string& server) {
    return server.empty() ? std::string() : " \"" + server + "\"";
}

/** Closes the client and frees the rings once the callback can no longer run; the close may
 *  wait on a server that hangs, so it runs on a thread of its own. */
void Close(CJackClientState* s) {
    CallWithin(CJackCallLimit::kSeconds, [s] {
        if (s->client) jack_client_close(s->client);
        if (s->inRing) jack_ringbuffer_free(s->inRing);
        if (s->outRing) jack_ringbuffer_free(s->outRing);
        delete s;
        return true;
    });
}
} // namespace

std::shared_ptr<CJackClientState> OpenJackClient(const std::string& server, const char* name,
                                                 int ringSeconds, int seconds, std::string& why) {
    SilenceJackLibrary();
    const auto opened = CallWithin(seconds, [server, name] {
        jack_status_t status{};
        const auto options =
            jack_options_t(JackNoStartServer | (server.empty() ? 0 : JackServerName));
        return jack_client_open(name, options, &status, server.c_str());
    });
    if (!opened) {
        why = "the JACK server" + Named(server) + " does not answer within " +
              std::to_string(seconds) + " s";
        return nullptr;
    }
    if (!*opened) {
        why = "no JACK server" + Named(server) + " is running";
        return nullptr;
    }
    std::shared_ptr<CJackClientState> s(new CJackClientState, Close);
    s->client = *opened;
    const size_t rate = jack_get_sample_rate(s->client);
    const size_t bytes = rate * size_t(ringSeconds) * 2 * sizeof(float);
    s->inRing = jack_ringbuffer_create(bytes + bytes / 8);
    s->outRing = jack_ringbuffer_create(bytes);
    const char* names[2][2] = {{"in_1", "in_2"}, {"out_1", "out_2"}};
    for (int c = 0; c < 2; ++c) {
        s->in[size_t(c)] =
            jack_port_register(s->client, names[0][c], JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        s->out[size_t(c)] = jack_port_register(s->client, names[1][c], JACK_DEFAULT_AUDIO_TYPE,
                                               JackPortIsOutput, 0);
    }
    const bool ports = s->in[0] && s->in[1] && s->out[0] && s->out[1];
    if (!s->inRing || !s->outRing || !ports ||
        jack_set_process_callback(s->client, Process, s.get()) != 0 ||
        jack_set_xrun_callback(s->client, CountXrun, s.get()) != 0) {
        why = "our JACK client could not register its ports";
        return nullptr;
    }
    // JACK calls the first; PipeWire's JACK interface only the second.
    jack_on_info_shutdown(s->client, ServerGoneWhy, s.get());
    jack_on_shutdown(s->client, ServerGone, s.get());
    CJackClientState* raw = s.get();
    const auto active = CallWithin(seconds, [raw] { return jack_activate(raw->client) == 0; });
    if (!active || !*active) {
        why = "the JACK server did not start our client";
        return nullptr;
    }
    return s;
}

namespace {
void Quiet(const char*) {}
} // namespace

void SilenceJackLibrary() {
    jack_set_error_function(Quiet);
    jack_set_info_function(Quiet);
}
