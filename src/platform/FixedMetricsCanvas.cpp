#include "platform/FixedMetricsCanvas.h"

#include <algorithm>

size_t CFixedMetricsCanvas::Utf8SequenceLength(std::string_view text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return 1;
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;  // overlong
        if (lead == 0xED) high = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;  // overlong
        if (lead == 0xF4) high = 0x8F; // beyond U+10FFFF
    } else {
        return 0;
    }
    if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (size_t k = 2; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    return length;
}

int CFixedMetricsCanvas::CountCharacters(std::string_view text) {
    int count = 0;
    for (size_t i = 0; i < text.size(); ++count)
        i += std::max<size_t>(1, Utf8SequenceLength(text, i));
    return count;
}

CTextMetrics CFixedMetricsCanvas::GetTextMetrics() const {
    const int height = std::max(1, m_font.height);
    const int advance = std::max(1, (height * 3 + 2) / 5);
    return {advance, advance, height};
}

CSize CFixedMetricsCanvas::GetTextExtent(std::string_view text) const {
    const CTextMetrics metrics = GetTextMetrics();
    return {CountCharacters(text) * metrics.averageCharWidth, metrics.height};
}
