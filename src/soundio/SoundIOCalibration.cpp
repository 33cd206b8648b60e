// Which calibration a sound card step applies: its own file, else "default.calibration"
// beside the process file, else its stored record, each only when it fits the step's present
// hardware; and which of the record's results are applied, as settings a command line sets.

#include "base/NumberText.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"
#include "soundio/SoundIOView.h"
#include "ui/CheckText.h"

namespace {
void ShowInformation(CDspDoc* doc, const std::string& text) {
    if (doc && doc->GetApp()) doc->GetApp()->MessageBox(text, MB_OK);
}

/** One of the record's six apply flags as a setting: which result of which channel. */
struct CApplyFlag {
    const char* id;
    const char* label;
    enum { kLevel, kLatency, kFrequency } group;
    int channel;
};

constexpr CApplyFlag kApplyFlags[] = {
    {"ch1.levelapply", "Ch1 Input Level Calibration Apply", CApplyFlag::kLevel, 0},
    {"ch2.levelapply", "Ch2 Input Level Calibration Apply", CApplyFlag::kLevel, 1},
    {"ch1.latencyapply", "Ch1 Latency Calibration Apply", CApplyFlag::kLatency, 0},
    {"ch2.latencyapply", "Ch2 Latency Calibration Apply", CApplyFlag::kLatency, 1},
    {"ch1.freqapply", "Ch1 Frequency Calibration Apply", CApplyFlag::kFrequency, 0},
    {"ch2.freqapply", "Ch2 Frequency Calibration Apply", CApplyFlag::kFrequency, 1},
};

template <typename Record> auto& FlagOf(Record& record, const CApplyFlag& flag) {
    switch (flag.group) {
    case CApplyFlag::kLevel:
        return record.Level[flag.channel].InputLevelCalApply;
    case CApplyFlag::kLatency:
        return record.Latency[flag.channel].LatencyCalApply;
    default:
        return record.Freq[flag.channel].FreqCalApply;
    }
}
} // namespace

const ISettingRows& CSoundIOView::ApplyFlagRows() {
    using R = CSettingRow<CCalibration>;
    static const CSettingRows<CCalibration> rows = [] {
        std::vector<R> flags;
        for (const CApplyFlag& flag : kApplyFlags)
            flags.push_back(
                R::Stored(flag.id, flag.label)
                    .Access(EFieldType::None,
                            [flag](const CCalibration& c) { return FlagOf(c, flag) ? 1.0 : 0.0; },
                            {})
                    .OnText(
                        [flag](CCalibration& c, const std::string& value, std::string& message) {
                            bool apply = false;
                            if (!ParseCheckText(value, apply)) {
                                message = "'" + value + "' is not a value for " + flag.label +
                                          ": use 1, 0, true, false, on or off";
                                return false;
                            }
                            FlagOf(c, flag) = apply;
                            return true;
                        }));
        return CSettingRows<CCalibration>(std::move(flags));
    }();
    return rows;
}

bool CSoundIOView::IsCalibrated() {
    if (IsCalibrationProcess() || m_ioMode == kOff || m_ioMode == kPlayOnly) return true;
    CCalibration& inUse = *m_pCalibration;
    CCalibration& scratch = *m_pScratchCalibration;
    if (scratch.OpenCalFile(inUse.GetCalPath()) && scratch.IsEquivalent(inUse) &&
        scratch.IsValid(this) && scratch.IsAudioHardwareTheSameSettings(this)) {
        // The file holds the same results; which of them are applied stays the step's choice.
        for (const CApplyFlag& flag : kApplyFlags)
            FlagOf(scratch, flag) = FlagOf(inUse, flag);
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
