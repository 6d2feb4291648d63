#pragma once

#include "foundation/CObject.h"
#include "foundation/String.h"
#include "platform/IMutex.h"
#include "platform/posix/IPosixProcess.h"

#include <string>

namespace lumo::posix {

// A program started with posix_spawn. The child inherits the environment
// and the descriptors that are not marked close-on-exec.
//
// The arguments text is split at blanks (spaces and tabs; runs of them
// count as one) into the words that follow the program path; there is no
// quoting, so no word can hold a blank. A relative program path is taken from
// the caller's current folder, also when a working directory is given.
//
// Priorities are nice values: idle 19, below normal 5, normal 0, above
// normal -5, high -10, realtime -20. The priority is applied right after
// the start, so threads that the program makes at once may keep the
// caller's; a raise that the system does not permit leaves the caller's.
//
// A program killed by a signal ends with 128 plus the signal's number, as a
// shell reports it. A program whose status was collected elsewhere (by a
// waitpid of its own, or with SIGCHLD ignored) counts as ended with -1.
//
// Releasing the object before the program's end has been seen hands the
// child to the process-wide reaper, so that it leaves no zombie behind.
class CProcess : public CObject, public virtual IPosixProcess {
public:
    // Throws CError "Error executing file '%FILE%': '%ERRORDESC%'." (localised)
    // when the program cannot be started, its working directory not entered.
    CProcess(const std::string& programPath, const String& arguments, const std::string& workingDirectory,
             int32_t priority);
    ~CProcess() override;

    bool hasTerminated() override;
    int32_t getExitCode() override;
    bool setPriority(int32_t priority) override;
    int32_t getPriority() override;
    // SIGKILL; the program's exit code is then 137.
    void terminate() override;
    pid_t getProcessID() override;

private:
    // True once the child's status is known; fills the exit code then.
    bool collectStatus();

    P<IMutex> m_mutex;
    pid_t m_pid = 0;
    bool m_bTerminated = false;
    int32_t m_exitCode = -1;
};

} // namespace lumo::posix
