#pragma once
// The "SPL Meter" module: the sound pressure level of each channel of the block it receives,
// frequency- and time-weighted, with Leq, maximum and minimum over the run, from the channel's
// volts and the microphone's sensitivity. It hands the block on unchanged and draws one bar
// per channel with the readouts beside it.

#include "SplMeter.h"
#include "process/DspView.h"
#include "process/SettingRows.h"

#include <array>

class CSplView : public CDspView {
    AURIVO_DECLARE_SERIAL(CSplView)
public:
    static constexpr double kDefaultSensitivity = 10.0; // mV/Pa
    // The bar's range in dB SPL.
    static constexpr double kBarBottom = 20.0;
    static constexpr double kBarTop = 140.0;

    CSplView();

    int StartRun() override;
    int ProcessData() override;
    void OnDraw(ICanvas& canvas, const CRect& rect) override;

    std::vector<CReadoutValue> GetReadoutValues() const override;
    std::string CheckRunSettings() const override;

    CSplLevels GetLevels(int channel) const { return m_meters[size_t(channel)].Levels(); }

protected:
    const ISettingRows* Rows() const override;

private:
    /** The settings in file order, with their controls. */
    static const CSettingRows<CSplView>& Table();
    /** "LAF", "LCS", ... : the standard's symbol of the shown level. */
    std::string Symbol() const;

    int32_t m_frequencyWeighting = int32_t(EFrequencyWeighting::A);
    int32_t m_timeWeighting = int32_t(ETimeWeighting::Fast);
    double m_sensitivity = kDefaultSensitivity;
    int m_channels = 0; // measured in this run
    std::array<CSplChannelMeter, 2> m_meters;
};
