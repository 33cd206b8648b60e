#pragma once
// Settings held in memory, in the order they were first set. Section and key names match
// without regard to ASCII letter case, as in the profile files users may edit by hand.

#include "platform/SettingsStore.h"

#include <string>
#include <utility>
#include <vector>

struct CSettingsSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
};

class CMemorySettings : public ISettingsStore {
public:
    int GetInt(const std::string& section, const std::string& key, int def) const override;
    void SetInt(const std::string& section, const std::string& key, int value) override;
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def) const override;
    void SetString(const std::string& section, const std::string& key,
                   const std::string& value) override;
    /** Nothing to make permanent: always succeeds. */
    bool Save(std::string& error) override;

    bool Contains(const std::string& section, const std::string& key) const;
    const std::vector<CSettingsSection>& Sections() const { return m_sections; }
    void Clear() { m_sections.clear(); }

private:
    const std::string* Find(const std::string& section, const std::string& key) const;

    std::vector<CSettingsSection> m_sections;
};
