#pragma once
// aurivo-cli test: a production test of one unit by a test plan, its verdict and its record.

#include "process/ModuleRegistry.h"

#include <iosfwd>
#include <string>

struct CTestOptions {
    std::string plan;
    std::string serial;
    std::string station;      // empty: the host's name
    std::string operatorName; // empty: the login name
    std::string db;           // empty: the default SQLite file
    bool json = false;
    int learn = 0;      // > 0: learn limits from this many runs instead of testing
    std::string output; // the learned plan
    double k = 0.0;     // learned limits at mean ± k·σ; 0: the default
};

/** Runs the plan on the unit, prints PASS or FAIL with every failed item and stores the
 *  record. 0 pass, 1 fail, 2 error (nothing is stored then). */
int RunTestCommand(const CModuleRegistry& registry, const CTestOptions& options, std::ostream& out,
                   std::ostream& err);
