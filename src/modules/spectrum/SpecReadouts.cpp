// The texts the analyser shows in each channel's plot: the scale, the start and stop
// frequencies, the tone and distortion readouts of the THD and IMD displays, and the average
// counter. The display draws exactly these, and the command line prints them.

#include "modules/spectrum/SpecView.h"

#include "base/NumberText.h"
#include "process/Channel.h"

#include <array>

CSpecView::CChannelTexts CSpecView::GetChannelTexts(int channel) const {
    CChannelTexts texts;
    texts.scale = m_yScaleList[static_cast<size_t>(m_yScaleIndex)];
    // A logarithmic axis cannot start at 0 Hz: from the first position it starts where the
    // plot's axis does.
    texts.start = "Start: " + (m_xAxisType != kXLin && m_startBin == 0.0
                                   ? FormatText("%iHz", int(LogAxisLowestFrequency(m_xAxisType + 1)))
                                   : m_startLabels[static_cast<size_t>(m_startPosition)]);
    texts.stop = "Stop: " + m_stopLabels[static_cast<size_t>(m_stopPosition)];
    if (m_blockAverageIndex > 0)
        texts.average = FormatText("Rec Avg: %i / %i", m_averageCounter - 1,
                                   static_cast<int>(m_blockAverageCount));
    if (m_yAxisType != kYTHDVpk && m_yAxisType != kYIMDVpk) return texts;

    const CDSPFFTData* block = m_pDisplayList ? m_pDisplayList->GetAt(channel) : nullptr;
    const CDSPData* magnitude = block ? block->GetFreqObj() : nullptr;
    const bool measured = magnitude && magnitude->HasValues() && block->GetNumUsed() > 0;
    std::vector<std::string>& lines = texts.readouts;

    // Windowed spectra are read lobe by lobe, with the window they were taken with. Before any
    // block arrived only the bins a set reference frequency names are known.
    const int window = measured ? m_windowType : 0;
    if (magnitude && (measured || m_ref1 != 0.0)) {
        lines.push_back(
            FormatText("Tone1: %3.6GHz", magnitude->GetToneFrequency(m_ref1, window)));
    } else {
        lines.push_back("Tone1: - Hz");
    }
    if (m_yAxisType == kYIMDVpk) {
        if (magnitude && (measured || m_ref2 != 0.0)) {
            lines.push_back(FormatText("Tone2: %3.6GHz",
                                       magnitude->GetSecondToneFrequency(m_ref1, m_ref2, window)));
        } else {
            lines.push_back("Tone2: - Hz");
        }
    }

    // A reading the block cannot hold (a harmonic above half the sample rate, a fundamental at
    // DC, two tones on one bin) shows the dash form, as one not measured yet does.
    auto percent = [&](const char* label, bool holds, auto measure) {
        lines.push_back(measured && holds ? FormatText("%s: %3.6G%%", label, measure())
                                          : FormatText("%s: - %%", label));
    };
    if (m_yAxisType == kYTHDVpk) {
        static constexpr std::array<const char*, 4> kHarmonics{"2nd", "3rd", "4th", "5th"};
        for (int h = 2; h <= 5; ++h) {
            const std::string label = std::string(kHarmonics[size_t(h - 2)]) + " Harm Dist";
            percent(label.c_str(), measured && magnitude->HoldsHarmonic(m_ref1, h),
                    [&] { return magnitude->GetHarmonicDistortion(m_ref1, h, window); });
        }
        const bool holds = measured && magnitude->HoldsHarmonic(m_ref1, 2);
        percent("THD", holds, [&] { return magnitude->GetTHD(m_ref1, window); });
        percent("THD+N", holds, [&] { return magnitude->GetTHDPlusN(m_ref1, window); });
    } else {
        const bool holds = measured && magnitude->HoldsTwoTones(m_ref1, m_ref2);
        percent("2nd Order IMD", holds,
                [&] { return magnitude->Get2ndOrderIMD(m_ref1, m_ref2, window); });
        percent("3rd Order IMD", holds,
                [&] { return magnitude->Get3rdOrderIMD(m_ref1, m_ref2, window); });
        percent("4th Order IMD", holds,
                [&] { return magnitude->Get4thOrderIMD(m_ref1, m_ref2, window); });
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
