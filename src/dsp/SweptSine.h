#pragma once
// The synchronized exponential swept sine: x(t) = sin(2 pi f1 L exp(t / L)) with the rate L
// rounded so that f1 L is a whole number. Then harmonic k of the sweep is the sweep itself
// advanced by L ln k, in phase, so that deconvolving a distorted recording with the sweep's
// inverse puts each harmonic's impulse response at its own time advance before the linear one.
// Short raised-cosine fades at both ends keep the sweep's spectrum free of the ripple an abrupt
// start or stop causes.

#include <complex>
#include <cstdint>
#include <span>
#include <string>

class CSweptSine {
public:
    /** The shortest sweep that still resolves the harmonic responses apart, in samples. */
    static constexpr int32_t kMinSamples = 4096;

    /** Why a sweep from `start` to `stop` Hz lasting about `seconds` cannot be played in blocks
     *  of `blockSize` samples at `fs`; empty when it can. */
    static std::string Refusal(double start, double stop, double seconds, double fs,
                               int32_t blockSize);

    /** The sweep nearest to the request; the request must pass Refusal. */
    CSweptSine(double start, double stop, double seconds, double fs);

    double Start() const { return m_start; }
    double Stop() const { return m_stop; }
    double SampleRate() const { return m_fs; }
    /** The rate L in seconds: the time the frequency takes to grow by the factor e. */
    double Rate() const { return m_rate; }
    /** L ln(stop / start): the length after rounding the rate. */
    double Duration() const { return m_duration; }
    /** Samples from the first to the last one of the sweep. */
    int32_t Samples() const { return m_samples; }
    /** Seconds by which harmonic k's response comes before the linear one: L ln k. */
    double HarmonicAdvance(int k) const;
    /** Fade lengths in seconds. */
    double FadeIn() const { return m_fadeIn; }
    double FadeOut() const { return m_fadeOut; }

    /** The sweep at `t` seconds from its start, fades included; 0 outside the sweep. */
    double Value(double t) const;
    /** Samples 0 .. out.size() - 1 of the sweep at `level`, silent after its end. */
    void Fill(std::span<double> out, double level) const;

    /** The analytic inverse of an n-point DFT of the unfaded sweep at `f` Hz (0 < f): the
     *  stationary-phase spectrum X(f) = 1/2 sqrt(L/f) e^(i (2 pi f L (1 - ln(f/f1)) - pi/4)),
     *  times the sample rate, inverted. */
    std::complex<double> Inverse(double f) const;

private:
    double m_start;
    double m_stop;
    double m_fs;
    double m_rate;
    double m_duration;
    double m_fadeIn;
    double m_fadeOut;
    int32_t m_samples;
};
