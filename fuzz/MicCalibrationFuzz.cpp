// Parses arbitrary text as a microphone calibration file and reads the curve it gives.
#include "formats/MicCalibration.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CMicCalibration curve;
    std::string message;
    if (ParseMicCalibration({reinterpret_cast<const char*>(data), size}, "fuzz", curve, message))
        for (const double f : {0.0, 1.0, 1000.0, 1e9})
            (void)curve.At(f);
    return 0;
}
