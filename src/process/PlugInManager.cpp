#include "process/PlugInManager.h"

#include "ui/AppSettings.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <system_error>

namespace fs = std::filesystem;

namespace {
constexpr const char* kProgram = "aurivo: ";

// Anyone may place a library in a world-writable folder (a library world-writable itself may be
// replaced), and the current directory is wherever the user happens to stand: a library there
// would run with the user's rights without being installed on purpose.
bool RefuseFolder(const std::string& folder, std::ostream& err) {
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return true; // nothing there
    if (info.st_mode & S_IWOTH) {
        err << kProgram << "plug-in folder " << folder
            << " is writable by every user; no plug-ins are loaded from it\n";
        return true;
    }
    std::error_code ec;
    if (fs::equivalent(folder, fs::current_path(ec), ec)) {
        err << kProgram << "plug-in folder " << folder
            << " is the current directory; no plug-ins are loaded from it\n";
        return true;
    }
    return false;
}

std::vector<std::string> LibraryFiles(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const fs::path& path = entry.path();
        if (path.extension() == CPlugInManager::kLibrarySuffix && entry.is_regular_file(ec))
            files.push_back(path.string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

PlugInEntry EntryOf(ISharedLibraries& libraries, void* handle) {
    return reinterpret_cast<PlugInEntry>(libraries.Find(handle, CPlugInManager::kEntryPoint));
}
} // namespace

CPlugInManager::~CPlugInManager() {
    UnloadAll();
}

void CPlugInManager::UnloadAll() {
    for (const CLibrary& library : m_loaded)
        m_libraries.Close(library.handle);
    m_loaded.clear();
}

bool CPlugInManager::Load(const std::string& path, std::ostream& err) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return false;
    if (info.st_mode & S_IWOTH) {
        err << kProgram << "plug-in " << path << " is writable by every user; it is not loaded\n";
        return false;
    }
    std::string error;
    void* handle = m_libraries.Open(path, error);
    if (!handle) return false;
    // A library without the entry point stays loaded and is never called.
    if (PlugInEntry entry = EntryOf(m_libraries, handle)) {
        const auto* version =
            static_cast<const int32_t*>(entry("GetInterfaceVersion", nullptr, nullptr));
        if (version && *version != kPlugInInterfaceVersion) {
            err << kProgram << "plug-in " << path << " is built for interface version " << *version
                << ", this program has version " << kPlugInInterfaceVersion
                << "; it is not loaded\n";
            m_libraries.Close(handle);
            return false;
        }
    }
    m_loaded.push_back({handle, path});
    return true;
}

size_t CPlugInManager::FindPlugIns(const std::vector<std::string>& folders, std::ostream& err) {
    UnloadAll();
    std::vector<std::string> searched;
    for (const std::string& folder : folders) {
        std::error_code ec;
        const std::string canonical = fs::weakly_canonical(folder, ec).string();
        // An installed program's two folders may be one; its libraries load once.
        if (std::find(searched.begin(), searched.end(), canonical) != searched.end()) continue;
        searched.push_back(canonical);
        if (RefuseFolder(folder, err)) continue;
        for (const std::string& file : LibraryFiles(folder))
            Load(file, err);
    }
    return m_loaded.size();
}

void CPlugInManager::AddModules(CModuleRegistry& registry, std::ostream& err) const {
    std::vector<std::string> owners; // the library of each plug-in module added so far
    for (const CLibrary& library : m_loaded) {
        PlugInEntry entry = EntryOf(m_libraries, library.handle);
        if (!entry) continue;
        const auto* text = static_cast<const char*>(entry("GetModuleName", nullptr, nullptr));
        if (!text) continue;
        const std::string name = text;
        const auto& plugIns = registry.GetPlugIns();
        const auto earlier = std::find_if(plugIns.begin(), plugIns.end(),
                                          [&](const CPlugInModule& p) { return p.name == name; });
        if (registry.Find(name) || earlier != plugIns.end()) {
            const std::string other = earlier != plugIns.end()
                                          ? owners[size_t(earlier - plugIns.begin())]
                                          : "the program's built-in modules";
            err << kProgram << "plug-in " << library.path << " is skipped: its module name \""
                << name << "\" is already used by " << other << "\n";
            continue;
        }
        registry.AddPlugIn({name, entry});
        owners.push_back(library.path);
    }
}

std::vector<std::string> PlugInFolders(const std::string& executable, const char* xdgDataHome,
                                       const char* home) {
    std::vector<std::string> folders;
    if (!executable.empty()) {
        const fs::path program = fs::path(executable).parent_path();
        folders.push_back((program / "plugins").string());
        folders.push_back(
            (program / ".." / "lib" / "aurivo" / "plugins").lexically_normal().string());
    }
    if (xdgDataHome && fs::path(xdgDataHome).is_absolute())
        folders.push_back((fs::path(xdgDataHome) / "aurivo" / "plugins").string());
    else if (home && fs::path(home).is_absolute())
        folders.push_back((fs::path(home) / ".local" / "share" / "aurivo" / "plugins").string());
    return folders;
}

std::string ExecutablePath() {
    std::error_code ec;
    const fs::path path = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
}

void LoadPlugInModules(CPlugInManager& manager, CModuleRegistry& registry,
                       const ISettingsStore& settings, std::ostream& err) {
    CAppSettings app;
    app.Read(settings);
    if (!app.enablePlugIns) return;
    manager.FindPlugIns(
        PlugInFolders(ExecutablePath(), std::getenv("XDG_DATA_HOME"), std::getenv("HOME")), err);
    manager.AddModules(registry, err);
}
