// The analyser's run: the checks before it, the band design for the block, and one block's
// bands averaged into the traces.

#include "modules/rta/RtaView.h"

#include "base/NumberText.h"
#include "dsp/FrequencyWeighting.h"
#include "process/DspDoc.h"

#include <cmath>
#include <limits>

namespace {
constexpr int kFractions[] = {1, 3, 6, 12, 24, 48};
constexpr EFrequencyWeighting kWeightings[] = {EFrequencyWeighting::Z, EFrequencyWeighting::A,
                                               EFrequencyWeighting::C};
// 20 log10 of 1 Pa re 20 uPa, and 10 log10(2): a full-scale sine (peak 1) is 0 dBFS.
constexpr double kPascalDb = 93.979400086720375;
constexpr double kFullScaleDb = 3.0102999566398120;
} // namespace

std::string CRtaView::CheckRunSettings() const {
    if (m_unit == kDBSPL && !(m_sensitivity > 0.0))
        return "RTA: dB SPL needs the microphone's sensitivity (mV/Pa)";
    return {};
}

int CRtaView::StartRun() {
    if (const std::string refusal = CheckRunSettings(); !refusal.empty()) {
        ShowErrorMessage(refusal);
        return 0;
    }
    for (CChannelState& c : m_channels)
        c.average.Reset();
    m_designed.clear();
    return 1;
}

void CRtaView::Design(int32_t n, double rate) {
    const std::string key =
        FormatText("%d %d %d %.17g %d ", m_fractionIndex, m_weighting, n, rate, m_calChannels) +
        m_calText;
    if (key == m_designed) return;
    for (int c = 0; c < 2; ++c) {
        const EFrequencyWeighting weighting = kWeightings[m_weighting];
        const bool calibrated = CalibratesChannel(c);
        const CMicCalibration& curve = m_curve;
        // A band's power is corrected by the weighting's gain and the microphone's deviation.
        const auto gain = [weighting, calibrated, &curve](double f) {
            const double w = WeightingGain(weighting, f);
            return w * w * (calibrated ? std::pow(10.0, -curve.At(f) / 10.0) : 1.0);
        };
        m_analysers[size_t(c)].Design(kFractions[m_fractionIndex], n, rate, gain);
        m_channels[size_t(c)].average.Reset();
    }
    m_designed = key;
}

int CRtaView::ProcessData() {
    CDspDoc* doc = GetDocument();
    const CDSPFFTDataList* input = doc ? doc->GetCurrentList() : nullptr;
    if (!input) return 0;
    const int32_t n = input->GetSize(0);
    const double rate = input->GetSampleRate(0);
    Design(n, rate);
    if (m_analysers[0].Size() != n) {
        ShowErrorMessage(FormatText("RTA: blocks of %d samples cannot be analysed in bands", n));
        return 0;
    }
    m_channelCount = std::min(2, input->GetNumChans());
    const double seconds = n / rate;
    for (int c = 0; c < m_channelCount; ++c) {
        const CDSPData* time = input->GetAt(c) ? input->GetAt(c)->GetTimeObj() : nullptr;
        if (!time || !time->GetDataPointer() || time->GetSize() < n) return 0;
        CChannelState& state = m_channels[size_t(c)];
        double overall = 0.0;
        m_analysers[size_t(c)].Analyse(time->GetDataPointer(), state.block, overall);
        state.block.push_back(overall);
        state.average.Add(state.block, seconds, EBandAveraging(m_averaging), m_averageBlocks,
                          m_decay);
    }
    Invalidate();
    return 1; // the block goes on as it came
}

double CRtaView::Level(int channel, double meanSquare) const {
    double offset = 0.0;
    if (m_unit == kDBFS) offset = kFullScaleDb;
    if (m_unit == kDBSPL) offset = kPascalDb - 20.0 * std::log10(m_sensitivity / 1000.0);
    if (CalibratesChannel(channel) && m_curve.hasSensitivity) offset -= m_curve.sensitivity;
    return 10.0 * std::log10(meanSquare) + offset;
}

std::vector<double> CRtaView::GetLevels(int channel, EShown shown) const {
    const CBandAverage& average = m_channels[size_t(channel)].average;
    const std::vector<double>& power = shown == kShowPeak  ? average.Peak()
                                       : shown == kShowMax ? average.Max()
                                       : shown == kShowMin ? average.Min()
                                                           : average.Average();
    std::vector<double> levels;
    if (average.Count() == 0 || power.empty()) return levels;
    for (size_t b = 0; b + 1 < power.size(); ++b)
        levels.push_back(std::isnan(power[b]) ? power[b] : Level(channel, power[b]));
    return levels;
}

double CRtaView::GetOverallLevel(int channel) const {
    const CBandAverage& average = m_channels[size_t(channel)].average;
    if (average.Count() == 0) return std::numeric_limits<double>::quiet_NaN();
    return Level(channel, average.Average().back());
}

std::string CRtaView::UnitText() const {
    const std::string unit = m_unit == kDBFS ? "dBFS" : m_unit == kDBV ? "dBV" : "dB SPL";
    return m_weighting == 0 ? unit : unit + (m_weighting == 1 ? "(A)" : "(C)");
}
