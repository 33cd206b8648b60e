#pragma once
// Whole text files as other installations exchange them: read in one piece with a size limit,
// written atomically with stored line ends (see base/TextLines.h).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

/** Largest text file the readers accept (a two-channel list of the longest blocks is ~26 MB). */
constexpr size_t kMaxTextFileBytes = size_t(64) << 20;

/** Reads the whole text file at `path` (at most kMaxTextFileBytes). False with a message naming
 *  the path and the reason. */
bool ReadTextFile(const std::string& path, std::string& text, std::string& error);

/** Reads the whole text file at `path` as bytes, at most `maxBytes` (for files that may be
 *  larger than kMaxTextFileBytes); the caller reads them as text. */
bool ReadTextFileBytes(const std::string& path, std::vector<uint8_t>& bytes, size_t maxBytes,
                       std::string& error);

/** Writes `text` atomically with stored line ends. False with a message on failure. */
bool WriteTextFile(const std::string& path, std::string_view text, std::string& error);

/** Writes a text made part by part atomically with stored line ends: `next` fills the next part
 *  and returns false when there is none, so only one part is held at a time. */
bool WriteTextFile(const std::string& path, const std::function<bool(std::string& part)>& next,
                   std::string& error);
