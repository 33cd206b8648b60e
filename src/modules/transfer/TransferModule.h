#pragma once
// How the process editor offers "Transfer Function": the name files and the editor know it by.

#include "process/ModuleRegistry.h"

/** Adds the "Transfer Function" module to `registry`, after the modules added before it. */
void RegisterTransferFunction(CModuleRegistry& registry);
