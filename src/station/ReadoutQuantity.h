#pragma once
// A readout's value text as a number and its unit: "1.12364%" is 1.12364 and "%", "- Hz" is no
// number and "Hz". Scripts, the command line's JSON and the station's limits read readouts so.

#include <optional>
#include <string>

struct CReadoutQuantity {
    std::optional<double> number; // absent when the text starts with no finite number
    std::string unit;
};

CReadoutQuantity ReadoutQuantity(const std::string& value);
