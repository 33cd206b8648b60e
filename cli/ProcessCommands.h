#pragma once
// The process commands of aurivo-cli. Each returns the exit code and writes its one-line reason
// for a failure to `err`.

#include "process/ModuleRegistry.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

struct CNewOptions {
    std::string file;
    std::vector<std::string> modules;
    std::optional<std::string> fftSize; // as typed; absent keeps the default
    std::optional<std::string> rate;
};

struct CRunOptions {
    std::string file;
    int passes = 1;
    bool json = false;
    std::vector<std::string> settings;
    std::vector<std::string> then; // STEP:COMMAND=PATH file commands run after the passes
    std::string dump;              // folder for the block lists of every pass and step; empty: none
    std::string saveLog; // "STEP:OUT.dlg": the data logger step whose log is written after the run
};

int ListModules(const CModuleRegistry& registry, std::ostream& out);
int NewProcess(const CModuleRegistry& registry, const CNewOptions& options, std::ostream& err);
int ShowInfo(const CModuleRegistry& registry, const std::string& file, bool json, std::ostream& out,
             std::ostream& err);
int SetControls(const CModuleRegistry& registry, const std::string& file,
                const std::vector<std::string>& settings, const std::string& outFile,
                std::ostream& err);
int RunProcessFile(const CModuleRegistry& registry, const CRunOptions& options, std::ostream& out,
                   std::ostream& err);
