#include "modules/generator/SigGenWaves.h"

#include "modules/generator/SigGenChanDlgBar.h"

#include <cmath>
#include <cstdint>
#include <iterator>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

// The wave's value, or its resting value once a single cycle or shot has finished.
double Rest(const CSigGenChanDlgBar& bar, double resting, double value) {
    return bar.IsResting() ? resting : value;
}

bool FirstHalf(const CSigGenChanDlgBar& bar) {
    return bar.m_phase < kPi;
}

bool SecondHalf(const CSigGenChanDlgBar& bar) {
    return bar.m_phase >= kPi && bar.m_phase < 2.0 * kPi;
}

bool InsidePulse(const CSigGenChanDlgBar& bar) {
    const double start = 2.0 * kPi * bar.m_pulseStart / bar.m_pulsePeriod;
    const double stop = 2.0 * kPi * bar.m_pulseStop / bar.m_pulsePeriod;
    return bar.m_phase >= start && bar.m_phase < stop;
}

// Straight lines through (0, 0), (pi/2, peak), (3 pi/2, -peak), (2 pi, 0); a boundary belongs
// to the later segment.
double TriangleThrough(double phase, double peak) {
    struct CPoint2 {
        double x, y;
    };
    const CPoint2 points[] = {{0.0, 0.0}, {kPi / 2, peak}, {3 * kPi / 2, -peak}, {2 * kPi, 0.0}};
    int segment = 0;
    while (segment < 2 && phase >= points[segment + 1].x)
        ++segment;
    const CPoint2& a = points[segment];
    const CPoint2& b = points[segment + 1];
    return a.y + (phase - a.x) * (b.y - a.y) / (b.x - a.x);
}

// Draws from the C runtime's classic generator: uniform whole numbers 0..32767.
int NextRandom15(uint32_t& state) {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

} // namespace

double SineSample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, 0.0, std::sin(bar.m_phase));
}

double Sine180Sample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, 0.0, std::sin(bar.m_phase + kPi));
}

double CosineSample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, 1.0, std::cos(bar.m_phase));
}

double Cosine180Sample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, 1.0, std::cos(bar.m_phase + kPi));
}

double ACSquareSample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, -1.0, SecondHalf(bar) ? 1.0 : -1.0);
}

double ACSquare180Sample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, -1.0, FirstHalf(bar) ? 1.0 : -1.0);
}

double DCPosSquareSample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, 0.0, SecondHalf(bar) ? 1.0 : 0.0);
}

double DCPosSquare180Sample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, 0.0, FirstHalf(bar) ? 1.0 : 0.0);
}

double DCNegSquareSample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, -0.0, SecondHalf(bar) ? -1.0 : 0.0);
}

double DCNegSquare180Sample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, -0.0, FirstHalf(bar) ? -1.0 : 0.0);
}

double TriangleSample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, 0.0, TriangleThrough(bar.m_phase, 1.0));
}

double Triangle180Sample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, 0.0, TriangleThrough(bar.m_phase, -1.0));
}

double UpRampSample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, -1.0, -1.0 + bar.m_phase / kPi);
}

double UpRamp180Sample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, -1.0, 1.0 - bar.m_phase / kPi);
}

double DownRampSample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, 1.0, 1.0 - bar.m_phase / kPi);
}

double DownRamp180Sample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, 1.0, -1.0 + bar.m_phase / kPi);
}

double ACPulseSample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, -1.0, InsidePulse(bar) ? 1.0 : -1.0);
}

double ACPulse180Sample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, 1.0, InsidePulse(bar) ? -1.0 : 1.0);
}

double DCPosPulseSample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, 0.0, InsidePulse(bar) ? 1.0 : 0.0);
}

double DCPosPulse180Sample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, 1.0, InsidePulse(bar) ? 0.0 : 1.0);
}

double DCNegPulseSample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, 0.0, InsidePulse(bar) ? -1.0 : 0.0);
}

double DCNegPulse180Sample(const CSigGenChanDlgBar& bar) {
    return Rest(bar, -1.0, InsidePulse(bar) ? 0.0 : -1.0);
}

double WhiteSample(CSigGenChanDlgBar& bar) {
    if (bar.IsResting()) return 0.0;
    return NextRandom15(bar.m_randomState) * 2.0 / 32767.0 - 1.0;
}

double PeriodicSample(CSigGenChanDlgBar& bar) {
    using CSampleFunction = double (*)(const CSigGenChanDlgBar&);
    static constexpr CSampleFunction kFunctions[] = {
        SineSample,        Sine180Sample,        CosineSample,      Cosine180Sample,
        ACSquareSample,    ACSquare180Sample,    DCPosSquareSample, DCPosSquare180Sample,
        DCNegSquareSample, DCNegSquare180Sample, TriangleSample,    Triangle180Sample,
        UpRampSample,      UpRamp180Sample,      DownRampSample,    DownRamp180Sample,
        ACPulseSample,     ACPulse180Sample,     DCPosPulseSample,  DCPosPulse180Sample,
        DCNegPulseSample,  DCNegPulse180Sample};
    static_assert(std::size(kFunctions) == kWaveWhite);
    if (bar.m_waveType == kWaveWhite) return WhiteSample(bar);
    if (bar.m_waveType < 0 || bar.m_waveType >= kWaveWhite) return 0.0;
    return kFunctions[bar.m_waveType](bar);
}
