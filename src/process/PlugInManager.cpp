#include "process/PlugInManager.h"

#include "process/PlugInCall.h"
#include "ui/AppSettings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <system_error>

namespace fs = std::filesystem;

namespace {
constexpr const char* kProgram = "aurivo: ";

// Why someone other than the user and root could change what `info` describes; empty when no
// one can. A library anyone else may write, or place in a folder, runs with the user's rights
// the next time the program starts. A folder above the plug-in folder matters as much: whoever
// may write it can put another folder in the plug-in folder's place. A sticky folder above
// (such as /tmp) is safe, since only an entry's owner may rename or remove it.
std::string WhoElseMayWrite(const struct stat& info, bool above) {
    if (info.st_uid != 0 && info.st_uid != geteuid())
        return "is owned by another user (uid " + std::to_string(info.st_uid) + ")";
    if (above && S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX)) return {};
    if (info.st_mode & S_IWOTH) return "is writable by every user";
    if (info.st_mode & S_IWGRP) return "is writable by its group";
    return {};
}

// The first folder above `path` (up to /) that others may change, with the reason; empty when
// there is none. Both the folders the path names and those its links lead to count: a link in
// a folder others may write can be made to lead elsewhere.
std::string UnsafeFolderAbove(const fs::path& path, std::string& reason) {
    std::error_code named, real;
    const fs::path paths[] = {fs::absolute(path, named).lexically_normal(),
                              fs::canonical(path, real)};
    if (named || real) return {};
    for (const fs::path& start : paths) {
        for (fs::path above = start; above != above.root_path();) {
            above = above.parent_path();
            struct stat info {};
            if (stat(above.c_str(), &info) != 0) continue;
            reason = WhoElseMayWrite(info, true);
            if (!reason.empty()) return above.string();
        }
    }
    return {};
}

// The current directory is wherever the user happens to stand: a library there would run with
// the user's rights without being installed on purpose.
bool RefuseFolder(const std::string& folder, std::ostream& err) {
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return true; // nothing there
    const std::string reason = WhoElseMayWrite(info, false);
    if (!reason.empty()) {
        err << kProgram << "plug-in folder " << folder << " " << reason
            << "; no plug-ins are loaded from it\n";
        return true;
    }
    std::string aboveReason;
    const std::string above = UnsafeFolderAbove(folder, aboveReason);
    if (!above.empty()) {
        err << kProgram << "plug-in folder " << folder << " lies in " << above << ", which "
            << aboveReason << "; no plug-ins are loaded from it\n";
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

// Why the library file at `path` must not be loaded; empty when it may. A link is judged by the
// file it leads to and the folders that one lies in.
std::string UnsafeLibrary(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return "cannot be examined";
    std::string reason = WhoElseMayWrite(info, false);
    if (!reason.empty()) return reason;
    struct stat link {};
    if (lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        std::error_code ec;
        const fs::path target = fs::canonical(path, ec);
        const std::string above = ec ? std::string() : UnsafeFolderAbove(target, reason);
        if (!above.empty())
            return "leads to " + target.string() + " in " + above + ", which " + reason;
    }
    return {};
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
    const std::string unsafe = UnsafeLibrary(path);
    if (!unsafe.empty()) {
        err << kProgram << "plug-in " << path << " " << unsafe << "; it is not loaded\n";
        return false;
    }
    std::string error;
    void* handle = m_libraries.Open(path, error);
    if (!handle) return false;
    // The version comes from a function of its own: an entry point that answers every operation
    // it does not know with some pointer would otherwise have that pointer read as a version.
    int32_t number = kPlugInInterfaceVersionWithoutFunction;
    if (auto version = reinterpret_cast<PlugInVersionFunction>(
            m_libraries.Find(handle, kPlugInVersionSymbol))) {
        if (!CallPlugInVersion(version, number, error)) {
            err << kProgram << "plug-in " << path
                << " failed to tell its interface version: " << error << "; it is not loaded\n";
            m_libraries.Close(handle);
            return false;
        }
    }
    // Only a library that can be called has to fit the program's interface.
    if (number != kPlugInInterfaceVersion && m_libraries.Find(handle, kEntryPoint)) {
        err << kProgram << "plug-in " << path << " is built for interface version " << number
            << ", this program has version " << kPlugInInterfaceVersion << "; it is not loaded\n";
        m_libraries.Close(handle);
        return false;
    }
    // A library without the entry point stays loaded and is never called.
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
        void* text = nullptr;
        std::string error;
        if (!CallPlugInEntry(entry, "GetModuleName", nullptr, nullptr, text, error)) {
            err << kProgram << "plug-in " << library.path
                << " is skipped: asked for its module name, " << error << "\n";
            continue;
        }
        if (!text) continue;
        const std::string name = static_cast<const char*>(text);
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
