// Record+Play through real ALSA: the "pulse" device of a private PulseAudio server whose null
// sink's monitor returns what is played (started by .ci/sound-server as a test fixture). The
// block found by the trigger must be the played block exactly, sample for sample in 16-bit,
// wherever the server put it in the recording.
#include "common/ModuleProcess.h"
#include "modules/sweep/SweepView.h"
#include "platform/alsa/AlsaAudio.h"
#include "soundio/SoundIOView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <fstream>
#include <numbers>

namespace {

std::string ServerStatus() {
    const char* path = std::getenv("AURIVO_SOUND_SERVER_STATUS");
    std::ifstream in(path ? path : "");
    std::string status;
    std::getline(in, status);
    return path ? status : "no sound server was started for this test";
}

TEST(AlsaLoopback, RecordPlayThroughPulseReturnsThePlayedBlockExactly) {
    const std::string status = ServerStatus();
    if (status != "running") GTEST_SKIP() << "Sound server unavailable: " << status;

    // The card outlives the process whose SoundIO step holds its open devices.
    CAlsaAudio alsa({"pulse"});
    CModuleProcess t;
    t.UseCard(&alsa);
    CDspDoc* doc = t.Create({"Signal Generator", "Signal Generator", "SoundIO"}, 1024, 48000);
    ASSERT_NE(doc, nullptr);
    // A leading impulse above sines of whole cycles per block (20 and 60 bins of 46.875 Hz),
    // so every block starts at phase 0 and its first sample is its peak: the Auto trigger with
    // offset 0 finds the block's first sample.
    t.Set({"1:ch1.wave=Impulse", "1:ch1.level=50", "1:ch2.level=0", "2:ch1.wave=Sine",
           "2:ch1.freq=937.5", "2:ch1.level=40", "2:ch2.wave=Sine", "2:ch2.freq=2812.5",
           "2:ch2.level=70", "3:in=pulse", "3:out=pulse", "3:mode=Rec./Play", "3:rate=48000",
           "3:offset=0"});
    // A machine too busy to feed the device in time loses samples to an xrun; such a pass
    // is repeated, a few times at most.
    ASSERT_TRUE(t.Run(1)) << ::testing::PrintToString(t.TakeShown());
    auto mismatches = [&] {
        const CDSPFFTDataList& played = *doc->GetView(1)->GetWorkingList();
        const CDSPFFTDataList& recorded = *doc->GetCurrentList();
        int count = 0;
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < 1024; ++i) {
                const double sent =
                    std::trunc(played.GetAt(c)->GetTimeObj()->GetDataPointer()[i] * 32767.0);
                count += sent != recorded.GetAt(c)->GetTimeObj()->GetDataPointer()[i] * 32768.0;
            }
        return count;
    };
    int passes = 0, wrong = 0;
    do {
        ASSERT_TRUE(t.Run(1)) << ::testing::PrintToString(t.TakeShown());
        wrong = mismatches();
    } while (wrong != 0 && ++passes < 5);
    EXPECT_EQ(wrong, 0);
    const auto& sio = t.Step<CSoundIOView>(3);
    std::cout << "[ ALSA     ] pulse round trip: block found at byte " << sio.GetReadPosition()
              << " of the recording, " << alsa.GetXrunCount() << " xruns\n";
}

// Ten passes of an impulse through the sound server: where the impulse comes back in the
// recording moves from pass to pass (the server starts each exchange's playback when it next
// mixes), and the Manual trigger finds it every time, 20 frames into the block as its offset
// says. The spread is printed for the README's advice on which trigger to use.
TEST(AlsaLoopback, TheTriggerFindsTheImpulseEveryPassWhereverTheServerPutsIt) {
    const std::string status = ServerStatus();
    if (status != "running") GTEST_SKIP() << "Sound server unavailable: " << status;
    CAlsaAudio alsa({"pulse"});
    CModuleProcess t;
    t.UseCard(&alsa);
    CDspDoc* doc = t.Create({"Signal Generator", "SoundIO"}, 1024, 48000);
    ASSERT_NE(doc, nullptr);
    t.Set({"1:ch1.wave=Impulse", "1:ch1.level=50", "1:ch2.wave=Impulse", "1:ch2.level=50",
           "2:in=pulse", "2:out=pulse", "2:mode=Rec./Play", "2:rate=48000", "2:trigger=Manual",
           "2:trglev=10", "2:offset=-20"});
    const auto& sio = t.Step<CSoundIOView>(2);
    ASSERT_TRUE(t.Run(1)) << ::testing::PrintToString(t.TakeShown());
    long first = 1L << 30, last = 0;
    auto xruns = alsa.GetXrunCount();
    const double impulse = std::trunc(0.5 * 32767.0) / 32768.0;
    for (int pass = 0; pass < 10; ++pass) {
        if (pass > 0) {
            t.Loop().Step(*doc);
            t.Loop().Step(*doc);
            ASSERT_TRUE(doc->IsRunning()) << ::testing::PrintToString(t.TakeShown());
        }
        // A machine too busy to feed the device loses samples to an xrun; such a pass is
        // not judged.
        if (alsa.GetXrunCount() != xruns) {
            xruns = alsa.GetXrunCount();
            continue;
        }
        const long frame = sio.GetReadPosition() / 4 + 20;
        first = std::min(first, frame);
        last = std::max(last, frame);
        const CDSPFFTDataList& block = *doc->GetCurrentList();
        for (int c = 0; c < 2; ++c) {
            const double* x = block.GetAt(c)->GetTimeObj()->GetDataPointer();
            EXPECT_EQ(x[19], 0.0) << pass;
            EXPECT_EQ(x[20], impulse) << pass;
        }
    }
    std::cout << "[ ALSA     ] pulse round trip over 10 passes: impulse at frames " << first
              << " to " << last << " of the recording (" << (last - first) / 48.0
              << " ms spread at 48 kHz), " << xruns << " xruns\n";
}

// The swept-sine measurement through the same real path. The loop returns the played samples
// truncated to 16 bits, so its truth is a wire: 0 dB (less the truncation's 32767/32768), no
// phase once the delay is removed, and no distortion above the 16-bit floor. The delay is
// wherever the server put the sweep, and is printed with the worst errors for the record.
TEST(AlsaLoopback, TheSweepAnalyzerMeasuresTheLoopAsAWire) {
    const std::string status = ServerStatus();
    if (status != "running") GTEST_SKIP() << "Sound server unavailable: " << status;
    CAlsaAudio alsa({"pulse"});
    CModuleProcess t;
    t.UseCard(&alsa);
    ASSERT_NE(t.Create({"Signal Generator", "SoundIO", "Sweep Analyzer"}, 65536, 48000), nullptr);
    for (const char* c : {"ch1.", "ch2."})
        for (const char* s :
             {"wave=Sync Log Sweep", "level=80", "sweepstart=20", "sweepstop=20000", "sweeptime=1"})
            t.Set(1, {std::string(c) + s});
    for (CLatencyCal& latency : t.Step<CSoundIOView>(2).GetCalibration()->Latency)
        latency.LatencyParams = "0.00000000 Sec.";
    t.Set({"2:in=pulse", "2:out=pulse", "2:mode=Rec./Play", "2:rate=48000", "2:trigger=Latency",
           "2:offset=0"});
    const CSweepView& sweep = t.Step<CSweepView>(3);
    // A pass that lost samples to an xrun measures a broken sweep; such a pass is repeated.
    const CSweepResponse* r = nullptr;
    for (int pass = 0; pass < 5 && !r; ++pass) {
        const auto xruns = alsa.GetXrunCount();
        ASSERT_TRUE(t.Run(1)) << ::testing::PrintToString(t.TakeShown());
        if (alsa.GetXrunCount() == xruns) r = sweep.GetResponse(1);
    }
    ASSERT_NE(r, nullptr) << "every pass had an xrun";
    const double wire = 20 * std::log10(32767.0 / 32768.0);
    double worstDb = 0, worstDeg = 0, worstThd = -200;
    for (size_t i = 0; i < r->frequency.size(); ++i) {
        if (r->frequency[i] < 40.0 || r->frequency[i] > 10000.0) continue;
        worstDb = std::max(worstDb, std::fabs(20 * std::log10(std::abs(r->response[i])) - wire));
        worstDeg = std::max(worstDeg, std::fabs(std::arg(r->response[i]) * 180 / std::numbers::pi));
        if (!std::isnan(r->thd[i])) worstThd = std::max(worstThd, 20 * std::log10(r->thd[i]));
    }
    EXPECT_LT(worstDb, 0.05);
    EXPECT_LT(worstDeg, 0.5);
    EXPECT_LT(worstThd, -70.0);
    std::cout << "[ ALSA     ] sweep through pulse, 40 Hz - 10 kHz: |H| within " << worstDb
              << " dB, phase within " << worstDeg << " deg, THD at most " << worstThd
              << " dB, delay " << r->delay << " samples\n";
}

} // namespace
