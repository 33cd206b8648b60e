#pragma once
// The "RTA" module, a real-time analyser: each block's band levels in fractional octaves (1/1
// to 1/48) for both channels, Z, A or C weighted and corrected by a microphone calibration
// file, averaged over time (Fast, Slow, Leq over the run, or N blocks), with a decaying peak
// hold and the run's greatest and least levels; shown as bars or a line per channel, with the
// overall level. Levels in dBFS, in dBV (the block's values read as volts, which they are once
// the input levels are calibrated) or in dB SPL (with the microphone's sensitivity). The band
// arithmetic lives in dsp/BandAnalyser.h and dsp/BandAverage.h; this class keeps the settings.

#include "dsp/BandAnalyser.h"
#include "dsp/BandAverage.h"
#include "formats/MicCalibrationSetting.h"
#include "process/DspView.h"

#include <array>
#include <string>
#include <vector>

class CRtaView : public CDspView {
    AURIVO_DECLARE_SERIAL(CRtaView)
public:
    enum EShown { kShowAverage, kShowPeak, kShowMax, kShowMin };
    /** Divisions of the level axis. */
    static constexpr int kDivisions = 10;

    CRtaView();

    void OnInitialUpdate() override;
    /** Checks the settings, forgets the averages and designs the bands for the block. */
    int StartRun() override;
    /** Reads one block's bands on both channels, averages them and hands the block on. */
    int ProcessData() override;
    void ShowCurrentParams() override;
    std::string CheckRunSettings() const override;
    /** Why the stored microphone curve is used rather than its file; empty otherwise. */
    std::string GetRunWarning() const override { return m_cal.Note(); }

    /** Per channel: overall level, averaging, then every band's level ("unresolved" for a
     *  band narrower than the block resolves). */
    std::vector<CReadoutValue> GetReadoutValues() const override;
    void OnDraw(ICanvas& canvas, const CRect& rect) override;
    std::vector<CMenuEntry> GetContextMenu() const override;
    bool OnContextCommand(const std::string& id) override;

    /** The bands of the last design (empty before a block was read). */
    const std::vector<COctaveBand>& GetBands() const { return m_analysers[0].Bands(); }
    /** A 0-based channel's levels in the display unit: the average, peak, max or min trace;
     *  NaN for unresolved bands. */
    std::vector<double> GetLevels(int channel, EShown shown = kShowAverage) const;
    /** The averaged overall level of a channel, in the display unit. */
    double GetOverallLevel(int channel) const;
    /** The unit with the weighting: "dBFS", "dBV(A)", "dB SPL(C)". */
    std::string UnitText() const;
    const CMicCalibration& GetMicCalibration() const { return m_cal.Curve(); }
    /** Writes the bands as CSV: centre, nominal, then per channel average, peak, max, min. */
    bool SaveBandsCsv(const std::string& path, std::string& error) const;

protected:
    const ISettingRows* Rows() const override;
    void SettingsLoaded() override;

private:
    struct CChannelState {
        CBandAverage average;
        std::vector<double> block; // the last block's bands, then its overall mean square
    };
    bool CalibratesChannel(int channel) const;
    /** Designs both channels' bands for blocks of n at `rate` when anything changed. */
    void Design(int32_t n, double rate);
    /** dB of a mean square in the display unit for a 0-based channel. */
    double Level(int channel, double meanSquare) const;
    void FitTop();
    double DecibelsPerDivision() const;
    void DrawChannel(ICanvas& canvas, int channel, const CRect& slice) const;

    // Settings.
    int32_t m_fractionIndex = 1; // 1/3 octave
    int32_t m_weighting = 0;     // Z, A, C
    int32_t m_averaging = 0;     // Fast, Slow, Leq, N blocks
    int32_t m_averageBlocks = 8;
    int32_t m_unit = 0;         // ELevelUnit
    double m_sensitivity = 0.0; // mV/Pa; 0: none
    int32_t m_peakHold = 1;
    double m_decay = 10.0; // dB/s
    int32_t m_showMaxMin = 0;
    int32_t m_display = 0; // bars, line
    double m_top = 0.0;    // level at the top of the plot
    int32_t m_scaleIndex = 3;
    CMicCalibrationSetting m_cal;
    int32_t m_calChannels = 0; // both, channel 1, channel 2

    // Run state.
    std::array<CBandAnalyser, 2> m_analysers;
    std::array<CChannelState, 2> m_channels;
    std::string m_designed; // what the analysers were designed for
    int m_channelCount = 0;
};
