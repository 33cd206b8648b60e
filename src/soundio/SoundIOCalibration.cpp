// Which calibration a sound card step applies: its own file, else "default.calibration"
// beside the process file, else its stored record, each only when it fits the step's present
// hardware.

#include "base/NumberText.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"
#include "soundio/SoundIOView.h"

namespace {
void ShowInformation(CDspDoc* doc, const std::string& text) {
    if (doc && doc->GetApp()) doc->GetApp()->MessageBox(text, MB_OK);
}
} // namespace

bool CSoundIOView::IsCalibrated() {
    if (IsCalibrationProcess() || m_ioMode == kOff || m_ioMode == kPlayOnly) return true;
    CCalibration& inUse = *m_pCalibration;
    CCalibration& scratch = *m_pScratchCalibration;
    if (scratch.OpenCalFile(inUse.GetCalPath()) && scratch.IsEquivalent(inUse) &&
        scratch.IsValid(this) && scratch.IsAudioHardwareTheSameSettings(this)) {
        inUse = scratch;
        return true;
    }
    CDspDoc* doc = GetDocument();
    const std::string path = doc ? doc->GetPathName() : std::string();
    const std::string folder = path.substr(0, path.size() - (doc ? doc->GetTitle().size() : 0));
    const std::string defaultPath = folder + "default.calibration";
    if (scratch.OpenCalFile(defaultPath) && scratch.IsValid(this) &&
        scratch.IsAudioHardwareTheSameSettings(this)) {
        inUse = scratch;
        ShowInformation(doc, FormatText("SoundIO Module Step:%i.\nDefault Calibration File Is "
                                        "Valid.\n'%s' File Applied.",
                                        GetProcessStepNumber(), defaultPath.c_str()));
        return true;
    }
    if (!m_calibrationWarnings) return true;
    if (inUse.IsValid(this) && inUse.IsAudioHardwareTheSameSettings(this)) {
        ShowInformation(doc, FormatText("SoundIO Module Step:%i.\nNo Compatible Calibration File "
                                        "Present.\nProcess Calibration Parameters Applied",
                                        GetProcessStepNumber()));
        return true;
    }
    ShowInformation(doc, FormatText("SoundIO Module Step:%i.\n%s.\nNo Compatible Calibration "
                                    "File Present.\nPlease Perform Full Calibration.",
                                    GetProcessStepNumber(), inUse.ReturnedErrors.c_str()));
    inUse.InitializeDefaults();
    return false;
}

bool CSoundIOView::IsCalibrationOK() {
    CCalibration& inUse = *m_pCalibration;
    if (IsCalibrationProcess() || inUse.GetCalPath().empty() || !m_calibrationWarnings) return true;
    if (inUse.IsValid(this) && inUse.IsAudioHardwareTheSameSettings(this)) return true;
    ShowInformation(GetDocument(),
                    FormatText("SoundIO Module Step:%i.\n%s.\nNo Compatible Calibration File "
                               "Present.\nPlease Perform Full Calibration.",
                               GetProcessStepNumber(), inUse.ReturnedErrors.c_str()));
    inUse.InitializeDefaults();
    return false;
}
