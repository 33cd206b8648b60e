#include "platform/alsa/AlsaAudio.h"

#include "base/NumberText.h"
#include "platform/EventPump.h"
#include "platform/PcmSample.h"
#include "platform/SampleRates.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>
#include <poll.h>

namespace {
// Ring size the devices ask for: long enough to bridge the gap between two exchanges on a busy
// machine (capture runs on between them), short enough that an exchange's playback starts at
// once.
constexpr unsigned kBufferMicroseconds = 100000;
constexpr unsigned kPeriodMicroseconds = 10000;
// Silence played ahead of every fresh start of playback.
constexpr unsigned kStartSilenceMicroseconds = 30000;
// Frames converted at a time for a device fed 32-bit integers in place of the buffers' samples.
constexpr size_t kWideChunkFrames = 4096;

bool KeepHint(const std::string& name) {
    for (const char* prefix : {"hw:", "plughw:"})
        if (name.rfind(prefix, 0) == 0) return true;
    return name == "default" || name == "pipewire" || name == "pulse";
}

int ToResult(int alsaError) {
    switch (alsaError) {
    case -EBUSY:
        return kWaveStillPlaying;
    case -ENOENT:
    case -ENODEV:
        return kAudioBadDeviceId;
    case -EINVAL:
        return kWaveBadFormat;
    case -ENOMEM:
        return kAudioNoMemory;
    default:
        return kAudioError;
    }
}

/** The device's sample format for `f`: its own layout when the device offers it, else 32-bit
 *  integers for 24-bit and float samples (many cards' converters take only those); the own
 *  layout when neither is offered, so that setting it reports the refusal. */
snd_pcm_format_t DeviceSampleFormat(snd_pcm_t* pcm, snd_pcm_hw_params_t* hw, const CWaveFormat& f) {
    const snd_pcm_format_t own = f.isFloat               ? SND_PCM_FORMAT_FLOAT_LE
                                 : f.bitsPerSample == 24 ? SND_PCM_FORMAT_S24_3LE
                                 : f.bitsPerSample == 8  ? SND_PCM_FORMAT_U8
                                                         : SND_PCM_FORMAT_S16_LE;
    if (snd_pcm_hw_params_test_format(pcm, hw, own) == 0 || !HasWideSamples(f)) return own;
    return snd_pcm_hw_params_test_format(pcm, hw, SND_PCM_FORMAT_S32_LE) == 0
               ? SND_PCM_FORMAT_S32_LE
               : own;
}

/** Opens `name` and sets the format, in `sampleFormat` the device's own; 0 or an ALSA error. */
int OpenPcm(const std::string& name, bool input, const CWaveFormat& f, snd_pcm_t*& pcm,
            snd_pcm_format_t& sampleFormat) {
    pcm = nullptr;
    int r =
        snd_pcm_open(&pcm, name.c_str(), input ? SND_PCM_STREAM_CAPTURE : SND_PCM_STREAM_PLAYBACK,
                     SND_PCM_NONBLOCK);
    if (r < 0) return r;
    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    unsigned buffer = kBufferMicroseconds, period = kPeriodMicroseconds;
    if ((r = snd_pcm_hw_params_any(pcm, hw)) < 0 ||
        (r = snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED)) < 0 ||
        (r = snd_pcm_hw_params_set_format(pcm, hw, sampleFormat = DeviceSampleFormat(pcm, hw, f))) <
            0 ||
        (r = snd_pcm_hw_params_set_channels(pcm, hw, unsigned(f.channels))) < 0 ||
        (r = snd_pcm_hw_params_set_rate(pcm, hw, unsigned(f.sampleRate), 0)) < 0 ||
        (r = snd_pcm_hw_params_set_buffer_time_near(pcm, hw, &buffer, nullptr)) < 0 ||
        (r = snd_pcm_hw_params_set_period_time_near(pcm, hw, &period, nullptr)) < 0 ||
        (r = snd_pcm_hw_params(pcm, hw)) < 0 || (r = snd_pcm_prepare(pcm)) < 0) {
        snd_pcm_close(pcm);
        pcm = nullptr;
    }
    return r;
}
} // namespace

/** Devices with a call that did not return in time, shared with those calls: a device whose
 *  sound server stalls (stopped, or hung) blocks every call into it, so it is not called
 *  again until its stuck call returns (the server woke up, or its client library gave up). */
struct CAlsaAudio::CStalls {
    std::mutex mutex;
    std::map<std::string, int> stuck; // device name -> calls not yet returned
};

namespace {
constexpr auto kAnswerTime = std::chrono::seconds(CAlsaAudio::kAnswerSeconds);

/** What a call on a thread of its own and its caller share. */
struct CCallState {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool abandoned = false;
};

enum class ECall { kReturned, kAbandoned, kNotCalled };

/** Runs `call` on a thread of its own and waits for it within the answer time. When it did
 *  not return in time the caller goes on without it (kAbandoned): the device `name` counts as
 *  stuck until the call has returned, after which `cleanup` (closing what the call holds) runs
 *  on that thread. A device that counts as stuck is not called at all (kNotCalled). The thread
 *  is never joined. */
ECall CallInTime(const std::shared_ptr<CAlsaAudio::CStalls>& stalls, const std::string& name,
                 std::function<void()> call, std::function<void()> cleanup) {
    {
        std::lock_guard lock(stalls->mutex);
        if (stalls->stuck.count(name) != 0) return ECall::kNotCalled;
    }
    auto state = std::make_shared<CCallState>();
    std::thread([state, stalls, name, call = std::move(call), cleanup = std::move(cleanup)] {
        call();
        std::unique_lock lock(state->mutex);
        state->done = true;
        state->finished.notify_all();
        if (!state->abandoned) return;
        lock.unlock();
        cleanup();
        std::lock_guard stallLock(stalls->mutex);
        if (--stalls->stuck[name] <= 0) stalls->stuck.erase(name);
    }).detach();
    std::unique_lock lock(state->mutex);
    if (state->finished.wait_for(lock, kAnswerTime, [&state] { return state->done; }))
        return ECall::kReturned;
    state->abandoned = true;
    std::lock_guard stallLock(stalls->mutex);
    ++stalls->stuck[name];
    return ECall::kAbandoned;
}

/** Closes a PCM of a device that does not answer, whenever it answers again: nothing waits. */
void CloseLater(snd_pcm_t* pcm) {
    std::thread([pcm] { snd_pcm_close(pcm); }).detach();
}

/** OpenPcm within the answer time; `keep` false closes the PCM again (a format query). True
 *  with the ALSA result when the device answered; false when it did not. */
bool OpenPcmInTime(const std::shared_ptr<CAlsaAudio::CStalls>& stalls, const std::string& name,
                   bool input, const CWaveFormat& f, bool keep, int& result, snd_pcm_t*& pcm,
                   snd_pcm_format_t& sampleFormat) {
    struct COpened {
        int result = 0;
        snd_pcm_t* pcm = nullptr;
        snd_pcm_format_t sampleFormat = SND_PCM_FORMAT_UNKNOWN;
    };
    auto opened = std::make_shared<COpened>();
    const auto close = [opened] {
        if (opened->pcm) snd_pcm_close(opened->pcm);
        opened->pcm = nullptr;
    };
    const auto open = [opened, close, name, input, f, keep] {
        opened->result = OpenPcm(name, input, f, opened->pcm, opened->sampleFormat);
        if (!keep) close();
    };
    pcm = nullptr;
    // A call that did not return still writes these: they are read only when it returned.
    if (CallInTime(stalls, name, open, close) != ECall::kReturned) return false;
    result = opened->result;
    pcm = opened->pcm;
    sampleFormat = opened->sampleFormat;
    return true;
}
} // namespace

/** One open PCM of either direction. */
class CAlsaWaveDevice final : public IWaveDevice, public IEventSource {
public:
    CAlsaWaveDevice(CAlsaAudio& audio, std::string name, snd_pcm_t* pcm, bool input,
                    const CWaveFormat& f, snd_pcm_format_t sampleFormat, IWaveClient* client,
                    CEventPump& pump)
        : m_audio(audio), m_name(std::move(name)), m_pcm(pcm), m_input(input), m_format(f),
          m_sampleFormat(sampleFormat),
          m_wide(sampleFormat == SND_PCM_FORMAT_S32_LE && HasWideSamples(f)), m_client(client),
          m_pump(pump) {
        (input ? audio.m_input : audio.m_output) = this;
        // Capture and playback start together when ALSA can link them.
        CAlsaWaveDevice* other = input ? audio.m_output : audio.m_input;
        if (other) m_linked = other->m_linked = snd_pcm_link(m_pcm, other->m_pcm) == 0;
        pump.AddSource(this);
    }
    ~CAlsaWaveDevice() override {
        Reset();
        m_pump.RemoveSource(this);
        if (m_linked && !m_lost) snd_pcm_unlink(m_pcm);
        CAlsaWaveDevice* other = m_input ? m_audio.m_output : m_audio.m_input;
        if (other) other->m_linked = false;
        (m_input ? m_audio.m_input : m_audio.m_output) = nullptr;
        // A device that stopped answering is closed by its late call, when that returns, or
        // else whenever it answers again.
        if (m_lost) {
            if (m_stillOwned) CloseLater(m_pcm);
        } else {
            snd_pcm_t* pcm = m_pcm;
            if (CallInTime(
                    m_audio.m_stalls, m_name, [pcm] { snd_pcm_close(pcm); }, [] {}) ==
                ECall::kNotCalled)
                CloseLater(pcm);
        }
    }

    int AddBuffer(CWaveHeader* header) override {
        if (m_lost) return kAudioNotEnabled; // its text says the device does not answer
        if (!header || header->data.size() % size_t(m_format.BytesPerFrame()) != 0)
            return kAudioInvalidParam;
        header->flags &= ~CWaveHeader::kDone;
        header->bytesRecorded = 0;
        // An exchange of a recording plays from a fresh start: written behind a ring still
        // playing out, its start would wander with the ring's fill. Linked devices then start
        // together; a sound server's stream cannot be linked and starts when the server next
        // mixes, which moves the played block by up to about 15 ms from pass to pass (PulseAudio
        // through a null sink), so with such a device the block is found by its own edge.
        // Recording alone (no output open), capture is one stream: nothing is skipped, so the
        // next buffer goes on where the last one ended.
        if (m_queue.empty() && m_idle && m_input && m_audio.m_output) SkipIdleCapture();
        if (m_queue.empty() && m_idle && !m_input && m_audio.m_input) RestartPlayback();
        m_queue.push_back(header);
        return kAudioOk;
    }
    int Start() override {
        m_startRequested = true;
        return kAudioOk;
    }
    int BreakLoop() override { return kAudioOk; }
    int Reset() override {
        Control([](snd_pcm_t* pcm) {
            snd_pcm_drop(pcm);
            return snd_pcm_prepare(pcm);
        });
        m_queue.clear();
        m_done = 0;
        m_loop = 0;
        m_startRequested = false;
        m_idle = true;
        m_pump.Cancel(this);
        return kAudioOk;
    }
    int Pending() const override { return static_cast<int>(m_queue.size()); }
    int64_t GetLostFrames() const override { return m_lostFrames; }
    int GetXruns() const override { return m_audio.m_xruns - m_xrunsAtOpen; }

    void AddDescriptors(std::vector<pollfd>& fds) const override {
        if (m_queue.empty() || m_lost) return;
        const int n = snd_pcm_poll_descriptors_count(m_pcm);
        if (n <= 0) return;
        const size_t at = fds.size();
        fds.resize(at + size_t(n));
        snd_pcm_poll_descriptors(m_pcm, &fds[at], unsigned(n));
    }

    void Poll(CEventPump& pump) override {
        if (m_lost) return;
        if (m_input) {
            // Linked, playback is written first so that the joint start finds its ring filled.
            // Unlinked, capture starts first: playback starts with its first write, and sound
            // played before the recording runs would be lost to it.
            if (m_linked && m_audio.m_output) m_audio.m_output->Transfer(pump);
            if (m_startRequested && snd_pcm_state(m_pcm) == SND_PCM_STATE_PREPARED &&
                !m_queue.empty())
                Control(snd_pcm_start);
            if (!m_linked && m_audio.m_output) m_audio.m_output->Transfer(pump);
            Transfer(pump);
        } else if (!m_audio.m_input) {
            Transfer(pump);
        }
    }

private:
    /** Moves what the ring allows between it and the oldest buffer; completes full buffers. */
    void Transfer(CEventPump& pump) {
        while (!m_queue.empty() && !m_lost) {
            if (!m_input && snd_pcm_state(m_pcm) == SND_PCM_STATE_PREPARED) PlayStartSilence();
            CWaveHeader* h = m_queue.front();
            const size_t frameBytes = size_t(m_format.BytesPerFrame());
            const size_t total = h->data.size() / frameBytes;
            const size_t left = total - m_done;
            uint8_t* at = h->data.data() + m_done * frameBytes;
            // Samples the device takes as 32-bit integers go through a part of the buffer at a
            // time, so that a ring that takes little does not cost converting all that is left.
            const size_t chunk = m_wide ? std::min<size_t>(left, kWideChunkFrames) : left;
            const size_t samples = chunk * size_t(m_format.channels);
            if (m_wide) m_wideSamples.resize(samples * 4);
            if (m_wide && !m_input) WidenSamples(at, samples, m_format, m_wideSamples.data());
            void* ring = m_wide ? static_cast<void*>(m_wideSamples.data()) : at;
            snd_pcm_sframes_t n =
                m_input ? snd_pcm_readi(m_pcm, ring, chunk) : snd_pcm_writei(m_pcm, ring, chunk);
            if (n > 0 && m_wide && m_input)
                NarrowSamples(m_wideSamples.data(), size_t(n) * size_t(m_format.channels), m_format,
                              at);
            if (n == -EAGAIN || n == 0) return;
            if (n < 0) {
                // A playback ring that ran dry while nothing was queued has simply finished
                // playing: only a gap inside queued sound is an xrun.
                if (!(m_idle && n == -EPIPE)) ++m_audio.m_xruns;
                // An overrun drops what the ring held and what came after: about everything
                // since the last read (the only clock ALSA leaves us for it).
                if (m_input && n == -EPIPE && m_lastRead)
                    m_lostFrames += std::max<int64_t>(
                        1, std::llround(
                               std::chrono::duration<double>(Clock::now() - *m_lastRead).count() *
                               m_format.sampleRate));
                m_idle = false;
                const int error = int(n);
                if (Control([error](snd_pcm_t* pcm) { return snd_pcm_recover(pcm, error, 1); }) < 0)
                    return;
                if (m_input && m_startRequested) Control(snd_pcm_start);
                continue;
            }
            m_idle = false;
            if (m_input) m_lastRead = Clock::now();
            m_done += size_t(n);
            if (m_done < total && size_t(n) < chunk) return;
            if (m_done < total) continue;
            m_done = 0;
            if (!m_input && (h->flags & CWaveHeader::kBeginLoop) && ++m_loop < h->loops) continue;
            m_loop = 0;
            m_queue.pop_front();
            h->bytesRecorded = static_cast<uint32_t>(h->data.size());
            if (m_queue.empty()) GoIdle();
            PostCompletion(pump, this, m_client, h, m_input);
        }
    }

    /** The queue ran empty. Capture keeps running, so that the next buffer records from the
     *  moment it is queued (a restarted capture would miss the start of what plays meanwhile);
     *  playback plays out what its ring holds. */
    void GoIdle() { m_idle = true; }

    /** What capture took in while nothing was queued is older than the buffer now queued: it
     *  is skipped, and a ring that overran meanwhile starts again without counting an xrun. */
    void SkipIdleCapture() {
        snd_pcm_avail_update(m_pcm);
        switch (snd_pcm_state(m_pcm)) {
        case SND_PCM_STATE_RUNNING: {
            // Read, not forwarded: a sound server's plug-in may count frames as forwardable
            // that have not arrived yet, and skipping them would cut the next recording.
            std::vector<uint8_t> stale(size_t(snd_pcm_frames_to_bytes(m_pcm, 1024)));
            while (snd_pcm_readi(m_pcm, stale.data(), 1024) > 0) {}
            break;
        }
        case SND_PCM_STATE_XRUN:
            Control([](snd_pcm_t* pcm) {
                snd_pcm_prepare(pcm);
                return snd_pcm_start(pcm);
            });
            break;
        default:
            break;
        }
    }

    /** A sound server may drop the first milliseconds of a stream that starts (PulseAudio
     *  loses about 8 ms to a null sink): silence goes first, so no sound of ours is lost. */
    void PlayStartSilence() {
        const size_t frames = size_t(m_format.sampleRate) * kStartSilenceMicroseconds / 1000000;
        std::vector<uint8_t> silence(size_t(snd_pcm_frames_to_bytes(m_pcm, long(frames))));
        snd_pcm_format_set_silence(m_sampleFormat, silence.data(),
                                   unsigned(frames) * unsigned(m_format.channels));
        snd_pcm_writei(m_pcm, silence.data(), frames);
    }

    void RestartPlayback() {
        Control([](snd_pcm_t* pcm) {
            snd_pcm_drop(pcm);
            return snd_pcm_prepare(pcm);
        });
    }

    /** Runs `op` on the PCM within the answer time: a sound server that stalls blocks
     *  starting, stopping and preparing a stream. Its result, or -ETIMEDOUT when the device
     *  did not answer (or another call on it is stuck): this device then does nothing more
     *  but fail, and its PCM is closed by the late call or when the device is destroyed. */
    int Control(std::function<int(snd_pcm_t*)> op) {
        if (m_lost) return -ETIMEDOUT;
        auto result = std::make_shared<int>(0);
        snd_pcm_t* pcm = m_pcm;
        const ECall call = CallInTime(
            m_audio.m_stalls, m_name, [pcm, op, result] { *result = op(pcm); },
            [pcm] { snd_pcm_close(pcm); });
        if (call == ECall::kReturned) return *result;
        m_lost = true;
        m_stillOwned = call == ECall::kNotCalled;
        m_audio.Fail(m_input, m_name, 0, false);
        return -ETIMEDOUT;
    }

    CAlsaAudio& m_audio;
    std::string m_name;
    snd_pcm_t* m_pcm;
    bool m_input;
    CWaveFormat m_format;
    snd_pcm_format_t m_sampleFormat; // the device's
    bool m_wide;                     // 32-bit integers on the device, the format's in the buffers
    std::vector<uint8_t> m_wideSamples;
    IWaveClient* m_client;
    CEventPump& m_pump;
    std::deque<CWaveHeader*> m_queue;
    size_t m_done = 0; // frames of the oldest buffer already moved
    uint32_t m_loop = 0;
    bool m_startRequested = false;
    bool m_linked = false;
    bool m_idle = true;        // nothing queued since the last buffer completed
    bool m_lost = false;       // a call did not return in time, or the device was stuck
    bool m_stillOwned = false; // lost before any call: nothing else will close the PCM
    using Clock = std::chrono::steady_clock;
    std::optional<Clock::time_point> m_lastRead; // input: the last read that moved frames
    int64_t m_lostFrames = 0;                    // input frames overruns dropped
    int m_xrunsAtOpen = m_audio.m_xruns;
};

// ALSA's library prints its own diagnostics to standard error (a plug-in whose server is not
// running, a format a device refuses) while we probe devices; every failure already reaches
// the user through our error texts, so its printing is switched off.
static void IgnoreAlsaLibraryMessages(const char*, int, const char*, int, const char*, ...) {}

CAlsaAudio::CAlsaAudio(const std::vector<std::string>& extraDevices)
    : m_stalls(std::make_shared<CStalls>()) {
    snd_lib_error_set_handler(&IgnoreAlsaLibraryMessages);
    for (const std::string& name : extraDevices) {
        m_inputs.push_back({name, name});
        m_outputs.push_back({name, name});
    }
    void** hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &hints) == 0) {
        for (void** h = hints; *h; ++h) {
            char* name = snd_device_name_get_hint(*h, "NAME");
            char* desc = snd_device_name_get_hint(*h, "DESC");
            char* io = snd_device_name_get_hint(*h, "IOID");
            if (name && KeepHint(name)) {
                std::string text = desc ? desc : name;
                std::replace(text.begin(), text.end(), '\n', ' ');
                if (!io || std::string(io) == "Input") m_inputs.push_back({name, text});
                if (!io || std::string(io) == "Output") m_outputs.push_back({name, text});
            }
            free(name);
            free(desc);
            free(io);
        }
        snd_device_name_free_hint(hints);
    }
    int card = -1;
    while (snd_card_next(&card) == 0 && card >= 0) {
        char* cardName = nullptr;
        snd_card_get_name(card, &cardName);
        m_mixers.push_back({"hw:" + std::to_string(card), cardName ? cardName : ""});
        free(cardName);
    }
}

CAlsaAudio::~CAlsaAudio() = default;

int CAlsaAudio::Succeed(bool input) const {
    m_lastError[input] = {};
    return kAudioOk;
}

int CAlsaAudio::Fail(bool input, const std::string& device, int alsaError, bool answered) const {
    m_lastError[input] = {device, alsaError, answered};
    return answered ? ToResult(alsaError) : kAudioNotEnabled;
}

int CAlsaAudio::QueryFormat(bool input, int index, const CWaveFormat& format) const {
    const auto& list = input ? m_inputs : m_outputs;
    if (index < 0 || size_t(index) >= list.size()) return kAudioBadDeviceId;
    if (!IsStandardWaveFormat(format)) return kWaveBadFormat;
    const std::string& name = list[size_t(index)].name;
    int r = 0;
    snd_pcm_t* pcm = nullptr;
    snd_pcm_format_t sampleFormat = SND_PCM_FORMAT_UNKNOWN;
    if (!OpenPcmInTime(m_stalls, name, input, format, false, r, pcm, sampleFormat))
        return Fail(input, name, 0, false);
    // A device in use answers for itself: it accepts the format it is running.
    if (r == -EBUSY || r >= 0) return Succeed(input);
    return Fail(input, name, r, true);
}

int CAlsaAudio::Open(bool input, int index, const CWaveFormat& format, IWaveClient* client,
                     CEventPump& pump, std::unique_ptr<IWaveDevice>& device) {
    const auto& list = input ? m_inputs : m_outputs;
    if (index < 0 || size_t(index) >= list.size()) return kAudioBadDeviceId;
    if (!client) return kAudioInvalidParam;
    if (input ? m_input : m_output) return kAudioAllocated;
    const std::string& name = list[size_t(index)].name;
    int r = 0;
    snd_pcm_t* pcm = nullptr;
    snd_pcm_format_t sampleFormat = SND_PCM_FORMAT_UNKNOWN;
    if (!OpenPcmInTime(m_stalls, name, input, format, true, r, pcm, sampleFormat))
        return Fail(input, name, 0, false);
    if (r < 0) return Fail(input, name, r, true);
    device = std::make_unique<CAlsaWaveDevice>(*this, name, pcm, input, format, sampleFormat,
                                               client, pump);
    return Succeed(input);
}

std::string CAlsaAudio::GetErrorText(bool input, int code) const {
    const CLastError& e = m_lastError[input];
    if (code == kAudioOk || e.device.empty()) return {};
    if (!e.answered)
        return code == kAudioNotEnabled
                   ? FormatText("%s does not answer within %d s (is its sound server stopped?)",
                                e.device.c_str(), kAnswerSeconds)
                   : "";
    if (ToResult(e.alsaError) != code) return {};
    return (e.device + ": " + snd_strerror(e.alsaError)).substr(0, 256);
}

namespace {
/** Runs `use` on the simple mixer of card `name`; false when it cannot be opened. */
template <typename Use> bool WithMixer(const std::string& name, Use use) {
    snd_mixer_t* mixer = nullptr;
    if (snd_mixer_open(&mixer, 0) < 0) return false;
    const bool ok = snd_mixer_attach(mixer, name.c_str()) == 0 &&
                    snd_mixer_selem_register(mixer, nullptr, nullptr) == 0 &&
                    snd_mixer_load(mixer) == 0;
    if (ok) use(mixer);
    snd_mixer_close(mixer);
    return ok;
}

/** The capture source selector's chosen item, or the first element that captures. */
std::string CaptureSource(snd_mixer_t* mixer) {
    for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer); e; e = snd_mixer_elem_next(e)) {
        if (!snd_mixer_selem_is_enum_capture(e)) continue;
        unsigned item = 0;
        char text[64] = {0};
        if (snd_mixer_selem_get_enum_item(e, SND_MIXER_SCHN_FRONT_LEFT, &item) == 0 &&
            snd_mixer_selem_get_enum_item_name(e, item, sizeof text - 1, text) == 0)
            return text;
    }
    for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer); e; e = snd_mixer_elem_next(e))
        if (snd_mixer_selem_has_capture_volume(e)) return snd_mixer_selem_get_name(e);
    return {};
}
} // namespace

std::string CAlsaAudio::GetMixerSourceName(int mixer) const {
    std::string source;
    if (mixer >= 0 && size_t(mixer) < m_mixers.size())
        WithMixer(m_mixers[size_t(mixer)].name, [&](snd_mixer_t* m) { source = CaptureSource(m); });
    return source;
}

std::string CAlsaAudio::GetMixerDestinationName(int mixer) const {
    // ALSA has no destination lines; the card's capture side stands for it.
    return mixer >= 0 && size_t(mixer) < m_mixers.size()
               ? m_mixers[size_t(mixer)].description + " Capture"
               : "";
}

int CAlsaAudio::GetMixerInputLevel(int mixer) const {
    int level = 0;
    if (mixer < 0 || size_t(mixer) >= m_mixers.size()) return 0;
    WithMixer(m_mixers[size_t(mixer)].name, [&](snd_mixer_t* m) {
        for (snd_mixer_elem_t* e = snd_mixer_first_elem(m); e; e = snd_mixer_elem_next(e)) {
            if (!snd_mixer_selem_has_capture_volume(e)) continue;
            long lo = 0, hi = 0, v = 0;
            snd_mixer_selem_get_capture_volume_range(e, &lo, &hi);
            snd_mixer_selem_get_capture_volume(e, SND_MIXER_SCHN_FRONT_LEFT, &v);
            if (hi > lo) level = static_cast<int>((v - lo) * 65535 / (hi - lo));
            return;
        }
    });
    return level;
}
