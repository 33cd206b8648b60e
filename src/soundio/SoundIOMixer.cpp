// The external mixer program (started, tracked by its process and closed), choosing it, and
// the calibration button.

#include "platform/OpenFileDialog.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"
#include "soundio/SoundIOView.h"

namespace {
// Mixer programs looked for, in order, when none is stored; a terminal program runs in a
// terminal window.
constexpr const char* kGraphicalMixer = "pavucontrol";
constexpr const char* kTerminalMixer = "alsamixer";
constexpr const char* kTerminal = "x-terminal-emulator";

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}
std::string NameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
} // namespace

void CSoundIOView::ResolveMixerExecutable() {
    if (!m_mixerExecutable.empty()) return;
    for (const char* name : {kGraphicalMixer, kTerminalMixer}) {
        const std::string path = FindExecutable(name);
        if (path.empty()) continue;
        m_mixerExecutable = NameOf(path);
        m_mixerDirectory = FolderOf(path);
        return;
    }
}

std::vector<std::string> CSoundIOView::MixerCommand() const {
    // Only the bare name is looked up, on the search path: the stored folder came from a
    // file, and a file must not choose which program runs.
    const std::string path = FindExecutable(m_mixerExecutable);
    if (path.empty()) return {};
    if (m_mixerExecutable == kTerminalMixer) {
        const std::string terminal = FindExecutable(kTerminal);
        if (!terminal.empty()) return {terminal, "-e", path};
    }
    return {path};
}

bool CSoundIOView::StartMixerProgram(const char* notFoundMessage) {
    const std::vector<std::string> command = MixerCommand();
    std::string error;
    if (command.empty() || !m_mixerProgram.Start(command, error)) {
        ShowErrorMessage(command.empty() ? std::string(notFoundMessage) : error);
        return false;
    }
    // The program stands for the window class the mixer was once found by; a launcher that
    // handed its window on leaves nothing to close.
    m_mixerWindowClass = m_mixerProgram.GetProcessId() != 0 ? m_mixerExecutable : "";
    return true;
}

void CSoundIOView::OfferMixerReopen() {
    if (!m_offerMixerReopen) return;
    m_offerMixerReopen = false;
    CDspApp* app = GetDocument() ? GetDocument()->GetApp() : nullptr;
    // Only a person may let a file start a program; unattended hosts never do.
    if (!app || !app->Hooks().userPresent || HasMixerWindow()) return;
    const std::string question = "This process was saved with the audio mixer \"" +
                                 m_mixerExecutable + "\" open.\r\nStart it again?";
    if (app->MessageBox(question, MB_YESNO) != IDYES) return;
    if (StartMixerProgram("Cannot Find SoundIO Audio Mixer Executable File\n Select Another "
                          "Mixer From SoundIO Mixer Select Button"))
        UpdateControls();
}

bool CSoundIOView::OnClickedSIOOptionsMixer() {
    ResolveMixerExecutable();
    // A mixer that ended by itself is started again, not "closed".
    if (!HasMixerWindow()) {
        if (!StartMixerProgram("Could Not Find Mixer Executable File")) return true;
    } else {
        m_mixerProgram.Close();
        m_mixerWindowClass.clear();
    }
    UpdateControls();
    SetModified();
    return true;
}

bool CSoundIOView::OnClickedSIOOptionsMixerSelect() {
    CDspApp* app = GetDocument() ? GetDocument()->GetApp() : nullptr;
    auto* dialog = app ? dynamic_cast<IOpenFileDialog*>(app->GetFileDialog()) : nullptr;
    if (!dialog) return true; // a host without open dialogs keeps the program it has
    const std::string initial =
        m_mixerDirectory.empty() ? m_mixerExecutable : m_mixerDirectory + "/" + m_mixerExecutable;
    const std::optional<std::string> path =
        dialog->AskOpenPath("Mixer Select", initial, "", "All files (*)|*||");
    if (!path) return true;
    m_mixerExecutable = NameOf(*path);
    m_mixerDirectory = FolderOf(*path);
    SetModified();
    if (!m_pCalibration->GetCalPath().empty()) IsCalibrated();
    return true;
}

bool CSoundIOView::OnClickedSIOOptionsCalibration() {
    if (CDspDoc* doc = GetDocument()) doc->StopProcess();
    if (IsCalibrationProcess()) {
        ShowErrorMessage("Calibration Process File\r\nCannot Calibrate Itself.");
        return true;
    }
    // The calibration dialog belongs to the host; a host without one points to the command.
    CDspApp* app = GetDocument() ? GetDocument()->GetApp() : nullptr;
    if (app && app->Hooks().calibrate) {
        app->Hooks().calibrate(this);
        return true;
    }
    ShowErrorMessage("This host has no calibration dialog.\r\nUse aurivo-cli calibrate.");
    return true;
}
