#pragma once
// An RGB colour, independent of any drawing toolkit.

#include <cstdint>

struct CColour {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const CColour&) const = default;
};
