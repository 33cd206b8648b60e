#pragma once
// Words the generator tests share: processes of generator steps, a channel's bar and numbers
// typed with every digit they need.

#include "common/ModuleProcess.h"
#include "modules/generator/SigGenView.h"

#include <sstream>

/** A process of `steps` "Signal Generator" steps with blocks of n samples at fs. */
inline void MakeGenerators(CModuleProcess& p, int n, double fs, int steps = 1) {
    p.Create(std::vector<std::string>(size_t(steps), "Signal Generator"), n, fs);
}

/** The bar of a 1-based channel of a 1-based step. */
inline CSigGenChanDlgBar& Bar(const CModuleProcess& p, int channel, int step = 1) {
    return *p.Step<CSigGenView>(step).GetChannelPointer(channel - 1);
}

/** A number as a user types it, with every digit it needs. */
inline std::string Text(double v) {
    std::ostringstream s;
    s.precision(17);
    s << v;
    return s.str();
}
