#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace {

std::string Reason(int err) {
    return std::strerror(err);
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

// Folder part of a path ("." for a bare file name) and the file name part.
void SplitPath(const std::string& path, std::string& folder, std::string& name) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        folder = ".";
        name = path;
    } else {
        folder = slash == 0 ? "/" : path.substr(0, slash);
        name = path.substr(slash + 1);
    }
}

// Creates a new, empty temporary file next to the target; -1 with errno set on failure.
int CreateTemporary(const std::string& folder, const std::string& name, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = (folder == "/" ? "" : folder) + "/." + name + ".tmp" + std::to_string(getpid()) +
                   "-" + std::to_string(counter++);
        const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// Makes the rename itself durable; a failure here does not undo a completed save.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

} // namespace

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         std::string& error) {
    std::string folder, name;
    SplitPath(path, folder, name);
    if (name.empty() || name == "." || name == "..") {
        error = "Cannot write " + Quoted(path) + ": not a file name";
        return false;
    }

    std::string tempPath;
    const int fd = CreateTemporary(folder, name, tempPath);
    if (fd < 0) {
        error = "Cannot write " + Quoted(path) + ": cannot create a temporary file in " +
                Quoted(folder) + ": " + Reason(errno);
        return false;
    }

    // A replaced file keeps its permissions.
    struct stat target {};
    if (stat(path.c_str(), &target) == 0 && S_ISREG(target.st_mode))
        fchmod(fd, target.st_mode & 07777);

    const char* stage = nullptr;
    if (!WriteAll(fd, bytes))
        stage = "cannot write";
    else if (fsync(fd) != 0)
        stage = "cannot flush";
    int err = errno;
    if (close(fd) != 0 && stage == nullptr) {
        stage = "cannot close";
        err = errno;
    }
    if (stage == nullptr && rename(tempPath.c_str(), path.c_str()) != 0) {
        stage = "cannot replace it";
        err = errno;
    }
    if (stage != nullptr) {
        unlink(tempPath.c_str());
        error = "Cannot write " + Quoted(path) + ": " + stage + ": " + Reason(err);
        return false;
    }
    SyncFolder(folder);
    return true;
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out, std::string& error,
                   size_t maxBytes) {
    const auto tooLarge = [&] {
        error = "Cannot read " + Quoted(path) + ": the file is larger than " +
                std::to_string(maxBytes) + " bytes";
        return false;
    };
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "Cannot open " + Quoted(path) + ": " + Reason(errno);
        return false;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        error = "Cannot read " + Quoted(path) + ": not a regular file";
        return false;
    }
    if (static_cast<uint64_t>(info.st_size) > maxBytes) {
        close(fd);
        return tooLarge();
    }

    // The file may grow while it is read, so the size from fstat only sizes the first buffer
    // and reading stops as soon as the limit is passed.
    std::vector<uint8_t> bytes(static_cast<size_t>(info.st_size));
    size_t used = 0;
    int readError = 0;
    while (used <= maxBytes) {
        if (used == bytes.size()) bytes.resize(used + 4096);
        const ssize_t n = read(fd, bytes.data() + used, bytes.size() - used);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) readError = errno;
        if (n <= 0) break;
        used += static_cast<size_t>(n);
    }
    close(fd);
    if (readError != 0) {
        error = "Cannot read " + Quoted(path) + ": " + Reason(readError);
        return false;
    }
    if (used > maxBytes) return tooLarge();
    bytes.resize(used);
    out = std::move(bytes);
    return true;
}
