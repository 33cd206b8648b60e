#pragma once
// How the process editor offers "Signal Generator": the name files and the editor know it by.

#include "process/ModuleRegistry.h"

/** Adds the "Signal Generator" module to `registry`, after the modules added before it. */
void RegisterSignalGenerator(CModuleRegistry& registry);
