#pragma once
// What the pass benchmarks share: a process on blocks of 131072 samples at 192 kHz run through
// the headless session, timed in the process's CPU time (so that what the scheduler gives other
// processes of a shared machine is not counted) and reported as a share of the block's duration,
// which is what a pass may take before the run falls behind the sound card.

#include "modules/BuiltInModules.h"
#include "process/ProcessSession.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <string>
#include <vector>

namespace bench {
inline constexpr int32_t kBlock = 131072;
inline constexpr double kRate = 192000.0;

inline double ProcessSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

struct CSetting {
    int step;
    const char* id;
    const char* value;
};

/** A running process of these steps with these controls; null (the benchmark skipped with the
 *  reason) when it cannot be made or refuses to start. */
inline CDspDoc* StartProcess(benchmark::State& state, CProcessSession& session,
                             const std::vector<std::string>& steps,
                             const std::vector<CSetting>& settings) {
    std::string error;
    bool ok = session.Create(steps, {kBlock, kRate}, error);
    for (size_t i = 0; ok && i < settings.size(); ++i)
        ok = session.SetControl(settings[i].step, settings[i].id, settings[i].value, error);
    if (ok && !session.Document().OnEditRun()) {
        ok = false;
        error = "the process does not run";
    }
    if (!ok) state.SkipWithError(error.c_str());
    return ok ? &session.Document() : nullptr;
}

/** Stops the run, fails the benchmark on any message it showed, and reports the timed seconds
 *  per iteration as "percent_of_block". */
inline void ReportShareOfBlock(benchmark::State& state, CProcessSession& session, double seconds) {
    session.Document().OnEditStop();
    const auto messages = session.GetMessages();
    if (!messages.empty()) state.SkipWithError(messages[0].c_str());
    state.counters["percent_of_block"] =
        100.0 * seconds / double(state.iterations()) / (kBlock / kRate);
}
} // namespace bench
