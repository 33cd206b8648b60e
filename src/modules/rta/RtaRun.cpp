// The analyser's run: the checks before it, the band design for the block, and one block's
// bands averaged into the traces.

#include "modules/rta/RtaView.h"

#include "base/NumberText.h"
#include "dsp/FrequencyWeighting.h"
#include "dsp/LevelUnit.h"
#include "process/DspDoc.h"

#include <cmath>
#include <limits>

namespace {
constexpr int kFractions[] = {1, 3, 6, 12, 24, 48};
constexpr EFrequencyWeighting kWeightings[] = {EFrequencyWeighting::Z, EFrequencyWeighting::A,
                                               EFrequencyWeighting::C};
} // namespace

std::string CRtaView::CheckRunSettings() const {
    const std::string refusal = LevelUnitRefusal(ELevelUnit(m_unit), m_sensitivity);
    return refusal.empty() ? refusal : "RTA: " + refusal;
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
        m_cal.text;
    if (key == m_designed) return;
    for (int c = 0; c < 2; ++c) {
        const EFrequencyWeighting weighting = kWeightings[m_weighting];
        const bool calibrated = CalibratesChannel(c);
        const CMicCalibration& curve = m_cal.Curve();
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
    const CMicCalibration& curve = m_cal.Curve();
    const bool factor = CalibratesChannel(channel) && curve.hasSensitivity;
    return 10.0 * std::log10(meanSquare) +
           LevelUnitOffset(ELevelUnit(m_unit), m_sensitivity, factor ? curve.sensitivity : 0.0);
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
    const std::string unit = LevelUnitNames()[size_t(m_unit)];
    return m_weighting == 0 ? unit : unit + (m_weighting == 1 ? "(A)" : "(C)");
}
