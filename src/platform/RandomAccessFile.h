#pragma once
// A regular file read and written at chosen offsets, for formats that stream data to the end
// of a file and then fix a size field near its start (RIFF). Refuses anything that is not a
// regular file, so a FIFO or a device never blocks or swallows a recording. GUI thread.

#include <cstddef>
#include <cstdint>
#include <string>

enum class EFileAccess {
    Read,      // an existing file, read only
    ReadWrite, // an existing file, read and written in place
    Create,    // a new or emptied file, read and written
};

class CRandomAccessFile {
public:
    CRandomAccessFile() = default;
    ~CRandomAccessFile() { Close(); }
    CRandomAccessFile(const CRandomAccessFile&) = delete;
    CRandomAccessFile& operator=(const CRandomAccessFile&) = delete;

    /** Opens `path`; false with the system's reason, closing what was open before. */
    bool Open(const std::string& path, EFileAccess access, std::string& error);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }

    /** Bytes read at `offset`: fewer at the end of the file, 0 on an error. */
    size_t ReadAt(uint64_t offset, void* data, size_t count);
    /** Bytes written at `offset`: fewer when the disk is full or a limit is reached. */
    size_t WriteAt(uint64_t offset, const void* data, size_t count);
    /** The file's length in bytes; 0 when it is not open. */
    uint64_t Size() const;
    /** Cuts or extends the file to `size` bytes. */
    bool Truncate(uint64_t size);
    /** Writes the file's data through to the disk. */
    bool Sync();

private:
    int m_fd = -1;
};
