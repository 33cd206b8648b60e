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

bool ReadTextFileBytes(const std::string& path, std::vector<uint8_t>& bytes, size_t maxBytes,
                       std::string& error) {
    return ReadFileBytes(path, bytes, error, maxBytes);
}

bool WriteTextFile(const std::string& path, const std::function<bool(std::string& part)>& next,
                   std::string& error) {
    return WriteFileInParts(
        path,
        [&](const CByteSink& sink) {
            std::string part;
            while (next(part)) {
                const std::vector<uint8_t> bytes = StoredTextBytes(part);
                if (!sink(bytes.data(), bytes.size())) return false;
                part.clear();
            }
            return true;
        },
        error);
}
