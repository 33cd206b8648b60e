// The data logger's clipboard: cut, copy and paste of the selected plot or of the sum or merge,
// the FRD and ZMA copies, and the right-button menu that offers them.

#include "modules/logger/DataLoggerView.h"

#include "base/NumberText.h"
#include "formats/ClipboardText.h"
#include "formats/FRDZMA.h"
#include "modules/logger/LoggerAxes.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"

namespace {
CDspApp* AppOf(const CDspView& view) {
    return view.GetDocument() ? view.GetDocument()->GetApp() : nullptr;
}
} // namespace

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
    SettingChanged();
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
    SettingChanged();
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
