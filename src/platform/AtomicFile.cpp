#include "platform/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

namespace {

constexpr const char* kTemporaryMark = ".tmp";

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
        tempPath = (folder == "/" ? "" : folder) + "/." + name + kTemporaryMark +
                   std::to_string(getpid()) + "-" + std::to_string(counter++);
        const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

bool WriteAll(int fd, const uint8_t* bytes, size_t count) {
    size_t done = 0;
    while (done < count) {
        const ssize_t n = write(fd, bytes + done, count - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// The path a save replaces: `path` with every symbolic link followed, so the link itself stays
// and its target is written. False with errno set when the links do not end.
bool FollowLinks(const std::string& path, std::string& target) {
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::string text(4096, '\0');
        const ssize_t n = readlink(target.c_str(), text.data(), text.size());
        if (n < 0) return errno == EINVAL || errno == ENOENT || errno == ENOTDIR || errno == EACCES;
        text.resize(static_cast<size_t>(n));
        std::string folder, name;
        SplitPath(target, folder, name);
        target = text.front() == '/' ? text : folder + "/" + text;
    }
    errno = ELOOP;
    return false;
}

// A temporary of a save of `name` (".name.tmpPID-N") whose process is gone was left by a save
// that was killed; once a later save of the same file succeeded nobody can want it.
bool IsStaleTemporary(const std::string& entry, const std::string& name) {
    const std::string prefix = "." + name + kTemporaryMark;
    if (entry.compare(0, prefix.size(), prefix) != 0) return false;
    const std::string rest = entry.substr(prefix.size());
    const size_t dash = rest.find('-');
    const auto digits = [](const std::string& text) {
        return !text.empty() && text.size() < 10 &&
               text.find_first_not_of("0123456789") == std::string::npos;
    };
    if (dash == std::string::npos || !digits(rest.substr(0, dash)) ||
        !digits(rest.substr(dash + 1)))
        return false;
    const pid_t pid = static_cast<pid_t>(std::stol(rest.substr(0, dash)));
    return pid > 0 && pid != getpid() && kill(pid, 0) != 0 && errno == ESRCH;
}

void RemoveStaleTemporaries(const std::string& folder, const std::string& name) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = readdir(dir))
        if (IsStaleTemporary(entry->d_name, name)) unlinkat(dirfd(dir), entry->d_name, 0);
    closedir(dir);
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
    return WriteFileInParts(
        path, [&](const CByteSink& sink) { return sink(bytes.data(), bytes.size()); }, error);
}

bool WriteFileInParts(const std::string& path, const std::function<bool(const CByteSink&)>& produce,
                      std::string& error) {
    std::string folder, name, resolved;
    SplitPath(path, folder, name);
    if (name.empty() || name == "." || name == "..") {
        error = "Cannot write " + Quoted(path) + ": not a file name";
        return false;
    }
    if (!FollowLinks(path, resolved)) {
        error = "Cannot write " + Quoted(path) + ": " + Reason(errno);
        return false;
    }
    // A device, FIFO or folder at the path is the user's, not a file to be replaced.
    struct stat existing {};
    if (lstat(resolved.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        error = "Cannot write " + Quoted(path) + ": not a regular file";
        return false;
    }
    SplitPath(resolved, folder, name);

    std::string tempPath;
    const int fd = CreateTemporary(folder, name, tempPath);
    if (fd < 0) {
        error = "Cannot write " + Quoted(path) + ": cannot create a temporary file in " +
                Quoted(folder) + ": " + Reason(errno);
        return false;
    }

    // A replaced file keeps its permissions.
    if (S_ISREG(existing.st_mode)) fchmod(fd, existing.st_mode & 07777);

    const char* stage = nullptr;
    if (!produce([fd](const uint8_t* bytes, size_t count) { return WriteAll(fd, bytes, count); }))
        stage = "cannot write";
    else if (fsync(fd) != 0)
        stage = "cannot flush";
    int err = errno;
    if (close(fd) != 0 && stage == nullptr) {
        stage = "cannot close";
        err = errno;
    }
    if (stage == nullptr && rename(tempPath.c_str(), resolved.c_str()) != 0) {
        stage = "cannot replace it";
        err = errno;
    }
    if (stage != nullptr) {
        unlink(tempPath.c_str());
        error = "Cannot write " + Quoted(path) + ": " + stage + ": " + Reason(err);
        return false;
    }
    SyncFolder(folder);
    RemoveStaleTemporaries(folder, name);
    return true;
}

namespace {

// Reads at most `limit` bytes of the regular file at `path`; with `whole` a longer file is
// refused instead of cut.
bool ReadBytes(const std::string& path, std::vector<uint8_t>& out, std::string& error, size_t limit,
               bool whole) {
    const auto tooLarge = [&] {
        error = "Cannot read " + Quoted(path) + ": the file is larger than " +
                std::to_string(limit) + " bytes";
        return false;
    };
    // Not blocking: opening a FIFO without a writer would wait for one; fstat then refuses it.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
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
    if (whole && static_cast<uint64_t>(info.st_size) > limit) {
        close(fd);
        return tooLarge();
    }

    // The file may grow while it is read, so the size from fstat only sizes the first buffer
    // and reading stops as soon as the limit is passed.
    std::vector<uint8_t> bytes(std::min(static_cast<size_t>(info.st_size), limit));
    const size_t stop = whole ? limit + 1 : limit;
    size_t used = 0;
    int readError = 0;
    while (used < stop) {
        if (used == bytes.size()) bytes.resize(std::min(used + 4096, stop));
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
    if (used > limit) return tooLarge();
    bytes.resize(used);
    out = std::move(bytes);
    return true;
}

} // namespace

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out, std::string& error,
                   size_t maxBytes) {
    return ReadBytes(path, out, error, maxBytes, true);
}

bool ReadFileHead(const std::string& path, std::vector<uint8_t>& out, std::string& error,
                  size_t count) {
    return ReadBytes(path, out, error, count, false);
}
