#pragma once
// What every process command shares: a headless session on the user's settings, the
// "STEP:CONTROL=VALUE" argument form, and text made safe for a terminal.

#include "base/PlainText.h"
#include "process/UserSession.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

/** The session of a command: the user's settings file as read and the system's sound devices. */
class CCliSession : public CUserSession {
public:
    explicit CCliSession(const CModuleRegistry& registry);

private:
    CCliSession(const CModuleRegistry& registry, const CMemorySettings& settings);
};

/** The user's settings file as read (an unreadable one gives the defaults). */
CMemorySettings UserSettings();

/** Applies one "STEP:CONTROL=VALUE" argument through the session; false with a message. */
bool ApplySetting(CProcessSession& session, const std::string& setting, std::string& error);

/** Text from files and modules as a terminal may show it: control characters (escape
 *  sequences, line breaks) are written as "\x1B"; a message box's line breaks become " | ". */
std::string TerminalText(std::string_view text);

/** Writes "aurivo-cli: " + the reason on one line to `err`; returns exit status 2. */
int Fail(std::ostream& err, const std::string& reason);
