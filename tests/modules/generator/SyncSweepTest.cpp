// The "Sync Log Sweep" wave: every block starts the same synchronized exponential sweep at the
// channel's level and falls silent after it; settings no sweep can be played with are refused
// at the start of the run, by channel; a process using the wave stores its number and opens
// again.
#include "Generator.h"
#include "common/TempFolder.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kFs = 48000.0;
constexpr int kN = 16384;

void SetSweep(CModuleProcess& p, const std::string& start, const std::string& stop,
              const std::string& time) {
    p.Set(1, {"ch1.wave=Sync Log Sweep", "ch1.level=50", "ch1.sweepstart=" + start,
              "ch1.sweepstop=" + stop, "ch1.sweeptime=" + time});
}

TEST(SyncSweep, EveryBlockPlaysTheSynchronizedSweepThenSilence) {
    CModuleProcess p;
    MakeGenerators(p, kN, kFs);
    SetSweep(p, "100", "20000", "0.25");
    // f1 L whole: L = round(100 * 0.25 / ln 200) / 100 = 0.05 s, so 0.05 ln 200 s of sweep.
    const long double rate = 0.05L;
    const long double duration = rate * std::log(200.0L);
    const size_t samples = size_t(std::floor(duration * kFs)) + 1;
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_TRUE(p.Pass()) << testing::PrintToString(p.TakeMessages());
        const std::vector<double> out = p.Out(1);
        // Between the fades (the first half octave, the last twelfth) the pure sweep.
        for (size_t i : {size_t(2000), size_t(5000), size_t(10000)}) {
            const long double t = i / kFs;
            const long double x =
                0.5L * std::sin(2 * std::numbers::pi_v<long double> * 5 * std::exp(t / rate));
            EXPECT_NEAR(out[i], double(x), 1e-9) << "sample " << i;
        }
        EXPECT_EQ(out[0], 0.0);
        for (size_t i = samples; i < out.size(); ++i)
            ASSERT_EQ(out[i], 0.0) << "the tail is silent from sample " << i;
        EXPECT_NE(out[samples - 40], 0.0);
    }
}

TEST(SyncSweep, RefusesSweepsThatCannotBePlayed) {
    for (const auto& [start, stop, time, mode, words] :
         std::vector<std::tuple<const char*, const char*, const char*, const char*, const char*>>{
             {"20000", "100", "0.25", "Constant", "below the stop frequency"},
             {"100", "30000", "0.25", "Constant", "above half the sample rate"},
             {"100", "20000", "0.05", "Constant", "too short"},
             {"100", "20000", "0.5", "Constant", "do not fit the block"},
             {"100", "20000", "0.25", "Lin Sweep", "Sweeps by Itself"}}) {
        CModuleProcess p;
        MakeGenerators(p, kN, kFs);
        SetSweep(p, start, stop, time);
        p.Set(1, {std::string("ch1.mode=") + mode});
        EXPECT_FALSE(p.Pass()) << words;
        const std::vector<std::string> messages = p.TakeMessages();
        ASSERT_EQ(messages.size(), 1u) << words;
        EXPECT_THAT(messages[0], testing::StartsWith("Ch1 ")) << messages[0];
        EXPECT_THAT(messages[0], testing::HasSubstr(words));
    }
}

TEST(SyncSweep, IsStoredAsTheWaveAfterClipboardAndOpensAgain) {
    CTempFolder folder;
    const std::string path = folder.File("sweep.process");
    std::string error;
    {
        CModuleProcess p;
        MakeGenerators(p, kN, kFs);
        SetSweep(p, "100", "20000", "0.25");
        ASSERT_TRUE(p.Session().Save(path, error)) << error;
    }
    CModuleProcess q;
    ASSERT_TRUE(q.Session().Open(path, error)) << error;
    EXPECT_EQ(Bar(q, 1).m_waveType, kWaveClipboard + 1);
    EXPECT_EQ(SettingOf(q.Step(1), "Ch1 wave"), "Sync Log Sweep");
}

} // namespace
