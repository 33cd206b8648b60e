#pragma once
// The "Spectrum Analyzer" module. On every pass it copies the incoming two-channel block,
// optionally cross-correlates it with the source's reference or runs the fast Hadamard (MLS)
// transform on it, takes the windowed FFT, averages the spectrum over blocks, smooths it, hands
// the transformed block on and shows both channels as spectra with distortion readouts. The
// arithmetic lives in the sample block classes; this class orchestrates and keeps the settings.

#include "modules/spectrum/SpecAxes.h"
#include "dsp/DSPData.h"
#include "formats/MicCalibrationSetting.h"
#include "dsp/ToneNoise.h"
#include "process/DspView.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class IFrequencyCalibration;

class CSpecView : public CDspView {
    AURIVO_DECLARE_SERIAL(CSpecView)
public:
    /** Start and stop choose among this many frequency positions (0 .. fs/2 in 64ths of fs). */
    static constexpr int kFreqPositions = 33;

    CSpecView();

    /** Both channels stacked: grid, scale, start and stop texts, readouts, trace and marker. */
    void OnDraw(ICanvas& canvas, const CRect& rect) override;
    /** Base initialisation, then the frequency labels and a refresh. */
    void OnInitialUpdate() override;
    /** Checks the calibration, the reference frequencies and the FHT source; resets the average
     *  counter. 0 (after its message) refuses the run. */
    int StartRun() override;
    /** Transforms one block, averages and smooths the spectrum and hands the block on; 0 stops
     *  the run (missing lists, a transform that cannot be made). */
    int ProcessData() override;
    int EndRun() override { return 1; }
    /** Base refresh, then every control and plot setting from the module's settings. */
    void ShowCurrentParams() override;
    /** Rebuilds the 33 start and stop labels from the display list's sample rate and the start
     *  and stop bins from the positions. */
    virtual void MakeFreqScale();
    /** Refills the Y scale list for the Y axis type and selects the type's default scale. */
    void MakeYAxisTypeControl();

    /** Puts the selected channel's spectrum on the clipboard as FRD lines (dB SPL re Ref1 volts);
     *  refuses, with its message, unless the Y axis is "dBVSPL", one channel is selected and
     *  Ref1 was changed from 1. */
    void OnCopyFRDdBSPL();
    /** Puts the impedance table (Ref1 ohms) on the clipboard; refuses unless the Y axis is
     *  "| Z |" and Ref1 was changed from 10. */
    void OnCopyZMA();

    std::vector<CMenuEntry> GetContextMenu() const override;
    bool OnContextCommand(const std::string& id) override;

    /** The texts drawn in one channel's plot (0-based channel). */
    struct CChannelTexts {
        std::string scale;                 // top left
        std::string start;                 // top centre
        std::string stop;                  // top right
        std::vector<std::string> readouts; // right-aligned below the stop text
        std::string average;               // bottom left; empty without block averaging
    };
    CChannelTexts GetChannelTexts(int channel) const;
    /** Every readout of channel 1's plot, then of channel 2's, in the order above. */
    std::vector<CReadoutValue> GetReadoutValues() const override;
    /** The reference frequencies of the THD and IMD displays against half the sample rate. */
    std::string CheckRunSettings() const override;
    /** Why the stored microphone curve is used rather than its file; empty otherwise. */
    std::string GetRunWarning() const override { return m_cal.Note(); }

    // Settings and run state.
    int GetStartPosition() const { return m_startPosition; }
    int GetStopPosition() const { return m_stopPosition; }
    double GetStartBin() const { return m_startBin; }
    double GetStopBin() const { return m_stopBin; }
    int GetYScaleIndex() const { return m_yScaleIndex; }
    /** Units per division of the selected scale text. */
    double GetYScale() const;
    double GetRef1() const { return m_ref1; }
    double GetRef2() const { return m_ref2; }
    /** N, the number of blocks averaged. */
    double GetBlockAverageCount() const { return m_blockAverageCount; }
    /** n, the number of the block averaged in next (1 = the first block). */
    int GetAverageCounter() const { return m_averageCounter; }
    int GetFHTTableSize() const { return m_fhtTableSize; }

protected:
    /** The settings in file order, with the control bar's buttons and texts among them. */
    const ISettingRows* Rows() const override;
    void SettingsLoaded() override;

private:
    /** The smallest Y scale that shows every channel's trace whole. */
    void FitYScale();
    /** The level unit, the microphone's sensitivity and calibration (SpecLevel.cpp). */
    static std::vector<CSettingRow<CSpecView>> LevelRows();
    /** The strongest bin of a channel's spectrum in the level unit, corrected by the
     *  microphone calibration at its frequency; none without a unit or a measured block. */
    std::vector<CReadoutValue> LevelReadout(int channel) const;
    std::string LevelRefusal() const;
    /** One channel's readouts: scale, start, stop, tone and distortion lines, average. */
    std::vector<CReadoutValue> ChannelReadoutValues(int channel) const;
    /** Points the plot channels at the display list and gives them the axis settings. */
    void UpdatePlotChannels();
    /** The texts of one channel's plot, each where it fits inside `area`. */
    void DrawChannelTexts(ICanvas& canvas, const CChannelTexts& texts, const CRect& area,
                          const CRect& plot) const;
    /** Copies, transforms, averages and smooths one channel; false stops the run. */
    bool ProcessChannel(int channel);
    /** Moves the channel's RMS average towards the block's magnitudes, as the display's. */
    void AverageRms(int channel, const double* magnitude, int32_t bins, int n, int limit);
    /** The spectrum the distortion readouts of a channel measure: the smoothed RMS average
     *  when blocks are averaged, else the display's magnitudes (which are then the same). */
    CDSPData MeasuredSpectrum(int channel) const;
    /** Builds the FHT permutation tables for the block size when they do not fit it. */
    bool PrepareFHT(CDSPFFTData& block, const CDSPFFTData& reference);
    bool ProcessHasReferenceSource() const;
    /** Whether windowed spectra are divided by the window's gain (the application's choice). */
    bool CorrectsWindowAmplitude() const;
    /** The THD mode's readouts beyond the harmonic lines: THD and THD+N in dB, and the noise. */
    void AddNoiseReadouts(std::vector<CReadoutValue>& values, int channel, const CDSPFFTData* block,
                          const CDSPData* magnitude, int window) const;
    /** How the noise readouts read this block's spectrum. */
    CToneNoiseOptions NoiseOptions(const CDSPFFTData& block, int window) const;
    /** The residual's rms as a level: dBFS, a full-scale sine (peak 1) being 0 dBFS. A level
     *  unit chosen for calibrated inputs (dBV) converts here. */
    std::string NoiseLevelText(double rms) const;
    int BlockSize() const;

    int32_t m_xAxisType = kXLin;
    bool m_xAxisTypeChanged = false;
    int32_t m_startPosition = 0;
    int32_t m_startPositionLimit = kFreqPositions - 1;
    int32_t m_stopPosition = kFreqPositions - 1;
    int32_t m_stopPositionLimit = kFreqPositions - 1;
    double m_startBin = 1.0;
    double m_stopBin = 33.0;
    int32_t m_yAxisType = kYVpk;
    bool m_yAxisTypeChanged = false;
    std::vector<std::string> m_yScaleList;
    int32_t m_yScaleIndex = 17;
    int32_t m_yScaleLimit = 0;
    double m_ref1 = 1.0;
    double m_ref2 = 1.0;
    int32_t m_fftType = kFFTOn;
    int32_t m_windowType = 0;
    int32_t m_plotType = 0;
    int32_t m_applyFreqCal = 0;
    IFrequencyCalibration* m_pCalibration = nullptr; // of the nearest publisher before this step
    int32_t m_blockAverageIndex = 0;
    double m_blockAverageCount = 1.0;
    int32_t m_averageCounter = 1;
    int32_t m_smoothingWidth = 0;
    int32_t m_levelUnit = 0;       // 0: no level readout, else ELevelUnit + 1
    double m_micSensitivity = 0.0; // mV/Pa
    CMicCalibrationSetting m_cal;
    // Readings beyond the distortion lines; the defaults show the lines as they always were.
    int32_t m_thdHarmonics = 0; // 0: THD sums every harmonic; k: harmonics 2 .. k + 1
    int32_t m_distortionDb = 0; // THD and THD+N also in dB
    int32_t m_noiseReadout = kNoiseOff;
    int32_t m_imdMethod = kIMDOrders;
    std::vector<std::string> m_startLabels;
    std::vector<std::string> m_stopLabels;
    std::vector<int32_t> m_fhtInputTags;
    std::vector<int32_t> m_fhtOutputTags;
    int32_t m_fhtTableSize = 0;
    /** A block was analysed into the display list since it was made: until then its values
     *  are the blank ones of a new list (1.0 everywhere), which no trace shows. */
    bool m_hasData = false;
    /** Per channel, the same average taken over power and its root, smoothed as the display
     *  is: what the distortion and noise readouts measure. Noise averaged as magnitudes reads
     *  low (by about 1 dB for Gaussian noise); averaged as power it reads its true RMS. */
    CDSPData m_rmsAverage[2];
};
