#include "modules/generator/SigGenView.h"

#include "base/NumberText.h"
#include "process/DspDoc.h"

#include <algorithm>

AURIVO_IMPLEMENT_DYNAMIC(CSigGenView, RUNTIME_CLASS(CDspView));

CSigGenView::CSigGenView() = default;
CSigGenView::~CSigGenView() = default;

CSigGenChanDlgBar* CSigGenView::GetChannelPointer(int index) const {
    // Reading accepts nothing but bars into the list.
    return index < 0 ? nullptr
                     : static_cast<CSigGenChanDlgBar*>(m_barList.GetAt(static_cast<size_t>(index)));
}

void CSigGenView::EnsureBars() {
    const CDspDoc* doc = GetDocument();
    const int wanted = doc ? std::min(doc->GetNumChans(), int(CSigGenChanDlgBar::kMaxChannels)) : 0;
    for (int c = int(m_barList.GetCount()) + 1; c <= wanted; ++c) {
        auto bar = std::make_unique<CSigGenChanDlgBar>(c);
        AddControls({&CSigGenChanDlgBar::Rows(), bar.get(), bar->Prefix()});
        m_barList.AddTail(std::move(bar));
    }
    m_channelCount = static_cast<int32_t>(m_barList.GetCount());
}

void CSigGenView::OnInitialUpdate() {
    CDspView::OnInitialUpdate();
    EnsureBars();
}

void CSigGenView::ShowCurrentParams() {
    CDspView::ShowCurrentParams();
    CDspDoc* doc = GetDocument();
    if (!doc) return;
    for (CDSPFFTDataList* list : {GetWorkingList(), GetDisplayList(), GetThirdList()})
        if (list) list->SetSampleRate(doc->GetSampleRate());
    const CDSPFFTDataList* current = doc->GetCurrentList();
    if (current && (!m_pClipboardList || !m_pClipboardList->IsEquivalent(*current))) {
        auto clone = std::make_unique<CDSPFFTDataList>();
        if (clone->Clone(*current)) m_pClipboardList = std::move(clone);
    }
    EnsureBars();
    UpdateControls();
}

std::vector<CRowSet> CSigGenView::RowSets() const {
    std::vector<CRowSet> sets;
    for (int i = 0; i < m_channelCount; ++i) {
        CSigGenChanDlgBar* bar = GetChannelPointer(i);
        sets.push_back({&CSigGenChanDlgBar::Rows(), bar, bar->Prefix()});
    }
    return sets;
}

std::vector<CReadoutValue> CSigGenView::GetReadoutValues() const {
    std::vector<CReadoutValue> values;
    for (int i = 0; i < m_channelCount; ++i)
        if (const CSigGenChanDlgBar* bar = GetChannelPointer(i); !bar->CrestText().empty())
            values.push_back({bar->m_channel, "Crest", bar->CrestText()});
    return values;
}

// ---- Process file ---------------------------------------------------------------------------

void CSigGenView::Serialize(CArchive& ar) {
    CDspView::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(CSigGenView));
        WriteBars(ar);
        ar.WriteInt32(m_channelCount);
        return;
    }
    ar.ReadClass(RUNTIME_CLASS(CSigGenView));
    ar.GetObjectSchema();
    CObList bars;
    if (!ReadBars(ar, bars)) return;
    const int32_t count = ar.ReadInt32();
    if (!ar.Ok()) return;
    if (count != static_cast<int32_t>(bars.GetCount())) {
        ar.Fail("Signal generator channel count " + std::to_string(count) + " does not match its " +
                std::to_string(bars.GetCount()) + " channel bars");
        return;
    }
    m_barList = std::move(bars);
    m_channelCount = count;
    UpdateControls();
}

void CSigGenView::WriteBars(CArchive& ar) const {
    // An object reference in both layouts: the older one only leaves out the bars' own
    // class records.
    ar.WriteObject(&m_barList);
}

bool CSigGenView::ReadBars(CArchive& ar, CObList& bars) {
    std::unique_ptr<CObject> list = ar.ReadObject(RUNTIME_CLASS(CObList));
    if (ar.Ok() && !list) ar.Fail("Signal generator without its channel bars");
    if (!ar.Ok()) return false;
    bars = std::move(static_cast<CObList&>(*list));
    if (!bars.AllKindOf(RUNTIME_CLASS(CSigGenChanDlgBar)))
        ar.Fail("Signal generator channel list holds an object that is not a channel bar");
    else if (bars.GetCount() > size_t(CSigGenChanDlgBar::kMaxChannels))
        ar.Fail("Signal generator with " + std::to_string(bars.GetCount()) + " channel bars");
    if (!ar.Ok()) return false;
    if (bars.GetCount() == 0) {
        ar.Fail("Signal generator without channel bars");
        return false;
    }
    for (size_t i = 0; i < bars.GetCount(); ++i) {
        const auto& bar = static_cast<const CSigGenChanDlgBar&>(*bars.GetAt(i));
        if (bar.m_channel != int32_t(i + 1)) {
            ar.Fail("Signal generator channel bar " + std::to_string(i + 1) +
                    " is stored as channel " + std::to_string(bar.m_channel));
            return false;
        }
    }
    return true;
}
