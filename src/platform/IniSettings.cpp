#include "platform/IniSettings.h"

#include "platform/AtomicFile.h"
#include "base/PlainText.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

std::string Trim(std::string_view s) {
    return std::string(TrimBlanks(s, " \t\r"));
}

constexpr const char* kNoFolder =
    "Cannot find the settings folder: neither XDG_CONFIG_HOME nor HOME is set";

/** One line of an INI text as the reader sees it. */
struct CIniLine {
    enum EKind { kBlank, kHeader, kBrokenHeader, kKey, kMalformed };
    EKind kind = kBlank;
    std::string name; // the section or key; for a blank line, non-empty when it is a comment
    std::string value;
};

CIniLine ClassifyLine(const std::string& raw) {
    const std::string line = Trim(raw);
    if (line.empty()) return {};
    if (line[0] == ';' || line[0] == '#') return {CIniLine::kBlank, line, {}};
    if (line[0] == '[') {
        const std::string name =
            line.back() == ']' ? Trim(line.substr(1, line.size() - 2)) : std::string();
        return {name.empty() ? CIniLine::kBrokenHeader : CIniLine::kHeader, name, {}};
    }
    const size_t equals = line.find('=');
    const std::string key = equals == std::string::npos ? "" : Trim(line.substr(0, equals));
    if (key.empty()) return {CIniLine::kMalformed, {}, {}};
    return {CIniLine::kKey, key, Trim(line.substr(equals + 1))};
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

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
    m_lines = SplitLines(text);
    m_changed.clear();
    int skipped = 0;
    std::string section;
    for (const std::string& raw : m_lines) {
        const CIniLine line = ClassifyLine(raw);
        switch (line.kind) {
        case CIniLine::kHeader:
        case CIniLine::kBrokenHeader:
            // Keys under a broken header would land in the wrong section, so they go too.
            section = line.name;
            skipped += line.kind == CIniLine::kBrokenHeader ? 1 : 0;
            break;
        case CIniLine::kKey:
            if (section.empty())
                ++skipped;
            else
                CMemorySettings::SetString(section, line.name, line.value);
            break;
        case CIniLine::kMalformed:
            ++skipped;
            break;
        case CIniLine::kBlank:
            break;
        }
    }
    return skipped;
}

void CIniSettings::SetString(const std::string& section, const std::string& key,
                             const std::string& value) {
    if (Contains(section, key) && GetString(section, key, {}) == value) return;
    CMemorySettings::SetString(section, key, value);
    const bool known = std::any_of(m_changed.begin(), m_changed.end(), [&](const auto& c) {
        return EqualsIgnoringCase(c.first, section) && EqualsIgnoringCase(c.second, key);
    });
    if (!known) m_changed.emplace_back(section, key);
}

std::string CIniSettings::FormatText() const {
    std::vector<bool> written(m_changed.size(), false);
    const auto changedIndex = [&](const std::string& section, const std::string& key) {
        for (size_t i = 0; i < m_changed.size(); ++i)
            if (EqualsIgnoringCase(m_changed[i].first, section) &&
                EqualsIgnoringCase(m_changed[i].second, key))
                return int(i);
        return -1;
    };
    // A replaced line keeps the key as the user spelled it.
    const auto entry = [&](size_t i, const std::string& spelling) {
        const auto& [section, key] = m_changed[i];
        return OneLine(spelling) + "=" + OneLine(GetString(section, key, {}));
    };
    std::vector<std::string> out;
    std::string section;
    size_t sectionEnd = 0; // after the section's last line that is not blank
    // The changed keys of the section that ends here and that it did not have.
    const auto closeSection = [&] {
        if (section.empty()) return;
        std::vector<std::string> added;
        for (size_t i = 0; i < m_changed.size(); ++i)
            if (!written[i] && EqualsIgnoringCase(m_changed[i].first, section)) {
                added.push_back(entry(i, m_changed[i].second));
                written[i] = true;
            }
        out.insert(out.begin() + long(sectionEnd), added.begin(), added.end());
    };
    for (const std::string& raw : m_lines) {
        const CIniLine line = ClassifyLine(raw);
        if (line.kind == CIniLine::kHeader || line.kind == CIniLine::kBrokenHeader) {
            closeSection();
            section = line.name;
        }
        const int changed =
            line.kind == CIniLine::kKey && !section.empty() ? changedIndex(section, line.name) : -1;
        if (changed < 0) {
            out.push_back(raw);
        } else {
            out.push_back(entry(size_t(changed), line.name) + (raw.back() == '\r' ? "\r" : ""));
            written[size_t(changed)] = true;
        }
        if (line.kind != CIniLine::kBlank || !line.name.empty()) sectionEnd = out.size();
    }
    closeSection();
    for (size_t i = 0; i < m_changed.size(); ++i) {
        if (written[i]) continue;
        if (!out.empty() && !TrimBlanks(out.back(), " \t\r").empty()) out.emplace_back();
        section = m_changed[i].first;
        out.push_back("[" + OneLine(section) + "]");
        sectionEnd = out.size();
        closeSection();
    }
    std::string text;
    for (const std::string& line : out)
        text += line + "\n";
    return text;
}

bool CIniSettings::Load(std::string& error) {
    Clear();
    m_lines.clear();
    m_changed.clear();
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
    ParseText(std::string(bytes.begin(), bytes.end()));
    return true;
}

bool CIniSettings::Save(std::string& error) {
    if (m_path.empty()) {
        error = kNoFolder;
        return false;
    }
    if (m_changed.empty()) return true;
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
    if (!WriteFileAtomically(m_path, std::vector<uint8_t>(text.begin(), text.end()), error))
        return false;
    m_lines = SplitLines(text);
    m_changed.clear();
    return true;
}
