#include "platform/AudioServices.h"

#include <algorithm>

CAudioServices::CAudioServices() : m_pVirtualCard(std::make_unique<CVirtualCard>()) {
    Rebuild();
}

CAudioServices::~CAudioServices() = default;

IAudioSystem& CAudioServices::GetAudioSystem() {
    return m_pReplacement ? *m_pReplacement : m_all;
}

void CAudioServices::AddAudioSystem(IAudioSystem* audio) {
    m_extra.push_back(audio);
    Rebuild();
}

void CAudioServices::RemoveAudioSystem(IAudioSystem* audio) {
    std::erase(m_extra, audio);
    Rebuild();
}

void CAudioServices::SetDeviceModel(const CDeviceModel& model) {
    m_pVirtualCard = std::make_unique<CVirtualCard>(model);
    Rebuild();
}

void CAudioServices::Rebuild() {
    m_all = CAudioSystems();
    m_all.Add(m_pVirtualCard.get());
    for (IAudioSystem* audio : m_extra)
        m_all.Add(audio);
}
