#pragma once
// Calibrating a sound card step: the calibration process ("calibration.process": a signal
// generator, a SoundIO step, an oscilloscope and a spectrum analyser) is opened beside the
// user's process, configured for each procedure and run slice by slice; its recordings become
// the fields of the calibration record. The desktop dialog and the command line both drive this
// object; it shows nothing itself except through the application's message boxes and the
// host's callbacks. GUI thread.

#include "process/RunLoop.h"
#include "soundio/Calibration.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CDspApp;
class CDspDoc;
class CDspView;
class CSoundIOView;
class IClipboard;

/** The voltmeter readings at the two sound card inputs ("Please Enter Measured Input Levels"). */
struct CCalibrationLevelInput {
    static constexpr double kMin = -0.000001;
    static constexpr double kMax = 99.999999;
    double ch1 = 0.0;
    double ch2 = 0.0;
    /** Empty when both levels lie within the limits, else the reason OK is refused. */
    std::string Validate() const;
};

/** What the host shows and answers while a procedure runs. Every member may be empty. */
struct CCalibrationHost {
    /** Between slices: lets the host process its messages; true when "Stop" was pressed. */
    std::function<bool()> stopRequested;
    /** The main bar (value of 0..max) and the two channels' recorded levels (0..100). */
    std::function<void(int value, int max)> progress;
    std::function<void(int ch1, int ch2)> levels;
    /** The status text, each time it changes. */
    std::function<void(const std::string&)> status;
    /** A text a procedure shows in the information window. */
    std::function<void(const std::string&)> information;
    /** Asks for the measured input levels, starting from the given ones; empty on Cancel. */
    std::function<std::optional<CCalibrationLevelInput>(const CCalibrationLevelInput&)> askLevels;
};

/** The input calibration tone: the smallest multiple of the bin spacing rate / size that is not
 *  below 200 Hz less one spacing, and at least one spacing (an FFT bin near 200 Hz). */
double CalibrationToneFrequency(double sampleRate, int blockSize);
/** The voltage a sample of 1.0 stands for, from the user's level `user` at a recorded peak of
 *  `peakPercent` % of full scale: "%6.4f Vpk" for "Vpeak", else the RMS reading's peak
 *  "%6.4f Vrms". Empty for a peak of 0, which gives no level. */
std::string FullScaleLevelText(double user, int peakPercent, const std::string& measSel);
/** Where "Save" proposes to write a record that has no file yet: the process title up to its
 *  first punctuation other than '_', then "_SoundIO_Step_<n>.calibration", in the process
 *  file's folder (a bare name for a process never saved). */
std::string ProposedCalibrationPath(const CSoundIOView& owner);
/** Which procedures a Run performs for a record. */
struct CCalibrationPlan {
    bool input = false;
    bool latency = false;
    bool frequency = false;
};
CCalibrationPlan PlanCalibration(const CCalibration& record);

/** Where "calibration.process" is looked for: the program's folder, the installed data folder
 *  (share/aurivo beside the program's bin folder), then the user's data folder
 *  ($XDG_DATA_HOME/aurivo, else ~/.local/share/aurivo). */
std::vector<std::string> CalibrationSearchFolders();
/** The first "calibration.process" in `folders`; empty when none has one. */
std::string FindCalibrationProcess(const std::vector<std::string>& folders);

class CCalibrationSession {
public:
    static constexpr const char* kFileName = "calibration.process";
    static constexpr const char* kFileFilter =
        "calibration files (*.calibration)|*.calibration|cal files (*.cal)|*.cal|All files "
        "(*.*)|*.*||";

    /** Calibrates `owner`, a SoundIO step of a process open in `app`. */
    CCalibrationSession(CDspApp& app, CSoundIOView& owner, CCalibrationHost host = {});
    ~CCalibrationSession();
    CCalibrationSession(const CCalibrationSession&) = delete;
    CCalibrationSession& operator=(const CCalibrationSession&) = delete;

    /** Finds and opens the calibration process, checks its four steps and copies the owner's
     *  record in; false after showing why (the dialog then closes). */
    bool Open(const std::vector<std::string>& searchFolders = CalibrationSearchFolders());

    /** The procedures the record asks for, in order; false when one failed or was stopped
     *  (the status tells which). */
    bool Run();
    /** "Stop": stops the calibration process; status "Aborted". */
    void Stop();
    /** "New": both records back to defaults. */
    void New();
    /** "Open": loads a calibration file (asking the application's open dialog when `path` is
     *  empty); false when nothing was taken. */
    bool OpenFile(const std::string& path = {});
    /** "Save": saves the edited record (asking for the path when `path` is empty). */
    bool SaveFile(const std::string& path = {});
    /** "Cut", "Copy", "Paste": the frequency response as clipboard text. */
    bool Cut();
    bool Copy();
    bool Paste();
    /** "OK": offers to save a record without file, makes the edited record the owner's, closes
     *  the calibration process, then offers to save the user's process. */
    void OK();
    /** "Cancel": closes the calibration process; the owner's record stays. */
    void Cancel();
    /** OK without questions: the owner takes the edited record; the process closes. */
    void Accept();
    /** Marks a change of a list or an "Apply" box made by the host in the edited record. */
    void ControlChanged() { m_parametersChanged = true; }

    /** The edited record (the calibration SoundIO's scratch record); null until opened. */
    CCalibration* GetEdited() const;
    CSoundIOView* GetCalibrationSoundIO() const { return m_pCalSoundIO; }
    CDspDoc* GetCalibrationDocument() const { return m_pCalDoc; }
    const std::string& GetPath() const { return m_path; }
    const std::string& GetStatus() const { return m_status; }
    bool IsParametersChanged() const { return m_parametersChanged; }
    bool IsCalibrationFileChanged() const { return m_calFileChanged; }

private:
    enum class EOutcome { kGoOn, kFailed };

    EOutcome RunInputLevels();
    EOutcome RunLatency();
    EOutcome RunFrequency();
    /** Clears both records' errors and shows the procedure's running text. */
    void BeginProcedure(const char* status);
    /** Sets the status; a failure's text also goes to the information window. */
    EOutcome Fail(const std::string& status);
    /** One step of the calibration process (slices until a step waiting for the card is done);
     *  false when the calibration process stopped. */
    bool Slice();
    /** Asks the host between slices; on Stop the process stops and the status is "Aborted". */
    bool Stopped();
    /** Shows the calibration step's peak levels on the per-channel bars. */
    void ShowPeakLevels();
    /** Saves the calibration process with the settings just made; a read-only copy (an
     *  installed one) keeps running from memory. */
    void SaveProcess();
    void Set(int step, const std::string& id, const std::string& value);
    /** Copies settings by id from a view of the user's process to a calibration step. */
    void CopySettings(const CDspView* from, int step, const std::vector<std::string>& ids);
    /** The first step of the user's process made by `module`; null when none. */
    CDspView* UserStep(const std::string& module) const;
    bool CheckSteps();
    /** A clipboard operation on the edited record's frequency response. */
    bool WithResponse(int32_t (*operation)(CDSPFFTDataList&, IClipboard&));
    void CloseProcess();
    CCalibration& InUse() const;
    void SetStatus(const std::string& status);

    CDspApp& m_app;
    CRunLoop m_loop{m_app, EPausePolicy::Resume}; // the calibration never pauses
    CSoundIOView& m_owner;
    CCalibrationHost m_host;
    bool m_stopPressed = false; // a Stop the host reported while a step was pending
    CDspDoc* m_pUserDoc = nullptr;
    CDspDoc* m_pCalDoc = nullptr;
    CSoundIOView* m_pCalSoundIO = nullptr;
    std::string m_path;
    std::string m_status;
    bool m_parametersChanged = false;
    bool m_calFileChanged = false;
};
