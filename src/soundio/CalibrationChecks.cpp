// Whether a calibration record may be applied: complete (IsValid), its frequency part
// complete (IsFrequencyCalibrationValid), made on the step's present hardware
// (IsAudioHardwareTheSameSettings), or the same calibration as another record (IsEquivalent).

#include "base/NumberText.h"
#include "process/DspDoc.h"
#include "soundio/Calibration.h"
#include "soundio/SoundIOView.h"

namespace {
std::string DocumentTitle(const CDspView* view) {
    return view && view->GetDocument() ? view->GetDocument()->GetTitle() : std::string();
}
} // namespace

std::string CCalibration::CheckName(const CDspView* view) const {
    return PathName.empty() ? DocumentTitle(view) : GetCalFileName();
}

bool CCalibration::CheckFrequencyDevices(const std::string& name) {
    for (int c = 0; c < 2; ++c) {
        const CFreqCal& f = Freq[c];
        const char* failure = nullptr;
        if (f.FreqOutputDeviceName.empty())
            failure = "Ch%d Output Sound Card Is Not Specified in '%s' Frequency Response "
                      "Calibration Group.";
        else if (f.FreqInputDeviceName.empty())
            failure = "Ch%d Input Sound Card Is Not Specified in '%s' Frequency Response "
                      "Calibration Group.";
        else if (f.FreqCalParams.empty() || f.FreqCalParams == "None")
            failure = "Ch%d Calibration Type Is Not Specified in '%s' Frequency Response "
                      "Calibration Group.";
        if (failure) {
            ReturnedErrors = FormatText(failure, c + 1, name.c_str());
            return false;
        }
    }
    return true;
}

bool CCalibration::CheckFrequencyResponse(const std::string& name) {
    const CDSPFFTDataList* list = m_pFreqResponse.get();
    if (!list) return false;
    for (int c = 0; c < 2; ++c)
        if (list->GetGain(c) != 1.0) {
            ReturnedErrors = FormatText("Ch%d Frequency Calibration Data Array Gain Is %+10.7f. "
                                        "Ch%d Data Array Gain must be = 1.0 in '%s'.",
                                        c + 1, list->GetGain(c), c + 1, name.c_str());
            return false;
        }
    for (int c = 0; c < 2; ++c)
        if (list->GetDelay(c) != 0.0) {
            ReturnedErrors = FormatText("Ch%d Frequency Calibration Data Array Phase Delay Is "
                                        "%+10.7f. Ch%d Data Array Gain must be = 0.0 in '%s'.",
                                        c + 1, list->GetDelay(c), c + 1, name.c_str());
            return false;
        }
    return true;
}

bool CCalibration::IsValid(CDspView* view) {
    const std::string name = CheckName(view);
    const auto* sio = dynamic_cast<const CSoundIOView*>(view);
    const bool mixers = sio && sio->GetMixerCount() > 0;
    auto fail = [this, &name](const std::string& format) {
        ReturnedErrors = FormatText(format.c_str(), name.c_str());
        return false;
    };
    for (int c = 0; c < 2; ++c) {
        const CLevelCal& l = Level[c];
        const std::string ch = "Ch" + std::to_string(c + 1);
        // Channel 2's texts name some values differently from channel 1's.
        const std::string fullScale = c == 0 ? "Full Scale Input Level" : "Full Scale Level";
        const std::string peak = c == 0 ? "Peak Sample Input Level" : "Peak Sample Level";
        const std::string group = "Input Signal Levels Calibration Group";
        if (ParseDouble(l.FullScaleLevelParams) == 1.0)
            return fail(ch + " Full Scale Input Level = 1.0 in " + group + ". Calibrated " + ch +
                        " " + fullScale + " must not be Unity in '%s'.");
        if (l.PeakSampleLevel == 0)
            return fail(ch + " Peak Sample Input Level = 0%% in " + group + ". Calibrated " + ch +
                        " " + peak + " must != 0%% in '%s'.");
        if (l.UserInputLevel == 1.0)
            return fail(ch + " User Input Level = 1.0 in " + group + ". Calibrated " + ch +
                        " User Input Level must not be Unity in '%s'.");
        if (l.LevelOutputDeviceName.empty())
            return fail(ch + " Output Sound Card Is Not Specified in '%s' " + group + ".");
        if (l.LevelInputDeviceName.empty())
            return fail(ch + " Input Sound Card Is Not Specified in '%s' " + group + ".");
        if (mixers && l.MixerName.empty())
            return fail(ch + " Mixer Name Is Not Specified in '%s' " + group + ".");
        if (mixers && l.MixerSource.empty())
            return fail(ch + " Mixer Source Is Not Specified in '%s' " + group + ".");
        if (mixers && l.Gain == 0)
            return fail(ch + " Mixer Gain = 0 in " + (c == 0 ? "" : "I") + group + ". Calibrated " +
                        ch + " Mixer Gain must be > 0 in '%s'.");
        if (mixers && l.MixerDestination.empty())
            return fail(ch + " Mixer Destination Is Not Specified in '%s' " + group + ".");
    }
    for (int c = 0; c < 2; ++c) {
        CLatencyCal& l = Latency[c];
        const std::string ch = "Ch" + std::to_string(c + 1);
        const std::string group = "Latency Calibration Group";
        if (l.LatencyOutputDeviceName.empty())
            return fail(ch + " Output Device Name Is Not Specified in '%s' " + group + ".");
        if (l.LatencyInputDeviceName.empty())
            return fail(ch + " Input Device Name Is Not Specified in '%s' " + group + ".");
        if (ParseDouble(l.LatencyParams) == 0.0) {
            l.LatencyParams = "0.0 Sec.";
            return fail(ch + " Latency = 0.0 sec in " + group + ". Calibrated " + ch +
                        " Device Latency must be > 0.0 sec in '%s'.");
        }
    }
    if (!CheckFrequencyDevices(name)) return false;
    if (!ReturnedErrors.empty()) {
        ReturnedErrors =
            FormatText("Calibration Has Reported A '%s' Error", ReturnedErrors.c_str());
        return false;
    }
    if (!m_pFreqResponse || !m_pFreqResponse->GetErrorText().empty()) return false;
    return CheckFrequencyResponse(name);
}

bool CCalibration::IsFrequencyCalibrationValid(CDspView* view) {
    const std::string title = DocumentTitle(view);
    return CheckFrequencyDevices(title) && CheckFrequencyResponse(title);
}

bool CCalibration::IsAudioHardwareTheSameSettings(CDspView* view) {
    auto* sio = dynamic_cast<CSoundIOView*>(view);
    if (!sio) {
        ReturnedErrors = FormatText("Module at Step:%i is not a SoundIO module",
                                    view ? view->GetProcessStepNumber() : 0);
        return false;
    }
    const std::string step = view->GetDocument() ? view->GetDocument()->GetProcessDesc(view) : "";
    const std::string title = DocumentTitle(view);
    const std::string name = CheckName(view);
    const bool mixers = sio->GetMixerCount() > 0;
    auto differs = [&](const std::string& now, const std::string& then, const char* format) {
        if (now == then) return false;
        ReturnedErrors = FormatText(format, step.c_str(), now.c_str(), title.c_str(), then.c_str(),
                                    name.c_str());
        return true;
    };
    auto differsInt = [&](int now, int then, const char* format) {
        if (now == then) return false;
        ReturnedErrors = FormatText(format, step.c_str(), now, title.c_str(), then, name.c_str());
        return true;
    };
    const std::string out = sio->GetOutputDeviceName();
    const std::string in = sio->GetInputDeviceName();
    const std::string mixer = sio->GetMixerDeviceName();
    const CLevelCal& l1 = Level[0];
    if (differs(out, l1.LevelOutputDeviceName,
                "%s Ch1 Output Device Name is '%s' in '%s' Input Signal Levels Calibration Group. "
                "Ch1 was Calibrated with Output Device '%s' in Calibration File '%s'.") ||
        differs(in, l1.LevelInputDeviceName,
                "%s Ch1 Input Device Name is '%s' in '%s' Input Signal Levels Calibration Group. "
                "Ch1 was Calibrated with Input Device '%s' in Calibration File '%s'."))
        return false;
    if (sio->GetTriggerLevel() != l1.TriggerLevel || sio->GetTriggerOffset() != l1.TriggerOffset) {
        const bool level = sio->GetTriggerLevel() != l1.TriggerLevel;
        ReturnedErrors = FormatText(
            level ? "%s Trigger Level is '%i' in '%s' Input Signal Levels Calibration Group. %s "
                    "was Calibrated with Trigger Level '%i' in Calibration File '%s'."
                  : "%s Trigger Offset is '%i' in '%s' Input Signal Levels Calibration Group. %s "
                    "was Calibrated with Trigger Offset '%i' in Calibration File '%s'.",
            step.c_str(), level ? sio->GetTriggerLevel() : sio->GetTriggerOffset(), title.c_str(),
            step.c_str(), level ? l1.TriggerLevel : l1.TriggerOffset, name.c_str());
        return false;
    }
    auto mixerDiffers = [&](const CLevelCal& l, const char* mixerFormat, const char* sourceFormat,
                            const char* gainFormat, const char* destinationFormat) {
        return mixers &&
               (differs(mixer, l.MixerName, mixerFormat) ||
                differs(sio->GetSourceName(), l.MixerSource, sourceFormat) ||
                differsInt(sio->GetInputDeviceLevel(), l.Gain, gainFormat) ||
                differs(sio->GetDestinationName(), l.MixerDestination, destinationFormat));
    };
    if (mixerDiffers(
            l1,
            "%s Ch1 Mixer Device Name is '%s' in '%s' Input Signal Levels Calibration Group. Ch1 "
            "was Calibrated with Mixer Device '%s' in Calibration File '%s'.",
            "%s Ch1 Mixer Source Name is '%s' in '%s' Input Signal Levels Calibration Group. Ch1 "
            "was Calibrated with Mixer Source '%s' in Calibration File '%s'.",
            "%s Ch1 Mixer Gain is '%i' in '%s' Input Signal Levels Calibration Group. Ch1 was "
            "Calibrated with Mixer Gain '%i' in Calibration File %s.",
            "%s Ch1 Mixer Destination Name is '%s' in '%s' Input Signal Levels Calibration Group. "
            "Ch1 was Calibrated with Mixer Destination '%s' in Calibration File '%s'."))
        return false;
    const CLevelCal& l2 = Level[1];
    if (differs(out, l2.LevelOutputDeviceName,
                "%s Ch2 Output Device Name is '%s' in '%s' Input Signal Levels Calibration Group. "
                "Ch2 was Calibrated with Output Device '%s' in Calibration File '%s'.") ||
        differs(in, l2.LevelInputDeviceName,
                "%s Ch2 Input Device Name is '%s' in '%s' Input Signal Levels Calibration Group. "
                "Ch2 was Calibrated with Input Device '%s' in Calibration File '%s'.") ||
        mixerDiffers(
            l2,
            "%s Ch2 Mixer Device Name is '%s' in '%s' Input Signal Levels Calibration Group. Ch2 "
            "was Calibrated with Mixer Device '%s' in Calibration File '%s'.",
            "%s Ch2 Mixer Source Name is '%s' in '%s' Input Signal Levels Calibration Group. Ch2 "
            "was Calibrated with Mixer Source '%s' in Calibration File '%s'.",
            "%s Ch2 Mixer Gain is '%i' in '%s' Input Signal Levels Calibration Group. Ch2 was "
            "Calibrated with Mixer Gain '%i' in Calibration File '%s'.",
            "%s Ch2 Mixer Destination Name is '%s' in '%s' Input Signal Levels Calibration Group. "
            "Ch2 was Calibrated with Mixer Destination '%s' in Calibration File '%s'."))
        return false;
    if (differs(out, Latency[0].LatencyOutputDeviceName,
                "%s Ch1 Output Device Name is '%s' in '%s' Latency Calibration Group. Ch1 was "
                "Calibrated with Output Device '%s' in Calibration File '%s'.") ||
        differs(in, Latency[0].LatencyInputDeviceName,
                "%s Ch1 Input Device Name is '%s' in '%s' Latency Calibration Group. Ch1 was "
                "Calibrated with Input Device '%s' in Calibration File '%s'.") ||
        differs(out, Latency[1].LatencyOutputDeviceName,
                "%s Ch2 Output Device Name is '%s' in '%s' Latency Calibration Group. Ch2 was "
                "Calibrated with Output Device '%s' in Calibration File '%s'.") ||
        differs(in, Latency[1].LatencyInputDeviceName,
                "%s Ch2 Input Device Name is '%s' in '%s' Latency Calibration Group. Ch2  was "
                "Calibrated with Input Device '%s' in Calibration File '%s'.") ||
        differs(out, Freq[0].FreqOutputDeviceName,
                "%s Ch1 Output Device Name is '%s' in '%s' Frequency Response Calibration Group. "
                "Ch1 was Calibrated with Output Device '%s' in Calibration File '%s'.") ||
        differs(in, Freq[0].FreqInputDeviceName,
                "%s Ch1 Input Device Name is '%s' in '%s' Frequency Response Calibration Group. "
                "Ch1 was Calibrated with Input Device '%s' in Calibration File '%s'.") ||
        differs(out, Freq[1].FreqOutputDeviceName,
                "%s Ch2 Output Device Name is '%s' in '%s' Frequency Response Calibration Group. "
                "Ch2 was Calibrated with Output Device '%s' in Calibration File '%s'.") ||
        differs(in, Freq[1].FreqInputDeviceName,
                "%s Ch2 Input Device Name is '%s' in '%s' Frequency Response Calibration Group. "
                "Ch2 was Calibrated with Input Device '%s' in Calibration File '%s'."))
        return false;
    return true;
}

bool CCalibration::IsEquivalent(const CCalibration& other) const {
    if (other.PathName != kDefaultPath && other.PathName != PathName) return false;
    if (MeasSel != other.MeasSel) return false;
    for (int c = 0; c < 2; ++c) {
        CLevelCal a = Level[c];
        CLevelCal b = other.Level[c];
        a.InputLevelCalApply = b.InputLevelCalApply = false;
        CLatencyCal la = Latency[c];
        CLatencyCal lb = other.Latency[c];
        la.LatencyCalApply = lb.LatencyCalApply = false;
        CFreqCal fa = Freq[c];
        CFreqCal fb = other.Freq[c];
        fa.FreqCalApply = fb.FreqCalApply = false;
        if (!(a == b) || !(la == lb) || !(fa == fb)) return false;
    }
    return true;
}
