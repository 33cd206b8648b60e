#include "modules/arbfilter/ArbFilterModule.h"
#include "modules/arbfilter/ArbFilterView.h"

void RegisterArbitraryFilter(CModuleRegistry& registry) {
    static const CModuleClass kModule{"Arbitrary Filter",
                                      []() -> CDspView* { return new CArbFilterView; }};
    registry.Register(&kModule);
}
