#pragma once
// The one run loop. Every host drives its documents through it: the desktop from a zero-delay
// timer (a slice at a time), the command line, calibration, the benchmarks and the tests by the
// step or the pass. A slice dispatches device completions and processes one step of each
// running document; a step that waits for its device is asked again on a later slice, so no
// command (Close, Quit, a process change) ever runs inside a step. One thread.

#include "process/DspApp.h"

#include <functional>

/** What a run does when the FFT options pause it (after a number of passes, or after every
 *  step): a person resumes it (the desktop), or it goes on at once (hosts that run a counted
 *  number of passes, and calibration, which never pauses). */
enum class EPausePolicy { Hold, Resume };

class CRunLoop {
public:
    /** Called after each step with the 1-based pass and step; false stops the run. */
    using StepCallback = std::function<bool(int pass, int step)>;

    CRunLoop(CDspApp& app, EPausePolicy pauses) : m_app(app), m_pauses(pauses) {}

    /** One slice of every open document. True while some document runs and is not paused. */
    bool Slice();
    /** Slices until the current step of `doc` is done: a step awaiting its device is asked
     *  again after each dispatch of device messages until it completes or its deadline fails
     *  it. `interrupt`, asked while the step waits, ends the wait early (the step stays
     *  pending). True while `doc` still runs. */
    bool Step(CDspDoc& doc, const std::function<bool()>& interrupt = {});
    /** Starts `doc` (or resumes it) unless it runs, then runs `passes` passes of its steps;
     *  the run goes on afterwards (stopping it is the caller's). The passes completed: a
     *  refused start, a module error, a stop or the callback end it early. */
    int Run(CDspDoc& doc, int passes, const StepCallback& onStep = {});

private:
    CDspApp& m_app;
    EPausePolicy m_pauses;
};
