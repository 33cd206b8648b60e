#pragma once
// The commands every module's right-button menu ends with: the run's, the process's and
// printing. The host carries them out whatever the module, so every menu offers them alike.

#include "process/DspView.h"

#include <vector>

/** Stop, Pause, Run; Process... (and FFT... when asked); Print... and Print Preview. */
inline std::vector<CMenuEntry> HostMenuEntries(bool withFFT) {
    std::vector<CMenuEntry> entries{
        {"stop", "&Stop"}, {"pause", "P&ause"}, {"run", "&Run"}, {}, {"process", "&Process..."}};
    if (withFFT) entries.push_back({"fft", "&FFT..."});
    entries.insert(entries.end(), {{}, {"print", "&Print..."}, {"printpreview", "Print Pre&view"}});
    return entries;
}
