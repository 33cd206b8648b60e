// The texts the analyser shows in each channel's plot: the scale, the start and stop
// frequencies, the tone and distortion readouts of the THD and IMD displays, and the average
// counter. The display draws exactly these, and the command line prints them.

#include "modules/spectrum/SpecView.h"

#include "base/NumberText.h"

#include <array>

namespace {
// Frequency of a bin of the spectrum.
double BinFrequency(const CDSPData& magnitude, int bin) {
    return bin * magnitude.GetSampleRate() / magnitude.GetSize();
}
} // namespace

CSpecView::CChannelTexts CSpecView::GetChannelTexts(int channel) const {
    CChannelTexts texts;
    texts.scale = m_yScaleList[static_cast<size_t>(m_yScaleIndex)];
    texts.start = "Start: " + m_startLabels[static_cast<size_t>(m_startPosition)];
    texts.stop = "Stop: " + m_stopLabels[static_cast<size_t>(m_stopPosition)];
    if (m_blockAverageIndex > 0)
        texts.average = FormatText("Rec Avg: %i / %i", m_averageCounter - 1,
                                   static_cast<int>(m_blockAverageCount));
    if (m_yAxisType != kYTHDVpk && m_yAxisType != kYIMDVpk) return texts;

    const CDSPFFTData* block = m_pDisplayList ? m_pDisplayList->GetAt(channel) : nullptr;
    const CDSPData* magnitude = block ? block->GetFreqObj() : nullptr;
    const bool measured = magnitude && magnitude->HasValues() && block->GetNumUsed() > 0;
    std::vector<std::string>& lines = texts.readouts;

    // Tone lines: a set reference frequency names its bin even before any block arrived.
    if (magnitude && (measured || m_ref1 != 0.0)) {
        const int bin =
            m_ref1 == 0.0 ? magnitude->GetMaxHarmonic() : magnitude->GetHarmonicNumber(m_ref1);
        lines.push_back(FormatText("Tone1: %3.6GHz", BinFrequency(*magnitude, bin)));
    } else {
        lines.push_back("Tone1: - Hz");
    }
    if (m_yAxisType == kYIMDVpk) {
        if (magnitude && (measured || m_ref2 != 0.0)) {
            const int bin = m_ref2 == 0.0 ? magnitude->GetNextHarmonic(magnitude->GetMaxHarmonic())
                                          : magnitude->GetHarmonicNumber(m_ref2);
            lines.push_back(FormatText("Tone2: %3.6GHz", BinFrequency(*magnitude, bin)));
        } else {
            lines.push_back("Tone2: - Hz");
        }
    }

    auto percent = [&](const char* label, auto measure) {
        lines.push_back(measured ? FormatText("%s: %3.6G%%", label, measure())
                                 : FormatText("%s: - %%", label));
    };
    if (m_yAxisType == kYTHDVpk) {
        static constexpr std::array<const char*, 4> kHarmonics{"2nd", "3rd", "4th", "5th"};
        for (int h = 2; h <= 5; ++h) {
            const std::string label = std::string(kHarmonics[size_t(h - 2)]) + " Harm Dist";
            percent(label.c_str(), [&] { return magnitude->GetHarmonicDistortion(m_ref1, h); });
        }
        percent("THD", [&] { return magnitude->GetTHD(m_ref1); });
        percent("THD+N", [&] { return magnitude->GetTHDPlusN(m_ref1); });
    } else {
        percent("2nd Order IMD", [&] { return magnitude->Get2ndOrderIMD(m_ref1, m_ref2); });
        percent("3rd Order IMD", [&] { return magnitude->Get3rdOrderIMD(m_ref1, m_ref2); });
        percent("4th Order IMD", [&] { return magnitude->Get4thOrderIMD(m_ref1, m_ref2); });
    }
    return texts;
}

std::vector<std::string> CSpecView::GetReadouts() const {
    std::vector<std::string> lines;
    const int channels = m_pDisplayList ? m_pDisplayList->GetNumChans() : 0;
    for (int ch = 0; ch < channels; ++ch) {
        CChannelTexts texts = GetChannelTexts(ch);
        lines.push_back(texts.scale);
        lines.push_back(texts.start);
        lines.push_back(texts.stop);
        lines.insert(lines.end(), texts.readouts.begin(), texts.readouts.end());
        if (!texts.average.empty()) lines.push_back(texts.average);
    }
    return lines;
}
