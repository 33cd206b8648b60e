#pragma once
// How the process editor offers "Spectrum Analyzer": the name files and the editor know it by.

#include "process/ModuleRegistry.h"

/** Adds the "Spectrum Analyzer" module to `registry`, after the modules added before it. */
void RegisterSpectrumAnalyzer(CModuleRegistry& registry);
