// The virtual loopback card at the device interface: pacing by the event pump, the model's
// delay and gain on 16-bit and 8-bit data, noise statistics and seeding, and the model's keys.
#include "SoundIOTestProcess.h"
#include "platform/EventPump.h"
#include "platform/MemorySettings.h"
#include "platform/VirtualCard.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct CCompletions : IWaveClient {
    int in = 0, out = 0;
    void OnWimData(CWaveHeader*) override { ++in; }
    void OnWomDone(CWaveHeader*) override { ++out; }
};

// Plays `played` and records as many bytes; returns the recording after one pump round.
std::vector<uint8_t> Exchange(const CDeviceModel& model, const CWaveFormat& f,
                              const std::vector<uint8_t>& played) {
    CVirtualCard card(model);
    CEventPump pump;
    CCompletions done;
    CWaveHeader out, in;
    out.data = played;
    in.data.assign(played.size(), 0);
    std::unique_ptr<IWaveDevice> input, output;
    EXPECT_EQ(card.Open(true, 0, f, &done, pump, input), kAudioOk);
    EXPECT_EQ(card.Open(false, 0, f, &done, pump, output), kAudioOk);
    EXPECT_EQ(card.Open(true, 0, f, &done, pump, input), kAudioAllocated);
    EXPECT_EQ(input->AddBuffer(&in), kAudioOk);
    EXPECT_EQ(input->Start(), kAudioOk);
    EXPECT_EQ(output->AddBuffer(&out), kAudioOk);
    // One pump round completes one buffer each way, in no wall time.
    pump.DispatchPending(0);
    EXPECT_EQ(done.in, 1);
    EXPECT_EQ(done.out, 1);
    EXPECT_EQ(in.bytesRecorded, played.size());
    return in.data;
}

TEST(VirtualCard, PlayedPulsesReturnAfterTheModelLatencyScaledByItsGain) {
    std::vector<uint8_t> pcm(4000, 0); // 1000 frames of 16-bit stereo
    pcm[40] = 0x20, pcm[41] = 0x4E;    // frame 10, channel 1: 20000
    pcm[82] = 0x80, pcm[83] = 0xC1;    // frame 20, channel 2: -16000
    std::vector<uint8_t> expected(4000, 0);
    expected[440] = 0x10, expected[441] = 0x27; // frame 110: 10000
    expected[482] = 0xC0, expected[483] = 0xE0; // frame 120: -8000
    EXPECT_EQ(Exchange(CleanModel(100, 0.5), {2, 48000, 16}, pcm), expected);

    std::vector<uint8_t> eight(64, 128), heard(64, 128); // 8-bit mono: silence is 128
    eight[0] = heard[3] = 128 + 64;
    EXPECT_EQ(Exchange(CleanModel(3), {1, 8000, 8}, eight), heard);
}

TEST(VirtualCard, FormatsOutsideTheFifteenRatesOrTwoResolutionsAreRefused) {
    CVirtualCard card;
    EXPECT_EQ(card.QueryFormat(true, 0, {2, 44100, 16}), kAudioOk);
    EXPECT_EQ(card.QueryFormat(false, 0, {1, 5000, 8}), kAudioOk);
    EXPECT_EQ(card.QueryFormat(true, 0, {2, 44000, 16}), kWaveBadFormat);
    EXPECT_EQ(card.QueryFormat(true, 0, {2, 48000, 24}), kWaveBadFormat);
    EXPECT_EQ(card.QueryFormat(true, 0, {3, 48000, 16}), kWaveBadFormat);
    EXPECT_EQ(card.QueryFormat(true, 1, {2, 48000, 16}), kAudioBadDeviceId);
}

TEST(VirtualCard, NoiseHasTheModelRmsAndRepeatsFromItsSeed) {
    CDeviceModel model = CleanModel(0);
    model.noise = 0.01;
    CDeviceUnderTest line(model);
    const std::vector<double> first = line.Record(0, 20000, 1);
    double sum = 0.0;
    for (double v : first)
        sum += v * v;
    // 20000 samples estimate the RMS within about 1 %.
    EXPECT_NEAR(std::sqrt(sum / 20000.0), 0.01, 0.0003);
    line.Reseed();
    EXPECT_EQ(line.Record(20000, 20000, 1), first);
}

TEST(VirtualCard, ModelKeysAreReadFromTheSettingsOrKeepTheirDefault) {
    const CDeviceModel d;
    const struct {
        const char *key, *value;
        int latency;
        double gain, noise;
        std::vector<double> response, harmonics;
    } cases[] = {
        {"Latency", "480", 480, d.gain, d.noise, d.response, d.harmonics},
        {"Latency", "-5", d.latency, d.gain, d.noise, d.response, d.harmonics},
        {"Gain", " 0.25 ", d.latency, 0.25, d.noise, d.response, d.harmonics},
        {"Gain", "loud", d.latency, d.gain, d.noise, d.response, d.harmonics},
        {"Response", "1,0.5, -0.25", d.latency, d.gain, d.noise, {1.0, 0.5, -0.25}, d.harmonics},
        {"Response", "1,,2", d.latency, d.gain, d.noise, d.response, d.harmonics},
        {"Harmonics", "0.02", d.latency, d.gain, d.noise, d.response, {0.02}},
        {"Noise", "-1", d.latency, d.gain, d.noise, d.response, d.harmonics},
        {"Noise", "0", d.latency, d.gain, 0.0, d.response, d.harmonics},
    };
    for (const auto& c : cases) {
        CMemorySettings store;
        store.SetString(CDeviceModel::kSection, c.key, c.value);
        const CDeviceModel m = CDeviceModel::Load(store);
        EXPECT_EQ(m.latency, c.latency) << c.key << "=" << c.value;
        EXPECT_EQ(m.gain, c.gain) << c.key << "=" << c.value;
        EXPECT_EQ(m.noise, c.noise) << c.key << "=" << c.value;
        EXPECT_EQ(m.response, c.response) << c.key << "=" << c.value;
        EXPECT_EQ(m.harmonics, c.harmonics) << c.key << "=" << c.value;
    }
}

} // namespace
