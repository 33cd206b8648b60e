#pragma once
// Plain byte reads and writes for the text-format tests, independent of the code under test.

#include <fstream>
#include <iterator>
#include <string>

inline void PutFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string GetFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/** The lines joined, each followed by `end`. */
template <typename Lines> std::string JoinLines(const Lines& lines, const std::string& end) {
    std::string text;
    for (const auto& line : lines)
        text += std::string(line) + end;
    return text;
}
