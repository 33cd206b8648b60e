// The data logger's run: the log made in the process's shape, each pass's blocks appended to it
// within the limits of the application settings, and blocks of another shape refused.

#include "modules/logger/DataLoggerView.h"

#include "base/NumberText.h"
#include "modules/logger/LoggerAxes.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"

CDataLoggerView::CProcessShape CDataLoggerView::ProcessShape() const {
    const CDspDoc* doc = GetDocument();
    if (!doc) return {};
    return {doc->GetNumChans(), doc->GetType(), doc->GetSize(), doc->GetSampleRate(),
            doc->GetProcessDesc(this)};
}

void CDataLoggerView::MatchLog() {
    const CProcessShape process = ProcessShape();
    if (process.size <= 0) return;
    if (m_pLog && process == m_logProcess) return;
    // A new FFT size, sample rate or step position: the plots logged no longer fit. The blocks
    // themselves may come at another rate (a WAV file's), which the first pass gives the log.
    auto log = std::make_unique<CDSPFFTDataLogList>();
    if (!log->CreateEx(process.channels, process.type, process.size, process.sampleRate,
                       process.description))
        return;
    m_pLog = std::move(log);
    m_logProcess = process;
    m_pCombined.reset();
}

bool CDataLoggerView::LogTakes(const CDSPFFTDataList& blocks) {
    const CDSPFFTData* first = blocks.GetAt(0);
    if (!first) return false;
    const bool same =
        blocks.GetNumChans() == m_pLog->GetChannels() && first->GetType() == m_pLog->GetType() &&
        first->GetSize() == m_pLog->GetSize() && first->GetSampleRate() == m_pLog->GetSampleRate();
    if (same) return true;
    if (m_pLog->IsEmpty()) {
        m_pLog->SetShape(blocks.GetNumChans(), first->GetType(), first->GetSize(),
                         first->GetSampleRate(), 1);
        MakeFreqScale();
        return true;
    }
    // Logging on would mix shapes that no data log file can hold; clearing would lose them.
    ShowErrorMessage(FormatText(
        "The blocks reaching this step (%d channels of %d elements at %s samp/sec) differ from "
        "the %d plots in the log (%d channels of %d elements at %s samp/sec).\r\nSave the log "
        "with \"Save Dlg\", then clear it with \"New All\" to log the new blocks.",
        blocks.GetNumChans(), first->GetSize(), FormatText("%.10g", first->GetSampleRate()).c_str(),
        m_pLog->GetCount(), m_pLog->GetChannels(), m_pLog->GetSize(),
        FormatText("%.10g", m_pLog->GetSampleRate()).c_str()));
    return false;
}

int CDataLoggerView::StartRun() {
    if (!LoggerIsTimeAxis(m_xAxisType)) MakeFreqScale();
    return 1;
}

int64_t CDataLoggerView::MaxPlots() const {
    const CDspApp* app = GetDocument() ? GetDocument()->GetApp() : nullptr;
    return app ? app->GetSettings().dataLogMaxPlots : CAppSettings{}.dataLogMaxPlots;
}

int64_t CDataLoggerView::MaxBytes() const {
    const CDspApp* app = GetDocument() ? GetDocument()->GetApp() : nullptr;
    const int megabytes =
        app ? app->GetSettings().dataLogMaxMegabytes : CAppSettings{}.dataLogMaxMegabytes;
    return int64_t(megabytes) << 20;
}

int CDataLoggerView::ProcessData() {
    CDspDoc* doc = GetDocument();
    const CDSPFFTDataList* input = doc ? doc->GetCurrentList() : nullptr;
    if (!input) input = m_pWorkingList.get();
    if (!input) {
        ShowErrorMessage("System Memory Allocation Error");
        return 0;
    }
    MatchLog();
    if (!m_pLog) {
        ShowErrorMessage("System Memory Allocation Error");
        return 0;
    }
    if (!LogTakes(*input)) return 0;
    // Every pass adds a plot; a long run at a large block size would otherwise take all memory.
    const int64_t plots = m_pLog->GetCount() + 1;
    const int64_t bytes = plots * m_pLog->BytesPerPlot();
    if (plots > MaxPlots() || bytes > MaxBytes()) {
        ShowErrorMessage(FormatText(
            "The data log is full: it holds %d plots, the most it may hold (settings "
            "DataLogMaxPlots %lld and DataLogMaxMegabytes %lld).\r\nSave it with \"Save Dlg\", "
            "then clear it with \"New All\" to log more.",
            m_pLog->GetCount(), static_cast<long long>(MaxPlots()),
            static_cast<long long>(MaxBytes() >> 20)));
        return 0;
    }
    if (m_pLog->AddTail(*input) == 0) {
        ShowErrorMessage("System Memory Allocation Error");
        return 0;
    }
    // The copy holds every value of each block.
    CDSPFFTDataList& plot = *m_pLog->GetAt(m_pLog->GetCount() - 1);
    for (int c = 0; c < plot.GetNumChans(); ++c)
        plot.SetNumUsed(c, plot.GetSize(c));
    ShowControls();
    Invalidate();
    return 1;
}
