#pragma once
// A headless session on a copy of the user's settings and the system's sound devices: what a
// host runs a process in without a window (the command line's commands, the desktop's test
// station). Working on a copy, a command or a station test changes none of the user's settings,
// not even the recent-file list when it opens a file.

#include "platform/Clock.h"
#include "platform/MemorySettings.h"
#include "process/ProcessSession.h"

#include <memory>

class IAudioSystem;

class CUserSession {
public:
    /** `devices` (may be null) are the system's sound devices, offered after the virtual card. */
    CUserSession(const CModuleRegistry& registry, const CMemorySettings& settings,
                 std::unique_ptr<IAudioSystem> devices);
    ~CUserSession();
    CProcessSession& operator*() { return *m_session; }
    CProcessSession* operator->() { return m_session.get(); }

private:
    CSystemClock m_clock;
    std::unique_ptr<IAudioSystem> m_audio;
    CMemorySettings m_settings;
    std::unique_ptr<CProcessSession> m_session;
};

/** A user session that lives as long as the session pointer handed out. */
std::shared_ptr<CProcessSession> NewUserSession(const CModuleRegistry& registry,
                                                const CMemorySettings& settings,
                                                std::unique_ptr<IAudioSystem> devices);
