#pragma once
// aurivo-cli render: runs a process headless and writes what one step's module draws as SVG.

#include "process/ModuleRegistry.h"

#include <iosfwd>
#include <string>

struct CRenderOptions {
    std::string file;
    int step = 0;
    int passes = 1;
    /** "WIDTHxHEIGHT" in pixels. */
    std::string size = "1200x800";
    std::string output;
};

/** Parses "WIDTHxHEIGHT" (each 1 to 16384); false for anything else. */
bool ParseRenderSize(const std::string& text, int& width, int& height);

/** Exit code 0, 1 when a module reported an error during the run (the picture is still
 *  written), 2 for usage and file errors. */
int RenderProcessFile(const CModuleRegistry& registry, const CRenderOptions& options,
                      std::ostream& out, std::ostream& err);
