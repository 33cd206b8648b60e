// The arbitrary filter's run: each channel's block filtered by the envelope chosen for it.

#include "modules/arbfilter/ArbFilterView.h"

#include "process/DspDoc.h"

#include <algorithm>
#include <cstring>

int CArbFilterView::StartRun() {
    ShapeEnvelopeList();
    if (!m_pEnvelopes || !m_pTaps) return 0;
    if (m_filterType == kTrans)
        for (int e = 0; e < kEnvelopes; ++e)
            MakeTaps(e);
    return 1;
}

int CArbFilterView::ProcessData() {
    CDspDoc* doc = GetDocument();
    const CDSPFFTDataList* input = doc ? doc->GetCurrentList() : nullptr;
    if (!input || input->IsEmpty() || !m_pWorkingList || !m_pEnvelopes || !m_pTaps) return 0;
    const int channels = std::min({2, input->GetNumChans(), m_pWorkingList->GetNumChans()});
    const int32_t n = input->GetSize(0);

    for (int ch = 0; ch < channels; ++ch) {
        CDSPFFTData& block = *m_pWorkingList->GetAt(ch);
        const int32_t count = std::min({n, input->GetSize(ch), block.GetSize()});
        const double* from = input->GetAt(ch)->GetTimeObj()->GetDataPointer();
        double* to = block.GetTimeObj()->GetDataPointer();
        if (from != to) std::memmove(to, from, sizeof(double) * size_t(count));
        block.SetSampleRate(input->GetSampleRate(ch));
        block.SetNumUsed(input->GetNumUsed(ch));
    }

    for (int ch = 0; ch < channels; ++ch) {
        CDSPFFTData& block = *m_pWorkingList->GetAt(ch);
        const int envelope = m_channelEnvelope[size_t(ch)];
        bool filtered = false;
        if (m_filterType == kTrans) {
            filtered = block.DoTransversalFilter(*m_pTaps->GetAt(envelope));
        } else {
            const CDSPFFTData& response = *m_pEnvelopes->GetAt(envelope);
            filtered = response.GetSize() == block.GetSize() && block.DoFFT(0);
            if (filtered) {
                const double* gain = response.GetFreqObj()->GetDataPointer();
                const double* degrees = response.GetPhaseObj()->GetDataPointer();
                double* magnitude = block.GetFreqObj()->GetDataPointer();
                double* phase = block.GetPhaseObj()->GetDataPointer();
                for (int32_t k = 0; k < block.GetSize(); ++k) {
                    magnitude[k] *= gain[k];
                    phase[k] += degrees[k];
                }
                filtered = block.DoIFFT();
            }
        }
        if (!filtered) {
            ShowErrorMessage("The Envelope Does Not Match The Block Size");
            return 0;
        }
    }

    doc->SetCurrentList(m_pWorkingList);
    Invalidate();
    return 1;
}
