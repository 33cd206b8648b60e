// What a sound card step publishes to the analysers after it: the frequency response its record
// measured, per channel whose correction is applied, and whether the record fits the step's
// present devices.

#include "soundio/SoundIOView.h"

bool CSoundIOView::CheckFrequencyCalibration(std::string& why) {
    const bool valid = m_pCalibration->IsFrequencyCalibrationValid(this);
    why = m_pCalibration->ReturnedErrors;
    return valid;
}

const CDSPFFTData* CSoundIOView::GetFrequencyCorrection(int channel) const {
    const CDSPFFTDataList* response = m_pCalibration->GetFrequencyResponse();
    if (channel < 0 || channel >= 2 || !response || !m_pCalibration->Freq[channel].FreqCalApply)
        return nullptr;
    return response->GetAt(channel);
}
