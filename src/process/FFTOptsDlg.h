#pragma once
// The "FFT Options" dialog as a model: the process-wide block size and sample rate, the
// spectral resolution they give, and the pause rules of the run loop. The document fills it and
// reads it back (CDspDoc::FillFFTOptions, CDspDoc::ApplyFFTOptions); a GUI renders its controls
// and the command line sets them by id or label. GUI thread.

#include "ui/ControlModel.h"

#include <functional>
#include <string>
#include <vector>

/** The dialog's texts and check box, as the document exchanges them. */
struct CFFTOptions {
    std::string m_size;
    std::string m_sampleRate;
    std::string m_resolution;
    std::string m_pauseOnRecord;
    bool m_pauseEveryModule = false;

    /** Block sizes offered: 2, 4, ... 131072. */
    static std::vector<int> SizeChoices();
    /** Pause-on-record counts offered: 0, 1, 2, 4, ... 65536. */
    static std::vector<int> PauseOnRecordChoices();
    /** Bin width as shown: "%4.2f %2s" of rate / size and "Hz"; empty when either is not
     *  positive (no width to show). */
    static std::string ResolutionText(double sampleRate, double size);
};

class CFFTOptsDlg : public CFFTOptions {
public:
    /** Accepts a sample rate (Hz) for two-channel 16-bit recording or playback. */
    using RateFilter = std::function<bool(int)>;

    CFFTOptsDlg();

    /** Fills the sample rate list with the rates `accepts` keeps (every rate when it is empty)
     *  and sets every control from the fields, which the document has filled. */
    void OnInitDialog(const RateFilter& accepts = {});

    const CControlModel& GetControls() const { return m_controls; }
    /** A user's change of a control by id or label; a new size or rate recomputes the
     *  resolution. False with a message when the control refuses the value (the "FFT Overlap"
     *  group is disabled and has no effect). */
    bool SetControl(const std::string& idOrLabel, const std::string& value, std::string& message);

private:
    void UpdateResolution();
    static void Select(CControlState& state, const CControl& control, const std::string& text);

    CControlModel m_controls;
};
