// The periodic wave functions at eight phases of one cycle, and their resting values once a
// single cycle or single shot has finished.
#include "modules/generator/SigGenChanDlgBar.h"
#include "modules/generator/SigGenWaves.h"
#include "common/CaseName.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double r = 0.70710678118654752; // sin(pi / 4)

struct CWaveCase {
    const char* name;
    ESigGenWave wave;
    std::vector<double> atEighths; // at phases 0, pi/4, ..., 7 pi/4
    double resting;
};

class PeriodicWaves : public testing::TestWithParam<CWaveCase> {};

// Pulses run from a quarter to three quarters of the period. Once a single cycle or single shot
// has finished the wave rests (with the sign of its resting value); armed, it plays again.
TEST_P(PeriodicWaves, ValuesOverOneCycleAndAtRest) {
    CSigGenChanDlgBar bar{1};
    bar.m_waveType = GetParam().wave;
    bar.m_pulseStart = 0.25;
    bar.m_pulseStop = 0.75;
    bar.m_pulsePeriod = 1.0;
    for (ESigGenMode mode : {kModeConstant, kModeSingleCycle, kModeSingleShot}) {
        bar.m_mode = mode;
        for (int16_t flag : {CSigGenChanDlgBar::kRunArmed, CSigGenChanDlgBar::kRunFinished}) {
            bar.m_runFlag = flag;
            const bool resting = mode != kModeConstant && flag == CSigGenChanDlgBar::kRunFinished;
            for (int k = 0; k < 8; ++k) {
                bar.m_phase = k * std::numbers::pi / 4;
                const double v = PeriodicSample(bar);
                if (!resting) {
                    EXPECT_NEAR(v, GetParam().atEighths[size_t(k)], 1e-15) << "k pi/4, k " << k;
                } else {
                    EXPECT_EQ(v, GetParam().resting);
                    EXPECT_EQ(std::signbit(v), std::signbit(GetParam().resting));
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Waves, PeriodicWaves,
    testing::Values(
        CWaveCase{"Sine", kWaveSine, {0, r, 1, r, 0, -r, -1, -r}, 0.0},
        CWaveCase{"Sine180", kWaveSine180, {0, -r, -1, -r, 0, r, 1, r}, 0.0},
        CWaveCase{"Cosine", kWaveCosine, {1, r, 0, -r, -1, -r, 0, r}, 1.0},
        CWaveCase{"Cosine180", kWaveCosine180, {-1, -r, 0, r, 1, r, 0, -r}, 1.0},
        CWaveCase{"ACSquare", kWaveACSquare, {-1, -1, -1, -1, 1, 1, 1, 1}, -1.0},
        CWaveCase{"ACSquare180", kWaveACSquare180, {1, 1, 1, 1, -1, -1, -1, -1}, -1.0},
        CWaveCase{"DCPosSquare", kWaveDCPosSquare, {0, 0, 0, 0, 1, 1, 1, 1}, 0.0},
        CWaveCase{"DCPosSquare180", kWaveDCPosSquare180, {1, 1, 1, 1, 0, 0, 0, 0}, 0.0},
        CWaveCase{"DCNegSquare", kWaveDCNegSquare, {0, 0, 0, 0, -1, -1, -1, -1}, -0.0},
        CWaveCase{"DCNegSquare180", kWaveDCNegSquare180, {-1, -1, -1, -1, 0, 0, 0, 0}, -0.0},
        CWaveCase{"Triangle", kWaveTriangle, {0, 0.5, 1, 0.5, 0, -0.5, -1, -0.5}, 0.0},
        CWaveCase{"Triangle180", kWaveTriangle180, {0, -0.5, -1, -0.5, 0, 0.5, 1, 0.5}, 0.0},
        CWaveCase{"UpRamp", kWaveUpRamp, {-1, -0.75, -0.5, -0.25, 0, 0.25, 0.5, 0.75}, -1.0},
        CWaveCase{"UpRamp180", kWaveUpRamp180, {1, 0.75, 0.5, 0.25, 0, -0.25, -0.5, -0.75}, -1.0},
        CWaveCase{"DownRamp", kWaveDownRamp, {1, 0.75, 0.5, 0.25, 0, -0.25, -0.5, -0.75}, 1.0},
        CWaveCase{
            "DownRamp180", kWaveDownRamp180, {-1, -0.75, -0.5, -0.25, 0, 0.25, 0.5, 0.75}, 1.0},
        CWaveCase{"ACPulse", kWaveACPulse, {-1, -1, 1, 1, 1, 1, -1, -1}, -1.0},
        CWaveCase{"ACPulse180", kWaveACPulse180, {1, 1, -1, -1, -1, -1, 1, 1}, 1.0},
        CWaveCase{"DCPosPulse", kWaveDCPosPulse, {0, 0, 1, 1, 1, 1, 0, 0}, 0.0},
        CWaveCase{"DCPosPulse180", kWaveDCPosPulse180, {1, 1, 0, 0, 0, 0, 1, 1}, 1.0},
        CWaveCase{"DCNegPulse", kWaveDCNegPulse, {0, 0, -1, -1, -1, -1, 0, 0}, 0.0},
        CWaveCase{"DCNegPulse180", kWaveDCNegPulse180, {-1, -1, 0, 0, 0, 0, -1, -1}, -1.0}),
    CaseName());

} // namespace
