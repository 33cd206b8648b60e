#include "process/ProcessSession.h"

#include "base/NumberText.h"
#include "process/GivenPathDialog.h"
#include "process/ProcessSelectDlg.h"

CProcessSession::CProcessSession(const CModuleRegistry& registry, IClock& clock,
                                 ISettingsStore* settings)
    : m_app(registry, m_sink, {.clock = clock, .audio = m_audio, .settings = settings}) {}

bool CProcessSession::Create(const std::vector<std::string>& modules,
                             const CSessionOptions& options, std::string& error) {
    CDspDoc* doc = m_app.OnChangeProcessFlow(m_app.OnFileNew(), [&](CProcessSelectDlg& dlg) {
        for (const std::string& module : modules)
            if (!dlg.AppendModule(module, error)) return false;
        return dlg.OnOK(error);
    });
    if (!doc) return false;
    m_doc = doc;
    CFFTOptions fft;
    doc->FillFFTOptions(fft);
    if (options.fftSize) fft.m_size = std::to_string(*options.fftSize);
    if (options.sampleRate) fft.m_sampleRate = FormatText("%.17g", *options.sampleRate);
    if (!doc->ApplyFFTOptions(fft, error)) return false;
    m_sink.ClearRecords();
    return true;
}

bool CProcessSession::Open(const std::string& path, std::string& error) {
    CDspDoc* doc = m_app.OpenDocumentFile(path, error);
    if (!doc) return false;
    m_doc = doc;
    return true;
}

bool CProcessSession::Save(const std::string& path, std::string& error) {
    return m_doc->OnSaveDocument(path, error);
}

CDspView* CProcessSession::Step(int step) const {
    if (!m_doc || step < 1 || step > m_doc->GetStepCount()) return nullptr;
    return m_doc->GetView(size_t(step - 1));
}

bool CProcessSession::SetControl(int step, const std::string& idOrLabel, const std::string& value,
                                 std::string& error) {
    CDspView* view = Step(step);
    if (!view) {
        error = "The process has no step " + std::to_string(step);
        return false;
    }
    // A file command takes its path from the value; what it then shows is its outcome.
    CGivenPathDialog dialog(value);
    IFileDialog* host = m_app.GetFileDialog();
    m_app.SetFileDialog(&dialog);
    const size_t shown = m_sink.Records().size();
    std::string message;
    const bool set = view->SetControl(idOrLabel, value, message, true);
    m_app.SetFileDialog(host);
    if (!set) {
        error = "Step " + std::to_string(step) + ": " + message;
        return false;
    }
    if (dialog.WasAsked() && value.empty()) {
        error = "Step " + std::to_string(step) + ": " + idOrLabel + " needs a file: " + idOrLabel +
                "=PATH";
        return false;
    }
    // A command that ran but failed (a filter text that does not parse on "Update", a file that
    // cannot be written) shows its message instead of refusing the value; with no one to see the
    // box, that is the refusal.
    if (m_sink.Records().size() == shown) return true;
    error = m_sink.Records().back().message;
    return false;
}

bool CProcessSession::CheckRunSettings(std::string& error) const {
    for (int step = 1; step <= GetStepCount(); ++step) {
        const std::string refusal = Step(step)->CheckRunSettings();
        if (refusal.empty()) continue;
        error = "Step " + std::to_string(step) + ": " + refusal;
        return false;
    }
    return true;
}

std::vector<CReadoutValue> CProcessSession::GetReadouts(int step) const {
    const CDspView* view = Step(step);
    return view ? view->GetReadoutValues() : std::vector<CReadoutValue>();
}

std::vector<CSettingValue> CProcessSession::GetSettings(int step) const {
    const CDspView* view = Step(step);
    return view ? view->GetSettings() : std::vector<CSettingValue>();
}

int CProcessSession::Run(int passes, const CRunLoop::StepCallback& onStep) {
    m_sink.ClearRecords();
    if (GetStepCount() == 0 || passes <= 0) return 0;
    const int done = m_loop.Run(*m_doc, passes, onStep);
    m_doc->OnEditStop();
    return done;
}

std::vector<std::string> CProcessSession::GetMessages() const {
    std::vector<std::string> messages;
    for (const auto& r : m_sink.Records())
        messages.push_back(r.message);
    return messages;
}
