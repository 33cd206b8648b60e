#include "modules/generator/SigGenSweep.h"

#include "modules/generator/SigGenChanDlgBar.h"

#include <cmath>

double GetSweepSample(const CSigGenChanDlgBar& bar) {
    const double c = bar.m_sweepCounter;
    const double s = bar.m_sweepLength;
    const double span = bar.m_sweepStop - bar.m_sweepStart;
    switch (bar.m_mode) {
    case kModeLinSweep:
        return c / s * span;
    case kModeLog10UpSweep:
        return std::log10(c) / std::log10(s) * span;
    case kModeLog10DnSweep:
        return (1.0 - std::log10(c) / std::log10(s)) * span;
    case kModeExp10UpSweep:
        return (1.0 - std::pow(10.0, c / s) / 10.0) * span;
    case kModeExp10DnSweep:
        return std::pow(10.0, c / s) / 10.0 * span;
    default:
        return 0.0;
    }
}
