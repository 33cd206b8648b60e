// The data logger's files: plot, data log, FRD, ZMA and CSV files opened and saved, the dialogs
// that name them and the log's title.

#include "modules/logger/DataLoggerView.h"

#include "formats/DataLogFile.h"
#include "formats/FRDZMA.h"
#include "formats/PlotCsv.h"
#include "modules/logger/LoggerAxes.h"
#include "platform/OpenFileDialog.h"
#include "platform/TextDialog.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"

namespace {
constexpr const char* kUnableToOpen = "Unable to open file";

CDspApp* AppOf(const CDspView& view) {
    return view.GetDocument() ? view.GetDocument()->GetApp() : nullptr;
}
} // namespace

bool CDataLoggerView::AskOpen(const char* extension, const char* filter, std::string& path) {
    CDspApp* app = AppOf(*this);
    auto* dialog = app ? dynamic_cast<IOpenFileDialog*>(app->GetFileDialog()) : nullptr;
    if (!dialog) return false;
    const auto chosen = dialog->AskOpenPath("Open", "", extension, filter);
    if (!chosen) return false;
    path = *chosen;
    return true;
}

bool CDataLoggerView::OpenPlotFile(const std::string& path) {
    MatchLog();
    if (!m_pLog) return false;
    const bool ok =
        DataLogFile::OpenPlot(*m_pLog, m_pLog->GetChannels(), m_pLog->GetType(), m_pLog->GetSize(),
                              m_pLog->GetSampleRate(), m_selectedPlot, path);
    if (!ok) {
        ShowErrorMessage("Unable to open file.\r\n" + m_pLog->GetErrorText());
        return false;
    }
    m_title = m_pLog->GetAt(m_selectedPlot)->GetTitle();
    SettingChanged();
    return true;
}

bool CDataLoggerView::OpenDataLogFile(const std::string& path) {
    MatchLog();
    if (!m_pLog) return false;
    if (!DataLogFile::Open(*m_pLog, path)) {
        // The log is as it was; the message says where the file is damaged.
        ShowErrorMessage("Unable to open file.\r\n" + m_pLog->GetErrorText());
        return false;
    }
    m_title = m_pLog->GetDataLogFileTitle();
    // The log may now have another shape than the blocks of this step; the axes follow it.
    m_pCombined.reset();
    ShowCurrentParams();
    SetModified();
    return true;
}

bool CDataLoggerView::AskTitle() {
    CDspApp* app = AppOf(*this);
    auto* prompt = app ? dynamic_cast<ITextDialog*>(app->GetFileDialog()) : nullptr;
    const auto title = prompt ? prompt->AskText("Title", "Data log title:", m_title) : std::nullopt;
    if (!title) return false;
    m_title = *title;
    return true;
}

bool CDataLoggerView::SaveFRD(const std::string& path) {
    const CAxisSettings& axis = MarkerAxis();
    if (axis.type != kLogYdBVSPL) {
        ShowErrorMessage("Selected axis Y scale must be dBVSPL in order to save to *.FRD file\n "
                         "Right Click and select a Marker Yaxis (Marker YAxis1 or Marker YAxis2) "
                         "whose Y scale is dBVSPL");
        return false;
    }
    if (ActingChannel() < 0) {
        ShowErrorMessage("A single channel must be selected in order to save to *.FRD file\n "
                         "Right Click and select a Channel (Sel Ch1 or Sel Ch2) whose Y scale is "
                         "dBVSPL");
        return false;
    }
    if (axis.ref == 1.0) {
        ShowErrorMessage("Selected axis reference level must be valid (not equal to 1) in order to "
                         "save to *.FRD file");
        return false;
    }
    CDSPFFTDataList& plot = *m_pLog->GetAt(m_selectedPlot);
    if (SaveFRDdBSPL(plot, ActingChannel(), path, m_title, axis.ref) == 0) {
        ShowErrorMessage("Unable to open *.FRD file");
        return false;
    }
    return true;
}

bool CDataLoggerView::SaveZMA(const std::string& path) {
    if (m_axes[0].type != kLogYImpedance || m_axes[0].ref == 10.0 ||
        m_axes[1].type != kLogYDegrees) {
        ShowErrorMessage("YAXIS1 scale must be |Z| with a reference level != 10.\n YAXIS2 scale "
                         "must be Degrees in order to save to *.ZMA file");
        return false;
    }
    if (::SaveZMA(*m_pLog->GetAt(m_selectedPlot), path, m_title, m_axes[0].ref) == 0) {
        ShowErrorMessage("Unable to open *.ZMA file");
        return false;
    }
    return true;
}

bool CDataLoggerView::SaveCSV(const std::string& path) {
    // Magnitudes in the unit of the Y1 axis (volts peak when it shows no magnitude).
    CLoggerChan record = m_loggerPlot.Record(0);
    if (record.yCode == kLogYNone || record.yCode == kLogYDegrees || record.yCode == kLogYImpedance)
        record.yCode = kLogYVpk;
    const std::string unit = LoggerYAxisChoices()[size_t(record.yCode)];
    const CDSPFFTDataList& plot = *m_pLog->GetAt(m_selectedPlot);
    const auto magnitude = [&](int channel, int32_t bin) {
        CLoggerChan r = record;
        r.xCode = channel == 0 ? kLogF1Lin : kLogF2Lin;
        r.timeA = r.timeB = nullptr;
        r.magnitudeA = plot.GetAt(0) ? plot.GetAt(0)->GetFreqObj()->GetDataPointer() : nullptr;
        r.magnitudeB = plot.GetAt(1) ? plot.GetAt(1)->GetFreqObj()->GetDataPointer() : nullptr;
        r.gain = plot.GetGain(channel);
        return LoggerValue(r, bin);
    };
    std::string error;
    if (!PlotCsv::Save(plot, path, unit, magnitude, error)) {
        ShowErrorMessage(kUnableToOpen);
        return false;
    }
    return true;
}

bool CDataLoggerView::SavePlotFile(const std::string& path, int filter) {
    if (!m_pLog || m_pLog->IsEmpty()) {
        ShowErrorMessage("No plots to save");
        return false;
    }
    if (!m_pLog->GetAt(m_selectedPlot)) {
        ShowErrorMessage(kUnableToOpen);
        return false;
    }
    switch (filter) {
    case 1:
        return SaveFRD(path);
    case 2:
        return SaveZMA(path);
    case 3:
        return SaveCSV(path);
    default:
        if (DataLogFile::SavePlot(*m_pLog, m_selectedPlot, path, m_title) == 0) {
            ShowErrorMessage(kUnableToOpen);
            return false;
        }
        return true;
    }
}

bool CDataLoggerView::SaveDataLogFile(const std::string& path) {
    if (!m_pLog || m_pLog->IsEmpty()) {
        ShowErrorMessage("No plots to save");
        return false;
    }
    if (DataLogFile::Save(*m_pLog, path, m_title) == 0) {
        ShowErrorMessage(kUnableToOpen);
        return false;
    }
    return true;
}

bool CDataLoggerView::AskSave(const char* title, const char* extension, const char* filter,
                              std::string& path) {
    if (!m_pLog || m_pLog->IsEmpty()) {
        ShowErrorMessage("No plots to save");
        return false;
    }
    CDspApp* app = AppOf(*this);
    IFileDialog* dialog = app ? app->GetFileDialog() : nullptr;
    const auto chosen = dialog ? dialog->AskSavePath(title, "", extension, filter) : std::nullopt;
    if (!chosen) return false;
    path = *chosen;
    return true;
}
