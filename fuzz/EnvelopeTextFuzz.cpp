// Parses arbitrary envelope text into bins, and loads it as a filter and as a response file.
#include "formats/EnvelopeText.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    EnvelopeText::CBinSums sums;
    EnvelopeText::Parse(text, {48000.0, 48000.0 / 16, 8}, sums);
    EnvelopeText::Parse(text, {1.0, 0.5, 1}, sums);
    bool tooLong = false;
    for (const bool response : {false, true})
        EnvelopeText::Parse(EnvelopeText::FromFile(text, response, tooLong), {8000.0, 500.0, 8},
                            sums);
    return 0;
}
