// Where the played block starts in a Record+Play recording under each trigger rule, and the
// recording buffer's size at low rates, on a hand-made 16-bit stereo recording.
#include "platform/WaveFormat.h"
#include "soundio/SoundIOSamples.h"

#include <gtest/gtest.h>

namespace {

using S = CSoundIOSamples;

// 2000 frames of silence with a half-scale pulse on channel 1 at frame 300 (byte 1200). A block
// of 256 frames repeated twice puts each repetition (64 lead-in + 256 frames) 1280 bytes apart;
// the offset of -20 frames is -80 bytes.
TEST(SoundIOSamples, ReadPositionFollowsTheTriggerRules) {
    const S pcm{16, 2, 256.0, 1, true};
    CWaveHeader pulse{.data = std::vector<uint8_t>(8000, 0), .bytesRecorded = 8000};
    pulse.data[1201] = 0x40; // 16384
    const CWaveHeader nothing{.data = std::vector<uint8_t>(8000, 0), .bytesRecorded = 0};
    const std::tuple<const CWaveHeader*, S::CTriggerSettings, S::EReadPosition, long> cases[] = {
        {&pulse, {S::kAuto, 10, -20}, S::kFound, 1200 + 1280 - 80},
        {&pulse, {S::kManual, 40, -20}, S::kFound, 1200 + 1280 - 80},
        {&pulse, {S::kManual, 60, -20}, S::kNoTrigger, 0},
        {&nothing, {S::kAuto, 10, -20}, S::kNoTrigger, 0},
        {&pulse, {S::kManual, 40, -20, 0, true}, S::kFound, 1200 - 80},
        {&nothing, {S::kLatency, 10, -20, 100}, S::kFound, 400 + 1280 - 80},
        {&pulse, {S::kLatency, 10, 0, 100, true, true}, S::kFound, 1200 + 1280},
        {&nothing, {S::kLatency, 10, 0, 100, true, true}, S::kKeepBlock, 0}};
    for (const auto& [recording, settings, found, position] : cases) {
        const S::CReadPosition read = pcm.ReadPosition(*recording, settings);
        EXPECT_EQ(std::pair(read.found, read.position), std::pair(found, position))
            << "mode " << settings.mode << " level " << settings.level;
    }
    // 304 frames measured at 48 kHz are stored as 0.00633333 s.
    EXPECT_EQ(S::LatencyFrames(48000, 0.00633333), 304);
    EXPECT_EQ(S::LatencyFrames(48000, -0.001), 0);
}

// 0.4 s beyond the repetitions, unless the repetitions' lead-ins need more.
TEST(SoundIOSamples, RecordingBufferHoldsEveryRepetitionWithItsLeadIn) {
    EXPECT_EQ((S{16, 2, 256.0, 1, true}.RecordPlayBytes(8000)), 12800u + 2048u);
    EXPECT_EQ((S{16, 2, 256.0, 9, true}.RecordPlayBytes(100)), 10u * (256 + 1024));
}

} // namespace
