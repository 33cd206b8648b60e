// The data logger's settings as rows: its control bar in groups (the X axis, each Y axis, the
// plot adjustments, the display mode and the log's commands), what a user's change does, the
// listing and its part of a process file. The rows keep the stored order; the bar's buttons and
// texts sit among them where the bar shows them.

#include "modules/logger/DataLoggerView.h"

#include "base/NumberText.h"
#include "modules/logger/LoggerAxes.h"
#include "plot/DivisionScales.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string_view>

namespace {
using V = CDataLoggerView;
using R = CSettingRow<V>;

// The Ref edits hold at most this many characters.
constexpr size_t kRefTextLength = 15;

const std::string& Item(const std::vector<std::string>& items, int32_t index) {
    static const std::string none;
    return index >= 0 && size_t(index) < items.size() ? items[size_t(index)] : none;
}

bool IsChoice(int selection, size_t count) {
    return selection >= 0 && size_t(selection) < count;
}

std::vector<std::string> PlotChoices() {
    std::vector<std::string> items;
    for (int i = 1; i <= V::kPlotChoices; ++i)
        items.push_back(FormatText("Plot%d", i));
    return items;
}

const std::vector<std::string>& ModeTexts() {
    static const std::vector<std::string> items{"Plot", "Sum", "Merge"};
    return items;
}

constexpr const char* kPlotFilter =
    "PLOT files (*.plt)|*.plt |FRD files (*.FRD)|*.FRD |ZMA files (*.ZMA)|*.ZMA|"
    "CSV files (*.csv)|*.csv|";
constexpr const char* kOpenPlotFilter = "PLOT files (*.plt)|*.plt|All files (*.*)|*.*||";
constexpr const char* kDataLogFilter = "DATALOG files (*.dlg)|*.dlg|All files (*.*)|*.*||";

// The save filter a path's extension names: 0 plot, 1 FRD, 2 ZMA, 3 CSV.
int FilterOf(const std::string& path) {
    const size_t dot = path.rfind('.');
    std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (ext == "frd") return 1;
    if (ext == "zma") return 2;
    if (ext == "csv") return 3;
    return 0;
}

// A button that acts and refreshes.
R Press(const std::string& id, const char* face, const char* group, const char* tip,
        std::function<void(V&)> press) {
    return R::Button(id, face, group, tip).OnChange([press](V& v) {
        press(v);
        return true;
    });
}

// A position or index the bar shows only as text.
R Position(const char* id, const char* label, int32_t V::*member, int32_t maximum,
           const char* message) {
    return R::Stored(id, label).Bind(member).Check(InRange(0, maximum, message));
}
} // namespace

std::vector<CSettingRow<CDataLoggerView>> CDataLoggerView::XAxisRows() {
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
        Press("startdn", "Dn", kX, "Lower start frequency, or shorter time/div",
              [](V& v) { v.StepStart(false); }),
        shown(true),
        Press("startup", "Up", kX, "Higher start frequency, or longer time/div",
              [](V& v) { v.StepStart(true); }),
        Press("stopdn", "Dn", kX, "Lower stop frequency, or move left",
              [](V& v) { v.StepStop(false); }),
        shown(false),
        Press("stopup", "Up", kX, "Higher stop frequency, or move right",
              [](V& v) { v.StepStop(true); }),
    };
}

std::vector<CSettingRow<CDataLoggerView>> CDataLoggerView::YAxisRows(int axis) {
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
        Press(id + "scaledn", "Dn", group, "Finer scale",
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
        Press(id + "scaleup", "Up", group, "Coarser scale",
              [axis](V& v) { v.StepScale(axis, true); })
            .EnabledWhen(scaled),
        // dB SPL is drawn at a fixed 10 dB per division: there is no scale to fit.
        R::Button(id + "fit", "Fit", group, "The finest scale that shows every drawn plot whole")
            .OnChange([axis](V& v) { return v.FitScale(axis); })
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

std::vector<CSettingRow<CDataLoggerView>> CDataLoggerView::PlotRows() {
    // Gain and delay act on a logged plot; each pair is its own small group, so the bar shows
    // what it steps ("Gain ◀ ▶").
    using Step = std::string (CDataLog::*)(int, int, bool);
    const auto adjust = [](const char* id, const char* face, const char* group, const char* tip,
                           Step step, bool up) {
        return R::Button(id, face, group, tip).OnChange([step, up](V& v) {
            if (v.m_log.IsEmpty()) return false;
            v.Accepted((v.m_log.*step)(v.m_selectedPlot, v.ActingChannel(), up));
            return true;
        });
    };
    return {
        R::Combo("plot", "Sel:", "Plot Adj:", "The plot the adjustments and files act on")
            .Bind(&V::m_selectedPlot)
            .Choice(PlotChoices(), "Data logger plot selection out of range")
            .Listed("Plot")
            .OnChange([](V& v, CRowChange& change) {
                if (!IsChoice(change.state.selection, kPlotChoices)) return false;
                v.m_selectedPlot = change.state.selection;
                return true;
            }),
        adjust("gaindn", "Dn", "Gain", "Lower the selected plot's gain by 0.01",
               &CDataLog::StepGain, false),
        adjust("gainup", "Up", "Gain", "Raise the selected plot's gain by 0.01",
               &CDataLog::StepGain, true),
        adjust("delaydn", "Dn", "Delay", "Delay the selected plot 0.1 ms less",
               &CDataLog::StepDelay, false),
        adjust("delayup", "Up", "Delay", "Delay the selected plot 0.1 ms more",
               &CDataLog::StepDelay, true),
    };
}

std::vector<CSettingRow<CDataLoggerView>> CDataLoggerView::ModeRows() {
    constexpr const char* kMode = "Mode";
    return {
        R::Stored("displaymode", "Display mode")
            .Bind(&V::m_mode)
            .Choice(ModeTexts(), "Data logger display mode out of range"),
        // The list offers the modes the log allows now; the stored mode waits for them.
        R::Combo("mode", "Mode", kMode,
                 "Plot: every plot; Sum: the complex sum of all plots; Merge: plot 1 below the "
                 "merge frequency, plot 2 above it")
            .Access(EFieldType::None,
                    [](const V& v) {
                        const std::vector<std::string> offered = v.OfferedModes();
                        const std::string& mode = Item(ModeTexts(), v.GetMode());
                        return double(std::find(offered.begin(), offered.end(), mode) -
                                      offered.begin());
                    },
                    {})
            .Items([](const V& v) { return v.OfferedModes(); })
            .OnChange([](V& v, CRowChange& change) {
                const std::vector<std::string> offered = v.OfferedModes();
                if (!IsChoice(change.state.selection, offered.size())) return false;
                const std::string& mode = offered[size_t(change.state.selection)];
                v.m_mode = int32_t(std::find(ModeTexts().begin(), ModeTexts().end(), mode) -
                                   ModeTexts().begin());
                return true;
            }),
        R::Control(ERowKind::NumberEdit, "mergefreq", "Merge Hz:", kMode,
                   "Crossover frequency of the merge, Hz")
            .Bind(&V::m_mergeFrequency)
            .Check(Finite("Data logger merge frequency is not a number"))
            .Listed("Merge Hz")
            .Show([](const V& v, CControl&, CControlState& edit) {
                edit.text = FormatText("%3.6G", v.m_mergeFrequency);
            })
            .OnChange([](V& v, CRowChange& change) {
                const std::string& text = change.state.text;
                for (const char ch : text)
                    if (!std::isdigit(static_cast<unsigned char>(ch)) &&
                        std::string_view("Ee+-.,").find(ch) == std::string_view::npos) {
                        v.ShowErrorMessage("Edit control characters must be numeric");
                        change.state.text = "0.0";
                        change.Refuse("Edit control characters must be numeric", false);
                        return false;
                    }
                const double value = ParseDouble(text);
                if (!std::isfinite(value) || value == v.m_mergeFrequency) return false;
                v.m_mergeFrequency = value;
                return true;
            }),
    };
}

std::vector<CSettingRow<CDataLoggerView>> CDataLoggerView::LogRows() {
    constexpr const char* kLog = "Log";
    // A file command refreshes by itself once its dialog gave a file.
    const auto command = [](const char* id, const char* face, const char* tip, void (*act)(V&)) {
        return R::Button(id, face, kLog, tip).OnChange([act](V& v) {
            act(v);
            return false;
        });
    };
    return {
        Press("new", "New", kLog, "Remove the selected plot from the log",
              [](V& v) { v.m_log.Remove(v.m_selectedPlot); }),
        Press("newall", "New All", kLog, "Remove every plot from the log",
              [](V& v) { v.m_log.Clear(); }),
        command("openplot", "Open Plot", "Read a plot file into the selected plot",
                [](V& v) {
                    std::string path;
                    if (v.AskOpen("flt", kOpenPlotFilter, path)) v.OpenPlotFile(path);
                }),
        command("opendlg", "Open Dlg", "Replace the log by a data log file",
                [](V& v) {
                    std::string path;
                    if (v.AskOpen("dlg", kDataLogFilter, path)) v.OpenDataLogFile(path);
                }),
        R::Button("title", "Title", kLog, "Edit the log's title").OnChange([](V& v) {
            return v.AskTitle();
        }),
        command("saveplt", "Save Plt", "Save the selected plot as a plot, FRD, ZMA or CSV file",
                [](V& v) {
                    std::string path;
                    if (v.AskSave("Save Plot", "plt", kPlotFilter, path))
                        v.SavePlotFile(path, FilterOf(path));
                }),
        command("savedlg", "Save Dlg", "Save the whole log as a data log file",
                [](V& v) {
                    std::string path;
                    if (v.AskSave("Save Data Log", "dlg", kDataLogFilter, path))
                        v.SaveDataLogFile(path);
                }),
        R::Button("ifft", "IFFT", kLog, "Transform the selected plot back into the time domain")
            .OnChange([](V& v) { return v.m_log.InverseFFT(v.m_selectedPlot); }),
    };
}

const ISettingRows* CDataLoggerView::Rows() const {
    static const CSettingRows<V> rows = [] {
        std::vector<R> all;
        for (std::vector<R> group :
             {XAxisRows(), YAxisRows(0), YAxisRows(1), PlotRows(), ModeRows(), LogRows()})
            all.insert(all.end(), group.begin(), group.end());
        // Start must stay below stop, as the buttons keep it.
        return CSettingRows<V>{std::move(all), [](const std::vector<double>& v) {
                                   return v[2] < v[4] ? std::string()
                                                      : std::string("Data logger start position "
                                                                    "is not below stop");
                               }};
    }();
    return &rows;
}
