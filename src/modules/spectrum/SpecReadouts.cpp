// The texts the analyser shows in each channel's plot: the scale, the start and stop
// frequencies, the tone and distortion readouts of the THD and IMD displays, and the average
// counter. The display draws exactly these, and the command line prints them.

#include "modules/spectrum/SpecView.h"

#include "base/NumberText.h"
#include "dsp/StandardIMD.h"
#include "dsp/ToneNoise.h"
#include "dsp/WindowGain.h"
#include "plot/Channel.h"

#include <array>
#include <cmath>
#include <numbers>

namespace {
// A product the signal does not hold reads the transform's round-off (1E-13 % and below);
// anything under -260 dB is no measurement of an audio signal and reads 0.
constexpr double kRoundOffPercent = 1e-10;

double ShownPercent(double percent) {
    return std::fabs(percent) < kRoundOffPercent ? 0.0 : percent;
}

std::string PercentDbText(double percent) {
    if (std::fabs(percent) < kRoundOffPercent) return "< -260 dB";
    return FormatText("%.2f dB", 20.0 * std::log10(percent / 100.0));
}

// A ratio in dB; a residual of nothing at all makes it unbounded.
std::string RatioText(double db, const char* unit) {
    return std::isfinite(db) ? FormatText("%.2f %s", db, unit) : std::string("> 260 ") + unit;
}
} // namespace

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
        // With "dB:" THD and THD+N follow with the same ratio in dB.
        auto percent = [&](const std::string& label, bool holds, auto measure, bool db = false) {
            const bool reads = measured && holds;
            const double value = reads ? measure() : 0.0;
            add(label, reads ? FormatText("%3.6G%%", ShownPercent(value)) : std::string("- %"));
            if (db && m_distortionDb) add(label, reads ? PercentDbText(value) : "- dB");
        };
        if (m_yAxisType == kYTHDVpk) {
            static constexpr std::array<const char*, 4> kHarmonics{"2nd", "3rd", "4th", "5th"};
            for (int h = 2; h <= 5; ++h)
                percent(std::string(kHarmonics[size_t(h - 2)]) + " Harm Dist",
                        measured && magnitude->HoldsHarmonic(m_ref1, h),
                        [&] { return magnitude->GetHarmonicDistortion(m_ref1, h, window); });
            // With the noise measured, a harmonic within 6 dB of what the noise alone reads
            // there says so: its number would be the noise's.
            if (m_noiseReadout != kNoiseOff && measured) {
                const double floor =
                    ReadToneNoise(*magnitude, NoiseOptions(*block, window)).floorPercent;
                for (size_t i = values.size() - 4; i < values.size(); ++i)
                    if (values[i].value != "- %" && ParseDouble(values[i].value) < 2.0 * floor)
                        values[i].value = "< noise";
            }
            const bool holds = measured && magnitude->HoldsHarmonic(m_ref1, 2);
            const int last = m_thdHarmonics > 0 ? m_thdHarmonics + 1 : 0;
            percent(
                "THD", holds, [&] { return magnitude->GetTHD(m_ref1, window, last); }, true);
            percent(
                "THD+N", holds, [&] { return magnitude->GetTHDPlusN(m_ref1, window); }, true);
            if (m_noiseReadout != kNoiseOff)
                AddNoiseReadouts(values, channel, block, holds ? magnitude : nullptr, window);
        } else {
            const bool holds = measured && magnitude->HoldsTwoTones(m_ref1, m_ref2);
            percent("2nd Order IMD", holds,
                    [&] { return magnitude->Get2ndOrderIMD(m_ref1, m_ref2, window); });
            percent("3rd Order IMD", holds,
                    [&] { return magnitude->Get3rdOrderIMD(m_ref1, m_ref2, window); });
            percent("4th Order IMD", holds,
                    [&] { return magnitude->Get4thOrderIMD(m_ref1, m_ref2, window); });
            if (m_imdMethod == kIMDSmpte)
                percent("SMPTE IMD", holds,
                        [&] { return SmpteIMD(*magnitude, window, m_ref1, m_ref2); });
            if (m_imdMethod == kIMDCcif) {
                const auto ccif = [&] {
                    return DifferenceFrequencyIMD(*magnitude, window, m_ref1, m_ref2);
                };
                percent("CCIF d2", holds, [&] { return ccif().d2; });
                percent("CCIF d3", holds, [&] { return ccif().d3; });
            }
        }
    }
    for (const CReadoutValue& level : LevelReadout(channel))
        values.push_back(level);
    if (m_blockAverageIndex > 0)
        add("Rec Avg",
            FormatText("%i / %i", m_averageCounter - 1, static_cast<int>(m_blockAverageCount)));
    return values;
}

void CSpecView::AddNoiseReadouts(std::vector<CReadoutValue>& values, int channel,
                                 const CDSPFFTData* block, const CDSPData* magnitude,
                                 int window) const {
    const bool weighted = m_noiseReadout == kNoiseA;
    const char* ratio = weighted ? "dB(A)" : "dB";
    const int ch = channel + 1;
    if (!block || !magnitude) {
        values.push_back({ch, "Noise", weighted ? "- dBFS(A)" : "- dBFS"});
        values.push_back({ch, "SNR", std::string("- ") + ratio});
        values.push_back({ch, "SINAD", std::string("- ") + ratio});
        return;
    }
    const CToneNoise noise = ReadToneNoise(*magnitude, NoiseOptions(*block, window));
    values.push_back({ch, "Noise", NoiseLevelText(noise.residualRms) + (weighted ? "(A)" : "")});
    values.push_back({ch, "SNR", RatioText(noise.snrDb, ratio)});
    values.push_back({ch, "SINAD", RatioText(noise.sinadDb, ratio)});
}

CToneNoiseOptions CSpecView::NoiseOptions(const CDSPFFTData& block, int window) const {
    CToneNoiseOptions options;
    options.window = window;
    options.fundamental = m_ref1;
    options.lastHarmonic = m_thdHarmonics > 0 ? m_thdHarmonics + 1 : 0;
    options.aWeighted = m_noiseReadout == kNoiseA;
    options.noiseBandwidth = WindowNoiseBandwidth(block, window);
    options.toneGain = CorrectsWindowAmplitude() ? 1.0 : WindowCoherentGain(block, window);
    return options;
}

std::string CSpecView::NoiseLevelText(double rms) const {
    // Against a full-scale sine's rms, 1 / sqrt(2).
    if (!(rms > 0.0)) return "< -260 dBFS";
    return FormatText("%.2f dBFS", 20.0 * std::log10(rms * std::numbers::sqrt2));
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
