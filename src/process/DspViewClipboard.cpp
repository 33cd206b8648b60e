// The modules' Cut, Copy and Paste: the selected channel (or all) of the display list, or of
// the working list while Shift is held, checked against the document's block size.
#include "dsp/DSPFFTDataList.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"
#include "process/DspView.h"
#include "process/HostMenu.h"
#include "formats/ClipboardText.h"

#include <algorithm>
#include <vector>

namespace {

IClipboard* ClipboardOf(const CDspDoc* doc) {
    CDspApp* app = doc ? doc->GetApp() : nullptr;
    return app ? &app->GetClipboard() : nullptr;
}

// Every value and number used of a list, to put back after a refused paste. All three arrays are
// kept: a paste also writes a response block's frequency axis.
class CSavedValues {
public:
    explicit CSavedValues(CDSPFFTDataList& list) {
        for (int ch = 0; ch < list.GetNumChans(); ++ch) {
            const CDSPFFTData& block = *list.GetAt(ch);
            m_blocks.push_back({Values(block.GetTimeObj()), Values(block.GetFreqObj()),
                                Values(block.GetPhaseObj()), block.GetNumUsed()});
        }
    }

    void Restore(CDSPFFTDataList& list) const {
        for (int ch = 0; ch < list.GetNumChans() && size_t(ch) < m_blocks.size(); ++ch) {
            CDSPFFTData& block = *list.GetAt(ch);
            const CBlock& saved = m_blocks[size_t(ch)];
            Put(saved.time, block.GetTimeObj());
            Put(saved.magnitude, block.GetFreqObj());
            Put(saved.phase, block.GetPhaseObj());
            block.SetNumUsed(saved.numUsed);
        }
    }

private:
    struct CBlock {
        std::vector<double> time, magnitude, phase;
        int32_t numUsed;
    };

    static std::vector<double> Values(const CDSPData* array) {
        if (!array || !array->GetDataPointer()) return {};
        return {array->GetDataPointer(), array->GetDataPointer() + array->GetSize()};
    }
    static void Put(const std::vector<double>& values, CDSPData* array) {
        if (array && array->GetDataPointer() && values.size() == size_t(array->GetSize()))
            std::copy(values.begin(), values.end(), array->GetDataPointer());
    }

    std::vector<CBlock> m_blocks;
};

} // namespace

void CDspView::OnEditCut(bool shift) {
    CDSPFFTDataList* list = shift ? m_pWorkingList.get() : m_pDisplayList.get();
    IClipboard* clipboard = ClipboardOf(GetDocument());
    if (!list || !clipboard) return;
    // All channels are checked against one block: the cut reports the lines per channel.
    const int count = m_selectedChannel
                          ? ClipboardText::Cut(*list, m_selectedChannel - 1, *clipboard)
                          : ClipboardText::Cut(*list, *clipboard);
    CheckClipboardAction(count);
}

void CDspView::OnEditCopy(bool shift) {
    CDSPFFTDataList* list = shift ? m_pWorkingList.get() : m_pDisplayList.get();
    IClipboard* clipboard = ClipboardOf(GetDocument());
    if (!list || !clipboard) return;
    if (m_selectedChannel)
        CheckClipboardAction(ClipboardText::Copy(*list, m_selectedChannel - 1, *clipboard));
    else
        CheckClipboardAction(ClipboardText::Copy(*list, *clipboard), list->GetNumChans());
}

void CDspView::OnEditPaste(bool shift) {
    CDSPFFTDataList* list = shift ? m_pWorkingList.get() : m_pDisplayList.get();
    IClipboard* clipboard = ClipboardOf(GetDocument());
    if (!list || !clipboard) return;
    const CSavedValues saved(*list);
    int accepted = 0;
    if (m_selectedChannel) {
        accepted =
            CheckClipboardAction(ClipboardText::Paste(*list, m_selectedChannel - 1, *clipboard));
    } else {
        const int lines = ClipboardText::Paste(*list, *clipboard);
        accepted = CheckClipboardAction(lines / std::max(1, list->GetNumChans()));
    }
    if (!accepted) saved.Restore(*list);
}

std::vector<CMenuEntry> CDspView::ResponsePlotMenu(const std::vector<CMenuEntry>& extra) const {
    std::vector<CMenuEntry> menu{{"selch1", "Sel Ch1", m_selectedChannel == 1},
                                 {"selch2", "Sel Ch2", m_selectedChannel == 2},
                                 {"selall", "Sel All", m_selectedChannel == 0},
                                 {}};
    if (!extra.empty()) {
        menu.insert(menu.end(), extra.begin(), extra.end());
        menu.emplace_back();
    }
    menu.insert(menu.end(), {{"cut", "Cu&t"},
                             {"copy", "&Copy"},
                             {"copyfrd", "Copy FRDdBSPL"},
                             {"copyzma", "Copy ZMA"},
                             {"paste", "&Paste"},
                             {}});
    const std::vector<CMenuEntry> host = HostMenuEntries(true);
    menu.insert(menu.end(), host.begin(), host.end());
    return menu;
}
