// Reads arbitrary bytes as a plot file into logs of a few shapes, into an existing plot and
// into one beyond the end of the log. A read that fails must leave the log as it was.
#include "dsp/DSPFFTDataLogList.h"
#include "formats/DataLogFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const int32_t blockSize : {1, 4, 8}) {
        for (const int plot : {0, 3}) {
            CDSPFFTDataLogList log;
            auto list = log.CreateEx(2, 1, blockSize, 96000.0, "Step: 1 Fuzz");
            if (!list || log.AddTail(*list) == 0) continue;
            std::string before, after;
            DataLogFile::DataLogText(log, "kept", before);
            if (!DataLogFile::ReadPlotText(log, 2, 1, blockSize, 96000.0, plot, text, "fuzz.plt")) {
                DataLogFile::DataLogText(log, "kept", after);
                if (after != before) __builtin_trap();
            }
        }
    }
    return 0;
}
