#pragma once
// Whole text files as other installations exchange them: read in one piece with a size limit,
// written atomically with stored line ends (see base/TextLines.h).

#include <cstddef>
#include <string>
#include <string_view>

/** Largest text file the readers accept (a two-channel list of the longest blocks is ~26 MB). */
constexpr size_t kMaxTextFileBytes = size_t(64) << 20;

/** Reads the whole text file at `path` (at most kMaxTextFileBytes). False with a message naming
 *  the path and the reason. */
bool ReadTextFile(const std::string& path, std::string& text, std::string& error);

/** Writes `text` atomically with stored line ends. False with a message on failure. */
bool WriteTextFile(const std::string& path, std::string_view text, std::string& error);
