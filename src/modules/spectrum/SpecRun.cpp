// The analyser's run: the checks before a run and the processing of one block.

#include "modules/spectrum/SpecView.h"
#include "dsp/RunningAverage.h"

#include "base/NumberText.h"
#include "dsp/WindowGain.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"
#include "process/FrequencyCalibration.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
bool UsesFFT(int type) {
    return type == kFFTOn || type == kXCorrFFT || type == kFHTFFT;
}
bool UsesXCorr(int type) {
    return type == kXCorr || type == kXCorrFFT;
}
bool UsesFHT(int type) {
    return type == kFHT || type == kFHTFFT;
}
} // namespace

bool CSpecView::ProcessHasReferenceSource() const {
    const CDspDoc& doc = *GetDocument();
    for (size_t i = 0; i < doc.GetViewCount(); ++i)
        if (doc.GetView(i)->PublishesReferenceSignal()) return true;
    return false;
}

bool CSpecView::CorrectsWindowAmplitude() const {
    const CDspApp* app = GetDocument() ? GetDocument()->GetApp() : nullptr;
    return !app || app->GetSettings().windowAmplitudeCorrection != 0;
}

int CSpecView::StartRun() {
    // Frequency calibration comes from the last step before this one that publishes one.
    m_pCalibration = nullptr;
    CDspView* publisher = nullptr;
    const int step = GetProcessStepNumber();
    for (size_t i = 0; i < GetDocument()->GetViewCount(); ++i) {
        CDspView* view = GetDocument()->GetView(i);
        if (view->GetProcessStepNumber() >= step) break;
        if (IFrequencyCalibration* published = view->GetPublishedFrequencyCalibration()) {
            m_pCalibration = published;
            publisher = view;
        }
    }
    std::string why;
    if (m_pCalibration && m_applyFreqCal && !m_pCalibration->CheckFrequencyCalibration(why)) {
        ShowErrorMessage(FormatText("Spectrum Analyser Apply Frequency Calibration is "
                                    "Checked.\r\n SoundIO Module Step:%i Calibration is "
                                    "Invalid\r\n%s\r\n",
                                    publisher->GetProcessStepNumber(), why.c_str()));
        return 0;
    }
    if (!m_pCalibration && m_applyFreqCal) {
        ShowErrorMessage("Apply Frequency Domain Calibration Checkbox is Checked.\r\n There is no "
                         "SoundIO Module in the process to get Calibration from.");
        return 0;
    }
    m_averageCounter = 1;
    MakeFreqScale();

    if (const std::string refusal = CheckRunSettings(); !refusal.empty()) {
        ShowErrorMessage(refusal);
        return 0;
    }
    if (UsesFHT(m_fftType)) {
        if (!ProcessHasReferenceSource()) {
            ShowErrorMessage("Cannot Perform Fast Hardamard Transform\r\nNo Module With Reorder "
                             "Permutaton Tables Selected");
            return 0;
        }
        m_fhtTableSize = 0; // rebuilt from the reference on the first block
    }
    return 1;
}

std::string CSpecView::CheckRunSettings() const {
    const double nyquist = (m_pWorkingList ? m_pWorkingList->GetSampleRate(0) : 0.0) / 2.0;
    // The fixed text, then the values that broke the rule.
    const auto refusal = [&](int n, double ref) {
        return FormatText("Reference Frequency %i is Higher than Sample Rate / 2\r\n"
                          "Ref%i: %.15g Hz (limits 0 to %.15g Hz)",
                          n, n, ref, nyquist);
    };
    if ((m_yAxisType == kYTHDVpk || m_yAxisType == kYIMDVpk) && m_ref1 > nyquist)
        return refusal(1, m_ref1);
    if (m_yAxisType == kYIMDVpk && m_ref2 > nyquist) return refusal(2, m_ref2);
    return LevelRefusal();
}

bool CSpecView::PrepareFHT(CDSPFFTData& block, const CDSPFFTData& reference) {
    const int32_t n = block.GetSize();
    if (!m_fhtInputTags.empty() && m_fhtTableSize == n) return true;
    m_fhtInputTags.assign(static_cast<size_t>(n), 0);
    m_fhtOutputTags.assign(static_cast<size_t>(n), 0);
    m_fhtTableSize = n;
    if (block.DoFHTReorderMatrix(m_fhtInputTags, m_fhtOutputTags, reference)) return true;
    m_fhtInputTags.clear();
    m_fhtOutputTags.clear();
    m_fhtTableSize = 0;
    return false;
}

bool CSpecView::ProcessChannel(int channel) {
    CDSPFFTData& work = *m_pWorkingList->GetAt(channel);
    CDSPFFTData& display = *m_pDisplayList->GetAt(channel);

    // The reference is the source's first channel for both channels: the signal that was sent.
    const CDSPFFTDataList* referenceList = GetDocument()->GetReferenceList();
    const CDSPFFTData* reference = referenceList ? referenceList->GetAt(0) : nullptr;
    if (UsesXCorr(m_fftType) && !(reference && work.CrossCorrelate(*reference))) {
        ShowErrorMessage("Cannot Perform Cross Correlation\r\nThe Reference Block Does Not Match "
                         "The Recorded Block");
        return false;
    }
    if (UsesFHT(m_fftType)) {
        // The tables are built once per block size, from the first channel's reference.
        if (!(reference && (channel > 0 || PrepareFHT(work, *reference)) &&
              work.DoFHT(m_fhtInputTags, m_fhtOutputTags))) {
            ShowErrorMessage("Cannot Perform Fast Hardamard Transform\r\nThe Reference Block Does "
                             "Not Match The Recorded Block");
            return false;
        }
    }
    if (UsesFFT(m_fftType)) {
        work.DoFFT(m_windowType);
        // Tones read their own amplitude through a window when the application asks for it;
        // the block handed on carries the same volts as the display.
        if (CorrectsWindowAmplitude()) CorrectWindowAmplitude(work, m_windowType);
        const CDSPFFTData* correction =
            m_pCalibration ? m_pCalibration->GetFrequencyCorrection(channel) : nullptr;
        if (m_applyFreqCal && correction) work.DoCal(*correction, 0.0);
        const int n = m_averageCounter;
        const int limit = static_cast<int>(m_blockAverageCount);
        const CAverageStep step = CAverageStep::Of(n, limit);
        const int32_t bins = std::min(work.GetSize(), display.GetSize());
        const double* magnitude = work.GetFreqObj()->GetDataPointer();
        const double* phase = work.GetPhaseObj()->GetDataPointer();
        double* shownMagnitude = display.GetFreqObj()->GetDataPointer();
        double* shownPhase = display.GetPhaseObj()->GetDataPointer();
        AverageInto(step, bins, magnitude, shownMagnitude);
        AverageInto(step, bins, phase, shownPhase);
        AverageRms(channel, magnitude, bins, n, limit);
    }
    return display.GetFreqObj()->UnweightedSmooth(m_smoothingWidth);
}

void CSpecView::AverageRms(int channel, const double* magnitude, int32_t bins, int n, int limit) {
    CDSPData& rms = m_rmsAverage[channel];
    const CDSPData& shown = *m_pDisplayList->GetAt(channel)->GetFreqObj();
    if (!rms.GetDataPointer() || rms.GetSize() != shown.GetSize()) rms.Clone(shown);
    rms.SetNumUsed(shown.GetNumUsed());
    rms.SetSampleRate(shown.GetSampleRate());
    double* root = rms.GetDataPointer();
    if (!root) return;
    // The root of the running power average is kept, so squared back before averaging.
    AverageRootPowerInto(CAverageStep::Of(n, limit), bins, magnitude, root);
}

int CSpecView::ProcessData() {
    CDspDoc* doc = GetDocument();
    const CDSPFFTDataList* input = doc ? doc->GetCurrentList() : nullptr;
    if (!input || !m_pWorkingList || !m_pDisplayList || !m_pThirdList) return 0;
    const int channels = std::min({2, input->GetNumChans(), m_pWorkingList->GetNumChans(),
                                   m_pDisplayList->GetNumChans(), m_pThirdList->GetNumChans()});
    if (channels == 0) return 0; // nothing to show the spectrum in
    // A file that ends early in its last block leaves that block mostly padding: it is no
    // measurement, so it neither enters the average nor replaces the readouts of the full
    // blocks before it, and goes on to the next step as it came.
    const int32_t used = input->GetNumUsed(0);
    if (m_hasData && used > 0 && 2 * int64_t(used) < input->GetSize(0)) return 1;

    const double rate = input->GetSampleRate(0);
    for (CDSPFFTDataList* list : {m_pWorkingList.get(), m_pDisplayList.get(), m_pThirdList.get()}) {
        list->SetSampleRate(rate);
        for (int ch = 0; ch < channels; ++ch)
            list->SetNumUsed(ch, input->GetNumUsed(ch));
    }

    // Both channels take the same number of samples, no more than every block holds.
    int32_t count = m_pWorkingList->GetSize(0);
    for (int ch = 0; ch < channels; ++ch)
        count = std::min(
            {count, input->GetSize(ch), m_pWorkingList->GetSize(ch), m_pDisplayList->GetSize(ch)});
    for (int ch = 0; ch < channels; ++ch) {
        const CDSPData* source = input->GetAt(ch)->GetTimeObj();
        const double* from = source ? source->GetDataPointer() : nullptr;
        double* to = m_pWorkingList->GetTimeData(ch);
        if (from && to && from != to) std::memmove(to, from, sizeof(double) * size_t(count));
        m_pWorkingList->SetNumUsed(ch, count);
        if (CChannel* channel = GetChannelPointer(ch)) {
            channel->m_sampleRate = m_pWorkingList->GetSampleRate(ch);
            channel->m_blockSize = m_pWorkingList->GetSize(ch);
            channel->m_numUsed = count;
        }
    }

    for (int ch = 0; ch < channels; ++ch)
        if (!ProcessChannel(ch)) return 0;
    if (m_blockAverageCount > 1) ++m_averageCounter;
    m_hasData = true;

    doc->SetCurrentList(m_pWorkingList);
    Invalidate();
    return 1;
}
