#include "modules/scope/OscModule.h"
#include "modules/scope/OscView.h"

void RegisterOscilloscope(CModuleRegistry& registry) {
    static const CModuleClass kModule{"Oscilloscope", []() -> CDspView* { return new COscView; }};
    registry.Register(&kModule);
}
