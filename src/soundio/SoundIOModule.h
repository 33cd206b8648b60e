#pragma once
// How the process editor offers "SoundIO": the name files and the editor know it by.

#include "process/ModuleRegistry.h"

/** Adds the "SoundIO" module to `registry`, after the modules added before it. */
void RegisterSoundIO(CModuleRegistry& registry);
