// Feeds arbitrary text to the calibration file reader, then checks the record it leaves and
// writes it back as text, as a step would after loading a damaged file.
#include "soundio/Calibration.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CCalibration record;
    record.ReadCalText(text, "fuzz.calibration");
    record.IsValid(nullptr);
    record.IsFrequencyCalibrationValid(nullptr);
    CCalibration copy;
    copy = record;
    copy.IsEquivalent(record);
    return 0;
}
