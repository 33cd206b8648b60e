// Reads arbitrary bytes as a data log file, which takes its shape and plot count from its own
// header.
#include "dsp/DSPFFTDataLogList.h"
#include "formats/DataLogFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CDSPFFTDataLogList log;
    if (log.CreateEx(2, 1, 4, 96000.0, "Step: 1 Fuzz"))
        DataLogFile::ReadDataLogText(log, text, "fuzz.dlg");
    return 0;
}
