// The sound server killed in the middle of a run, recording or playing through its device: a
// private PulseAudio server (.ci/sound-server, in a folder of this test, so no other test shares
// it) is sent SIGKILL between two runs of passes through its ALSA "pulse" device. The pass fails
// within the block's time plus 2 s naming the device, and once the server is started again the same
// process runs again.
#include "common/ModuleProcess.h"
#include "common/TempFolder.h"
#include "common/TextFileUtil.h"

#include "platform/alsa/AlsaAudio.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iostream>

namespace {

class KilledSoundServer : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        server = temp.File("server");
        setenv("PULSE_SERVER", ("unix:" + server + "/pulse/native").c_str(), 1);
        if (const std::string status = Start(); status != "running")
            GTEST_SKIP() << "Sound server unavailable: " << status;
    }
    void TearDown() override {
        std::system((kScript + " stop " + server + " >/dev/null 2>&1").c_str());
    }

    /** Starts the server (again); its status line. */
    std::string Start() {
        std::system((kScript + " start " + server + " >/dev/null 2>&1").c_str());
        std::string status = GetFile(server + "/status");
        while (!status.empty() && status.back() == '\n')
            status.pop_back();
        return status;
    }

    const std::string kScript = AURIVO_SOURCE_DIR "/.ci/sound-server";
    CTempFolder temp;
    std::string server;
};

TEST_P(KilledSoundServer, ThePassFailsInTimeNamingTheDeviceAndRunsAgainOnceItIsBack) {
    constexpr int kBlock = 4096;
    constexpr double kRate = 48000.0;
    CAlsaAudio alsa({"pulse"});
    CModuleProcess t;
    t.UseCard(&alsa);
    ASSERT_TRUE(t.Create({"Signal Generator", "SoundIO"}, kBlock, kRate));
    t.Set({"2:in=pulse", "2:out=pulse", std::string("2:mode=") + GetParam(), "2:rate=48000"});
    ASSERT_TRUE(t.Run(3)) << testing::PrintToString(t.TakeShown());

    const pid_t pid = std::atoi(GetFile(server + "/pulse/pid").c_str());
    ASSERT_GT(pid, 0);
    ASSERT_EQ(kill(pid, SIGKILL), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(t.Run(100000));
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    // A real server's device on a busy machine is given a second more than the virtual card.
    EXPECT_LT(took.count(), kBlock / kRate + 2.0 + 1.5);
    const std::vector<std::string> shown = t.TakeMessages();
    ASSERT_EQ(shown.size(), 1u) << testing::PrintToString(shown);
    EXPECT_EQ(shown[0].rfind("pulse", 0), 0u) << shown[0];
    std::cout << "[ SERVER   ] " << GetParam() << ": failed after " << took.count()
              << " s: " << shown[0].substr(0, shown[0].find('\r')) << "\n";

    ASSERT_EQ(Start(), "running");
    EXPECT_TRUE(t.Run(3)) << testing::PrintToString(t.TakeShown());
}

INSTANTIATE_TEST_SUITE_P(Modes, KilledSoundServer, testing::Values("Rec. Only", "Play"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::erase_if(name, [](char c) { return !std::isalpha(c); });
                             return name;
                         });

} // namespace
