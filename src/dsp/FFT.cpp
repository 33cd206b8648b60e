// Forward and inverse FFT, windows, calibration and inversion of a sample block.

#include "dsp/DSPFFTData.h"

#include "dsp/FFTPlan.h"
#include "dsp/PolarConversion.h"
#include "dsp/WindowTable.h"

#include <algorithm>
#include <cmath>
#include <vector>

int32_t CDSPFFTData::TransformSize() const {
    const int32_t n = GetSize();
    if (!HasArrays() || n < 2 || n > kMaxTransformSize || (n & (n - 1)) != 0) return 0;
    return n;
}

bool CDSPFFTData::DoFFT(int window) {
    const int32_t n = TransformSize();
    const CFFTPlan* plan = CFFTPlan::ForSize(n);
    if (plan == nullptr) return false;
    const int32_t half = n / 2;
    thread_local std::vector<double> re, im;
    re.resize(static_cast<size_t>(half) + 1);
    im.resize(static_cast<size_t>(half) + 1);
    plan->Forward(m_pTime->GetDataPointer(), n, WindowTable(window, n), re.data(), im.data());
    // Single-sided amplitudes: DC by N, every other bin (N/2 included) by N/2.
    SpectrumToPolar(n, re.data(), im.data(), m_pFreq->GetDataPointer(), m_pPhase->GetDataPointer());
    m_pFreq->SetNumUsed(n);
    m_pPhase->SetNumUsed(n);
    return true;
}

bool CDSPFFTData::DoIFFT() {
    const int32_t n = TransformSize();
    const CFFTPlan* plan = CFFTPlan::ForSize(n);
    if (plan == nullptr) return false;
    // Only the real part of the inverse is kept, which is the inverse of the spectrum's
    // conjugate-symmetric part.
    thread_local std::vector<double> re, im;
    re.resize(static_cast<size_t>(n));
    im.resize(static_cast<size_t>(n));
    PolarToSpectrum(n, m_pFreq->GetDataPointer(), m_pPhase->GetDataPointer(), re.data(), im.data());
    plan->Inverse(re.data(), im.data(), m_pTime->GetDataPointer());
    return true;
}

double CDSPFFTData::GetWindowSample(int window, int index) const {
    return WindowWeight(window, GetSize(), index);
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
