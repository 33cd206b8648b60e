#include "platform/IniSettings.h"

#include "platform/AtomicFile.h"
#include "base/PlainText.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

std::string Trim(std::string_view s) {
    return std::string(TrimBlanks(s, " \t\r"));
}

constexpr const char* kNoFolder =
    "Cannot find the settings folder: neither XDG_CONFIG_HOME nor HOME is set";

std::string OneLine(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

} // namespace

CIniSettings::CIniSettings(std::string path) : m_path(std::move(path)) {}

std::string CIniSettings::DefaultPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return std::string(config) + "/aurivo/aurivo.ini";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config/aurivo/aurivo.ini";
    return {};
}

int CIniSettings::ParseText(const std::string& text) {
    Clear();
    int skipped = 0;
    std::string section;
    bool inSection = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        const std::string line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[') {
            // Keys under a broken header would land in the wrong section, so they go too.
            section = line.back() == ']' ? Trim(line.substr(1, line.size() - 2)) : std::string();
            inSection = !section.empty();
            skipped += inSection ? 0 : 1;
            continue;
        }
        const size_t equals = line.find('=');
        const std::string key = equals == std::string::npos ? "" : Trim(line.substr(0, equals));
        if (!inSection || key.empty()) {
            ++skipped;
            continue;
        }
        SetString(section, key, Trim(line.substr(equals + 1)));
    }
    return skipped;
}

std::string CIniSettings::FormatText() const {
    std::string text;
    for (const CSettingsSection& s : Sections()) {
        if (!text.empty()) text += "\n";
        text += "[" + OneLine(s.name) + "]\n";
        for (const auto& [key, value] : s.entries)
            text += OneLine(key) + "=" + OneLine(value) + "\n";
    }
    return text;
}

bool CIniSettings::Load(std::string& error) {
    Clear();
    m_skippedLines = 0;
    m_unreadable = false;
    if (m_path.empty()) {
        error = kNoFolder;
        return false;
    }
    std::error_code ec;
    if (!std::filesystem::exists(m_path, ec) && !ec) return true;
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(m_path, bytes, error, kMaxFileBytes)) {
        m_unreadable = true;
        return false;
    }
    m_skippedLines = ParseText(std::string(bytes.begin(), bytes.end()));
    return true;
}

bool CIniSettings::Save(std::string& error) {
    if (m_path.empty()) {
        error = kNoFolder;
        return false;
    }
    if (m_unreadable) {
        error = "Cannot save the settings: '" + m_path +
                "' could not be read, and saving would replace what it holds";
        return false;
    }
    const std::filesystem::path folder = std::filesystem::path(m_path).parent_path();
    std::error_code ec;
    if (!folder.empty() && !std::filesystem::is_directory(folder, ec)) {
        std::filesystem::create_directories(folder, ec);
        if (ec) {
            error = "Cannot create the folder '" + folder.string() + "': " + ec.message();
            return false;
        }
    }
    const std::string text = FormatText();
    return WriteFileAtomically(m_path, std::vector<uint8_t>(text.begin(), text.end()), error);
}
