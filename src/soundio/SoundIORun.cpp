// The run: StartRun, one pass per mode, the device completions, bounded waits and EndRun.

#include "base/NumberText.h"
#include "platform/AudioServices.h"
#include "process/DspApp.h"
#include "soundio/SoundIOView.h"

#include <algorithm>
#include <cctype>

namespace {
std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}
} // namespace

CAudioServices* CSoundIOView::Services() const {
    const CDspDoc* doc = GetDocument();
    return doc && doc->GetApp() ? &doc->GetApp()->GetAudio() : nullptr;
}

IAudioSystem* CSoundIOView::Audio() const {
    CAudioServices* services = Services();
    return services ? &services->GetAudioSystem() : nullptr;
}

CEventPump* CSoundIOView::Pump() const {
    CAudioServices* services = Services();
    return services ? &services->GetEventPump() : nullptr;
}

CWaveFormat CSoundIOView::Format() const {
    return {m_channels, m_sampleRate, m_bitsPerSample, m_floatSamples};
}

int CSoundIOView::FindDevice(const std::vector<CAudioDeviceInfo>& devices,
                             const std::string& name) const {
    for (size_t i = 0; i < devices.size(); ++i)
        if (Lower(devices[i].name) == Lower(name)) return static_cast<int>(i);
    return static_cast<int>(devices.size());
}

bool CSoundIOView::OpenDevice(bool input) {
    IAudioSystem* audio = Audio();
    CEventPump* pump = Pump();
    if (!audio || !pump) return SoundIOError(kAudioNoDriver);
    const int index = FindDevice(input ? m_inputs : m_outputs, input ? m_inputName : m_outputName);
    std::unique_ptr<IWaveDevice>& device = input ? m_pWaveIn : m_pWaveOut;
    return SoundIOError(audio->Open(input, index, Format(), this, *pump, device),
                        input ? kInputDevice : kOutputDevice);
}

void CSoundIOView::ShowPeaks(const CWaveHeader& header) {
    for (int c = 0; c < 2; ++c) {
        m_peakLevel[c] = ScanForPeakLevel(header, c);
        m_peakSample[c] = ScanForPeakSample(header, c);
    }
    UpdateControls();
}

int CSoundIOView::AwaitDevice(bool done, double spanSeconds, bool input) {
    // A device taking less than whole buffers measures a block that is not the one asked for.
    if (!m_shortBuffer.empty()) {
        m_waitDeadline.reset();
        ShowErrorMessage(m_shortBuffer);
        return 0;
    }
    if (done) {
        m_waitDeadline.reset();
        return 1;
    }
    // A device that stopped for good (its server went away) says so now.
    for (const auto* device : {m_pWaveIn.get(), m_pWaveOut.get()})
        if (const std::string failure = device ? device->GetFailure() : ""; !failure.empty()) {
            m_waitDeadline.reset();
            ShowErrorMessage(failure);
            return 0;
        }
    const CEventPump* pump = Pump();
    if (!pump) return 0;
    const double limit = spanSeconds + kDeviceGraceSeconds;
    if (!m_waitDeadline) m_waitDeadline = pump->Seconds() + limit;
    if (pump->Seconds() <= *m_waitDeadline) return kPending;
    m_waitDeadline.reset();
    const std::string& name = input ? m_inputName : m_outputName;
    ShowErrorMessage(FormatText("%s %s Device\r\nNo Buffer Returned Within %.1f Seconds",
                                name.c_str(), input ? "Input" : "Output", limit));
    return 0;
}

void CSoundIOView::NoteShortBuffer(const CWaveHeader& header, bool input) {
    if (header.bytesRecorded >= header.data.size() || !m_shortBuffer.empty()) return;
    m_shortBuffer =
        FormatText("%s %s Device\r\nBuffer Returned With %u of Its %zu Bytes",
                   (input ? m_inputName : m_outputName).c_str(), input ? "Input" : "Output",
                   header.bytesRecorded, header.data.size());
}

int CSoundIOView::StartRun() {
    m_blockSize = GetDocument() ? GetDocument()->GetSize() : 0;
    m_droppedSamples = 0;
    m_xruns = 0;
    m_shortBuffer.clear();
    FillDeviceList();
    ClampDeviceIndices();
    FillSampleRateList();
    // Devices that open at no rate have said why; the run would only fail at its first pass.
    if (m_ioMode != kOff && m_rateList.empty()) return 0;
    ShowCurrentParams();
    switch (m_ioMode) {
    case kRecordOnly:
        if (m_pQueue) m_pQueue->RemoveAll(); // blocks of an earlier run are stale
        return IsCalibrationOK() ? 1 : 0;
    case kPlayOnly:
        m_readPosition = 0;
        m_outPending = 0;
        return 1;
    case kRecordPlay: {
        const CSoundIOSamples pcm = Samples();
        const size_t s = pcm.RecordPlayBytes(m_sampleRate);
        const uint8_t silence = pcm.SilenceByte();
        m_pRecordPlayIn = std::make_unique<CWaveHeader>();
        m_pRecordPlayIn->data.assign(s, silence);
        m_pRecordPlayOut = std::make_unique<CWaveHeader>();
        m_pRecordPlayOut->data.assign(s, silence);
        m_pRecordPlayOut->loops = 1;
        m_inPending = m_outPending = 0;
        return IsCalibrationOK() ? 1 : 0;
    }
    default:
        return 1;
    }
}

int CSoundIOView::ProcessData() {
    CDspDoc* doc = GetDocument();
    if (!doc || !m_pWorkingList) return 0;
    switch (m_ioMode) {
    case kRecordOnly:
        return ProcessRecordOnly();
    case kPlayOnly:
        return ProcessPlayOnly();
    case kRecordPlay:
        return ProcessRecordPlay();
    default:
        if (const CDSPFFTDataList* current = doc->GetCurrentList();
            current && current != m_pWorkingList.get())
            m_pWorkingList->Copy(*current);
        doc->SetCurrentList(m_pWorkingList);
        return 1;
    }
}

int CSoundIOView::ProcessRecordOnly() {
    if (!m_pWaveIn) {
        m_recordHeaders.clear();
        for (int i = 0; i < 2; ++i) {
            auto header = std::make_unique<CWaveHeader>();
            header->data.assign(Samples().BlockBytes(), Samples().SilenceByte());
            m_recordHeaders.push_back(std::move(header));
        }
        if (!m_pQueue) m_pQueue = std::make_unique<CDSPFFTDataLogList>();
        if (!OpenDevice(true)) return 0;
        for (auto& header : m_recordHeaders)
            if (!SoundIOError(m_pWaveIn->AddBuffer(header.get()))) return 0;
        if (!SoundIOError(m_pWaveIn->Start())) return 0;
    }
    const double span = m_sampleRate > 0 ? m_blockSize / m_sampleRate : 0.0;
    if (const int waited = AwaitDevice(!m_pQueue->IsEmpty(), span, true); waited != 1)
        return waited;
    m_pWorkingList->Fill(*m_pQueue->GetAt(0));
    m_pQueue->RemoveAt(0);
    // Every sample of a recorded block is measured signal; the analysers read the count.
    m_pWorkingList->SetNumUsed(m_pWorkingList->GetSize(0));
    GetDocument()->SetCurrentList(m_pWorkingList);
    return 1;
}

int CSoundIOView::ProcessPlayOnly() {
    if (m_exchange == kNoExchange) {
        if (!QueuePlayBlock()) return 0;
        m_exchange = kBlockExchange;
    }
    const double span = m_sampleRate > 0 ? (m_repeatCount + 1) * m_blockSize / m_sampleRate : 0.0;
    const int waited = AwaitDevice(m_outPending <= 2, span, false);
    if (waited != kPending) m_exchange = kNoExchange;
    return waited;
}

bool CSoundIOView::QueuePlayBlock() {
    if (!m_pWaveOut && !OpenDevice(false)) return false;
    auto header = std::make_unique<CWaveHeader>();
    header->data.assign(Samples().PlayBytes(), Samples().SilenceByte());
    ConvertDoubletoRIFF(header->data);
    header->bytesRecorded = static_cast<uint32_t>(header->data.size());
    ShowPeaks(*header);
    if (!SoundIOError(m_pWaveOut->AddBuffer(header.get()))) return false;
    m_playHeaders.push_back(std::move(header));
    ++m_outPending;
    CSoundIOSamples::Silence(*m_pWorkingList);
    GetDocument()->SetCurrentList(m_pWorkingList);
    return true;
}

bool CSoundIOView::StartRecordPlayExchange() {
    if (!SoundIOError(m_pWaveIn->AddBuffer(m_pRecordPlayIn.get())) ||
        !SoundIOError(m_pWaveIn->Start()) ||
        !SoundIOError(m_pWaveOut->AddBuffer(m_pRecordPlayOut.get())))
        return false;
    ++m_inPending;
    ++m_outPending;
    return true;
}

int CSoundIOView::AwaitRecordPlayExchange() {
    const double span =
        m_sampleRate > 0 ? double(m_pRecordPlayIn->data.size()) / Format().AverageBytesPerSecond()
                         : 0.0;
    // A time-out names the direction still owing its buffer.
    const int waited = AwaitDevice(m_inPending == 0 && m_outPending == 0, span, m_inPending > 0);
    if (waited == 0) m_exchange = kNoExchange;
    return waited;
}

bool CSoundIOView::StartBlockExchange() {
    ConvertDoubletoRIFF(m_pRecordPlayOut->data);
    m_pRecordPlayIn->bytesRecorded = 0;
    m_exchange = kBlockExchange;
    return StartRecordPlayExchange();
}

int CSoundIOView::ProcessRecordPlay() {
    if (!m_pRecordPlayIn || !m_pRecordPlayOut) return 0;
    if (m_exchange == kNoExchange) {
        if (!m_pWaveIn && !OpenDevice(true)) return 0;
        if (!m_pWaveOut) {
            CSoundIOSamples::Silence(*m_pWorkingList);
            if (!OpenDevice(false)) return 0;
            // One silent exchange first, so both directions are running when the block goes
            // out.
            m_exchange = kPrimingExchange;
            if (!StartRecordPlayExchange()) return 0;
        } else if (!StartBlockExchange()) {
            return 0;
        }
    }
    if (m_exchange == kPrimingExchange) {
        if (const int waited = AwaitRecordPlayExchange(); waited != 1) return waited;
        if (!StartBlockExchange()) return 0;
    }
    if (const int waited = AwaitRecordPlayExchange(); waited != 1) return waited;
    m_exchange = kNoExchange;
    if (m_pRecordPlayIn->bytesRecorded > 0) {
        ShowPeaks(*m_pRecordPlayIn);
        const CSoundIOSamples::CReadPosition read = ReadPosition();
        if (read.found == CSoundIOSamples::kNoTrigger) {
            ShowErrorMessage("No data in record buffer");
            return 0;
        }
        if (read.found == CSoundIOSamples::kFound) {
            m_readPosition = read.position;
            ConvertRIFFtoDouble(*m_pRecordPlayIn, read.position);
        }
    }
    if (m_pDisplayList) m_pDisplayList->Fill(*m_pWorkingList);
    GetDocument()->SetCurrentList(m_pWorkingList);
    return 1;
}

void CSoundIOView::OnWimData(CWaveHeader* header) {
    NoteShortBuffer(*header, true);
    if (m_ioMode != kRecordOnly) {
        m_inPending = std::max(0, m_inPending - 1);
        return;
    }
    if (!m_shortBuffer.empty() || !m_pQueue || !m_pWaveIn) return;
    ShowPeaks(*header);
    CDSPFFTDataList block;
    if (block.Clone(*m_pWorkingList)) {
        ConvertRIFFtoDouble(*header, 0, &block);
        // Older blocks make way when the run falls behind the device, so a slow process cannot
        // make the queue grow without end; gapless capture holds far more, and counts them.
        const double limit =
            IsGapless() && m_blockSize > 0
                ? std::max(kGaplessSeconds * m_sampleRate / m_blockSize, double(kMaxQueuedBlocks))
                : kMaxQueuedBlocks;
        if (m_pQueue->GetCount() >= limit) {
            m_pQueue->RemoveAt(0);
            m_droppedSamples += int64_t(m_blockSize);
        }
        m_pQueue->AddTail(block);
    }
    SoundIOError(m_pWaveIn->AddBuffer(header));
}

void CSoundIOView::OnWomDone(CWaveHeader* header) {
    NoteShortBuffer(*header, false);
    if (m_ioMode != kPlayOnly) {
        m_outPending = std::max(0, m_outPending - 1);
        return;
    }
    std::erase_if(m_playHeaders, [header](const auto& h) { return h.get() == header; });
    m_outPending = m_pWaveOut ? std::max(0, m_outPending - 1) : 0;
    CDspDoc* doc = GetDocument();
    if (m_outPending == 0 && doc && !doc->IsRunning() && !doc->IsPaused() && m_pWaveOut) {
        m_pWaveOut->Reset();
        m_pWaveOut.reset();
        doc->StopProcess();
    }
}

int CSoundIOView::EndRun() {
    m_exchange = kNoExchange;
    m_waitDeadline.reset();
    const CDspDoc* doc = GetDocument();
    const bool closeOutput = !doc || !doc->IsPaused();
    // The run's counts stay shown after the devices close.
    m_xruns = std::max(m_xruns, CurrentXruns(closeOutput));
    if (m_pWaveIn) {
        m_droppedSamples += m_pWaveIn->GetLostFrames();
        m_pWaveIn->Reset();
        m_pWaveIn.reset();
    }
    m_inPending = 0;
    m_recordHeaders.clear();
    if (!IsCalibrationProcess()) m_pRecordPlayIn.reset();
    if (closeOutput) {
        if (m_pWaveOut) {
            m_pWaveOut->BreakLoop();
            m_pWaveOut->Reset();
            m_pWaveOut.reset();
        }
        m_outPending = 0;
        m_pRecordPlayOut.reset();
        m_playHeaders.clear();
    }
    return 1;
}

bool CSoundIOView::LoopBuffer(int loops) {
    if (m_pWaveOut) return false;
    if (!OpenDevice(false)) return false;
    auto header = std::make_unique<CWaveHeader>();
    header->data.assign(Samples().LoopBytes(), Samples().SilenceByte());
    ConvertDoubletoRIFF(header->data);
    header->flags = CWaveHeader::kBeginLoop | CWaveHeader::kEndLoop;
    header->loops = static_cast<uint32_t>(std::max(loops, 1));
    if (!SoundIOError(m_pWaveOut->AddBuffer(header.get()))) return false;
    m_playHeaders.push_back(std::move(header));
    ++m_outPending;
    return true;
}

bool CSoundIOView::IsCalibrationProcess() const {
    const CDspDoc* doc = GetDocument();
    return doc && doc->IsCalibrationDocument();
}
