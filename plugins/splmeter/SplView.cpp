#include "SplView.h"

#include "base/NumberText.h"
#include "dsp/LevelUnit.h"
#include "dsp/DSPFFTDataList.h"
#include "platform/Canvas.h"
#include "process/DspDoc.h"
#include "process/LevelRows.h"
#include "plot/PlotColours.h"

#include <algorithm>
#include <cmath>

AURIVO_IMPLEMENT_DYNAMIC(CSplView, RUNTIME_CLASS(CDspView));

namespace {
constexpr const char* kWeightingId = "weighting";
constexpr const char* kTimeId = "time";
constexpr const char* kSensitivityId = "sensitivity";
constexpr double kMaxSensitivity = 100000.0; // mV/Pa
const std::vector<std::string> kWeightings = {"A", "C", "Z"};
const std::vector<std::string> kTimes = {"Fast", "Slow"};

std::string LevelText(double db, const std::string& unit) {
    return std::isfinite(db) ? FormatText("%.1f ", db) + unit : "-- " + unit;
}
} // namespace

CSplView::CSplView() {
    AddControls();
}

const CSettingRows<CSplView>& CSplView::Table() {
    using V = CSplView;
    using R = CSettingRow<V>;
    const auto build = [] {
        std::vector<R> rows{
            R::Combo(kWeightingId, "&Weighting:", "", "")
                .Bind(&V::m_frequencyWeighting)
                .Choice(kWeightings, "SPL Meter frequency weighting out of range")
                .Listed("Weighting"),
            R::Combo(kTimeId, "&Time:", "", "")
                .Bind(&V::m_timeWeighting)
                .Choice(kTimes, "SPL Meter time weighting out of range")
                .Listed("Time"),
            R::Control(ERowKind::Edit, kSensitivityId, "&Sensitivity mV/Pa:", "", "")
                .Bind(&V::m_sensitivity)
                .Check([](double x) {
                    return x > 0 && x <= kMaxSensitivity
                               ? std::string()
                               : "SPL Meter sensitivity must be above 0 and at most 100000 mV/Pa";
                })
                .Listed("Sensitivity mV/Pa"),
            R::Combo("unit", "&Unit:", "", "dB SPL, or the input's own level in dBV or dBFS")
                .Bind(&V::m_unit)
                .Choice(&LevelUnitNames, "SPL Meter unit out of range")
                .Listed("Unit")
                .Optional({double(kUnitSpl)}),
        };
        for (R& row : MicCalibrationRows(&V::m_cal, "", true))
            rows.push_back(std::move(row));
        return rows;
    };
    static const CSettingRows<V> rows{build()};
    return rows;
}

const ISettingRows* CSplView::Rows() const {
    return &Table();
}

std::string CSplView::CheckRunSettings() const {
    return Table().Check(Table().Values(*this));
}

void CSplView::SettingsLoaded() {
    m_cal.Restore(ProcessPathOf(*this));
    CDspView::SettingsLoaded();
}

double CSplView::InUnit(double splDb) const {
    const CMicCalibration& curve = m_cal.Curve();
    return splDb - LevelUnitOffset(ELevelUnit::DBSPL, m_sensitivity) +
           LevelUnitOffset(ELevelUnit(m_unit), m_sensitivity,
                           curve.hasSensitivity ? curve.sensitivity : 0.0);
}

std::string CSplView::Symbol() const {
    return "L" + kWeightings[size_t(m_frequencyWeighting)] + (m_timeWeighting == 0 ? "F" : "S");
}

// ---- Run contract ---------------------------------------------------------------------------

int CSplView::StartRun() {
    const std::string refusal = CheckRunSettings();
    if (!refusal.empty()) {
        ShowErrorMessage(refusal);
        return 0;
    }
    const CDspDoc* doc = GetDocument();
    const double rate = doc ? doc->GetSampleRate() : 0.0;
    const CMicCalibration& curve = m_cal.Curve();
    for (size_t c = 0; c < m_meters.size(); ++c) {
        m_meters[c].Start(EFrequencyWeighting(m_frequencyWeighting),
                          ETimeWeighting(m_timeWeighting), rate > 0 ? rate : 48000.0,
                          1000.0 / m_sensitivity);
        m_filters[c].Design(
            curve.IsEmpty() ? std::function<double(double)>()
                            : [&curve](double f) { return curve.At(f); },
            rate > 0 ? rate : 48000.0);
    }
    m_channels = 0;
    return 1;
}

int CSplView::ProcessData() {
    CDspDoc* doc = GetDocument();
    CDSPFFTDataList* input = doc ? doc->GetCurrentList() : nullptr;
    if (!input) {
        ShowErrorMessage("The SPL Meter received no block to measure.");
        return 0;
    }
    m_channels = std::min(input->GetNumChans(), 2);
    for (int c = 0; c < m_channels; ++c) {
        const double* volts = input->GetTimeData(c);
        const size_t count = size_t(input->GetSize(c));
        std::vector<double> corrected;
        if (m_filters[size_t(c)].IsActive()) {
            corrected.resize(count);
            m_filters[size_t(c)].Process(volts, corrected.data(), count);
            volts = corrected.data();
        }
        m_meters[size_t(c)].Process(volts, count);
    }
    Invalidate();
    return 1;
}

std::vector<CReadoutValue> CSplView::GetReadoutValues() const {
    std::vector<CReadoutValue> values;
    const std::string symbol = Symbol();
    const std::string leq = "L" + kWeightings[size_t(m_frequencyWeighting)] + "eq";
    // Sound pressure reads "dB" as a sound level meter shows it.
    const std::string unit = m_unit == kUnitSpl ? "dB" : LevelUnitNames()[size_t(m_unit)];
    for (int c = 0; c < m_channels; ++c) {
        const CSplLevels levels = GetLevels(c);
        const std::string prefix = FormatText("Ch%d ", c + 1);
        values.push_back({c + 1, prefix + symbol, LevelText(InUnit(levels.level), unit)});
        values.push_back({c + 1, prefix + leq, LevelText(InUnit(levels.leq), unit)});
        values.push_back({c + 1, prefix + symbol + "max", LevelText(InUnit(levels.max), unit)});
        values.push_back({c + 1, prefix + symbol + "min", LevelText(InUnit(levels.min), unit)});
    }
    return values;
}

// ---- Drawing --------------------------------------------------------------------------------

void CSplView::OnDraw(ICanvas& canvas, const CRect& rect) {
    const CRect area = GetScreenRect(rect);
    canvas.BeginLayer(area);
    CDspView::OnDraw(canvas, rect);
    canvas.FillRect(area, GetPlotColours().background);
    canvas.SetFont(canvas.IsPrinting() ? kPlotLargeFont : kPlotSmallFont);
    const int32_t line = std::max(1, canvas.GetTextMetrics().height);
    const std::vector<CReadoutValue> readouts = GetReadoutValues();
    const int32_t width = area.right - area.left;
    const int32_t barWidth = std::max(8, width / 12);
    for (int c = 0; c < 2; ++c) {
        // Each channel's half: its bar on the left, its readouts beside it.
        const int32_t left = area.left + c * width / 2 + line / 2;
        const CRect bar{left, area.top + line, left + barWidth, area.bottom - line};
        if (bar.IsRectEmpty()) break;
        canvas.SetPen({GetPlotColours().grid, 1});
        canvas.SetBrush(std::nullopt);
        canvas.Rectangle(bar);
        const double level = c < m_channels ? GetLevels(c).level : NAN;
        if (std::isfinite(level)) {
            const double share =
                std::clamp((level - kBarBottom) / (kBarTop - kBarBottom), 0.0, 1.0);
            const int32_t top = bar.bottom - int32_t(std::lround(share * (bar.bottom - bar.top)));
            canvas.FillRect({bar.left + 1, top, bar.right - 1, bar.bottom - 1},
                            GetPlotColours().trace);
        }
        int32_t y = bar.top;
        for (const CReadoutValue& r : readouts) {
            if (r.channel != c + 1) continue;
            canvas.DrawText({bar.right + line / 2, y}, r.Text(), GetPlotColours().marker);
            y += line;
        }
    }
    canvas.EndLayer();
}
