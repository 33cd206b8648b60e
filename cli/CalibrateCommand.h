#pragma once
// aurivo-cli calibrate: the calibration procedures of a SoundIO step, headless.

#include "process/ModuleRegistry.h"

#include <iosfwd>
#include <optional>
#include <string>

struct CCalibrateOptions {
    std::string file;
    int step = 0;
    std::string type = "auto";              // auto, input, latency or frequency
    std::optional<std::string> inputLevels; // "V1,V2": the meter's readings at the inputs
    std::string output;                     // calibration file to write; empty: none
};

/** Runs the procedures against the step's devices, prints each status and the results and
 *  saves the record into the process file (and the calibration file when asked). 0 when the
 *  calibration completed, 1 when a procedure failed, 2 for bad input. */
int CalibrateProcessFile(const CModuleRegistry& registry, const CCalibrateOptions& options,
                         std::ostream& out, std::ostream& err);
