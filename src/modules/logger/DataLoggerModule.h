#pragma once
// How the process editor offers "DataLogger": the name files and the editor know it by.

#include "process/ModuleRegistry.h"

/** Adds the "DataLogger" module to `registry`, after the modules added before it. */
void RegisterDataLogger(CModuleRegistry& registry);
