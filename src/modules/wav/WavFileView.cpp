#include "modules/wav/WavFileView.h"

#include "process/DspDoc.h"

#include <filesystem>

void CWavFileView::OnInitialUpdate() {
    CDspView::OnInitialUpdate();
    ShowCurrentParams();
}

void CWavFileView::ShowCurrentParams() {
    CDspView::ShowCurrentParams();
    UpdateControls();
    Invalidate();
}

void CWavFileView::Changed() {
    UpdateControls();
    SetModified();
    Invalidate();
}

void CWavFileView::SetFile(const std::string& path) {
    m_filePath = path;
    m_fileTitle = path.empty() ? m_noFile : std::filesystem::path(path).filename().string();
}

std::string CWavFileView::ResolvedPath() const {
    const std::filesystem::path path(m_filePath);
    const CDspDoc* doc = GetDocument();
    if (m_filePath.empty() || path.is_absolute() || !doc || doc->GetPathName().empty())
        return m_filePath;
    return (std::filesystem::path(doc->GetPathName()).parent_path() / path).string();
}
