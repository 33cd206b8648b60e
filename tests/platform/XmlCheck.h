#pragma once
// A small XML 1.0 well-formedness check for the SVG tests: declaration, one root element,
// balanced and properly nested tags, quoted and unique attributes, valid entity references,
// well-formed UTF-8 without forbidden control characters. Counts the elements by name.

#include <cctype>
#include <map>
#include <string>
#include <vector>

struct CXmlCheck {
    bool ok = false;
    std::string error;
    std::string root;
    std::map<std::string, int> counts;
    /** Attributes of every element in document order. */
    std::vector<std::pair<std::string, std::map<std::string, std::string>>> elements;
    /** Text content of every text element, entities resolved. */
    std::vector<std::string> texts;

    int Count(const std::string& name) const {
        const auto it = counts.find(name);
        return it == counts.end() ? 0 : it->second;
    }
};

namespace xmlcheck_detail {

inline bool Utf8Ok(const std::string& s, std::string& error) {
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) {
            error = "bad UTF-8 at byte " + std::to_string(i);
            return false;
        }
        unsigned long cp = n == 1 ? c : c & (0x7F >> n);
        for (size_t k = 1; k < n; ++k) {
            const unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) {
                error = "bad UTF-8 continuation at byte " + std::to_string(i + k);
                return false;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        static const unsigned long kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) ||
            (cp < 0x20 && cp != 9 && cp != 10 && cp != 13)) {
            error = "forbidden character at byte " + std::to_string(i);
            return false;
        }
        i += n;
    }
    return true;
}

class CParser {
public:
    CParser(const std::string& s, CXmlCheck& r) : m_s(s), m_r(r) {}

    bool Run() {
        SkipSpace();
        if (m_s.compare(m_i, 5, "<?xml") == 0) {
            const size_t end = m_s.find("?>", m_i);
            if (end == std::string::npos) return Fail("unterminated declaration");
            m_i = end + 2;
        }
        SkipSpace();
        if (!Element(true)) return false;
        SkipSpace();
        if (m_i != m_s.size()) return Fail("content after the root element");
        return true;
    }

private:
    bool Fail(const std::string& why) {
        m_r.error = why + " at byte " + std::to_string(m_i);
        return false;
    }
    void SkipSpace() {
        while (m_i < m_s.size() && std::isspace(static_cast<unsigned char>(m_s[m_i])))
            ++m_i;
    }
    bool Name(std::string& name) {
        const size_t start = m_i;
        auto first = [](char c) {
            return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == ':';
        };
        auto rest = [&](char c) {
            return first(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.';
        };
        if (m_i >= m_s.size() || !first(m_s[m_i])) return Fail("name expected");
        while (m_i < m_s.size() && rest(m_s[m_i]))
            ++m_i;
        name = m_s.substr(start, m_i - start);
        return true;
    }
    // Character data up to `stop`, with entity references resolved.
    bool Chars(char stop, std::string& out) {
        while (m_i < m_s.size() && m_s[m_i] != stop) {
            const char c = m_s[m_i];
            if (c == '<') return Fail("'<' in character data");
            if (c != '&') {
                out += c;
                ++m_i;
                continue;
            }
            const size_t semi = m_s.find(';', m_i);
            if (semi == std::string::npos) return Fail("unterminated entity");
            const std::string ref = m_s.substr(m_i + 1, semi - m_i - 1);
            static const std::map<std::string, std::string> kNamed = {
                {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}};
            if (kNamed.count(ref)) {
                out += kNamed.at(ref);
            } else if (ref.size() > 1 && ref[0] == '#') {
                const bool hex = ref[1] == 'x';
                const std::string digits = ref.substr(hex ? 2 : 1);
                if (digits.empty()) return Fail("empty character reference");
                for (char d : digits)
                    if (!(hex ? std::isxdigit(static_cast<unsigned char>(d))
                              : std::isdigit(static_cast<unsigned char>(d))))
                        return Fail("bad character reference");
                out += '?';
            } else {
                return Fail("unknown entity &" + ref + ";");
            }
            m_i = semi + 1;
        }
        return true;
    }
    bool Element(bool isRoot) {
        if (m_i >= m_s.size() || m_s[m_i] != '<') return Fail("'<' expected");
        ++m_i;
        std::string name;
        if (!Name(name)) return false;
        if (isRoot) m_r.root = name;
        ++m_r.counts[name];
        std::map<std::string, std::string> attributes;
        for (;;) {
            const size_t before = m_i;
            SkipSpace();
            if (m_i >= m_s.size()) return Fail("unterminated tag");
            if (m_s.compare(m_i, 2, "/>") == 0) {
                m_i += 2;
                m_r.elements.emplace_back(name, attributes);
                return true;
            }
            if (m_s[m_i] == '>') {
                ++m_i;
                break;
            }
            if (m_i == before) return Fail("space expected between attributes");
            std::string attr;
            if (!Name(attr)) return false;
            if (attributes.count(attr)) return Fail("repeated attribute " + attr);
            SkipSpace();
            if (m_i >= m_s.size() || m_s[m_i] != '=') return Fail("'=' expected");
            ++m_i;
            SkipSpace();
            if (m_i >= m_s.size() || (m_s[m_i] != '"' && m_s[m_i] != '\''))
                return Fail("quote expected");
            const char quote = m_s[m_i++];
            std::string value;
            if (!Chars(quote, value)) return false;
            if (m_i >= m_s.size()) return Fail("unterminated attribute value");
            ++m_i;
            attributes[attr] = value;
        }
        m_r.elements.emplace_back(name, attributes);
        std::string text;
        for (;;) {
            if (!Chars('<', text)) return false;
            if (m_i >= m_s.size()) return Fail("unclosed element " + name);
            if (m_s.compare(m_i, 2, "</") == 0) {
                m_i += 2;
                std::string closing;
                if (!Name(closing)) return false;
                if (closing != name) return Fail("</" + closing + "> closes <" + name + ">");
                SkipSpace();
                if (m_i >= m_s.size() || m_s[m_i] != '>') return Fail("'>' expected");
                ++m_i;
                if (name == "text") m_r.texts.push_back(text);
                return true;
            }
            if (!Element(false)) return false;
        }
    }

    const std::string& m_s;
    CXmlCheck& m_r;
    size_t m_i = 0;
};

} // namespace xmlcheck_detail

inline CXmlCheck CheckXml(const std::string& document) {
    CXmlCheck result;
    if (!xmlcheck_detail::Utf8Ok(document, result.error)) return result;
    xmlcheck_detail::CParser parser(document, result);
    result.ok = parser.Run();
    return result;
}
