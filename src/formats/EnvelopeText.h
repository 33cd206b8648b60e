#pragma once
// The envelope text of the arbitrary filter: one point per line, "frequency, dB, degrees",
// separated by spaces or commas. Lines holding a punctuation character (titles, comments) are
// skipped. Parsing gathers the points into per-bin sums; the response built from them is the
// filter module's business. Also the rewrite a response file's lines get when they are loaded
// into an envelope text (linear magnitudes shown as dB).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace EnvelopeText {

/** Per bin (0..N-1): the sum of the dB values and phases that fell into it, and how many. */
struct CBinSums {
    std::vector<double> dbSum, dbCount, phaseSum, phaseCount;
    /** Zeroes `bins` bins. */
    void Clear(int32_t bins);
};

/** Where the points of a text go: bins of `binWidth` Hz (fs / FFT size) up to bin `lastBin`
 *  (N/2); frequencies must lie in 0 .. `sampleRate` / 2. */
struct CBinning {
    double sampleRate = 0.0;
    double binWidth = 0.0;
    int32_t lastBin = 0;
};

/** The bin a frequency falls into; -1 beyond the last bin. Frequency 0 is bin 0, anything below
 *  1.5 bin widths bin 1, otherwise the nearest bin centre. */
int32_t BinOf(double frequency, const CBinning& binning);

/** Lines of an edit text as a text control counts them: split at line ends ("\n", "\r\n" or the
 *  "\r\r\n" of a filter file saved through a text-mode stream), so that a text ending with a
 *  line end has an empty last line. */
std::vector<std::string_view> SplitLines(std::string_view text);

/** Parses the whole text into `sums` (cleared first, sized lastBin + 1). Returns an empty text,
 *  or the message naming the first faulty line (1-based). */
std::string Parse(std::string_view text, const CBinning& binning, CBinSums& sums);

/** Maximum characters a line of a loaded file holds before it is cut (and reported). */
constexpr size_t kMaxFileLine = 99;

/** The edit text of a file's contents: lines of at most kMaxFileLine characters, each ended by
 *  "\r\n". With `response` set, the second element of every line without ";" (a linear
 *  magnitude of a response file) is overwritten in place by its value in dB ("%+07.7E").
 *  `lineTooLong` is set when a line had to be cut. */
std::string FromFile(std::string_view contents, bool response, bool& lineTooLong);

} // namespace EnvelopeText
