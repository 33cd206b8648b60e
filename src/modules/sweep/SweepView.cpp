// The analyser's settings as rows (its control bar, the listing and its part of a process
// file) and the refresh from them.
#include "modules/sweep/SweepView.h"

#include "base/NumberText.h"
#include "process/LevelRows.h"

#include <cmath>

AURIVO_IMPLEMENT_DYNAMIC(CSweepView, RUNTIME_CLASS(CDspView));

namespace {
constexpr const char* kSweep = "Sweep";
constexpr const char* kGate = "Gate";
constexpr const char* kView = "View";
} // namespace

const std::vector<std::string>& CSweepView::ReferenceNames() {
    static const std::vector<std::string> names{"Generator", "Channel 2"};
    return names;
}

const std::vector<std::string>& CSweepView::DisplayNames() {
    static const std::vector<std::string> names{"Response",    "Distortion", "Phase",
                                                "Group Delay", "Impulse",    "Impulse dB"};
    return names;
}

CSweepView::CSweepView() {
    AddControls();
}

void CSweepView::OnInitialUpdate() {
    CDspView::OnInitialUpdate();
    UpdateControls();
}

const ISettingRows* CSweepView::Rows() const {
    using V = CSweepView;
    using R = CSettingRow<V>;
    const auto number = [](const char* id, const char* bar, const char* group, const char* label,
                           const char* tip, double V::*member, double low, double high) {
        return R::Control(ERowKind::NumberEdit, id, bar, group, tip)
            .Bind(member)
            .Check(InRange(
                low, high,
                FormatText("Sweep analyser: %s out of range (%.15g to %.15g)", label, low, high)))
            .Listed(label);
    };
    const auto choice = [](const char* id, const char* bar, const char* group, const char* label,
                           const char* tip, int32_t V::*member,
                           const std::vector<std::string>& items) {
        return R::Combo(id, bar, group, tip)
            .Bind(member)
            .Choice(items, std::string("Sweep analyser: ") + label + " out of range")
            .Listed(label);
    };
    const auto build = [&] {
        std::vector<R> rows{
            number("start", "Start (Hz):", kSweep, "sweep start",
                   "The frequency the played sweep starts at, as set on the generator", &V::m_start,
                   0.0, 1e6),
            number("stop", "Stop (Hz):", kSweep, "sweep stop",
                   "The frequency the played sweep stops at, as set on the generator", &V::m_stop,
                   0.0, 1e6),
            number("time", "Time (s):", kSweep, "sweep time",
                   "The length of the played sweep, as set on the generator", &V::m_time, 0.0,
                   3600.0),
            choice("reference", "Ref:", kSweep, "reference",
                   "What the recording is measured against: the sweep the generator played, or "
                   "channel 2 looped back electrically",
                   &V::m_reference, ReferenceNames()),
            number("gatestart", "Gate From (ms):", kGate, "gate start",
                   "Where the gate opens, in ms before the impulse response's peak (negative)",
                   &V::m_gateStart, -1000.0, 0.0),
            number("gateend", "To (ms):", kGate, "gate end",
                   "Where the gate closes, in ms after the peak; 0 keeps all before the harmonics",
                   &V::m_gateEnd, 0.0, 10000.0),
            choice("window", "Wnd:", kGate, "gate window", "The shape of the gate's edges",
                   &V::m_gateShape, SweepGateShapeNames()),
            choice("smooth", "Smth:", kView, "smoothing",
                   "Fractional-octave smoothing of the magnitude", &V::m_smoothing,
                   OctaveSmoothingNames()),
            R::Control(ERowKind::Spin, "avg", "Avg:", kView, "Passes averaged before the analysis")
                .Bind(&V::m_average)
                .Range(1, 64)
                .Check(InRange(1, 64, "Sweep analyser: average out of range (1 to 64)"))
                .Listed("average"),
            choice("display", "Show:", kView, "display", "What the plot shows", &V::m_display,
                   DisplayNames()),
            number("readat", "Read at (Hz):", kView, "readout frequency",
                   "The frequency the readouts give the level and distortion at", &V::m_readAt, 0.0,
                   1e6),
        };
        for (R& row : LevelUnitRows(&V::m_levelUnit, &V::m_micSensitivity, kView, "Sweep analyser"))
            rows.push_back(std::move(row));
        for (R& row : MicCalibrationRows(&V::m_cal, kView, true))
            rows.push_back(std::move(row));
        return rows;
    };
    static const CSettingRows<V> rows{build()};
    return &rows;
}

std::optional<CSweptSine> CSweepView::Sweep() const {
    const CDSPFFTDataList* list = GetWorkingList();
    if (!list || list->IsEmpty()) return std::nullopt;
    const double fs = list->GetSampleRate(0);
    if (!CSweptSine::Refusal(m_start, m_stop, m_time, fs, list->GetSize(0)).empty())
        return std::nullopt;
    return CSweptSine(m_start, m_stop, m_time, fs);
}

CSweepGate CSweepView::Gate() const {
    return {m_gateStart / 1000.0, m_gateEnd / 1000.0, CSweepGate::EShape(m_gateShape)};
}

std::string CSweepView::CheckRunSettings() const {
    const CDSPFFTDataList* list = GetWorkingList();
    if (!list || list->IsEmpty()) return {};
    const int32_t n = list->GetSize(0);
    if (!std::has_single_bit(uint32_t(n)))
        return FormatText("Sweep analyser: the block of %i samples is not a power of two", n);
    const std::string refusal =
        CSweptSine::Refusal(m_start, m_stop, m_time, list->GetSampleRate(0), n);
    return refusal.empty() ? LevelRefusal(m_levelUnit, m_micSensitivity, "Sweep analyser")
                           : "Sweep analyser: " + refusal;
}

void CSweepView::SettingsLoaded() {
    m_cal.Restore(ProcessPathOf(*this));
    CDspView::SettingsLoaded();
}

const CSweepResponse* CSweepView::GetResponse(int channel) const {
    if (channel < 1 || channel > 2 || !m_result[size_t(channel - 1)]) return nullptr;
    return &*m_result[size_t(channel - 1)];
}
