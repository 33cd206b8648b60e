#pragma once
// How the process editor offers "Arbitrary Filter": the name files and the editor know it by.

#include "process/ModuleRegistry.h"

/** Adds the "Arbitrary Filter" module to `registry`, after the modules added before it. */
void RegisterArbitraryFilter(CModuleRegistry& registry);
