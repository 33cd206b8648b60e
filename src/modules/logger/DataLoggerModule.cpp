#include "modules/logger/DataLoggerModule.h"
#include "modules/logger/DataLoggerView.h"

void RegisterDataLogger(CModuleRegistry& registry) {
    static const CModuleClass kModule{"DataLogger",
                                      []() -> CDspView* { return new CDataLoggerView; }};
    registry.Register(&kModule);
}
