#pragma once
// The "SPL Meter" module: the sound pressure level of each channel of the block it receives,
// frequency- and time-weighted, with Leq, maximum and minimum over the run, from the channel's
// volts and the microphone's sensitivity and calibration curve; in dB SPL, or in dBV or dBFS
// for a meter of the input itself. It hands the block on unchanged and draws one bar per
// channel with the readouts beside it.

#include "SplMeter.h"
#include "dsp/CurveFilter.h"
#include "formats/MicCalibrationSetting.h"
#include "process/DspView.h"
#include "process/SettingRows.h"

#include <array>

class CSplView : public CDspView {
    AURIVO_DECLARE_SERIAL(CSplView)
public:
    static constexpr double kDefaultSensitivity = 10.0; // mV/Pa
    static constexpr int32_t kUnitSpl = 2;              // in LevelUnitNames()
    // The bar's range in dB SPL.
    static constexpr double kBarBottom = 20.0;
    static constexpr double kBarTop = 140.0;

    CSplView();

    int StartRun() override;
    int ProcessData() override;
    void OnDraw(ICanvas& canvas, const CRect& rect) override;

    std::vector<CReadoutValue> GetReadoutValues() const override;
    std::string CheckRunSettings() const override;
    /** Why the stored microphone curve is used rather than its file; empty otherwise. */
    std::string GetRunWarning() const override { return m_cal.Note(); }

    CSplLevels GetLevels(int channel) const { return m_meters[size_t(channel)].Levels(); }

protected:
    const ISettingRows* Rows() const override;
    void SettingsLoaded() override;

private:
    /** The settings in file order, with their controls. */
    static const CSettingRows<CSplView>& Table();
    /** "LAF", "LCS", ... : the standard's symbol of the shown level. */
    std::string Symbol() const;
    /** A level in dB SPL in the shown unit, less the calibration file's sensitivity factor. */
    double InUnit(double splDb) const;

    int32_t m_frequencyWeighting = int32_t(EFrequencyWeighting::A);
    int32_t m_timeWeighting = int32_t(ETimeWeighting::Fast);
    double m_sensitivity = kDefaultSensitivity;
    int32_t m_unit = kUnitSpl;
    CMicCalibrationSetting m_cal;
    std::array<CCurveFilter, 2> m_filters; // the curve taken out of each channel
    int m_channels = 0;                    // measured in this run
    std::array<CSplChannelMeter, 2> m_meters;
};
