#pragma once
// A process file whose SoundIO step names an external mixer program (folder, program, window
// class), as a file from anywhere may: the texts are written into a file our own writer saved
// with none, so only those bytes differ from a file the program wrote itself.

#include "common/ArchiveBytes.h"
#include "common/ModuleProcess.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

/** Sets PATH for its lifetime and puts the old one back. */
class CPathGuard {
public:
    explicit CPathGuard(const std::string& path) {
        if (const char* old = std::getenv("PATH")) m_old = old;
        setenv("PATH", path.c_str(), 1);
    }
    ~CPathGuard() {
        if (m_old)
            setenv("PATH", m_old->c_str(), 1);
        else
            unsetenv("PATH");
    }
    CPathGuard(const CPathGuard&) = delete;
    CPathGuard& operator=(const CPathGuard&) = delete;

private:
    std::optional<std::string> m_old;
};

inline std::vector<uint8_t> ReadAllBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/** Writes an executable shell script. */
inline void WriteScript(const std::string& path, const std::string& body) {
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

/** The SoundIO step's trigger level and offset at their defaults, then its three mixer texts. */
inline std::vector<uint8_t> MixerTexts(const std::string& folder, const std::string& program,
                                       const std::string& windowClass) {
    return CArchiveBytes().I32(10).I32(-20).Text(folder).Text(program).Text(windowClass);
}

/** Where `pattern` starts in `bytes`, if it occurs exactly once. */
inline std::optional<size_t> FindOnce(const std::vector<uint8_t>& bytes,
                                      const std::vector<uint8_t>& pattern) {
    std::optional<size_t> found;
    for (auto at = bytes.begin();
         (at = std::search(at, bytes.end(), pattern.begin(), pattern.end())) != bytes.end(); ++at) {
        if (found) return std::nullopt;
        found = size_t(at - bytes.begin());
    }
    return found;
}

/** Saves a process "Signal Generator", "SoundIO" to `path` with the mixer texts given; false
 *  when the file could not be made. `emptyFolder` is a folder without programs, so that the
 *  step finds no mixer program of its own to store. */
inline bool WriteMixerProcess(const std::string& path, const std::string& emptyFolder,
                              const std::string& folder, const std::string& program,
                              const std::string& windowClass) {
    CPathGuard noPrograms(emptyFolder);
    CModuleProcess t;
    std::string error;
    if (!t.Create({"Signal Generator", "SoundIO"}) || !t.Session().Save(path, error)) return false;
    std::vector<uint8_t> bytes = ReadAllBytes(path);
    const std::vector<uint8_t> none = MixerTexts("", "", "");
    const std::optional<size_t> at = FindOnce(bytes, none);
    if (!at) return false;
    const std::vector<uint8_t> named = MixerTexts(folder, program, windowClass);
    bytes.erase(bytes.begin() + long(*at), bytes.begin() + long(*at + none.size()));
    bytes.insert(bytes.begin() + long(*at), named.begin(), named.end());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    return true;
}
