// The generator's run: the checks before a run, and one block per channel on every pass.
#include "modules/generator/SigGenMLS.h"
#include "modules/generator/SigGenPink.h"
#include "modules/generator/SigGenSweep.h"
#include "modules/generator/SigGenSyncSweep.h"
#include "modules/generator/SigGenView.h"
#include "modules/generator/SigGenWaves.h"

#include "base/NumberText.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"
#include "formats/ClipboardText.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kMaxSeconds = 3600.0;
constexpr uint32_t kMaxTransformOrder = 18;

// Whole samples in a span of `samples`; a value a rounding error below a whole number counts as
// that number (a pulse period of exactly 3/fs is three samples).
double WholeSamples(double samples) {
    return std::floor(samples + std::fabs(samples) * 1e-12);
}

} // namespace

// ---- StartRun -------------------------------------------------------------------------------

int CSigGenView::StartRun() {
    const CDSPFFTDataList* working = GetWorkingList();
    if (!working || working->IsEmpty()) return 0;
    const double fs = working->GetSampleRate(0);
    const int32_t n = working->GetSize(0);
    for (int i = 0; i < m_channelCount; ++i)
        if (!StartChannel(*GetChannelPointer(i), fs, n)) return 0;
    return 1;
}

std::string CSigGenView::CheckRunSettings() const {
    const CDSPFFTDataList* working = GetWorkingList();
    if (!working || working->IsEmpty()) return {};
    for (int i = 0; i < m_channelCount; ++i) {
        std::string refusal =
            ChannelRefusal(*GetChannelPointer(i), working->GetSampleRate(0), working->GetSize(0));
        if (!refusal.empty()) return refusal;
    }
    return {};
}

bool CSigGenView::StartChannel(CSigGenChanDlgBar& bar, double fs, int32_t n) {
    bar.m_sampleRate = fs;
    bar.m_blockSize = n;
    const std::string refusal = ChannelRefusal(bar, fs, n);
    if (!refusal.empty()) {
        ShowErrorMessage(refusal);
        return false;
    }
    const int c = bar.m_channel;
    const int32_t wave = bar.m_waveType;
    const bool pulse = CSigGenChanDlgBar::IsPulseWave(wave);
    const bool sweep = CSigGenChanDlgBar::IsSweepMode(bar.m_mode);
    bar.m_effectiveFrequency = pulse   ? 1.0 / bar.m_pulsePeriod
                               : sweep ? bar.m_sweepStart
                                       : bar.m_frequency;
    if (wave == kWaveClipboard && !PasteClipboard(bar, n)) return false;

    bar.RestartCycle();
    // Only pulse waves count samples per period; the bound keeps the count an integer.
    const double perPeriod =
        bar.m_effectiveFrequency > 0.0 ? fs / bar.m_effectiveFrequency : fs * kMaxSeconds;
    bar.m_samplesPerPeriod = static_cast<int64_t>(std::min(WholeSamples(perPeriod), 1e15));
    bar.m_sweepLength = WholeSamples(bar.m_sweepTime * fs);
    bar.m_sweepCounter = 1.0;
    const uint32_t largestPower = std::bit_floor(static_cast<uint32_t>(std::max(n, 1)));
    bar.m_transformOrder = static_cast<int32_t>(
        std::min<uint32_t>(std::countr_zero(largestPower), kMaxTransformOrder));
    bar.m_mlsOrderIndex = MLSOrderIndex(n);
    bar.m_mlsOutputMask = 2u << bar.m_mlsOrderIndex;
    // A fixed seed per channel makes every run's noise the same.
    bar.m_randomState = static_cast<uint32_t>(c);
    bar.m_crestDb = std::numeric_limits<double>::quiet_NaN();
    return true;
}

namespace {
// The fixed text of a refusal, then the value that broke the rule and its limits, so the user
// sees what to change ("\nFreq: 30000 Hz (limits 0 to 20000 Hz)").
std::string WithValue(const std::string& text, const char* name, double value, const char* unit,
                      double low, double high) {
    return text + FormatText("\n%s: %.15g %s (limits %.15g to %.15g %s)", name, value, unit, low,
                             high, unit);
}
} // namespace

std::string CSigGenView::ChannelRefusal(const CSigGenChanDlgBar& bar, double fs, int32_t n) {
    const int c = bar.m_channel;
    const int32_t wave = bar.m_waveType;
    if (wave == kWaveSyncSweep) return SyncSweepRefusal(bar, fs, n);
    if (wave == kWavePink) return PinkRefusal(bar);
    const double nyquist = fs / 2;
    if (bar.m_frequency < 0.0 || bar.m_frequency > nyquist)
        return WithValue(
            FormatText("Ch%i Frequency Out of Range.\n0.0 Hz <= Freq: <= Sample Rate / 2 Hz.", c),
            "Freq", bar.m_frequency, "Hz", 0.0, nyquist);
    const bool sweep = CSigGenChanDlgBar::IsSweepMode(bar.m_mode);
    const bool pulse = CSigGenChanDlgBar::IsPulseWave(wave);
    if ((pulse || wave == kWaveWhite) && sweep)
        return FormatText("Ch%i Pulse and White Waveforms Cannot be Swept.\nThey have "
                          "Constant and Random Periods.",
                          c);
    if (sweep) {
        if (bar.m_sweepStart <= 0.0 || bar.m_sweepStart > nyquist)
            return WithValue(FormatText("Ch%i Sweep Start Frequency Out of Range.\n0.0 Hz <= "
                                        "Sweep Start <= Sample Rate / 2 Hz.",
                                        c),
                             "Sweep Start", bar.m_sweepStart, "Hz", 0.0, nyquist);
        if (bar.m_sweepStop <= 0.0 || bar.m_sweepStop > nyquist)
            return WithValue(FormatText("Ch%i Sweep Stop Frequency Out of Range.\n0.0 Hz <= "
                                        "Sweep Stop <= Sample Rate / 2 Hz.",
                                        c),
                             "Sweep Stop", bar.m_sweepStop, "Hz", 0.0, nyquist);
        if (bar.m_sweepTime <= 4.0 / fs || bar.m_sweepTime > kMaxSeconds)
            return WithValue(FormatText("Ch%i Sweep Time Out of Range.\n%f sec < Sweep Time: <= "
                                        "3600.0 sec.",
                                        c, 4.0 / fs),
                             "Sweep Time", bar.m_sweepTime, "sec", 4.0 / fs, kMaxSeconds);
        if (bar.m_sweepTime <= 2.0 / bar.m_sweepStart)
            return FormatText("Ch%i Sweep Time < 1 / Sweep Start Frequency.", c);
    }
    if (!pulse) return {};
    const char* error = nullptr;
    if (bar.m_pulseStart > bar.m_pulsePeriod)
        error = "Ch%i Pulse Start Time > Pulse Period.";
    else if (bar.m_pulseStop <= bar.m_pulseStart)
        error = "Ch%i Pulse Start Time <= Pulse Stop Time.";
    else if (bar.m_pulseStop < 0.0 || bar.m_pulseStop > kMaxSeconds)
        return WithValue(FormatText("Ch%i Pulse Stop Time Out of Range\n0.0 sec <= Pulse Stop "
                                    "Time <= 3600.0 sec.",
                                    c),
                         "Pulse Stop Time", bar.m_pulseStop, "sec", 0.0, kMaxSeconds);
    else if (bar.m_pulseStop > bar.m_pulsePeriod)
        error = "Ch%i Pulse Stop Time > Pulse Period.";
    else if (std::fabs(bar.m_pulseStop - bar.m_pulseStart) <= 1.0 / fs)
        error = "Ch%i Pulse Start and Pulse Stop Parameters\nLess Than 1 Sample Apart.";
    else if (bar.m_pulsePeriod < 3.0 / fs || bar.m_pulsePeriod > kMaxSeconds)
        return WithValue(FormatText("Ch%i Pulse Period Out of Range\n3 Samples < Pulse Period "
                                    "< 3600.0 sec.",
                                    c),
                         "Pulse Period", bar.m_pulsePeriod, "sec", 3.0 / fs, kMaxSeconds);
    return error ? FormatText(error, c) : std::string();
}

bool CSigGenView::PasteClipboard(const CSigGenChanDlgBar& bar, int32_t n) {
    const CDspDoc* doc = GetDocument();
    const CDspApp* app = doc ? doc->GetApp() : nullptr;
    const int32_t lines =
        app && m_pClipboardList ? ClipboardText::Paste(*m_pClipboardList, app->GetClipboard()) : 0;
    const int c = bar.m_channel;
    const int64_t expected = int64_t(n) * m_channelCount;
    if (lines <= 0) {
        ShowErrorMessage(
            FormatText("Ch%i Invalid data on clipboard.\nCannot perform clipboard operation.", c));
        return false;
    }
    if (lines < expected)
        ShowErrorMessage(FormatText("Ch%i Clipboard data size < Signal Generator data "
                                    "Size.\nSignal Generator data may be truncated.",
                                    c));
    else if (lines > expected)
        ShowErrorMessage(FormatText("Ch%i Clipboard data size > Signal Generator data "
                                    "Size.\nClipboard data may be lost.",
                                    c));
    return true;
}

// ---- ProcessData ----------------------------------------------------------------------------

int CSigGenView::ProcessData() {
    CDspDoc* doc = GetDocument();
    CDSPFFTDataList* display = GetDisplayList();
    CDSPFFTDataList* working = GetWorkingList();
    CDSPFFTDataList* third = GetThirdList();
    if (!doc || !display || !working || !third) return 0;
    const bool firstStep = doc->GetCurrentStep() == 1;
    CDSPFFTDataList* input = doc->GetCurrentList();
    bool pink = false; // a new crest factor to show
    for (int i = 0; i < doc->GetNumChans(); ++i) {
        CSigGenChanDlgBar* bar = GetChannelPointer(i);
        CDSPData* outArray = display->GetTimeObj(i);
        if (!bar || !outArray || !outArray->HasValues()) return 0;
        const std::span<double> out(outArray->GetDataPointer(), size_t(outArray->GetSize()));
        const CDSPData* clip = m_pClipboardList ? m_pClipboardList->GetTimeObj(i) : nullptr;
        m_clipboardSamples =
            clip && clip->HasValues()
                ? std::span<const double>(clip->GetDataPointer(), size_t(clip->GetSize()))
                : std::span<const double>();
        m_clipboardRead = 0;
        GenerateSamples(out, *bar);
        pink |= bar->m_waveType == kWavePink;
        if (firstStep) continue;
        const CDSPData* in = input ? input->GetTimeObj(i) : nullptr;
        if (!in || !in->HasValues()) return 0;
        // Blocks of another size than the document's add only where both have samples.
        const size_t count =
            std::min({size_t(std::max(doc->GetSize(), 0)), out.size(), size_t(in->GetSize())});
        const double* incoming = in->GetDataPointer();
        for (size_t j = 0; j < count; ++j)
            out[j] += incoming[j];
        display->SetSampleRate(input->GetSampleRate(i));
        display->SetNumUsed(doc->GetSize());
    }
    working->Copy(*display);
    third->Copy(*display);
    doc->SetCurrentList(m_pWorkingList);
    doc->SetReferenceList(m_pThirdList);
    if (pink) {
        UpdateControls();
        Invalidate();
    }
    return 1;
}

bool CSigGenView::GenerateSamples(std::span<double> out, CSigGenChanDlgBar& bar) {
    const int32_t n =
        static_cast<int32_t>(std::min(size_t(std::max(bar.m_blockSize, 0)), out.size()));
    const double level = bar.m_level / 100.0;
    if (bar.m_waveType == kWaveSyncSweep) {
        FillSyncSweep(out.first(size_t(n)), bar, level);
        return true;
    }
    if (bar.m_waveType == kWavePink) {
        bar.m_crestDb = FillPink(out.first(size_t(n)), bar, level);
        return true;
    }
    const bool sweep = CSigGenChanDlgBar::IsSweepMode(bar.m_mode);
    bar.m_mlsState = 0xFFFFFFFFu;
    if (bar.m_mode == kModeConstPhs || bar.m_mode == kModeSingleCycle) {
        bar.m_runFlag = CSigGenChanDlgBar::kRunArmed;
        bar.RestartCycle();
    }
    // Accepted settings keep the step within 0..pi, so the phase stays within 0..2 pi. Without
    // a sweep the step is the same for every sample.
    const auto step = [&bar] {
        return (bar.m_effectiveFrequency + GetSweepSample(bar)) * kTwoPi / bar.m_sampleRate;
    };
    const double steadyDelta = step();
    if (!sweep && bar.m_waveType == kWaveSine) {
        FillSteadySine(out.first(size_t(n)), bar, level, steadyDelta);
        return true;
    }
    for (int32_t i = 0; i < n; ++i) {
        const double delta = sweep ? step() : steadyDelta;
        double s = 0.0;
        switch (bar.m_waveType) {
        case kWaveImpulse:
            s = i == 0 ? 1.0 : 0.0;
            break;
        case kWaveImpulse180:
            s = i == 0 ? 0.0 : 1.0;
            break;
        case kWaveMLS:
            s = MLSSample(bar, i);
            break;
        case kWaveMLS180:
            s = MLS180Sample(bar, i);
            break;
        case kWaveHalfSquare:
            s = i < bar.m_blockSize / 2 ? 1.0 : -1.0;
            break;
        case kWaveHalfSquare180:
            s = i < bar.m_blockSize / 2 ? -1.0 : 1.0;
            break;
        case kWaveClipboard:
            s = NextClipboardSample();
            break;
        default:
            s = PeriodicSample(bar);
            break;
        }
        out[size_t(i)] = level * s;
        AdvancePhase(bar, delta);
        if (sweep && bar.m_sweepCounter >= bar.m_sweepLength) {
            bar.m_sweepCounter = 1.0;
            bar.m_phase = 0.0;
        } else {
            bar.m_sweepCounter += 1.0;
        }
    }
    return true;
}

void CSigGenView::AdvancePhase(CSigGenChanDlgBar& bar, double delta) {
    if (CSigGenChanDlgBar::IsPulseWave(bar.m_waveType)) {
        if (bar.m_pulseCounter >= bar.m_samplesPerPeriod) {
            bar.RestartCycle();
            EndCycle(bar);
        } else {
            ++bar.m_pulseCounter;
            bar.m_phase += delta;
        }
        return;
    }
    if (bar.m_phase >= kTwoPi - delta) {
        bar.m_phase -= kTwoPi;
        EndCycle(bar);
    }
    bar.m_phase += delta;
}

void CSigGenView::FillSteadySine(std::span<double> out, CSigGenChanDlgBar& bar, double level,
                                 double delta) {
    // The phase is kept here rather than in the bar, which only a cycle's end reads or resets.
    const double wrapAt = kTwoPi - delta;
    double phase = bar.m_phase;
    bool resting = bar.IsResting();
    for (double& v : out) {
        v = level * (resting ? 0.0 : std::sin(phase));
        if (phase >= wrapAt) {
            bar.m_phase = phase - kTwoPi;
            EndCycle(bar);
            phase = bar.m_phase;
            resting = bar.IsResting();
        }
        phase += delta;
    }
    bar.m_phase = phase;
    // Whole numbers of samples, exact in a double as one added at a time would be.
    bar.m_sweepCounter += double(out.size());
}

void CSigGenView::EndCycle(CSigGenChanDlgBar& bar) {
    if (bar.m_mode != kModeSingleShot && bar.m_mode != kModeSingleCycle) return;
    const bool wasArmed = bar.m_runFlag != CSigGenChanDlgBar::kRunFinished;
    bar.m_runFlag = CSigGenChanDlgBar::kRunFinished;
    bar.m_phase = 0.0;
    if (bar.m_mode == kModeSingleShot && wasArmed) UpdateControls();
}

double CSigGenView::NextClipboardSample() {
    return m_clipboardRead < m_clipboardSamples.size() ? m_clipboardSamples[m_clipboardRead++]
                                                       : 0.0;
}
