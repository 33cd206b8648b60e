#pragma once
// The sound devices an application uses and the event pump that delivers their completions, one
// set for the one thread; the host owns it and hands it to the application. The virtual loopback
// card is always there and listed first; a host adds its system's devices (ALSA) and the
// device-under-test model from its settings; a test may put a card of its own in place of all of
// them.

#include "platform/AudioSystems.h"
#include "platform/DeviceModel.h"
#include "platform/EventPump.h"
#include "platform/VirtualCard.h"

#include <memory>
#include <vector>

class CAudioServices {
public:
    CAudioServices();
    ~CAudioServices();

    /** The devices modules list and open. GUI thread. */
    IAudioSystem& GetAudioSystem();
    /** Puts `audio` in place of every device layer; null restores them. Not owned. */
    void SetAudioSystem(IAudioSystem* audio) { m_pReplacement = audio; }
    /** Lists `audio`'s devices after those already known. Not owned; must outlive its use. */
    void AddAudioSystem(IAudioSystem* audio);
    void RemoveAudioSystem(IAudioSystem* audio);
    /** Rebuilds the virtual card with this device-under-test model. */
    void SetDeviceModel(const CDeviceModel& model);
    CEventPump& GetEventPump() { return m_pump; }

private:
    void Rebuild();

    CEventPump m_pump;
    std::unique_ptr<CVirtualCard> m_pVirtualCard;
    std::vector<IAudioSystem*> m_extra;
    CAudioSystems m_all;
    IAudioSystem* m_pReplacement = nullptr;
};
