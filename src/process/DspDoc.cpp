#include "process/DspDoc.h"

#include "process/DspApp.h"
#include "process/PlugInCall.h"

#include "base/NumberText.h"

#include <algorithm>

AURIVO_IMPLEMENT_DYNAMIC(CDspDoc, nullptr);

CDspDoc::CDspDoc(CDspApp* app) : m_pApp(app) {
    EnsureDocumentList();
    m_pCurrentList = m_pDocList;
}

CDspDoc::~CDspDoc() {
    // The lists the document shares go before the views that made them.
    m_pCurrentList = nullptr;
    m_pReferenceList = nullptr;
    m_views.clear();
}

void CDspDoc::SetPathName(const std::string& path) {
    m_pathName = path;
    const size_t slash = path.find_last_of('/');
    m_title = slash == std::string::npos ? path : path.substr(slash + 1);
}

void CDspDoc::BuildViews(const std::vector<const CModuleClass*>& classes) {
    m_pCurrentList = m_pDocList;
    m_pReferenceList = nullptr;
    m_views.clear();
    if (classes.empty() || classes.size() > size_t(kMaxSteps)) {
        m_views.push_back(std::make_unique<CDspView>());
    } else {
        for (const CModuleClass* c : classes)
            m_views.emplace_back(c->m_pfnCreate());
    }
    for (auto& v : m_views)
        v->SetDocument(this);
    for (auto& v : m_views)
        v->OnInitialUpdate();
}

CDspView* CDspDoc::GetView(size_t index) const {
    return index < m_views.size() ? m_views[index].get() : nullptr;
}

int CDspDoc::FindView(const CDspView* view) const {
    for (size_t i = 0; i < m_views.size(); ++i)
        if (m_views[i].get() == view) return static_cast<int>(i);
    return -1;
}

void CDspDoc::SetSteps(const std::list<std::string>& names, const std::list<std::string>& ids) {
    m_stepNames = names;
    m_stepIds = ids;
}

PlugInEntry CDspDoc::GetPlugIn(size_t step) const {
    return step < m_plugIns.size() ? m_plugIns[step] : nullptr;
}

std::string CDspDoc::GetProcessDesc(const CDspView* view) const {
    const int index = FindView(view);
    const int position = index < 0 ? 1 : index + 1;
    std::string name = "No Modules Selected";
    if (index >= 0 && size_t(index) < m_stepNames.size())
        name = *std::next(m_stepNames.begin(), index);
    return "Step: " + std::to_string(position) + " " + name;
}

// ---- Run loop -----------------------------------------------------------------------------

CDspDoc::EPlugInCall CDspDoc::CallPlugIn(size_t step, const char* operation, void* argument,
                                         void** result, std::string* failure) {
    PlugInEntry entry = GetPlugIn(step);
    if (!entry) return EPlugInCall::BuiltIn;
    CDspView* view = GetView(step);
    void* answer = nullptr;
    std::string error;
    if (!CallPlugInEntry(entry, operation, view, argument, answer, error)) {
        const std::string name =
            step < m_stepNames.size() ? *std::next(m_stepNames.begin(), long(step)) : "";
        std::string message =
            "The plug-in module \"" + name + "\" failed in " + operation + ": " + error;
        if (failure)
            *failure = std::move(message);
        else if (view)
            view->ShowErrorMessage(message);
        return EPlugInCall::Failed;
    }
    if (result) *result = answer;
    return EPlugInCall::Answered;
}

bool CDspDoc::StartStep(size_t step) {
    void* result = nullptr;
    switch (CallPlugIn(step, "StartRun", nullptr, &result)) {
    case EPlugInCall::Answered:
        return result == nullptr;
    case EPlugInCall::Failed:
        return false;
    case EPlugInCall::BuiltIn:
        break;
    }
    CDspView* view = GetView(step);
    return !view || view->StartRun() != 0;
}

int CDspDoc::ProcessStep(size_t step) {
    void* result = nullptr;
    switch (CallPlugIn(step, "ProcessData", nullptr, &result)) {
    case EPlugInCall::Answered:
        return result != nullptr ? 1 : 0;
    case EPlugInCall::Failed:
        return 0;
    case EPlugInCall::BuiltIn:
        break;
    }
    CDspView* view = GetView(step);
    if (!view) return 1;
    const int outcome = view->ProcessData();
    return outcome == CDspView::kPending ? outcome : outcome != 0 ? 1 : 0;
}

void CDspDoc::EndStep(size_t step) {
    if (CallPlugIn(step, "EndRun", nullptr, nullptr) != EPlugInCall::BuiltIn) return;
    if (CDspView* view = GetView(step)) view->EndRun();
}

bool CDspDoc::OnEditRun() {
    m_starting = 1;
    if (!m_running && !m_paused) {
        for (size_t i = 0; i < m_views.size(); ++i) {
            if (CallPlugIn(i, "ShowCurrentParams", nullptr, nullptr) != EPlugInCall::BuiltIn)
                continue;
            m_views[i]->ShowCurrentParams();
            m_views[i]->Invalidate();
        }
        m_currentStep = 1;
        m_passCount = 1;
        for (size_t i = 0; i < m_views.size(); ++i) {
            if (!StartStep(i)) {
                m_starting = 0;
                OnEditStop();
                return false;
            }
            ++m_currentStep;
        }
        m_currentStep = 1;
    }
    m_starting = 0;
    m_paused = 0;
    m_running = 1;
    return true;
}

bool CDspDoc::OnEditStop() {
    m_running = 0;
    m_stepPending = false;
    m_paused = 0;
    m_currentStep = 1;
    for (size_t i = 0; i < m_views.size(); ++i) {
        EndStep(i);
        ++m_currentStep;
    }
    return true;
}

void CDspDoc::OnEditPauseButton() {
    PauseProcess();
}

bool CDspDoc::PauseProcess() {
    if (m_running) {
        m_paused = 1;
        return true;
    }
    m_running = 0;
    m_paused = 0;
    return false;
}

int CDspDoc::OnIdle() {
    if (m_redrawPending) {
        bool visible = false;
        for (auto& v : m_views) {
            v->Invalidate();
            visible = visible || v->IsVisible();
        }
        if (visible) m_redrawPending = 0;
    }
    if (m_paused || !m_running) return 0;

    const int steps = static_cast<int>(m_views.size());
    if (m_currentStep < 1 || m_currentStep > steps) m_currentStep = 1;
    const size_t step = size_t(m_currentStep - 1);
    const int outcome = ProcessStep(step);
    m_stepPending = outcome == CDspView::kPending;
    if (m_stepPending) return 1; // the same step is asked again on the next slice
    if (outcome == 0) {
        OnEditStop();
        return 0;
    }
    // A module may have stopped the run from inside its step: then the run stays ended where
    // the stop left it.
    if (!m_running) return 0;
    if (m_pauseEveryModule) {
        m_paused = 1;
        m_currentStep = m_currentStep % steps + 1;
        return 0;
    }
    if (++m_currentStep > steps) {
        m_currentStep = 1;
        ++m_passCount;
    }
    if (m_pauseOnRecord > 0 && m_passCount > m_pauseOnRecord) {
        m_paused = 1;
        m_passCount = 1;
        return 0;
    }
    return 1;
}

void CDspDoc::EnsureDocumentList() {
    const bool matches = m_pDocList && m_pDocList->GetNumChans() == m_channelCount &&
                         m_pDocList->GetType(0) == m_blockType &&
                         m_pDocList->GetSize(0) == m_blockSize &&
                         m_pDocList->GetSampleRate(0) == m_sampleRate;
    if (matches) return;
    if (m_pCurrentList == m_pDocList) m_pCurrentList = nullptr;
    m_pDocList = std::make_shared<CDSPFFTDataList>();
    m_pDocList->Create(m_channelCount, m_blockType, m_blockSize, m_sampleRate);
}

void CDspDoc::ShowCurrentParams() {
    OnEditStop();
    EnsureDocumentList();
    m_pCurrentList = m_pDocList;
    for (size_t i = 0; i < m_views.size(); ++i) {
        if (CallPlugIn(i, "ShowCurrentParams", nullptr, nullptr) != EPlugInCall::BuiltIn) continue;
        m_views[i]->ShowCurrentParams();
        m_views[i]->Invalidate();
    }
    for (size_t i = 0; i < m_views.size(); ++i) {
        int32_t position = static_cast<int32_t>(i);
        switch (CallPlugIn(i, "OnInitialModuleSetup", nullptr, nullptr)) {
        case EPlugInCall::Answered:
            CallPlugIn(i, "SetStepNumber", &position, nullptr);
            break;
        case EPlugInCall::Failed:
            break;
        case EPlugInCall::BuiltIn:
            m_views[i]->OnInitialModuleSetup();
            break;
        }
    }
    for (size_t i = 0; i < m_views.size(); ++i)
        StartStep(i);
    OnEditStop();
}

// ---- FFT options --------------------------------------------------------------------------

namespace {
// The integer value of an option text (its leading number, truncated); -1 for a value that no
// int holds, which every caller refuses.
int WholeValue(const std::string& text) {
    const double v = ParseDouble(text);
    return v > -1.0 && v < 2147483648.0 ? static_cast<int>(v) : -1;
}
} // namespace

void CDspDoc::FillFFTOptions(CFFTOptions& options) const {
    options.m_size = FormatText("%-i", m_blockSize);
    options.m_sampleRate = FormatText("%-i", static_cast<int>(m_sampleRate));
    options.m_resolution = CFFTOptions::ResolutionText(m_sampleRate, m_blockSize);
    options.m_pauseOnRecord = FormatText("%-i", m_pauseOnRecord);
    options.m_pauseEveryModule = m_pauseEveryModule != 0;
}

bool CDspDoc::IsValidBlockSize(double size) {
    const auto sizes = CFFTOptions::SizeChoices();
    return std::find(sizes.begin(), sizes.end(), size) != sizes.end();
}

bool CDspDoc::ApplyFFTOptions(const CFFTOptions& options, std::string& message) {
    const int size = WholeValue(options.m_size);
    const double rate = ParseDouble(options.m_sampleRate);
    const int pauseCount = WholeValue(options.m_pauseOnRecord);
    if (!IsValidBlockSize(size)) {
        message = "FFT size must be a power of two from 2 to 131072";
        return false;
    }
    if (!IsValidSampleRate(rate)) {
        message = "Sample rate must be from 1 to 10000000 Hz";
        return false;
    }
    if (pauseCount < 0) {
        message = "Pause on record count must not be negative";
        return false;
    }
    OnEditStop();
    const int32_t pauseEvery = options.m_pauseEveryModule ? 1 : 0;
    // Confirming the dialog unchanged leaves the file as it is.
    if (size != m_blockSize || rate != m_sampleRate || pauseCount != m_pauseOnRecord ||
        pauseEvery != m_pauseEveryModule)
        m_modified = true;
    m_blockSize = size;
    m_sampleRate = rate;
    if (m_pDocList->GetSize(0) != size || m_pDocList->GetSampleRate(0) != rate) ShowCurrentParams();
    m_pauseOnRecord = pauseCount;
    m_pauseEveryModule = pauseEvery;
    return true;
}
