#pragma once
// Runs aurivo-cli in the test process on a module registry and keeps its exit code, output and
// error text. The settings file lives in the run's own temporary folder, never the user's.

#include "Cli.h"
#include "common/TempFolder.h"

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

struct CCliRun {
    explicit CCliRun(const CModuleRegistry& modules) : registry(modules) {
        setenv("XDG_CONFIG_HOME", folder.File("config").c_str(), 1);
    }

    /** Runs `aurivo-cli args...`, on `other` modules when given. */
    int Command(std::vector<std::string> args, const CModuleRegistry* other = nullptr) {
        args.insert(args.begin(), "aurivo-cli");
        std::vector<const char*> argv;
        for (const std::string& a : args)
            argv.push_back(a.c_str());
        std::ostringstream o, e;
        const int rc = ::RunCli(int(argv.size()), argv.data(), other ? *other : registry, o, e);
        out = o.str();
        err = e.str();
        return rc;
    }
    std::string File(const std::string& name) const { return folder.File(name); }

    CTempFolder folder;
    const CModuleRegistry& registry;
    std::string out, err;
};
