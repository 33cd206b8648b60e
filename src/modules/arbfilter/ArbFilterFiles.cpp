// The arbitrary filter's envelope files (filter text .flt, response text .rsp), the buttons
// that open, save, clear and name them, and the Edit commands on envelopes.

#include "modules/arbfilter/ArbFilterView.h"

#include "formats/ClipboardText.h"
#include "formats/ResponseFile.h"
#include "formats/TextFile.h"
#include "platform/OpenFileDialog.h"
#include "platform/TextDialog.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

namespace {

constexpr const char* kFileFilter =
    "FILTER files (*.FLT)|*.FLT|RESPONSE files (*.RSP)|*.RSP|All files (*.*)|*.*||";
constexpr const char* kTruncated = "Data In Edit Control Has Been Truncated To Fit";

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

std::string FileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

std::string ExtensionOf(const std::string& path) {
    const std::string ext = std::filesystem::path(path).extension().string();
    return ext.empty() ? ext : ext.substr(1);
}

IClipboard* ClipboardOf(const CDspDoc* doc) {
    CDspApp* app = doc ? doc->GetApp() : nullptr;
    return app ? &app->GetClipboard() : nullptr;
}

} // namespace

std::string CArbFilterView::ResolvePath(const std::string& path) const {
    namespace fs = std::filesystem;
    const CDspDoc* doc = GetDocument();
    if (path.empty() || fs::path(path).is_absolute() || !doc || doc->GetPathName().empty())
        return path;
    const fs::path beside = fs::path(doc->GetPathName()).parent_path() / path;
    std::error_code error;
    return fs::exists(beside, error) ? beside.string() : path;
}

void CArbFilterView::RecordPath(const std::string& path) {
    const size_t e = size_t(m_editedEnvelope);
    m_paths[e] = path;
    m_fileNames[e] = FileNameOf(path);
    m_extensions[e] = ExtensionOf(path);
}

void CArbFilterView::ForgetFile(int envelope) {
    const size_t e = size_t(envelope);
    m_paths[e].clear();
    m_fileNames[e].clear();
    m_extensions[e].clear();
    m_texts[e].clear();
    m_readOnly[e] = false;
}

int CArbFilterView::LoadFileInEditCtrl() {
    const size_t e = size_t(m_editedEnvelope);
    if (m_paths[e].empty()) return 0;
    std::string contents, error;
    if (!ReadTextFile(ResolvePath(m_paths[e]), contents, error)) {
        ShowErrorMessage("Unable to Open File");
        // The box keeps its short text; a caller without one (the command line) says why.
        m_errorText = "Unable to Open File " + m_paths[e] + ": " + error;
        return 0;
    }
    bool tooLong = false;
    m_texts[e] = EnvelopeText::FromFile(contents, Upper(m_extensions[e]) == "RSP", tooLong);
    m_readOnly[e] = true;
    if (tooLong) ShowErrorMessage("Response File Line Too Long");
    return 1;
}

void CArbFilterView::ReloadTexts() {
    // A process file stores the responses; the texts only show what the files hold, and a file
    // that went away leaves its envelope's text empty without a message.
    for (int e = 0; e < kEnvelopes; ++e) {
        std::string contents, error;
        m_texts[size_t(e)].clear();
        if (m_paths[size_t(e)].empty() ||
            !ReadTextFile(ResolvePath(m_paths[size_t(e)]), contents, error))
            continue;
        bool tooLong = false;
        m_texts[size_t(e)] =
            EnvelopeText::FromFile(contents, Upper(m_extensions[size_t(e)]) == "RSP", tooLong);
        m_readOnly[size_t(e)] = true;
    }
}

int CArbFilterView::UpdateAllEnvelopes() {
    const int32_t edited = m_editedEnvelope;
    for (m_editedEnvelope = 0; m_editedEnvelope < kEnvelopes; ++m_editedEnvelope) {
        if (!LoadFileInEditCtrl()) continue;
        if (!ParseEditControl())
            ShowErrorMessage(m_errorText);
        else if (m_filterType == kTrans)
            MakeTaps(m_editedEnvelope);
    }
    m_editedEnvelope = edited;
    return 1;
}

bool CArbFilterView::PasteIntoTexts(int first, int last) {
    bool complete = true;
    for (int e = first; e <= last; ++e) {
        const int32_t lines = ClipboardText::CDSPFFTDataPaste(*m_pEnvelopes, e, m_texts[size_t(e)]);
        m_readOnly[size_t(e)] = false;
        if (lines < m_pEnvelopes->GetSize(e) / 2 + 1) complete = false;
    }
    return complete;
}

bool CArbFilterView::OpenFile(const std::string& path) {
    const size_t e = size_t(m_editedEnvelope);
    const std::string type = Upper(ExtensionOf(path));
    if (type == "FLT") {
        RecordPath(path);
        const bool loaded = LoadFileInEditCtrl() != 0;
        m_inverted[e] = m_pasted[e] = 0;
        Refresh();
        return loaded;
    }
    if (type != "RSP") {
        m_errorText = "Unable To Determine File Type";
        ShowErrorMessage(m_errorText);
        return false;
    }
    std::string text, error;
    if (!m_pEnvelopes || !ReadTextFile(ResolvePath(path), text, error)) {
        m_errorText = "Unable To Open File";
        ShowErrorMessage(m_errorText);
        return false;
    }
    if (!ResponseFile::ReadText(*m_pEnvelopes, text, path)) {
        m_errorText = m_pEnvelopes->GetErrorText();
        ShowErrorMessage(m_errorText);
        return false;
    }
    if (!PasteIntoTexts(0, kEnvelopes - 1)) ShowErrorMessage(kTruncated);
    if (m_filterType == kTrans)
        for (int envelope = 0; envelope < kEnvelopes; ++envelope)
            MakeTaps(envelope);
    m_inverted[e] = m_pasted[e] = 0;
    Refresh();
    return true;
}

bool CArbFilterView::SaveFile(const std::string& path) {
    RecordPath(path);
    const std::string type = Upper(ExtensionOf(path));
    bool saved = false;
    if (type == "FLT") {
        // Every line gets "\r\n" through a text-mode stream, stored as CR CR LF: the bytes other
        // installations write and read. A text that ends with a line end has no further line.
        std::vector<std::string_view> lines =
            EnvelopeText::SplitLines(m_texts[size_t(m_editedEnvelope)]);
        if (lines.size() > 1 && lines.back().empty()) lines.pop_back();
        std::string text, error;
        for (std::string_view line : lines)
            (text += line) += "\r\n";
        saved = WriteTextFile(path, text, error);
    } else if (type == "RSP") {
        saved = m_pEnvelopes && ResponseFile::Save(*m_pEnvelopes, path) != 0;
    } else {
        ShowErrorMessage("Unable To Determine File Type");
        Refresh();
        return false;
    }
    if (!saved) ShowErrorMessage("Unable To Open File");
    Refresh();
    return saved;
}

namespace {
// The host's dialogs, of the kind asked for; null for a host without them (the command line).
template <class Dialog> Dialog* HostDialog(const CDspDoc* doc) {
    CDspApp* app = doc ? doc->GetApp() : nullptr;
    return app ? dynamic_cast<Dialog*>(app->GetFileDialog()) : nullptr;
}
} // namespace

void CArbFilterView::OnClickedOpen() {
    const size_t e = size_t(m_editedEnvelope);
    if (auto* dialog = HostDialog<IOpenFileDialog>(GetDocument()))
        if (const auto path = dialog->AskOpenPath("Open", m_paths[e], "flt", kFileFilter))
            OpenFile(*path);
}

void CArbFilterView::OnClickedSave() {
    const size_t e = size_t(m_editedEnvelope);
    if (auto* dialog = HostDialog<IFileDialog>(GetDocument()))
        if (const auto path = dialog->AskSavePath("Save", m_fileNames[e], "flt", kFileFilter))
            SaveFile(*path);
}

void CArbFilterView::OnClickedTitle() {
    const size_t e = size_t(m_editedEnvelope);
    if (auto* dialog = HostDialog<ITextDialog>(GetDocument()))
        if (const auto title = dialog->AskText("Title", "Envelope title:", m_titles[e]))
            SetEnvelopeTitle(*title);
}

void CArbFilterView::OnClickedNew() {
    const int e = m_editedEnvelope;
    ForgetFile(e);
    // The cut puts the response on the clipboard and gives the block its fresh response.
    IClipboard* clipboard = ClipboardOf(GetDocument());
    if (m_pEnvelopes && clipboard) ClipboardText::Cut(*m_pEnvelopes, e, *clipboard);
    if (m_filterType == kTrans) MakeTaps(e);
    m_inverted[size_t(e)] = m_pasted[size_t(e)] = 0;
    Refresh();
}

void CArbFilterView::OnEditCut(bool shift) {
    if (shift) return CDspView::OnEditCut(true);
    IClipboard* clipboard = ClipboardOf(GetDocument());
    if (!m_pEnvelopes || !clipboard) return;
    const int first = m_selectedChannel ? m_editedEnvelope : 0;
    const int last = m_selectedChannel ? m_editedEnvelope : kEnvelopes - 1;
    if (m_selectedChannel)
        ClipboardText::Cut(*m_pEnvelopes, m_editedEnvelope, *clipboard);
    else
        ClipboardText::Cut(*m_pEnvelopes, *clipboard);
    for (int e = first; e <= last; ++e) {
        ForgetFile(e);
        if (m_filterType == kTrans) MakeTaps(e);
    }
    Refresh();
}

void CArbFilterView::OnEditCopy(bool shift) {
    if (shift) return CDspView::OnEditCopy(true);
    IClipboard* clipboard = ClipboardOf(GetDocument());
    if (!m_pEnvelopes || !clipboard) return;
    if (m_selectedChannel)
        ClipboardText::Copy(*m_pEnvelopes, m_editedEnvelope, *clipboard);
    else
        ClipboardText::Copy(*m_pEnvelopes, *clipboard);
}

void CArbFilterView::OnEditPaste(bool shift) {
    if (shift) return CDspView::OnEditPaste(true);
    IClipboard* clipboard = ClipboardOf(GetDocument());
    if (!m_pEnvelopes || !clipboard) return;
    const int first = m_selectedChannel ? m_editedEnvelope : 0;
    const int last = m_selectedChannel ? m_editedEnvelope : kEnvelopes - 1;
    const int32_t lines = m_selectedChannel
                              ? ClipboardText::Paste(*m_pEnvelopes, m_editedEnvelope, *clipboard)
                              : ClipboardText::Paste(*m_pEnvelopes, *clipboard);
    if (lines == 0) return;
    for (int e = first; e <= last; ++e) {
        m_pEnvelopes->GetAt(e)->RebuildFrequencyAxis();
        m_pasted[size_t(e)] = 1;
        if (m_filterType == kTrans) MakeTaps(e);
    }
    if (!PasteIntoTexts(first, last)) ShowErrorMessage(kTruncated);
    Refresh();
}
