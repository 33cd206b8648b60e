#pragma once
// The modules a host offers, in the order the process editor lists them: the module classes in
// the order they were registered, then the modules of the loaded plug-in libraries. The registry
// knows no module by name; each module registers itself (modules/BuiltInModules.cpp holds the
// built-in order).

#include "process/ModuleClass.h"

#include <string>
#include <string_view>
#include <vector>

class CModuleRegistry {
public:
    /** Adds a module class after the classes registered before it. A second class of the same
     *  name replaces the first in its place. */
    void Register(const CModuleClass* moduleClass);

    /** Registered classes in editor order. */
    const std::vector<const CModuleClass*>& GetClasses() const { return m_classes; }
    std::vector<std::string> GetNames() const;
    /** Case-sensitive lookup; null when no class has that name. */
    const CModuleClass* Find(std::string_view name) const;

    /** Adds a module of a loaded plug-in library; plug-ins are listed after the built-in
     *  modules in the order they were added. */
    void AddPlugIn(const CPlugInModule& plugIn) { m_plugIns.push_back(plugIn); }
    const std::vector<CPlugInModule>& GetPlugIns() const { return m_plugIns; }

private:
    std::vector<const CModuleClass*> m_classes;
    std::vector<CPlugInModule> m_plugIns;
};
