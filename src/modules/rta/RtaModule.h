#pragma once
// How the process editor offers "RTA", the real-time analyser in fractional octaves.

#include "process/ModuleRegistry.h"

/** Adds the "RTA" module to `registry`, after the modules added before it. */
void RegisterRealTimeAnalyzer(CModuleRegistry& registry);
