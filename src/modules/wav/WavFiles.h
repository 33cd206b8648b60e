#pragma once
// What both WAV modules share about their files: the dialogs' filter and where a relative path
// points.

#include "process/DspDoc.h"

#include <filesystem>
#include <string>

inline constexpr const char* kWaveFileFilter = "WAVE files (*.WAV)|*.WAV|All files (*.*)|*.*||";
inline constexpr const char* kWaveFileExtension = "wav";

/** A relative path is taken from the process file's folder, so a process and the WAV files
 *  beside it move together; without a process file, from the working folder. */
inline std::string ResolveWavPath(const CDspDoc* doc, const std::string& path) {
    const std::filesystem::path p(path);
    if (path.empty() || p.is_absolute() || !doc || doc->GetPathName().empty()) return path;
    return (std::filesystem::path(doc->GetPathName()).parent_path() / p).string();
}
