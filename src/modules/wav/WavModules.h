#pragma once
// How the process editor offers "WAV File Open" and "WAV File Save": the name files and the editor
// know them by.

#include "process/ModuleRegistry.h"

/** Adds the "WAV File Open" module to `registry`, after the modules added before it. */
void RegisterWavFileOpen(CModuleRegistry& registry);
/** Adds the "WAV File Save" module to `registry`, after the modules added before it. */
void RegisterWavFileSave(CModuleRegistry& registry);
