#pragma once
// A frequency calibration a step publishes for the steps after it: the response of the hardware
// its blocks passed through, measured per channel, which an analyser divides its spectrum by.
// Steps find it through CDspView::GetPublishedFrequencyCalibration, never by the publishing
// module's name or class, so a plug-in may publish one too.

#include <string>

class CDSPFFTData;

class IFrequencyCalibration {
public:
    /** True when the calibration was measured on the publishing step's present hardware and
     *  holds a usable response; otherwise false, with the reason (one line per fault) in `why`.
     *  GUI thread, like every step call. */
    virtual bool CheckFrequencyCalibration(std::string& why) = 0;
    /** The measured response of 0-based `channel`, or null when that channel's correction is
     *  not applied. Owned by the publisher; valid until its calibration changes. */
    virtual const CDSPFFTData* GetFrequencyCorrection(int channel) const = 0;

protected:
    ~IFrequencyCalibration() = default;
};
