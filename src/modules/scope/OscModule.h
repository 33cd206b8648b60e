#pragma once
// How the process editor offers "Oscilloscope": the name files and the editor know it by.

#include "process/ModuleRegistry.h"

/** Adds the "Oscilloscope" module to `registry`, after the modules added before it. */
void RegisterOscilloscope(CModuleRegistry& registry);
