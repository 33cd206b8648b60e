// Where the calibration process file is found.

#include "soundio/CalibrationSession.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::vector<std::string> CalibrationSearchFolders() {
    std::vector<std::string> folders;
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        folders.push_back(program.parent_path().string());
        // The installed data folder, found from the program wherever the prefix put both.
        folders.push_back((program.parent_path().parent_path() / AURIVO_DATA_DIR).string());
    }
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (xdg && *xdg)
        folders.push_back((fs::path(xdg) / "aurivo").string());
    else if (home && *home)
        folders.push_back((fs::path(home) / ".local/share/aurivo").string());
    return folders;
}

std::string FindCalibrationProcess(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        const fs::path path = fs::path(folder) / CCalibrationSession::kFileName;
        std::error_code ec;
        if (fs::is_regular_file(path, ec)) return path.string();
    }
    return {};
}
