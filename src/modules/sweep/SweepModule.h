#pragma once
// How the process editor offers "Sweep Analyzer": the name files and the editor know it by.

#include "process/ModuleRegistry.h"

/** Adds the "Sweep Analyzer" module to `registry`, after the modules added before it. */
void RegisterSweepAnalyzer(CModuleRegistry& registry);
