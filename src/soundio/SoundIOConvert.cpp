// The step's side of its PCM: the block it plays, the calibrated levels a recording is read at
// and the trigger settings that find the played block in a recording.

#include "base/NumberText.h"
#include "process/DspDoc.h"
#include "soundio/SoundIOView.h"

size_t CSoundIOView::ConvertDoubletoRIFF(std::vector<uint8_t>& buffer) const {
    return Samples().Write(GetDocument() ? GetDocument()->GetCurrentList() : nullptr, buffer);
}

void CSoundIOView::ConvertRIFFtoDouble(const CWaveHeader& header, long position,
                                       CDSPFFTDataList* list) {
    if (!list) list = m_pWorkingList.get();
    if (!list) return;
    double gain[2] = {1.0, 1.0};
    for (int c = 0; c < 2 && m_pCalibration; ++c)
        if (m_pCalibration->Level[c].InputLevelCalApply)
            gain[c] = ParseDouble(m_pCalibration->Level[c].FullScaleLevelParams);
    Samples().Read(header, position, gain, *list);
}

double CSoundIOView::GetSIODelay(int channel, double level) const {
    return m_pRecordPlayIn ? Samples().Delay(*m_pRecordPlayIn, channel, level, m_sampleRate) : 0.0;
}

CSoundIOSamples::CReadPosition CSoundIOView::ReadPosition() const {
    const bool calibrationProcess = IsCalibrationProcess();
    const bool latencyCalibration = calibrationProcess && m_pCalibration->CalSel == "Latency";
    const long latency =
        m_triggerMode == kLatency && !latencyCalibration
            ? CSoundIOSamples::LatencyFrames(m_sampleRate,
                                             ParseDouble(m_pCalibration->Latency[0].LatencyParams))
            : 0;
    return Samples().ReadPosition(*m_pRecordPlayIn,
                                  {m_triggerMode, m_triggerLevel, m_triggerOffset, latency,
                                   calibrationProcess, latencyCalibration});
}
