#include "formats/MicCalibrationSetting.h"

#include <filesystem>
#include <utility>

std::string CMicCalibrationSetting::Resolved(const std::string& processPath) const {
    const std::filesystem::path given(path);
    std::error_code ec;
    if (given.empty() || given.is_absolute() || std::filesystem::exists(given, ec) ||
        processPath.empty())
        return path;
    return (std::filesystem::path(processPath).parent_path() / given).string();
}

bool CMicCalibrationSetting::Load(const std::string& file, const std::string& processPath,
                                  std::string& message) {
    if (file.empty()) {
        *this = {};
        return true;
    }
    CMicCalibration curve;
    const std::string given = std::exchange(path, file);
    if (!LoadMicCalibration(Resolved(processPath), curve, message)) {
        path = given;
        return false;
    }
    text = MicCalibrationText(curve);
    m_curve = std::move(curve);
    m_note.clear();
    return true;
}

void CMicCalibrationSetting::Restore(const std::string& processPath) {
    CMicCalibration stored;
    std::string message;
    m_curve = {};
    m_note.clear();
    if (!text.empty() && ParseMicCalibration(text, "the stored curve", stored, message))
        m_curve = std::move(stored);
    CMicCalibration file;
    if (!path.empty() && !LoadMicCalibration(Resolved(processPath), file, message))
        m_note =
            "Mic cal file " + path + " cannot be read; the curve stored in the process is used";
    else if (!path.empty() && !(file == m_curve))
        m_note = "Mic cal file " + path +
                 " has changed; the curve stored in the process is used until it is loaded again";
}
