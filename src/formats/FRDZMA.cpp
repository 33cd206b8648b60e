#include "formats/FRDZMA.h"

#include "base/NumberText.h"
#include "dsp/Complex.h"
#include "dsp/DSPFFTDataList.h"
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
// phase for bins 0..N/2-1, over the block's own stored rate and size.
void WriteFRDLines(const CDSPFFTData& block, double referenceLevel, const char* lineEnd,
                   std::string& text) {
    const double fs = block.GetBlockSampleRate();
    const int32_t n = block.GetSize();
    const double gain = block.GetGain();
    const double* magnitude = block.GetFreqObj()->GetDataPointer();
    const double* phase = block.GetPhaseObj()->GetDataPointer();
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

// The impedance table's data lines, each ending in `lineEnd`; false without two blocks of at
// least the list's size.
bool WriteZMALines(const CDSPFFTDataList& list, double referenceResistance, const char* lineEnd,
                   std::string& text) {
    const CDSPFFTData* drive = list.GetAt(0);
    const CDSPFFTData* device = list.GetAt(1);
    const int32_t n = list.GetSize();
    // The bins come from the list's size: both blocks must hold them.
    if (!drive || !device || n <= 0 || !drive->GetFreqObj() || !device->GetFreqObj() ||
        drive->GetSize() < n || device->GetSize() < n)
        return false;
    const double fs = list.GetSampleRate();
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

} // namespace

int32_t SaveFRDdBSPL(CDSPFFTData& block, const std::string& path, const std::string& title,
                     double referenceLevel) {
    if (!block.HasArrays()) return 0;
    std::string text = TableHeader(title, " * Freq(Hz)  SPL(db)  Phase(deg)\n");
    WriteFRDLines(block, referenceLevel, "\n", text);
    std::string error;
    if (!WriteTextFile(path, text, error)) {
        block.SetErrorText(error);
        return 0;
    }
    return block.GetSize();
}

int32_t CopyFRDdBSPL(const CDSPFFTData& block, double referenceLevel, IClipboard& clipboard) {
    if (!block.HasArrays()) return 0;
    std::string text;
    WriteFRDLines(block, referenceLevel, "\r\n", text);
    // A clipboard that refused the text copied nothing, which the caller reports.
    if (!clipboard.SetText(text)) return 0;
    return block.GetSize() / 2;
}

int32_t SaveFRDdBSPL(CDSPFFTDataList& list, int channel, const std::string& path,
                     const std::string& title, double referenceLevel) {
    CDSPFFTData* block = list.GetAt(channel);
    return block ? SaveFRDdBSPL(*block, path, title, referenceLevel) : 0;
}

int32_t SaveZMA(CDSPFFTDataList& list, const std::string& path, const std::string& title,
                double referenceResistance) {
    std::string text = TableHeader(title, " * Freq(Hz)  Z(ohms)  Phase(deg)\n");
    if (!WriteZMALines(list, referenceResistance, "\n", text)) return 0;
    std::string error;
    if (!WriteTextFile(path, text, error)) {
        list.SetErrorText(error);
        return 0;
    }
    return list.GetSize();
}

int32_t CopyZMA(const CDSPFFTDataList& list, double referenceResistance, IClipboard& clipboard) {
    std::string text;
    if (!WriteZMALines(list, referenceResistance, "\r\n", text)) return 0;
    if (!clipboard.SetText(text)) return 0;
    return list.GetSize();
}
