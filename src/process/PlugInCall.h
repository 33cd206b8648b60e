#pragma once
// The one way the program calls into a plug-in library. A plug-in is written by someone else and
// may throw; an exception must end at the call, not unwind through the run loop and end the
// program, so the caller gets a failure it can show and the document stays as it was.

#include "process/ModuleClass.h"

#include <string>

/** Calls `entry` with the operation, view and argument; true with its answer in `result`. False
 *  when the plug-in threw, with `error` saying what it threw. GUI thread. */
bool CallPlugInEntry(PlugInEntry entry, const char* operation, void* view, void* argument,
                     void*& result, std::string& error);

/** The same for a library's interface version function. */
bool CallPlugInVersion(PlugInVersionFunction function, int32_t& version, std::string& error);
