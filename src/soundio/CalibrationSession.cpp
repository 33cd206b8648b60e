// The calibration session's rules, opening the calibration process and the buttons other than
// "Run".

#include "soundio/CalibrationSession.h"

#include "base/NumberText.h"
#include "formats/ClipboardText.h"
#include "platform/FileDialog.h"
#include "platform/OpenFileDialog.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"
#include "soundio/SoundIOView.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <system_error>

std::string CCalibrationLevelInput::Validate() const {
    for (double level : {ch1, ch2})
        if (!(level >= kMin && level <= kMax))
            return "Please enter a number between -0.000001 and 99.999999.";
    return {};
}

double CalibrationToneFrequency(double sampleRate, int blockSize) {
    const double spacing = sampleRate / blockSize;
    const double bins = std::max(1.0, std::ceil((200.0 - spacing) / spacing));
    return bins * spacing;
}

std::string FullScaleLevelText(double user, int peakPercent, const std::string& measSel) {
    if (peakPercent == 0) return {};
    const double fullScale = std::fabs(user / (peakPercent / 100.0));
    if (measSel == "Vpeak") return FormatText("%6.4f %3s", fullScale, "Vpk");
    return FormatText("%6.4f %4s", fullScale * std::sqrt(2.0), "Vrms");
}

std::string ProposedCalibrationPath(const CSoundIOView& owner) {
    const CDspDoc* doc = owner.GetDocument();
    const std::string title = doc ? doc->GetTitle() : std::string();
    // ASCII punctuation whatever the locale: the title's extension and the like end the name.
    const auto end = std::find_if(title.begin(), title.end(), [](char c) {
        return c != '_' && ((c >= '!' && c <= '/') || (c >= ':' && c <= '@') ||
                            (c >= '[' && c <= '`') || (c >= '{' && c <= '~'));
    });
    const std::string name = std::string(title.begin(), end) + "_SoundIO_Step_" +
                             std::to_string(owner.GetProcessStepNumber()) + ".calibration";
    const std::string process = doc ? doc->GetPathName() : std::string();
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(process, error);
    return process.empty() || error ? name : (full.parent_path() / name).string();
}

CCalibrationPlan PlanCalibration(const CCalibration& record) {
    const auto mentions = [&](const char* group) {
        return record.ReturnedErrors.find(group) != std::string::npos;
    };
    const std::string& sel = record.CalSel;
    return {sel == "Input" || mentions("Input Signal Levels Calibration Group"),
            sel == "Latency" || sel == "Auto" || mentions("Latency Calibration Group"),
            sel == "Frequency" || sel == "Auto" ||
                mentions("Frequency Response Calibration Group")};
}

CCalibrationSession::CCalibrationSession(CDspApp& app, CSoundIOView& owner, CCalibrationHost host)
    : m_app(app), m_owner(owner), m_host(std::move(host)) {}

CCalibrationSession::~CCalibrationSession() {
    CloseProcess();
}

CCalibration* CCalibrationSession::GetEdited() const {
    return m_pCalSoundIO ? m_pCalSoundIO->GetScratchCalibration() : nullptr;
}

CCalibration& CCalibrationSession::InUse() const {
    return *m_pCalSoundIO->GetCalibration();
}

void CCalibrationSession::SetStatus(const std::string& status) {
    m_status = status;
    if (m_host.status) m_host.status(status);
}

bool CCalibrationSession::Open(const std::vector<std::string>& searchFolders) {
    m_pUserDoc = m_owner.GetDocument();
    if (m_pUserDoc)
        m_owner.GetCalibration()->ProcessName = CalibrationAbsolutePath(m_pUserDoc->GetPathName());
    m_path = FindCalibrationProcess(searchFolders);
    if (m_path.empty()) {
        m_app.MessageBox(std::generic_category().message(ENOENT) + "\n" + kFileName, MB_OK);
        return false;
    }
    std::string error;
    CDspDoc* doc = m_app.OpenDocumentFile(m_path, error, CDspApp::EOpenAs::CalibrationProcess);
    if (!doc) {
        m_app.MessageBox(error, MB_OK);
        return false;
    }
    m_pCalDoc = doc;
    const CDSPFFTDataList* response = m_owner.GetCalibration()->GetFrequencyResponse();
    if (response && response->GetNumChans() > 0) {
        CFFTOptions options;
        doc->FillFFTOptions(options);
        options.m_size = std::to_string(response->GetSize(0));
        options.m_sampleRate = FormatText("%.17g", response->GetSampleRate(0));
        if (!doc->ApplyFFTOptions(options, error)) {
            m_app.MessageBox(error, MB_OK);
            CloseProcess();
            return false;
        }
    }
    if (!CheckSteps()) {
        CloseProcess();
        return false;
    }
    CCalibration& edited = *GetEdited();
    for (CCalibration* record : {&InUse(), &edited}) {
        *record = *m_owner.GetCalibration();
        record->SetOwner(m_pCalSoundIO); // the copy names the owner; the record stays ours
    }
    if (m_pUserDoc) m_app.SetCurrentDocument(m_pUserDoc);
    return true;
}

bool CCalibrationSession::CheckSteps() {
    struct CExpected {
        const char* module;
        const char* text;
    };
    static const CExpected kSteps[] = {
        {"Signal Generator", "'%s' Step:%i is not a Signal Generator module.\n Reconfigure '%s' "
                             "to have Signal Generator module at Step:%i"},
        {"SoundIO", "'%s' Step:%i is not a SoundIO module.\n Reconfigure '%s' to have SoundIO "
                    "module at Step:%i"},
        {"Oscilloscope", "'%s' Step:%i is not an Oscilloscope module.\n Reconfigure '%s' to have "
                         "Oscilloscope module at Step:%i"},
        {"Spectrum Analyzer", "'%s' Step:%i is not a Spectrum Analyser module.\n Reconfigure '%s' "
                              "to have Spectrum Analyser module at Step:%i"},
    };
    const auto& names = m_pCalDoc->GetStepNames();
    auto name = names.begin();
    for (int i = 0; i < 4; ++i) {
        const bool present = name != names.end() && size_t(i) < m_pCalDoc->GetViewCount();
        const bool matches = present && *name == kSteps[i].module;
        if (name != names.end()) ++name;
        if (i == 1 && matches) m_pCalSoundIO = dynamic_cast<CSoundIOView*>(m_pCalDoc->GetView(1));
        if (matches && (i != 1 || m_pCalSoundIO)) continue;
        const char* path = m_path.c_str();
        m_app.MessageBox(FormatText(kSteps[i].text, path, i + 1, path, i + 1), MB_OK);
        m_pCalSoundIO = nullptr;
        return false;
    }
    return true;
}

void CCalibrationSession::CloseProcess() {
    if (!m_pCalDoc) return;
    m_pCalDoc->StopProcess();
    // The calibration process is our scratch document: its settings were saved before each
    // procedure, so closing it asks nothing.
    m_pCalDoc->SetModifiedFlag(false);
    m_app.CloseDocument(m_pCalDoc);
    m_pCalDoc = nullptr;
    m_pCalSoundIO = nullptr;
    if (m_pUserDoc) m_app.SetCurrentDocument(m_pUserDoc);
}

void CCalibrationSession::Stop() {
    if (m_pCalDoc) m_pCalDoc->StopProcess();
    SetStatus("Aborted");
}

void CCalibrationSession::New() {
    if (!m_pCalDoc) return;
    m_pCalDoc->StopProcess();
    InUse().InitializeDefaults();
    GetEdited()->InitializeDefaults();
    SetStatus(GetEdited()->ReturnedErrors);
    m_parametersChanged = m_calFileChanged = true;
}

bool CCalibrationSession::OpenFile(const std::string& given) {
    if (!m_pCalDoc) return false;
    m_pCalDoc->StopProcess();
    std::string path = given;
    if (path.empty()) {
        auto* dialog = dynamic_cast<IOpenFileDialog*>(m_app.GetFileDialog());
        const std::optional<std::string> chosen =
            dialog ? dialog->AskOpenPath("Open", GetEdited()->GetCalPath(), "flt", kFileFilter)
                   : std::nullopt;
        if (!chosen) return false;
        path = *chosen;
    }
    CCalibration& loaded = InUse();
    if (!loaded.OpenCalFile(path)) {
        const CDSPFFTDataList* response = loaded.GetFrequencyResponse();
        m_app.MessageBox(FormatText("%s\nCannot Load Calibration File",
                                    response ? response->GetErrorText().c_str() : ""),
                         MB_OK);
        return false;
    }
    if (loaded.IsValid(&m_owner) && loaded.IsAudioHardwareTheSameSettings(&m_owner)) {
        *GetEdited() = loaded;
        SetStatus("");
    } else {
        const int answer = m_app.MessageBox(
            FormatText("Calibration File: %s.\n%s\nDo You Wish To Continue Loading the File?",
                       path.c_str(), loaded.ReturnedErrors.c_str()),
            MB_YESNOCANCEL);
        if (answer != IDYES) return false;
        *GetEdited() = loaded;
        SetStatus(loaded.ReturnedErrors);
    }
    GetEdited()->SetOwner(m_pCalSoundIO);
    m_calFileChanged = true;
    return true;
}

bool CCalibrationSession::SaveFile(const std::string& given) {
    if (!m_pCalDoc) return false;
    m_pCalDoc->StopProcess();
    std::string path = given;
    if (path.empty()) {
        IFileDialog* dialog = m_app.GetFileDialog();
        const std::string& known = GetEdited()->GetCalPath();
        const std::string proposed = known.empty() ? ProposedCalibrationPath(m_owner) : known;
        const std::optional<std::string> chosen =
            dialog ? dialog->AskSavePath("Save As", proposed, "flt", kFileFilter) : std::nullopt;
        if (!chosen) return false;
        path = *chosen;
    }
    if (std::string error; !GetEdited()->SaveCalFile(path, &error)) {
        m_app.MessageBox(error, MB_OK);
        return false;
    }
    m_parametersChanged = false;
    return true;
}

bool CCalibrationSession::WithResponse(int32_t (*operation)(CDSPFFTDataList&, IClipboard&)) {
    if (!m_pCalDoc) return false;
    m_pCalDoc->StopProcess();
    CDSPFFTDataList* response = GetEdited()->GetFrequencyResponse();
    if (!response || operation(*response, m_app.GetClipboard()) == 0) return false;
    m_parametersChanged = true;
    return true;
}

bool CCalibrationSession::Cut() {
    return WithResponse(&ClipboardText::Cut);
}

bool CCalibrationSession::Copy() {
    return WithResponse(&ClipboardText::Copy);
}

bool CCalibrationSession::Paste() {
    return WithResponse(&ClipboardText::Paste);
}

void CCalibrationSession::Accept() {
    if (!m_pCalDoc) return;
    m_pCalDoc->StopProcess();
    *m_owner.GetCalibration() = *GetEdited();
    // The copy names the calibration step as owner, which is about to close.
    m_owner.GetCalibration()->SetOwner(&m_owner);
    // The user's process now holds another record: closing it asks to save.
    if ((m_parametersChanged || m_calFileChanged) && m_pUserDoc) m_pUserDoc->SetModifiedFlag(true);
    CloseProcess();
}

void CCalibrationSession::OK() {
    if (!m_pCalDoc) return;
    m_pCalDoc->StopProcess();
    if (GetEdited()->GetCalPath().empty() && m_parametersChanged &&
        m_app.MessageBox("Calibration Parameter Has Changed \r\nSave To Calibration File?",
                         MB_YESNO) == IDYES)
        SaveFile();
    const bool changed = m_parametersChanged || m_calFileChanged;
    Accept();
    const std::string& processName = m_owner.GetCalibration()->ProcessName;
    if (changed &&
        m_app.MessageBox("Calibration Parameter Has Changed.\r\nSave To Process File?", MB_YESNO) ==
            IDYES &&
        !processName.empty() && m_pUserDoc) {
        std::string error;
        if (!m_pUserDoc->OnSaveDocument(processName, error)) m_app.MessageBox(error, MB_OK);
    }
}

void CCalibrationSession::Cancel() {
    CloseProcess();
}
