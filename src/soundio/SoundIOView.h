#pragma once
// "SoundIO": the step that connects a process to a sound card. Each pass it passes the block on
// (Off), records a block (Record Only), plays the incoming block (Play Only) or plays it and
// records the response (Record+Play), finding the response's start by a trigger. Recordings are
// scaled by the input-level calibration of its calibration record. Device completions arrive
// as messages through the application's event pump; waiting for them is bounded.

#include "dsp/DSPFFTDataLogList.h"
#include "platform/AudioDevices.h"
#include "platform/ExternalProgram.h"
#include "process/DspView.h"
#include "process/FrequencyCalibration.h"
#include "soundio/Calibration.h"
#include "soundio/SoundIOSamples.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CAudioServices;
class CEventPump;

class CSoundIOView : public CDspView, public IWaveClient, private IFrequencyCalibration {
    AURIVO_DECLARE_SERIAL(CSoundIOView)
public:
    enum EMode { kOff = 0, kRecordOnly = 1, kPlayOnly = 2, kRecordPlay = 3 };
    using enum CSoundIOSamples::ETrigger;
    static constexpr int kLeadInFrames = CSoundIOSamples::kLeadInFrames;
    /** Seconds a device may take beyond the span it exchanges before the pass fails. */
    static constexpr double kDeviceGraceSeconds = 2.0;

    CSoundIOView();
    ~CSoundIOView() override;

    // Module contract.
    void OnInitialUpdate() override;
    bool OnInitialModuleSetup() override;
    int StartRun() override;
    int ProcessData() override;
    int EndRun() override;
    void ShowCurrentParams() override;
    /** The step's rows, then its calibration record. */
    void Serialize(CArchive& ar) override;
    std::vector<CReadoutValue> GetReadoutValues() const override;

    // Device completions (IWaveClient), dispatched by the event pump.
    void OnWimData(CWaveHeader* header) override;
    void OnWomDone(CWaveHeader* header) override;

    // Conversions between the current block and PCM, and scans of a recording (channel 0 or 1),
    // in the step's format.
    CSoundIOSamples Samples() const {
        return {m_bitsPerSample,         m_channels,    m_blockSize, m_repeatCount,
                m_ioMode == kRecordPlay, m_floatSamples};
    }
    /** Writes the current block into `buffer` from its start; returns the bytes written. */
    size_t ConvertDoubletoRIFF(std::vector<uint8_t>& buffer) const;
    /** Reads one block of frames from byte `position` of `header` into `list` (the output list
     *  when null), scaled by the calibrated input levels. */
    void ConvertRIFFtoDouble(const CWaveHeader& header, long position,
                             CDSPFFTDataList* list = nullptr);
    int ScanForPeakLevel(const CWaveHeader& h, int channel) const {
        return Samples().PeakLevel(h, channel);
    }
    int ScanForPeakSample(const CWaveHeader& h, int channel) const {
        return Samples().PeakSample(h, channel);
    }
    std::optional<long> ScanForTrigger(const CWaveHeader& h, int channel, double fraction) const {
        return Samples().Trigger(h, channel, fraction);
    }
    /** Seconds from the start of the Record+Play recording to its first sample beyond
     *  `level` percent; 0.0 when none. */
    double GetSIODelay(int channel, double level) const;

    /** Plays the current block `loops` times on an output device that was closed. */
    bool LoopBuffer(int loops);

    // Mixer of the selected mixer device.
    std::string GetSourceName() const;
    std::string GetDestinationName() const;
    int GetInputDeviceLevel() const;

    // Calibration.
    bool IsCalibrated();
    bool IsCalibrationOK();
    CCalibration* GetCalibration() const { return m_pCalibration.get(); }
    /** The record the calibration dialog edits. */
    CCalibration* GetScratchCalibration() const { return m_pScratchCalibration.get(); }
    /** True for the calibration process document itself. */
    bool IsCalibrationProcess() const;
    /** The frequency calibration of its record, for the analysers after this step. */
    IFrequencyCalibration* GetPublishedFrequencyCalibration() override { return this; }

    /** Which device a failed call was made on; either when not known. */
    enum EDevice { kEitherDevice, kInputDevice, kOutputDevice };
    /** True when `code` is success; otherwise shows its text and returns false. */
    bool SoundIOError(int code, EDevice device = kEitherDevice);
    /** The text SoundIOError shows for `code` ("" for success): the device layer's own reason
     *  for the call that failed on `device`, when it has one, else the fixed text. */
    std::string SoundIOErrorText(int code, EDevice device = kEitherDevice) const;

    // Settings and derived values.
    int GetMode() const { return m_ioMode; }
    int GetTriggerMode() const { return m_triggerMode; }
    int GetTriggerLevel() const { return m_triggerLevel; }
    int GetTriggerOffset() const { return m_triggerOffset; }
    int GetSampleRate() const { return m_sampleRate; }
    /** The rate's difference from the process's, the xruns the devices reported and the
     *  input samples lost this run, each when there are any. */
    std::string GetRunWarning() const override;
    /** Gapless capture: Record Only hands consecutive passes consecutive blocks of the input
     *  stream, holding up to kGaplessSeconds of blocks for a process that falls behind, where
     *  the plain mode keeps only the newest kMaxQueuedBlocks. Not stored: a process opens with
     *  it off. */
    bool IsGapless() const { return m_gapless != 0; }
    static constexpr int kMaxQueuedBlocks = 32;
    static constexpr double kGaplessSeconds = 30.0;
    /** Input samples (per channel) lost this run: not taken in by the device, or dropped from
     *  a full queue. */
    int64_t GetLostSamples() const;
    int GetBitsPerSample() const { return m_bitsPerSample; }
    int GetChannelCount() const { return m_channels; }
    int GetRepeatCount() const { return m_repeatCount; }
    const std::string& GetInputDeviceName() const { return m_inputName; }
    const std::string& GetOutputDeviceName() const { return m_outputName; }
    const std::string& GetMixerDeviceName() const { return m_mixerName; }
    /** Whether a mixer program this step started still runs ("Close Mixer"). A class read from
     *  a file alone is not: nothing was started for it; nor is a program that ended. */
    bool HasMixerWindow() const {
        return !m_mixerWindowClass.empty() && m_mixerProgram.IsRunning();
    }
    int GetMixerCount() const { return static_cast<int>(m_mixers.size()); }
    const std::vector<int>& GetSampleRateList() const { return m_rateList; }
    const CWaveHeader* GetRecordHeader() const { return m_pRecordPlayIn.get(); }
    /** Byte position in the Record+Play recording where the last block was read. */
    long GetReadPosition() const { return m_readPosition; }
    /** The signed peak level of a channel (0 or 1) the step shows, in % of full scale. */
    int GetPeakLevel(int channel) const { return m_peakLevel[channel & 1]; }
    /** Output buffers still playing (a looped tone counts until its last repetition). */
    int GetPendingOutput() const { return m_outPending; }

    /** The repeat sequence choices. */
    static const std::vector<int>& RepeatSequence();

protected:
    const ISettingRows* Rows() const override;
    /** The step's rows, then the calibration record's apply flags ("ch1.levelapply",
     *  "ch2.latencyapply", "ch1.freqapply", ...: 1 or 0), listed and set without a control. */
    std::vector<CRowSet> RowSets() const override;
    void SettingsLoaded() override;

private:
    static const CSettingRows<CSoundIOView>& SettingRows();
    static const ISettingRows& ApplyFlagRows();
    /** A channel's last peak level and its sample, as the bar shows them. */
    std::string PeakText(int channel) const;
    // IFrequencyCalibration: the record's response and apply flags, checked against this step.
    bool CheckFrequencyCalibration(std::string& why) override;
    const CDSPFFTData* GetFrequencyCorrection(int channel) const override;

    /** The application's sound devices; null for a view without a document. */
    CAudioServices* Services() const;
    IAudioSystem* Audio() const;
    CEventPump* Pump() const;
    CWaveFormat Format() const;
    /** Where the played block starts in the Record+Play recording, by the trigger settings. */
    CSoundIOSamples::CReadPosition ReadPosition() const;

    // Devices (SoundIODevices.cpp).
    void FillDeviceList();
    void FillSampleRateList();
    void ClampDeviceIndices();
    /** Selects the device of this name again in a list read anew, where it may have moved; a
     *  JACK device that is gone gives way to the JACK ports of the settings file, or failing
     *  those to the device at the stored place, and says so. */
    void SelectDevice(bool input, const std::string& name);
    /** The selected device's name when it is one of JACK's (kept with the process, as the place
     *  of a JACK device in the list changes with the server's ports), else empty. */
    std::string JackDeviceName(bool input) const;
    int FindDevice(const std::vector<CAudioDeviceInfo>& devices, const std::string& name) const;
    bool OpenDevice(bool input);
    void CloseDevices(bool output);

    // Run (SoundIORun.cpp).
    int ProcessRecordOnly();
    int ProcessPlayOnly();
    int ProcessRecordPlay();
    /** Queues the block for playing (Play Only); false when the device failed. */
    bool QueuePlayBlock();
    /** Hands both Record+Play buffers to their devices; false when a device failed. */
    bool StartRecordPlayExchange();
    /** Converts the block for playing and starts its exchange. */
    bool StartBlockExchange();
    /** AwaitDevice for the Record+Play exchange under way. */
    int AwaitRecordPlayExchange();
    /** 1 once `done` holds, kPending while it may still come, 0 (after a message naming the
     *  device) when nothing came within the span plus the grace time, counted from the first
     *  slice that waited. Device messages are dispatched by the host between slices. */
    int AwaitDevice(bool done, double spanSeconds, bool input);
    /** Keeps the message for a buffer the device returned short, which fails the pass waiting. */
    void NoteShortBuffer(const CWaveHeader& header, bool input);
    void ShowPeaks(const CWaveHeader& header);

    // Controls (SoundIOView.cpp).
    /** Stops the run, applies a control's new value, refreshes and marks the document. */
    void ChangeSetting(void (*apply)(CSoundIOView&, int), int value, bool recheckCalibration);
    bool OnClickedSIOOptionsCalibration();
    bool OnClickedSIOOptionsMixer();
    bool OnClickedSIOOptionsMixerSelect();
    /** The mixer program's command line, or empty when its executable cannot be found. */
    std::vector<std::string> MixerCommand() const;
    /** Starts the mixer program; false after a message when it cannot be started. */
    bool StartMixerProgram(const char* notFoundMessage);
    /** The first mixer program installed, when none is stored. */
    void ResolveMixerExecutable();
    /** Once after loading a file that says its mixer was open: asks the user, where a person
     *  answers, whether to start it again. */
    void OfferMixerReopen();

    // Settings, stored.
    int32_t m_inputIndex = 0;
    int32_t m_outputIndex = 0;
    int32_t m_mixerIndex = 0;
    int32_t m_triggerMode = kAuto;
    int32_t m_triggerLevel = 10;
    int32_t m_triggerOffset = -20;
    std::string m_mixerDirectory;
    std::string m_mixerExecutable;
    std::string m_mixerWindowClass;
    int32_t m_repeatIndex = 0;
    int32_t m_calibrationWarnings = 0;
    int32_t m_ioMode = kOff;
    int32_t m_gapless = 0;
    int32_t m_rateIndex = 0;
    bool m_rateFollowsProcess = true; // a new step's rate, until chosen or read from a file
    int32_t m_resolutionIndex = 1;
    int32_t m_channelsIndex = 1;
    bool m_legacyLatencyFlag = false;
    bool m_legacyLoaded = false;
    bool m_offerMixerReopen = false;
    std::array<std::string, 2> m_storedJackDevice; // output, input: selected at the next refresh

    // Derived.
    int m_sampleRate = 5000;
    int m_bitsPerSample = 16;
    bool m_floatSamples = false;
    int m_channels = 2;
    int m_repeatCount = 0;

    // Run state.
    std::vector<CAudioDeviceInfo> m_inputs, m_outputs, m_mixers;
    std::string m_inputName, m_outputName, m_mixerName;
    std::vector<int> m_rateList;
    std::unique_ptr<IWaveDevice> m_pWaveIn;
    std::unique_ptr<IWaveDevice> m_pWaveOut;
    double m_blockSize = 0.0;
    std::unique_ptr<CWaveHeader> m_pRecordPlayIn;
    std::unique_ptr<CWaveHeader> m_pRecordPlayOut;
    std::vector<std::unique_ptr<CWaveHeader>> m_recordHeaders;
    std::vector<std::unique_ptr<CWaveHeader>> m_playHeaders;
    long m_readPosition = 0;
    int m_outPending = 0;
    int m_inPending = 0;
    // The device exchange a pending pass waits for.
    enum EExchange { kNoExchange, kPrimingExchange, kBlockExchange };
    EExchange m_exchange = kNoExchange;
    std::optional<double> m_waitDeadline; // pump seconds; set while a pass is pending
    std::string m_shortBuffer;            // the message for a buffer returned short, this run
    std::unique_ptr<CDSPFFTDataLogList> m_pQueue;
    std::unique_ptr<CCalibration> m_pCalibration;
    std::unique_ptr<CCalibration> m_pScratchCalibration;
    CExternalProgram m_mixerProgram;
    int64_t m_droppedSamples = 0; // blocks dropped from a full queue, in samples
    int m_xruns = 0;              // reported by devices closed during this run
    /** Xruns the open input device (and the output, when `output`) reported since opening. */
    int CurrentXruns(bool output) const;
    int m_peakLevel[2] = {0, 0};
    int m_peakSample[2] = {0, 0};
};
