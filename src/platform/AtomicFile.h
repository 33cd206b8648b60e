#pragma once
// Whole-file reads and writes. A write never leaves a half-written target: the bytes go to a
// temporary file in the target's folder, are flushed to disk and then renamed over the target.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

/** Replaces the file at `path` with `bytes`. On failure returns false with a message naming the
 *  path and the system's reason; the target is then untouched and no temporary file remains.
 *  A new file gets the usual permissions (0666 less the umask), a replaced one keeps its own. */
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         std::string& error);

/** Appends bytes to the file being written; false when they cannot be written. */
using CByteSink = std::function<bool(const uint8_t* bytes, size_t count)>;
/** The same for content made part by part (a large log need not be held twice in memory):
 *  `produce` hands every part to the sink and returns false to abandon the save (the message
 *  then says the content could not be written). */
bool WriteFileInParts(const std::string& path, const std::function<bool(const CByteSink&)>& produce,
                      std::string& error);

/** Reads the whole file at `path` into `out`. Refuses anything that is not a regular file (never
 *  waiting on a FIFO) or is larger than `maxBytes`. On failure `out` is unchanged and `error`
 *  says why. */
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out, std::string& error,
                   size_t maxBytes);

/** Reads the first `count` bytes of the file at `path` (fewer when it is shorter), so a reader
 *  can tell a file of its kind before reading all of it. Refuses what ReadFileBytes refuses
 *  except the size. */
bool ReadFileHead(const std::string& path, std::vector<uint8_t>& out, std::string& error,
                  size_t count);
