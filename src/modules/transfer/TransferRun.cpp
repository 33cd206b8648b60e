// The transfer function's run: the input checks, the delay, the average and the block handed on.
#include "modules/transfer/TransferView.h"

#include "base/NumberText.h"
#include "dsp/OctaveSmoothing.h"
#include "process/DspDoc.h"

#include <algorithm>
#include <cmath>

namespace {
// A reference below -100 dBFS RMS carries nothing to divide by.
constexpr double kSilentRms = 1e-5;
// A sample this close to full scale (a 16-bit word of 32767 or -32768) was clipped.
constexpr double kFullScale = 32767.0 / 32768.0;
// An impulse response peak this many times its RMS stands out of noise: the largest of half a
// million Gaussian samples reaches about 5 times their RMS.
constexpr double kClearPeak = 8.0;
// A second peak above 80 % of the first leaves the delay ambiguous (a tone's response peaks
// once a period); a room's strongest reflection stays below that.
constexpr double kDistinctPeak = 1.25;

bool Clear(const CDelayEstimate& d) {
    return d.prominence >= kClearPeak && d.distinct >= kDistinctPeak;
}
// Reference power 100 dB below its strongest bin: pink noise spans 30 dB over the audio band,
// music rarely 80.
constexpr double kUnexcited = 1e-10;

/** The RMS of n samples and how many of them reached full scale, in one sweep. */
struct CLevels {
    double rms = 0.0;
    int32_t clipped = 0;
};
CLevels Levels(const double* x, int32_t n) {
    CLevels l;
    double sum = 0.0;
    for (int32_t i = 0; i < n; ++i) {
        sum += x[i] * x[i];
        l.clipped += std::fabs(x[i]) >= kFullScale ? 1 : 0;
    }
    l.rms = n > 0 ? std::sqrt(sum / n) : 0.0;
    return l;
}

std::string ChannelName(int channel) {
    return FormatText("Ch%d", channel + 1);
}
} // namespace

int CTransferView::StartRun() {
    if (const std::string why = CheckRunSettings(); !why.empty()) {
        ShowErrorMessage(why);
        return 0;
    }
    ConfigureSpectrum();
    ResetAverage();
    return 1;
}

bool CTransferView::InputSamples(const double*& x, const double*& y, int32_t& count,
                                 std::string& why) {
    CDspDoc* doc = GetDocument();
    const CDSPFFTDataList* input = doc->GetCurrentList();
    const CDSPFFTDataList* reference = m_reference == kRefSource ? doc->GetReferenceList() : input;
    const int refChannel = m_reference == kRefSource ? m_measured : m_reference - kRefCh1;
    if (!input || !reference || input->GetNumChans() <= m_measured ||
        reference->GetNumChans() <= refChannel) {
        why = "The transfer function received no block with the reference and the measured "
              "channel";
        return false;
    }
    y = input->GetAt(m_measured)->GetTimeObj()->GetDataPointer();
    x = reference->GetAt(refChannel)->GetTimeObj()->GetDataPointer();
    // A file's last block is padded: only the samples it used are signal.
    count = std::min({input->GetSize(m_measured), reference->GetSize(refChannel),
                      reference->GetNumUsed(refChannel)});
    m_sampleRate = input->GetSampleRate(m_measured);
    return x && y;
}

std::string CTransferView::CheckInput(const double* x, const double* y, int32_t count,
                                      bool& skip) const {
    const std::string ref = m_reference == kRefSource ? std::string("source signal")
                                                      : ChannelName(m_reference - kRefCh1);
    const std::string meas = ChannelName(m_measured);
    skip = false;
    const CLevels sent = Levels(x, count), came = Levels(y, count);
    if (sent.rms < kSilentRms) {
        skip = true;
        return "The reference (" + ref + ") is silent: nothing to measure against";
    }
    for (const auto& [levels, name] : {std::pair{sent, ref}, std::pair{came, meas}})
        if (levels.clipped > 0)
            return FormatText("%s clipped: %d samples at full scale; lower the level", name.c_str(),
                              levels.clipped);
    if (came.rms < kSilentRms) return "The measurement (" + meas + ") is silent";
    return {};
}

void CTransferView::UpdateAlignment(const double* x, const double* y, int32_t count) {
    const int32_t offset = int32_t(std::lround(OffsetSamples()));
    if (m_delayMode != kDelayAuto || !m_needsDelay) return;
    const CDelayEstimate found = FindBlockDelay(x, y, count);
    if (!Clear(found)) {
        m_alignment = offset;
        return;
    }
    if (m_spectrum.Passes() > 0) m_spectrum.Reset(); // averaged under another alignment
    m_alignment = found.samples + offset;
    m_needsDelay = false;
}

int CTransferView::ProcessData() {
    CDspDoc* doc = GetDocument();
    if (!doc || !m_pWorkingList) {
        ShowErrorMessage("System Memory Allocation Error");
        return 0;
    }
    const double* x = nullptr;
    const double* y = nullptr;
    int32_t count = 0;
    std::string why;
    if (!InputSamples(x, y, count, why)) {
        ShowErrorMessage(why);
        return 0;
    }
    bool skip = false;
    m_warning = CheckInput(x, y, count, skip);
    if (!skip) {
        UpdateAlignment(x, y, count);
        const int32_t a = m_alignment;
        // A measurement ahead of what was sent cannot come from the system under test.
        if (a < -1 && m_delayMode == kDelayAuto) {
            m_warning = FormatText("The measurement leads the reference by %d samples: are the "
                                   "reference and the measurement swapped?",
                                   -a);
            m_needsDelay = true;
        } else if (count - std::abs(a) < m_spectrum.SegmentSize()) {
            m_warning = FormatText("The delay of %d samples leaves less than one FFT segment of "
                                   "the block: choose a larger block or a smaller FFT size",
                                   a);
        } else {
            m_spectrum.AddPass(a >= 0 ? x : x - a, a >= 0 ? y + a : y, count - std::abs(a));
        }
    }
    UpdateCurve();
    HandOn();
    Invalidate();
    return 1;
}

void CTransferView::UpdateCurve() {
    if (m_spectrum.Passes() == 0) return;
    CTransferEstimate h = EstimateTransfer(m_spectrum.Averaged());
    // A bin this far below the reference's strongest holds only the window's leakage, which
    // can look coherent with a periodic measurement (a tone's quantisation harmonics): it is
    // left out of the response and not drawn.
    const std::vector<double>& gxx = m_spectrum.Averaged().xx;
    const double unexcited = kUnexcited * *std::max_element(gxx.begin(), gxx.end());
    for (size_t k = 0; k < h.re.size(); ++k)
        if (!(gxx[k] > unexcited)) h.re[k] = h.im[k] = 0.0;
    m_impulse = ImpulseResponse(h);
    const CDelayEstimate residual = FindImpulseDelay(m_impulse);
    const double peak = m_impulse[size_t((residual.samples + int32_t(m_impulse.size())) %
                                         int32_t(m_impulse.size()))];
    m_inverted = peak < 0.0;
    m_envelope.resize(m_impulse.size());
    for (size_t t = 0; t < m_impulse.size(); ++t)
        m_envelope[t] = peak != 0.0 ? std::fabs(m_impulse[t] / peak) : 0.0;
    m_delayKnown = Clear(residual) && (m_delayMode == kDelayManual || !m_needsDelay);
    m_delay = m_alignment + residual.Total();
    // The phase shown is the system's own: the whole delay found is taken out of it.
    if (m_delayMode == kDelayAuto && m_delayKnown) RemoveDelay(h, residual.samples);
    const size_t bins = h.re.size();
    const int32_t n = m_spectrum.SegmentSize();
    m_curve.sampleRate = m_sampleRate;
    m_curve.fftSize = n;
    m_curve.magnitudeDb.resize(bins);
    m_curve.phaseDegrees.resize(bins);
    m_curve.coherence = h.coherence;
    m_shownMagnitude.resize(bins);
    m_shownPhase.resize(bins);
    m_magnitude.resize(bins);
    for (size_t k = 0; k < bins; ++k)
        m_magnitude[k] = std::hypot(h.re[k], h.im[k]);
    if (m_smoothing != int32_t(EOctaveSmoothing::None))
        m_magnitude = SmoothOctaves(m_magnitude, m_sampleRate / n, EOctaveSmoothing(m_smoothing));
    double weighted = 0.0, weights = 0.0, inBand = 0.0, total = 0.0;
    for (size_t k = 0; k < bins; ++k) {
        const double magnitude = m_magnitude[k];
        m_curve.magnitudeDb[k] = 20.0 * std::log10(magnitude);
        m_curve.phaseDegrees[k] = h.PhaseDegrees(k);
        const bool shown = gxx[k] > unexcited && h.coherence[k] * 100.0 >= m_threshold;
        m_shownMagnitude[k] = shown ? magnitude : std::nan("");
        m_shownPhase[k] = shown ? m_curve.phaseDegrees[k] : std::nan("");
        const double f = double(k) * m_sampleRate / n;
        if (k > 0) total += gxx[k];
        if (f < m_startHz || f > m_stopHz || k == 0) continue;
        inBand += gxx[k];
        // Each octave weighs the same, as the log axis shows it.
        weighted += h.coherence[k] / f;
        weights += 1.0 / f;
    }
    m_meanCoherence = weights > 0.0 ? weighted / weights : 0.0;
    if (m_warning.empty() && !(inBand > 1e-4 * total))
        m_warning = FormatText("The reference has no signal between %g Hz and %g Hz: widen the "
                               "display or use a broadband excitation",
                               m_startHz, m_stopHz);
    else if (m_warning.empty() && !m_delayKnown)
        m_warning = "No single delay stands out: the excitation is too narrow (a tone?) or the "
                    "channels are unrelated; use a broadband signal";
    else if (m_warning.empty() && residual.samples < -1 && Clear(residual))
        m_warning = FormatText("The response peaks %d samples before the reference: are the "
                               "reference and the measurement swapped?",
                               -residual.samples);
}

void CTransferView::HandOn() {
    CDspDoc* doc = GetDocument();
    const CDSPFFTDataList* input = doc->GetCurrentList();
    // The samples go on as they came; the spectra become the response and the coherence.
    if (input && input != m_pWorkingList.get())
        for (int c = 0; c < std::min(input->GetNumChans(), m_pWorkingList->GetNumChans()); ++c) {
            const int32_t n = std::min(input->GetSize(c), m_pWorkingList->GetSize(c));
            std::copy_n(input->GetAt(c)->GetTimeObj()->GetDataPointer(), n,
                        m_pWorkingList->GetTimeData(c));
            m_pWorkingList->SetNumUsed(c, input->GetNumUsed(c));
        }
    const size_t bins = m_curve.coherence.size();
    for (int c = 0; c < std::min(2, m_pWorkingList->GetNumChans()) && bins > 1; ++c) {
        double* magnitude = m_pWorkingList->GetFreqData(c);
        double* phase = m_pWorkingList->GetPhaseData(c);
        const int32_t size = m_pWorkingList->GetSize(c);
        const std::vector<double>& values = c == 0 ? m_magnitude : m_curve.coherence;
        // Bin k of the block lies at bin k F / N of the analysis; mirrored above N / 2.
        const double ratio = double(m_curve.fftSize) / size;
        for (int32_t k = 0; k <= size / 2; ++k) {
            const double at = k * ratio;
            const size_t j = std::min(size_t(at), bins - 2);
            const double t = std::min(at - double(j), 1.0);
            magnitude[k] = values[j] + t * (values[j + 1] - values[j]);
            phase[k] = c == 0 ? m_curve.phaseDegrees[t < 0.5 ? j : j + 1] : 0.0;
        }
        for (int32_t k = size / 2 + 1; k < size; ++k) {
            magnitude[k] = magnitude[size - k];
            phase[k] = phase[size - k];
        }
    }
    doc->SetCurrentList(m_pWorkingList);
}
