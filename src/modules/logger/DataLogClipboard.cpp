// The log's clipboard texts: cut, copy and paste of a plot or of the sum or merge, and the FRD
// and ZMA copies. A missing clipboard (no application) is refused like a missing plot.

#include "modules/logger/DataLog.h"

#include "base/NumberText.h"
#include "formats/ClipboardText.h"
#include "formats/FRDZMA.h"

CDataLog::CClip CDataLog::ClipPlot(int plot, int channel, bool cut, IClipboard* clipboard) {
    const char* verb = cut ? "Cut" : "Copy";
    if (IsEmpty()) return {FormatText("No Plot Data Available To %s To Clipboard", verb)};
    CDSPFFTDataList* list = m_list->GetAt(plot);
    if (!list || !clipboard)
        return {FormatText("Plot Selection: %d\r\nHas No Plot Data Available To %s To Clipboard",
                           plot + 1, verb)};
    if (channel >= 0)
        return {{},
                cut ? ClipboardText::Cut(*list, channel, *clipboard)
                    : ClipboardText::Copy(*list, channel, *clipboard)};
    if (!cut) return {{}, ClipboardText::Copy(*list, *clipboard), list->GetNumChans()};
    // Cutting a whole plot takes it out of the log.
    const int count = ClipboardText::Cut(*list, *clipboard);
    if (count != 0) m_list->RemoveAt(plot);
    return {{}, count};
}

CDataLog::CClip CDataLog::ClipCombined(int32_t mode, double mergeFrequency, int channel, bool cut,
                                       IClipboard* clipboard) {
    const bool sum = mode == kModeSum;
    const char* verb = cut ? "Cut" : "Copy";
    if (!Combine(mode, mergeFrequency) || !clipboard)
        return {sum ? FormatText("No Sum Data Available To %s To Clipboard", verb)
                    : FormatText("No %s Data Available To %s To Clipboard",
                                 cut ? "Merge" : "Merged", verb)};
    CDSPFFTDataList& list = *m_combined;
    const int count = channel >= 0 ? (cut ? ClipboardText::Cut(list, channel, *clipboard)
                                          : ClipboardText::Copy(list, channel, *clipboard))
                                   : (cut ? ClipboardText::Cut(list, *clipboard)
                                          : ClipboardText::Copy(list, *clipboard));
    if (count == 0)
        return {FormatText("%s of %s Data To Clipboard Failed", verb, sum ? "Summed" : "Merged")};
    return {{}, count, channel >= 0 || cut ? 1 : list.GetNumChans()};
}

CDataLog::CClip CDataLog::Paste(int plot, int channel, int channels, IClipboard* clipboard) {
    if (!m_list || !clipboard) return {"Invalid Data Log List Pointer"};
    while (m_list->GetCount() <= plot)
        if (!m_list->AddEmpty(channels, CDSPData::kTimeBlock, m_list->GetSize(),
                              m_list->GetSampleRate()))
            return {"Invalid Data Data Log List Pointer"};
    CDSPFFTDataList& list = *m_list->GetAt(plot);
    if (channel >= 0) return {{}, ClipboardText::Paste(list, channel, *clipboard)};
    // A whole plot's text holds N lines per channel.
    return {{}, ClipboardText::Paste(list, *clipboard), list.GetNumChans()};
}

std::string CDataLog::CopyFRD(int plot, int channel, const CAxes& axes, IClipboard* clipboard) {
    if (std::string refusal = FRDRefusal(axes, channel, false); !refusal.empty()) return refusal;
    const CDSPFFTDataList* list = m_list ? m_list->GetAt(plot) : nullptr;
    const CDSPFFTData* block = list ? list->GetAt(channel) : nullptr;
    if (!clipboard || !block || CopyFRDdBSPL(*block, axes.markerRef, *clipboard) == 0)
        return FormatText("Plot Selection: %i FRDdBSPL Data Copy To Clipboard Failed ", plot + 1);
    return {};
}

std::string CDataLog::CopyZMA(int plot, const CAxes& axes, IClipboard* clipboard) {
    if (std::string refusal = ZMARefusal(axes, false); !refusal.empty()) return refusal;
    const CDSPFFTDataList* list = m_list ? m_list->GetAt(plot) : nullptr;
    if (!clipboard || !list || ::CopyZMA(*list, axes.yRef[0], *clipboard) == 0)
        return FormatText("Plot Selection: %i ZMA Data Copy To Clipboard Failed ", plot + 1);
    return {};
}
