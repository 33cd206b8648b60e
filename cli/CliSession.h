#pragma once
// What every process command shares: a headless session on the user's settings, the
// "STEP:CONTROL=VALUE" argument form, and text made safe for a terminal.

#include "base/PlainText.h"
#include "platform/Clock.h"
#include "process/ProcessSession.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

class CMemorySettings;

class IAudioSystem;

class CCliSession {
public:
    explicit CCliSession(const CModuleRegistry& registry);
    ~CCliSession();
    CProcessSession& operator*() { return *m_session; }
    CProcessSession* operator->() { return m_session.get(); }

private:
    CSystemClock m_clock;
    std::unique_ptr<IAudioSystem> m_audio; // the system's sound devices, after the virtual card
    /** The user's settings as read: a command changes none of them (not even the desktop's
     *  recent-file list when it opens a file), so nothing is ever written back. */
    std::unique_ptr<CMemorySettings> m_settings;
    std::unique_ptr<CProcessSession> m_session;
};

/** Applies one "STEP:CONTROL=VALUE" argument through the session; false with a message. */
bool ApplySetting(CProcessSession& session, const std::string& setting, std::string& error);

/** Text from files and modules as a terminal may show it: control characters (escape
 *  sequences, line breaks) are written as "\x1B"; a message box's line breaks become " | ". */
std::string TerminalText(std::string_view text);

/** Writes "aurivo-cli: " + the reason on one line to `err`; returns exit status 2. */
int Fail(std::ostream& err, const std::string& reason);
