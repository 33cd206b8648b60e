// FRD files (sound pressure level per bin of one block) and ZMA files (impedance from a
// two-channel measurement), as files and as clipboard text.
#include "dsp/Complex.h"
#include "dsp/DSPFFTData.h"
#include "dsp/DSPFFTDataList.h"
#include "base/NumberText.h"
#include "base/TextLines.h"
#include "formats/TextFile.h"
#include "platform/Clipboard.h"

#include <cfloat>
#include <cmath>

namespace {

// The three comment lines that open FRD and ZMA files.
std::string TableHeader(const std::string& title, const char* columns) {
    return " * " + title + "\n" + columns + " * \n";
}

// The FRD data lines: frequency, level in dB SPL (94 dB at 1 Pa = the reference level) and
// phase for bins 0..n/2-1.
void WriteFRDLines(double fs, int32_t n, double gain, const double* magnitude, const double* phase,
                   double referenceLevel, const char* lineEnd, std::string& text) {
    for (int32_t i = 0; i < n / 2; ++i) {
        double x = gain * magnitude[i] / (referenceLevel / n);
        if (!(x > DBL_MIN)) x = DBL_MIN; // silence (and NaN) read as the floor, not -inf
        const double level = 20.0 * std::log10(x) + 94.0;
        text += FormatText("%4.4f %4.4f %4.4f", fs * i / n, level, phase[i]);
        text += lineEnd;
    }
}

CComplex Polar(double magnitude, double degrees) {
    const double radians = degrees / kDegreesPerRadian;
    return {magnitude * std::cos(radians), magnitude * std::sin(radians)};
}

} // namespace

int32_t CDSPFFTData::SaveFRDdBSPL(const std::string& path, const std::string& title,
                                  double referenceLevel) {
    if (!HasArrays()) return 0;
    std::string text = TableHeader(title, " * Freq(Hz)  SPL(db)  Phase(deg)\n");
    WriteFRDLines(m_sampleRate, GetSize(), m_gain, m_pFreq->GetDataPointer(),
                  m_pPhase->GetDataPointer(), referenceLevel, "\n", text);
    std::string error;
    if (!WriteTextFile(path, text, error)) {
        m_errorText = error;
        return 0;
    }
    return GetSize();
}

int32_t CDSPFFTData::CopyFRDdBSPL(double referenceLevel, IClipboard& clipboard) {
    if (!HasArrays()) return 0;
    std::string text;
    WriteFRDLines(m_sampleRate, GetSize(), m_gain, m_pFreq->GetDataPointer(),
                  m_pPhase->GetDataPointer(), referenceLevel, "\r\n", text);
    clipboard.SetText(text);
    return GetSize() / 2;
}

int32_t CDSPFFTDataList::SaveFRDdBSPL(int channel, const std::string& path,
                                      const std::string& title, double referenceLevel) {
    CDSPFFTData* block = GetAt(channel);
    return block ? block->SaveFRDdBSPL(path, title, referenceLevel) : 0;
}

bool CDSPFFTDataList::WriteZMALines(double referenceResistance, const char* lineEnd,
                                    std::string& text) const {
    const CDSPFFTData* drive = GetAt(0);
    const CDSPFFTData* device = GetAt(1);
    const int32_t n = m_size;
    // The bins come from the list's size: both blocks must hold them.
    if (!drive || !device || n <= 0 || !drive->GetFreqObj() || !device->GetFreqObj() ||
        drive->GetSize() < n || device->GetSize() < n)
        return false;
    const double fs = m_sampleRate;
    const double degreesPerDelay = 360.0 * (fs * 0.5 / n);
    const double* m1 = drive->GetFreqObj()->GetDataPointer();
    const double* p1 = drive->GetPhaseObj()->GetDataPointer();
    const double* m2 = device->GetFreqObj()->GetDataPointer();
    const double* p2 = device->GetPhaseObj()->GetDataPointer();
    const double theta1 = degreesPerDelay * drive->GetDelay();
    const double theta2 = degreesPerDelay * device->GetDelay();
    for (int32_t k = 1; k <= n / 2 - 3; ++k) {
        const CComplex v1 = Polar(drive->GetGain() * m1[k], theta1 + p1[k]);
        const CComplex v2 = Polar(device->GetGain() * m2[k], theta2 + p2[k]);
        // The device (V2 across it) in series with the reference resistance, both driven by V1.
        const CComplex ratio = v2 / v1;
        const CComplex z = CComplex(referenceResistance) * ratio / (CComplex(1.0) - ratio);
        // The phase column is the impedance's own phase (within +-180 degrees).
        const double magnitude = z.GetMagnitude();
        const double phase = z.GetPhase();
        text += FormatText("%4.4f %4.4f %4.4f", fs * k / n, magnitude > 0.0 ? magnitude : 0.0,
                           std::isfinite(phase) ? phase : 0.0);
        text += lineEnd;
    }
    return true;
}

int32_t CDSPFFTDataList::SaveZMA(const std::string& path, const std::string& title,
                                 double referenceResistance) {
    std::string text = TableHeader(title, " * Freq(Hz)  Z(ohms)  Phase(deg)\n");
    if (!WriteZMALines(referenceResistance, "\n", text)) return 0;
    std::string error;
    if (!WriteTextFile(path, text, error)) {
        m_errorText = error;
        return 0;
    }
    return m_size;
}

int32_t CDSPFFTDataList::CopyZMA(double referenceResistance, IClipboard& clipboard) {
    std::string text;
    if (!WriteZMALines(referenceResistance, "\r\n", text)) return 0;
    clipboard.SetText(text);
    return m_size;
}
