#include "formats/ResponseFile.h"

#include "base/NumberText.h"
#include "base/TextLines.h"
#include "dsp/DSPFFTDataList.h"
#include "formats/TextFile.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <utility>

namespace {

constexpr const char* kNoFileName = "File Name Not Specified.";

// A number as C's (int) cast truncates it, kept inside the int range (NaN gives 0).
int TruncateToInt(double x) {
    if (std::isnan(x)) return 0;
    if (x >= double(INT_MAX)) return INT_MAX;
    if (x <= double(INT_MIN)) return INT_MIN;
    return static_cast<int>(x);
}

// The text two characters after a header line's colon; empty without one.
std::string_view HeaderValue(std::string_view line) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon + 2 > line.size()) return {};
    return line.substr(colon + 2);
}

// The text before the first space or tab, and the text after that separator.
std::pair<std::string_view, std::string_view> SplitField(std::string_view text) {
    const size_t separator = text.find_first_of(" \t");
    if (separator == std::string_view::npos) return {text, {}};
    return {text.substr(0, separator), text.substr(separator + 1)};
}

// One whole number: a sign, digits with a point and an exponent, or an infinity or NaN as a
// block may hold them; nothing before or after it.
bool ReadWholeNumber(std::string_view field, double& value) {
    const bool negative = !field.empty() && field[0] == '-';
    if (!field.empty() && (field[0] == '+' || field[0] == '-')) field.remove_prefix(1);
    if (field.empty() || field[0] == '+' || field[0] == '-') return false;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (ec != std::errc() || end != field.data() + field.size()) return false;
    if (negative) value = -value;
    return true;
}

// A data line as exactly three whole numbers separated by blanks.
bool ReadThreeNumbers(std::string_view line, double (&values)[3]) {
    int fields = 0;
    size_t pos = 0;
    while (true) {
        pos = line.find_first_not_of(" \t", pos);
        if (pos == std::string_view::npos) break;
        const size_t end = std::min(line.find_first_of(" \t", pos), line.size());
        if (fields == 3 || !ReadWholeNumber(line.substr(pos, end - pos), values[fields]))
            return false;
        ++fields;
        pos = end;
    }
    return fields == 3;
}

} // namespace

namespace ResponseFile {

bool IsCDSPFFTDataString(std::string_view text) {
    if (text.size() != 15 && text.size() != 16 && text.size() != 48) return false;
    for (const char c : text)
        if (!(c >= '0' && c <= '9') && std::string_view(", eE+-.\r\n").find(c) == std::string::npos)
            return false;
    return true;
}

int32_t WriteText(const CDSPFFTData& block, std::string& text) {
    const int32_t n = block.HasArrays() ? block.GetSize() : 0;
    text += FormatText(";Type                      : %+07.7e\n", double(block.GetType()));
    text += FormatText(";Number of Elements        : %+07.7e\n", double(n));
    text += FormatText(";Sample Rate               : %+07.7e\n", block.GetSampleRate());
    text += FormatText(";Gain                      : %+07.7e\n", block.GetGain());
    text += FormatText(";Delay                     : %+07.7e\n", block.GetDelay());
    if (n == 0) return 0;
    const double* time = block.GetTimeObj()->GetDataPointer();
    const double* magnitude = block.GetFreqObj()->GetDataPointer();
    const double* phase = block.GetPhaseObj()->GetDataPointer();
    text.reserve(text.size() + size_t(n) * 48);
    for (int32_t i = 0; i < n; ++i)
        text += FormatText("%+07.7e %+07.7e %+07.7e\n", time[i], magnitude[i], phase[i]);
    return n;
}

int32_t ReadText(CDSPFFTData& block, CTextLineReader& reader, const std::string& path, int channel,
                 EDataLines lines) {
    const int ch = channel + 1;
    const char* file = path.c_str();
    const char* module = block.GetProcessDescription().c_str();
    auto fail = [&block](const std::string& message) {
        block.SetErrorText(message);
        return 0;
    };
    std::string_view line;
    std::string_view value;
    auto next = [&] {
        if (!reader.ReadLine(line)) return false;
        value = HeaderValue(line);
        return true;
    };

    if (!next())
        return fail(FormatText("Cannot read the channel %i data array type setting in the '%s' "
                               "file.\r\n The files data array type setting must be %i",
                               ch, file, block.GetType()));
    if (!IsCDSPFFTDataString(value) || TruncateToInt(ParseDouble(value)) != block.GetType())
        return fail(FormatText("The channel %i Data Array Type in %s Module is set to %i.\r\nThe "
                               "channel %i Data Array Type setting in the '%s' File is %i.",
                               ch, module, block.GetType(), ch, file,
                               TruncateToInt(ParseDouble(value))));

    const int32_t n = block.GetSize();
    if (!next())
        return fail(FormatText("Cannot read the channel %i data array size setting in the '%s' "
                               "file.\r\n The files data array type setting must be %i",
                               ch, file, n));
    if (!IsCDSPFFTDataString(value) || ParseDouble(value) != double(n))
        return fail(FormatText("The channel %i data array size in %s module is set to %i "
                               "elements.\r\nThe channel %i data array size in '%s' file is %i "
                               "elements.",
                               ch, module, n, ch, file, TruncateToInt(ParseDouble(value))));

    const double fs = block.GetSampleRate();
    if (!next())
        return fail(FormatText("Cannot read the channel %i data array sample rate setting in the "
                               "'%s' file.\r\n The files data array sample rate setting must be "
                               "%i samp/sec",
                               ch, file, TruncateToInt(fs)));
    if (!IsCDSPFFTDataString(value) || ParseDouble(value) != fs)
        return fail(FormatText("The channel %i data array sample rate in %s module is set to %i "
                               "samp/sec.\r\nThe channel %i data array size in '%s' file is %i "
                               "samp/sec.",
                               ch, module, TruncateToInt(fs), ch, file,
                               TruncateToInt(ParseDouble(value))));

    // Gain and delay are taken over; the check after storing refuses NaN.
    struct CSetting {
        const char* name;
        double (CDSPFFTData::*set)(double);
    };
    for (const CSetting& s : {CSetting{"gain", &CDSPFFTData::SetGain},
                              CSetting{"phase delay", &CDSPFFTData::SetDelay}}) {
        const std::string cannotRead = FormatText(
            "Cannot read the channel %i data array %s setting in the '%s' file.", ch, s.name, file);
        if (!next()) return fail(cannotRead);
        const double x = ParseDouble(value);
        if (!IsCDSPFFTDataString(value) || (block.*s.set)(x) != x)
            return fail(cannotRead + FormatText("\r\nCh%i data array %s is '%s'.\r\nCannot set "
                                                "channel %i %s.",
                                                ch, s.name, std::string(value).c_str(), ch,
                                                s.name));
    }

    if (!block.HasArrays()) return 0;
    double* time = block.GetTimeObj()->GetDataPointer();
    double* magnitude = block.GetFreqObj()->GetDataPointer();
    double* phase = block.GetPhaseObj()->GetDataPointer();
    for (int32_t i = 0; i < n; ++i) {
        if (!reader.ReadLine(line))
            return fail(FormatText("Channel %i data length in file '%s' is too short at element "
                                   "%i.",
                                   ch, file, i));
        if (lines == EDataLines::WholeNumbers) {
            double values[3];
            if (!ReadThreeNumbers(line, values))
                return fail(FormatText("File '%s' does not hold the three numbers of channel %i "
                                       "element %i there: '%s'.",
                                       file, ch, i, std::string(line.substr(0, 60)).c_str()));
            time[i] = values[0];
            magnitude[i] = values[1];
            phase[i] = values[2];
            continue;
        }
        // A response block takes the file's frequency axis with its values.
        const auto [first, rest] = SplitField(line);
        const auto [second, third] = SplitField(rest);
        time[i] = ParseDouble(first);
        magnitude[i] = ParseDouble(second);
        phase[i] = ParseDouble(third);
    }
    return n;
}

int32_t Save(CDSPFFTData& block, const std::string& path) {
    std::string text;
    const int32_t n = WriteText(block, text);
    std::string error;
    if (!WriteTextFile(path, text, error)) {
        block.SetErrorText(error);
        return 0;
    }
    return n;
}

int32_t Open(CDSPFFTData& block, const std::string& path, int channel) {
    std::string text;
    std::string error;
    if (path.empty()) error = kNoFileName;
    if (!error.empty() || !ReadTextFile(path, text, error)) {
        block.SetErrorText(error);
        return 0;
    }
    CTextLineReader reader(text);
    return ReadText(block, reader, path, channel);
}

int32_t Save(CDSPFFTDataList& list, const std::string& path) {
    std::string text;
    int32_t sum = 0;
    for (int channel = 0; channel < list.GetNumChans(); ++channel)
        sum += WriteText(*list.GetAt(channel), text);
    std::string error;
    if (!WriteTextFile(path, text, error)) {
        list.SetErrorText(error);
        return 0;
    }
    return sum;
}

int32_t Open(CDSPFFTDataList& list, const std::string& path) {
    std::string text;
    std::string error;
    if (path.empty()) error = kNoFileName;
    if (!error.empty() || !ReadTextFile(path, text, error)) {
        list.SetErrorText(error);
        return 0;
    }
    return ReadText(list, text, path);
}

int32_t ReadText(CDSPFFTDataList& list, std::string_view text, const std::string& path) {
    CTextLineReader reader(text);
    int32_t result = 0;
    for (int channel = 0; channel < list.GetNumChans(); ++channel) {
        CDSPFFTData& block = *list.GetAt(channel);
        result = ReadText(block, reader, path, channel);
        if (result == 0) {
            list.SetErrorText(block.GetErrorText());
            return 0;
        }
    }
    return result;
}

} // namespace ResponseFile
