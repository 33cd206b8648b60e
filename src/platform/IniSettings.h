#pragma once
// Settings kept in an INI file: "[Section]" lines followed by "key=value" lines. The file is the
// user's as much as ours: a save rewrites only the lines of values the program changed (adding
// new keys to their section) and keeps every other line as it was, comments, unknown keys and
// lines this program cannot read included. Nothing changed, nothing written.

#include "platform/MemorySettings.h"

#include <string>
#include <utility>
#include <vector>

class CIniSettings final : public CMemorySettings {
public:
    explicit CIniSettings(std::string path = DefaultPath());

    /** $XDG_CONFIG_HOME/aurivo/aurivo.ini, or $HOME/.config/aurivo/aurivo.ini when
     *  XDG_CONFIG_HOME is unset or not an absolute path; empty when neither can be found. */
    static std::string DefaultPath();

    /** Replaces the values by those of the file. A missing file is not an error (no values);
     *  an unreadable one is, and leaves no values. */
    bool Load(std::string& error);
    /** When a value was changed since the last Load or Save, writes the file atomically,
     *  creating its folder when needed; otherwise leaves it alone (never creating it). Refused
     *  after a Load that could not read an existing file, so that a file this program could
     *  not read is never replaced by defaults. */
    bool Save(std::string& error) override;

    /** Sets a value; a value equal to the one held is no change. */
    void SetString(const std::string& section, const std::string& key,
                   const std::string& value) override;
    /** Replaces the values and lines by those of an INI text; returns the number of malformed
     *  lines (a key outside any section, a line without '=', an empty key, a broken section
     *  header and the keys under it), which hold no values but are kept as lines. */
    int ParseText(const std::string& text);
    /** The text a save writes: the lines read, with the lines of changed values replaced and
     *  changed keys the text did not have added at the end of their section ("\n" line ends
     *  for new lines). Line breaks inside a value become blanks. */
    std::string FormatText() const;

    /** Settings files are small; anything larger is not one of ours. */
    static constexpr size_t kMaxFileBytes = 1u << 20;

private:
    std::string m_path;
    /** The lines of the text read, without their "\n". */
    std::vector<std::string> m_lines;
    /** Section and key of each value changed since the text was read or written. */
    std::vector<std::pair<std::string, std::string>> m_changed;
    bool m_unreadable = false;
};
