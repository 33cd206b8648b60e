// aurivo-cli against a sound server that stops answering: a private PulseAudio server (started
// by .ci/sound-server in a folder of this test) is stopped with SIGSTOP, so that connecting to
// it and opening its ALSA device wait for ever. Listing devices, showing and running a process
// on its "pulse" device must still return within a bound and name the device that does not
// answer.
#include "common/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using std::chrono::steady_clock;

struct CResult {
    int code = -1; // -1: killed after the limit
    double seconds = 0.0;
    std::string output; // standard output and error together
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class StalledServer : public testing::Test {
protected:
    void SetUp() override {
        server = temp.File("server");
        const std::string script = AURIVO_SOURCE_DIR "/.ci/sound-server";
        ASSERT_EQ(Run({script, "start", server}, 30).code, 0);
        std::string status = ReadText(server + "/status");
        while (!status.empty() && status.back() == '\n')
            status.pop_back();
        if (status != "running") GTEST_SKIP() << "Sound server unavailable: " << status;
        pid = std::atoi(ReadText(server + "/pulse/pid").c_str());
        ASSERT_GT(pid, 0);
        // Settings of the test's own, so the virtual card is the one the files expect.
        setenv("XDG_CONFIG_HOME", temp.File("config").c_str(), 1);
        setenv("PULSE_SERVER", ("unix:" + server + "/pulse/native").c_str(), 1);
        process = temp.File("pulse.process");
        ASSERT_EQ(Cli({"new", process, "Signal Generator", "SoundIO", "--rate", "48000"}, 30).code,
                  0);
        const CResult set = Cli(
            {"set", process, "2:in=pulse", "2:out=pulse", "2:mode=Rec./Play", "2:rate=48000"}, 30);
        ASSERT_EQ(set.code, 0) << set.output;
    }
    void TearDown() override {
        if (pid <= 0) return;
        kill(pid, SIGCONT);
        Run({AURIVO_SOURCE_DIR "/.ci/sound-server", "stop", server}, 30);
    }

    /** Runs a program with a hard limit, its output into one text. */
    CResult Run(const std::vector<std::string>& argv, double limitSeconds) {
        const std::string log = temp.File("output.txt");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        CResult result;
        const auto start = steady_clock::now();
        pid_t child = 0;
        const int spawned = posix_spawn(&child, args[0], &actions, nullptr, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) return result;
        int status = 0;
        while (waitpid(child, &status, WNOHANG) == 0) {
            if (steady_clock::now() - start > std::chrono::duration<double>(limitSeconds)) {
                kill(child, SIGKILL);
                waitpid(child, &status, 0);
                result.output = ReadText(log);
                return result;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        result.seconds = std::chrono::duration<double>(steady_clock::now() - start).count();
        result.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        result.output = ReadText(log);
        return result;
    }
    CResult Cli(std::vector<std::string> args, double limitSeconds) {
        args.insert(args.begin(), AURIVO_CLI);
        return Run(args, limitSeconds);
    }

    /** Lets the server take its waiting connections, then stops it again: every command
     *  meets a server that accepts a connection and never answers it. */
    void Stall() {
        kill(pid, SIGCONT);
        for (int i = 0; i < 50 && Run({"/usr/bin/pactl", "info"}, 5).code != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        kill(pid, SIGSTOP);
    }

    CTempFolder temp;
    std::string server, process;
    pid_t pid = 0;
};

// Each device takes at most 2 s before it counts as not answering; what is asked of it
// afterwards is answered at once. 10 s leaves room for a slow machine.
constexpr double kBound = 10.0;
const char* kNoAnswer = "pulse does not answer within 2 s";

// Every command would wait for ever without the bound (each meets a freshly stalled server, whose
// backlog the one before filled); once the server runs again its device answers.
TEST_F(StalledServer, EveryCommandReturnsInTimeNamingTheDeviceThatDoesNotAnswer) {
    Stall();
    CResult r = Cli({"devices"}, 60);
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_LT(r.seconds, kBound);
    EXPECT_NE(r.output.find(std::string("rates: none: ") + kNoAnswer), std::string::npos)
        << r.output;
    // The virtual card still lists every rate.
    EXPECT_NE(r.output.find("rates: 5000 6000"), std::string::npos) << r.output;

    Stall();
    r = Cli({"info", process}, 60);
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_LT(r.seconds, kBound);
    EXPECT_NE(r.output.find(std::string("Message: Error Detected In | Step: 2 SoundIO | pulse "
                                        "Input Device | ") +
                            kNoAnswer),
              std::string::npos)
        << r.output;

    Stall();
    r = Cli({"run", process, "--passes", "2"}, 60);
    EXPECT_EQ(r.code, 1) << r.output;
    EXPECT_LT(r.seconds, kBound);
    EXPECT_NE(r.output.find(kNoAnswer), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("System Unspecified Error"), std::string::npos) << r.output;

    kill(pid, SIGCONT);
    r = Cli({"devices"}, 60);
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(r.output.find("does not answer"), std::string::npos) << r.output;
}

TEST_F(StalledServer, AServerThatIsNotRunningIsNamedWithTheReason) {
    kill(pid, SIGCONT);
    Run({AURIVO_SOURCE_DIR "/.ci/sound-server", "stop", server}, 30);
    pid = 0;
    const CResult r = Cli({"run", process, "--passes", "1"}, 60);
    EXPECT_EQ(r.code, 1) << r.output;
    EXPECT_NE(r.output.find("| pulse Input Device | pulse: "), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("System Unspecified Error"), std::string::npos) << r.output;
}

TEST_F(StalledServer, ARunWhoseServerStallsMidwayStopsAndNamesTheDevice) {
    // The server stops while the run exchanges blocks with it: waiting for buffers, stopping
    // and closing the streams are all bounded.
    std::thread stopper([this] {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        kill(pid, SIGSTOP);
    });
    const CResult r = Cli({"run", process, "--passes", "100000"}, 60);
    stopper.join();
    EXPECT_EQ(r.code, 1) << r.output;
    EXPECT_LT(r.seconds, 2.0 + kBound);
    EXPECT_NE(r.output.find("| pulse "), std::string::npos) << r.output;
}

} // namespace
