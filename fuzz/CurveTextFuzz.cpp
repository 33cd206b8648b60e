// Parses arbitrary text as a mask or golden curve of a test plan and writes it back.
#include "station/Curve.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CCurve curve;
    std::string error;
    if (ParseCurveText("fuzz", std::string(reinterpret_cast<const char*>(data), size), curve,
                       error))
        (void)CurveText(curve);
    return 0;
}
