#pragma once
// The process document: the process-wide signal settings, the steps (one module view each), the
// run state, and the two block-list pointers through which steps hand blocks to one another.
// One idle slice (OnIdle) processes exactly one step; nothing here blocks or runs concurrently.

#include "dsp/DSPFFTDataList.h"
#include "base/Archive.h"
#include "process/DspView.h"
#include "process/FFTOptsDlg.h"
#include "process/ModuleClass.h"
#include "base/RuntimeClass.h"

#include <list>
#include <memory>
#include <string>
#include <vector>

class CDspApp;

/** Window geometry a GUI keeps for a document; null when headless. GUI thread. */
class IDocumentFrame {
public:
    virtual ~IDocumentFrame() = default;
    /** Main window rectangle in screen coordinates. */
    virtual CRect GetMainWindowRect() const = 0;
    /** The document frame in the coordinates of the main window's document area. */
    virtual CRect GetFrameRect() const = 0;
    /** Client size of each step's view, in step order. */
    virtual std::vector<CSize> GetPaneSizes() const = 0;
    virtual void MoveMainWindow(const CRect& r) = 0;
    virtual void MoveFrame(const CRect& r) = 0;
};

class CDspDoc : public CObject {
    AURIVO_DECLARE_SERIAL(CDspDoc)
public:
    static constexpr int kMaxSteps = 6;
    static constexpr double kMinSampleRate = 1.0;
    static constexpr double kMaxSampleRate = 10e6;
    static constexpr const char* kBlockSizeRange =
        "the FFT size must be a power of two from 2 to 131072";
    static constexpr const char* kSampleRateRange = "the sample rate must be from 1 to 10000000 Hz";
    /** A block size a process may have: a power of two from 2 to 131072. */
    static bool IsValidBlockSize(double size);
    /** A sample rate a process may have, in Hz; the file reader and every editor agree. */
    static bool IsValidSampleRate(double rate) {
        return rate >= kMinSampleRate && rate <= kMaxSampleRate;
    }
    /** Enough of a file's start to hold its schema name, even written in wide characters. */
    static constexpr size_t kSchemaBytes = 32;
    /** False when `head` (the file's first kSchemaBytes, or all of a shorter file) cannot be
     *  the start of a process file. */
    static bool StartsLikeProcessFile(const std::vector<uint8_t>& head);

    explicit CDspDoc(CDspApp* app = nullptr);
    ~CDspDoc() override;
    CDspDoc(const CDspDoc&) = delete;
    CDspDoc& operator=(const CDspDoc&) = delete;

    CDspApp* GetApp() const { return m_pApp; }

    // Framework document state.
    const std::string& GetTitle() const { return m_title; }
    void SetTitle(const std::string& title) { m_title = title; }
    const std::string& GetPathName() const { return m_pathName; }
    /** Sets the path and the title (the file name without folder). */
    void SetPathName(const std::string& path);
    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true) { m_modified = modified; }
    void SetFrame(IDocumentFrame* frame) { m_pFrame = frame; }
    /** Moves the main window and the frame to the rectangles read from the file, when they are
     *  not empty; never for the calibration document. A frame attached after reading calls it. */
    void ApplyWindowPlacement();
    /** Marks the process the calibration dialog opened and runs: it keeps its windows where they
     *  are and its steps report errors only to the dialog. Whatever its file is named, a process
     *  the user opens is never the calibration document. */
    void SetCalibrationDocument(bool calibration) { m_calibrationDocument = calibration; }
    bool IsCalibrationDocument() const { return m_calibrationDocument; }

    /** Builds the steps: one view per class (a plain view for 0 or more than 6 classes), each
     *  attached and initialised. Replaces any views the document had. */
    void BuildViews(const std::vector<const CModuleClass*>& classes);
    size_t GetViewCount() const { return m_views.size(); }
    CDspView* GetView(size_t index) const;
    /** 0-based position of the view, or -1. */
    int FindView(const CDspView* view) const;

    // Settings.
    int GetSize() const { return m_blockSize; }
    double GetSampleRate() const { return m_sampleRate; }
    int GetNumChans() const { return m_channelCount; }
    int GetType() const { return m_blockType; }
    void SetSize(int size) { m_blockSize = size; }
    void SetSampleRate(double rate) { m_sampleRate = rate; }
    int GetPauseOnRecordCount() const { return m_pauseOnRecord; }
    void SetPauseOnRecordCount(int n) { m_pauseOnRecord = n; }
    bool GetPauseOnEveryModule() const { return m_pauseEveryModule != 0; }
    void SetPauseOnEveryModule(bool on) { m_pauseEveryModule = on ? 1 : 0; }
    const std::string& GetSchemaText() const { return m_schema; }
    const CRect& GetMainWindowRect() const { return m_mainWindowRect; }
    const CRect& GetFrameRect() const { return m_frameRect; }
    const std::vector<CSize>& GetPaneSizes() const { return m_paneSizes; }

    // Steps.
    const std::list<std::string>& GetStepNames() const { return m_stepNames; }
    const std::list<std::string>& GetStepIdentities() const { return m_stepIds; }
    void SetSteps(const std::list<std::string>& names, const std::list<std::string>& ids);
    int GetStepCount() const { return static_cast<int>(m_stepNames.size()); }
    void SetPlugInTable(const std::vector<PlugInEntry>& table) { m_plugIns = table; }
    PlugInEntry GetPlugIn(size_t step) const;
    /** "Step: " + 1-based position + " " + module name, or "No Modules Selected". */
    std::string GetProcessDesc(const CDspView* view) const;

    // Run state.
    bool IsRunning() const { return m_running != 0; }
    bool IsPaused() const { return m_paused != 0; }
    bool IsStarting() const { return m_starting != 0; }
    int GetCurrentStep() const { return m_currentStep; }
    int GetPassCount() const { return m_passCount; }
    /** True while the current step waits for a device (it is asked again next slice). */
    bool IsStepPending() const { return m_stepPending; }
    bool IsRedrawPending() const { return m_redrawPending != 0; }

    // Block lists handed from step to step; not owned through these pointers.
    // The list the last step handed on and the reference signal. The document shares them
    // with the module that made them, so a module that replaces its lists cannot free them.
    CDSPFFTDataList* GetCurrentList() const { return m_pCurrentList.get(); }
    void SetCurrentList(std::shared_ptr<CDSPFFTDataList> list) { m_pCurrentList = std::move(list); }
    CDSPFFTDataList* GetReferenceList() const { return m_pReferenceList.get(); }
    void SetReferenceList(std::shared_ptr<CDSPFFTDataList> list) {
        m_pReferenceList = std::move(list);
    }
    CDSPFFTDataList* GetDocumentList() const { return m_pDocList.get(); }

    // Commands.
    bool OnEditRun();
    bool OnEditStop();
    void OnEditPauseButton();
    bool RunProcess() { return OnEditRun(); }
    bool StopProcess() { return OnEditStop(); }
    bool PauseProcess();
    /** Applies the document's settings to every module (ends any run). */
    void ShowCurrentParams();
    /** Fills the FFT options from the document. */
    void FillFFTOptions(CFFTOptions& options) const;
    /** Applies confirmed FFT options (ends any run; rebuilds the block lists only when the block
     *  size or sample rate changed). False with a message for values out of range. */
    bool ApplyFFTOptions(const CFFTOptions& options, std::string& message);

    // Process file and edit transfer archive.
    /** Whether module states are read: only in the rebuilt copy of a document read before. */
    void SetReadModuleStates(bool read) { m_readModuleStates = read; }
    void Serialize(CArchive& ar) override;
    /** The edit transfer archive; `newIds` is the identity list after the edit. */
    void SerializeToCurrentFile(CArchive& ar, const std::list<std::string>& newIds);

    // Saving.
    /** Records the window geometry and writes the file atomically. */
    bool OnSaveDocument(const std::string& path, std::string& error);
    bool OnFileSave();
    bool OnFileSaveAs();
    bool DoFileSave();
    /** Asks for a path unless one is given; replace makes it the document's path. */
    bool DoSave(const std::string& pathName, bool replace = true);
    /** Yes / No / Cancel when modified; false means the caller must not close. */
    bool SaveModified();

private:
    friend class CDspApp;
    /** One slice (the application's, through CRunLoop): processes the step at the current
     *  position; 1 while more work follows. */
    int OnIdle();

    enum class EPlugInCall { BuiltIn, Answered, Failed };
    /** Calls the step's plug-in entry (BuiltIn for a built-in module's step). A plug-in that
     *  throws has Failed: the step shows why, unless `failure` takes the message instead. */
    EPlugInCall CallPlugIn(size_t step, const char* operation, void* argument, void** result,
                           std::string* failure = nullptr);
    bool StartStep(size_t step);
    /** 1 done, 0 failed, CDspView::kPending waiting for a device. */
    int ProcessStep(size_t step);
    void EndStep(size_t step);
    void SerializeStep(size_t step, CArchive& ar);
    /** The steps' optional settings after the last step, keyed by step number: `steps[i]` is
     *  the step written as number i + 1 (null: none). Nothing when no setting differs from
     *  its default, so such files keep the layout they always had. */
    static void WriteOptionalSettings(CArchive& ar, const std::vector<const CDspView*>& steps);
    /** Reads that record when it follows the last step and hands each step its settings. */
    void ReadOptionalSettings(CArchive& ar);
    void EnsureDocumentList();
    void ReadSettings(CArchive& ar);
    void WriteSettings(CArchive& ar) const;

    CDspApp* m_pApp;
    IDocumentFrame* m_pFrame = nullptr;
    std::string m_title;
    std::string m_pathName;
    bool m_modified = false;
    bool m_calibrationDocument = false;
    std::vector<std::unique_ptr<CDspView>> m_views;

    CRect m_mainWindowRect;
    CRect m_frameRect;
    std::vector<CSize> m_paneSizes;
    int32_t m_pauseOnRecord = 0;
    int32_t m_pauseEveryModule = 0;
    int32_t m_currentStep = 1;
    int32_t m_passCount = 1;
    std::string m_schema;
    int32_t m_blockType = 1;
    int32_t m_blockSize = 1024;
    double m_sampleRate = 96000.0;
    int32_t m_channelCount = 2;
    int32_t m_running = 0;
    int32_t m_paused = 0;
    bool m_stepPending = false;
    int32_t m_starting = 0;
    uint8_t m_redrawPending = 0;
    bool m_readModuleStates = false;
    std::shared_ptr<CDSPFFTDataList> m_pCurrentList;
    std::shared_ptr<CDSPFFTDataList> m_pReferenceList;
    std::shared_ptr<CDSPFFTDataList> m_pDocList;
    std::list<std::string> m_stepNames;
    std::list<std::string> m_stepIds;
    std::vector<PlugInEntry> m_plugIns;
};
