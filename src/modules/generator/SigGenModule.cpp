#include "modules/generator/SigGenModule.h"
#include "modules/generator/SigGenView.h"

void RegisterSignalGenerator(CModuleRegistry& registry) {
    static const CModuleClass kModule{"Signal Generator",
                                      []() -> CDspView* { return new CSigGenView; }};
    registry.Register(&kModule);
}
