#include "formats/ProcessDescription.h"

#include "base/PlainText.h"

#include <filesystem>
#include <fstream>

std::string DescriptionPathOf(const std::string& processPath) {
    return std::filesystem::path(processPath).replace_extension(".description").string();
}

std::string ReadProcessDescription(const std::string& processPath) {
    if (processPath.empty()) return {}; // a process never saved
    std::ifstream in(DescriptionPathOf(processPath), std::ios::binary);
    // Reads no further than a title can show, whatever the side file holds.
    std::string line(kMaxDescription + 1, '\0');
    in.read(line.data(), std::streamsize(line.size()));
    line.resize(size_t(in.gcount()));
    line = line.substr(0, line.find_first_of("\r\n"));
    if (line.size() > kMaxDescription) {
        size_t end = kMaxDescription;
        while (end > 0 && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80)
            --end;
        line.resize(end);
    }
    return std::string(TrimBlanks(line));
}
