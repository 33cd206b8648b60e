// SoundIO through a real JACK server (a dummy-driver jackd that a fixture starts): our output
// ports wired to our input ports give back the played block sample for sample at one latency
// in every pass; gapless Record Only of a counter played by another client loses and repeats
// no sample over 100 passes; a server killed mid-run stops the run with a message in time and
// leaves the document as it was.
#include "common/ModuleProcess.h"
#include "platform/jack/JackAudio.h"
#include "platform/jack/JackSamples.h"
#include "soundio/SoundIOView.h"
#include "soundio/StalledCard.h"

#include <jack/jack.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

std::string ServerStatus() {
    const char* path = std::getenv("AURIVO_JACK_SERVER_STATUS");
    std::ifstream in(path ? path : "");
    std::string status;
    std::getline(in, status);
    return path ? status : "no JACK server was started for this test";
}

#define REQUIRE_JACK_SERVER()                                                                      \
    if (const std::string status = ServerStatus(); status != "running")                            \
    GTEST_SKIP() << "JACK server unavailable: " << status

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

/** A client of our own test that plays the server's frame clock as a 16-bit counter on two
 *  ports: a cycle any client misses shows as a jump in it. */
class CCounterClient {
public:
    explicit CCounterClient(const std::string& server, const char* name = "counter") {
        jack_status_t status{};
        m_client = jack_client_open(name, jack_options_t(JackNoStartServer | JackServerName),
                                    &status, server.c_str());
        if (!m_client) return;
        for (const char* name : {"out_1", "out_2"})
            m_ports.push_back(
                jack_port_register(m_client, name, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0));
        jack_set_process_callback(m_client, &Process, this);
        jack_on_shutdown(
            m_client, [](void* self) { static_cast<CCounterClient*>(self)->m_dropped = true; },
            this);
        jack_activate(m_client);
    }
    ~CCounterClient() {
        if (m_client) jack_client_close(m_client);
    }
    std::string Port(int i) const { return jack_port_name(m_ports[size_t(i)]); }
    bool Ok() const { return m_client != nullptr; }
    /** The server put the counter out (one too slow to answer, on a machine too busy). */
    bool Dropped() const { return m_dropped; }

private:
    static int Process(jack_nframes_t n, void* arg) {
        auto* self = static_cast<CCounterClient*>(arg);
        const jack_nframes_t now = jack_last_frame_time(self->m_client);
        for (jack_port_t* port : self->m_ports) {
            auto* out = static_cast<float*>(jack_port_get_buffer(port, n));
            for (jack_nframes_t i = 0; i < n; ++i)
                out[i] = float(int((now + i) % 65536) - 32768) / 32768.0f;
        }
        return 0;
    }
    jack_client_t* m_client = nullptr;
    std::atomic<bool> m_dropped{false};
    std::vector<jack_port_t*> m_ports;
};

std::string DefaultServer() {
    const char* name = std::getenv("JACK_DEFAULT_SERVER");
    return name ? name : "";
}

// Without a server: each width's negative full scale, zero and positive full scale cross to
// floats and back unchanged (a mono format on the left port only), and floats beyond full
// scale clip unless the samples are floats.
TEST(JackSamples, PcmCrossesToFloatsAndBackUnchangedAndBeyondFullScaleClips) {
    const std::vector<std::vector<uint8_t>> cases = {
        {0x00, 0x80, 0xFF},
        {0x00, 0x80, 0x00, 0x00, 0xFF, 0x7F},
        {0, 0, 0x80, 0, 0, 0, 0xFF, 0xFF, 0x7F},
        {0, 0, 0, 0x80, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F}};
    for (const std::vector<uint8_t>& pcm : cases) {
        const CWaveFormat mono{1, 48000, int(pcm.size() / 3 * 8)};
        SCOPED_TRACE(mono.bitsPerSample);
        float stereo[6];
        PcmToFloats(pcm.data(), 3, mono, stereo);
        const double top = std::ldexp(1.0, mono.bitsPerSample - 1);
        EXPECT_EQ(stereo[0], -1.0f);
        EXPECT_EQ(stereo[2], 0.0f);
        EXPECT_EQ(stereo[4], float((top - 1) / top));
        EXPECT_EQ(stereo[1] + stereo[3] + stereo[5], 0.0f);
        std::vector<uint8_t> back(pcm.size());
        FloatsToPcm(stereo, 3, mono, back.data());
        EXPECT_EQ(back, pcm);
    }
    const float loud[2] = {1.5f, -1.5f};
    std::vector<uint8_t> clipped(4);
    FloatsToPcm(loud, 1, CWaveFormat{2, 48000, 16}, clipped.data());
    EXPECT_EQ(clipped, (std::vector<uint8_t>{0xFF, 0x7F, 0x00, 0x80}));
    // Float samples cross as IEEE floats, beyond full scale too: nothing to clip.
    CWaveFormat floats{2, 48000, 32};
    floats.isFloat = true;
    std::vector<uint8_t> raw(8);
    FloatsToPcm(loud, 1, floats, raw.data());
    EXPECT_EQ(raw, (std::vector<uint8_t>{0, 0, 0xC0, 0x3F, 0, 0, 0xC0, 0xBF}));
    float back[2];
    PcmToFloats(raw.data(), 1, floats, back);
    EXPECT_EQ(back[0], 1.5f);
    EXPECT_EQ(back[1], -1.5f);
}

// A pass in which the server skipped cycles (a machine too busy for it) shows the frames lost
// and is not judged; every other pass, ten of them, must hold the played block at one place.
TEST(JackLoopback, OurOutputsIntoOurInputsReturnThePlayedBlockAtOneLatency) {
    REQUIRE_JACK_SERVER();
    CJackPorts ports;
    // Named from both ends, so that no system port is needed (PipeWire may have none).
    ports.inputs = {"aurivo:out_1", "aurivo:out_2"};
    ports.outputs = {"aurivo:in_1", "aurivo:in_2"};
    CJackAudio jack(ports);
    ASSERT_EQ(jack.GetSampleRate(), 48000);
    CModuleProcess t;
    t.UseCard(&jack);
    CDspDoc* doc = t.Create({"Signal Generator", "Signal Generator", "SoundIO"}, 1024, 48000);
    ASSERT_NE(doc, nullptr);
    // A leading impulse above sines of whole cycles per block: the Auto trigger at offset 0
    // finds the block's first sample.
    t.Set({"1:ch1.wave=Impulse", "1:ch1.level=50", "1:ch2.level=0", "2:ch1.wave=Sine",
           "2:ch1.freq=937.5", "2:ch1.level=40", "2:ch2.wave=Sine", "2:ch2.freq=2812.5",
           "2:ch2.level=70", "3:in=JACK", "3:out=JACK", "3:mode=Rec./Play", "3:rate=48000",
           "3:offset=0"});
    const auto& sio = t.Step<CSoundIOView>(3);
    long position = -1;
    int judged = 0;
    for (int pass = 0; pass < 40 && judged < 10; ++pass) {
        const int64_t lost = sio.GetLostSamples();
        ASSERT_TRUE(t.Run(1)) << ::testing::PrintToString(t.TakeShown());
        if (sio.GetLostSamples() != lost) continue;
        ++judged;
        if (position < 0) position = sio.GetReadPosition();
        EXPECT_EQ(sio.GetReadPosition(), position) << "pass " << pass;
        const CDSPFFTDataList& played = *doc->GetView(1)->GetWorkingList();
        const CDSPFFTDataList& recorded = *doc->GetCurrentList();
        int wrong = 0;
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < 1024; ++i)
                wrong += std::trunc(played.GetAt(c)->GetTimeObj()->GetDataPointer()[i] * 32767.0) !=
                         recorded.GetAt(c)->GetTimeObj()->GetDataPointer()[i] * 32768.0;
        EXPECT_EQ(wrong, 0) << "pass " << pass;
    }
    // Frames lost in every pass are the server's doing only when it reported xruns.
    if (judged == 0 && sio.GetRunWarning().find("xrun") != std::string::npos)
        GTEST_SKIP() << "the server lost frames in every pass: " << sio.GetRunWarning();
    EXPECT_GT(judged, 0) << sio.GetRunWarning();
    std::cout << "[ JACK     ] round trip: block at frame " << position / 4
              << " of the recording, latency " << position / 4 - CSoundIOView::kLeadInFrames
              << " frames after the lead-in (server period " << jack.GetBufferSize() << "); "
              << sio.GetRunWarning() << "\n";
}

// The first pass is not judged: the server wires the counter to our ports at a cycle boundary
// after the recording may have started. A machine too busy for the server (xruns) may skip
// cycles, but the frames the counter moved on by beyond the samples recorded must all be counted
// as lost (a client reading the server's clock late may count one period more at a break);
// without xruns, no sample is missing or repeated.
TEST(JackLoopback, GaplessPassesOfACounterMissAndRepeatNoSample) {
    REQUIRE_JACK_SERVER();
    CCounterClient counter(DefaultServer());
    ASSERT_TRUE(counter.Ok());
    CJackPorts ports;
    ports.inputs = {counter.Port(0), counter.Port(1)};
    CJackAudio jack(ports);
    CModuleProcess t;
    t.UseCard(&jack);
    CDspDoc* doc = t.Create({"Signal Generator", "SoundIO"}, 1024, 48000);
    ASSERT_NE(doc, nullptr);
    t.Set({"2:in=JACK", "2:mode=Rec. Only", "2:rate=48000", "2:gapless=1"});
    const auto& sio = t.Step<CSoundIOView>(2);
    ASSERT_TRUE(t.Run(1)) << ::testing::PrintToString(t.TakeShown());
    const int64_t lostBefore = sio.GetLostSamples();
    std::vector<long> counts;
    for (int pass = 0; pass < 100; ++pass) {
        ASSERT_TRUE(t.Run(1)) << ::testing::PrintToString(t.TakeShown());
        const CDSPFFTDataList& block = *doc->GetCurrentList();
        for (int c = 0; c < 2; ++c) {
            const double* x = block.GetAt(c)->GetTimeObj()->GetDataPointer();
            for (int i = 0; i < 1024; ++i)
                if (c == 0)
                    counts.push_back(std::lround(x[i] * 32768.0) + 32768);
                else
                    ASSERT_EQ(std::lround(x[i] * 32768.0) + 32768,
                              counts[counts.size() - 1024 + size_t(i)]);
        }
    }
    long breaks = 0, skipped = 0; // the counter's advance beyond one per sample
    for (size_t i = 1; i < counts.size(); ++i) {
        const long step = (counts[i] - counts[i - 1] + 65536 + 32768) % 65536 - 32768;
        breaks += step != 1;
        skipped += step - 1;
    }
    const int64_t lost = sio.GetLostSamples() - lostBefore;
    const std::string warning = sio.GetRunWarning();
    if (counter.Dropped()) GTEST_SKIP() << "the server dropped the counter client; " << warning;
    EXPECT_GE(lost, skipped) << warning;
    EXPECT_LE(lost, skipped + breaks * jack.GetBufferSize()) << warning;
    if (warning.find("xrun") == std::string::npos) {
        EXPECT_EQ(breaks, 0);
        EXPECT_EQ(lost, 0);
    }
    std::cout << "[ JACK     ] gapless: " << counts.size() << " samples in 100 passes, " << breaks
              << " breaks in the counter, which skipped " << skipped << " frames, " << lost
              << " counted as lost; " << warning << "\n";
}

// Ports that appear after our client listed them are offered once a run reads the devices
// anew; a process keeps the pair it records from by name (its place in the list shifts with
// the server's ports), and one naming ports that are gone opens and runs on the ports of the
// settings file, or without a server on the device at its stored place, and says so.
TEST(JackLoopback, PortsThatComeAndGoAreListedAndAProcessKeepsItsPairByName) {
    REQUIRE_JACK_SERVER();
    CJackPorts own; // "JACK" records our own outputs: PipeWire may have no system ports
    own.inputs = {"aurivo:out_1", "aurivo:out_2"};
    CJackAudio jack(own); // lists the server before the counter's ports exist
    const std::string pair = "JACK:counter:out_1,counter:out_2";
    const std::string path = testing::TempDir() + "jack-ports.process";
    auto counter = std::make_unique<CCounterClient>(DefaultServer());
    {
        CModuleProcess t;
        t.UseCard(&jack);
        ASSERT_NE(t.Create({"Signal Generator", "SoundIO"}, 1024, 48000), nullptr);
        t.Set({"2:mode=Rec. Only", "2:rate=48000"});
        ASSERT_TRUE(t.Run(1)) << ::testing::PrintToString(t.TakeShown());
        t.Set({"2:in=" + pair});
        ASSERT_TRUE(t.Run(2)) << ::testing::PrintToString(t.TakeShown());
        const double* x = t.Doc().GetCurrentList()->GetAt(0)->GetTimeObj()->GetDataPointer();
        EXPECT_TRUE(counter->Dropped() || std::lround((x[1] - x[0]) * 32768.0) == 1)
            << "not the counter's ports";
        ASSERT_TRUE(t.Save(path));
    }
    const auto opened = [&](IAudioSystem& card) {
        auto t = std::make_unique<CModuleProcess>();
        t->UseCard(&card);
        EXPECT_NE(t->Open(path), nullptr);
        return t;
    };
    // A port of another client listed before the pair moves it down the list.
    CCounterClient before(DefaultServer(), "another");
    {
        const auto t = opened(jack);
        EXPECT_EQ(SettingOf(t->Step(2), "In"), pair);
        EXPECT_THAT(t->TakeMessages(), testing::Each(testing::Not(testing::HasSubstr("JACK"))));
    }

    counter.reset();
    CStalledCard noJack;
    const struct {
        IAudioSystem* card;
        std::string device, message;
    } gone[] = {
        {&jack, "JACK",
         "JACK ports counter:out_1 and counter:out_2 are gone; recording from the JACK ports of "
         "the settings file (the system's if it names none) instead"},
        {&noJack, "Stalled",
         "JACK ports counter:out_1 and counter:out_2 are gone: no JACK server runs; recording "
         "from device Stalled instead"},
    };
    for (const auto& c : gone) {
        const auto t = opened(*c.card);
        EXPECT_THAT(t->TakeMessages(), testing::Contains(c.message));
        EXPECT_EQ(SettingOf(t->Step(2), "In"), c.device);
    }
}

/** A jackd of the test's own, so that killing it leaves the fixture's server to the other tests.
 *  The user's JACK servers share a registry of eight entries, and one killed outright keeps its
 *  entry until a server of the same name starts again: a few killed servers of other names
 *  would leave no room for any server, the fixture's included. So the killed server's entry is
 *  reclaimed by starting it once more and stopping it in order. */
class CServerToKill {
public:
    explicit CServerToKill(std::string name) : m_name(std::move(name)) { m_pid = Start(); }
    ~CServerToKill() {
        if (m_pid == 0) m_pid = Start();
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    /** Our client of it, once it answers (null when it does not within 5 s). */
    std::unique_ptr<CJackAudio> Connect() const {
        CJackPorts ports;
        ports.server = m_name;
        for (int i = 0; i < 50; ++i) {
            auto jack = std::make_unique<CJackAudio>(ports);
            if (jack->IsServerRunning()) return jack;
            usleep(100000);
        }
        return nullptr;
    }
    void Kill() {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = 0;
    }

private:
    pid_t Start() const {
        const char* argv[] = {"jackd", "-n",    m_name.c_str(), "--no-realtime", "-d",   "dummy",
                              "-r",    "48000", "-p",           "256",           nullptr};
        pid_t pid = -1;
        if (posix_spawnp(&pid, "jackd", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
            return -1;
        // Stopped before it has registered, it would keep the entry after all.
        if (!Connect()) ADD_FAILURE() << "jackd -n " << m_name << " does not answer";
        return pid;
    }
    std::string m_name;
    pid_t m_pid = -1;
};

TEST(JackLoopback, AServerKilledMidRunStopsTheRunWithAMessageAndKeepsTheDocument) {
    REQUIRE_JACK_SERVER();
    CServerToKill server(DefaultServer() + "-killed");
    const std::unique_ptr<CJackAudio> jack = server.Connect();
    ASSERT_TRUE(jack);
    CModuleProcess t;
    t.UseCard(jack.get());
    CDspDoc* doc = t.Create({"Signal Generator", "SoundIO"}, 1024, 48000);
    ASSERT_NE(doc, nullptr);
    t.Set({"2:in=JACK", "2:mode=Rec. Only", "2:rate=48000", "2:gapless=1"});
    ASSERT_TRUE(t.Run(3)) << ::testing::PrintToString(t.TakeShown());
    const std::string before = testing::TempDir() + "jack-killed-before.process";
    const std::string after = testing::TempDir() + "jack-killed-after.process";
    ASSERT_TRUE(t.Save(before));

    server.Kill();
    const auto killed = std::chrono::steady_clock::now();
    bool running = true;
    for (int pass = 0; pass < 1000 && running; ++pass)
        running = t.Run(1);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - killed).count();
    EXPECT_FALSE(running);
    EXPECT_LT(seconds, 1024 / 48000.0 + 2.0);
    const std::vector<std::string> shown = t.TakeShown();
    ASSERT_FALSE(shown.empty());
    EXPECT_NE(shown.back().find("The JACK server stopped"), std::string::npos) << shown.back();
    ASSERT_TRUE(t.Save(after));
    EXPECT_EQ(ReadFile(after), ReadFile(before));
    std::cout << "[ JACK     ] server killed: the run stopped after " << seconds << " s with \""
              << shown.back() << "\"\n";
}

} // namespace
