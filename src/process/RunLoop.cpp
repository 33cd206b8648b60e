#include "process/RunLoop.h"

bool CRunLoop::Slice() {
    return m_app.Slice();
}

bool CRunLoop::Step(CDspDoc& doc, const std::function<bool()>& interrupt) {
    for (;;) {
        Slice();
        if (!doc.IsRunning() || !doc.IsStepPending()) break;
        if (interrupt && interrupt()) break;
    }
    if (m_pauses == EPausePolicy::Resume && doc.IsPaused()) doc.OnEditRun();
    return doc.IsRunning();
}

int CRunLoop::Run(CDspDoc& doc, int passes, const StepCallback& onStep) {
    const int steps = doc.GetStepCount();
    if (steps == 0 || passes <= 0) return 0;
    if ((!doc.IsRunning() || doc.IsPaused()) && !doc.OnEditRun()) return 0;
    const long total = long(passes) * steps;
    long done = 0;
    while (done < total) {
        if (!Step(doc)) break; // a step failed or stopped the run
        if (onStep && !onStep(int(done / steps) + 1, int(done % steps) + 1)) break;
        ++done;
    }
    return int(done / steps);
}
