#pragma once
// The calibration record of one sound card step: input levels, playback-to-record latency and
// frequency response per channel, the devices, mixer and trigger settings they were measured
// with, which of them are applied, and the measured response as a block list. Stored in the
// process file (Serialize) and as a calibration text file (SaveCalFile / OpenCalFile). The
// checks never show messages; they leave the reason in ReturnedErrors.

#include "dsp/DSPFFTDataList.h"
#include "base/RuntimeClass.h"

#include <memory>
#include <string>

class CArchive;
class CDspView;
class CSoundIOView;

/** One channel's input-level calibration. */
struct CLevelCal {
    std::string FullScaleLevelParams = "1.0 Vpk";
    int PeakSampleLevel = 0;
    double UserInputLevel = 1.0;
    int TriggerLevel = 5;
    int TriggerOffset = -5;
    std::string LevelOutputDeviceName;
    std::string LevelInputDeviceName;
    std::string MixerName;
    std::string MixerSource;
    int Gain = 0;
    std::string MixerDestination;
    bool InputLevelCalApply = false;
    bool operator==(const CLevelCal&) const = default;
};

/** One channel's latency calibration. */
struct CLatencyCal {
    std::string LatencyOutputDeviceName;
    std::string LatencyInputDeviceName;
    std::string LatencyParams = "0.0 Sec.";
    bool LatencyCalApply = false;
    bool operator==(const CLatencyCal&) const = default;
};

/** One channel's frequency response calibration. */
struct CFreqCal {
    std::string FreqOutputDeviceName;
    std::string FreqInputDeviceName;
    std::string FreqCalParams = "None";
    bool FreqCalApply = false;
    bool operator==(const CFreqCal&) const = default;
};

/** `path` made absolute against the working folder, so that a record names the same file
 *  from wherever it is read later; an empty path stays empty. */
std::string CalibrationAbsolutePath(const std::string& path);

class CCalibration : public CObject {
    AURIVO_DECLARE_SERIAL(CCalibration)
public:
    /** The path that stands for "any calibration file" in IsEquivalent. */
    static constexpr const char* kDefaultPath = "C:\\dsp\\default.calibration";

    /** A record without owner: its frequency response is a two-channel list of response
     *  blocks in the document's default shape. */
    CCalibration();
    /** A record of a sound card step, its response shaped like the step's output list. */
    explicit CCalibration(CSoundIOView* owner);
    CCalibration(const CCalibration&) = delete;
    CCalibration& operator=(const CCalibration& other);
    ~CCalibration() override;

    /** Every field except ProcessName and the owner back to its default, and a fresh response
     *  list in the owner's shape. */
    void InitializeDefaults();

    CSoundIOView* GetOwner() const { return m_pOwner; }
    void SetOwner(CSoundIOView* owner) { m_pOwner = owner; }
    const std::string& GetCalPath() const { return PathName; }
    /** The part of the path after its last '/' or '\\'. */
    std::string GetCalFileName() const;
    CDSPFFTDataList* GetFrequencyResponse() const { return m_pFreqResponse.get(); }
    /** True when any result, device or file of a calibration is set (not a fresh record). */
    bool HoldsCalibration() const;

    /** Writes the calibration text file and makes `path` (absolute) the record's path; false
     *  when the file cannot be written, with the message (naming the file and the reason) in
     *  `error` when given. */
    bool SaveCalFile(const std::string& path, std::string* error = nullptr);
    /** Resets to defaults, then reads the file; false for a missing file, a line that names no
     *  field, or a response that cannot be read (the lines read before stay). */
    bool OpenCalFile(const std::string& path);
    /** The same from the file's text (the file's path only names it in messages). */
    bool ReadCalText(std::string_view text, const std::string& path);

    void Serialize(CArchive& ar) override;

    // Checks against the sound card step `view`.
    bool IsValid(CDspView* view);
    bool IsFrequencyCalibrationValid(CDspView* view);
    bool IsAudioHardwareTheSameSettings(CDspView* view);
    bool IsEquivalent(const CCalibration& other) const;

    std::string ProcessName;
    std::string PathName;
    std::string CalSel = "Auto";
    std::string MeasSel = "Vpeak";
    CLevelCal Level[2];
    CLatencyCal Latency[2];
    std::string FreqCalTypeSel = "Pulse";
    CFreqCal Freq[2];
    std::string ReturnedErrors;

private:
    /** A fresh response list in the owner's shape (or the default shape without owner). */
    std::unique_ptr<CDSPFFTDataList> NewResponseList() const;
    /** How the checks name the calibration: its file name, or the process title. */
    std::string CheckName(const CDspView* view) const;
    /** Rows of IsValid and IsFrequencyCalibrationValid that look at the frequency response. */
    bool CheckFrequencyDevices(const std::string& name);
    bool CheckFrequencyResponse(const std::string& name);

    CSoundIOView* m_pOwner = nullptr;
    std::unique_ptr<CDSPFFTDataList> m_pFreqResponse;
};
