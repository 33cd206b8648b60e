#include "platform/RandomAccessFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

bool CRandomAccessFile::Open(const std::string& path, EFileAccess access, std::string& error) {
    Close();
    int flags = O_CLOEXEC | O_NONBLOCK; // a FIFO opens at once and is then refused below
    switch (access) {
    case EFileAccess::Read:
        flags |= O_RDONLY;
        break;
    case EFileAccess::ReadWrite:
        flags |= O_RDWR;
        break;
    case EFileAccess::Create:
        flags |= O_RDWR | O_CREAT;
        break;
    }
    const int fd = open(path.c_str(), flags, 0666);
    if (fd < 0) {
        error = "'" + path + "': " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "'" + path + "' is not a regular file";
        close(fd);
        return false;
    }
    // Emptying only after the check, so that naming a device never truncates it.
    if (access == EFileAccess::Create && ftruncate(fd, 0) != 0) {
        error = "'" + path + "': " + std::strerror(errno);
        close(fd);
        return false;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_fd = fd;
    return true;
}

void CRandomAccessFile::Close() {
    if (m_fd >= 0) close(m_fd);
    m_fd = -1;
}

size_t CRandomAccessFile::ReadAt(uint64_t offset, void* data, size_t count) {
    size_t done = 0;
    while (m_fd >= 0 && done < count) {
        const ssize_t n = pread(m_fd, static_cast<char*>(data) + done, count - done,
                                static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += size_t(n);
    }
    return done;
}

size_t CRandomAccessFile::WriteAt(uint64_t offset, const void* data, size_t count) {
    size_t done = 0;
    while (m_fd >= 0 && done < count) {
        const ssize_t n = pwrite(m_fd, static_cast<const char*>(data) + done, count - done,
                                 static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += size_t(n);
    }
    return done;
}

uint64_t CRandomAccessFile::Size() const {
    struct stat st {};
    return m_fd >= 0 && fstat(m_fd, &st) == 0 ? uint64_t(st.st_size) : 0;
}

bool CRandomAccessFile::Truncate(uint64_t size) {
    return m_fd >= 0 && ftruncate(m_fd, static_cast<off_t>(size)) == 0;
}

bool CRandomAccessFile::Sync() {
    return m_fd >= 0 && fdatasync(m_fd) == 0;
}
