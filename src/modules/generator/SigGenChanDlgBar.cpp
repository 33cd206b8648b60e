#include "modules/generator/SigGenChanDlgBar.h"

#include "base/NumberText.h"
#include "base/Archive.h"
#include "ui/ControlModel.h"

#include <cmath>

AURIVO_IMPLEMENT_SERIAL(CSigGenChanDlgBar, nullptr);

const std::vector<std::string>& CSigGenChanDlgBar::WaveNames() {
    static const std::vector<std::string> names{
        "Sine",         "Sine180",      "Cosine",        "Cosine180",      "AC Square",
        "AC Square180", "DC+ Square",   "DC+ Square180", "DC- Square",     "DC- Square180",
        "Triangle",     "Triangle180",  "Up Ramp",       "Up Ramp180",     "Down Ramp",
        "Down Ramp180", "AC Pulse",     "AC Pulse180",   "DC+ Pulse",      "DC+ Pulse180",
        "DC- Pulse",    "DC- Pulse180", "White",         "Impulse",        "Impulse180",
        "MLS",          "MLS180",       "Half Square",   "Half Square180", "Clipboard"};
    return names;
}

const std::vector<std::string>& CSigGenChanDlgBar::ModeNames() {
    static const std::vector<std::string> names{"Constant",    "Const Phs",   "Single Cycle",
                                                "Single Shot", "Lin Sweep",   "Log10Up Swp",
                                                "Log10Dn Swp", "Exp10Up Swp", "Exp10Dn Swp"};
    return names;
}

std::string CSigGenChanDlgBar::ControlId(const char* name) const {
    return "ch" + std::to_string(m_channel) + "." + name;
}

void CSigGenChanDlgBar::UpdateControls(CControlModel& controls) const {
    if (!controls.ControlById(ControlId("wave"))) {
        const auto add = [&](const char* name, EControlKind kind, const char* label,
                             std::vector<std::string> items = {}) {
            controls.Add({ControlId(name), kind, label, std::move(items)});
        };
        add("channel", EControlKind::ReadOnlyText, "Channel:");
        add("wave", EControlKind::ComboBox, "Signal Type:", WaveNames());
        add("freq", EControlKind::Edit, "Freq (Hz):");
        controls.Add({ControlId("level"), EControlKind::Spin, "Level (%FS):", {}, 0, 100});
        add("mode", EControlKind::ComboBox, "Mode:", ModeNames());
        add("reset", EControlKind::PushButton, "Reset/Run");
        add("pulsestart", EControlKind::Edit, "Start (s):");
        add("pulsestop", EControlKind::Edit, "Stop (s):");
        add("pulseperiod", EControlKind::Edit, "Period (s):");
        add("sweepstart", EControlKind::Edit, "Start (Hz):");
        add("sweepstop", EControlKind::Edit, "Stop (Hz):");
        add("sweeptime", EControlKind::Edit, "Time (s):");
    }
    const auto text = [&](const char* name, const std::string& value) {
        controls.StateById(ControlId(name))->text = value;
    };
    const auto choose = [&](const char* name, const std::vector<std::string>& items, int index) {
        CControlState* state = controls.StateById(ControlId(name));
        state->selection = index;
        state->text = items[size_t(index)];
    };
    text("channel", FormatText("Channel:%i", m_channel));
    choose("wave", WaveNames(), m_waveType);
    text("freq", FormatText("%-8.2f", m_frequency));
    text("level", FormatText("%i", m_level));
    choose("mode", ModeNames(), m_mode);
    text("pulsestart", FormatText("%6.6f", m_pulseStart));
    text("pulsestop", FormatText("%6.6f", m_pulseStop));
    text("pulseperiod", FormatText("%6.6f", m_pulsePeriod));
    text("sweepstart", FormatText("%6.6f", m_sweepStart));
    text("sweepstop", FormatText("%6.6f", m_sweepStop));
    text("sweeptime", FormatText("%6.6f", m_sweepTime));
    UpdateRunButton(controls);
}

void CSigGenChanDlgBar::UpdateRunButton(CControlModel& controls) const {
    CControlState* button = controls.StateById(ControlId("reset"));
    if (!button) return;
    const bool finished = m_runFlag == kRunFinished;
    button->text = finished ? "Reset" : "Run";
    button->enabled = finished;
}

void CSigGenChanDlgBar::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteInt32(m_channel);
        ar.WriteInt32(m_waveType);
        ar.WriteDouble(m_frequency);
        ar.WriteInt32(m_mode);
        ar.WriteInt32(m_level);
        for (double v :
             {m_sweepStart, m_sweepStop, m_sweepTime, m_pulseStart, m_pulseStop, m_pulsePeriod})
            ar.WriteDouble(v);
        return;
    }
    const int32_t channel = ar.ReadInt32();
    const int32_t wave = ar.ReadInt32();
    const double frequency = ar.ReadDouble();
    const int32_t mode = ar.ReadInt32();
    const int32_t level = ar.ReadInt32();
    double times[6];
    for (double& v : times)
        v = ar.ReadDouble();
    if (!ar.Ok()) return;
    if (channel < 1 || channel > kMaxChannels)
        ar.Fail("Signal generator channel number " + std::to_string(channel) + " out of range");
    else if (wave < 0 || wave >= kWaveCount)
        ar.Fail("Signal generator wave type " + std::to_string(wave) + " out of range");
    else if (mode < 0 || mode >= kModeCount)
        ar.Fail("Signal generator mode " + std::to_string(mode) + " out of range");
    else if (level < 0 || level > 100)
        ar.Fail("Signal generator level " + std::to_string(level) + " out of range");
    if (!ar.Ok()) return;
    // The run checks the ranges of frequencies and times, but a NaN passes every comparison.
    bool numbers = !std::isnan(frequency);
    for (double v : times)
        numbers = numbers && !std::isnan(v);
    if (!numbers) {
        ar.Fail("Signal generator channel " + std::to_string(channel) +
                " holds a frequency or time that is not a number");
        return;
    }
    m_channel = channel;
    m_waveType = wave;
    m_frequency = frequency;
    m_mode = mode;
    m_level = level;
    m_sweepStart = times[0];
    m_sweepStop = times[1];
    m_sweepTime = times[2];
    m_pulseStart = times[3];
    m_pulseStop = times[4];
    m_pulsePeriod = times[5];
}
