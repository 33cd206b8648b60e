#include "dsp/WindowGain.h"

#include "dsp/DSPFFTData.h"

double WindowCoherentGain(const CDSPFFTData& block, int window) {
    const int32_t n = block.GetSize();
    if (window == CDSPFFTData::WindowNone || n == 0) return 1.0;
    double sum = 0.0;
    for (int32_t i = 0; i < n; ++i)
        sum += block.GetWindowSample(window, i);
    return sum / n;
}

double WindowNoiseBandwidth(const CDSPFFTData& block, int window) {
    const int32_t n = block.GetSize();
    if (window == CDSPFFTData::WindowNone || n == 0) return 1.0;
    double sum = 0.0, squares = 0.0;
    for (int32_t i = 0; i < n; ++i) {
        const double w = block.GetWindowSample(window, i);
        sum += w;
        squares += w * w;
    }
    return sum != 0.0 ? n * squares / (sum * sum) : 1.0;
}

bool CorrectWindowAmplitude(CDSPFFTData& block, int window) {
    CDSPData* magnitude = block.GetFreqObj();
    if (!magnitude || !magnitude->HasValues()) return false;
    const double gain = WindowCoherentGain(block, window);
    // "None" stays bit for bit as it was; a window of zeros has left nothing to correct.
    if (gain == 1.0 || !(gain > 0.0)) return true;
    double* values = magnitude->GetDataPointer();
    for (int32_t k = 0; k < magnitude->GetSize(); ++k)
        values[k] /= gain;
    return true;
}
