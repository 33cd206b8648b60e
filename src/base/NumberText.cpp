#include "base/NumberText.h"

#include <locale.h>

#include <cctype>
#include <charconv>
#include <system_error>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// One conversion of a format: flags, width, precision, length and type.
struct CSpec {
    std::string flags;
    int width = -1;
    int precision = -1;
    std::string length;
    char type = 0;
};

// Parses the conversion after '%' at format[i]; leaves i on the conversion character.
CSpec ParseSpec(const char* format, size_t& i, va_list& args) {
    CSpec s;
    while (std::strchr("-+ #0", format[i]) && format[i])
        s.flags += format[i++];
    if (format[i] == '*') {
        s.width = va_arg(args, int);
        if (s.width < 0) {
            s.flags += '-';
            s.width = -s.width;
        }
        ++i;
    } else {
        while (std::isdigit(static_cast<unsigned char>(format[i])))
            s.width = (s.width < 0 ? 0 : s.width * 10) + (format[i++] - '0');
    }
    if (format[i] == '.') {
        ++i;
        s.precision = 0;
        if (format[i] == '*') {
            s.precision = va_arg(args, int);
            ++i;
        } else {
            while (std::isdigit(static_cast<unsigned char>(format[i])))
                s.precision = s.precision * 10 + (format[i++] - '0');
        }
    }
    while (std::strchr("hlLqjzt", format[i]) && format[i])
        s.length += format[i++];
    s.type = format[i];
    return s;
}

// The conversion as printf text, with or without its width.
std::string SpecText(const CSpec& s, bool width) {
    std::string f = "%" + s.flags;
    if (width && s.width >= 0) f += std::to_string(s.width);
    if (s.precision >= 0) f += "." + std::to_string(s.precision);
    return f + s.length + s.type;
}

// Widens a two-digit exponent ("e+05") to three digits ("e+005").
void WidenExponent(std::string& text) {
    const size_t e = text.find_first_of("eE");
    if (e == std::string::npos || e + 1 >= text.size()) return;
    const size_t digits = e + 2;
    if (text.size() - digits < 3) text.insert(digits, 3 - (text.size() - digits), '0');
}

// Pads a converted floating-point number to the field width as printf's flags ask.
std::string Pad(const std::string& text, const CSpec& s) {
    if (s.width < 0 || text.size() >= size_t(s.width)) return text;
    const size_t fill = size_t(s.width) - text.size();
    if (s.flags.find('-') != std::string::npos) return text + std::string(fill, ' ');
    const bool finite = text.find_first_of("nN") == std::string::npos; // not inf or nan
    if (s.flags.find('0') != std::string::npos && finite) {
        const size_t sign = (!text.empty() && std::strchr("+- ", text[0])) ? 1 : 0;
        return text.substr(0, sign) + std::string(fill, '0') + text.substr(sign);
    }
    return std::string(fill, ' ') + text;
}

std::string Convert(const char* conversion, ...) __attribute__((format(printf, 1, 2)));
std::string Convert(const char* conversion, ...) {
    va_list args;
    va_start(args, conversion);
    char small[128];
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(small, sizeof small, conversion, copy);
    va_end(copy);
    std::string out;
    if (n >= 0 && size_t(n) < sizeof small) {
        out.assign(small, size_t(n));
    } else if (n >= 0) {
        out.resize(size_t(n) + 1);
        std::vsnprintf(out.data(), out.size(), conversion, args);
        out.resize(size_t(n));
    }
    va_end(args);
    return out;
}

// The "C" locale for this thread while formatting, whatever the program's locale (a GUI toolkit
// sets the user's, which would print decimal commas into files).
class CScopedCLocale {
public:
    CScopedCLocale() : m_previous(uselocale(CLocale())) {}
    ~CScopedCLocale() { uselocale(m_previous); }
    CScopedCLocale(const CScopedCLocale&) = delete;
    CScopedCLocale& operator=(const CScopedCLocale&) = delete;

private:
    static locale_t CLocale() {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
        return c;
    }
    locale_t m_previous;
};

} // namespace

std::string FormatText(const char* format, ...) {
    const CScopedCLocale cLocale;
    va_list args;
    va_start(args, format);
    std::string out;
    for (size_t i = 0; format[i]; ++i) {
        if (format[i] != '%') {
            out += format[i];
            continue;
        }
        ++i;
        if (format[i] == '%') {
            out += '%';
            continue;
        }
        const CSpec s = ParseSpec(format, i, args);
        if (!s.type) break;
        // Exponent conversions are padded here, after their exponent was widened; the others
        // keep printf's own field width.
        const bool exponent = std::strchr("eEgG", s.type) != nullptr;
        const std::string conversion = SpecText(s, !exponent);
        std::string text;
        switch (s.type) {
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'f':
        case 'F':
        case 'a':
        case 'A':
            text = s.length == "L" ? Convert(conversion.c_str(), va_arg(args, long double))
                                   : Convert(conversion.c_str(), va_arg(args, double));
            if (exponent) {
                if (text.find_first_of("nN") == std::string::npos) WidenExponent(text);
                text = Pad(text, s);
            }
            break;
        case 'd':
        case 'i':
        case 'u':
        case 'x':
        case 'X':
        case 'o':
        case 'c':
            if (s.length == "ll" || s.length == "q" || s.length == "j")
                text = Convert(conversion.c_str(), va_arg(args, long long));
            else if (s.length == "l" || s.length == "z" || s.length == "t")
                text = Convert(conversion.c_str(), va_arg(args, long));
            else
                text = Convert(conversion.c_str(), va_arg(args, int));
            break;
        case 's':
            text = Convert(conversion.c_str(), va_arg(args, const char*));
            break;
        case 'p':
            text = Convert(conversion.c_str(), va_arg(args, void*));
            break;
        default:
            text = std::string("%") + s.type; // unknown conversions are copied
            break;
        }
        out += text;
    }
    va_end(args);
    return out;
}

double ParseDouble(std::string_view text) {
    // The C library's own reading (atof is strtod), with the "C" locale's decimal point.
    CScopedCLocale c;
    const std::string terminated(text);
    return std::strtod(terminated.c_str(), nullptr);
}

bool ParseExactNumber(std::string_view text, double& value, std::string& reason) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    reason = "is not a number";
    // from_chars would take "inf" and "nan"; a number starts with a digit or a point.
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.'))
        return false;
    double parsed = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec == std::errc::result_out_of_range) {
        reason = "is out of range";
        return false;
    }
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    value = negative ? -parsed : parsed;
    reason.clear();
    return true;
}
