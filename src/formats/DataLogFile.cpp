#include "formats/DataLogFile.h"

#include "base/NumberText.h"
#include "base/TextLines.h"
#include "dsp/DSPFFTDataLogList.h"
#include "formats/ResponseFile.h"
#include "formats/TextFile.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <vector>

namespace {

// Text after the first ':' of a header line; empty without one.
std::string_view AfterColon(std::string_view line) {
    const size_t colon = line.find(':');
    return colon == std::string_view::npos ? std::string_view() : line.substr(colon + 1);
}

int TruncateToInt(double x) {
    if (!(x == x)) return 0;
    if (x >= double(INT_MAX)) return INT_MAX;
    if (x <= double(INT_MIN)) return INT_MIN;
    return static_cast<int>(x);
}

// The shortest text one element takes in a response text: one line of three numbers.
constexpr size_t kMinElementBytes = 16;

bool Fail(CDSPFFTDataLogList& log, const std::string& message) {
    log.SetErrorText(message);
    return false;
}

// Reads each block of the plot from the reader; the block size read, 0 at the first failure,
// whose message goes into the log's error text after `where` and the line it stopped at.
int32_t ReadPlot(CDSPFFTDataLogList& log, CDSPFFTDataList& plot, CTextLineReader& reader,
                 const std::string& path, const std::string& where) {
    int32_t count = 0;
    for (int c = 0; c < plot.GetNumChans(); ++c) {
        count = ResponseFile::ReadText(*plot.GetAt(c), reader, path, c,
                                       ResponseFile::EDataLines::WholeNumbers);
        if (count == 0) {
            // Where it stopped: the line that does not fit, or the end of the text.
            const char* at = reader.PassedEnd() ? "the file ends after line" : "line";
            log.SetErrorText(where + FormatText("%s %zu: ", at, reader.GetLineNumber()) +
                             plot.GetAt(c)->GetErrorText());
            return 0;
        }
    }
    return count;
}

// The text up to its last line feed: a file cut off while it was copied ends inside a line,
// which must not be read as a shorter number. `cutLine` is the number of that line, 0 when
// the text ends with its line feed.
std::string_view WholeLines(std::string_view text, size_t& cutLine) {
    cutLine = 0;
    if (text.empty() || text.back() == '\n') return text;
    const size_t feed = text.rfind('\n');
    const std::string_view whole = feed == std::string_view::npos ? "" : text.substr(0, feed + 1);
    cutLine = size_t(std::count(whole.begin(), whole.end(), '\n')) + 1;
    return whole;
}

bool FailCut(CDSPFFTDataLogList& log, size_t cutLine) {
    if (cutLine != 0)
        log.SetErrorText(log.GetErrorText() +
                         FormatText(" The file ends in the middle of line %zu.", cutLine));
    return false;
}

int32_t PlotListText(const CDSPFFTDataList& plot, std::string& text) {
    int32_t sum = 0;
    for (int c = 0; c < plot.GetNumChans(); ++c)
        sum += ResponseFile::WriteText(*plot.GetAt(c), text);
    return sum;
}

} // namespace

namespace DataLogFile {

int32_t PlotText(const CDSPFFTDataLogList& log, int plot, const std::string& title,
                 std::string& text) {
    const CDSPFFTDataList* list = log.GetAt(plot);
    if (!list) return 0;
    text = "Plot Title         :" + title + "\r\n";
    text += "Number of Plots    :" + FormatText("%+07.7E", 1.0) + "\r\n";
    return PlotListText(*list, text);
}

int32_t SavePlot(CDSPFFTDataLogList& log, int plot, const std::string& path,
                 const std::string& title) {
    std::string text, error;
    const int32_t sum = PlotText(log, plot, title, text);
    if (sum == 0) return 0;
    if (!WriteTextFile(path, text, error)) return Fail(log, error);
    return sum;
}

bool ReadPlotText(CDSPFFTDataLogList& log, int32_t channels, int32_t type, int32_t size,
                  double sampleRate, int plot, std::string_view text, const std::string& path) {
    size_t cutLine = 0;
    CTextLineReader reader(WholeLines(text, cutLine));
    std::string_view line;
    const std::string title = reader.ReadLine(line) ? std::string(AfterColon(line)) : "";
    const double plots = reader.ReadLine(line) ? ParseDouble(AfterColon(line)) : 0.0;
    if (plots != 1.0)
        return Fail(log, FormatText("The number of plots in File '%s' is %i.\r\nThe Number of "
                                    "plots in the file must be 1.",
                                    path.c_str(), TruncateToInt(plots)));
    if (plot < 0 || plot - log.GetCount() > kMaxPlotsAppended)
        return Fail(log, FormatText("Plot%i cannot be read from File '%s': the log holds %i plots.",
                                    plot + 1, path.c_str(), log.GetCount()));
    // Read into a plot of its own first, so that a damaged file leaves the log as it was.
    auto read = std::make_unique<CDSPFFTDataList>();
    if (!read->Create(channels, type, size, sampleRate, log.GetProcessDescription()))
        return Fail(log, "Unable to create a plot of the file's shape.");
    const int32_t count = ReadPlot(log, *read, reader, path, "Plot file, ");
    if (count == 0) return FailCut(log, cutLine);
    if (count != log.GetSize())
        return Fail(log, FormatText("The plot in File '%s' holds %i elements, not %i.",
                                    path.c_str(), count, log.GetSize()));
    read->SetNumUsed(count);
    read->SetTitle(title);
    while (log.GetCount() <= plot)
        if (!log.AddEmpty(channels, type, size, sampleRate))
            return Fail(log, "Unable to create a plot of the file's shape.");
    return log.Replace(plot, std::move(read));
}

bool OpenPlot(CDSPFFTDataLogList& log, int32_t channels, int32_t type, int32_t size,
              double sampleRate, int plot, const std::string& path) {
    std::string text, error;
    if (!ReadTextFile(path, text, error)) return Fail(log, error);
    return ReadPlotText(log, channels, type, size, sampleRate, plot, text, path);
}

namespace {
std::string DataLogHeader(const CDSPFFTDataLogList& log, const std::string& title) {
    const CDSPFFTDataList* first = log.GetAt(0);
    const CDSPFFTData* block = first ? first->GetAt(0) : nullptr;
    std::string text = FormatText(";Datalog Plot Title        : %s\n", title.c_str());
    text += FormatText(";Datalog Number of Plots   : %+07.7e\n", double(log.GetCount()));
    text += FormatText(";Datalog Number of Channels: %+07.7e\n",
                       first ? double(first->GetNumChans()) : 0.0);
    text += FormatText(";Datalog Type              : %+07.7e\n",
                       block ? double(block->GetType()) : 0.0);
    text += FormatText(";Datalog Size              : %+07.7e\n",
                       block ? double(block->GetSize()) : 0.0);
    text +=
        FormatText(";Datalog Sample Rate       : %+07.7e\n", block ? block->GetSampleRate() : 0.0);
    return text;
}
} // namespace

int32_t DataLogText(const CDSPFFTDataLogList& log, const std::string& title, std::string& text) {
    text = DataLogHeader(log, title);
    int32_t sum = 0;
    for (int p = 0; p < log.GetCount(); ++p)
        sum += PlotListText(*log.GetAt(p), text);
    return sum;
}

int32_t Save(CDSPFFTDataLogList& log, const std::string& path, const std::string& title) {
    // Written plot by plot: the text of a full log is twice the size of the log itself.
    int part = -1;
    int32_t sum = 0;
    std::string error;
    const bool written = WriteTextFile(
        path,
        [&](std::string& text) {
            if (part >= log.GetCount()) return false;
            if (part < 0)
                text = DataLogHeader(log, title);
            else
                sum += PlotListText(*log.GetAt(part), text);
            ++part;
            return true;
        },
        error);
    if (!written) return Fail(log, error);
    return sum;
}

bool ReadDataLogText(CDSPFFTDataLogList& log, std::string_view text, const std::string& path) {
    static const char* const kHeaderNames[5] = {"number of plots", "number of channels", "type",
                                                "size", "sample rate"};
    size_t cutLine = 0;
    CTextLineReader reader(WholeLines(text, cutLine));
    std::string_view line;
    std::string title;
    double header[5] = {};
    for (int i = 0; i < 6; ++i) {
        if (!reader.ReadLine(line))
            return Fail(log, FormatText("The data log header of File '%s' ends after line %zu; it "
                                        "has six lines.",
                                        path.c_str(), reader.GetLineNumber()));
        std::string_view value = AfterColon(line);
        const std::string_view number =
            value.substr(std::min(value.find_first_not_of(' '), value.size()));
        std::string reason;
        // The writer puts one blank after the colon; the title keeps what follows it.
        if (i == 0)
            title = std::string(value.substr(!value.empty() && value[0] == ' ' ? 1 : 0));
        else if (!ParseExactNumber(value, header[i - 1], reason))
            return Fail(log, FormatText("Line %d of File '%s', the data log %s, %s: '%s'.", i + 1,
                                        path.c_str(), kHeaderNames[i - 1], reason.c_str(),
                                        std::string(number).c_str()));
    }
    const int plots = TruncateToInt(header[0]);
    const int channels = TruncateToInt(header[1]);
    const int type = TruncateToInt(header[2]);
    const int size = TruncateToInt(header[3]);
    const int rate = TruncateToInt(header[4]);
    if (plots < 0 || channels < 1 || channels > 2 || !CDSPData::IsValidType(type) || size < 1 ||
        size > CDSPData::kMaxSize || rate < 1)
        return Fail(log, FormatText("The data log header of File '%s' describes %i plots of %i "
                                    "channels, type %i, %i elements at %i samp/sec, which no "
                                    "data log holds.",
                                    path.c_str(), plots, channels, type, size, rate));
    // Every element of every block needs a line of its own in the text.
    const double needed = double(plots) * channels * size * kMinElementBytes;
    if (needed > double(text.size())) {
        log.SetErrorText(FormatText("The data log header of File '%s' describes %i plots of %i "
                                    "channels of %i elements, which take at least %.0f bytes; "
                                    "the file holds %zu bytes.",
                                    path.c_str(), plots, channels, size, needed, text.size()));
        return FailCut(log, cutLine);
    }
    // Read into a log of its own and take its plots only when all of them were read: a damaged
    // file must not cost the plots measured so far.
    CDSPFFTDataLogList read;
    read.SetProcessDescription(log.GetProcessDescription());
    read.SetShape(channels, type, size, rate, plots);
    for (int p = 0; p < plots; ++p) {
        if (!read.AddEmpty(channels, type, size, rate))
            return Fail(log, "Unable to create a plot of the file's shape.");
        CDSPFFTDataList& plot = *read.GetAt(p);
        const int32_t count =
            ReadPlot(log, plot, reader, path, FormatText("Plot %d of %d, ", p + 1, plots));
        if (count == 0) return FailCut(log, cutLine);
        plot.SetNumUsed(count);
    }
    while (reader.ReadLine(line))
        if (line.find_first_not_of(" \t") != std::string_view::npos)
            return Fail(log, FormatText("File '%s' holds more than the %d plots its header "
                                        "declares: line %zu is not part of them.",
                                        path.c_str(), plots, reader.GetLineNumber()));
    if (cutLine != 0)
        return Fail(log, FormatText("File '%s' ends in the middle of line %zu, after its %d plots.",
                                    path.c_str(), cutLine, plots));
    read.SetDataLogFileTitle(title);
    log.TakePlots(read);
    return true;
}

bool Open(CDSPFFTDataLogList& log, const std::string& path) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadTextFileBytes(path, bytes, kMaxDataLogFileBytes, error)) return Fail(log, error);
    return ReadDataLogText(
        log, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), path);
}

} // namespace DataLogFile
