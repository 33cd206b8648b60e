#include "modules/generator/SigGenSyncSweep.h"

#include "modules/generator/SigGenChanDlgBar.h"

#include "base/NumberText.h"
#include "dsp/SweptSine.h"

#include <algorithm>

std::string SyncSweepRefusal(const CSigGenChanDlgBar& bar, double fs, int32_t n) {
    const int c = bar.m_channel;
    // The wave sweeps by itself; a sweep mode would sweep its frequency a second time.
    if (CSigGenChanDlgBar::IsSweepMode(bar.m_mode))
        return FormatText("Ch%i Sync Log Sweep Sweeps by Itself.\nSet the Mode to Constant.", c);
    const std::string refusal =
        CSweptSine::Refusal(bar.m_sweepStart, bar.m_sweepStop, bar.m_sweepTime, fs, n);
    return refusal.empty() ? refusal : FormatText("Ch%i ", c) + refusal;
}

void FillSyncSweep(std::span<double> out, const CSigGenChanDlgBar& bar, double level) {
    const CSweptSine sweep(bar.m_sweepStart, bar.m_sweepStop, bar.m_sweepTime, bar.m_sampleRate);
    std::fill(out.begin(), out.end(), 0.0);
    sweep.Fill(out.first(std::min(out.size(), size_t(sweep.Samples()))), level);
}
