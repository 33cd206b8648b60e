// Feeds arbitrary bytes to the archive reader through the stored classes of sample blocks.
#include "dsp/DSPFFTDataList.h"
#include "base/Archive.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    // The first byte picks the layout, the rest is the archive.
    const bool legacy = size > 0 && (data[0] & 1);
    CArchive ar(size > 0 ? std::vector<uint8_t>(bytes.begin() + 1, bytes.end()) : bytes);
    ar.SetLegacy(legacy);
    std::list<std::string> texts;
    ar.ReadStringList(texts);
    ar.ReadObject(RUNTIME_CLASS(CDSPFFTDataList));
    ar.ReadObjectList(RUNTIME_CLASS(CDSPFFTData));
    CDSPFFTDataList list;
    list.Serialize(ar);
    return 0;
}
