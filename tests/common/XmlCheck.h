#pragma once
// A small XML well-formedness check for SVG documents: one root element, properly nested tags,
// unique double-quoted attributes, known entity references only, no control characters. Lists
// the elements in document order with their attributes, and the text of each text element.

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <regex>
#include <string>
#include <vector>

struct CXmlCheck {
    bool ok = false;
    std::string error, root;
    std::vector<std::pair<std::string, std::map<std::string, std::string>>> elements;
    std::vector<std::string> texts; // of the <text> elements, entities resolved
    int Count(const std::string& name) const {
        return int(std::count_if(elements.begin(), elements.end(),
                                 [&](const auto& e) { return e.first == name; }));
    }
};

/** Appends character data with its references resolved (numeric ones as '?'); false when it
 *  holds markup, an unknown reference or a control character. */
inline bool AppendXmlChars(const std::string& raw, std::string& out) {
    static const std::regex entity("&(amp|lt|gt|quot|apos|#[0-9]+|#x[0-9a-fA-F]+);");
    static const std::map<std::string, char> named = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (auto it = raw.begin(); it != raw.end(); ++it) {
        std::smatch m;
        if (*it == '<' || (static_cast<unsigned char>(*it) < 0x20 && !std::strchr("\t\n\r", *it)))
            return false;
        if (*it != '&') {
            out += *it;
        } else if (std::regex_search(it, raw.end(), m, entity,
                                     std::regex_constants::match_continuous)) {
            out += m[1].str()[0] == '#' ? '?' : named.at(m[1]);
            it += m.length() - 1;
        } else {
            return false;
        }
    }
    return true;
}

namespace XmlScan {
// Hand-written rather than std::regex: the library's matcher recurses once per character and
// overflows the stack on the long point lists of a trace under the address sanitizer.
inline bool IsNameStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == ':';
}
inline bool IsNameChar(char c) {
    return IsNameStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-';
}
inline bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
/** Reads a name at `i`; empty when none starts there. */
inline std::string Name(const std::string& doc, size_t& i) {
    const size_t start = i;
    if (i < doc.size() && IsNameStart(doc[i]))
        while (++i < doc.size() && IsNameChar(doc[i])) {}
    return doc.substr(start, i - start);
}
} // namespace XmlScan

inline CXmlCheck CheckXml(const std::string& doc) {
    using namespace XmlScan;
    CXmlCheck r;
    std::vector<std::string> open;
    std::string text;
    for (size_t i = 0; i < doc.size();) {
        r.error = "malformed at byte " + std::to_string(i);
        if (doc.compare(i, 5, "<?xml") == 0) { // the declaration
            const size_t end = doc.find("?>", i);
            if (end == std::string::npos) return r;
            i = end + 2;
        } else if (doc[i] != '<') { // character data
            const size_t end = std::min(doc.find('<', i), doc.size());
            const std::string chars = doc.substr(i, end - i);
            const bool blank = chars.find_first_not_of(" \t\r\n") == std::string::npos;
            if ((open.empty() && !blank) || !AppendXmlChars(chars, text)) return r;
            i = end;
        } else {
            ++i;
            const bool closing = i < doc.size() && doc[i] == '/';
            if (closing) ++i;
            const std::string name = Name(doc, i);
            if (name.empty()) return r;
            std::map<std::string, std::string> attributes;
            bool attributeFound = false;
            while (i < doc.size() && IsSpace(doc[i])) {
                while (i < doc.size() && IsSpace(doc[i]))
                    ++i;
                const std::string key = Name(doc, i);
                if (key.empty()) break;
                if (doc.compare(i, 2, "=\"") != 0) return r;
                const size_t end = doc.find('"', i + 2);
                if (end == std::string::npos) return r;
                std::string value;
                if (!AppendXmlChars(doc.substr(i + 2, end - i - 2), value) ||
                    !attributes.emplace(key, value).second)
                    return r;
                attributeFound = true;
                i = end + 1;
            }
            const bool empty = i < doc.size() && doc[i] == '/';
            if (empty) ++i;
            if (i >= doc.size() || doc[i] != '>') return r;
            ++i;
            if (closing) {
                if (open.empty() || open.back() != name || attributeFound || empty) return r;
                if (name == "text") r.texts.push_back(text);
                open.pop_back();
            } else {
                if (open.empty() && !r.root.empty()) return r;
                if (r.root.empty()) r.root = name;
                r.elements.emplace_back(name, attributes);
                if (!empty) open.push_back(name);
                text.clear();
            }
        }
    }
    r.ok = !r.root.empty() && open.empty();
    if (r.ok) r.error.clear();
    return r;
}
