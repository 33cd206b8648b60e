// Every kind of save into a place that cannot take it (a file size limit standing in for a full
// disk, a read-only folder): a one-line message naming the file and the reason, the old file as
// it was, no temporary left, and the same save works again once there is room.
#include "Saves.h"

#include "common/TempFolder.h"
#include "common/TextFileUtil.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

namespace {

// Runs `body` in a child process and returns what it wrote to its pipe.
std::string InChild(const std::function<std::string()>& body) {
    int fds[2];
    if (pipe(fds) != 0) return "no pipe";
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const std::string text = body();
        const bool written = write(fds[1], text.data(), text.size()) == ssize_t(text.size());
        _exit(written ? 0 : 1);
    }
    close(fds[1]);
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, size_t(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : "child died: " + text;
}

// What a failed save and the retry after it left: the message, then "|" and the retry's.
std::string FailThenRetry(
    const CSave& save, const std::string& path, const std::function<void()>& restrict,
    const std::string& retryPath, const std::function<void()>& lift = [] {}) {
    return InChild([&] {
        restrict();
        const std::string message = save(path, 0);
        lift();
        return message + "|" + save(retryPath, 1);
    });
}

class FailingSave : public testing::Test {
protected:
    CTempFolder dir;
    const std::string old = "the user's old file\n";

    void ExpectRefused(const char* kind, const std::string& result, const std::string& path,
                       const std::string& reason) {
        const size_t bar = result.rfind('|');
        ASSERT_NE(bar, std::string::npos) << kind << ": " << result;
        const std::string message = result.substr(0, bar);
        EXPECT_NE(message.find(path), std::string::npos) << kind << ": " << message;
        EXPECT_NE(message.find(reason), std::string::npos) << kind << ": " << message;
        EXPECT_EQ(message.find('\n'), std::string::npos) << kind << ": " << message;
        EXPECT_EQ(result.substr(bar + 1), "") << kind << ": the save after it failed";
        EXPECT_EQ(GetFile(path), old) << kind;
    }
};

TEST_F(FailingSave, AFullDiskRefusesEverySaveAndKeepsTheOldFile) {
    const std::string path = dir.File("target");
    for (const auto& [kind, save] : SaveKinds()) {
        PutFile(path, old);
        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        const std::string result = FailThenRetry(
            save, path,
            [&] {
                std::signal(SIGXFSZ, SIG_IGN);
                rlimit small = before;
                small.rlim_cur = 16;
                setrlimit(RLIMIT_FSIZE, &small);
            },
            path + ".again", [&] { setrlimit(RLIMIT_FSIZE, &before); });
        ExpectRefused(kind, result, path, std::strerror(EFBIG));
        EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"target", "target.again"})) << kind;
        std::filesystem::remove(path + ".again");
    }
}

TEST_F(FailingSave, AReadOnlyFolderRefusesEverySaveAndKeepsTheOldFile) {
    // The superuser writes anywhere: the child gives up its rights first.
    const bool root = geteuid() == 0;
    const std::string folder = dir.File("read-only"), writable = dir.File("writable");
    std::filesystem::create_directories(folder);
    std::filesystem::create_directories(writable);
    chmod(dir.Path().c_str(), 0755);
    chmod(writable.c_str(), 0777);
    const std::string path = folder + "/target";
    for (const auto& [kind, save] : SaveKinds()) {
        chmod(folder.c_str(), 0755);
        PutFile(path, old);
        chmod(path.c_str(), 0666);
        chmod(folder.c_str(), 0555);
        const std::string result = FailThenRetry(
            save, path,
            [&] {
                if (root &&
                    (setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0))
                    _exit(1);
            },
            writable + "/target");
        ExpectRefused(kind, result, path, std::strerror(EACCES));
        EXPECT_EQ(dir.Entries(folder), std::vector<std::string>{"target"}) << kind;
        std::filesystem::remove(writable + "/target");
    }
    chmod(folder.c_str(), 0755);
}

} // namespace
