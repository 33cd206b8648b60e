#pragma once
// The application's per-user settings: named values grouped in sections.

#include <string>

class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    /** The whole number stored under section/key, or `def` when there is none or the stored
     *  text is not a whole number; GUI thread. */
    virtual int GetInt(const std::string& section, const std::string& key, int def) const = 0;
    virtual void SetInt(const std::string& section, const std::string& key, int value) = 0;
    /** The text stored under section/key, or `def` when there is none; GUI thread. */
    virtual std::string GetString(const std::string& section, const std::string& key,
                                  const std::string& def) const = 0;
    virtual void SetString(const std::string& section, const std::string& key,
                           const std::string& value) = 0;
    /** Makes the values permanent; false with a message when that fails; GUI thread. */
    virtual bool Save(std::string& error) = 0;
};
