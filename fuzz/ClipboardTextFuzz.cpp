// Pastes arbitrary clipboard text into blocks and lists, with and without the character check.
#include "dsp/DSPFFTDataList.h"
#include "platform/Clipboard.h"
#include "formats/ClipboardText.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CMemoryClipboard clipboard;
    clipboard.SetText(std::string(reinterpret_cast<const char*>(data), size));
    for (const int32_t type : {1, 2}) {
        CDSPFFTData block;
        if (block.Create(type, 3, 8000.0)) {
            ClipboardText::Paste(block, 3, clipboard);
            ClipboardText::Paste(block, 1000, clipboard);
        }
        CDSPFFTDataList list;
        if (list.Create(2, type, 4, 8000.0)) {
            ClipboardText::Paste(list, clipboard);
            ClipboardText::Paste(list, 1, clipboard);
        }
    }
    return 0;
}
