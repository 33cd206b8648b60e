#pragma once
// Starting, watching and closing a program the user chose (the external mixer).

#include <string>
#include <sys/types.h>
#include <vector>

/** The full path of the program `name` (a bare name, without '/') found in one of PATH's
 *  absolute folders; empty when there is none, and for any name that holds a folder, so that
 *  no name read from a file can point at a program outside the search path. */
std::string FindExecutable(const std::string& name);

class CExternalProgram {
public:
    CExternalProgram() = default;
    CExternalProgram(const CExternalProgram&) = delete;
    CExternalProgram& operator=(const CExternalProgram&) = delete;
    /** Closes the program if it still runs. */
    ~CExternalProgram();

    /** Closes a program started before, then starts argv[0] (a full path) with its arguments and
     * watches it for `settleSeconds`; false with the system's reason, or with its exit status when
     * it ended meanwhile (a program that cannot run here, such as one without a display, ends at
     * once). One that ends well at once (a launcher) counts as started, with no process to watch.
     */
    bool Start(const std::vector<std::string>& argv, std::string& error,
               double settleSeconds = 0.3);
    /** True while the started program runs. One that ended keeps its process id until Close
     *  or the next Start. */
    bool IsRunning() const;
    /** Asks the program to end if it still runs, and reaps it. */
    void Close();
    pid_t GetProcessId() const { return m_pid; }

private:
    pid_t m_pid = 0;
};
