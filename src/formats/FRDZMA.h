#pragma once
// FRD files (sound pressure level per bin of one block) and ZMA files (impedance from a
// two-channel measurement), as files and as clipboard text. Files open with three comment lines
// and have LF line ends (stored as CR LF); clipboard text holds only the data lines, each ending
// in CR LF. A file that cannot be written leaves its message in the block's or list's error text.

#include <cstdint>
#include <string>

class CDSPFFTData;
class CDSPFFTDataList;
class IClipboard;

/** Writes the FRD file (sound pressure level per bin, `referenceLevel` in volts); returns N, 0
 *  without arrays or when the file cannot be written. */
int32_t SaveFRDdBSPL(CDSPFFTData& block, const std::string& path, const std::string& title,
                     double referenceLevel);
/** The FRD file of one channel (0-based) of a list; 0 for a missing channel. */
int32_t SaveFRDdBSPL(CDSPFFTDataList& list, int channel, const std::string& path,
                     const std::string& title, double referenceLevel);
/** Puts the FRD data lines on the clipboard; returns N/2 (0 without arrays). */
int32_t CopyFRDdBSPL(const CDSPFFTData& block, double referenceLevel, IClipboard& clipboard);

/** Writes the impedance file of a two-channel measurement (channel 1 drives the reference
 *  resistance `referenceResistance` in ohms, channel 2 is across the device); returns the
 *  list's size, 0 without two matching blocks or when the file cannot be written. */
int32_t SaveZMA(CDSPFFTDataList& list, const std::string& path, const std::string& title,
                double referenceResistance);
/** The same table as clipboard text; returns the list's size, 0 without two blocks. */
int32_t CopyZMA(const CDSPFFTDataList& list, double referenceResistance, IClipboard& clipboard);
