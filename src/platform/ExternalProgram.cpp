#include "platform/ExternalProgram.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {
bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}
} // namespace

std::string FindExecutable(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos) return {};
    const char* path = std::getenv("PATH");
    const std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t colon = std::min(dirs.find(':', start), dirs.size());
        const std::string dir = dirs.substr(start, colon - start);
        start = colon + 1;
        // An empty or relative entry means the current folder, which may be the folder of
        // the file just opened: it is not searched.
        if (dir.empty() || dir[0] != '/') continue;
        const std::string candidate = dir + "/" + name;
        if (IsExecutableFile(candidate)) return candidate;
    }
    return {};
}

CExternalProgram::~CExternalProgram() {
    Close();
}

bool CExternalProgram::Start(const std::vector<std::string>& argv, std::string& error,
                             double settleSeconds) {
    Close();
    if (argv.empty()) {
        error = "No program to start";
        return false;
    }
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int r = posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), environ);
    if (r != 0) {
        error = std::strerror(r);
        return false;
    }
    m_pid = pid;
    for (int waited = 0; waited < int(settleSeconds * 100.0); ++waited) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            m_pid = 0;
            // A launcher hands its window to a running server and ends well: started.
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
            const std::string name = argv[0].substr(argv[0].find_last_of('/') + 1);
            error = WIFEXITED(status) ? name + " ended at once with exit status " +
                                            std::to_string(WEXITSTATUS(status))
                                      : name + " ended at once: " + strsignal(WTERMSIG(status));
            return false;
        }
        usleep(10000);
    }
    return true;
}

bool CExternalProgram::IsRunning() const {
    if (m_pid <= 0) return false;
    // Looks without reaping: a program that ended stays known as this one's until Close.
    siginfo_t info{};
    return waitid(P_PID, id_t(m_pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0;
}

void CExternalProgram::Close() {
    if (m_pid <= 0) return;
    // A program that ignores the request is killed after a second rather than waited for.
    if (IsRunning()) {
        kill(m_pid, SIGTERM);
        for (int i = 0; i < 100 && IsRunning(); ++i)
            usleep(10000);
        if (IsRunning()) kill(m_pid, SIGKILL);
    }
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = 0;
}
