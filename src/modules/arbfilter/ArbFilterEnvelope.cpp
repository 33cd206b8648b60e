// The arbitrary filter's envelopes as responses: the list kept in the working list's shape,
// the parse of an envelope text into its response block and the FIR taps made from it.

#include "modules/arbfilter/ArbFilterView.h"

#include "process/DspDoc.h"

#include <cmath>

bool CArbFilterView::ShapeEnvelopeList() {
    if (!m_pWorkingList || m_pWorkingList->IsEmpty()) return false;
    const int32_t n = m_pWorkingList->GetSize(0);
    const double fs = m_pWorkingList->GetSampleRate(0);
    const auto fits = [&](const CDSPFFTDataList* list, int32_t type) {
        if (!list || list->GetNumChans() != kEnvelopes) return false;
        for (int e = 0; e < kEnvelopes; ++e)
            if (list->GetType(e) != type || list->GetSize(e) != n || list->GetSampleRate(e) != fs)
                return false;
        return true;
    };
    const auto make = [&](std::unique_ptr<CDSPFFTDataList>& list, int32_t type) {
        list = std::make_unique<CDSPFFTDataList>();
        if (!list->Create(kEnvelopes, type, n, fs)) list.reset();
    };
    if (!fits(m_pTaps.get(), CDSPData::kTimeBlock)) make(m_pTaps, CDSPData::kTimeBlock);
    if (fits(m_pEnvelopes.get(), CDSPData::kResponseBlock)) return false;
    make(m_pEnvelopes, CDSPData::kResponseBlock);
    return m_pEnvelopes != nullptr;
}

int CArbFilterView::ParseEditControl() {
    CDSPFFTData* block = EditedBlock();
    const CDspDoc* doc = GetDocument();
    if (!block || !doc || doc->GetSize() <= 0) {
        m_errorText = "No Filter Characteristics In Edit Control";
        return 0;
    }
    const int32_t n = block->GetSize();
    const double fs = block->GetSampleRate();
    const EnvelopeText::CBinning binning{fs, fs / doc->GetSize(), n / 2};
    const std::string error =
        EnvelopeText::Parse(m_texts[size_t(m_editedEnvelope)], binning, m_bins);
    if (!error.empty()) {
        m_errorText = error;
        return 0;
    }
    BuildResponse(*block);
    if (IsInverted(m_editedEnvelope)) block->Invert();
    Invalidate();
    return 1;
}

void CArbFilterView::BuildResponse(CDSPFFTData& block) const {
    const int32_t n = block.GetSize();
    const int32_t half = n / 2;
    double* magnitude = block.GetFreqObj()->GetDataPointer();
    double* phase = block.GetPhaseObj()->GetDataPointer();
    const auto& count = m_bins.dbCount;
    const auto known = [&](int32_t k) { return size_t(k) < count.size() && count[size_t(k)] > 0; };
    const auto meanDb = [&](int32_t k) { return m_bins.dbSum[size_t(k)] / count[size_t(k)]; };
    const auto meanPhase = [&](int32_t k) {
        return m_bins.phaseSum[size_t(k)] / m_bins.phaseCount[size_t(k)];
    };

    magnitude[0] = known(0) ? std::pow(10.0, meanDb(0) / 20.0) : 1.0;
    phase[0] = 0.0;
    // Unknown bins lie on the straight line (dB and degrees against the bin index) from the last
    // known point to the next; before the first it starts at bin 1 with 0 dB and 0 degrees, after
    // the last it runs towards 0 dB and 0 degrees just past N/2.
    int32_t lastBin = 1;
    double lastDb = 0.0, lastPhase = 0.0;
    int32_t nextBin = 0;
    for (int32_t k = 1; k <= half; ++k) {
        if (known(k)) {
            lastBin = k;
            lastDb = meanDb(k);
            lastPhase = meanPhase(k);
            magnitude[k] = std::pow(10.0, lastDb / 20.0);
            phase[k] = lastPhase;
            continue;
        }
        if (nextBin <= k) {
            nextBin = k + 1;
            while (nextBin <= half && !known(nextBin))
                ++nextBin;
        }
        const bool beyond = nextBin > half;
        const double nextDb = beyond ? 0.0 : meanDb(nextBin);
        const double nextPhase = beyond ? 0.0 : meanPhase(nextBin);
        const double t = double(k - lastBin) / double(nextBin - lastBin);
        magnitude[k] = std::pow(10.0, (lastDb + t * (nextDb - lastDb)) / 20.0);
        phase[k] = lastPhase + t * (nextPhase - lastPhase);
    }
    // The upper half mirrors the lower one, so that the inverse transform is real.
    for (int32_t j = 1; j < half; ++j) {
        magnitude[half + j] = magnitude[half - j];
        phase[half + j] = -phase[half - j];
    }
}

bool CArbFilterView::MakeTaps(int envelope) {
    const CDSPFFTData* response = m_pEnvelopes ? m_pEnvelopes->GetAt(envelope) : nullptr;
    CDSPFFTData* taps = m_pTaps ? m_pTaps->GetAt(envelope) : nullptr;
    if (!response || !taps || !taps->IsSize(*response)) return false;
    // DoIFFT turns a single-sided amplitude spectrum into samples: it weights bin 0 by N and the
    // other bins by N/2 before its 1/N. An impulse response needs every bin weighted by 1, so the
    // gains are scaled by 1/N and 2/N first; a flat 0 dB envelope then gives a unit impulse and
    // "Trans" filters exactly as "FFT" does (up to linear against circular convolution).
    const int32_t n = response->GetSize();
    const double* gain = response->GetFreqObj()->GetDataPointer();
    const double* degrees = response->GetPhaseObj()->GetDataPointer();
    double* tapGain = taps->GetFreqObj()->GetDataPointer();
    double* tapDegrees = taps->GetPhaseObj()->GetDataPointer();
    for (int32_t k = 0; k < n; ++k) {
        tapGain[k] = gain[k] * (k == 0 ? 1.0 : 2.0) / n;
        tapDegrees[k] = degrees[k];
    }
    return taps->DoIFFT();
}
