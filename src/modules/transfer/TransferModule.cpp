#include "modules/transfer/TransferModule.h"
#include "modules/transfer/TransferView.h"

void RegisterTransferFunction(CModuleRegistry& registry) {
    static const CModuleClass kModule{"Transfer Function",
                                      []() -> CDspView* { return new CTransferView; }};
    registry.Register(&kModule);
}
