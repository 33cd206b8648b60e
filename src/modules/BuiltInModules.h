#pragma once
// The modules compiled into this build. Hosts reach them only through this registry, which
// also keeps the linker from dropping the module objects out of the static library.

#include "process/ModuleRegistry.h"

/** The registry of every built-in module that this build contains. */
const CModuleRegistry& GetBuiltInModules();
