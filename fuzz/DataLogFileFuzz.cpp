// Reads arbitrary bytes as a data log file, which takes its shape and plot count from its own
// header. A read that fails must leave the log as it was.
#include "dsp/DSPFFTDataLogList.h"
#include "formats/DataLogFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CDSPFFTDataLogList log;
    auto list = log.CreateEx(2, 1, 4, 96000.0, "Step: 1 Fuzz");
    if (!list || log.AddTail(*list) == 0) return 0;
    std::string before, after;
    DataLogFile::DataLogText(log, "kept", before);
    if (!DataLogFile::ReadDataLogText(log, text, "fuzz.dlg")) {
        DataLogFile::DataLogText(log, "kept", after);
        if (after != before) __builtin_trap();
    }
    return 0;
}
