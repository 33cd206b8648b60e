#pragma once
// The response text file: five header lines ("Type", "Number of Elements", "Sample Rate",
// "Gain", "Delay", each a %+07.7e number) and one line per element for each block, channel
// after channel. Readers check every header against the receiving block, which must already
// have the file's type, size and sample rate. A failed read or write leaves its message in the
// block's (or list's) error text.

#include <cstdint>
#include <string>
#include <string_view>

class CDSPFFTData;
class CDSPFFTDataList;
class CTextLineReader;

namespace ResponseFile {

/** Whether a header value looks like one written number (15 characters), one with its line
 *  end (16) or one data line (48): digits and ", eE+-.\r\n" only. */
bool IsCDSPFFTDataString(std::string_view text);

/** Appends the block's response text (header and data lines, stored line ends); returns N. */
int32_t WriteText(const CDSPFFTData& block, std::string& text);
/** How the data lines of a block are read: each field like atof (what other installations
 *  read), or each line as exactly three whole numbers (the data logger's own files, where a
 *  damaged line must not pass as zeros). */
enum class EDataLines { Atof, WholeNumbers };
/** Reads one block of response text from the reader's position; `channel` is 0-based
 *  (messages count from 1). Returns N, or 0 with the block's error text set. */
int32_t ReadText(CDSPFFTData& block, CTextLineReader& reader, const std::string& path, int channel,
                 EDataLines lines = EDataLines::Atof);
/** Reads every block of the list from response text; returns the last block's size, or 0 at
 *  the first block that fails, whose error text the list copies. */
int32_t ReadText(CDSPFFTDataList& list, std::string_view text, const std::string& path);

/** Writes the block as a response text file; returns N, 0 when the file cannot be written. */
int32_t Save(CDSPFFTData& block, const std::string& path);
/** Reads the first block of a response text file into the block, as ReadText does. */
int32_t Open(CDSPFFTData& block, const std::string& path, int channel);
/** Writes every block into one response text file; returns the sum of the blocks' sizes, 0
 *  (with the list's error text set) when the file cannot be written. */
int32_t Save(CDSPFFTDataList& list, const std::string& path);
/** Reads every block from one response text file, as ReadText does. */
int32_t Open(CDSPFFTDataList& list, const std::string& path);

} // namespace ResponseFile
