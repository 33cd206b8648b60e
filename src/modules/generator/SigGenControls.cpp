// The channel bars' controls: what a user's change does to a bar's settings.
#include "modules/generator/SigGenView.h"

#include "base/NumberText.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace {

bool IsNumericCharacter(char c) {
    return (c >= '0' && c <= '9') || std::string_view("Ee+-.,").find(c) != std::string_view::npos;
}

} // namespace

bool CSigGenView::ApplyNumericEdit(const std::string& id, double& value, bool upToSpace) {
    CControlState* state = Controls().StateById(id);
    const std::string& text = state->text;
    const std::string_view tested =
        upToSpace ? std::string_view(text).substr(0, text.find(' ')) : std::string_view(text);
    if (!std::all_of(tested.begin(), tested.end(), IsNumericCharacter)) {
        if (CDspDoc* doc = GetDocument(); doc && doc->GetApp())
            doc->GetApp()->MessageBox("Edit control characters must be numeric", MB_OK);
        state->text = "0.0";
        return false;
    }
    const double parsed = ParseDouble(text);
    if (parsed != value) {
        StopProcess();
        value = parsed;
    }
    return true;
}

bool CSigGenView::OnControlChanged(const std::string& id) {
    CSigGenChanDlgBar* bar = nullptr;
    std::string name;
    for (int i = 0; i < m_channelCount && !bar; ++i) {
        const std::string prefix = GetChannelPointer(i)->ControlId("");
        if (id.starts_with(prefix)) {
            bar = GetChannelPointer(i);
            name = id.substr(prefix.size());
        }
    }
    if (!bar) return true;
    const CControlState& state = *Controls().StateById(id);
    bool accepted = true;
    if (name == "wave" || name == "mode") {
        StopProcess();
        (name == "wave" ? bar->m_waveType : bar->m_mode) = state.selection;
        bar->RestartCycle();
    } else if (name == "level") {
        bar->m_level =
            std::clamp(static_cast<int32_t>(std::lround(ParseDouble(state.text))), 0, 100);
    } else if (name == "reset") {
        bar->m_runFlag = CSigGenChanDlgBar::kRunArmed;
        bar->RestartCycle();
    } else if (name == "freq") {
        accepted = ApplyNumericEdit(id, bar->m_frequency, true);
    } else {
        double* const fields[] = {&bar->m_pulseStart, &bar->m_pulseStop, &bar->m_pulsePeriod,
                                  &bar->m_sweepStart, &bar->m_sweepStop, &bar->m_sweepTime};
        const char* const names[] = {"pulsestart", "pulsestop", "pulseperiod",
                                     "sweepstart", "sweepstop", "sweeptime"};
        for (size_t i = 0; i < std::size(names); ++i)
            if (name == names[i]) accepted = ApplyNumericEdit(id, *fields[i], false);
    }
    if (!accepted) return false;
    ShowCurrentParams();
    SetModified();
    return true;
}
