// The texts the analyser shows in each channel's plot: the scale, the start and stop
// frequencies, the tone and distortion readouts of the THD and IMD displays, and the average
// counter. The display draws exactly these, and the command line prints them.

#include "modules/spectrum/SpecView.h"

#include "base/NumberText.h"
#include "plot/Channel.h"

#include <array>
#include <cmath>

std::vector<CReadoutValue> CSpecView::ChannelReadoutValues(int channel) const {
    const int ch = channel + 1;
    // A logarithmic axis cannot start at 0 Hz: from the first position it starts where the
    // plot's axis does.
    const std::string start =
        m_xAxisType != kXLin && m_startBin == 0.0
            ? FormatText("%iHz", int(PlotXTraits(SpecPlotX(m_xAxisType)).lowestFrequency))
            : m_startLabels[static_cast<size_t>(m_startPosition)];
    std::vector<CReadoutValue> values{
        {ch, FormatText("Ch%i scale", ch), m_yScaleList[static_cast<size_t>(m_yScaleIndex)], false},
        {ch, "Start", start},
        {ch, "Stop", m_stopLabels[static_cast<size_t>(m_stopPosition)]}};
    const auto add = [&](const std::string& label, const std::string& value) {
        values.push_back({ch, label, value});
    };
    if (m_yAxisType == kYTHDVpk || m_yAxisType == kYIMDVpk) {
        const CDSPFFTData* block = m_pDisplayList ? m_pDisplayList->GetAt(channel) : nullptr;
        const CDSPData* magnitude = block ? block->GetFreqObj() : nullptr;
        const bool measured = magnitude && magnitude->HasValues() && block->GetNumUsed() > 0;

        // Windowed spectra are read lobe by lobe, with the window they were taken with. Before
        // any block arrived only the bins a set reference frequency names are known.
        const int window = measured ? m_windowType : 0;
        if (magnitude && (measured || m_ref1 != 0.0))
            add("Tone1", FormatText("%3.6GHz", magnitude->GetToneFrequency(m_ref1, window)));
        else
            add("Tone1", "- Hz");
        if (m_yAxisType == kYIMDVpk) {
            if (magnitude && (measured || m_ref2 != 0.0))
                add("Tone2", FormatText("%3.6GHz",
                                        magnitude->GetSecondToneFrequency(m_ref1, m_ref2, window)));
            else
                add("Tone2", "- Hz");
        }

        // Distortion and noise are power: with averaging they are read from the RMS average.
        CDSPData rms;
        if (measured && m_blockAverageCount > 1) rms = MeasuredSpectrum(channel);
        if (rms.GetDataPointer()) magnitude = &rms;

        // A reading the block cannot hold (a harmonic above half the sample rate, a fundamental
        // at DC, two tones on one bin) shows the dash form, as one not measured yet does.
        // A product the signal does not hold reads the transform's round-off (1E-13 % and
        // below); anything under -240 dB is no measurement of an audio signal and reads 0.
        constexpr double kRoundOffPercent = 1e-10;
        auto percent = [&](const std::string& label, bool holds, auto measure) {
            const auto shown = [](double v) { return std::fabs(v) < kRoundOffPercent ? 0.0 : v; };
            add(label,
                measured && holds ? FormatText("%3.6G%%", shown(measure())) : std::string("- %"));
        };
        if (m_yAxisType == kYTHDVpk) {
            static constexpr std::array<const char*, 4> kHarmonics{"2nd", "3rd", "4th", "5th"};
            for (int h = 2; h <= 5; ++h)
                percent(std::string(kHarmonics[size_t(h - 2)]) + " Harm Dist",
                        measured && magnitude->HoldsHarmonic(m_ref1, h),
                        [&] { return magnitude->GetHarmonicDistortion(m_ref1, h, window); });
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
    }
    for (const CReadoutValue& level : LevelReadout(channel))
        values.push_back(level);
    if (m_blockAverageIndex > 0)
        add("Rec Avg",
            FormatText("%i / %i", m_averageCounter - 1, static_cast<int>(m_blockAverageCount)));
    return values;
}

CDSPData CSpecView::MeasuredSpectrum(int channel) const {
    CDSPData spectrum;
    const CDSPData& rms = m_rmsAverage[channel];
    const CDSPData* shown = m_pDisplayList ? m_pDisplayList->GetAt(channel)->GetFreqObj() : nullptr;
    if (!shown || !rms.GetDataPointer() || rms.GetSize() != shown->GetSize() ||
        !spectrum.Clone(rms))
        return {};
    spectrum.Copy(rms);
    spectrum.SetNumUsed(rms.GetNumUsed());
    spectrum.UnweightedSmooth(m_smoothingWidth);
    return spectrum;
}

CSpecView::CChannelTexts CSpecView::GetChannelTexts(int channel) const {
    const std::vector<CReadoutValue> values = ChannelReadoutValues(channel);
    CChannelTexts texts;
    texts.scale = values[0].Text();
    texts.start = values[1].Text();
    texts.stop = values[2].Text();
    size_t end = values.size();
    if (m_blockAverageIndex > 0) texts.average = values[--end].Text();
    for (size_t i = 3; i < end; ++i)
        texts.readouts.push_back(values[i].Text());
    return texts;
}

std::vector<CReadoutValue> CSpecView::GetReadoutValues() const {
    std::vector<CReadoutValue> values;
    const int channels = m_pDisplayList ? m_pDisplayList->GetNumChans() : 0;
    for (int ch = 0; ch < channels; ++ch) {
        const std::vector<CReadoutValue> mine = ChannelReadoutValues(ch);
        values.insert(values.end(), mine.begin(), mine.end());
    }
    return values;
}
