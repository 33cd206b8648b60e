#include "process/DspApp.h"

#include "platform/AtomicFile.h"
#include "process/PlugInCall.h"
#include "process/ProcessSelectDlg.h"

#include <algorithm>
#include <cctype>

namespace {
// Process files are small; anything far larger is not one.
constexpr size_t kMaxProcessFileBytes = 256u << 20;

constexpr const char* kRecentSection = "Recent File List";
std::string RecentKey(int i) {
    return "File" + std::to_string(i);
}
} // namespace

CDspApp::CDspApp(const CModuleRegistry& registry, IMessageSink& sink, const CAppServices& services)
    : m_registry(registry), m_sink(sink), m_clock(services.clock), m_audio(services.audio),
      m_pSettingsStore(services.settings), m_pFileDialog(services.fileDialog),
      m_pClipboard(services.clipboard), m_plugIns(registry.GetPlugIns()) {
    if (m_pSettingsStore) {
        m_settings.Read(*m_pSettingsStore);
        m_plugInsEnabled = m_settings.enablePlugIns != 0;
        for (int i = 1; i <= kRecentFiles; ++i) {
            const std::string path = m_pSettingsStore->GetString(kRecentSection, RecentKey(i), "");
            if (!path.empty()) m_recentFiles.push_back(path);
        }
    }
}

CDspApp::~CDspApp() {
    while (!m_documents.empty())
        CloseDocument(m_documents.back().get());
    if (m_pSettingsStore) {
        std::string error;
        m_settings.WriteThemes(*m_pSettingsStore);
        m_pSettingsStore->Save(error);
    }
}

void CDspApp::StoreSetting(int CAppSettings::*field, int value) {
    m_settings.*field = value;
    if (!m_pSettingsStore) return;
    for (const CAppSettings::CEntry& e : CAppSettings::Entries())
        if (e.field == field) m_pSettingsStore->SetInt(e.section, e.key, value);
}

void CDspApp::SetWindowAmplitudeCorrection(bool on) {
    StoreSetting(&CAppSettings::windowAmplitudeCorrection, on ? 1 : 0);
}

void CDspApp::SetLightPlots(bool on) {
    StoreSetting(&CAppSettings::lightPlots, on ? 1 : 0);
}

int CDspApp::MessageBox(const std::string& message, unsigned style) {
    std::optional<std::string> title;
    if (m_pCurrentDoc) title = m_pCurrentDoc->GetTitle();
    return m_sink.ShowMessageBox(CMessageBox(message, style, title, m_clock.Now()));
}

void CDspApp::ShowOpenError(const std::string& error) {
    m_sink.ShowMessageBox(CMessageBox(error, MB_OK, std::nullopt, m_clock.Now()));
}

// ---- Documents ----------------------------------------------------------------------------

CDspDoc* CDspApp::CreateDocument(const CProcessPlan& plan) {
    m_documents.push_back(std::make_unique<CDspDoc>(this));
    CDspDoc* doc = m_documents.back().get();
    // Knowing the steps before the views exist gives their block lists the right descriptions.
    doc->SetSteps(plan.names, plan.ids);
    doc->BuildViews(plan.classes);
    doc->SetPlugInTable(plan.plugIns);
    return doc;
}

std::string CDspApp::NewUntitledTitle() {
    return std::string(kDocName) + std::to_string(++m_untitledCount);
}

CDspDoc* CDspApp::OnFileNew() {
    m_savedPaneSizes.fill({});
    CDspDoc* doc = CreateDocument();
    doc->SetTitle(NewUntitledTitle());
    m_pCurrentDoc = doc;
    if (m_hooks.documentOpened) m_hooks.documentOpened(doc);
    return doc;
}

void CDspApp::CloseDocument(CDspDoc* doc) {
    auto it = std::find_if(m_documents.begin(), m_documents.end(),
                           [&](const auto& d) { return d.get() == doc; });
    if (it == m_documents.end()) return;
    doc->OnEditStop();
    if (m_hooks.documentClosing) m_hooks.documentClosing(doc);
    if (m_pCurrentDoc == doc) m_pCurrentDoc = nullptr;
    m_documents.erase(it);
}

bool CDspApp::OnFileClose(CDspDoc* doc) {
    if (!doc->SaveModified()) return false;
    CloseDocument(doc);
    return true;
}

namespace {
// Reads a process file into a document; false with a message naming the file.
// `complete`: the document reads every step's state, so nothing may follow them.
bool ReadProcessFile(CDspDoc& doc, const std::string& path, bool complete, std::string& error) {
    // The schema name comes first: anything else is refused before the rest is read.
    std::vector<uint8_t> bytes;
    if (!ReadFileHead(path, bytes, error, CDspDoc::kSchemaBytes)) return false;
    if (!CDspDoc::StartsLikeProcessFile(bytes)) {
        error = "Cannot open " + path + ": Not a process file";
        return false;
    }
    if (!ReadFileBytes(path, bytes, error, kMaxProcessFileBytes)) return false;
    doc.SetPathName(path);
    CArchive ar(std::move(bytes));
    doc.Serialize(ar);
    if (ar.Ok() && complete && ar.Remaining() != 0)
        ar.Fail(std::to_string(ar.Remaining()) + " bytes follow the last step");
    if (!ar.Ok()) {
        error = "Cannot open " + path + ": " + ar.GetError();
        return false;
    }
    return true;
}
} // namespace

CDspDoc* CDspApp::OpenDocumentFile(const std::string& path, std::string& error, EOpenAs as) {
    // The first reading only learns the steps; no host sees its document.
    CDspDoc* first = CreateDocument();
    if (!ReadProcessFile(*first, path, false, error)) {
        CloseDocument(first);
        return nullptr;
    }
    CDspDoc* doc = first;
    if (first->GetStepCount() >= 1 && first->GetStepCount() <= CDspDoc::kMaxSteps) {
        const std::optional<CProcessPlan> plan =
            ResolvePlan(first->GetStepNames(), first->GetStepIdentities(), error);
        CloseDocument(first);
        if (!plan) return nullptr;
        // The second reading builds one view per step and reads every module's state.
        doc = CreateDocument(*plan);
        doc->SetReadModuleStates(true);
        if (!ReadProcessFile(*doc, path, true, error)) {
            CloseDocument(doc);
            return nullptr;
        }
        doc->ShowCurrentParams();
    }
    // Marked before any host sees it, so no frame takes the calibration's window placement.
    doc->SetCalibrationDocument(as == EOpenAs::CalibrationProcess);
    m_pCurrentDoc = doc;
    AddToRecentFileList(path);
    if (m_hooks.documentOpened) m_hooks.documentOpened(doc);
    return doc;
}

bool CDspApp::Slice() {
    // A modal message box shown by a step runs a nested event loop, whose idle timer may ask
    // for a slice again: the slice that showed it finishes first.
    if (m_inSlice) return true;
    m_inSlice = true;
    struct CLeave {
        bool& flag;
        ~CLeave() { flag = false; }
    } leave{m_inSlice};
    // Device completions. A step that waits for them is asked again only after this, so wait
    // a moment for a descriptor then instead of spinning the processor.
    const bool waiting = std::any_of(m_documents.begin(), m_documents.end(),
                                     [](const auto& d) { return d->IsStepPending(); });
    m_audio.GetEventPump().DispatchPending(waiting ? kPendingWaitMs : 0);
    bool busy = false;
    // A module may close nothing here, but iterate by index in case a slice opens a document.
    for (size_t i = 0; i < m_documents.size(); ++i) {
        CDspDoc* doc = m_documents[i].get();
        doc->OnIdle();
        busy = busy || (doc->IsRunning() && !doc->IsPaused());
    }
    return busy;
}

// ---- Editing ------------------------------------------------------------------------------

std::vector<std::string> CDspApp::GetAvailableModules() const {
    std::vector<std::string> names = m_registry.GetNames();
    for (const auto& p : m_plugIns)
        names.push_back(p.name);
    return names;
}

std::optional<CProcessPlan> CDspApp::ResolvePlan(const std::list<std::string>& names,
                                                 const std::list<std::string>& ids,
                                                 std::string& error) const {
    CProcessPlan plan{names, ids, {}, std::vector<PlugInEntry>(names.size(), nullptr)};
    size_t position = 0;
    for (const std::string& name : names) {
        const CModuleClass* c = m_registry.Find(name);
        if (!c && m_plugInsEnabled) {
            for (const auto& p : m_plugIns) {
                if (p.entry && p.name == name) {
                    void* answer = nullptr;
                    std::string failure;
                    if (!CallPlugInEntry(p.entry, "GetRunTimeClass", nullptr, nullptr, answer,
                                         failure)) {
                        error = "Step " + std::to_string(position + 1) + ": the plug-in module \"" +
                                name + "\" failed in GetRunTimeClass: " + failure;
                        return std::nullopt;
                    }
                    c = static_cast<const CModuleClass*>(answer);
                    plan.plugIns[position] = p.entry;
                    break;
                }
            }
        }
        if (!c) {
            // A step without a class would shift every later step onto another step's state.
            error = "Step " + std::to_string(position + 1) + " uses the module \"" + name +
                    "\", which is not available";
            return std::nullopt;
        }
        plan.classes.push_back(c);
        ++position;
    }
    return plan;
}

CDspDoc* CDspApp::OnChangeProcessFlow(CDspDoc* doc,
                                      const std::function<bool(CProcessSelectDlg&)>& runDialog) {
    m_savedPaneSizes.fill({});
    m_pCurrentDoc = doc;
    CProcessSelectDlg dialog(*this, doc->GetStepNames(), doc->GetStepIdentities());
    if (!runDialog(dialog)) return nullptr;
    const CProcessPlan plan = dialog.GetPlan();

    // Module states travel through the transfer archive, matched by step identity.
    CArchive transfer;
    doc->SerializeToCurrentFile(transfer, plan.ids);
    // An untitled process keeps its name; one from a file becomes a new untitled one.
    const std::string title = doc->GetPathName().empty() ? doc->GetTitle() : NewUntitledTitle();
    CloseDocument(doc);

    // The rebuilt process is untitled: saving it asks where to.
    CDspDoc* edited = CreateDocument(plan);
    edited->SetTitle(title);
    edited->SetModifiedFlag(true);
    m_pCurrentDoc = edited;
    CArchive in(transfer.GetBuffer());
    edited->SerializeToCurrentFile(in, plan.ids);
    if (!in.Ok()) MessageBox("The module settings could not be carried over: " + in.GetError());
    edited->SetSteps(plan.names, plan.ids);
    edited->ShowCurrentParams();
    if (m_hooks.documentOpened) m_hooks.documentOpened(edited);
    return edited;
}

// ---- Recent files -------------------------------------------------------------------------

void CDspApp::AddToRecentFileList(const std::string& path) {
    std::string lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower.find("calibration.process") != std::string::npos) return;
    m_recentFiles.erase(std::remove(m_recentFiles.begin(), m_recentFiles.end(), path),
                        m_recentFiles.end());
    m_recentFiles.push_front(path);
    if (m_recentFiles.size() > size_t(kRecentFiles)) m_recentFiles.pop_back();
    if (!m_pSettingsStore) return;
    for (size_t i = 0; i < m_recentFiles.size(); ++i)
        m_pSettingsStore->SetString(kRecentSection, RecentKey(int(i) + 1), m_recentFiles[i]);
}
