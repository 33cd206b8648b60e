// The analyser's level readout: the strongest bin in the chosen unit, through the microphone's
// sensitivity and calibration.

#include "modules/spectrum/SpecView.h"

#include "base/NumberText.h"
#include "process/LevelRows.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr const char* kLevel = "Level";
constexpr const char* kModule = "Spectrum analyser";
} // namespace

std::vector<CSettingRow<CSpecView>> CSpecView::LevelRows() {
    std::vector<CSettingRow<CSpecView>> rows =
        LevelUnitRows(&CSpecView::m_levelUnit, &CSpecView::m_micSensitivity, kLevel, kModule);
    for (auto& row : MicCalibrationRows(&CSpecView::m_cal, kLevel, true))
        rows.push_back(std::move(row));
    return rows;
}

void CSpecView::SettingsLoaded() {
    m_cal.Restore(ProcessPathOf(*this));
    CDspView::SettingsLoaded();
}

std::string CSpecView::LevelRefusal() const {
    return ::LevelRefusal(m_levelUnit, m_micSensitivity, kModule);
}

std::vector<CReadoutValue> CSpecView::LevelReadout(int channel) const {
    const CDSPFFTData* block = m_pDisplayList ? m_pDisplayList->GetAt(channel) : nullptr;
    const CDSPData* magnitude = block ? block->GetFreqObj() : nullptr;
    if (m_levelUnit == 0 || !m_hasData || !magnitude || !magnitude->GetDataPointer() ||
        !LevelRefusal().empty())
        return {};
    // The bins above DC up to half the block; a tone between bins reads its full amplitude
    // with the flat-top window.
    const double* m = magnitude->GetDataPointer();
    const int32_t n = block->GetSize();
    const int32_t half = std::min(n / 2, magnitude->GetSize());
    if (half < 2) return {};
    int32_t peak = 1;
    for (int32_t k = 2; k < half; ++k)
        if (m[k] > m[peak]) peak = k;
    const double f = peak * block->GetSampleRate() / n;
    const double level =
        CalibratedLevel(m_levelUnit, m_micSensitivity, m_cal.Curve(), m[peak] / std::sqrt(2.0), f);
    const int ch = channel + 1;
    return {{ch, "Level", FormatText("%.2f ", level) + LevelChoicesWithOff()[size_t(m_levelUnit)]},
            {ch, "Level at", FormatText("%.6G Hz", f)}};
}
