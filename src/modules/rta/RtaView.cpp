// The analyser's settings as rows (its control bar, the listing and its part of a process
// file), the microphone calibration it keeps, and the refresh from the settings.

#include "modules/rta/RtaView.h"

#include "base/NumberText.h"
#include "dsp/LevelUnit.h"
#include "process/LevelRows.h"

#include <algorithm>
#include <cmath>

AURIVO_IMPLEMENT_DYNAMIC(CRtaView, RUNTIME_CLASS(CDspView));

namespace {
constexpr const char* kBands = "Bands";
constexpr const char* kLevel = "Level";
constexpr const char* kShow = "Show";

const std::vector<std::string>& FractionChoices() {
    static const std::vector<std::string> items{"1/1", "1/3", "1/6", "1/12", "1/24", "1/48"};
    return items;
}
const std::vector<std::string>& WeightingChoices() {
    static const std::vector<std::string> items{"Z", "A", "C"};
    return items;
}
const std::vector<std::string>& AveragingChoices() {
    static const std::vector<std::string> items{"Fast", "Slow", "Leq", "N blocks"};
    return items;
}
const std::vector<std::string>& DisplayChoices() {
    static const std::vector<std::string> items{"Bars", "Line"};
    return items;
}
const std::vector<std::string>& ScaleChoices() {
    static const std::vector<std::string> items{"1 dB/Div", "2 dB/Div", "5 dB/Div", "10 dB/Div",
                                                "20 dB/Div"};
    return items;
}
const std::vector<std::string>& CalChannelChoices() {
    static const std::vector<std::string> items{"Both", "Ch1", "Ch2"};
    return items;
}
} // namespace

CRtaView::CRtaView() {
    AddControls();
}

void CRtaView::OnInitialUpdate() {
    CDspView::OnInitialUpdate();
    ShowCurrentParams();
}

void CRtaView::ShowCurrentParams() {
    CDspView::ShowCurrentParams();
    UpdateControls();
    Invalidate();
}

double CRtaView::DecibelsPerDivision() const {
    return ParseDouble(ScaleChoices()[size_t(m_scaleIndex)]);
}

bool CRtaView::CalibratesChannel(int channel) const {
    return !m_cal.Curve().IsEmpty() && (m_calChannels == 0 || m_calChannels == channel + 1);
}

void CRtaView::SettingsLoaded() {
    // The process keeps its own copy of the curve: it measures the same when the file has
    // moved or changed since, and says so.
    m_cal.Restore(ProcessPathOf(*this));
    CDspView::SettingsLoaded();
}

void CRtaView::FitTop() {
    // The highest level shown, rounded up to a whole division, at the top.
    double highest = -INFINITY;
    for (int c = 0; c < m_channelCount; ++c) {
        for (double level : GetLevels(c, m_peakHold ? kShowPeak : kShowAverage))
            if (std::isfinite(level)) highest = std::max(highest, level);
        highest = std::max(highest, GetOverallLevel(c));
    }
    if (!std::isfinite(highest)) return;
    const double step = DecibelsPerDivision();
    m_top = std::ceil(highest / step) * step;
}

const ISettingRows* CRtaView::Rows() const {
    using V = CRtaView;
    using R = CSettingRow<V>;
    const auto choice = [](const char* id, const char* bar, const char* group, const char* tip,
                           int32_t V::*member, const std::vector<std::string>& (*items)(),
                           const char* label) {
        return R::Combo(id, bar, group, tip)
            .Bind(member)
            .Choice(items, std::string("RTA: ") + label + " out of range")
            .Listed(label);
    };
    const auto check = [](const char* id, const char* bar, const char* tip, int32_t V::*member,
                          const char* label) {
        return R::Control(ERowKind::CheckBox, id, bar, kShow, tip)
            .Bind(member)
            .Check(InRange(0, 1, std::string("RTA: ") + label + " flag out of range"))
            .Listed(label);
    };
    const auto number = [](const char* id, const char* bar, const char* group, const char* tip,
                           double V::*member, double low, double high, const char* label) {
        return R::Control(ERowKind::NumberEdit, id, bar, group, tip)
            .Bind(member)
            .Check([=](double v) {
                return v >= low && v <= high
                           ? std::string()
                           : FormatText("RTA: %s must lie from %g to %g", label, low, high);
            })
            .Listed(label);
    };
    const auto build = [&] {
        std::vector<R> list{
            choice("bands", "Bands:", kBands, "Band width in octaves", &V::m_fractionIndex,
                   &FractionChoices, "Bands"),
            choice("weighting", "Wtg:", kBands,
                   "Frequency weighting of the bands and the overall level", &V::m_weighting,
                   &WeightingChoices, "Weighting"),
            choice("avg", "Avg:", kBands,
                   "Time averaging: Fast 125 ms, Slow 1 s, Leq over the run, or over N blocks",
                   &V::m_averaging, &AveragingChoices, "Averaging"),
            R::Control(ERowKind::Spin, "blocks", "N:", kBands, "Blocks the N-block average spans")
                .Bind(&V::m_averageBlocks)
                .Range(1, 10000)
                .Check(InRange(1, 10000, "RTA: N blocks must lie from 1 to 10000"))
                .Listed("N blocks")
                .EnabledWhen([](const V& v) { return v.m_averaging == 3; }),
            choice("unit", "Unit:", kLevel, "dBFS, dBV (calibrated input) or dB SPL (microphone)",
                   &V::m_unit, &LevelUnitNames, "Unit"),
            number("sens", "mV/Pa:", kLevel, "The microphone's sensitivity, for dB SPL",
                   &V::m_sensitivity, 0.0, 1e6, "Mic sensitivity"),
            number("top", "Top:", kLevel, "Level at the top of the plot", &V::m_top, -400.0, 400.0,
                   "Top"),
            choice("scale", "Scale:", kLevel, "Level per division", &V::m_scaleIndex, &ScaleChoices,
                   "Scale"),
            R::Button("fit", "Fit", kLevel, "The top that shows the highest band")
                .OnChange([](V& v) {
                    v.FitTop();
                    return true;
                }),
        };
        for (R& row : MicCalibrationRows(&V::m_cal, kLevel, false))
            list.push_back(std::move(row));
        list.insert(
            list.end(),
            {
                choice("calch", "Cal Ch:", kLevel,
                       "The channels the microphone calibration corrects", &V::m_calChannels,
                       &CalChannelChoices, "Mic cal channels"),
                check("peak", "Peak", "Hold each band's peak, falling at the decay rate",
                      &V::m_peakHold, "Peak hold"),
                number("decay", "dB/s:", kShow, "How fast a held peak falls", &V::m_decay, 0.0,
                       1000.0, "Peak decay"),
                check("maxmin", "Max/Min", "The run's greatest and least averaged levels",
                      &V::m_showMaxMin, "Max/min"),
                choice("display", "Plot:", kShow, "Bars or a line through the bands", &V::m_display,
                       &DisplayChoices, "Display"),
                R::Button("reset", "Reset", kShow, "Start the averages, peaks and extremes again")
                    .OnChange([](V& v) {
                        for (CChannelState& c : v.m_channels)
                            c.average.Reset();
                        return true;
                    }),
            });
        return list;
    };
    static const CSettingRows<V> rows{build()};
    return &rows;
}
