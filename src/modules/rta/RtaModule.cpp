#include "modules/rta/RtaModule.h"
#include "modules/rta/RtaView.h"

void RegisterRealTimeAnalyzer(CModuleRegistry& registry) {
    static const CModuleClass kModule{"RTA", []() -> CDspView* { return new CRtaView; }};
    registry.Register(&kModule);
}
