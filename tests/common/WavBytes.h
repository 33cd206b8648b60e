#pragma once
// WAVE files laid out byte by byte for the reader's tests: chunks in any order, with any size
// fields, and the little-endian fields as a test states them.

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

inline std::vector<uint8_t> LittleEndian(uint32_t value, int bytes) {
    std::vector<uint8_t> out;
    for (int i = 0; i < bytes; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
    return out;
}

inline std::vector<uint8_t> Joined(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

/** A chunk with its data and pad byte; `size` overrides the stored size field. */
inline std::vector<uint8_t> WavChunk(const std::string& id, const std::vector<uint8_t>& data,
                                     std::optional<uint32_t> size = {}) {
    std::vector<uint8_t> out(id.begin(), id.end());
    const auto field = LittleEndian(size.value_or(uint32_t(data.size())), 4);
    out.insert(out.end(), field.begin(), field.end());
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() % 2) out.push_back(0);
    return out;
}

/** A `RIFF` file of the form with the chunks in order and a true RIFF size. */
inline std::vector<uint8_t> RiffFileBytes(const std::vector<std::vector<uint8_t>>& chunks,
                                          const std::string& form = "WAVE") {
    std::vector<uint8_t> body(form.begin(), form.end());
    for (const auto& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    const auto size = LittleEndian(uint32_t(body.size()), 4);
    out.insert(out.end(), size.begin(), size.end());
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

/** The 16 bytes of a `fmt ` chunk; block alignment from channels and bits unless given. */
inline std::vector<uint8_t> FmtBytes(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                                     std::optional<uint16_t> align = {}) {
    const uint16_t a = align.value_or(uint16_t(channels * bits / 8));
    std::vector<uint8_t> out;
    for (const auto& [v, n] : std::initializer_list<std::pair<uint32_t, int>>{
             {tag, 2}, {channels, 2}, {rate, 4}, {rate * a, 4}, {a, 2}, {bits, 2}}) {
        const auto bytes = LittleEndian(v, n);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

inline void PutBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::vector<uint8_t> GetBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
