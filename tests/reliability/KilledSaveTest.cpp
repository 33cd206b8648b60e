// Saves of every kind killed (SIGKILL) at random moments: the file is afterwards the complete old
// or the complete new version, a recording is a valid WAV file of whole blocks, and the next save
// leaves no temporary behind. AURIVO_KILL_ROUNDS sets the number of kills (tools/kill-saves.sh
// runs many).
#include "Saves.h"

#include "common/ModuleProcess.h"
#include "common/TempFolder.h"
#include "common/TextFileUtil.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <iostream>
#include <random>
#include <thread>

namespace {

int Rounds() {
    const char* text = std::getenv("AURIVO_KILL_ROUNDS");
    return text ? std::max(1, std::atoi(text)) : 21;
}

// Starts `work` in a child, which says when it has begun; kills it `delay` later.
void KillWhileWorking(const std::function<void()>& work, std::chrono::microseconds delay) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        close(ready[0]);
        const char go = 1;
        if (write(ready[1], &go, 1) != 1) _exit(1);
        work();
        _exit(0);
    }
    close(ready[1]);
    char go = 0;
    ASSERT_EQ(read(ready[0], &go, 1), 1);
    close(ready[0]);
    std::this_thread::sleep_for(delay);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status)) << "the work ended before the kill";
}

// Whether the bytes are a RIFF WAVE file whose data chunk declares whole blocks of `blockBytes`
// and all of them but the one being written when the writer died (past the declared end).
bool HoldsTheBlocksWritten(const std::string& bytes, size_t blockBytes) {
    const auto u32 = [&](size_t at) {
        uint32_t v = 0;
        std::memcpy(&v, bytes.data() + at, 4);
        return v;
    };
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") || bytes.compare(8, 4, "WAVE"))
        return false;
    if (size_t(u32(4)) + 8 > bytes.size()) return false;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const size_t size = u32(at + 4), end = at + 8 + size;
        if (bytes.compare(at, 4, "data") == 0)
            return end <= bytes.size() && size % blockBytes == 0 &&
                   bytes.size() - end <= blockBytes;
        at = end + (size & 1);
    }
    return false;
}

struct CTally {
    int tried = 0, checked = 0, damaged = 0, lost = 0;
};

TEST(KilledSave, EveryFileIsTheOldOrTheNewVersionAndNoTemporaryStays) {
    CTempFolder dir;
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> microseconds(0, 4000);
    const auto& kinds = SaveKinds();
    // Both versions as written at the target's path (a calibration file names its own path).
    const std::string target = dir.File("target");
    std::vector<std::string> versions[8];
    for (size_t k = 0; k < kinds.size(); ++k)
        for (int v = 0; v < 2; ++v) {
            ASSERT_EQ(kinds[k].save(target, v), "") << kinds[k].name;
            versions[k].push_back(GetFile(target));
            std::filesystem::remove(target);
        }
    CTally tally;
    for (int round = 0; round < Rounds(); ++round) {
        const size_t k = size_t(round) % kinds.size();
        const CSave& save = kinds[k].save;
        ASSERT_EQ(save(target, round & 1), "");
        KillWhileWorking(
            [&] {
                for (int v = 1 - (round & 1);; v = 1 - v)
                    save(target, v);
            },
            std::chrono::microseconds(microseconds(random)));
        ++tally.tried;
        ++tally.checked;
        if (!std::filesystem::exists(target))
            ++tally.lost;
        else if (const std::string now = GetFile(target);
                 now != versions[k][0] && now != versions[k][1]) {
            ++tally.damaged;
            ADD_FAILURE() << kinds[k].name << " damaged: " << now.size() << " bytes";
        }
        ASSERT_EQ(save(target, 0), "") << kinds[k].name;
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"target"}) << kinds[k].name;
        std::filesystem::remove(target);
    }
    std::cout << "Saves killed: " << tally.tried << ", files checked: " << tally.checked
              << ", damaged: " << tally.damaged << ", lost: " << tally.lost << "\n";
    EXPECT_EQ(tally.damaged, 0);
    EXPECT_EQ(tally.lost, 0);
}

// Each recording starts over the one the last kill left, so a kill while the file is being made
// anew must leave that one or a valid empty recording; one run to its end afterwards sweeps up
// what the killed ones left beside it.
TEST(KilledSave, ARecordingKilledIsAValidWaveFileOfWholeBlocks) {
    CTempFolder dir;
    std::mt19937 random(std::random_device{}());
    // Every other kill falls in the first milliseconds, while the file is being made.
    std::uniform_int_distribution<int> early(0, 3000), any(0, 20000);
    const std::string path = dir.File("recording.wav");
    constexpr size_t kBlockBytes = 256 * 2 * 2; // frames, channels, 16-bit samples
    const auto record = [&](int passes) {
        CModuleProcess p;
        p.Create({"Signal Generator", "WAV File Save"}, 256, 48000.0);
        std::string error;
        return p.Session().SetControl(2, "file", path, error) &&
               p.Session().SetControl(2, "bits", "16", error) && p.Session().Run(passes) != 0;
    };
    int checked = 0, damaged = 0;
    for (int round = 0; round < Rounds(); ++round) {
        KillWhileWorking([&] { _exit(record(1000000) ? 0 : 1); },
                         std::chrono::microseconds(round & 1 ? any(random) : early(random)));
        if (!std::filesystem::exists(path)) continue; // killed before the first recording began
        ++checked;
        damaged += !HoldsTheBlocksWritten(GetFile(path), kBlockBytes);
    }
    std::cout << "Recordings killed and checked: " << checked << ", damaged: " << damaged << "\n";
    EXPECT_EQ(damaged, 0);
    ASSERT_TRUE(record(3));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"recording.wav"});
    EXPECT_EQ(GetFile(path).size(), 44 + 3 * kBlockBytes); // header, fmt and data chunks
}

} // namespace
