// Saving a process document: the save flows of the Save and Save As commands, and the question
// asked before a modified document closes.
#include "platform/AtomicFile.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"

#include <unistd.h>

namespace {
constexpr const char* kFilter = ".process Documents (.process)|*.process|All Files (*.*)|*.*|";
constexpr const char* kExtension = "process";
} // namespace

bool CDspDoc::OnSaveDocument(const std::string& path, std::string& error) {
    if (m_pFrame) {
        m_mainWindowRect = m_pFrame->GetMainWindowRect();
        m_frameRect = m_pFrame->GetFrameRect();
        m_paneSizes = m_pFrame->GetPaneSizes();
    }
    CArchive ar;
    Serialize(ar);
    if (!ar.Ok()) {
        error = ar.GetError();
        return false;
    }
    if (!WriteFileAtomically(path, ar.GetBuffer(), error)) return false;
    m_modified = false;
    return true;
}

bool CDspDoc::OnFileSave() {
    return m_pathName.empty() ? DoSave("", true) : DoSave(m_pathName, true);
}

bool CDspDoc::OnFileSaveAs() {
    return DoSave("", true);
}

bool CDspDoc::DoFileSave() {
    if (m_pathName.empty() || access(m_pathName.c_str(), W_OK) != 0) return DoSave("", true);
    return DoSave(m_pathName, true);
}

bool CDspDoc::DoSave(const std::string& pathName, bool replace) {
    std::string path = pathName;
    if (path.empty()) {
        std::string initial = m_pathName;
        if (initial.empty() && replace) {
            initial = m_title.substr(0, m_title.find_first_of(" #%;/\\"));
            initial += ".process";
        }
        IFileDialog* dialog = m_pApp ? m_pApp->GetFileDialog() : nullptr;
        if (!dialog) return false;
        auto chosen = dialog->AskSavePath("Save Process File", initial, kExtension, kFilter);
        if (!chosen || chosen->empty()) return false;
        path = *chosen;
    }
    // The write is atomic, so a failure leaves whatever file was there untouched; nothing is
    // deleted afterwards.
    std::string error;
    if (!OnSaveDocument(path, error)) {
        if (m_pApp) m_pApp->MessageBox(error, MB_OK);
        return false;
    }
    if (replace) {
        SetPathName(path);
        if (m_pApp) m_pApp->AddToRecentFileList(path);
    }
    return true;
}

bool CDspDoc::SaveModified() {
    if (!m_modified) return true;
    const std::string name = m_title.empty() ? std::string(CDspApp::kDocName) : m_title;
    const int answer =
        m_pApp ? m_pApp->MessageBox("Save changes to " + name + "?", MB_YESNOCANCEL) : IDNO;
    if (answer == IDCANCEL) return false;
    if (answer == IDYES) return DoFileSave();
    return true;
}
