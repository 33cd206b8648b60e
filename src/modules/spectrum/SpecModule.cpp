#include "modules/spectrum/SpecModule.h"
#include "modules/spectrum/SpecView.h"

void RegisterSpectrumAnalyzer(CModuleRegistry& registry) {
    static const CModuleClass kModule{"Spectrum Analyzer",
                                      []() -> CDspView* { return new CSpecView; }};
    registry.Register(&kModule);
}
