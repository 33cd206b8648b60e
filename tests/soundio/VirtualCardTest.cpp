// The virtual loopback card at the device interface: pacing by the event pump, the model's
// delay and gain on 16-bit and 8-bit data, noise statistics and seeding, and the model's keys.
#include "platform/EventPump.h"
#include "platform/MemorySettings.h"
#include "platform/VirtualCard.h"
#include "SoundIOTestProcess.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct CCompletions : IWaveClient {
    int in = 0, out = 0;
    void OnWimData(CWaveHeader*) override { ++in; }
    void OnWomDone(CWaveHeader*) override { ++out; }
};

int16_t Sample16(const CWaveHeader& h, size_t frame, int channels, int channel) {
    const size_t at = (frame * size_t(channels) + size_t(channel)) * 2;
    return static_cast<int16_t>(h.data[at] | (h.data[at + 1] << 8));
}

void Put16(CWaveHeader& h, size_t frame, int channels, int channel, int16_t v) {
    const size_t at = (frame * size_t(channels) + size_t(channel)) * 2;
    h.data[at] = static_cast<uint8_t>(uint16_t(v) & 0xFF);
    h.data[at + 1] = static_cast<uint8_t>(uint16_t(v) >> 8);
}

// Plays `out` and records a buffer of the same size, pumping until both are back.
void Exchange(CVirtualCard& card, const CWaveFormat& f, CWaveHeader& out, CWaveHeader& in,
              CCompletions& done, int& rounds) {
    CEventPump pump;
    std::unique_ptr<IWaveDevice> input, output;
    ASSERT_EQ(card.Open(true, 0, f, &done, pump, input), kAudioOk);
    ASSERT_EQ(card.Open(false, 0, f, &done, pump, output), kAudioOk);
    EXPECT_EQ(card.Open(true, 0, f, &done, pump, input), kAudioAllocated);
    ASSERT_EQ(input->AddBuffer(&in), kAudioOk);
    ASSERT_EQ(input->Start(), kAudioOk);
    ASSERT_EQ(output->AddBuffer(&out), kAudioOk);
    rounds = 0;
    while ((done.in == 0 || done.out == 0) && rounds < 10) {
        pump.DispatchPending(0);
        ++rounds;
    }
}

TEST(VirtualCard, PlayedPulseReturnsAfterTheModelLatencyScaledByItsGain) {
    CVirtualCard card(CleanModel(100, 0.5));
    const CWaveFormat f{2, 48000, 16};
    CWaveHeader out, in;
    out.data.assign(4000, 0); // 1000 frames
    in.data.assign(4000, 0);
    Put16(out, 10, 2, 0, 20000);
    Put16(out, 20, 2, 1, -16000);
    CCompletions done;
    int rounds = 0;
    Exchange(card, f, out, in, done, rounds);
    EXPECT_EQ(rounds, 1); // one pump round completes one buffer each way, in no wall time
    EXPECT_EQ(in.bytesRecorded, 4000u);
    for (size_t k = 0; k < 1000; ++k) {
        EXPECT_EQ(Sample16(in, k, 2, 0), k == 110 ? 10000 : 0) << k;
        EXPECT_EQ(Sample16(in, k, 2, 1), k == 120 ? -8000 : 0) << k;
    }
}

TEST(VirtualCard, EightBitSilenceComesBackSilent) {
    CVirtualCard card(CleanModel(3));
    const CWaveFormat f{1, 8000, 8};
    CWaveHeader out, in;
    out.data.assign(64, 128);
    out.data[0] = 128 + 64;
    in.data.assign(64, 0);
    CCompletions done;
    int rounds = 0;
    Exchange(card, f, out, in, done, rounds);
    for (size_t k = 0; k < 64; ++k)
        EXPECT_EQ(in.data[k], k == 3 ? 128 + 64 : 128) << k;
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

TEST(VirtualCard, HarmonicCoefficientsAndFilterShapeTheLine) {
    CDeviceModel model = CleanModel(0, 2.0);
    model.harmonics = {0.5, 0.25}; // y = x + 0.5 x^2 + 0.25 x^3
    model.response = {0.75, 0.25};
    CDeviceUnderTest line(model);
    line.Play(0, {0.5, -0.5}, 1);
    const std::vector<double> heard = line.Record(0, 3, 1);
    const double y0 = 0.5 + 0.5 * 0.25 + 0.25 * 0.125;
    const double y1 = -0.5 + 0.5 * 0.25 - 0.25 * 0.125;
    EXPECT_DOUBLE_EQ(heard[0], 2.0 * 0.75 * y0);
    EXPECT_DOUBLE_EQ(heard[1], 2.0 * (0.75 * y1 + 0.25 * y0));
    EXPECT_DOUBLE_EQ(heard[2], 0.0); // the filter's tail falls where nothing else was played
}

struct CModelKeyCase {
    const char* key;
    const char* value;
    CDeviceModel expected;
};

class ModelKeys : public ::testing::TestWithParam<CModelKeyCase> {};

TEST_P(ModelKeys, ReadFromTheSettingsOrKeepTheDefault) {
    CMemorySettings store;
    store.SetString(CDeviceModel::kSection, GetParam().key, GetParam().value);
    const CDeviceModel m = CDeviceModel::Load(store);
    const CDeviceModel& e = GetParam().expected;
    EXPECT_EQ(m.latency, e.latency);
    EXPECT_EQ(m.gain, e.gain);
    EXPECT_EQ(m.response, e.response);
    EXPECT_EQ(m.harmonics, e.harmonics);
    EXPECT_EQ(m.noise, e.noise);
}

CDeviceModel With(void (*change)(CDeviceModel&)) {
    CDeviceModel m;
    change(m);
    return m;
}

INSTANTIATE_TEST_SUITE_P(
    VirtualCard, ModelKeys,
    ::testing::Values(
        CModelKeyCase{"Latency", "480", With([](CDeviceModel& m) { m.latency = 480; })},
        CModelKeyCase{"Latency", "-5", CDeviceModel{}},
        CModelKeyCase{"Gain", " 0.25 ", With([](CDeviceModel& m) { m.gain = 0.25; })},
        CModelKeyCase{"Gain", "loud", CDeviceModel{}},
        CModelKeyCase{"Response", "1,0.5, -0.25", With([](CDeviceModel& m) {
                          m.response = {1.0, 0.5, -0.25};
                      })},
        CModelKeyCase{"Response", "1,,2", CDeviceModel{}},
        CModelKeyCase{"Harmonics", "0.02", With([](CDeviceModel& m) { m.harmonics = {0.02}; })},
        CModelKeyCase{"Noise", "-1", CDeviceModel{}},
        CModelKeyCase{"Noise", "0", With([](CDeviceModel& m) { m.noise = 0.0; })}));

} // namespace
