// The library's entry point: the program drives the "SPL Meter" module through it.
#include "SplView.h"

#include <aurivo/PlugIn.h>

AURIVO_PLUGIN_MODULE(CSplView, "SPL Meter")
