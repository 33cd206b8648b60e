#include "platform/AtomicFile.h"

#include "common/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <fstream>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes MakeBytes(size_t n, uint8_t seed) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i)
        b[i] = static_cast<uint8_t>(seed + i * 7);
    return b;
}

// Written and read back with plain streams, independently of the code under test.
void PutFile(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

Bytes GetFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(AtomicFile, WritesNewFileWithUmaskPermissionsAndNoLeftovers) {
    CTempFolder dir;
    const mode_t old = umask(022);
    const Bytes bytes = MakeBytes(100000, 3);
    std::string error;
    const bool ok = WriteFileAtomically(dir.File("a.process"), bytes, error);
    umask(old);
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ(GetFile(dir.File("a.process")), bytes);
    EXPECT_EQ(ModeOf(dir.File("a.process")), 0644u);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.process"});
}

TEST(AtomicFile, ReplacesFileKeepingItsPermissions) {
    CTempFolder dir;
    const std::string path = dir.File("b.ini");
    PutFile(path, MakeBytes(5000, 1));
    chmod(path.c_str(), 0640);
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, MakeBytes(10, 9), error)) << error;
    EXPECT_EQ(GetFile(path), MakeBytes(10, 9));
    EXPECT_EQ(ModeOf(path), 0640u);
    ASSERT_TRUE(WriteFileAtomically(path, {}, error)) << error;
    EXPECT_TRUE(GetFile(path).empty());
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"b.ini"});
}

TEST(AtomicFile, BareFileNameGoesToWorkingFolder) {
    CTempFolder dir;
    const std::string cwd = std::filesystem::current_path().string();
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    std::string error;
    const bool ok = WriteFileAtomically("Current.str", MakeBytes(8, 0), error);
    ASSERT_EQ(chdir(cwd.c_str()), 0);
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ(GetFile(dir.File("Current.str")), MakeBytes(8, 0));
}

// Each failure must leave the folder exactly as it was and name the path and the reason.
enum class EFailure { TargetIsFolder, FolderMissing, ParentIsFile, WriteCutShort, NoFileName };

struct CFailureCase {
    EFailure failure;
    const char* reason; // strerror text expected in the message, or null
};

class AtomicFileFailure : public testing::TestWithParam<CFailureCase> {};

TEST_P(AtomicFileFailure, LeavesOldStateUntouched) {
    CTempFolder dir;
    const Bytes old = MakeBytes(300, 42);
    PutFile(dir.File("keep.bin"), old);
    std::string target;
    switch (GetParam().failure) {
    case EFailure::TargetIsFolder:
        ASSERT_EQ(mkdir(dir.File("sub").c_str(), 0755), 0);
        target = dir.File("sub");
        break;
    case EFailure::FolderMissing:
        target = dir.File("missing/x.bin");
        break;
    case EFailure::ParentIsFile:
        target = dir.File("keep.bin/x.bin");
        break;
    case EFailure::WriteCutShort:
        target = dir.File("keep.bin");
        break;
    case EFailure::NoFileName:
        target = dir.Path() + "/";
        break;
    }
    const auto before = dir.Entries();

    std::string error;
    bool ok = true;
    if (GetParam().failure == EFailure::WriteCutShort) {
        // A file size limit makes write() fail part-way, as a full disk would.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        auto* previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 100;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        ok = WriteFileAtomically(target, MakeBytes(1000, 7), error);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
    } else {
        ok = WriteFileAtomically(target, MakeBytes(1000, 7), error);
    }

    EXPECT_FALSE(ok);
    EXPECT_NE(error.find("'" + target + "'"), std::string::npos) << error;
    if (GetParam().reason != nullptr) {
        EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error;
    }
    EXPECT_EQ(dir.Entries(), before);
    EXPECT_EQ(GetFile(dir.File("keep.bin")), old);
    if (GetParam().failure == EFailure::TargetIsFolder) {
        EXPECT_TRUE(dir.Entries(dir.File("sub")).empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AtomicFileFailure,
    testing::Values(CFailureCase{EFailure::TargetIsFolder, "not a regular file"},
                    CFailureCase{EFailure::FolderMissing, std::strerror(ENOENT)},
                    CFailureCase{EFailure::ParentIsFile, std::strerror(ENOTDIR)},
                    CFailureCase{EFailure::WriteCutShort, std::strerror(EFBIG)},
                    CFailureCase{EFailure::NoFileName, nullptr}));

// maxBytes relative to the file size, and whether the read must succeed.
class ReadFileLimit : public testing::TestWithParam<std::pair<long, bool>> {};

TEST_P(ReadFileLimit, RefusesFilesAboveTheLimit) {
    CTempFolder dir;
    const Bytes bytes = MakeBytes(10000, 11);
    PutFile(dir.File("r.bin"), bytes);
    const size_t limit = static_cast<size_t>(10000 + GetParam().first);
    Bytes out{1, 2, 3};
    std::string error;
    const bool ok = ReadFileBytes(dir.File("r.bin"), out, error, limit);
    EXPECT_EQ(ok, GetParam().second) << error;
    if (ok) {
        EXPECT_EQ(out, bytes);
    } else {
        EXPECT_EQ(out, (Bytes{1, 2, 3}));
        EXPECT_NE(error.find("'" + dir.File("r.bin") + "'"), std::string::npos);
        EXPECT_NE(error.find("larger than " + std::to_string(limit) + " bytes"), std::string::npos)
            << error;
    }
    Bytes head;
    ASSERT_TRUE(ReadFileHead(dir.File("r.bin"), head, error, limit)) << error;
    EXPECT_EQ(head, Bytes(bytes.begin(), bytes.begin() + long(std::min(limit, bytes.size()))));
}

INSTANTIATE_TEST_SUITE_P(Limits, ReadFileLimit,
                         testing::Values(std::pair<long, bool>{0, true},
                                         std::pair<long, bool>{1, true},
                                         std::pair<long, bool>{-1, false},
                                         std::pair<long, bool>{-10000, false}));

// A save through a symbolic link replaces the link's target in the target's folder: the link
// stays a link, a chain of links is followed, a dangling link creates its target.
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
    EXPECT_EQ(GetFile(dir.File("real/t.process")), MakeBytes(7, 5));
    EXPECT_EQ(GetFile(dir.File("real/new.process")), MakeBytes(3, 2));
    for (const char* link : {"link1", "link2", "dangling"})
        EXPECT_TRUE(std::filesystem::is_symlink(dir.File(link))) << link;
    EXPECT_EQ(dir.Entries(dir.File("real")),
              (std::vector<std::string>{"new.process", "t.process"}));
}

// What is not a regular file is never replaced: a FIFO, a folder, a device, a link to one.
TEST(AtomicFile, RefusesToReplaceWhatIsNotARegularFile) {
    CTempFolder dir;
    ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.File("folder"));
    ASSERT_EQ(symlink("/dev/null", dir.File("device").c_str()), 0);
    ASSERT_EQ(symlink("fifo", dir.File("tofifo").c_str()), 0);
    ASSERT_EQ(symlink("loop", dir.File("loop").c_str()), 0);
    const std::vector<std::string> before = dir.Entries();
    for (const char* name : {"fifo", "folder", "device", "tofifo", "loop"}) {
        std::string error;
        EXPECT_FALSE(WriteFileAtomically(dir.File(name), MakeBytes(4, 0), error)) << name;
        EXPECT_NE(error.find("Cannot write '" + dir.File(name) + "': "), std::string::npos)
            << error;
    }
    std::string error;
    WriteFileAtomically(dir.File("fifo"), {}, error);
    EXPECT_EQ(error, "Cannot write '" + dir.File("fifo") + "': not a regular file");
    EXPECT_EQ(dir.Entries(), before);
    struct stat st {};
    ASSERT_EQ(lstat(dir.File("fifo").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// A save that was killed leaves its temporary behind; the next good save of that file removes
// temporaries of its own naming whose process is gone, and nothing else.
TEST(AtomicFile, NextSaveRemovesTemporariesOfDeadSaves) {
    CTempFolder dir;
    const pid_t child = fork();
    if (child == 0) _exit(0);
    ASSERT_GT(child, 0);
    int status = 0;
    waitpid(child, &status, 0);
    const std::string dead = std::to_string(child);
    const std::string alive = std::to_string(getppid());
    for (const std::string& name :
         std::vector<std::string>{".a.process.tmp" + dead + "-0", ".a.process.tmp" + dead + "-17",
                                  ".a.process.tmp" + alive + "-3", ".b.process.tmp" + dead + "-0",
                                  ".a.process.tmpx-1", "a.process.tmp" + dead + "-0"})
        PutFile(dir.File(name), MakeBytes(2, 0));
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(dir.File("a.process"), MakeBytes(3, 0), error)) << error;
    EXPECT_EQ(dir.Entries(),
              (std::vector<std::string>{".a.process.tmp" + alive + "-3", ".a.process.tmpx-1",
                                        ".b.process.tmp" + dead + "-0", "a.process",
                                        "a.process.tmp" + dead + "-0"}));
}

TEST(ReadFile, EmptyFileIsRead) {
    CTempFolder dir;
    PutFile(dir.File("e"), {});
    Bytes out{9};
    std::string error;
    ASSERT_TRUE(ReadFileBytes(dir.File("e"), out, error, 0)) << error;
    EXPECT_TRUE(out.empty());
}

TEST(ReadFile, MissingFileAndFolderAreRefusedWithReason) {
    CTempFolder dir;
    Bytes out;
    std::string error;
    EXPECT_FALSE(ReadFileBytes(dir.File("none"), out, error, 100));
    EXPECT_EQ(error, "Cannot open '" + dir.File("none") + "': " + std::strerror(ENOENT));
    EXPECT_FALSE(ReadFileBytes(dir.Path(), out, error, 100));
    EXPECT_EQ(error, "Cannot read '" + dir.Path() + "': not a regular file");
    // A FIFO with no writer would block the open itself.
    ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
    EXPECT_FALSE(ReadFileBytes(dir.File("fifo"), out, error, 100));
    EXPECT_EQ(error, "Cannot read '" + dir.File("fifo") + "': not a regular file");
}

} // namespace
