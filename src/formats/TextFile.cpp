#include "formats/TextFile.h"

#include "base/TextLines.h"
#include "platform/AtomicFile.h"

bool ReadTextFile(const std::string& path, std::string& text, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(path, bytes, error, kMaxTextFileBytes)) return false;
    text.assign(bytes.begin(), bytes.end());
    return true;
}

bool WriteTextFile(const std::string& path, std::string_view text, std::string& error) {
    return WriteFileAtomically(path, StoredTextBytes(text), error);
}
