// A channel bar's settings as rows: its controls, what a user's change does, the listing and
// the stored fields.
#include "modules/generator/SigGenChanDlgBar.h"

#include "base/NumberText.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"
#include "process/DspView.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace {

using B = CSigGenChanDlgBar;
using R = CSettingRow<B>;

bool IsNumericCharacter(char c) {
    return (c >= '0' && c <= '9') || std::string_view("Ee+-.,").find(c) != std::string_view::npos;
}

// Takes a numeric edit's text into `value` (the run stops when it changes it); a text with any
// other character is refused with a message box and the edit reset to "0.0".
bool TakeNumericEdit(CRowChange& change, double& value, bool upToSpace) {
    std::string& text = change.state.text;
    const std::string_view tested =
        upToSpace ? std::string_view(text).substr(0, text.find(' ')) : std::string_view(text);
    if (!std::all_of(tested.begin(), tested.end(), IsNumericCharacter)) {
        if (CDspDoc* doc = change.view.GetDocument(); doc && doc->GetApp())
            doc->GetApp()->MessageBox("Edit control characters must be numeric", MB_OK);
        text = "0.0";
        change.Refuse({}, false);
        return false;
    }
    const double parsed = ParseDouble(text);
    if (parsed != value) {
        change.view.StopProcess();
        value = parsed;
    }
    return true;
}

// A check naming the value it refuses: "Signal generator mode 12 out of range".
std::function<std::string(double)> Within(double low, double high, const char* what) {
    return [=](double v) {
        return v >= low && v <= high ? std::string()
                                     : std::string("Signal generator ") + what + " " +
                                           FormatText("%.15g", v) + " out of range";
    };
}

// A list that restarts the cycle; the run stops first.
R List(const char* id, const char* bar, const char* tip, int32_t B::*member,
       const std::vector<std::string>& items, int32_t count, const char* label) {
    return R::Combo(id, bar, "Waveform", tip)
        .Bind(member)
        .Items([&items](const B&) { return items; })
        .Check(Within(0, count - 1, label))
        .Listed(label)
        .OnChange([member](B& b, CRowChange& change) {
            change.view.StopProcess();
            b.*member = change.state.selection;
            b.RestartCycle();
            return true;
        });
}

// A number edit shown in `format`; the frequency's edit reads up to a space ("1000 Hz").
R Number(const char* id, const char* bar, const char* group, const char* tip, double B::*member,
         const char* label, const char* format, bool upToSpace) {
    return R::Control(ERowKind::NumberEdit, id, bar, group, tip)
        .Bind(member)
        .Listed(label)
        .Show([member, format](const B& b, CControl&, CControlState& state) {
            state.text = FormatText(format, b.*member);
        })
        .OnChange([member, upToSpace](B& b, CRowChange& change) {
            return TakeNumericEdit(change, b.*member, upToSpace);
        });
}

} // namespace

std::string CSigGenChanDlgBar::CrestText() const {
    if (m_waveType != kWavePink || !std::isfinite(m_crestDb)) return {};
    return FormatText("%.1f dB", m_crestDb);
}

const CSettingRows<CSigGenChanDlgBar>& CSigGenChanDlgBar::Rows() {
    constexpr const char* kPulse = "Pulse Parameters";
    constexpr const char* kSweep = "Sweep Parameters";
    // The record keeps the stored order; the bar shows the run button after the mode, and the
    // pulse parameters before the sweep's.
    static const CSettingRows<B> rows{
        {
            R::Text("channel", "Channel:", "Waveform", "The output channel these settings drive")
                .Bind(&B::m_channel)
                .Check(Within(1, kMaxChannels, "channel number"))
                .Shown([](const B& b) { return FormatText("Channel:%i", b.m_channel); }),
            List("wave", "Signal Type:", "The wave shape; the pulse waves use the pulse parameters",
                 &B::m_waveType, WaveNames(), kWaveCount, "wave"),
            Number("freq", "Freq (Hz):", "Waveform", "Frequency in hertz", &B::m_frequency,
                   "frequency", "%-8.2f", true),
            List("mode", "Mode:",
                 "How the wave runs from block to block; the sweep modes use the sweep parameters",
                 &B::m_mode, ModeNames(), kModeCount, "mode")
                .Places(4, -1),
            R::Control(ERowKind::Spin, "level", "Level (%FS):", "Waveform",
                       "Peak level in percent of the output's full scale")
                .Bind(&B::m_level)
                .Range(0, 100)
                .Check(Within(0, 100, "level"))
                .Listed("level")
                .Places(3, -1)
                .OnChange([](B& b, CRowChange& change) {
                    b.m_level =
                        std::clamp(int32_t(std::lround(ParseDouble(change.state.text))), 0, 100);
                    return true;
                }),
            Number("sweepstart", "Start (Hz):", kSweep, "Frequency the sweep starts at, in hertz",
                   &B::m_sweepStart, "sweep start", "%6.6f", false)
                .Places(9, -1),
            Number("sweepstop", "Stop (Hz):", kSweep, "Frequency the sweep ends at, in hertz",
                   &B::m_sweepStop, "sweep stop", "%6.6f", false)
                .Places(10, -1),
            Number("sweeptime", "Time (s):", kSweep, "Length of one sweep, in seconds",
                   &B::m_sweepTime, "sweep time", "%6.6f", false)
                .Places(11, -1),
            Number("pulsestart", "Start (s):", kPulse,
                   "Time in the period at which the pulse starts, in seconds", &B::m_pulseStart,
                   "pulse start", "%6.6f", false)
                .Places(6, -1),
            Number("pulsestop", "Stop (s):", kPulse,
                   "Time in the period at which the pulse ends, in seconds", &B::m_pulseStop,
                   "pulse stop", "%6.6f", false)
                .Places(7, -1),
            Number("pulseperiod", "Period (s):", kPulse, "Length of one pulse period, in seconds",
                   &B::m_pulsePeriod, "pulse period", "%6.6f", false)
                .Places(8, -1),
            // The run button: "Reset" (enabled) once finished, "Run" (disabled) while armed.
            R::Button("reset", "Reset/Run", "Waveform", "Re-arms a single shot")
                .OnChange([](B& b) {
                    b.m_runFlag = kRunArmed;
                    b.RestartCycle();
                    return true;
                })
                .Show([](const B& b, CControl&, CControlState& state) {
                    const bool finished = b.m_runFlag == kRunFinished;
                    state.text = finished ? "Reset" : "Run";
                    state.enabled = finished;
                })
                .Places(5, -1),
            // Pink noise is read by its crest factor: how far its peaks, which the level sets,
            // stand above its rms, which an analyser reads.
            R::Text("crest", "Crest:", "Waveform", "Peak over rms of the pink noise played last")
                .Show([](const B& b, CControl&, CControlState& state) {
                    state.text = b.CrestText().empty() ? "--" : b.CrestText();
                })
                .Places(12, -1),
        },
        // The run checks the ranges of frequencies and times, but a NaN passes every
        // comparison.
        [](const std::vector<double>& v) {
            for (double x : v)
                if (std::isnan(x))
                    return "Signal generator channel " + FormatText("%.15g", v[0]) +
                           " holds a frequency or time that is not a number";
            return std::string();
        }};
    return rows;
}
