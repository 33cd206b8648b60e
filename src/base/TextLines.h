#pragma once
// Line ends of the text files other installations exchange. Those were written through a
// text-mode stream that stores every line feed as CR LF, so "\n" is CR LF on disk and "\r\n" is
// CR CR LF. Reading accepts LF, CR LF and CR CR LF alike, so files an editor normalised open too.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/** The bytes a text-mode stream stores for `text`: every LF preceded by a CR. */
std::vector<uint8_t> StoredTextBytes(std::string_view text);

/** Lines of a text, front to back; never reads past its end. The text must outlive the reader. */
class CTextLineReader {
public:
    explicit CTextLineReader(std::string_view text) : m_text(text) {}

    /** The next line without its line end (LF, CR LF or CR CR LF); a last line without a line
     *  end counts too. False at the end of the text. */
    bool ReadLine(std::string_view& line);
    bool AtEnd() const { return m_pos >= m_text.size(); }
    /** The 1-based number of the line read last (0 before the first), for messages. */
    size_t GetLineNumber() const { return m_line; }
    /** Whether a read found the end of the text. */
    bool PassedEnd() const { return m_passedEnd; }

private:
    std::string_view m_text;
    size_t m_pos = 0;
    size_t m_line = 0;
    bool m_passedEnd = false;
};
