#pragma once
// A transfer function measured through the virtual loopback card: a source step (generator or
// WAV file), "SoundIO" playing and recording through the card's device model, and the
// "Transfer Function" step; and the model's own response, computed here in long double from its
// taps, as the truth the measurement is held against.

#include "common/ModuleProcess.h"
#include "common/TempFolder.h"
#include "common/WavBytes.h"
#include "modules/transfer/TransferView.h"
#include "platform/VirtualCard.h"
#include "soundio/SoundIOView.h"

#include <cmath>
#include <complex>
#include <numbers>
#include <random>

constexpr int kRate = 48000;

/** The model's gain and filter at f Hz: gain * sum r_k e^(-2 pi i f k / fs). */
inline std::complex<long double> ModelResponse(const CDeviceModel& m, double f) {
    std::complex<long double> h = 0.0L;
    for (size_t k = 0; k < m.response.size(); ++k)
        h += (long double)m.response[k] *
             std::polar(1.0L, -2.0L * std::numbers::pi_v<long double> * f * k / kRate);
    return (long double)m.gain * h;
}

/** Where the played block starts in the recording: SoundIO's lead-in, then the card's latency. */
inline int ModelDelay(const CDeviceModel& m) {
    return CSoundIOView::kLeadInFrames + m.latency;
}

/** A stereo 16-bit WAV file of the two channels at 48 kHz. */
inline void WriteWav(const std::string& path, const std::vector<double>& left,
                     const std::vector<double>& right) {
    std::vector<uint8_t> data;
    for (size_t i = 0; i < left.size(); ++i)
        for (double v : {left[i], right[i]}) {
            const auto s = int16_t(std::lround(std::clamp(v, -1.0, 32767.0 / 32768.0) * 32768.0));
            const auto bytes = LittleEndian(uint16_t(s), 2);
            data.insert(data.end(), bytes.begin(), bytes.end());
        }
    PutBytes(path,
             RiffFileBytes({WavChunk("fmt ", FmtBytes(1, 2, kRate, 16)), WavChunk("data", data)}));
}

/** Something like music: a note every eighth of a second (a random pitch from 55 Hz to 1.8 kHz
 *  with 24 decaying harmonics) over a hi-hat of decaying noise bursts. */
inline std::vector<double> MusicLike(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::normal_distribution<double> noise;
    std::vector<double> out(n, 0.0);
    const size_t note = kRate / 8;
    for (size_t start = 0; start < n; start += note) {
        const double f0 = 55.0 * std::pow(2.0, 5.0 * unit(rng));
        for (int k = 1; k <= 24 && k * f0 < 20000.0; ++k)
            for (size_t i = start; i < std::min(n, start + 2 * note); ++i) {
                const double t = double(i - start) / kRate;
                out[i] += 0.2 / k * std::exp(-t * (4.0 + k)) *
                          std::sin(2.0 * std::numbers::pi * k * f0 * t);
            }
        for (size_t i = start; i < std::min(n, start + note); ++i)
            out[i] += 0.05 * std::exp(-double(i - start) / 1500.0) * noise(rng);
    }
    return out;
}

/** The process with the card's model, blocks of `block` samples at 48 kHz. */
class CTransferProcess {
public:
    explicit CTransferProcess(const CDeviceModel& model) : m_card(model) {
        m_p.Session().Audio().SetAudioSystem(&m_card);
    }
    ~CTransferProcess() { m_p.Session().Audio().SetAudioSystem(nullptr); }

    /** The source step with its settings, SoundIO, the transfer function, then `after`. */
    bool Create(const std::string& source, const std::vector<std::string>& sourceSettings,
                int block, const std::vector<std::string>& settings,
                std::vector<std::string> after = {}) {
        after.insert(after.begin(), {source, "SoundIO", "Transfer Function"});
        if (!m_p.Create(after, block, kRate)) return false;
        m_p.Set(1, sourceSettings);
        m_p.Set(2, {"mode=Rec./Play", "rate=48000", "trigger=Latency", "offset=0"});
        m_p.Set(3, settings);
        return true;
    }
    CModuleProcess& P() { return m_p; }
    CTransferView& Tf() { return m_p.Step<CTransferView>(3); }
    const CDeviceModel& Model() const { return m_card.GetModel(); }
    /** Runs passes; false when one failed. */
    bool Run(int passes) {
        for (int i = 0; i < passes; ++i)
            if (!m_p.Pass()) return false;
        return true;
    }

private:
    CVirtualCard m_card;
    CModuleProcess m_p;
};

/** The largest errors of the measured curve against the model between f1 and f2, over the bins
 *  whose coherence reaches `coherence`, and the share of the bins that did. */
struct CCurveErrors {
    double db = 0.0, degrees = 0.0, share = 0.0;
};

inline CCurveErrors ErrorsAgainstModel(const CTransferView::CCurve& curve,
                                       const CDeviceModel& model, double f1, double f2,
                                       double coherence = 0.0) {
    CCurveErrors e;
    int bins = 0, counted = 0;
    for (size_t k = 0; k < curve.coherence.size(); ++k) {
        const double f = double(k) * curve.sampleRate / curve.fftSize;
        if (f < f1 || f > f2) continue;
        ++bins;
        if (curve.coherence[k] < coherence) continue;
        ++counted;
        const std::complex<long double> h = ModelResponse(model, f);
        e.db = std::max(e.db,
                        std::fabs(curve.magnitudeDb[k] - double(20.0L * std::log10(std::abs(h)))));
        e.degrees = std::max(
            e.degrees,
            std::fabs(std::remainder(
                curve.phaseDegrees[k] - double(std::arg(h)) * 180.0 / std::numbers::pi, 360.0)));
    }
    e.share = bins > 0 ? double(counted) / bins : 0.0;
    return e;
}
