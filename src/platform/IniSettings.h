#pragma once
// Settings kept in an INI file: "[Section]" lines followed by "key=value" lines. Every section
// and key read from the file is written back on save, including ones this program does not
// know; comments and malformed lines are not kept.

#include "platform/MemorySettings.h"

#include <string>

class CIniSettings final : public CMemorySettings {
public:
    explicit CIniSettings(std::string path = DefaultPath());

    /** $XDG_CONFIG_HOME/aurivo/aurivo.ini, or $HOME/.config/aurivo/aurivo.ini when
     *  XDG_CONFIG_HOME is unset or not an absolute path; empty when neither can be found. */
    static std::string DefaultPath();

    /** Replaces the values by those of the file. A missing file is not an error (no values);
     *  an unreadable one is, and leaves no values. */
    bool Load(std::string& error);
    /** Writes all values to the file atomically, creating its folder when needed. Refused
     *  after a Load that could not read an existing file, so that a file this program could
     *  not read is never replaced by defaults. */
    bool Save(std::string& error) override;

    /** Replaces the values by those of an INI text; returns the number of malformed lines
     *  skipped (a key outside any section, a line without '=', an empty key, a broken section
     *  header and the keys under it). */
    int ParseText(const std::string& text);
    /** The INI text of all values, "\n" line ends. Line breaks inside a value become blanks. */
    std::string FormatText() const;
    /** Malformed lines skipped by the last Load. */
    int GetSkippedLines() const { return m_skippedLines; }

    /** Settings files are small; anything larger is not one of ours. */
    static constexpr size_t kMaxFileBytes = 1u << 20;

private:
    std::string m_path;
    int m_skippedLines = 0;
    bool m_unreadable = false;
};
