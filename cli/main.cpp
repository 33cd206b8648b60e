#include "Cli.h"
#include "modules/BuiltInModules.h"
#include "platform/IniSettings.h"
#include "process/PlugInManager.h"

#include <iostream>

int main(int argc, char** argv) {
    CIniSettings settings;
    std::string error;
    settings.Load(error); // an unreadable settings file leaves the defaults
    // Declared before the registry that holds their entry points, so they outlive it.
    CSystemSharedLibraries libraries;
    CPlugInManager plugIns(libraries);
    CModuleRegistry registry = GetBuiltInModules();
    LoadPlugInModules(plugIns, registry, settings, std::cerr);
    return RunCli(argc, argv, registry, std::cout, std::cerr);
}
