#include "CliHost.h"

#include "platform/AudioServices.h"
#include "platform/IniSettings.h"
#ifdef AURIVO_HAVE_ALSA
#include "platform/alsa/AlsaAudio.h"
#endif

#include <cstdlib>

CCliHost::CCliHost(const CModuleRegistry& registry) {
    // Questions get the recording sink's defaults: Cancel for Yes/No/Cancel, No for Yes/No.
    std::string error;
    m_settings = std::make_unique<CIniSettings>();
    m_settings->Load(error); // an unreadable settings file leaves the defaults
    m_app = std::make_unique<CDspApp>(registry, m_sink, m_clock, m_settings.get());
    AudioServices().SetDeviceModel(CDeviceModel::Load(*m_settings));
#ifdef AURIVO_HAVE_ALSA
    m_audio = std::make_unique<CAlsaAudio>();
    AudioServices().AddAudioSystem(m_audio.get());
#endif
}

CCliHost::~CCliHost() {
    m_app.reset(); // its documents close their devices first
    if (m_audio) AudioServices().RemoveAudioSystem(m_audio.get());
}

CDspDoc* CCliHost::Open(const std::string& path, std::string& error) {
    if (!m_app->OpenDocumentFile(path, error)) return nullptr;
    if (!m_app->GetDocumentToReopen()) {
        error = "Cannot open " + path + ": the process has no steps (or more than 6)";
        return nullptr;
    }
    return m_app->ReopenMarkedDocument(error);
}

bool CCliHost::ApplySetting(CDspDoc& doc, const std::string& setting, std::string& error) {
    const size_t colon = setting.find(':');
    const size_t equals = setting.find('=', colon == std::string::npos ? 0 : colon);
    if (colon == std::string::npos || equals == std::string::npos) {
        error = "Setting \"" + setting + "\" is not of the form STEP:CONTROL=VALUE";
        return false;
    }
    char* end = nullptr;
    const long step = std::strtol(setting.c_str(), &end, 10);
    if (end != setting.c_str() + colon || step < 1 || step > doc.GetStepCount()) {
        error = "Setting \"" + setting + "\": the process has no step " + setting.substr(0, colon);
        return false;
    }
    const std::string control = setting.substr(colon + 1, equals - colon - 1);
    const std::string value = setting.substr(equals + 1);
    std::string message;
    if (!doc.GetView(size_t(step - 1))->SetControl(control, value, message)) {
        error = "Step " + std::to_string(step) + ": " + message;
        return false;
    }
    return true;
}

bool CCliHost::Save(CDspDoc& doc, const std::string& path, std::string& error) {
    return doc.OnSaveDocument(path, error);
}
