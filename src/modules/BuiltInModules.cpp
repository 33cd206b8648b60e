// The built-in modules this build contains, in the registry's fixed order.
#include "process/ModuleRegistry.h"

const CModuleRegistry& GetBuiltInModules() {
    static const CModuleRegistry registry = [] {
        CModuleRegistry r;
        return r;
    }();
    return registry;
}
