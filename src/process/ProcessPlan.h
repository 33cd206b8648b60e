#pragma once
// The steps a new document is built from: what the process editor's OK or a file's first reading
// leaves, handed to document creation as one value.

#include "process/ModuleClass.h"

#include <list>
#include <string>
#include <vector>

struct CProcessPlan {
    std::list<std::string> names; // module names in step order
    std::list<std::string> ids;   // the steps' identities, matched when an edit carries states
    std::vector<const CModuleClass*> classes; // one per step
    std::vector<PlugInEntry> plugIns;         // one per step; null for a built-in module
};
