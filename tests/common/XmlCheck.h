#pragma once
// A small XML well-formedness check for SVG documents: one root element, properly nested tags,
// unique double-quoted attributes, known entity references only, no control characters. Lists
// the elements in document order with their attributes, and the text of each text element.

#include <algorithm>
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

inline CXmlCheck CheckXml(const std::string& doc) {
    static const std::regex token(R"(<\?xml[^?]*\?>|<(/?)([A-Za-z_:][\w:.-]*))"
                                  R"(((?:\s+[A-Za-z_:][\w:.-]*="[^"]*")*)\s*(/?)>|[^<]+)");
    static const std::regex attribute(R"(([A-Za-z_:][\w:.-]*)="([^"]*)\")");
    CXmlCheck r;
    std::vector<std::string> open;
    std::string text;
    for (auto it = doc.cbegin(); it != doc.cend();) {
        std::smatch m;
        const bool found =
            std::regex_search(it, doc.cend(), m, token, std::regex_constants::match_continuous);
        r.error = "malformed at byte " + std::to_string(it - doc.cbegin());
        if (!found) return r;
        it = m[0].second;
        if (!m[2].matched) { // character data or the declaration
            const bool blank = m.str().find_first_not_of(" \t\r\n") == std::string::npos;
            if (m.str()[0] != '<' && ((open.empty() && !blank) || !AppendXmlChars(m.str(), text)))
                return r;
        } else if (m[1].length() > 0) { // a closing tag
            if (open.empty() || open.back() != m[2] || m[3].length() > 0 || m[4].length() > 0)
                return r;
            if (m[2] == "text") r.texts.push_back(text);
            open.pop_back();
        } else { // an opening or empty tag
            if (open.empty() && !r.root.empty()) return r;
            if (r.root.empty()) r.root = m[2];
            std::map<std::string, std::string> attributes;
            const std::string list = m[3];
            for (std::sregex_iterator a(list.begin(), list.end(), attribute), end; a != end; ++a)
                if (std::string value;
                    !AppendXmlChars((*a)[2], value) || !attributes.emplace((*a)[1], value).second)
                    return r;
            r.elements.emplace_back(m[2], attributes);
            if (m[4].length() == 0) open.push_back(m[2]);
            text.clear();
        }
    }
    r.ok = !r.root.empty() && open.empty();
    if (r.ok) r.error.clear();
    return r;
}
