#pragma once
// The headless session: one process document driven without a display, the way the command
// line, the tests and the benchmarks drive processes. It composes a process from module names
// through the process editor, opens a process file, changes controls, runs passes through the
// run loop, gives readouts and settings as label/value pairs and saves. One thread; nothing
// here blocks.

#include "platform/Clock.h"
#include "process/DspApp.h"
#include "process/RunLoop.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

/** Block size and sample rate of a new process; absent keeps the document's default. */
struct CSessionOptions {
    std::optional<int> fftSize;
    std::optional<double> sampleRate;
};

class CProcessSession {
public:
    /** The session's own application with a recording message sink and its own sound
     *  services (the virtual card until a host adds devices); `settings` may be null. */
    CProcessSession(const CModuleRegistry& registry, IClock& clock,
                    ISettingsStore* settings = nullptr);

    /** A new process of these steps in order, composed through the process editor, with the
     *  options applied. False with a message. */
    bool Create(const std::vector<std::string>& modules, const CSessionOptions& options,
                std::string& error);
    /** Opens a process file as the desktop does: a file without steps opens as an empty
     *  process. False with a message. */
    bool Open(const std::string& path, std::string& error);
    /** Saves atomically through the document's save. */
    bool Save(const std::string& path, std::string& error);

    CDspDoc& Document() const { return *m_doc; }
    CDspApp& App() { return m_app; }
    CRunLoop& Loop() { return m_loop; }
    CAudioServices& Audio() { return m_audio; }
    /** The boxes shown so far and the answers queued for the next ones. */
    CRecordingMessageSink& Sink() { return m_sink; }
    int GetStepCount() const { return m_doc ? m_doc->GetStepCount() : 0; }
    /** The module of a 1-based step; null when there is no such step. */
    CDspView* Step(int step) const;

    /** Changes a control (or a listed setting) of a 1-based step by id or label, read strictly
     *  as the command line reads it. False with a message naming the step, also when the
     *  control's command showed a message (the last one shown). */
    bool SetControl(int step, const std::string& idOrLabel, const std::string& value,
                    std::string& error);
    /** What a run would be refused with on the settings alone, checked after a batch of
     *  changes so that settings may pass through states a run would refuse. False with the
     *  first refusal, naming its step. */
    bool CheckRunSettings(std::string& error) const;
    std::vector<CReadoutValue> GetReadouts(int step) const;
    std::vector<CSettingValue> GetSettings(int step) const;

    /** Runs `passes` passes through every step (pauses from the FFT options
     *  are resumed at once) and stops; returns the passes completed. A refused start, a module
     *  error or the callback ends it early. Messages from before the run are forgotten first. */
    int Run(int passes, const CRunLoop::StepCallback& onStep = {});

    /** The messages shown since the last run started (or since opening), as shown. */
    std::vector<std::string> GetMessages() const;

private:
    CRecordingMessageSink m_sink;
    CAudioServices m_audio;
    CDspApp m_app;
    CRunLoop m_loop{m_app, EPausePolicy::Resume};
    CDspDoc* m_doc = nullptr;
};
