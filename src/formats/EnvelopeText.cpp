// Envelope text: the point grammar and the loading of filter and response files into an edit
// text.
#include "formats/EnvelopeText.h"

#include "base/NumberText.h"

#include <cmath>
#include <limits>

namespace EnvelopeText {

namespace {

// A line holding any of these is a title or comment line and carries no point.
constexpr std::string_view kCommentCharacters = "~`!@#$%^&*()_={[}]|\\:;'\"<>?/";
constexpr std::string_view kNumberCharacters = "0123456789, Ee+-.";
constexpr std::string_view kSeparators = " ,";
// The limits are the single-precision values of 999.99 and 99999.99 the original fields held.
constexpr double kMaxDecibels = 999.989990234375;
constexpr double kMaxDegrees = 99999.9921875;

std::string_view StripSeparators(std::string_view text) {
    const size_t start = text.find_first_not_of(kSeparators);
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

// The text from the first separator on; with none, the text stays as it is, so that the next
// element reads the same number again.
std::string_view NextElement(std::string_view text) {
    const size_t separator = text.find_first_of(kSeparators);
    return separator == std::string_view::npos ? text : text.substr(separator);
}

} // namespace

void CBinSums::Clear(int32_t bins) {
    for (std::vector<double>* v : {&dbSum, &dbCount, &phaseSum, &phaseCount})
        v->assign(size_t(bins), 0.0);
}

int32_t BinOf(double frequency, const CBinning& binning) {
    const double w = binning.binWidth;
    if (frequency == 0.0) return 0;
    if (frequency > 0.0 && frequency < 1.5 * w) return binning.lastBin >= 1 ? 1 : -1;
    const double k = std::floor(frequency / w + 0.5);
    if (!(k >= 2.0) || k > double(binning.lastBin)) return -1;
    return int32_t(k);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        std::string_view line =
            text.substr(start, end == std::string_view::npos ? text.npos : end - start);
        // "\r\n" written to a text-mode file is stored as CR CR LF: both CRs belong to the end.
        for (int cr = 0; cr < 2 && line.ends_with('\r'); ++cr)
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) return lines;
        start = end + 1;
    }
}

std::string Parse(std::string_view text, const CBinning& binning, CBinSums& sums) {
    const std::vector<std::string_view> lines = SplitLines(text);
    if (lines.size() <= 1) return "No Filter Characteristics In Edit Control";
    sums.Clear(binning.lastBin + 1);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const std::string number = std::to_string(i + 1);
        if (line.empty() || line.find_first_of(kCommentCharacters) != line.npos) continue;
        if (line.find_first_not_of(kNumberCharacters) != line.npos)
            return "Non Numeric Value In Frequency Element On Line: " + number;

        std::string_view rest = StripSeparators(line);
        const double frequency = ParseDouble(rest);
        if (!(frequency >= 0.0 && frequency <= binning.sampleRate / 2.0))
            return "Frequency Element out of Response Range On Line " + number +
                   "\r\n0 Hz < Frequency Element < Sample Rate / 2";
        rest = StripSeparators(NextElement(rest));
        const double decibels = ParseDouble(rest);
        if (!(std::fabs(decibels) <= kMaxDecibels))
            return "-999.99 dB > Amplitude Element > +999.99 dB On Line: " + number;
        rest = StripSeparators(NextElement(rest));
        const double degrees = ParseDouble(rest);
        if (!(std::fabs(degrees) <= kMaxDegrees))
            return "-99999.99 > Phase Element > +99999.99 On Line: " + number;

        const int32_t bin = BinOf(frequency, binning);
        if (bin < 0) continue;
        sums.dbSum[size_t(bin)] += decibels;
        sums.dbCount[size_t(bin)] += 1.0;
        sums.phaseSum[size_t(bin)] += degrees;
        sums.phaseCount[size_t(bin)] += 1.0;
    }
    return {};
}

namespace {

// A response file line with its linear magnitude (the second element) overwritten by its dB
// value, character for character from where the element starts.
std::string WithMagnitudeInDecibels(std::string line) {
    const size_t separator = line.find_first_of(kSeparators);
    if (separator == line.npos) return line;
    const size_t start = line.find_first_not_of(kSeparators, separator);
    if (start == line.npos) return line;
    // Silence has no level: the smallest positive double stands in for it, as on the plots.
    const double magnitude = std::max(ParseDouble(std::string_view(line).substr(start)),
                                      std::numeric_limits<double>::min());
    const std::string decibels = FormatText("%+07.7E", 20.0 * std::log10(magnitude));
    for (size_t i = 0; i < decibels.size(); ++i) {
        if (start + i < line.size())
            line[start + i] = decibels[i];
        else
            line += decibels[i];
    }
    return line;
}

} // namespace

std::string FromFile(std::string_view contents, bool response, bool& lineTooLong) {
    std::string text;
    lineTooLong = false;
    std::vector<std::string_view> lines = SplitLines(contents);
    if (lines.back().empty()) lines.pop_back(); // the end of the last line, not a line
    for (std::string_view whole : lines) {
        // A longer line goes in pieces of kMaxFileLine characters, each a line of its own.
        do {
            std::string line(whole.substr(0, kMaxFileLine));
            whole.remove_prefix(line.size());
            if (!whole.empty()) lineTooLong = true;
            if (!line.empty() && response && line.find(';') == line.npos)
                line = WithMagnitudeInDecibels(std::move(line));
            text += line;
            text += "\r\n";
        } while (!whole.empty());
    }
    return text;
}

} // namespace EnvelopeText
