#pragma once
// A RIFF file read and written directly: the outer `RIFF` chunk of one form type and its
// sub-chunks. Reading never trusts a size field: a chunk is cut at the end of the file, chunks
// may come in any order with unknown ones skipped, and a `data` chunk whose size was never
// fixed (0 or 0xFFFFFFFF after a crashed writer) runs to the end of the file. A `data` size of 0
// followed by nothing but whole chunks is an empty data chunk, not an unfixed one. Writing keeps
// the file valid at every Flush: the sizes of the chunk being written and of the `RIFF` chunk
// are fixed in place, and a write that fails is taken back, so a recording cut short by a full
// disk or a crash leaves a file of the blocks written so far. GUI thread.

#include "platform/RandomAccessFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

/** A four-character code as stored: the first character in the lowest byte. */
constexpr uint32_t RiffCode(const char (&text)[5]) {
    return uint32_t(uint8_t(text[0])) | uint32_t(uint8_t(text[1])) << 8 |
           uint32_t(uint8_t(text[2])) << 16 | uint32_t(uint8_t(text[3])) << 24;
}

enum class ERiffMode {
    Read,      // an existing file, descending into its RIFF chunk
    ReadWrite, // the same, with writes (appending to its last chunk)
    Create,    // a new file with an empty RIFF chunk
};

/** A chunk: its id, data size, the form type of a `RIFF` chunk, and where its data starts. */
struct CRiffChunk {
    uint32_t id = 0;
    uint32_t size = 0;
    uint32_t formType = 0;
    uint64_t dataOffset = 0;
    bool dirty = false; // written to since its size was last stored
};

class CRiffFile {
public:
    /** Opens `path`; in Read and ReadWrite mode the file must be a RIFF file of `formType`.
     *  Any failure closes what was opened and returns 0. */
    int Open(const std::string& path, ERiffMode mode, uint32_t formType);
    /** The data size of the first sub-chunk with this id (cut at the end of the file), with
     *  the position at its data; 0 when there is none. */
    uint32_t FindChunk(uint32_t id);
    /** Starts a sub-chunk of `size` bytes (0 while unknown) at the current position, after a
     *  pad byte when the position is odd. */
    bool CreateChunk(uint32_t id, uint32_t size);
    /** Leaves the current sub-chunk: a written one gets its size and pad byte. */
    void Ascend();

    /** Positions from the start of the file (Seek) or its end; the new position. */
    uint64_t Seek(uint64_t offset);
    uint64_t SeekEnd(int64_t offset);

    /** Bytes read at the position, which moves past them. */
    size_t Read(void* buffer, size_t count);
    /** Writes all of `count` bytes at the position or, taking back whatever part was written,
     *  none; returns the bytes written. A chunk cannot grow past the 4 GiB a RIFF size holds. */
    size_t Write(const void* buffer, size_t count);
    /** Stores the sizes of the chunks written to, so the file on disk is complete. */
    bool Flush();
    /** Ascends out of the sub-chunk and the RIFF chunk (storing their sizes) and closes. */
    void Close();

    bool IsOpen() const { return m_file.IsOpen(); }
    /** The current (last found or created) sub-chunk. */
    const CRiffChunk& GetChunk() const { return m_chunk; }
    /** Whether the current sub-chunk's data runs to the end of the file, so it can grow. */
    bool IsLastChunk() const;

private:
    bool ReadHeader(uint64_t offset, uint32_t& id, uint32_t& size);
    /** Whether the bytes from `offset` to `end` are one or more whole chunks with four-character
     *  codes (what follows an empty chunk), rather than samples a crashed writer left. */
    bool ChunksFill(uint64_t offset, uint64_t end);
    bool StoreUInt32(uint64_t offset, uint32_t value);
    /** Stores the current chunk's size and the RIFF size for the file as it is now. */
    bool StoreSizes();

    CRandomAccessFile m_file;
    ERiffMode m_mode = ERiffMode::Read;
    CRiffChunk m_riff;
    CRiffChunk m_chunk;
    bool m_inChunk = false;
    uint64_t m_position = 0;
};
