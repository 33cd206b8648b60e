// Safe saves: a file is replaced whole or not at all, keeps its permissions, is written through
// symbolic links into their targets, and what is not a regular file is never replaced.
#include "platform/AtomicFile.h"

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

using Bytes = std::vector<uint8_t>;
using Names = std::vector<std::string>;

Bytes MakeBytes(size_t n, uint8_t seed) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i)
        b[i] = static_cast<uint8_t>(seed + i * 7);
    return b;
}

void PutFile(const std::string& path, const Bytes& bytes) {
    ::PutFile(path, std::string(bytes.begin(), bytes.end()));
}

Bytes GetBytes(const std::string& path) {
    const std::string text = GetFile(path);
    return {text.begin(), text.end()};
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(AtomicFile, WritesWithUmaskPermissionsReplacesKeepingThemAndLeavesNothingBehind) {
    CTempFolder dir;
    const mode_t old = umask(022);
    std::string error;
    const bool ok = WriteFileAtomically(dir.File("a.process"), MakeBytes(100000, 3), error);
    umask(old);
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ(GetBytes(dir.File("a.process")), MakeBytes(100000, 3));
    EXPECT_EQ(ModeOf(dir.File("a.process")), 0644u);

    chmod(dir.File("a.process").c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(dir.File("a.process"), MakeBytes(10, 9), error)) << error;
    EXPECT_EQ(GetBytes(dir.File("a.process")), MakeBytes(10, 9));
    EXPECT_EQ(ModeOf(dir.File("a.process")), 0640u);
    ASSERT_TRUE(WriteFileAtomically(dir.File("a.process"), {}, error)) << error;
    EXPECT_TRUE(GetBytes(dir.File("a.process")).empty());
    EXPECT_EQ(dir.Entries(), Names{"a.process"});

    // A bare file name goes to the working folder.
    const std::string cwd = std::filesystem::current_path().string();
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    const bool bare = WriteFileAtomically("Current.str", MakeBytes(8, 0), error);
    ASSERT_EQ(chdir(cwd.c_str()), 0);
    ASSERT_TRUE(bare) << error;
    EXPECT_EQ(GetBytes(dir.File("Current.str")), MakeBytes(8, 0));
}

// Each failure leaves the folder (keep.bin and the empty folder sub) exactly as it was and names
// the path and the reason, the strerror text where there is one.
TEST(AtomicFile, AFailureLeavesTheOldStateUntouched) {
    const std::pair<const char*, const char*> cases[] = {{"sub", "not a regular file"},
                                                         {"missing/x.bin", std::strerror(ENOENT)},
                                                         {"keep.bin/x.bin", std::strerror(ENOTDIR)},
                                                         {"keep.bin", std::strerror(EFBIG)},
                                                         {"", nullptr}};
    for (const auto& [name, reason] : cases) {
        CTempFolder dir;
        PutFile(dir.File("keep.bin"), MakeBytes(300, 42));
        ASSERT_EQ(mkdir(dir.File("sub").c_str(), 0755), 0);
        const std::string target = dir.File(name);
        std::string error;
        // A file size limit makes write() fail part-way, as a full disk would.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        auto* previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 100;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool ok = WriteFileAtomically(target, MakeBytes(1000, 7), error);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);

        EXPECT_FALSE(ok) << name;
        EXPECT_NE(error.find("'" + target + "'"), std::string::npos) << error;
        if (reason) {
            EXPECT_NE(error.find(reason), std::string::npos) << error;
        }
        EXPECT_EQ(dir.Entries(), (Names{"keep.bin", "sub"})) << name;
        EXPECT_TRUE(dir.Entries(dir.File("sub")).empty()) << name;
        EXPECT_EQ(GetBytes(dir.File("keep.bin")), MakeBytes(300, 42)) << name;
    }
}

// A chain of links is followed, the links stay links, a dangling link creates its target.
TEST(AtomicFile, SavesThroughSymbolicLinksIntoTheirTargets) {
    CTempFolder dir;
    std::filesystem::create_directory(dir.File("real"));
    PutFile(dir.File("real/t.process"), MakeBytes(20, 1));
    ASSERT_EQ(symlink("real/t.process", dir.File("link1").c_str()), 0);
    ASSERT_EQ(symlink(dir.File("link1").c_str(), dir.File("link2").c_str()), 0);
    ASSERT_EQ(symlink("real/new.process", dir.File("dangling").c_str()), 0);
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(dir.File("link2"), MakeBytes(7, 5), error)) << error;
    ASSERT_TRUE(WriteFileAtomically(dir.File("dangling"), MakeBytes(3, 2), error)) << error;
    EXPECT_EQ(GetBytes(dir.File("real/t.process")), MakeBytes(7, 5));
    EXPECT_EQ(GetBytes(dir.File("real/new.process")), MakeBytes(3, 2));
    for (const char* link : {"link1", "link2", "dangling"})
        EXPECT_TRUE(std::filesystem::is_symlink(dir.File(link))) << link;
    EXPECT_EQ(dir.Entries(dir.File("real")), (Names{"new.process", "t.process"}));
}

// A FIFO, a folder, a device, a link to one or a link loop is neither written nor read.
TEST(AtomicFile, RefusesWhatIsNotARegularFile) {
    CTempFolder dir;
    ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.File("folder"));
    ASSERT_EQ(symlink("/dev/null", dir.File("device").c_str()), 0);
    ASSERT_EQ(symlink("fifo", dir.File("tofifo").c_str()), 0);
    ASSERT_EQ(symlink("loop", dir.File("loop").c_str()), 0);
    const Names before = dir.Entries();
    std::string error;
    for (const char* name : {"fifo", "folder", "device", "tofifo", "loop"}) {
        EXPECT_FALSE(WriteFileAtomically(dir.File(name), MakeBytes(4, 0), error)) << name;
        EXPECT_NE(error.find("Cannot write '" + dir.File(name) + "': "), std::string::npos)
            << error;
    }
    WriteFileAtomically(dir.File("fifo"), {}, error);
    EXPECT_EQ(error, "Cannot write '" + dir.File("fifo") + "': not a regular file");
    EXPECT_EQ(dir.Entries(), before);
    EXPECT_TRUE(std::filesystem::is_fifo(dir.File("fifo")));

    // Reading a FIFO with no writer would block the open itself.
    Bytes out;
    for (const std::string& path : {dir.File("fifo"), dir.Path()}) {
        EXPECT_FALSE(ReadFileBytes(path, out, error, 100));
        EXPECT_EQ(error, "Cannot read '" + path + "': not a regular file");
    }
    EXPECT_FALSE(ReadFileBytes(dir.File("none"), out, error, 100));
    EXPECT_EQ(error, "Cannot open '" + dir.File("none") + "': " + std::strerror(ENOENT));
}

// A killed save leaves its temporary behind; the next good save of that file removes the
// temporaries of its own naming whose process is gone, and nothing else.
TEST(AtomicFile, NextSaveRemovesTemporariesOfDeadSaves) {
    CTempFolder dir;
    const pid_t child = fork();
    if (child == 0) _exit(0);
    ASSERT_GT(child, 0);
    int status = 0;
    waitpid(child, &status, 0);
    const std::string dead = std::to_string(child), alive = std::to_string(getppid());
    const Names kept = {".a.process.tmp" + alive + "-3", ".a.process.tmpx-1",
                        ".b.process.tmp" + dead + "-0", "a.process.tmp" + dead + "-0"};
    for (const std::string& name : kept)
        PutFile(dir.File(name), MakeBytes(2, 0));
    PutFile(dir.File(".a.process.tmp" + dead + "-0"), MakeBytes(2, 0));
    PutFile(dir.File(".a.process.tmp" + dead + "-17"), MakeBytes(2, 0));
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(dir.File("a.process"), MakeBytes(3, 0), error)) << error;
    Names expected = kept;
    expected.insert(expected.begin() + 3, "a.process");
    EXPECT_EQ(dir.Entries(), expected);
}

TEST(ReadFile, RefusesFilesAboveTheLimitAndReadsTheirHead) {
    CTempFolder dir;
    const Bytes bytes = MakeBytes(10000, 11);
    PutFile(dir.File("r.bin"), bytes);
    for (const size_t limit : {10000u, 10001u, 9999u, 0u}) {
        Bytes out{1, 2, 3};
        std::string error;
        const bool ok = ReadFileBytes(dir.File("r.bin"), out, error, limit);
        EXPECT_EQ(ok, limit >= 10000) << limit;
        EXPECT_EQ(out, ok ? bytes : (Bytes{1, 2, 3})) << limit;
        if (!ok) {
            EXPECT_EQ(error, "Cannot read '" + dir.File("r.bin") + "': the file is larger than " +
                                 std::to_string(limit) + " bytes")
                << limit;
        }
        ASSERT_TRUE(ReadFileHead(dir.File("r.bin"), out, error, limit)) << error;
        EXPECT_EQ(out,
                  (Bytes(bytes.begin(), bytes.begin() + long(std::min<size_t>(limit, 10000)))));
    }
}

} // namespace
