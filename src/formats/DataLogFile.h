#pragma once
// The data logger's files. A plot file (.plt) holds one plot: a title line and a plot count
// line (always 1), each ending in "\r\n" (so CR CR LF on disk), then the plot's channel list as
// response text. A data log file (.dlg) holds the whole log: six header lines (title, plots,
// channels, type, size, sample rate) and every plot's channel list after them. Readers accept
// LF, CR LF and CR CR LF line ends, never trust a count before checking it against the text, read
// every data line as exactly three numbers, and change the log only once the whole file has been
// read: a damaged or cut file leaves it as it was.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CDSPFFTDataLogList;

namespace DataLogFile {

/** Largest data log file read: the text of a log at the logger's largest byte limit (its text
 *  takes about twice the memory of its values). */
constexpr size_t kMaxDataLogFileBytes = size_t(4) << 30;

/** Most empty plots a plot file read appends before the plot it fills: the data logger
 *  offers Plot1 to Plot6, whatever the log holds. */
constexpr int kMaxPlotsAppended = 5;

/** The plot file text of plot `plot` with `title`; the sum of its block sizes, 0 when the log
 *  has no such plot. */
int32_t PlotText(const CDSPFFTDataLogList& log, int plot, const std::string& title,
                 std::string& text);
/** Writes plot `plot` as a plot file; the plot list's result (the sum of its block sizes), 0
 *  without the plot or when the file cannot be written (the log's error text says why). */
int32_t SavePlot(CDSPFFTDataLogList& log, int plot, const std::string& path,
                 const std::string& title);

/** Reads a plot file's text into plot `plot`, appending empty plots of the given shape until it
 *  exists (at most kMaxPlotsAppended). True when the plot read back the log's size: the plot's
 *  used count and title are then set. False, with the log unchanged and its error text saying
 *  where the file is damaged (line, what was expected). */
bool ReadPlotText(CDSPFFTDataLogList& log, int32_t channels, int32_t type, int32_t size,
                  double sampleRate, int plot, std::string_view text, const std::string& path);
bool OpenPlot(CDSPFFTDataLogList& log, int32_t channels, int32_t type, int32_t size,
              double sampleRate, int plot, const std::string& path);

/** The data log file text with `title`; returns the sum of the plots' sizes (0 when empty,
 *  which writes the header alone). */
int32_t DataLogText(const CDSPFFTDataLogList& log, const std::string& title, std::string& text);
/** Writes the data log file; the result of DataLogText, 0 when the file cannot be written. */
int32_t Save(CDSPFFTDataLogList& log, const std::string& path, const std::string& title);

/** Replaces the log's plots, title and shape by those of a data log text, once every plot has
 *  been read. False, with the log unchanged, when the header does not describe a log the text
 *  can hold, a plot cannot be read, the text holds more than the plots it declares or ends in
 *  the middle of a line; the log's error text names the line, the plot and what was expected. */
bool ReadDataLogText(CDSPFFTDataLogList& log, std::string_view text, const std::string& path);
bool Open(CDSPFFTDataLogList& log, const std::string& path);

} // namespace DataLogFile
