#include "dsp/ToneLobes.h"

#include "base/Rounding.h"
#include "dsp/DSPFFTData.h"
#include "dsp/IMDProducts.h"

#include <algorithm>
#include <cmath>
#include <limits>

int CToneLobes::LobeHalfWidth(int window) {
    // Bins from a tone's peak to the first zero of the window's transform.
    switch (window) {
    case CDSPFFTData::WindowBlackman:
        return 3;
    case CDSPFFTData::WindowFlatTop:
        return 5;
    default:
        return 2; // "TapRect" (a little wider than the plain block), "Triangle", Hanning, Hamming
    }
}

int CToneLobes::GuardHalfWidth(int window) {
    // Measured with a full-scale tone half a bin off centre at 4096 points: the side lobes left
    // outside this many bins add under 0.1 % to THD+N for Hanning and Blackman. Hamming's and the
    // tapered block's far side lobes fall so slowly that no width helps; theirs is a compromise.
    switch (window) {
    case CDSPFFTData::WindowBlackman:
        return 6;
    case CDSPFFTData::WindowFlatTop:
        return 8;
    case CDSPFFTData::WindowTriangle:
        return 16;
    case CDSPFFTData::WindowTapRect:
        return 12;
    default:
        return 8;
    }
}

CToneLobes::CToneLobes(const CDSPData& magnitude, int window)
    : m_binWidth(magnitude.GetSampleRate() / std::max(1, int(magnitude.GetSize()))),
      m_lobe(LobeHalfWidth(window)), m_guard(GuardHalfWidth(window)) {
    const double* m = magnitude.GetDataPointer();
    const int half = m ? magnitude.GetSize() / 2 : 0;
    m_power.resize(static_cast<size_t>(half));
    for (int k = 0; k < half; ++k)
        m_power[size_t(k)] = m[k] * m[k];
}

double CToneLobes::Frequency(double position) const {
    return position * m_binWidth;
}

CToneLobes::CTone CToneLobes::ToneAt(double position) const {
    CTone tone;
    const int half = Half();
    if (half == 0) return tone;
    const double nearest = RoundHalfUp(position);
    const int centre = nearest <= 0.0 ? 0 : nearest >= half - 1 ? half - 1 : int(nearest);
    // The peak: the strongest of the nearest bin and its two neighbours (ties keep the nearest).
    tone.bin = centre;
    for (int b : {centre - 1, centre + 1})
        if (b >= 0 && b < half && m_power[size_t(b)] > m_power[size_t(tone.bin)]) tone.bin = b;
    // Power and its centre of gravity over the lobe.
    double moment = 0.0;
    for (int b = std::max(0, tone.bin - m_lobe); b <= std::min(half - 1, tone.bin + m_lobe); ++b) {
        tone.power += m_power[size_t(b)];
        moment += b * m_power[size_t(b)];
    }
    tone.position = tone.power > 0.0 ? moment / tone.power : tone.bin;
    return tone;
}

CToneLobes::CTone CToneLobes::FindTone(double frequency) const {
    if (frequency != 0.0) return ToneAt(frequency / m_binWidth);
    // The strongest bin, scanned as for a single-bin spectrum: ties keep the lower bin.
    int best = 0;
    double bestPower = std::numeric_limits<double>::min();
    for (int b = 0; b < Half(); ++b)
        if (m_power[size_t(b)] > bestPower) {
            best = b;
            bestPower = m_power[size_t(b)];
        }
    return ToneAt(best);
}

std::pair<CToneLobes::CTone, CToneLobes::CTone> CToneLobes::FindPair(double f1, double f2) const {
    if (f1 != 0.0 && f2 != 0.0) return {ToneAt(f1 / m_binWidth), ToneAt(f2 / m_binWidth)};
    const CTone first = FindTone(0.0);
    // The first tone's own lobe and near side lobes outshine any second tone: skip them.
    int best = 0;
    double bestPower = std::numeric_limits<double>::min();
    for (int b = 0; b < Half(); ++b)
        if (std::abs(b - first.bin) > m_guard && m_power[size_t(b)] > bestPower) {
            best = b;
            bestPower = m_power[size_t(b)];
        }
    return {first, ToneAt(best)};
}

void CToneLobes::Mark(std::vector<bool>& marks, int bin, int width, bool value) const {
    for (int b = std::max(0, bin - width); b <= std::min(Half() - 1, bin + width); ++b)
        marks[size_t(b)] = value;
}

double CToneLobes::SumMarked(const std::vector<bool>& marks, double (*gain)(double)) const {
    double sum = 0.0;
    for (int b = 0; b < Half(); ++b) {
        if (!marks[size_t(b)]) continue;
        const double g = gain ? gain(Frequency(b)) : 1.0;
        sum += m_power[size_t(b)] * g * g;
    }
    return sum;
}

double CToneLobes::HarmonicDistortion(const CTone& fundamental, int harmonic) const {
    const double position = harmonic * fundamental.position;
    if (harmonic < 1 || RoundHalfUp(position) >= Half()) return 0.0;
    if (harmonic == 1) return fundamental.power / fundamental.power * 100.0; // the tone itself
    // A harmonic close to a low fundamental shares bins with its lobe: those stay the tone's.
    std::vector<bool> marks(size_t(Half()), false);
    Mark(marks, ToneAt(position).bin, m_lobe, true);
    Mark(marks, fundamental.bin, m_lobe, false);
    return std::sqrt(SumMarked(marks) / fundamental.power) * 100.0;
}

std::vector<bool> CToneLobes::HarmonicBins(const CTone& fundamental, int lastHarmonic) const {
    std::vector<bool> marks(size_t(Half()), false);
    const int last = lastHarmonic > 0 ? lastHarmonic : Half();
    // Each bin counted once where lobes overlap.
    for (int h = 2; h <= last && RoundHalfUp(h * fundamental.position) < Half(); ++h)
        Mark(marks, ToneAt(h * fundamental.position).bin, m_lobe, true);
    Mark(marks, fundamental.bin, m_lobe, false);
    return marks;
}

std::vector<bool> CToneLobes::ResidualBins(const CTone& fundamental) const {
    std::vector<bool> marks(size_t(Half()), true);
    Mark(marks, fundamental.bin, m_guard, false);
    Mark(marks, 0, m_lobe, false); // DC and its lobe are an offset, not noise
    return marks;
}

double CToneLobes::THD(const CTone& fundamental, int lastHarmonic) const {
    return std::sqrt(SumMarked(HarmonicBins(fundamental, lastHarmonic)) / fundamental.power) *
           100.0;
}

double CToneLobes::THDPlusN(const CTone& fundamental) const {
    return std::sqrt(SumMarked(ResidualBins(fundamental)) / fundamental.power) * 100.0;
}

double CToneLobes::IMD(const CTone& tone1, const CTone& tone2, int order) const {
    std::vector<bool> marks(size_t(Half()), false);
    for (const CIMDProduct& p : IMDProductsOfOrder(order)) {
        const double position = std::fabs(p.a * tone1.position + p.b * tone2.position);
        if (RoundHalfUp(position) < Half()) Mark(marks, ToneAt(position).bin, m_lobe, true);
    }
    Mark(marks, tone1.bin, m_lobe, false);
    Mark(marks, tone2.bin, m_lobe, false);
    return std::sqrt(SumMarked(marks) / (tone1.power + tone2.power)) * 100.0;
}
