// The data logger's axis rows: the X axis's type with its start and stop, and each Y axis's
// type, scale, fit and reference, with what a user's change does and how the bar shows them.

#include "modules/logger/DataLoggerView.h"

#include "base/NumberText.h"
#include "modules/logger/LoggerAxes.h"
#include "modules/logger/LoggerRowParts.h"
#include "plot/DivisionScales.h"

#include <cmath>

namespace {
using V = CDataLoggerView;
using R = CSettingRow<V>;
using logger_rows::IsChoice;
using logger_rows::Item;
using logger_rows::Press;

// The Ref edits hold at most this many characters.
constexpr size_t kRefTextLength = 15;

// A position or index the bar shows only as text.
R Position(const char* id, const char* label, int32_t V::*member, int32_t maximum,
           const char* message) {
    return R::Stored(id, label).Bind(member).Check(InRange(0, maximum, message));
}
} // namespace

std::vector<CSettingRow<CDataLoggerView>> CLoggerScales::XAxisRows() {
    constexpr const char* kX = "XAxis:";
    // Start and stop step the frequency on a frequency axis, time/div and position on a time
    // axis; the labels say which.
    const auto shown = [](bool start) {
        return R::Text(start ? "start" : "stop", start ? "Start:" : "Stop:", kX,
                       start ? "Start frequency, or time per division"
                             : "Stop frequency, or horizontal position")
            .Shown([start](const V& v) {
                if (!LoggerIsTimeAxis(v.m_xAxisType))
                    return Item(v.m_freqLabels, start ? v.m_startPosition : v.m_stopPosition);
                return start ? Item(TimePerDivisionChoices(), v.m_timeIndex)
                             : FormatText("%d", v.m_horizontalPosition);
            })
            .Show([start](const V& v, CControl& control, CControlState&) {
                const bool time = LoggerIsTimeAxis(v.m_xAxisType);
                control.label = start ? (time ? "T/Div:" : "Start:") : (time ? "Pos:" : "Stop:");
            });
    };
    return {
        R::Combo("xaxis", "Sel:", kX, "What the X axis shows and which channel")
            .Bind(&V::m_xAxisType)
            .Choice(&LoggerXAxisChoices, "Data logger X axis type out of range")
            .Listed("X Sel")
            .OnChange([](V& v, CRowChange& change) {
                if (!IsChoice(change.state.selection, LoggerXAxisChoices().size())) return false;
                v.m_xAxisType = change.state.selection;
                v.m_xAxisTypeChanged = true;
                return true;
            }),
        R::Stored("tdiv", "Time/div")
            .Bind(&V::m_timeIndex)
            .Choice(&TimePerDivisionChoices, "Data logger time/div index out of range"),
        Position("startpos", "Start position", &V::m_startPosition, kFreqPositions - 1,
                 "Data logger start position out of range"),
        Position("hpos", "Horizontal position", &V::m_horizontalPosition, kMaxPosition,
                 "Data logger horizontal position out of range"),
        Position("stoppos", "Stop position", &V::m_stopPosition, kFreqPositions - 1,
                 "Data logger stop position out of range"),
        R::Stored("").Bind(&V::m_startBin).Check(Finite("Data logger start bin is not a number")),
        R::Stored("").Bind(&V::m_stopBin).Check(Finite("Data logger stop bin is not a number")),
        Press<V>("startdn", "Dn", kX, "Lower start frequency, or shorter time/div",
                 [](V& v) { v.StepStart(false); }),
        shown(true),
        Press<V>("startup", "Up", kX, "Higher start frequency, or longer time/div",
                 [](V& v) { v.StepStart(true); }),
        Press<V>("stopdn", "Dn", kX, "Lower stop frequency, or move left",
                 [](V& v) { v.StepStop(false); }),
        shown(false),
        Press<V>("stopup", "Up", kX, "Higher stop frequency, or move right",
                 [](V& v) { v.StepStop(true); }),
    };
}

std::vector<CSettingRow<CDataLoggerView>> CLoggerScales::YAxisRows(int axis) {
    const size_t a = size_t(axis);
    const std::string id = axis == 0 ? "y1" : "y2";
    const std::string name = FormatText("Y%d ", axis + 1);
    const char* group = axis == 0 ? "YAxis1:" : "YAxis2:";
    const auto scaled = [a](const V& v) { return v.m_axes[a].type != kLogYNone; };
    return {
        R::Combo(id + "axis", "Sel:", group, "What this Y axis shows")
            .Access(
                EFieldType::Int32, [a](const V& v) { return double(v.m_axes[a].type); },
                [a](V& v, double x) {
                    v.m_axes[a].type = int32_t(x);
                    v.m_axes[a].scales = MakeLoggerYScaleList(v.m_axes[a].type);
                })
            .Choice(&LoggerYAxisChoices, "Data logger Y axis type out of range")
            .Listed(name + "Sel")
            .OnChange([a](V& v, CRowChange& change) {
                const int selection = change.state.selection;
                if (!IsChoice(selection, LoggerYAxisChoices().size())) return false;
                v.m_axes[a].type = selection;
                v.m_axes[a].ref = LoggerYAxisType(selection).ref;
                return true;
            }),
        Press<V>(id + "scaledn", "Dn", group, "Finer scale",
                 [axis](V& v) { v.StepScale(axis, false); })
            .EnabledWhen(scaled),
        R::Text(id + "scale", "Scale:", group, "Units per division").Shown([a](const V& v) {
            return Item(v.m_axes[a].scales, v.m_axes[a].scaleIndex);
        }),
        // The scale list depends on the type, so the index is checked when it is applied.
        R::Stored(id + "scaleindex", name + "Scale")
            .Access(
                EFieldType::Int32, [a](const V& v) { return double(v.m_axes[a].scaleIndex); },
                [a](V& v, double x) { v.m_axes[a].scaleIndex = int32_t(x); })
            .Check(InRange(0, 21, "Data logger Y scale index out of range")),
        Press<V>(id + "scaleup", "Up", group, "Coarser scale",
                 [axis](V& v) { v.StepScale(axis, true); })
            .EnabledWhen(scaled),
        // dB SPL is drawn at a fixed 10 dB per division: there is no scale to fit.
        R::Button(id + "fit", "Fit", group, "The finest scale that shows every drawn plot whole")
            .OnChange([axis](V& v) { return v.GetLog() && v.FitScale(axis, v.DrawnPlots()); })
            .EnabledWhen([a](const V& v) {
                return v.m_axes[a].type != kLogYNone && v.m_axes[a].type != kLogYdBVSPL;
            }),
        R::Control(ERowKind::NumberEdit, id + "ref", "Ref:", group,
                   "dBRel: frequency in Hz; dBVSPL: volts at the reference level; | Z |: "
                   "reference resistance in ohms")
            .Access(
                EFieldType::Double, [a](const V& v) { return v.m_axes[a].ref; },
                [a](V& v, double x) { v.m_axes[a].ref = x; })
            .Check(Finite("Data logger reference is not a number"))
            .Listed(name + "Ref")
            .Show([a](const V& v, CControl&, CControlState& edit) {
                // The edit keeps the user's spelling while it still means the reference.
                if (ParseDouble(edit.text) != v.m_axes[a].ref || edit.text.empty())
                    edit.text = FormatText("%3.6G", v.m_axes[a].ref);
                edit.enabled = LoggerYAxisType(v.m_axes[a].type).refEnabled;
            })
            .OnChange([axis, a](V& v, CRowChange& change) {
                std::string& shown = change.state.text;
                shown = shown.substr(0, kRefTextLength);
                const double value = ParseDouble(shown);
                if (!std::isfinite(value)) {
                    change.Refuse("Ref: \"" + shown + "\" is not a finite number");
                    return false;
                }
                if (value == v.m_axes[a].ref) return false;
                v.m_axes[a].ref = value;
                v.m_loggerPlot.Record(axis).reference = value;
                return true;
            }),
        R::Text(id + "unit", "", group, "Unit of the reference").Shown([a](const V& v) {
            return std::string(LoggerYAxisType(v.m_axes[a].type).unit);
        }),
    };
}
