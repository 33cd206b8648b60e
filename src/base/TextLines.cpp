#include "base/TextLines.h"

std::vector<uint8_t> StoredTextBytes(std::string_view text) {
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') bytes.push_back('\r');
        bytes.push_back(static_cast<uint8_t>(c));
    }
    return bytes;
}

bool CTextLineReader::ReadLine(std::string_view& line) {
    if (AtEnd()) {
        m_passedEnd = true;
        return false;
    }
    ++m_line;
    const size_t feed = m_text.find('\n', m_pos);
    const size_t end = feed == std::string_view::npos ? m_text.size() : feed;
    line = m_text.substr(m_pos, end - m_pos);
    m_pos = feed == std::string_view::npos ? m_text.size() : feed + 1;
    // A feed's CR (text mode) and the CR written before it ("\r\n" stored as CR CR LF).
    if (feed != std::string_view::npos) {
        for (int i = 0; i < 2 && !line.empty() && line.back() == '\r'; ++i)
            line.remove_suffix(1);
    }
    return true;
}
