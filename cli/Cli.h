#pragma once
// aurivo-cli, the headless host: creates, inspects, changes and runs process files with the
// same core objects as the desktop application.

#include "process/ModuleRegistry.h"

#include <iosfwd>

/** Exit codes: 0 success, 1 a module reported an error during a run, 2 usage or file error. */
int RunCli(int argc, const char* const* argv, const CModuleRegistry& registry, std::ostream& out,
           std::ostream& err);
