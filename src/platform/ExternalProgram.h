#pragma once
// Starting, watching and closing a program the user chose (the external mixer).

#include <string>
#include <sys/types.h>
#include <vector>

/** The full path of `name` when it names an executable file itself or is found on PATH;
 *  empty when there is none. */
std::string FindExecutable(const std::string& name);

class CExternalProgram {
public:
    CExternalProgram() = default;
    CExternalProgram(const CExternalProgram&) = delete;
    CExternalProgram& operator=(const CExternalProgram&) = delete;
    /** Closes the program if it still runs. */
    ~CExternalProgram();

    /** Starts argv[0] (a full path) with its arguments; false with the system's reason. */
    bool Start(const std::vector<std::string>& argv, std::string& error);
    /** True while the started program runs; a program that ended is reaped. */
    bool IsRunning();
    /** Asks the program to end and reaps it. */
    void Close();
    pid_t GetProcessId() const { return m_pid; }

private:
    pid_t m_pid = 0;
};
