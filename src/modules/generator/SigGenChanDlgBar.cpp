#include "modules/generator/SigGenChanDlgBar.h"

#include "base/NumberText.h"
#include "base/Archive.h"
#include "ui/ControlModel.h"

#include <functional>

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
        struct CBarControl {
            const char* name;
            EControlKind kind;
            const char* label;
            const char* group;
            const char* tip;
        };
        using K = EControlKind;
        static const CBarControl kBar[] = {
            {"channel", K::ReadOnlyText, "Channel:", "Waveform",
             "The output channel these settings drive"},
            {"wave", K::ComboBox, "Signal Type:", "Waveform",
             "The wave shape; the pulse waves use the pulse parameters"},
            {"freq", K::Edit, "Freq (Hz):", "Waveform", "Frequency in hertz"},
            {"level", K::Spin, "Level (%FS):", "Waveform",
             "Peak level in percent of the output's full scale"},
            {"mode", K::ComboBox, "Mode:", "Waveform",
             "How the wave runs from block to block; the sweep modes use the sweep parameters"},
            {"reset", K::PushButton, "Reset/Run", "Waveform", "Re-arms a single shot"},
            {"pulsestart", K::Edit, "Start (s):", "Pulse Parameters",
             "Time in the period at which the pulse starts, in seconds"},
            {"pulsestop", K::Edit, "Stop (s):", "Pulse Parameters",
             "Time in the period at which the pulse ends, in seconds"},
            {"pulseperiod", K::Edit, "Period (s):", "Pulse Parameters",
             "Length of one pulse period, in seconds"},
            {"sweepstart", K::Edit, "Start (Hz):", "Sweep Parameters",
             "Frequency the sweep starts at, in hertz"},
            {"sweepstop", K::Edit, "Stop (Hz):", "Sweep Parameters",
             "Frequency the sweep ends at, in hertz"},
            {"sweeptime", K::Edit, "Time (s):", "Sweep Parameters",
             "Length of one sweep, in seconds"},
        };
        for (const CBarControl& b : kBar) {
            const std::string name = b.name;
            CControl control{ControlId(b.name), b.kind, b.label,
                             name == "wave"   ? WaveNames()
                             : name == "mode" ? ModeNames()
                                              : std::vector<std::string>{}};
            control.numeric = b.kind == K::Edit; // every edit of the bar holds a number
            if (b.kind == K::Spin) {
                control.minimum = 0;
                control.maximum = 100;
            }
            control.group = b.group;
            control.tooltip = b.tip;
            controls.Add(control);
        }
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

namespace {
// A check naming the value it refuses: "Signal generator mode 12 out of range".
std::function<std::string(double)> Within(double low, double high, const char* what) {
    return [=](double v) {
        return v >= low && v <= high ? std::string()
                                     : std::string("Signal generator ") + what + " " +
                                           FormatText("%.15g", v) + " out of range";
    };
}
} // namespace

const CFieldTable<CSigGenChanDlgBar>& CSigGenChanDlgBar::Fields() {
    using B = CSigGenChanDlgBar;
    using F = CSettingField<B>;
    const auto whole = [](const char* id, const char* label, int32_t B::*member,
                          std::function<std::string(double)> check,
                          const std::vector<std::string>& (*items)()) {
        F f{id,
            label,
            EFieldType::Int32,
            [member](const B& b) { return double(b.*member); },
            [member](B& b, double x) { b.*member = int32_t(x); },
            std::move(check)};
        if (items) f.items = [items](const B&) { return items(); };
        return f;
    };
    const auto number = [](const char* id, const char* label, double B::*member) {
        return F{id, label, EFieldType::Double, [member](const B& b) { return b.*member; },
                 [member](B& b, double x) { b.*member = x; }};
    };
    static const CFieldTable<B> table{
        {
            whole("", "channel", &B::m_channel, Within(1, kMaxChannels, "channel number"), nullptr),
            whole("wave", "wave", &B::m_waveType, Within(0, kWaveCount - 1, "wave type"),
                  &WaveNames),
            number("freq", "frequency", &B::m_frequency),
            whole("mode", "mode", &B::m_mode, Within(0, kModeCount - 1, "mode"), &ModeNames),
            whole("level", "level", &B::m_level, Within(0, 100, "level"), nullptr),
            number("sweepstart", "sweep start", &B::m_sweepStart),
            number("sweepstop", "sweep stop", &B::m_sweepStop),
            number("sweeptime", "sweep time", &B::m_sweepTime),
            number("pulsestart", "pulse start", &B::m_pulseStart),
            number("pulsestop", "pulse stop", &B::m_pulseStop),
            number("pulseperiod", "pulse period", &B::m_pulsePeriod),
        },
        // The run checks the ranges of frequencies and times, but a NaN passes every
        // comparison.
        [](const std::vector<double>& v) {
            for (size_t i = 0; i < v.size(); ++i)
                if (std::isnan(v[i]))
                    return "Signal generator channel " + FormatText("%.15g", v[0]) +
                           " holds a frequency or time that is not a number";
            return std::string();
        }};
    return table;
}

std::vector<CSettingValue> CSigGenChanDlgBar::GetSettings() const {
    return Fields().List(*this, {ControlId(""), FormatText("Ch%i ", m_channel)});
}

void CSigGenChanDlgBar::Serialize(CArchive& ar) {
    // Written as an object reference, whose class record comes just before: the bar's own
    // fields still begin with its class record (a back-reference then), as every stored
    // object of a process does.
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(CSigGenChanDlgBar));
        Fields().Store(ar, *this);
        return;
    }
    ar.ReadClass(RUNTIME_CLASS(CSigGenChanDlgBar));
    if (!ar.Ok()) return;
    if (const auto values = Fields().Load(ar)) Fields().Apply(*this, *values);
}
