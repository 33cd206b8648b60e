#include "platform/MemorySettings.h"

#include "base/PlainText.h"

#include <algorithm>

const std::string* CMemorySettings::Find(const std::string& section, const std::string& key) const {
    for (const CSettingsSection& s : m_sections) {
        if (!EqualsIgnoringCase(s.name, section)) continue;
        for (const auto& [k, v] : s.entries)
            if (EqualsIgnoringCase(k, key)) return &v;
    }
    return nullptr;
}

bool CMemorySettings::Contains(const std::string& section, const std::string& key) const {
    return Find(section, key) != nullptr;
}

int CMemorySettings::GetInt(const std::string& section, const std::string& key, int def) const {
    const std::string* text = Find(section, key);
    int value = def;
    return text != nullptr && ParseWholeNumber(*text, value) ? value : def;
}

void CMemorySettings::SetInt(const std::string& section, const std::string& key, int value) {
    SetString(section, key, std::to_string(value));
}

std::string CMemorySettings::GetString(const std::string& section, const std::string& key,
                                       const std::string& def) const {
    const std::string* text = Find(section, key);
    return text != nullptr ? *text : def;
}

void CMemorySettings::SetString(const std::string& section, const std::string& key,
                                const std::string& value) {
    auto s = std::find_if(m_sections.begin(), m_sections.end(), [&](const CSettingsSection& c) {
        return EqualsIgnoringCase(c.name, section);
    });
    if (s == m_sections.end()) {
        m_sections.push_back({section, {}});
        s = std::prev(m_sections.end());
    }
    for (auto& [k, v] : s->entries) {
        if (EqualsIgnoringCase(k, key)) {
            v = value;
            return;
        }
    }
    s->entries.emplace_back(key, value);
}

bool CMemorySettings::Save(std::string& error) {
    error.clear();
    return true;
}
