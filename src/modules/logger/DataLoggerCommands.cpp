// The data logger's commands on its log: cut, copy and paste, the FRD and ZMA copies and the
// right-button menu that offers them, the plot and data log files with the dialogs that name
// them, and the log's title.

#include "modules/logger/DataLoggerView.h"

#include "platform/OpenFileDialog.h"
#include "platform/TextDialog.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"

namespace {
CDspApp* AppOf(const CDspView& view) {
    return view.GetDocument() ? view.GetDocument()->GetApp() : nullptr;
}

IClipboard* ClipboardOf(const CDspView& view) {
    CDspApp* app = AppOf(view);
    return app ? &app->GetClipboard() : nullptr;
}
} // namespace

CDataLog::CAxes CDataLoggerView::FormatAxes() const {
    return {MarkerAxis().type,
            MarkerAxis().ref,
            {m_axes[0].type, m_axes[1].type},
            {m_axes[0].ref, m_axes[1].ref},
            m_loggerPlot.Record(0)};
}

void CDataLoggerView::Clipped(const CDataLog::CClip& clip) {
    if (Accepted(clip.message)) CheckClipboardAction(clip.count, clip.channels);
}

void CDataLoggerView::Clipboard(bool cut) {
    if (GetMode() != CDataLog::kModePlot) {
        Clipped(m_log.ClipCombined(GetMode(), m_mergeFrequency, ActingChannel(), cut,
                                   ClipboardOf(*this)));
        return;
    }
    const CDataLog::CClip clip =
        m_log.ClipPlot(m_selectedPlot, ActingChannel(), cut, ClipboardOf(*this));
    Clipped(clip);
    if (clip.message.empty()) SettingChanged();
}

void CDataLoggerView::OnEditCut(bool) {
    Clipboard(true);
}

void CDataLoggerView::OnEditCopy(bool) {
    Clipboard(false);
}

void CDataLoggerView::OnEditPaste(bool) {
    const CDspDoc* doc = GetDocument();
    const CDataLog::CClip clip =
        doc ? m_log.Paste(m_selectedPlot, ActingChannel(), doc->GetNumChans(), ClipboardOf(*this))
            : CDataLog::CClip{"Invalid Data Log List Pointer"};
    Clipped(clip);
    if (clip.message.empty()) SettingChanged();
}

void CDataLoggerView::OnCopyFRDdBSPL() {
    Accepted(m_log.CopyFRD(m_selectedPlot, ActingChannel(), FormatAxes(), ClipboardOf(*this)));
}

void CDataLoggerView::OnCopyZMA() {
    Accepted(m_log.CopyZMA(m_selectedPlot, FormatAxes(), ClipboardOf(*this)));
}

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
        {"markery1",
         [](V& v) {
             v.m_markerAxis = 0;
             v.Invalidate();
         }},
        {"markery2",
         [](V& v) {
             v.m_markerAxis = 1;
             v.Invalidate();
         }},
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

bool CDataLoggerView::OpenPlotFile(const std::string& path) {
    MatchLog();
    if (!m_log.List() || !Accepted(m_log.OpenPlot(m_selectedPlot, path))) return false;
    SettingChanged();
    return true;
}

bool CDataLoggerView::OpenDataLogFile(const std::string& path) {
    MatchLog();
    if (!m_log.List() || !Accepted(m_log.OpenDataLog(path))) return false;
    // The log may now have another shape than the blocks of this step; the axes follow it.
    ShowCurrentParams();
    SetModified();
    return true;
}

bool CDataLoggerView::SavePlotFile(const std::string& path, int filter) {
    return Accepted(m_log.SavePlot(m_selectedPlot, ActingChannel(), path, filter, FormatAxes()));
}

bool CDataLoggerView::SaveDataLogFile(const std::string& path) {
    return Accepted(m_log.SaveDataLog(path));
}

bool CDataLoggerView::AskOpen(const char* extension, const char* filter, std::string& path) {
    CDspApp* app = AppOf(*this);
    auto* dialog = app ? dynamic_cast<IOpenFileDialog*>(app->GetFileDialog()) : nullptr;
    const auto chosen = dialog ? dialog->AskOpenPath("Open", "", extension, filter) : std::nullopt;
    if (!chosen) return false;
    path = *chosen;
    return true;
}

bool CDataLoggerView::AskSave(const char* title, const char* extension, const char* filter,
                              std::string& path) {
    if (m_log.IsEmpty()) {
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

bool CDataLoggerView::AskTitle() {
    CDspApp* app = AppOf(*this);
    auto* prompt = app ? dynamic_cast<ITextDialog*>(app->GetFileDialog()) : nullptr;
    const auto title =
        prompt ? prompt->AskText("Title", "Data log title:", m_log.Title()) : std::nullopt;
    if (!title) return false;
    m_log.SetTitle(*title);
    return true;
}
