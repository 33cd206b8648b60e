#include "modules/generator/SigGenChanDlgBar.h"

#include "base/NumberText.h"
#include "base/Archive.h"

AURIVO_IMPLEMENT_SERIAL(CSigGenChanDlgBar, nullptr);

const std::vector<std::string>& CSigGenChanDlgBar::WaveNames() {
    static const std::vector<std::string> names{
        "Sine",           "Sine180",       "Cosine",         "Cosine180",
        "AC Square",      "AC Square180",  "DC+ Square",     "DC+ Square180",
        "DC- Square",     "DC- Square180", "Triangle",       "Triangle180",
        "Up Ramp",        "Up Ramp180",    "Down Ramp",      "Down Ramp180",
        "AC Pulse",       "AC Pulse180",   "DC+ Pulse",      "DC+ Pulse180",
        "DC- Pulse",      "DC- Pulse180",  "White",          "Impulse",
        "Impulse180",     "MLS",           "MLS180",         "Half Square",
        "Half Square180", "Clipboard",     "Sync Log Sweep", "Pink"};
    return names;
}

const std::vector<std::string>& CSigGenChanDlgBar::ModeNames() {
    static const std::vector<std::string> names{"Constant",    "Const Phs",   "Single Cycle",
                                                "Single Shot", "Lin Sweep",   "Log10Up Swp",
                                                "Log10Dn Swp", "Exp10Up Swp", "Exp10Dn Swp"};
    return names;
}

CRowPrefix CSigGenChanDlgBar::Prefix() const {
    return {"ch" + std::to_string(m_channel) + ".", FormatText("Ch%i ", m_channel)};
}

void CSigGenChanDlgBar::Serialize(CArchive& ar) {
    // Written as an object reference, whose class record comes just before: the bar's own
    // fields still begin with its class record (a back-reference then), as every stored
    // object of a process does.
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(CSigGenChanDlgBar));
        Rows().Store(ar, *this);
        return;
    }
    ar.ReadClass(RUNTIME_CLASS(CSigGenChanDlgBar));
    if (ar.Ok()) Rows().Read(ar, *this);
}
