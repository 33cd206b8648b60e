// The analyser's right-button menu and its two copy commands (FRD and ZMA clipboard text).

#include "modules/spectrum/SpecView.h"

#include "base/NumberText.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"
#include "formats/FRDZMA.h"

void CSpecView::OnCopyFRDdBSPL() {
    if (m_yAxisType != kYdBVSPL) {
        ShowErrorMessage("Selected axis Y scale must be dBVSPL in order  to copy in FRD format\n "
                         "Right Click and select a Marker Yaxis (Marker YAxis1 or Marker YAxis2) "
                         "whose Y scale is dBVSPL");
        return;
    }
    const int channel = GetSelectedChannel();
    if (channel != 1 && channel != 2) {
        ShowErrorMessage("A single channel must be selected in order to copy in FRD format\n "
                         "Right Click and select a Channel (Sel Ch1 or Sel Ch2) whose Y scale is "
                         "dBVSPL");
        return;
    }
    if (m_ref1 == 1.0) {
        ShowErrorMessage("Selected axis reference level must be valid (not equal to 1) in order to "
                         "copy in FRD format");
        return;
    }
    CDSPFFTData* block = m_pDisplayList ? m_pDisplayList->GetAt(channel - 1) : nullptr;
    if (!block) {
        ShowErrorMessage("Could Not Find Channel Data");
        return;
    }
    const CDspApp* app = GetDocument() ? GetDocument()->GetApp() : nullptr;
    if (!app || CopyFRDdBSPL(*block, m_ref1, app->GetClipboard()) == 0)
        ShowErrorMessage(
            FormatText("Channel: %i FRDdBSPL Data Copy To Clipboard Failed ", channel));
}

void CSpecView::OnCopyZMA() {
    if (m_yAxisType != kYImpedance || m_ref1 == 10.0) {
        ShowErrorMessage("YAXIS1 scale must be |Z| with a reference level != 10.");
        return;
    }
    const CDspApp* app = GetDocument() ? GetDocument()->GetApp() : nullptr;
    if (!app || !m_pDisplayList || CopyZMA(*m_pDisplayList, m_ref1, app->GetClipboard()) == 0)
        ShowErrorMessage("ZMA Data Copy To Clipboard Failed ");
}

std::vector<CMenuEntry> CSpecView::GetContextMenu() const {
    return ResponsePlotMenu();
}

bool CSpecView::OnContextCommand(const std::string& id) {
    if (id == "selch1")
        OnSelCh1();
    else if (id == "selch2")
        OnSelCh2();
    else if (id == "selall")
        OnSelAll();
    else if (id == "cut")
        OnEditCut(false);
    else if (id == "copy")
        OnEditCopy(false);
    else if (id == "copyfrd")
        OnCopyFRDdBSPL();
    else if (id == "copyzma")
        OnCopyZMA();
    else if (id == "paste")
        OnEditPaste(false);
    else if (id == "stop")
        StopProcess();
    else if (id == "pause")
        PauseProcess();
    else if (id == "run")
        RunProcess();
    else
        return false; // the process editor, the FFT options and printing belong to the host
    return true;
}
