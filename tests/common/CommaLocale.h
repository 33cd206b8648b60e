#pragma once
// Switches the C library to a German locale (comma as decimal separator), compiling it with
// localedef into the temporary folder when the system has not installed it.

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

/** Sets LC_ALL to de_DE.UTF-8; false when it cannot be had. Restore with the returned name. */
inline bool UseCommaDecimalLocale() {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8")) return true;
    const std::string dir =
        (std::filesystem::temp_directory_path() / "aurivo-test-locales").string();
    if (!std::filesystem::exists(dir + "/de_DE.UTF-8")) {
        std::filesystem::create_directories(dir);
        const std::string cmd =
            "localedef -i de_DE -f UTF-8 '" + dir + "/de_DE.UTF-8' >/dev/null 2>&1";
        if (std::system(cmd.c_str()) != 0 && !std::filesystem::exists(dir + "/de_DE.UTF-8"))
            return false;
    }
    setenv("LOCPATH", dir.c_str(), 1);
    return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}
