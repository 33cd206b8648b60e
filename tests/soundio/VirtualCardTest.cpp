// The virtual loopback card at the device interface: pacing by the event pump, the model's
// delay and gain on 8, 16 and 24-bit and float data, noise statistics and seeding, and the model's
// keys.
#include "common/HexBytes.h"
#include "common/ModuleProcess.h"
#include "platform/EventPump.h"
#include "platform/MemorySettings.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct CCompletions : IWaveClient {
    int in = 0, out = 0;
    void OnWimData(CWaveHeader*) override { ++in; }
    void OnWomDone(CWaveHeader*) override { ++out; }
};

// Plays `played` and records as many bytes; one pump round completes one buffer each way, in
// no wall time.
std::vector<uint8_t> Exchange(const CDeviceModel& model, const CWaveFormat& f,
                              const std::vector<uint8_t>& played) {
    CVirtualCard card(model);
    CEventPump pump;
    CCompletions done;
    CWaveHeader out{.data = played}, in{.data = std::vector<uint8_t>(played.size())};
    std::unique_ptr<IWaveDevice> input, output;
    EXPECT_EQ(card.Open(true, 0, f, &done, pump, input), kAudioOk);
    EXPECT_EQ(card.Open(false, 0, f, &done, pump, output), kAudioOk);
    EXPECT_EQ(card.Open(true, 0, f, &done, pump, input), kAudioAllocated);
    EXPECT_EQ(input->AddBuffer(&in) + input->Start() + output->AddBuffer(&out), kAudioOk);
    pump.DispatchPending(0);
    EXPECT_EQ(done.in + done.out, 2);
    EXPECT_EQ(in.bytesRecorded, played.size());
    return in.data;
}

TEST(VirtualCard, PlayedPulsesReturnAfterTheModelLatencyScaledByItsGain) {
    std::vector<uint8_t> pcm(4000, 0), heard(4000, 0); // 1000 frames of 16-bit stereo
    pcm[40] = 0x20, pcm[41] = 0x4E;                    // frame 10, channel 1: 20000
    pcm[82] = 0x80, pcm[83] = 0xC1;                    // frame 20, channel 2: -16000
    heard[440] = 0x10, heard[441] = 0x27;              // frame 110: 10000
    heard[482] = 0xC0, heard[483] = 0xE0;              // frame 120: -8000
    EXPECT_EQ(Exchange(CleanModel(100, 0.5), {2, 48000, 16}, pcm), heard);
    std::vector<uint8_t> eight(64, 128), heard8(64, 128); // 8-bit mono: silence is 128
    eight[0] = heard8[3] = 128 + 64;
    EXPECT_EQ(Exchange(CleanModel(3), {1, 8000, 8}, eight), heard8);
    // 24-bit and float mono: 0.5 and -1.0 come back halved two frames later.
    EXPECT_EQ(Exchange(CleanModel(2, 0.5), {1, 8000, 24}, HexBytes("000040 000080 000000 000000")),
              HexBytes("000000 000000 000020 0000c0"));
    EXPECT_EQ(Exchange(CleanModel(2, 0.5), {1, 8000, 32, true},
                       HexBytes("0000003f 000080bf 00000000 00000000")),
              HexBytes("00000000 00000000 0000803e 000000bf"));

    CVirtualCard card; // fifteen rates, four resolutions, two channels, one device
    EXPECT_EQ(card.QueryFormat(true, 0, {2, 44100, 16}), kAudioOk);
    EXPECT_EQ(card.QueryFormat(false, 0, {1, 5000, 8}), kAudioOk);
    EXPECT_EQ(card.QueryFormat(true, 0, {2, 44000, 16}), kWaveBadFormat);
    EXPECT_EQ(card.QueryFormat(true, 0, {2, 48000, 24}), kAudioOk);
    EXPECT_EQ(card.QueryFormat(false, 0, {2, 48000, 32, true}), kAudioOk);
    EXPECT_EQ(card.QueryFormat(true, 0, {2, 48000, 32}), kWaveBadFormat);
    EXPECT_EQ(card.QueryFormat(true, 0, {2, 48000, 16, true}), kWaveBadFormat);
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

TEST(VirtualCard, ModelKeysAreReadFromTheSettingsWithinTheirRangesOrKeepTheirDefault) {
    const auto terms = [](int n) {
        std::string list = "0.5";
        for (int i = 1; i < n; ++i)
            list += ",0.5";
        return list;
    };
    const std::string sixtyFour = terms(64), sixtyFive = terms(65);
    const char* kSixtyFourTerms = sixtyFour.c_str();
    const char* kSixtyFiveTerms = sixtyFive.c_str();
    const auto text = [](const CDeviceModel& m) {
        return ::testing::PrintToString(
            std::tuple(m.latency, m.gain, m.response, m.harmonics, m.noise));
    };
    const std::tuple<const char*, const char*, void (*)(CDeviceModel&)> cases[] = {
        {"Latency", "480", [](CDeviceModel& m) { m.latency = 480; }},
        {"Latency", "0", [](CDeviceModel& m) { m.latency = 0; }},
        {"Gain", " 0.25 ", [](CDeviceModel& m) { m.gain = 0.25; }},
        {"Response", "1,0.5, -0.25",
         [](CDeviceModel& m) {
             m.response = {1.0, 0.5, -0.25};
         }},
        {"Harmonics", "0.02", [](CDeviceModel& m) { m.harmonics = {0.02}; }},
        {"Noise", "0", [](CDeviceModel& m) { m.noise = 0.0; }},
        {"Latency", "192000", [](CDeviceModel& m) { m.latency = 192000; }},
        {"Gain", "-1000", [](CDeviceModel& m) { m.gain = -1000.0; }},
        {"Response", "1000,-1000",
         [](CDeviceModel& m) {
             m.response = {1000.0, -1000.0};
         }},
        {"Harmonics", kSixtyFourTerms, [](CDeviceModel& m) { m.harmonics.assign(64, 0.5); }},
        {"Noise", "10", [](CDeviceModel& m) { m.noise = 10.0; }},
        {"Latency", "-5", nullptr},
        // A typo's delay line would take gigabytes: the default stands.
        {"Latency", "192001", nullptr},
        {"Latency", "2000000000", nullptr},
        {"Gain", "loud", nullptr},
        {"Gain", "1000.5", nullptr},
        {"Gain", "1e308", nullptr},
        {"Response", "1,,2", nullptr},
        {"Response", "1,-1001", nullptr},
        {"Harmonics", kSixtyFiveTerms, nullptr},
        {"Harmonics", "0.01,1e9", nullptr},
        {"Noise", "-1", nullptr},
        {"Noise", "10.01", nullptr}};
    for (const auto& [key, value, change] : cases) {
        CMemorySettings store;
        store.SetString(CDeviceModel::kSection, key, value);
        CDeviceModel expected;
        if (change) change(expected);
        EXPECT_EQ(text(CDeviceModel::Load(store)), text(expected)) << key << "=" << value;
    }
}

} // namespace
