#pragma once
// A headless process session on a fixed clock, as tests drive processes: the session composes
// each process through the process editor, opens files with both readings and runs passes.

#include "platform/Clock.h"
#include "process/ProcessSession.h"

#include <string>
#include <vector>

struct CTestSession {
    CFixedClock clock{1700000000}; // 22:13:20 14 Nov 2023 UTC
    CProcessSession session;

    explicit CTestSession(const CModuleRegistry& registry, ISettingsStore* settings = nullptr)
        : session(registry, clock, settings) {}

    /** A new process of these steps, or null when the editor refuses it. */
    CDspDoc* NewProcess(const std::vector<std::string>& modules,
                        const CSessionOptions& options = {}) {
        std::string error;
        return session.Create(modules, options, error) ? &session.Document() : nullptr;
    }
    CDspApp& App() { return session.App(); }
    /** One slice of the run loop; true while the document runs and is not paused. */
    bool Slice() { return session.Loop().Slice(); }
};
