// The analyser's readouts, its band table as CSV and its right-button menu.

#include "modules/rta/RtaView.h"

#include "base/NumberText.h"
#include "platform/AtomicFile.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"
#include "process/HostMenu.h"

#include <cmath>

namespace {
std::string LevelText(double level, const std::string& unit) {
    return std::isnan(level) ? std::string("unresolved") : FormatText("%.2f ", level) + unit;
}
// A level as a CSV field; unresolved bands stay empty.
std::string CsvField(double level) {
    return std::isnan(level) ? std::string() : FormatText("%.9g", level);
}
} // namespace

std::vector<CReadoutValue> CRtaView::GetReadoutValues() const {
    std::vector<CReadoutValue> readouts;
    const std::string unit = UnitText();
    static const char* const kModes[] = {"Fast", "Slow", "Leq", "N blocks"};
    for (int c = 0; c < m_channelCount; ++c) {
        const std::string ch = "Ch" + std::to_string(c + 1) + " ";
        const CBandAverage& average = m_channels[size_t(c)].average;
        readouts.push_back({c + 1, ch + "Overall", LevelText(GetOverallLevel(c), unit)});
        readouts.push_back({c + 1, ch + "Average",
                            FormatText("%s, %zu blocks", kModes[m_averaging], average.Count())});
        const std::vector<double> levels = GetLevels(c);
        for (size_t b = 0; b < levels.size(); ++b)
            readouts.push_back(
                {c + 1, ch + BandLabel(GetBands()[b].nominal), LevelText(levels[b], unit)});
    }
    if (!m_cal.Curve().IsEmpty())
        readouts.push_back({0, "Mic cal", m_cal.path.empty() ? "stored curve" : m_cal.path});
    return readouts;
}

bool CRtaView::SaveBandsCsv(const std::string& path, std::string& error) const {
    if (m_channelCount == 0 || GetBands().empty()) {
        error = path + ": the analyser has read no block yet";
        return false;
    }
    static const char* const kTraces[] = {"Average", "Peak", "Max", "Min"};
    std::string text = "Centre (Hz),Nominal (Hz)";
    for (int c = 0; c < m_channelCount; ++c)
        for (const char* trace : kTraces)
            text += FormatText(",Ch%d %s (%s)", c + 1, trace, UnitText().c_str());
    text += "\n";
    std::vector<std::vector<double>> columns;
    for (int c = 0; c < m_channelCount; ++c)
        for (EShown shown : {kShowAverage, kShowPeak, kShowMax, kShowMin})
            columns.push_back(GetLevels(c, shown));
    for (size_t b = 0; b < GetBands().size(); ++b) {
        text += FormatText("%.9g,%.9g", GetBands()[b].centre, GetBands()[b].nominal);
        for (const std::vector<double>& column : columns)
            text += "," + (b < column.size() ? CsvField(column[b]) : std::string());
        text += "\n";
    }
    return WriteFileAtomically(path, {text.begin(), text.end()}, error);
}

std::vector<CMenuEntry> CRtaView::GetContextMenu() const {
    std::vector<CMenuEntry> menu{{"selch1", "Sel Ch1", m_selectedChannel == 1},
                                 {"selch2", "Sel Ch2", m_selectedChannel == 2},
                                 {"selall", "Sel All", m_selectedChannel == 0},
                                 {},
                                 {"savebands", "Save &Bands as CSV..."},
                                 {}};
    const std::vector<CMenuEntry> host = HostMenuEntries(false);
    menu.insert(menu.end(), host.begin(), host.end());
    return menu;
}

bool CRtaView::OnContextCommand(const std::string& id) {
    if (id == "savebands") {
        const CDspApp* app = GetDocument() ? GetDocument()->GetApp() : nullptr;
        IFileDialog* dialog = app ? app->GetFileDialog() : nullptr;
        if (!dialog) return true;
        const auto path =
            dialog->AskSavePath("Save Bands", "bands.csv", "csv", "CSV Files (*.csv)|*.csv|");
        std::string error;
        if (path && !SaveBandsCsv(*path, error)) ShowErrorMessage(error);
    } else if (id == "selch1") {
        OnSelCh1();
    } else if (id == "selch2") {
        OnSelCh2();
    } else if (id == "selall") {
        OnSelAll();
    } else if (id == "stop") {
        StopProcess();
    } else if (id == "pause") {
        PauseProcess();
    } else if (id == "run") {
        RunProcess();
    } else {
        return false;
    }
    return true;
}
