#include "process/UserSession.h"

#include "platform/AudioDevices.h"
#include "platform/DeviceModel.h"

CUserSession::CUserSession(const CModuleRegistry& registry, const CMemorySettings& settings,
                           std::unique_ptr<IAudioSystem> devices)
    : m_audio(std::move(devices)), m_settings(settings) {
    m_session = std::make_unique<CProcessSession>(registry, m_clock, &m_settings);
    m_session->Audio().SetDeviceModel(CDeviceModel::Load(m_settings));
    if (m_audio) m_session->Audio().AddAudioSystem(m_audio.get());
}

CUserSession::~CUserSession() {
    m_session.reset(); // its documents close their devices first
}

std::shared_ptr<CProcessSession> NewUserSession(const CModuleRegistry& registry,
                                                const CMemorySettings& settings,
                                                std::unique_ptr<IAudioSystem> devices) {
    auto owner = std::make_shared<CUserSession>(registry, settings, std::move(devices));
    return std::shared_ptr<CProcessSession>(owner, &**owner);
}
