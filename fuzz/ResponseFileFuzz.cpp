// Reads arbitrary bytes as a response text file into lists of a few shapes.
#include "dsp/DSPFFTDataList.h"
#include "formats/ResponseFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const int32_t type : {1, 2}) {
        for (const int32_t blockSize : {1, 4, 8}) {
            CDSPFFTDataList list;
            if (!list.Create(2, type, blockSize, 96000.0, "Step: 1 Fuzz")) continue;
            ResponseFile::ReadText(list, text, "fuzz.rsp");
        }
    }
    ResponseFile::IsCDSPFFTDataString(text);
    return 0;
}
