#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

class CTempFolder {
public:
    CTempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "aurivo-test-XXXXXX").string();
        m_path = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    }
    ~CTempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

    /** Names of the entries directly in `folder` (default: this folder), sorted. */
    std::vector<std::string> Entries(const std::string& folder = {}) const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder.empty() ? m_path : folder))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string m_path;
};
