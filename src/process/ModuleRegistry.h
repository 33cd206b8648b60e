#pragma once
// The built-in modules by name, in the order the process editor lists them, and the modules of
// the loaded plug-in libraries after them. A built-in module is offered once its class is
// registered; the order is fixed by the list of built-in names.

#include "process/ModuleClass.h"

#include <string>
#include <string_view>
#include <vector>

class CModuleRegistry {
public:
    /** The eight built-in module names in editor order. */
    static const std::vector<std::string>& BuiltInNames();

    /** Adds a module class; built-in names keep their fixed order, others follow in the order
     *  they were added. A second class of the same name replaces the first. */
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
