#include "platform/system/SystemAudio.h"

#include "platform/AudioSystems.h"
#ifdef AURIVO_HAVE_ALSA
#include "platform/alsa/AlsaAudio.h"
#endif
#ifdef AURIVO_HAVE_JACK
#include "platform/jack/JackAudio.h"
#endif

std::unique_ptr<IAudioSystem> NewSystemAudio([[maybe_unused]] const ISettingsStore& settings) {
    auto all = std::make_unique<CAudioSystems>();
#ifdef AURIVO_HAVE_ALSA
    all->Own(std::make_unique<CAlsaAudio>());
#endif
#ifdef AURIVO_HAVE_JACK
    all->Own(std::make_unique<CJackAudio>(CJackPorts::Load(settings)));
#endif
    return all;
}
