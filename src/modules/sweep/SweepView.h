#pragma once
// The "Sweep Analyzer" module: turns a recorded synchronized log sweep (the generator's "Sync
// Log Sweep" played through the system under test) into the system's impulse response, its
// frequency response, phase and group delay, the delay it found, and the harmonic distortion of
// orders 2 to 5 and THD against frequency. The played sweep is known either from the step that
// played it (its reference signal, which sets the level) or from channel 2 looped back
// electrically, whose response is divided out. The block is handed on unchanged.

#include "dsp/SweepAnalysis.h"
#include "formats/MicCalibrationSetting.h"
#include "process/DspView.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

class CSweepView : public CDspView {
    AURIVO_DECLARE_SERIAL(CSweepView)
public:
    enum EReference : int32_t { kRefGenerator = 0, kRefChannel2, kRefCount };
    enum EDisplay : int32_t {
        kShowResponse = 0,
        kShowDistortion,
        kShowPhase,
        kShowGroupDelay,
        kShowImpulse,
        kShowImpulseDb,
        kShowCount
    };
    static const std::vector<std::string>& ReferenceNames();
    static const std::vector<std::string>& DisplayNames();

    CSweepView();

    void OnInitialUpdate() override;
    /** Checks the sweep against the block and prepares the correction; 0 after its message. */
    int StartRun() override;
    /** Analyses the block on every channel it measures; 0 (after its message) for a recording
     *  no response can be drawn from. */
    int ProcessData() override;
    std::string CheckRunSettings() const override;
    /** Why the stored microphone curve is used rather than its file; empty otherwise. */
    std::string GetRunWarning() const override { return m_cal.Note(); }
    void OnDraw(ICanvas& canvas, const CRect& rect) override;
    std::vector<CReadoutValue> GetReadoutValues() const override;
    std::vector<CMenuEntry> GetContextMenu() const override;
    bool OnContextCommand(const std::string& id) override;

    /** The last analysis of a 1-based channel; null before one. */
    const CSweepResponse* GetResponse(int channel) const;
    /** Channels measured: 1 against channel 2 as the reference, else both. */
    int MeasuredChannels() const { return m_reference == kRefChannel2 ? 1 : 2; }
    int GetPasses() const { return m_passes; }

    /** The response of a 1-based channel as FRD lines (frequency, dB, degrees), or as CSV with
     *  a header and the distortion columns. Empty before an analysis. */
    std::string ResponseFRD(int channel) const;
    /** Writes the linear impulse response of a 1-based channel, as gated, to a 32-bit float
     *  WAVE file at the block's rate; false with a message naming the file. */
    bool SaveImpulseResponse(int channel, const std::string& path, std::string& error) const;
    std::string ResponseCSV(int channel) const;

protected:
    const ISettingRows* Rows() const override;
    void SettingsLoaded() override;

private:
    std::optional<CSweptSine> Sweep() const;
    CSweepGate Gate() const;
    /** The played level on `channel` (0-based) from the reference signal; false after its
     *  message when there is none or it is not the sweep. */
    bool PlayedLevel(int channel, const CSweptSine& sweep, double& level);
    /** Checks a recording: false after its message for silence or clipping. */
    bool CheckRecording(int channel, const std::vector<double>& x);
    /** Hands the samples on as they came and, on the block's bins, each channel's response
     *  (|H| and degrees), so a data logger after this step logs it. */
    void HandOn(const CDSPFFTDataList& input);
    /** Adds the block to the channel's average; the average so far. */
    const std::vector<double>& Averaged(int channel, const double* x, int32_t n);
    /** The channel's result to analyse into, kept from the pass before when there is one. */
    CSweepResponse& Result(int channel);
    bool Fail(const std::string& text);

    // Settings.
    double m_start = 20.0;
    double m_stop = 20000.0;
    double m_time = 1.0;
    int32_t m_reference = kRefGenerator;
    double m_gateStart = -1.0; // ms from the peak
    double m_gateEnd = 0.0;    // ms from the peak; 0 up to the harmonics
    int32_t m_gateShape = int32_t(CSweepGate::EShape::Tukey);
    int32_t m_smoothing = 0;
    int32_t m_average = 1;
    int32_t m_display = kShowResponse;
    double m_readAt = 1000.0;      // Hz of the readouts
    int32_t m_levelUnit = 0;       // 0: no level readout, else ELevelUnit + 1
    double m_micSensitivity = 0.0; // mV/Pa
    CMicCalibrationSetting m_cal;

    // Run state.
    /** Makes the inverse and the correction for the settings unless made for them already. */
    void Prepare(const CSweptSine& sweep, int32_t n);
    std::optional<CSweepDeconvolver> m_deconvolve;
    std::vector<std::complex<double>> m_correction;
    std::vector<double> m_preparedFor; // the settings the two were made for
    std::array<std::vector<double>, 2> m_sum;
    int32_t m_averaged = 0;
    int32_t m_passes = 0;
    std::array<std::optional<CSweepResponse>, 2> m_result;
    // The deconvolved blocks and the loop's analysis against channel 2, kept from pass to pass
    // so that their megabytes are not taken and cleared again every block.
    std::array<std::vector<double>, 2> m_impulse;
    CSweepResponse m_loop;
    /** The played sweep's peak on each channel, by which the response is divided; 0 when the
     *  response is against channel 2, whose level it does not know. */
    std::array<double, 2> m_played{};
};
