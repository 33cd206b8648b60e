#include "modules/sweep/SweepModule.h"
#include "modules/sweep/SweepView.h"

void RegisterSweepAnalyzer(CModuleRegistry& registry) {
    static const CModuleClass kModule{"Sweep Analyzer",
                                      []() -> CDspView* { return new CSweepView; }};
    registry.Register(&kModule);
}
