#pragma once
// Clipboard block text: per element three numbers (%+07.7E) separated by tabs, CR LF after
// each, blocks one after another; and the envelope edit text a block shows in a text control.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CDSPFFTData;
class CDSPFFTDataList;
class IClipboard;

namespace ClipboardText {

/** Block text of the first `count` elements (at most N), appended to `text`; resets each
 *  element written (time 0, magnitude 1, phase 0, a response block's frequency axis) when
 *  `reset` is set. Returns the lines written. */
int32_t WriteText(CDSPFFTData& block, int32_t count, bool reset, std::string& text);

/** How a read of block text ended: all elements read; stopped early by the end of the text or
 *  a field of 19 characters; refused for a character that cannot be part of a number. */
enum class EReadEnd { Complete, Ended, Refused };
/** Reads block text from `pos` onwards into the first `count` elements (at most N), leaving
 *  `pos` after the last element read; the character check is skipped when `checkCharacters`
 *  is false. Elements read before a stop stay filled. */
EReadEnd ReadText(CDSPFFTData& block, int32_t count, std::string_view text, size_t& pos,
                  bool checkCharacters);

/** Puts the first `count` elements (at most N) on the clipboard; returns how many, also when
 *  the clipboard refused the text. */
int32_t Copy(CDSPFFTData& block, int32_t count, IClipboard& clipboard);
/** Copies all N elements and resets the block to its fresh contents; returns N. */
int32_t Cut(CDSPFFTData& block, IClipboard& clipboard);
/** Reads up to `count` elements (at most N) from the clipboard. Returns the clipboard's line
 *  count (its length / 49), or 0 for no text or a field with a character that cannot be part
 *  of a number (elements read before stay filled). */
int32_t Paste(CDSPFFTData& block, int32_t count, IClipboard& clipboard);

// One channel of a list (0-based); 0 for a missing channel.
int32_t Cut(CDSPFFTDataList& list, int channel, IClipboard& clipboard);
/** Copies the whole block. */
int32_t Copy(CDSPFFTDataList& list, int channel, IClipboard& clipboard);
/** Pastes up to the block size and sets the block's number used to the result. */
int32_t Paste(CDSPFFTDataList& list, int channel, IClipboard& clipboard);

// All blocks of a list at once, one after another in one text.
/** Returns the lines per channel (the last block's count). */
int32_t Cut(CDSPFFTDataList& list, IClipboard& clipboard);
/** Returns the lines of all channels together. */
int32_t Copy(CDSPFFTDataList& list, IClipboard& clipboard);
/** Fills channel after channel from one text, without the character check, and sets every
 *  block's number used to the clipboard's line count, which it returns (0 for no text). */
int32_t Paste(CDSPFFTDataList& list, IClipboard& clipboard);

/** Replaces `text` with the block as envelope edit lines, thinned out to fit 65535 characters;
 *  returns the number of lines. */
int32_t CDSPFFTDataPaste(const CDSPFFTData& block, std::string& text);
/** The envelope edit text of one channel (0-based); 0 for a missing channel. */
int32_t CDSPFFTDataPaste(const CDSPFFTDataList& list, int channel, std::string& text);

} // namespace ClipboardText
