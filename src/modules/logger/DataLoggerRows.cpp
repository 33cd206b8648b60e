// The data logger's settings as rows: its control bar in groups (the axes' rows, in
// LoggerScaleRows.cpp, then the plot adjustments, the display mode and the log's commands), what
// a user's change does, the listing and its part of a process file. The rows keep the stored
// order; the bar's buttons and texts sit among them where the bar shows them.

#include "modules/logger/DataLoggerView.h"

#include "base/NumberText.h"
#include "modules/logger/LoggerRowParts.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string_view>

namespace {
using V = CDataLoggerView;
using R = CSettingRow<V>;
using logger_rows::IsChoice;
using logger_rows::Item;
using logger_rows::Press;

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

} // namespace

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
        Press<V>("new", "New", kLog, "Remove the selected plot from the log",
                 [](V& v) { v.m_log.Remove(v.m_selectedPlot); }),
        Press<V>("newall", "New All", kLog, "Remove every plot from the log",
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
