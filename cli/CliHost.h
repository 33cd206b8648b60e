#pragma once
// What every process command shares: an application with a recording message sink, opening a
// process as the desktop application does, and applying "STEP:CONTROL=VALUE" settings.

#include "process/DspApp.h"

#include <memory>
#include <string>
#include <vector>

class CIniSettings;
class IAudioSystem;

class CCliHost {
public:
    explicit CCliHost(const CModuleRegistry& registry);
    ~CCliHost();

    CDspApp& App() { return *m_app; }
    CRecordingMessageSink& Sink() { return m_sink; }

    /** Opens a process file with both readings; null with a message on failure. */
    CDspDoc* Open(const std::string& path, std::string& error);
    /** Applies one "STEP:CONTROL=VALUE" setting through the step's control model. */
    static bool ApplySetting(CDspDoc& doc, const std::string& setting, std::string& error);
    /** Saves atomically to `path`. */
    static bool Save(CDspDoc& doc, const std::string& path, std::string& error);

private:
    CRecordingMessageSink m_sink;
    CSystemClock m_clock;
    std::unique_ptr<CIniSettings> m_settings;
    std::unique_ptr<IAudioSystem> m_audio; // the system's sound devices
    std::unique_ptr<CDspApp> m_app;
};
