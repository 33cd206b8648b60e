// Forward and inverse FFT, windows, calibration and inversion of a sample block.

#include "dsp/Complex.h"
#include "dsp/DSPFFTData.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>
#include <vector>

namespace {
const double kPi = 4.0 * std::atan(1.0);

// In-place radix-2 decimation-in-time transform of n = 2^m values, unscaled. direction -1 is
// the forward transform (e^-j...), +1 the inverse. The twiddle factor is advanced by complex
// multiplication within each stage.
void Transform(std::vector<CComplex>& x, int m, double direction) {
    const int32_t n = static_cast<int32_t>(x.size());
    int32_t j = 0;
    for (int32_t i = 0; i < n; ++i) {
        if (i < j) std::swap(x[i], x[j]);
        int32_t k = n / 2;
        while (k != 0 && k <= j) {
            j -= k;
            k /= 2;
        }
        j += k;
    }
    for (int s = 1; s <= m; ++s) {
        const int32_t le = int32_t{1} << s;
        const int32_t h = le / 2;
        const CComplex step(std::cos(kPi / h), direction * std::sin(kPi / h));
        CComplex u(1.0, 0.0);
        for (int32_t jj = 0; jj < h; ++jj) {
            for (int32_t i = jj; i < n; i += le) {
                const CComplex t = x[i + h] * u;
                x[i + h] = x[i] - t;
                x[i] = x[i] + t;
            }
            u = u * step;
        }
    }
}
} // namespace

int32_t CDSPFFTData::TransformSize() const {
    const int32_t n = GetSize();
    if (!HasArrays() || n < 2 || n > kMaxTransformSize || (n & (n - 1)) != 0) return 0;
    return n;
}

bool CDSPFFTData::DoFFT(int window) {
    const int32_t n = TransformSize();
    if (n == 0) return false;
    const int m = std::countr_zero(static_cast<uint32_t>(n));
    const double* time = m_pTime->GetDataPointer();
    std::vector<CComplex> x(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i)
        x[i] = GetWindowSample(window, i) * time[i];
    Transform(x, m, -1.0);

    double* magnitude = m_pFreq->GetDataPointer();
    double* phase = m_pPhase->GetDataPointer();
    for (int32_t k = 0; k < n; ++k) {
        magnitude[k] = x[k].GetMagnitude();
        phase[k] = x[k].GetPhase();
    }
    m_pFreq->SetNumUsed(n);
    m_pPhase->SetNumUsed(n);
    // Single-sided amplitudes: DC by N, every other bin (N/2 included) by N/2.
    magnitude[0] = magnitude[0] / n;
    for (int32_t k = 1; k < n; ++k)
        magnitude[k] = magnitude[k] / (n * 0.5);
    return true;
}

bool CDSPFFTData::DoIFFT() {
    const int32_t n = TransformSize();
    if (n == 0) return false;
    const int m = std::countr_zero(static_cast<uint32_t>(n));
    const double* magnitude = m_pFreq->GetDataPointer();
    const double* phase = m_pPhase->GetDataPointer();
    std::vector<CComplex> x(static_cast<size_t>(n));
    for (int32_t k = 0; k < n; ++k) {
        const double amplitude = (k == 0 ? n : n * 0.5) * magnitude[k];
        const double phi = phase[k] / kDegreesPerRadian;
        x[k] = CComplex(amplitude * std::cos(phi), amplitude * std::sin(phi));
    }
    Transform(x, m, 1.0);
    double* time = m_pTime->GetDataPointer();
    for (int32_t i = 0; i < n; ++i)
        time[i] = x[i].GetReal() / n;
    return true;
}

double CDSPFFTData::GetWindowSample(int window, int index) const {
    const int32_t n = GetSize();
    if (index < 0 || index >= n) return 0.0;
    // One sample has nothing to taper (and N - 1 would divide by zero below).
    if (n == 1) return 1.0;
    const double i = index;
    const double last = n - 1;
    switch (window) {
    case WindowTapRect: {
        const int32_t l = (n - 2) / 10;
        if (index > n - l - 2) return 0.5 * (1.0 - std::cos(kPi * (last - i) / (l + 1)));
        if (index <= l) return 0.5 * (1.0 - std::cos(kPi * i / (l + 1)));
        return 1.0;
    }
    case WindowTriangle:
        return 1.0 - std::fabs(1.0 - 2.0 * i / last);
    case WindowHanning:
        return 0.5 * (1.0 - std::cos(2.0 * kPi * i / last));
    case WindowHamming:
        return 0.53836 - 0.46164 * std::cos(2.0 * kPi * i / last);
    case WindowBlackman:
        return 0.42 - 0.5 * std::cos(2.0 * kPi * i / last) + 0.08 * std::cos(4.0 * kPi * i / last);
    default:
        return 1.0; // "None", and any unknown choice
    }
}

bool CDSPFFTData::DoCal(const CDSPFFTData& calibration, double referenceFrequency) {
    const int32_t n = GetSize();
    if (!HasArrays() || !calibration.HasArrays() || calibration.GetSize() != n) return false;
    const double* cal = calibration.m_pFreq->GetDataPointer();
    const double* calPhase = calibration.m_pPhase->GetDataPointer();
    double reference = 1.0;
    if (referenceFrequency != 0.0) {
        // Truncated, not rounded, to the bin below.
        const double bin = std::floor(referenceFrequency / (GetSampleRate() / n));
        if (!(bin >= 0.0 && bin < n)) return false;
        reference = cal[static_cast<int32_t>(bin)];
    }
    double* magnitude = m_pFreq->GetDataPointer();
    double* phase = m_pPhase->GetDataPointer();
    for (int32_t k = 0; k < n; ++k) {
        magnitude[k] =
            referenceFrequency == 0.0 ? magnitude[k] / cal[k] : magnitude[k] * reference / cal[k];
        phase[k] = phase[k] - calPhase[k];
    }
    return true;
}

int32_t CDSPFFTData::Invert() {
    if (!HasArrays() || !CDSPData::IsValidType(GetType())) return 0;
    const int32_t n = GetSize();
    // A time block holds a single-sided spectrum: only bins 0..N/2 are meaningful.
    int32_t gains = n;
    if (GetType() == CDSPData::kTimeBlock) {
        m_pTime->Invert();
        gains = std::min(n / 2 + 1, n);
    }
    double* magnitude = m_pFreq->GetDataPointer();
    for (int32_t k = 0; k < gains; ++k)
        magnitude[k] = 1.0 / magnitude[k];
    m_pPhase->Invert();
    return n;
}
