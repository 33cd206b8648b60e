// The analyser's run: the checks before it and the analysis of every block.
#include "modules/sweep/SweepView.h"

#include "base/NumberText.h"
#include "process/DspDoc.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace {
// The reference signal is the sweep at some level when what is left after taking the sweep
// out is below this share of its energy (-40 dB): rounding and dither stay far below it, a
// sweep with other settings far above.
constexpr double kMismatch = 1e-4;
// A deconvolved reference channel holds one impulse: at least this share of its energy lies
// within the half of the time to the second harmonic around its peak.
constexpr double kImpulseShare = 0.9;
// A recording whose peak is below this (-140 dB of full scale) holds nothing to measure.
constexpr double kSilence = 1e-7;
// Samples stuck at the peak: a sweep touches its peak at single samples, even at its lowest
// frequency, while a clipped one stays there.
constexpr int kClippedRun = 16;

double Energy(const std::vector<double>& x) {
    return std::inner_product(x.begin(), x.end(), x.begin(), 0.0);
}
} // namespace

bool CSweepView::Fail(const std::string& text) {
    ShowErrorMessage(text);
    for (auto& r : m_result)
        r.reset();
    return false;
}

int CSweepView::StartRun() {
    if (const std::string refusal = CheckRunSettings(); !refusal.empty()) return Fail(refusal);
    const std::optional<CSweptSine> sweep = Sweep();
    if (!sweep) return 0;
    Prepare(*sweep, GetWorkingList()->GetSize(0));
    for (auto& s : m_sum)
        s.clear();
    m_averaged = 0;
    m_passes = 0;
    return 1;
}

void CSweepView::Prepare(const CSweptSine& sweep, int32_t n) {
    // The gate may change while the run goes on; the sweep's settings stop it.
    const std::vector<double> key{sweep.Start(), sweep.Stop(), sweep.Rate(), sweep.SampleRate(),
                                  double(n),     m_gateStart,  m_gateEnd,    double(m_gateShape)};
    if (key == m_preparedFor && m_deconvolve) return;
    m_deconvolve.emplace(sweep, n);
    m_correction = SweepCorrection(sweep, n, Gate());
    m_preparedFor = key;
}

const std::vector<double>& CSweepView::Averaged(int channel, const double* x, int32_t n) {
    std::vector<double>& sum = m_sum[size_t(channel)];
    if (sum.size() != size_t(n)) sum.assign(size_t(n), 0.0);
    // Up to the count the plain mean; then each new pass weighs 1 / count, as the display of
    // the spectrum analyser averages.
    const double count = std::min<double>(m_averaged + 1, m_average);
    for (size_t i = 0; i < sum.size(); ++i)
        sum[i] += (x[i] - sum[i]) / count;
    return sum;
}

CSweepResponse& CSweepView::Result(int channel) {
    std::optional<CSweepResponse>& r = m_result[size_t(channel)];
    return r ? *r : r.emplace();
}

bool CSweepView::CheckRecording(int channel, const std::vector<double>& x) {
    double peak = 0.0;
    for (double v : x)
        peak = std::max(peak, std::fabs(v));
    if (peak < kSilence)
        return Fail(FormatText("Sweep analyser: channel %i recorded silence", channel + 1));
    int run = 0, longest = 0;
    for (double v : x) {
        run = std::fabs(v) == peak ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    if (longest >= kClippedRun)
        return Fail(FormatText("Sweep analyser: channel %i is clipped (%i samples at the peak "
                               "%.6g); lower the level",
                               channel + 1, longest, peak));
    return true;
}

bool CSweepView::PlayedLevel(int channel, const CSweptSine& sweep, double& level) {
    const CDspDoc* doc = GetDocument();
    CDSPFFTDataList* reference = doc ? doc->GetReferenceList() : nullptr;
    const int32_t n = GetWorkingList()->GetSize(0);
    if (!reference || reference->GetSize(channel) != n)
        return Fail("Sweep analyser: no step before this one hands on the played sweep; play "
                    "the generator's Sync Log Sweep or choose the reference Channel 2");
    const double* played = reference->GetTimeData(channel);
    std::vector<double> unit(size_t(n), 0.0);
    sweep.Fill(std::span(unit).first(size_t(sweep.Samples())), 1.0);
    const double unitEnergy = Energy(unit);
    level = std::inner_product(unit.begin(), unit.end(), played, 0.0) / unitEnergy;
    double rest = 0.0, total = 0.0;
    for (size_t i = 0; i < size_t(n); ++i) {
        const double e = played[i] - level * unit[i];
        rest += e * e;
        total += played[i] * played[i];
    }
    if (total == 0.0)
        return Fail(FormatText("Sweep analyser: channel %i played silence; give the generator's "
                               "Sync Log Sweep a level above 0",
                               channel + 1));
    if (!(level > 0.0) || rest > kMismatch * total)
        return Fail(FormatText("Sweep analyser: the signal played on channel %i is not the sweep "
                               "set here (%.15g Hz to %.15g Hz in %.15g s)",
                               channel + 1, m_start, m_stop, m_time));
    return true;
}

int CSweepView::ProcessData() {
    CDspDoc* doc = GetDocument();
    CDSPFFTDataList* input = doc ? doc->GetCurrentList() : nullptr;
    const std::optional<CSweptSine> sweep = Sweep();
    if (!input || !sweep) return 0;
    const int32_t n = GetWorkingList()->GetSize(0);
    Prepare(*sweep, n);
    const int channels = std::min(2, doc->GetNumChans());
    std::array<std::vector<double>, 2>& impulse = m_impulse;
    for (int c = 0; c < channels; ++c) {
        if (input->GetSize(c) != n) return 0;
        const std::vector<double>& x = Averaged(c, input->GetTimeData(c), n);
        if (!CheckRecording(c, x)) return 0;
        impulse[size_t(c)].resize(size_t(n));
        (*m_deconvolve)(x, impulse[size_t(c)]);
    }
    m_averaged = std::min(m_averaged + 1, m_average);
    const CSweepGate gate = Gate();
    const auto smoothing = EOctaveSmoothing(m_smoothing);
    if (m_reference == kRefChannel2) {
        if (channels < 2) return Fail("Sweep analyser: the reference Channel 2 needs two channels");
        // The looped-back channel holds the sweep as played: one impulse, nothing spread.
        std::vector<double>& r = impulse[1];
        const int32_t peak = PeakIndex(r);
        const int32_t half = int32_t(0.25 * sweep->HarmonicAdvance(2) * sweep->SampleRate());
        double near = 0.0;
        for (int32_t j = -half; j <= half; ++j) {
            const double v = r[size_t(((peak + j) % n + n) % n)];
            near += v * v;
        }
        if (near < kImpulseShare * Energy(r))
            return Fail("Sweep analyser: channel 2 does not hold the sweep, so it cannot be the "
                        "reference");
        CSweepResponse& measured = Result(0);
        AnalyseSweep(impulse[0], m_correction, *sweep, gate, smoothing, measured);
        AnalyseSweep(r, m_correction, *sweep, gate, smoothing, m_loop);
        for (size_t i = 0; i < measured.response.size(); ++i)
            measured.response[i] /= m_loop.response[i];
        SweepGroupDelay(measured.frequency, measured.response, measured.groupDelay);
        measured.delay -= m_loop.delay;
        m_result[1].reset();
        m_played = {};
    } else {
        for (int c = 0; c < channels; ++c) {
            double level = 0.0;
            if (!PlayedLevel(c, *sweep, level)) return 0;
            m_played[size_t(c)] = level;
            for (double& v : impulse[size_t(c)])
                v /= level;
            AnalyseSweep(impulse[size_t(c)], m_correction, *sweep, gate, smoothing, Result(c));
        }
    }
    ++m_passes;
    HandOn(*input);
    Invalidate();
    return 1;
}

namespace {

// The response at f, read between the points of the log-spaced analysis grid and held at the
// grid's ends outside the swept band.
std::complex<double> ResponseAt(const CSweepResponse& r, double f) {
    const size_t last = r.frequency.size() - 1;
    const double at = f > 0.0 ? std::log2(f / r.frequency[0]) * kSweepPointsPerOctave : 0.0;
    const double i = std::clamp(at, 0.0, double(last));
    const size_t j = std::min(size_t(i), last - 1);
    const double t = i - double(j);
    return r.response[j] + t * (r.response[j + 1] - r.response[j]);
}

} // namespace

void CSweepView::HandOn(const CDSPFFTDataList& input) {
    if (&input == m_pWorkingList.get() || !m_pWorkingList->Copy(input)) return;
    const double fs = m_pWorkingList->GetSampleRate(0);
    for (int c = 0; c < std::min(2, m_pWorkingList->GetNumChans()); ++c) {
        const std::optional<CSweepResponse>& r = m_result[size_t(c)];
        if (!r || r->frequency.size() < 2) continue; // the reference goes on as it came
        const int32_t size = m_pWorkingList->GetSize(c);
        double* magnitude = m_pWorkingList->GetFreqData(c);
        double* phase = m_pWorkingList->GetPhaseData(c);
        for (int32_t k = 0; k <= size / 2; ++k) {
            const std::complex<double> h = ResponseAt(*r, k * fs / size);
            magnitude[k] = std::abs(h);
            phase[k] = std::arg(h) * 180.0 / std::numbers::pi;
        }
        for (int32_t k = size / 2 + 1; k < size; ++k) {
            magnitude[k] = magnitude[size - k];
            phase[k] = phase[size - k];
        }
    }
    GetDocument()->SetCurrentList(m_pWorkingList);
}
