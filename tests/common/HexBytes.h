#pragma once
// Byte literals for file layouts: written as hex pairs with free spacing, so that one literal
// shows a whole record field by field, and printed back the same way when a test fails.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline std::vector<uint8_t> HexBytes(std::string_view hex) {
    std::vector<uint8_t> bytes;
    int high = -1;
    for (char c : hex) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) continue;
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(uint8_t(high * 16 + digit));
            high = -1;
        }
    }
    return bytes;
}

inline std::string HexText(const std::vector<uint8_t>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (uint8_t b : bytes) {
        if (!text.empty()) text += ' ';
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}
