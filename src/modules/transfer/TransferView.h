#pragma once
// The "Transfer Function" module: a dual-channel analyser. One signal is the reference (what was
// sent: the source step's own signal, or a channel that loops it back), the other the
// measurement (what came back). Every pass adds the block's Welch-averaged auto and cross
// spectra to the average; the module shows the H1 magnitude (blanked where the coherence is
// below a threshold), its phase with the delay removed, the coherence and the impulse response,
// reads out the delay, smooths the magnitude over fractions of an octave on request (the sweep
// analyser's smoothing, dsp/OctaveSmoothing.h), and hands the response on as a block (channel 1 the
// response, channel 2 the coherence) for the data logger. The arithmetic lives in
// dsp/CrossSpectrum.h and dsp/TransferFunction.h.

#include "dsp/CrossSpectrum.h"
#include "dsp/TransferFunction.h"
#include "process/DspView.h"

#include <array>
#include <string>
#include <vector>

class CTransferView : public CDspView {
    AURIVO_DECLARE_SERIAL(CTransferView)
public:
    /** The plots, top to bottom. */
    enum EPlot { kMagnitude, kPhase, kCoherence, kImpulse, kPlots };
    /** Reference choices: the source's own signal, or a recorded channel. */
    enum EReference { kRefSource, kRefCh1, kRefCh2 };
    enum EDelayMode { kDelayAuto, kDelayManual };
    /** Curves the user can keep for comparison. */
    static constexpr size_t kMaxStored = 4;

    CTransferView();

    /** The magnitude scales offered, dB per division. */
    static const std::vector<std::string>& MagnitudeScaleChoices();

    void OnInitialUpdate() override;
    void ShowCurrentParams() override;
    /** Refuses a run the settings cannot give (see CheckRunSettings) and clears the average. */
    int StartRun() override;
    /** Adds the block to the average and refreshes the response; 0 stops the run. */
    int ProcessData() override;
    int EndRun() override { return 1; }
    std::string CheckRunSettings() const override;

    void OnDraw(ICanvas& canvas, const CRect& rect) override;
    std::vector<CReadoutValue> GetReadoutValues() const override;
    std::vector<CMenuEntry> GetContextMenu() const override;
    bool OnContextCommand(const std::string& id) override;

    /** The response as shown: per bin of the analysis transform (0..N/2). */
    struct CCurve {
        std::string name;
        double sampleRate = 0.0;
        int32_t fftSize = 0;
        std::vector<double> magnitudeDb, phaseDegrees, coherence;
    };
    const CCurve& GetCurve() const { return m_curve; }
    const std::vector<CCurve>& GetStoredCurves() const { return m_stored; }
    const std::vector<double>& GetImpulseResponse() const { return m_impulse; }
    /** The magnitude (linear) and phase drawn: NaN where the coherence is below the threshold
     *  or the reference has nothing. */
    const std::vector<double>& GetShownMagnitude() const { return m_shownMagnitude; }
    const std::vector<double>& GetShownPhase() const { return m_shownPhase; }
    /** The delay found (samples, with its sub-sample part); valid once IsDelayKnown(). */
    double GetDelay() const { return m_delay; }
    bool IsDelayKnown() const { return m_delayKnown; }
    /** The response's peak is negative: the system inverts the signal. */
    bool IsInverted() const { return m_inverted; }
    /** Samples the reference is shifted by before the spectra are taken. */
    int32_t GetAlignment() const { return m_alignment; }
    const CCrossSpectrum& GetSpectrum() const { return m_spectrum; }
    /** What is wrong with the input of the last pass, one line; empty when nothing is. */
    const std::string& GetInputWarning() const { return m_warning; }

    /** Writes the response as an FRD file (frequency, dB, degrees); false with a message. */
    bool SaveFrd(const std::string& path);
    /** Writes frequency, magnitude, phase and coherence as comma-separated values. */
    bool SaveCsv(const std::string& path);

protected:
    const ISettingRows* Rows() const override;

private:
    // TransferRun.cpp
    /** The reference and measured samples of the block, or null with the reason. */
    bool InputSamples(const double*& x, const double*& y, int32_t& count, std::string& why);
    /** The warning for a block that must not be averaged in, or for a suspect one. */
    std::string CheckInput(const double* x, const double* y, int32_t count, bool& skip) const;
    /** Finds the delay on the first pass after a reset, when the mode asks for it. */
    void UpdateAlignment(const double* x, const double* y, int32_t count);
    /** H, coherence and impulse response of the average, into the curve. */
    void UpdateCurve();
    /** The response on the document's bins as the block handed on. */
    void HandOn();
    /** Applies the settings to the spectrum; resets the average when they change it. */
    void ConfigureSpectrum();
    void ResetAverage();
    double OffsetSamples() const;
    int32_t FftSize() const;
    double MagnitudeScale() const; // dB per division
    double PhaseScale() const;     // degrees per division

    // TransferDraw.cpp
    void UpdatePlotChannels();
    void FitScales();

    // TransferExport.cpp
    bool AskPath(const char* title, const char* extension, const char* filter, std::string& path);
    void StoreCurve();

    // Settings.
    int32_t m_reference = kRefSource;
    int32_t m_measured = 1; // 0-based channel
    int32_t m_fftIndex = 4; // of the FFT sizes: 16384
    int32_t m_overlapIndex = 1;
    int32_t m_window = 3; // Hanning
    int32_t m_averaging = int32_t(ESpectrumAveraging::kPasses);
    int32_t m_countIndex = 4; // of the counts: 16
    int32_t m_delayMode = kDelayAuto;
    double m_offsetMs = 0.0;
    double m_threshold = 30.0; // percent coherence
    double m_startHz = 20.0;
    double m_stopHz = 20000.0;
    int32_t m_magScaleIndex = 5;   // of the dB scales: 10 dB/div
    int32_t m_phaseScaleIndex = 2; // 45 degrees per division
    int32_t m_smoothing = 0;       // EOctaveSmoothing: of the magnitude, as drawn and exported

    // Run state.
    CCrossSpectrum m_spectrum;
    CCurve m_curve;
    std::vector<double> m_impulse;
    std::vector<double> m_envelope;       // |h| over its peak, as drawn
    bool m_inverted = false;              // the response's peak is negative
    std::vector<double> m_magnitude;      // linear |H|, smoothed as chosen
    std::vector<double> m_shownMagnitude; // the same, NaN where blanked
    std::vector<double> m_shownPhase;     // degrees, NaN where blanked
    std::vector<CCurve> m_stored;
    int32_t m_alignment = 0;
    double m_delay = 0.0;
    bool m_delayKnown = false;
    bool m_needsDelay = true;
    double m_sampleRate = 48000.0;
    std::string m_warning;
    double m_meanCoherence = 0.0;
    /** The settings the spectrum was configured with: a change of any resets the average. */
    std::array<double, 6> m_configKey{};
};
