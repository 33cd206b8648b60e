#include "modules/wav/WavModules.h"
#include "modules/wav/WavSaveView.h"
#include "modules/wav/WaveFileInView.h"

void RegisterWavFileOpen(CModuleRegistry& registry) {
    static const CModuleClass kModule{"WAV File Open",
                                      []() -> CDspView* { return new CWaveFileInView; }};
    registry.Register(&kModule);
}

void RegisterWavFileSave(CModuleRegistry& registry) {
    static const CModuleClass kModule{"WAV File Save",
                                      []() -> CDspView* { return new CWavSaveView; }};
    registry.Register(&kModule);
}
