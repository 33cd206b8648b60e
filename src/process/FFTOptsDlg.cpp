#include "process/FFTOptsDlg.h"

#include "base/NumberText.h"
#include "platform/SampleRates.h"

#include <algorithm>

namespace {
std::vector<std::string> Texts(const std::vector<int>& values) {
    std::vector<std::string> texts;
    for (int v : values)
        texts.push_back(FormatText("%-i", v));
    return texts;
}
} // namespace

std::vector<int> CFFTOptions::SizeChoices() {
    std::vector<int> sizes;
    for (int n = 2; n <= 131072; n *= 2)
        sizes.push_back(n);
    return sizes;
}

std::vector<int> CFFTOptions::PauseOnRecordChoices() {
    std::vector<int> counts{0};
    for (int n = 1; n <= 65536; n *= 2)
        counts.push_back(n);
    return counts;
}

std::string CFFTOptions::ResolutionText(double sampleRate, double size) {
    if (!(sampleRate > 0.0 && size > 0.0)) return {};
    return FormatText("%4.2f %2s", sampleRate / size, "Hz");
}

CFFTOptsDlg::CFFTOptsDlg() {
    m_controls.Add({"size", EControlKind::ComboBox, "FFT Size:", Texts(SizeChoices())});
    m_controls.Add({"rate", EControlKind::ComboBox, "Sample Rate:", {}});
    m_controls.Add({"resolution", EControlKind::ReadOnlyText, "Spectral Resolution:", {}});
    m_controls.Add(
        {"pause", EControlKind::ComboBox, "Pause On Record:", Texts(PauseOnRecordChoices())});
    m_controls.Add({"pauseevery", EControlKind::CheckBox, "Pause On Every Module:", {}});
    // Overlapping transforms were planned but never built: the group is shown, disabled.
    CControlState disabled;
    disabled.enabled = false;
    m_controls.Add({"timeresolution", EControlKind::ReadOnlyText, "Time Resolution", {}}, disabled);
    m_controls.Add({"overlap", EControlKind::ComboBox, "FFT Overlap:", {"10", "20", "50", "100"}},
                   disabled);
}

void CFFTOptsDlg::Select(CControlState& state, const CControl& control, const std::string& text) {
    const auto it = std::find(control.items.begin(), control.items.end(), text);
    state.selection = it == control.items.end() ? -1 : int(it - control.items.begin());
    state.text = text;
}

void CFFTOptsDlg::OnInitDialog(const RateFilter& accepts) {
    CControl& rate = *m_controls.ControlById("rate");
    rate.items.clear();
    for (int r : StandardSampleRates())
        if (!accepts || accepts(r)) rate.items.push_back(FormatText("%-i", r));
    Select(*m_controls.StateById("size"), *m_controls.ControlById("size"), m_size);
    Select(*m_controls.StateById("rate"), rate, m_sampleRate);
    Select(*m_controls.StateById("pause"), *m_controls.ControlById("pause"), m_pauseOnRecord);
    m_controls.StateById("pauseevery")->checked = m_pauseEveryModule;
    UpdateResolution();
}

void CFFTOptsDlg::UpdateResolution() {
    m_resolution = ResolutionText(ParseDouble(m_sampleRate), ParseDouble(m_size));
    m_controls.StateById("resolution")->text = m_resolution;
}

bool CFFTOptsDlg::SetControl(const std::string& idOrLabel, const std::string& value,
                             std::string& message) {
    const std::string id = m_controls.SetFromText(idOrLabel, value, message);
    if (id.empty()) return false;
    const CControlState& state = *m_controls.StateById(id);
    if (id == "size") {
        m_size = state.text;
        UpdateResolution();
    } else if (id == "rate") {
        m_sampleRate = state.text;
        UpdateResolution();
    } else if (id == "pause") {
        m_pauseOnRecord = state.text;
    } else if (id == "pauseevery") {
        m_pauseEveryModule = state.checked;
    }
    return true;
}
