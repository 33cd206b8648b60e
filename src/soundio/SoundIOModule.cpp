#include "soundio/SoundIOModule.h"
#include "soundio/SoundIOView.h"

void RegisterSoundIO(CModuleRegistry& registry) {
    static const CModuleClass kModule{"SoundIO", []() -> CDspView* { return new CSoundIOView; }};
    registry.Register(&kModule);
}
