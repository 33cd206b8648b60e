// The data logger's commands on plots and files: the clipboard, the FRD and ZMA copies, opening
// and saving plot, data log, FRD, ZMA and CSV files, the title, the inverse FFT and the
// right-button menu.

#include "modules/logger/DataLoggerView.h"

#include "base/NumberText.h"
#include "formats/ClipboardText.h"
#include "formats/DataLogFile.h"
#include "formats/FRDZMA.h"
#include "formats/PlotCsv.h"
#include "modules/logger/LoggerAxes.h"
#include "platform/OpenFileDialog.h"
#include "platform/TextDialog.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"

namespace {
constexpr const char* kPlotFilter =
    "PLOT files (*.plt)|*.plt |FRD files (*.FRD)|*.FRD |ZMA files (*.ZMA)|*.ZMA|"
    "CSV files (*.csv)|*.csv|";
constexpr const char* kOpenPlotFilter = "PLOT files (*.plt)|*.plt|All files (*.*)|*.*||";
constexpr const char* kDataLogFilter = "DATALOG files (*.dlg)|*.dlg|All files (*.*)|*.*||";
constexpr const char* kUnableToOpen = "Unable to open file";

CDspApp* AppOf(const CDspView& view) {
    return view.GetDocument() ? view.GetDocument()->GetApp() : nullptr;
}

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

// ---- Clipboard ------------------------------------------------------------------------------

void CDataLoggerView::ClipboardPlot(bool cut) {
    CDspApp* app = AppOf(*this);
    const char* verb = cut ? "Cut" : "Copy";
    if (!m_pLog || m_pLog->IsEmpty()) {
        ShowErrorMessage(FormatText("No Plot Data Available To %s To Clipboard", verb));
        return;
    }
    CDSPFFTDataList* plot = m_pLog->GetAt(m_selectedPlot);
    if (!plot || !app) {
        ShowErrorMessage(FormatText("Plot Selection: %d\r\nHas No Plot Data Available To %s To "
                                    "Clipboard",
                                    m_selectedPlot + 1, verb));
        return;
    }
    IClipboard& clipboard = app->GetClipboard();
    const int channel = ActingChannel();
    if (channel >= 0) {
        CheckClipboardAction(cut ? ClipboardText::Cut(*plot, channel, clipboard)
                                 : ClipboardText::Copy(*plot, channel, clipboard));
    } else if (cut) {
        // Cutting a whole plot takes it out of the log.
        if (CheckClipboardAction(ClipboardText::Cut(*plot, clipboard)))
            m_pLog->RemoveAt(m_selectedPlot);
    } else {
        CheckClipboardAction(ClipboardText::Copy(*plot, clipboard), plot->GetNumChans());
    }
    Changed();
}

void CDataLoggerView::ClipboardCombined(bool cut) {
    CDspApp* app = AppOf(*this);
    UpdateCombined();
    const bool sum = GetMode() == kModeSum;
    if (!m_pCombined || !app) {
        ShowErrorMessage(
            sum ? FormatText("No Sum Data Available To %s To Clipboard", cut ? "Cut" : "Copy")
                : FormatText("No %s Data Available To %s To Clipboard", cut ? "Merge" : "Merged",
                             cut ? "Cut" : "Copy"));
        return;
    }
    IClipboard& clipboard = app->GetClipboard();
    const int channel = ActingChannel();
    CDSPFFTDataList& list = *m_pCombined;
    const int count = channel >= 0 ? (cut ? ClipboardText::Cut(list, channel, clipboard)
                                          : ClipboardText::Copy(list, channel, clipboard))
                                   : (cut ? ClipboardText::Cut(list, clipboard)
                                          : ClipboardText::Copy(list, clipboard));
    if (count == 0) {
        ShowErrorMessage(FormatText("%s of %s Data To Clipboard Failed", cut ? "Cut" : "Copy",
                                    sum ? "Summed" : "Merged"));
        return;
    }
    if (channel >= 0)
        CheckClipboardAction(count);
    else
        CheckClipboardAction(count, cut ? 1 : list.GetNumChans());
}

void CDataLoggerView::OnEditCut(bool) {
    GetMode() == kModePlot ? ClipboardPlot(true) : ClipboardCombined(true);
}

void CDataLoggerView::OnEditCopy(bool) {
    GetMode() == kModePlot ? ClipboardPlot(false) : ClipboardCombined(false);
}

void CDataLoggerView::OnEditPaste(bool) {
    CDspApp* app = AppOf(*this);
    const CDspDoc* doc = GetDocument();
    if (!m_pLog || !app || !doc) {
        ShowErrorMessage("Invalid Data Log List Pointer");
        return;
    }
    while (m_pLog->GetCount() <= m_selectedPlot)
        if (!m_pLog->AddEmpty(doc->GetNumChans(), CDSPData::kTimeBlock, m_pLog->GetSize(),
                              m_pLog->GetSampleRate())) {
            ShowErrorMessage("Invalid Data Data Log List Pointer");
            return;
        }
    CDSPFFTDataList& plot = *m_pLog->GetAt(m_selectedPlot);
    IClipboard& clipboard = app->GetClipboard();
    const int channel = ActingChannel();
    if (channel >= 0)
        CheckClipboardAction(ClipboardText::Paste(plot, channel, clipboard));
    else
        // A whole plot's text holds N lines per channel.
        CheckClipboardAction(ClipboardText::Paste(plot, clipboard), plot.GetNumChans());
    Changed();
}

void CDataLoggerView::OnCopyFRDdBSPL() {
    const CAxisSettings& axis = MarkerAxis();
    if (axis.type != kLogYdBVSPL) {
        ShowErrorMessage("Selected axis Y scale must be dBVSPL in order  to copy in FRD format\n "
                         "Right Click and select a Marker Yaxis (Marker YAxis1 or Marker YAxis2) "
                         "whose Y scale is dBVSPL");
        return;
    }
    if (ActingChannel() < 0) {
        ShowErrorMessage("A single channel must be selected in order t to copy in FRD format\n "
                         "Right Click and select a Channel (Sel Ch1 or Sel Ch2) whose Y scale is "
                         "dBVSPL");
        return;
    }
    if (axis.ref == 1.0) {
        ShowErrorMessage("Selected axis reference level must be valid (not equal to 1) in order to "
                         "copy in FRD format");
        return;
    }
    CDspApp* app = AppOf(*this);
    const CDSPFFTDataList* plot = m_pLog ? m_pLog->GetAt(m_selectedPlot) : nullptr;
    const CDSPFFTData* block = plot ? plot->GetAt(ActingChannel()) : nullptr;
    if (!app || !block || CopyFRDdBSPL(*block, axis.ref, app->GetClipboard()) == 0)
        ShowErrorMessage(FormatText("Plot Selection: %i FRDdBSPL Data Copy To Clipboard Failed ",
                                    m_selectedPlot + 1));
}

void CDataLoggerView::OnCopyZMA() {
    if (m_axes[0].type != kLogYImpedance || m_axes[0].ref == 10.0 ||
        m_axes[1].type != kLogYDegrees) {
        ShowErrorMessage("YAXIS1 scale must be |Z| with a reference level != 10.\n YAXIS2 scale "
                         "must be Degrees in order to copy in ZMA format");
        return;
    }
    CDspApp* app = AppOf(*this);
    const CDSPFFTDataList* plot = m_pLog ? m_pLog->GetAt(m_selectedPlot) : nullptr;
    if (!app || !plot || CopyZMA(*plot, m_axes[0].ref, app->GetClipboard()) == 0)
        ShowErrorMessage(FormatText("Plot Selection: %i ZMA Data Copy To Clipboard Failed ",
                                    m_selectedPlot + 1));
}

// ---- Files ----------------------------------------------------------------------------------

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
    Changed();
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

void CDataLoggerView::OnClickedOpenPlot() {
    std::string path;
    if (AskOpen("flt", kOpenPlotFilter, path)) OpenPlotFile(path);
}

void CDataLoggerView::OnClickedOpenDatalog() {
    std::string path;
    if (AskOpen("dlg", kDataLogFilter, path)) OpenDataLogFile(path);
}

void CDataLoggerView::OnClickedTitle() {
    CDspApp* app = AppOf(*this);
    auto* prompt = app ? dynamic_cast<ITextDialog*>(app->GetFileDialog()) : nullptr;
    if (!prompt) return;
    if (const auto title = prompt->AskText("Title", "Data log title:", m_title)) {
        m_title = *title;
        Changed();
    }
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
    CLoggerChan record = m_axes[0].record;
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

void CDataLoggerView::OnClickedSavePlot() {
    std::string path;
    if (AskSave("Save Plot", "plt", kPlotFilter, path)) SavePlotFile(path, FilterOf(path));
}

void CDataLoggerView::OnClickedSaveDatalog() {
    std::string path;
    if (AskSave("Save Data Log", "dlg", kDataLogFilter, path)) SaveDataLogFile(path);
}

void CDataLoggerView::OnClickedDoIFFT() {
    CDSPFFTDataList* plot = m_pLog ? m_pLog->GetAt(m_selectedPlot) : nullptr;
    if (!plot) return;
    for (int c = 0; c < plot->GetNumChans(); ++c)
        plot->DoIFFT(c);
    Changed();
}

// ---- Menu -----------------------------------------------------------------------------------

std::vector<CMenuEntry> CDataLoggerView::GetContextMenu() const {
    return ResponsePlotMenu({{"markery1", "Marker YAxis1", m_markerAxis == 0},
                             {"markery2", "Marker YAxis2", m_markerAxis == 1}});
}

bool CDataLoggerView::OnContextCommand(const std::string& id) {
    using V = CDataLoggerView;
    static const std::pair<const char*, void (*)(V&)> kCommands[] = {
        {"selch1", [](V& v) { v.OnSelCh1(); }},
        {"selch2", [](V& v) { v.OnSelCh2(); }},
        {"selall", [](V& v) { v.OnSelAll(); }},
        {"markery1", [](V& v) { v.OnSelMarkerYAxis(0); }},
        {"markery2", [](V& v) { v.OnSelMarkerYAxis(1); }},
        {"cut", [](V& v) { v.OnEditCut(false); }},
        {"copy", [](V& v) { v.OnEditCopy(false); }},
        {"copyfrd", [](V& v) { v.OnCopyFRDdBSPL(); }},
        {"copyzma", [](V& v) { v.OnCopyZMA(); }},
        {"paste", [](V& v) { v.OnEditPaste(false); }},
        {"stop", [](V& v) { v.StopProcess(); }},
        {"pause", [](V& v) { v.PauseProcess(); }},
        {"run", [](V& v) { v.RunProcess(); }},
    };
    for (const auto& [name, command] : kCommands)
        if (id == name) {
            command(*this);
            return true;
        }
    return false; // the process editor, the FFT options and printing belong to the host
}
