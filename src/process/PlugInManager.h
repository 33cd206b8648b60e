#pragma once
// The plug-in libraries: found in the program's plug-in folders and the user's, loaded, asked
// for their module names and held until the program ends. The search never changes the current
// directory. It refuses folders and libraries that anyone but the user and root could change
// (written by others, or owned by another user), folders that lie in such a folder, and the
// current directory itself.

#include "platform/SettingsStore.h"
#include "platform/SharedLibraries.h"
#include "process/ModuleRegistry.h"

#include <iosfwd>
#include <string>
#include <vector>

class CPlugInManager {
public:
    /** The file pattern of a plug-in library, by its ending. */
    static constexpr const char* kLibrarySuffix = ".so";
    static constexpr const char* kEntryPoint = "RunPlugInFunction";

    explicit CPlugInManager(ISharedLibraries& libraries) : m_libraries(libraries) {}
    /** Unloads every library. */
    ~CPlugInManager();
    CPlugInManager(const CPlugInManager&) = delete;
    CPlugInManager& operator=(const CPlugInManager&) = delete;

    /** Unloads what was loaded, then loads every "*.so" of the folders in order (files by
     *  name within a folder). Files that fail to load are skipped; folders refused and
     *  libraries of another interface version are named on `err`. Returns the number loaded. */
    size_t FindPlugIns(const std::vector<std::string>& folders, std::ostream& err);
    size_t GetPlugInCount() const { return m_loaded.size(); }
    void* GetPlugInPointer(size_t index) const { return m_loaded[index].handle; }
    const std::string& GetPlugInPath(size_t index) const { return m_loaded[index].path; }

    /** Adds the module of every loaded library that has the entry point to the registry, after
     *  its modules. A name the registry or an earlier library already has is skipped with a
     *  message on `err` naming both. */
    void AddModules(CModuleRegistry& registry, std::ostream& err) const;

private:
    struct CLibrary {
        void* handle;
        std::string path;
    };
    /** Loads one file; false when it is skipped. */
    bool Load(const std::string& path, std::ostream& err);
    void UnloadAll();

    ISharedLibraries& m_libraries;
    std::vector<CLibrary> m_loaded;
};

/** Where plug-ins are searched, in order: "plugins" beside the executable, then
 *  "../lib/aurivo/plugins" from it (an installed program), then the user's folder
 *  `xdgDataHome`/aurivo/plugins, else `home`/.local/share/aurivo/plugins. Unset variables are
 *  null or empty; relative ones are ignored. */
std::vector<std::string> PlugInFolders(const std::string& executable, const char* xdgDataHome,
                                       const char* home);

/** The running program's file, for PlugInFolders; empty when unknown. */
std::string ExecutablePath();

/** The host's start-up step: unless the settings turn plug-ins off ("Settings",
 *  "EnablePlugIns"), loads the plug-ins of this program and user into `manager` and adds their
 *  modules to `registry`. */
void LoadPlugInModules(CPlugInManager& manager, CModuleRegistry& registry,
                       const ISettingsStore& settings, std::ostream& err);
