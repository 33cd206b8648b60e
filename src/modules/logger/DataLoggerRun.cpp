// The data logger's run: the log made in the process's shape and each pass's blocks appended to
// it within the limits of the application settings.

#include "modules/logger/DataLoggerView.h"

#include "modules/logger/LoggerAxes.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"

void CDataLoggerView::MatchLog() {
    if (const CDspDoc* doc = GetDocument())
        m_log.Match({doc->GetNumChans(), doc->GetType(), doc->GetSize(), doc->GetSampleRate(),
                     doc->GetProcessDesc(this)});
}

bool CDataLoggerView::Accepted(const std::string& refusal) {
    if (!refusal.empty()) ShowErrorMessage(refusal);
    return refusal.empty();
}

int CDataLoggerView::StartRun() {
    if (!LoggerIsTimeAxis(m_xAxisType)) MakeFreqScale();
    return 1;
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
    static const CAppSettings kDefaults;
    const CDspApp* app = doc ? doc->GetApp() : nullptr;
    const CAppSettings& settings = app ? app->GetSettings() : kDefaults;
    const CDataLog::CAppend append =
        m_log.Append(*input, settings.dataLogMaxPlots, settings.dataLogMaxMegabytes);
    if (append.reshaped) MakeFreqScale();
    if (!Accepted(append.message) || !append.ok) return 0;
    ShowControls();
    Invalidate();
    return 1;
}
